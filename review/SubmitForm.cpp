#include "review/SubmitForm.h"

#include "app/core/DateTimeValue.h"
#include "app/core/Errors.h"
#include "app/ui/ErrorReporter.h"
#include "data/DataModule.h"
#include "review/FieldLabel.h"
#include "review/MessageBoxQuestions.h"
#include "review/StepFunction.h"
#include "review/Submission.h"
#include "review/WeekStartBox.h"
#include "tracking/TaskImages.h"
#include "tracking/TimeTrackerFrame.h"

#include <QAction>
#include <QCloseEvent>
#include <QEventLoop>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QStatusBar>
#include <QToolBar>
#include <QVBoxLayout>

namespace {

constexpr int kDesignWidth = 944;
constexpr int kDesignHeight = 388;
constexpr int kToolBarHeight = 26;
constexpr int kStripHeight = 29;
constexpr int kLastSubmittedMinWidth = 62;

bool HasRow(const TRecordTable &table)
{
    return table.Active() && (!table.IsEmpty() || table.State() == TDataSetState::Insert);
}

} // namespace

TForm_Submit_Form::TForm_Submit_Form(TdmTasks_Form &dataModule, QWidget *parent, TMessageReporter *messages,
                                     TSubmitQuestions *questions)
    : TBaseFormVRQ_BaseForm(parent, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint
                                        | Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint
                                        | Qt::WindowCloseButtonHint)
    , m_dm(dataModule)
    , m_messages(messages ? messages : &TMessageReporter::Default())
{
    if (questions) {
        m_questions = questions;
    } else {
        m_ownQuestions = std::make_unique<TMessageBoxQuestions>(this);
        m_questions = m_ownQuestions.get();
    }
    FormCreate();
}

TForm_Submit_Form::~TForm_Submit_Form()
{
    if (m_loop)
        m_loop->exit(mrCancel);
}

void TForm_Submit_Form::FormCreate()
{
    setObjectName(QStringLiteral("Form_Submit_Form"));
    setWindowTitle(QStringLiteral("Review"));
    setWindowModality(Qt::ApplicationModal);
    resize(kDesignWidth, kDesignHeight);

    // The grid belongs to this window from the start: it lays itself out by
    // the name of the window it sits in.
    auto *client = new QWidget(this);
    auto *layout = new QVBoxLayout(client);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    Frame_TimeTracker = TBaseFrameVRQ_BaseForm::Create<TFrame_TimeTracker_Form>(client, m_dm, m_messages);
    Frame_TimeTracker->setObjectName(QStringLiteral("Frame_TimeTracker"));
    Frame_TimeTracker->SetTimerEnabled(false);
    Frame_TimeTracker->SetCreationPhase(true);
    Frame_TimeTracker->SetHelpString(QStringLiteral("Review_Screen"));

    layout->addWidget(CreateInformationStrip());
    layout->addWidget(Frame_TimeTracker, 1);
    setCentralWidget(client);

    CreateActions();
    CreateMenus();
    CreateToolBar();
    statusBar()->setObjectName(QStringLiteral("StatusBar1"));
    statusBar()->setSizeGripEnabled(true);

    const TRecordTable &defaults = m_dm.adsDefaults;
    const double lastSubmitted = HasRow(defaults) ? defaults.FieldByName(u"WeekStartDate").AsDateTime() : 0.0;
    SetSubmitDate(InitialSubmitDate(lastSubmitted, DateTimeValue::Now()));

    // The day columns and the check boxes take their places while the grid
    // builds itself; the other columns then close their gaps as usual.
    ApplyDayOptions();
    Frame_TimeTracker->SetActiveVisible(false);
    Frame_TimeTracker->SetCompleteVisible(true);
    Frame_TimeTracker->SetCreationPhase(false);
    ApplyColumnOptions();
}

QWidget *TForm_Submit_Form::CreateInformationStrip()
{
    auto *strip = new QWidget(this);
    strip->setObjectName(QStringLiteral("pnlInformation"));
    strip->setFixedHeight(kStripHeight);
    auto *row = new QHBoxLayout(strip);
    row->setContentsMargins(6, 2, 6, 2);
    row->setSpacing(6);

    lblWeekStart = new QLabel(QStringLiteral("Week Start Date :"), strip);
    lblWeekStart->setObjectName(QStringLiteral("lblWeekStart"));
    edtWeekStart = new TWeekStartBox(strip);
    edtWeekStart->setStatusTip(QStringLiteral("Week Start Date"));
    edtWeekStart->setToolTip(QStringLiteral("Week Start Date"));
    lblWeekStart->setBuddy(edtWeekStart);
    connect(edtWeekStart, &TWeekStartBox::Spun, this, [this](int steps) { udWeekStartClick(steps); });
    connect(edtWeekStart, &TWeekStartBox::Left, this, [this] { edtWeekStartExit(); });

    lblLastSubmittedCaption = new QLabel(QStringLiteral("Last Submitted :"), strip);
    lblLastSubmittedCaption->setObjectName(QStringLiteral("lblLastSubmitted"));
    dbtLastSubmitted = new TFieldLabel(m_dm.adsDefaults, QStringLiteral("WeekStartDate"), strip);
    dbtLastSubmitted->setObjectName(QStringLiteral("dbtLastSubmitted"));
    dbtLastSubmitted->setMinimumWidth(kLastSubmittedMinWidth);
    dbtLastSubmitted->setStatusTip(QStringLiteral("Last Submitted"));
    dbtLastSubmitted->setToolTip(QStringLiteral("Last Submitted"));

    row->addWidget(lblWeekStart);
    row->addWidget(edtWeekStart);
    row->addSpacing(18);
    row->addWidget(lblLastSubmittedCaption);
    row->addWidget(dbtLastSubmitted);
    row->addStretch(1);
    return strip;
}

void TForm_Submit_Form::CreateActions()
{
    const auto make = [this](const char *name, const QString &caption, const QString &hint, int image) {
        return TaskImages::MakeAction(this, name, caption, hint, image);
    };
    using namespace TaskImages;
    Submit = make("Submit", QStringLiteral("&Submit"), QStringLiteral("Submit"), imgSubmit);
    Report = make("Report", QStringLiteral("&Report"), QStringLiteral("Report"), imgReport);
    Options = make("Options", QStringLiteral("&Options"), QStringLiteral("Options"), imgOptions);
    Step = make("Step", QStringLiteral("Step"), QStringLiteral("Step Function"), imgStep);
    aHistory = make("aHistory", QStringLiteral("&History"), QStringLiteral("History"), imgHistory);
    Tasks = make("Tasks", QStringLiteral("Tasks"), QStringLiteral("Tasks"), imgTasks);
    Projects = make("Projects", QStringLiteral("Projects"), QStringLiteral("Projects"), imgProjects);
    Clients = make("Clients", QStringLiteral("Clients"), QStringLiteral("Clients"), imgClients);
    Users = make("Users", QStringLiteral("Users"), QStringLiteral("Users"), imgUsers);
    aExport = make("aExport", QStringLiteral("Export"), QStringLiteral("Export "), imgExport);
    aImport = make("aImport", QStringLiteral("Import"), QStringLiteral("Import"), imgImport);
    aClose = make("aClose", QStringLiteral("&Close"), QStringLiteral("Close"), -1);
    aExit = make("aExit", QStringLiteral("&Exit"), QStringLiteral("Exit"), imgExit);

    // Their windows are not part of the program yet.
    for (QAction *later : {Report, Options, aHistory, Tasks, Projects, Clients, Users, aExport, aImport})
        later->setEnabled(false);

    connect(Submit, &QAction::triggered, this, [this] { SubmitExecute(); });
    connect(Step, &QAction::triggered, this, [this] { StepExecute(); });
    connect(aClose, &QAction::triggered, this, [this] { aCloseExecute(); });
    connect(aExit, &QAction::triggered, this, [this] { aExitExecute(); });
}

void TForm_Submit_Form::CreateMenus()
{
    const TFrame_TimeTracker_Form &grid = *Frame_TimeTracker;
    QMenuBar *bar = menuBar();

    mnuFile = bar->addMenu(QStringLiteral("&File"));
    mnuFile->setObjectName(QStringLiteral("mnuFile"));
    mnuSwaplet = mnuFile->addMenu(QStringLiteral("Swaplet"));
    mnuSwaplet->setObjectName(QStringLiteral("mnuSwaplet"));
    mnuSwaplet->addActions({aImport, aExport});
    mnuFile->addSeparator();
    mnuFile->addActions({aClose, aExit});

    mnuEdit = bar->addMenu(QStringLiteral("&Edit"));
    mnuEdit->setObjectName(QStringLiteral("mnuEdit"));
    mnuEdit->addActions({grid.EditCopy1, grid.EditPaste1, grid.EditCut1});

    mnuGrid = bar->addMenu(QStringLiteral("&Grid"));
    mnuGrid->setObjectName(QStringLiteral("mnuGrid"));
    mnuGrid->addActions({grid.DataSetFirst1, grid.DataSetPrior1, grid.DataSetNext1, grid.DataSetLast1});
    mnuGrid->addSeparator();
    mnuGrid->addActions({grid.DataSetInsert1, grid.DataSetDelete1});

    mnuMaintain = bar->addMenu(QStringLiteral("&Maintain"));
    mnuMaintain->setObjectName(QStringLiteral("mnuMaintain"));
    mnuMaintain->addActions({Clients, Projects, Tasks, Users});

    mnuTimesheets = bar->addMenu(QStringLiteral("&Timesheets"));
    mnuTimesheets->setObjectName(QStringLiteral("mnuTimesheets"));
    mnuTimesheets->addActions({Submit, Report, Options, Step, aHistory});

    mnuHelp = bar->addMenu(QStringLiteral("&Help"));
    mnuHelp->setObjectName(QStringLiteral("mnuHelp"));
    mnuHelp->addActions({grid.aOnlineHelp, grid.aHelp, grid.aAbout});
}

void TForm_Submit_Form::CreateToolBar()
{
    const TFrame_TimeTracker_Form &grid = *Frame_TimeTracker;
    ToolBar1 = addToolBar(QStringLiteral("Tools"));
    ToolBar1->setObjectName(QStringLiteral("ToolBar1"));
    ToolBar1->setMovable(false);
    ToolBar1->setFloatable(false);
    ToolBar1->setContextMenuPolicy(Qt::PreventContextMenu);
    ToolBar1->setIconSize(QSize(16, 16));
    ToolBar1->setMinimumHeight(kToolBarHeight);
    ToolBar1->addActions({Submit, Report, Options, Step, aHistory});
    ToolBar1->addSeparator();
    ToolBar1->addActions({Tasks, Projects, Clients, Users});
    ToolBar1->addSeparator();
    ToolBar1->addActions({grid.EditCopy1, grid.EditCut1, grid.EditPaste1});
    ToolBar1->addSeparator();
    ToolBar1->addActions({grid.DataSetFirst1, grid.DataSetPrior1, grid.DataSetNext1, grid.DataSetLast1,
                          grid.DataSetInsert1, grid.DataSetDelete1});
    ToolBar1->addSeparator();
    ToolBar1->addAction(grid.aHelp);
}

// --- options -----------------------------------------------------------------------------

bool TForm_Submit_Form::DisplayOption(const char *name) const
{
    const TRecordTable &defaults = m_dm.adsDefaults;
    const TTableField *field = defaults.FindField(QString::fromLatin1(name));
    // Without an options record every column shows.
    return !field || !HasRow(defaults) || field->AsBoolean();
}

void TForm_Submit_Form::ApplyDayOptions()
{
    TFrame_TimeTracker_Form &grid = *Frame_TimeTracker;
    grid.SetMonVisible(DisplayOption("DisplayMon"));
    grid.SetTueVisible(DisplayOption("DisplayTue"));
    grid.SetWedVisible(DisplayOption("DisplayWed"));
    grid.SetThuVisible(DisplayOption("DisplayThu"));
    grid.SetFriVisible(DisplayOption("DisplayFri"));
    grid.SetSatVisible(DisplayOption("DisplaySat"));
    grid.SetSunVisible(DisplayOption("DisplaySun"));
}

void TForm_Submit_Form::ApplyColumnOptions()
{
    Frame_TimeTracker->ApplyColumnOptions();
}

void TForm_Submit_Form::ApplyDisplayOptions()
{
    ApplyDayOptions();
    ApplyColumnOptions();
}

// --- the week ------------------------------------------------------------------------------

double TForm_Submit_Form::InitialSubmitDate(double weekStartDate, double now)
{
    return now <= weekStartDate + 6.0 ? weekStartDate : weekStartDate + 7.0;
}

void TForm_Submit_Form::SetSubmitDate(double value)
{
    FSubmitDate = value;
    edtWeekStart->SetDate(value);
}

void TForm_Submit_Form::udWeekStartClick(int steps)
{
    SetSubmitDate(FSubmitDate + 7.0 * steps);
}

bool TForm_Submit_Form::edtWeekStartExit()
{
    const QString text = edtWeekStart->Text();
    if (text == TWeekStartBox::TextOf(FSubmitDate))
        return true;
    double typed = 0.0;
    if (!TSubmission::TryParseWeekStart(text, typed)) {
        // The box shows the kept week start before the message opens, so the
        // focus change of the message box finds nothing left to refuse.
        const QString shown = edtWeekStart->text();
        SetSubmitDate(FSubmitDate);
        m_messages->ShowError(QStringLiteral("'%1' is not a valid date. The week start date stays %2.")
                                  .arg(shown, TWeekStartBox::TextOf(FSubmitDate)));
        return false;
    }
    // The same date typed again keeps the week start as it is, time of day included.
    SetSubmitDate(DateTimeValue::Trunc(typed) == DateTimeValue::Trunc(FSubmitDate) ? FSubmitDate : typed);
    return true;
}

void TForm_Submit_Form::SubmitExecute()
{
    try {
        // A date typed but not yet confirmed counts as confirmed, so the
        // questions, the row dates and the last submitted week agree.
        if (!edtWeekStartExit())
            return;
        TSubmission submission(m_dm, *m_questions);
        submission.CommitPendingInput = [this] {
            if (!Frame_TimeTracker->CommitPendingInput())
                throw EAbort(); // the cell's own message has been shown
        };
        submission.DisplayTotal = [this] { Frame_TimeTracker->DisplayTotal(); };
        submission.WeekStartChanged = [this](double weekStart) { edtWeekStart->SetDate(weekStart); };
        submission.SubmitExecute(FSubmitDate, edtWeekStart->Text());
    } catch (...) {
        ShowException(std::current_exception());
    }
    edtWeekStart->SetDate(FSubmitDate);
    Frame_TimeTracker->DisplayTotal();
}

void TForm_Submit_Form::StepExecute()
{
    try {
        TStepFunction step(m_dm);
        step.CommitPendingInput = [this] {
            if (!Frame_TimeTracker->CommitPendingInput())
                throw EAbort();
        };
        step.DisplayTotal = [this] { Frame_TimeTracker->DisplayTotal(); };
        step.StepExecute();
    } catch (...) {
        ShowException(std::current_exception());
    }
    Frame_TimeTracker->DisplayTotal();
}

void TForm_Submit_Form::ShowException(std::exception_ptr error)
{
    try {
        std::rethrow_exception(error);
    } catch (const EAbort &) {
    } catch (const std::exception &e) {
        m_messages->ShowError(QString::fromStdString(e.what()));
    }
}

// --- showing and closing ------------------------------------------------------------------------

int TForm_Submit_Form::DisplaySubmitForm(const QString &headerName, QString &resultHeaderName)
{
    if (m_loop) {
        // Already on screen: nothing to hand over.
        resultHeaderName = Frame_TimeTracker->FsPanelName();
        return mrNone;
    }
    Frame_TimeTracker->SetsPanelName(headerName);
    Frame_TimeTracker->SetTimerEnabled(false);
    FModalResult = mrNone;

    const QPointer<TForm_Submit_Form> self(this);
    QEventLoop loop;
    m_loop = &loop;
    show();
    raise();
    activateWindow();
    loop.exec(QEventLoop::DialogExec);
    if (!self)
        return mrCancel;
    m_loop = nullptr;
    if (isVisible())
        hide();
    resultHeaderName = Frame_TimeTracker->FsPanelName();
    return FModalResult == mrNone ? mrCancel : FModalResult;
}

void TForm_Submit_Form::aCloseExecute()
{
    FModalResult = mrCancel;
    close();
}

void TForm_Submit_Form::aExitExecute()
{
    FModalResult = mrClose;
    close();
}

void TForm_Submit_Form::closeEvent(QCloseEvent *event)
{
    TBaseFormVRQ_BaseForm::closeEvent(event);
    // A cell that refuses to be left keeps the window open.
    if (event->isAccepted() && !Frame_TimeTracker->FocusDescriptionHeader())
        event->ignore();
    if (!event->isAccepted()) {
        FModalResult = mrNone;
        return;
    }
    if (FModalResult == mrNone)
        FModalResult = mrCancel;
    if (m_loop)
        m_loop->exit(FModalResult);
}

void TForm_Submit_Form::ReportError(const QString &message)
{
    m_messages->ShowError(message);
}

void TForm_Submit_Form::resizeEvent(QResizeEvent *event)
{
    TBaseFormVRQ_BaseForm::resizeEvent(event);
    EnableResizeTimer();
}

void TForm_Submit_Form::ResizeRequired()
{
    if (windowState() & (Qt::WindowMinimized | Qt::WindowMaximized | Qt::WindowFullScreen))
        return;
    const int area = Frame_TimeTracker->RowAreaHeight();
    const int spare = area % TFrame_TimeTracker_Form::RowHeight;
    if (area > TFrame_TimeTracker_Form::RowHeight && spare > 0)
        resize(width(), height() - spare);
}
