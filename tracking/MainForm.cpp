#include "tracking/MainForm.h"

#include "app/core/DateTimeValue.h"
#include "app/core/Errors.h"
#include "app/core/ScopeExit.h"
#include "app/ui/ErrorReporter.h"
#include "app/ui/SplashForm.h"
#include "data/DataModule.h"
#include "tracking/TaskImages.h"
#include "tracking/TimeTracker.h"
#include "tracking/TimeTrackerFrame.h"
#include "tracking/TrackingPause.h"

#include <QAction>
#include <QCloseEvent>
#include <QLabel>
#include <QMenu>
#include <QThread>
#include <QTimer>
#include <QToolBar>

namespace {

const QString kAppTitle = QStringLiteral("Zelbra");


} // namespace

TForm_Main_Form::TForm_Main_Form(TdmTasks_Form &dataModule, TMainFormOptions options, QWidget *parent)
    : TBaseFormVRQ_BaseForm(parent, Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint
                                        | Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint)
    , m_dm(dataModule)
    , m_options(options)
    , m_messages(options.messages ? options.messages : &TMessageReporter::Default())
{
    setObjectName(QStringLiteral("Form_Main_Form"));
    setWindowTitle(kAppTitle);
    resize(DesignWidth, DesignHeight);

    Frame_TimeTracker_Form1 = TBaseFrameVRQ_BaseForm::Create<TFrame_TimeTracker_Form>(this, m_dm, m_messages);
    Frame_TimeTracker_Form1->setObjectName(QStringLiteral("Frame_TimeTracker_Form1"));
    setCentralWidget(Frame_TimeTracker_Form1);
    TFrame_TimeTracker_Form &grid = *Frame_TimeTracker_Form1;

    m_pause = new TTrackingPause(grid.Tracker(), m_dm, this);
    connect(m_pause, &TTrackingPause::PauseChanged, this, [this] { ApplyPauseLook(); });

    aPauseRestart = new QAction(this);
    aPauseRestart->setObjectName(QStringLiteral("aPauseRestart"));
    connect(aPauseRestart, &QAction::triggered, this, [this] { m_pause->aPauseRestartExecute(); });
    aReview = new QAction(TaskImages::Icon(TaskImages::imgReview), QStringLiteral("&Review"), this);
    aReview->setObjectName(QStringLiteral("aReview"));
    aReview->setToolTip(QStringLiteral("Review"));
    aReview->setStatusTip(QStringLiteral("Review"));
    aReview->setEnabled(false);
    connect(aReview, &QAction::triggered, this, [this] { ShowSubmitForm(); });
    aExit = new QAction(TaskImages::Icon(TaskImages::imgExit), QStringLiteral("Exit"), this);
    aExit->setObjectName(QStringLiteral("aExit"));
    aExit->setToolTip(QStringLiteral("Exit"));
    aExit->setStatusTip(QStringLiteral("Exit"));
    connect(aExit, &QAction::triggered, this, &QWidget::close);
    ApplyPauseLook();
    CreateToolBar();

    // Review and Pause/Restart come first in the grid's context menu.
    QMenu *menu = grid.PMTimeTracker;
    QAction *first = menu->actions().value(0);
    menu->insertActions(first, {aReview, aPauseRestart});
    menu->insertSeparator(first);

    // Active lines stand out in the highlight colour, the others in the button face.
    grid.SetRowPainter([this](bool active) {
        const QPalette &p = palette();
        return active ? TRowColours{p.brush(QPalette::Highlight), p.brush(QPalette::HighlightedText)}
                      : TRowColours{p.brush(QPalette::Button), p.brush(QPalette::ButtonText)};
    });
    connect(&grid.Tracker(), &TTimeTracker::SecondTick, this, [this] {
        try {
            Frame_TimeTracker_Form1tLastUsedTimerTimer();
        } catch (const EAbort &) {
        } catch (const std::exception &e) {
            m_messages->ShowError(QString::fromStdString(e.what()));
        }
    });
    connect(&grid, &TFrame_TimeTracker_Form::CurrentTaskChanged, this,
            [this](const QString &text) { lblCurrentTask->setText(text); });

    // The window's own first choices.
    grid.SetCreationPhase(true);
    grid.SetHelpString(QStringLiteral("Time_Tracker"));
    FilterUncompleted();
    grid.SetCompleteVisible(false);
    // One day column, today's, in the Monday column's place.
    grid.SetTueVisible(false);
    grid.SetWedVisible(false);
    grid.SetThuVisible(false);
    grid.SetFriVisible(false);
    grid.SetSatVisible(false);
    grid.SetSunVisible(false);
    grid.SetColumnCaption(TFrame_TimeTracker_Form::gcMon, QStringLiteral("Today"));
    grid.SetColumnWidth(TFrame_TimeTracker_Form::gcMon, 50);
    FlastDate = DateTimeValue::Today();
    SetMonDataField();
    grid.SetCreationPhase(false);
    grid.SetbClientsVisible(false);
    grid.SetProjectsVisible(OptionFlag("DisplayProjects"));
    grid.SetSummaryDurationVisible(OptionFlag("DisplaySummaryDuration"));
    grid.SetPriorityVisible(OptionFlag("DisplayPriority"));

    AutoSaveTimer = new QTimer(this);
    AutoSaveTimer->setObjectName(QStringLiteral("AutoSaveTimer"));
    AutoSaveTimer->setInterval(AutoSaveInterval);
    connect(AutoSaveTimer, &QTimer::timeout, this, &TForm_Main_Form::AutoSaveTimerTimer);
    AutoSaveTimer->start();

    UpdateDisplay();
    // The stored placement is applied by the base window when it is first shown.
    if (m_options.showSplash)
        DisplaySplash();
}

TForm_Main_Form::~TForm_Main_Form() = default;

void TForm_Main_Form::CreateToolBar()
{
    TFrame_TimeTracker_Form &grid = *Frame_TimeTracker_Form1;
    ToolBar1 = new QToolBar(QStringLiteral("Tools"), this);
    ToolBar1->setObjectName(QStringLiteral("ToolBar1"));
    ToolBar1->setMovable(false);
    ToolBar1->setFloatable(false);
    ToolBar1->setContextMenuPolicy(Qt::PreventContextMenu);
    ToolBar1->setIconSize(QSize(16, 16));
    ToolBar1->setToolButtonStyle(Qt::ToolButtonIconOnly);
    ToolBar1->addActions({aPauseRestart, aReview});
    ToolBar1->addSeparator();
    ToolBar1->addActions({grid.EditCopy1, grid.EditCut1, grid.EditPaste1});
    ToolBar1->addSeparator();
    ToolBar1->addActions({grid.DataSetFirst1, grid.DataSetPrior1, grid.DataSetNext1, grid.DataSetLast1,
                          grid.DataSetInsert1, grid.DataSetDelete1});
    ToolBar1->addSeparator();
    ToolBar1->addActions({grid.aHelp, grid.aOnlineHelp});
    ToolBar1->addSeparator();
    ToolBar1->addAction(aExit);
    ToolBar1->addSeparator();
    lblCurrentTask = new QLabel(QStringLiteral("No Current Task"), ToolBar1);
    lblCurrentTask->setObjectName(QStringLiteral("lblCurrentTask"));
    lblCurrentTask->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    lblCurrentTask->setContentsMargins(6, 0, 6, 0);
    QFont font = lblCurrentTask->font();
    font.setBold(true);
    lblCurrentTask->setFont(font);
    ToolBar1->addWidget(lblCurrentTask);
    addToolBar(Qt::TopToolBarArea, ToolBar1);
}

void TForm_Main_Form::ApplyPauseLook()
{
    const TPauseActionLook &look = m_pause->PauseRestartLook();
    aPauseRestart->setText(look.caption);
    aPauseRestart->setToolTip(look.hint);
    aPauseRestart->setStatusTip(look.hint);
    aPauseRestart->setIcon(TaskImages::Icon(look.imageIndex));
    Frame_TimeTracker_Form1->SetPausedVisible(m_pause->PausedLabelVisible());
}

bool TForm_Main_Form::OptionFlag(const char *field) const
{
    return Frame_TimeTracker_Form1->OptionFlag(field);
}

void TForm_Main_Form::FilterUncompleted()
{
    TRecordTable &tasks = m_dm.adsTasks;
    tasks.SetFilter(QStringLiteral("Completed = False"));
    tasks.SetFiltered(true);
}

void TForm_Main_Form::SetDisplaySubmitForm(std::function<TSubmitFormResult(const QString &)> display)
{
    m_displaySubmitForm = std::move(display);
    aReview->setEnabled(bool(m_displaySubmitForm));
}

void TForm_Main_Form::SetPaused(bool Value)
{
    m_pause->SetPaused(Value);
}

void TForm_Main_Form::SetLunchtime(bool Value)
{
    m_pause->SetLunchtime(Value);
}

// --- clock ----------------------------------------------------------------------------------

QString TForm_Main_Form::CaptionText(double now)
{
    return kAppTitle + QStringLiteral(" - ") + DateTimeValue::Format(QStringLiteral("dddddd\" - \"t"), now);
}

void TForm_Main_Form::UpdateDisplay()
{
    setWindowTitle(CaptionText(DateTimeValue::Now()));
    lblCurrentTask->setText(Frame_TimeTracker_Form1->Tracker().CurrentTask().CurrentTaskDetail());
}

void TForm_Main_Form::SetMonDataField()
{
    const int today = DateTimeValue::DayOfWeek(DateTimeValue::Now());
    Frame_TimeTracker_Form1->SetDayColumnField(TFrame_TimeTracker_Form::gcMon, TdmTasks_Form::DayFieldName(today));
}

void TForm_Main_Form::Frame_TimeTracker_Form1tLastUsedTimerTimer()
{
    m_pause->CheckLunchtime();
    const double today = DateTimeValue::Today();
    if (today != FlastDate) {
        SetMonDataField();
        FlastDate = today;
        Frame_TimeTracker_Form1->DisplayTotal();
    }
    UpdateDisplay();
}

void TForm_Main_Form::SaveAll()
{
    // The save posts a line changed in place but not yet left; the grid keeps
    // accepting typing on it afterwards, also when the save fails.
    TRecordTable &tasks = m_dm.adsTasks;
    const bool editing =
        (tasks.State() == TDataSetState::Edit || tasks.State() == TDataSetState::Insert) && tasks.Modified();
    const TScopeExit backToEdit([&] {
        if (editing && tasks.State() == TDataSetState::Browse && !tasks.IsEmpty()) {
            try {
                tasks.Edit();
            } catch (...) { // nothing may leave a scope guard; the line stays readable
            }
        }
    });
    m_dm.SaveData();
}

void TForm_Main_Form::AutoSaveTimerTimer()
{
    try {
        SaveAll();
    } catch (const EAbort &) {
    } catch (const std::exception &e) {
        m_messages->ShowError(QString::fromStdString(e.what()));
    }
}

void TForm_Main_Form::DisplaySplash()
{
    auto *splash = new TForm_Splash_Form(this);
    splash->show();
    splash->repaint();
    // The splash is held on screen while nothing else runs, as the product shows it.
    if (m_options.splashWaitMs > 0)
        QThread::msleep(ulong(m_options.splashWaitMs));
}

void TForm_Main_Form::ResizeRequired()
{
    if (windowState() & (Qt::WindowMaximized | Qt::WindowMinimized | Qt::WindowFullScreen))
        return;
    const int rowArea = Frame_TimeTracker_Form1->RowAreaHeight();
    const int rows = std::max(1, rowArea / TFrame_TimeTracker_Form::RowHeight);
    const int wanted = height() - rowArea + rows * TFrame_TimeTracker_Form::RowHeight;
    if (wanted != height())
        resize(width(), wanted);
}

void TForm_Main_Form::resizeEvent(QResizeEvent *event)
{
    TBaseFormVRQ_BaseForm::resizeEvent(event);
    EnableResizeTimer();
}

// --- show, review, close -----------------------------------------------------------------------

bool TForm_Main_Form::WeekDue(double now, double weekStartDate, int startDayOfWeek)
{
    return now > weekStartDate + 13 || DateTimeValue::DayOfWeek(now) == startDayOfWeek;
}

void TForm_Main_Form::showEvent(QShowEvent *event)
{
    TBaseFormVRQ_BaseForm::showEvent(event);
    if (m_shown)
        return;
    m_shown = true;
    // Once the window is on screen, so what it opens stands in front of it.
    QTimer::singleShot(0, this, [this] {
        try {
            FormShow();
        } catch (const EAbort &) {
        } catch (const std::exception &e) {
            m_messages->ShowError(QString::fromStdString(e.what()));
        }
    });
}

void TForm_Main_Form::FormShow()
{
    if (m_dm.SetupRequired()) {
        const bool accepted = ShowSetupForm ? ShowSetupForm() : true;
        if (!accepted) {
            m_setupCancelled = true;
            close();
            return;
        }
        m_dm.SetSetupRequired(false);
    }
    const TRecordTable &defaults = m_dm.adsDefaults;
    if (defaults.Active() && !defaults.IsEmpty()
        && WeekDue(DateTimeValue::Now(), defaults.FieldByName(u"WeekStartDate").AsDateTime(),
                   defaults.FieldByName(u"StartDayOfWeek").AsInteger()))
        ShowSubmitForm();
    if (!isVisible())
        return;
    TRecordTable &tasks = m_dm.adsTasks;
    if (tasks.Active() && !tasks.IsEmpty() && tasks.State() != TDataSetState::Edit
        && tasks.State() != TDataSetState::Insert)
        tasks.Edit();
}

void TForm_Main_Form::ApplyDisplayOptions()
{
    Frame_TimeTracker_Form1->ApplyColumnOptions();
}

void TForm_Main_Form::ShowSubmitForm()
{
    emit SubmitFormRequested();
    if (!m_displaySubmitForm || m_inSubmitForm)
        return;
    TFrame_TimeTracker_Form &grid = *Frame_TimeTracker_Form1;
    // A cell being edited is left first; a value it refuses keeps the user here.
    if (!grid.FocusDescriptionHeader())
        return;
    TSubmitFormResult result;
    {
        m_inSubmitForm = true;
        // No time accrues while the review window is open.
        m_pause->SetSuspended(true);
        TRecordTable &tasks = m_dm.adsTasks;
        tasks.SetFilter(QString());
        tasks.SetFiltered(false);
        // Whatever happens in the review window, tracking and the filter come back.
        const TScopeExit restore([this] {
            m_inSubmitForm = false;
            m_pause->SetSuspended(false);
            // Completed lines stay out of the main window, as at start-up.
            FilterUncompleted();
        });
        result = m_displaySubmitForm(grid.FsPanelName());
        grid.SetsPanelName(result.panelName);
        ApplyDisplayOptions();
    }
    grid.DisplayTotal();
    if (result.modalResult == mrExit)
        close();
}

void TForm_Main_Form::closeEvent(QCloseEvent *event)
{
    // A first run whose setup was cancelled leaves nothing behind.
    if (m_setupCancelled) {
        AutoSaveTimer->stop();
        event->accept();
        return;
    }
    TBaseFormVRQ_BaseForm::closeEvent(event);
    if (!event->isAccepted())
        return;
    for (;;) {
        try {
            SaveAll();
            break;
        } catch (const EAbort &) {
            break;
        } catch (const std::exception &e) {
            switch (m_messages->AskSaveFailed(QString::fromStdString(e.what()))) {
            case TMessageReporter::sfRetry:
                continue;
            case TMessageReporter::sfQuitAnyway:
                break;
            case TMessageReporter::sfCancelClose:
                event->ignore();
                return;
            }
            break;
        }
    }
    AutoSaveTimer->stop();
    event->accept();
}
