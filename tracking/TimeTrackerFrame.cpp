#include "tracking/TimeTrackerFrame.h"

#include "app/core/DateTimeValue.h"
#include "app/core/DurationText.h"
#include "app/core/Errors.h"
#include "app/ui/AboutForm.h"
#include "app/ui/ErrorReporter.h"
#include "app/ui/Help.h"
#include "data/DataModule.h"
#include "tracking/CheckBoxDelegate.h"
#include "tracking/DurationDelegate.h"
#include "tracking/GridDelegate.h"
#include "tracking/LookupDelegate.h"
#include "tracking/TaskImages.h"
#include "tracking/TimeTracker.h"
#include "tracking/TimesheetView.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QResizeEvent>
#include <QScrollBar>
#include <QTimer>
#include <QVBoxLayout>

namespace {

constexpr int kTotalsHeight = 28;

// Design widths of the columns, without the 1-pixel separator.
constexpr std::array<int, TFrame_TimeTracker_Form::LastColumn + 1> kDesignWidths{
    0, 22, 75, 90, 90, 90, 234, 45, 45, 45, 45, 45, 45, 45, 21, 21};

const char *const kPanelNames[] = {"",          "pPriority",  "pDuration",  "pClient",   "pProjectName",
                                   "pTaskCode", "pDescription", "pMonday",  "pTuesday",  "pWednesday",
                                   "pThursday", "pFriday",    "pSaturday",  "pSunday",   "pActive",
                                   "pCompleted"};

const char *const kDayLabelNames[] = {"lblMonDuration", "lblTueDuration", "lblWedDuration", "lblThuDuration",
                                      "lblFriDuration", "lblSatDuration", "lblSunDuration"};

bool IsDayTag(int tag)
{
    return tag >= TFrame_TimeTracker_Form::gcMon && tag <= TFrame_TimeTracker_Form::gcSun;
}

// Day number (1 = Sunday) of a day column's tag: Mon = 7 … Sat = 12, Sun = 13.
int DayNumberOfTag(int tag)
{
    return tag == TFrame_TimeTracker_Form::gcSun ? 1 : tag - TFrame_TimeTracker_Form::gcMon + 2;
}

int ColumnOf(int tag)
{
    return TTimesheetModel::ColumnOfTag(tag);
}

} // namespace

TFrame_TimeTracker_Form::TFrame_TimeTracker_Form(QWidget *owner, TdmTasks_Form &dataModule,
                                                 TMessageReporter *messages)
    : TBaseFrameVRQ_BaseForm(owner)
    , m_dm(dataModule)
    , m_messages(messages ? messages : &TMessageReporter::Default())
{
    setObjectName(QStringLiteral("Frame_TimeTracker_Form"));
    setFrameStyle(QFrame::NoFrame);
    m_widths = kDesignWidths;

    m_tracker = new TTimeTracker(m_dm, this);
    m_tracker->DisplayTotal = [this] { DisplayTotal(); };
    connect(m_tracker, &TTimeTracker::CurrentTaskChanged, this, &TFrame_TimeTracker_Form::CurrentTaskChanged);
    connect(m_tracker, &TTimeTracker::TickFailed, this, &TFrame_TimeTracker_Form::ShowError);

    m_model = new TTimesheetModel(m_dm.adsTasks, this);
    m_view = new TTimesheetView(*this, this);
    m_view->setModel(m_model);

    m_view->setItemDelegateForColumn(ColumnOf(gcPriority), new TPriorityDelegate(*this, *m_view));
    m_view->setItemDelegateForColumn(ColumnOf(gcDuration), new TWeekDurationDelegate(*this, *m_view));
    m_view->setItemDelegateForColumn(ColumnOf(gcClient),
                                     new TLookupDelegate(*this, *m_view, TLookupDelegate::lkClient));
    m_view->setItemDelegateForColumn(ColumnOf(gcProject),
                                     new TLookupDelegate(*this, *m_view, TLookupDelegate::lkProject));
    m_view->setItemDelegateForColumn(ColumnOf(gcTaskCode),
                                     new TLookupDelegate(*this, *m_view, TLookupDelegate::lkTaskCode));
    m_view->setItemDelegateForColumn(ColumnOf(gcDescription), new TTextDelegate(*this, *m_view));
    for (int tag = gcMon; tag <= gcSun; ++tag)
        m_view->setItemDelegateForColumn(ColumnOf(tag), new TDurationDelegate(*this, *m_view));
    m_view->setItemDelegateForColumn(ColumnOf(gcActive),
                                     new TCheckBoxDelegate(*this, *m_view, [this] { dbcbxActiveMouseUp(); }));
    m_view->setItemDelegateForColumn(ColumnOf(gcCompleted),
                                     new TCheckBoxDelegate(*this, *m_view, [this] { dbcbxCompleteClick(); }));

    QHeaderView *header = m_view->horizontalHeader();
    for (int tag = FirstColumn; tag <= LastColumn; ++tag) {
        if (tag == gcDescription)
            continue;
        header->setSectionResizeMode(ColumnOf(tag), QHeaderView::Fixed);
        FitColumn(tag);
    }
    header->setSectionResizeMode(ColumnOf(gcDescription), QHeaderView::Stretch);
    m_view->setColumnHidden(TTimesheetModel::ClientIdColumn, true);
    m_view->setColumnHidden(TTimesheetModel::ProjectNumberColumn, true);
    connect(header, &QHeaderView::sectionClicked, this,
            [this](int column) { OrderPanelClick(TTimesheetModel::TagOfColumn(column)); });
    connect(header, &QHeaderView::sectionResized, this, [this] { LayoutTotals(); });
    connect(header, &QHeaderView::geometriesChanged, this, [this] { LayoutTotals(); });
    connect(m_view->verticalScrollBar(), &QScrollBar::rangeChanged, this,
            [this] { QTimer::singleShot(0, this, [this] { LayoutTotals(); }); });

    connect(m_model, &TRecordTableModel::errorRaised, this, &TFrame_TimeTracker_Form::ShowError);
    connect(m_model, &TRecordTableModel::currentRowChanged, this, [this](int row) {
        if (row >= 0) {
            const QModelIndex current = m_view->currentIndex();
            const int column = current.isValid() ? current.column() : ColumnOf(gcTaskCode);
            m_view->selectionModel()->setCurrentIndex(m_model->index(row, column), QItemSelectionModel::NoUpdate);
        }
        DisplayTotal();
        UpdateActions();
    });
    // The totals follow every change of the lines.
    const auto changed = [this] {
        DisplayTotal();
        UpdateActions();
    };
    connect(m_model, &QAbstractItemModel::dataChanged, this, changed);
    connect(m_model, &QAbstractItemModel::rowsInserted, this, changed);
    connect(m_model, &QAbstractItemModel::rowsRemoved, this, changed);
    connect(m_model, &QAbstractItemModel::modelReset, this, changed);

    CreateTotalsBar();
    CreateActions();

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(m_view, 1);
    layout->addWidget(TotalsPanel);

    connect(m_view, &QWidget::customContextMenuRequested, this,
            [this](const QPoint &pos) { PMTimeTracker->popup(m_view->viewport()->mapToGlobal(pos)); });
}

TFrame_TimeTracker_Form::~TFrame_TimeTracker_Form() = default;

TRecordTable &TFrame_TimeTracker_Form::Tasks() const
{
    return m_dm.adsTasks;
}

QTableView &TFrame_TimeTracker_Form::dbcgTasks() const
{
    return *m_view;
}

void TFrame_TimeTracker_Form::CreateTotalsBar()
{
    TotalsPanel = new QWidget(this);
    TotalsPanel->setObjectName(QStringLiteral("TotalsPanel"));
    TotalsPanel->setFixedHeight(kTotalsHeight);
    TotalsPanel->setAutoFillBackground(true);

    lblTotalMessage = new QLabel(TotalsPanel);
    lblTotalMessage->setObjectName(QStringLiteral("lblTotalMessage"));
    lblTotalMessage->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);

    lblDailyDuration = new QLabel(QStringLiteral("Total Duration :"), TotalsPanel);
    lblDailyDuration->setObjectName(QStringLiteral("lblDailyDuration"));
    lblDailyDuration->setAlignment(Qt::AlignRight | Qt::AlignVCenter);

    for (int tag = gcMon; tag <= gcSun; ++tag) {
        auto *label = new QLabel(QStringLiteral("00:00"), TotalsPanel);
        label->setObjectName(QString::fromLatin1(kDayLabelNames[tag - gcMon]));
        label->setAlignment(Qt::AlignCenter);
        label->setToolTip(QStringLiteral("Hours : Minutes"));
        DayLabels[std::size_t(tag)] = label;
    }

    lblPaused = new QLabel(QStringLiteral("Paused"), TotalsPanel);
    lblPaused->setObjectName(QStringLiteral("lblPaused"));
    QFont pausedFont = lblPaused->font();
    pausedFont.setBold(true);
    pausedFont.setPointSizeF(pausedFont.pointSizeF() * 1.45);
    lblPaused->setFont(pausedFont);
    QPalette pausedPalette = lblPaused->palette();
    pausedPalette.setColor(QPalette::WindowText, QColor(Qt::red));
    lblPaused->setPalette(pausedPalette);
    lblPaused->setAlignment(Qt::AlignCenter);
    lblPaused->hide();
}

bool TFrame_TimeTracker_Form::OptionFlag(const char *field) const
{
    const TRecordTable &defaults = m_dm.adsDefaults;
    const TTableField *option = defaults.Active() ? defaults.FindField(QString::fromLatin1(field)) : nullptr;
    // Without an options record every column shows.
    if (!option || defaults.IsEmpty())
        return true;
    return option->AsBoolean();
}

void TFrame_TimeTracker_Form::ApplyColumnOptions()
{
    SetbClientsVisible(OptionFlag("DisplayClients"));
    SetProjectsVisible(OptionFlag("DisplayProjects"));
    SetSummaryDurationVisible(OptionFlag("DisplaySummaryDuration"));
    SetPriorityVisible(OptionFlag("DisplayPriority"));
}

void TFrame_TimeTracker_Form::CreateActions()
{
    const auto make = [this](const char *name, const QString &caption, const QString &hint, int image) {
        return TaskImages::MakeAction(this, name, caption, hint, image);
    };
    using namespace TaskImages;
    DataSetInsert1 = make("DataSetInsert1", QStringLiteral("&Add Task"), QStringLiteral("Add Task"), imgAddTask);
    DataSetDelete1 =
        make("DataSetDelete1", QStringLiteral("&Remove Task"), QStringLiteral("Remove Task"), imgRemoveTask);
    DataSetFirst1 = make("DataSetFirst1", QStringLiteral("&First"), QStringLiteral("First"), imgFirst);
    DataSetPrior1 = make("DataSetPrior1", QStringLiteral("&Prior"), QStringLiteral("Prior"), imgPrior);
    DataSetNext1 = make("DataSetNext1", QStringLiteral("&Next"), QStringLiteral("Next"), imgNext);
    DataSetLast1 = make("DataSetLast1", QStringLiteral("&Last"), QStringLiteral("Last"), imgLast);
    EditCopy1 = make("EditCopy1", QStringLiteral("&Copy"), QStringLiteral("Copy"), imgCopy);
    EditCut1 = make("EditCut1", QStringLiteral("Cu&t"), QStringLiteral("Cut"), imgCut);
    EditPaste1 = make("EditPaste1", QStringLiteral("&Paste"), QStringLiteral("Paste"), imgPaste);
    aHelp = make("aHelp", QStringLiteral("Help"), QStringLiteral("Help"), imgHelp);
    aOnlineHelp = make("aOnlineHelp", QStringLiteral("Online Help"), QStringLiteral("Online Help"), imgOnlineHelp);
    aAbout = make("aAbout", QStringLiteral("About Zelbra"), QStringLiteral("About"), -1);

    // The edit shortcuts act on the focused edit; without one, on the current cell.
    EditCopy1->setShortcut(QKeySequence::Copy);
    EditCut1->setShortcut(QKeySequence::Cut);
    EditPaste1->setShortcut(QKeySequence::Paste);
    for (QAction *action : {EditCopy1, EditCut1, EditPaste1})
        action->setShortcutContext(Qt::WidgetWithChildrenShortcut);
    addActions({EditCopy1, EditCut1, EditPaste1});

    // Runs an action's work; an error is shown and the grid goes on.
    const auto guarded = [this](std::function<void()> work) {
        return [this, work = std::move(work)] {
            try {
                work();
            } catch (const EAbort &) {
            } catch (const std::exception &e) {
                ShowError(QString::fromStdString(e.what()));
            }
            UpdateActions();
        };
    };
    // Table moves leave a cell being edited first; a refused value stops them.
    const auto move = [this, guarded](void (TRecordTable::*step)()) {
        return guarded([this, step] {
            if (!m_view->CommitOpenEditor())
                return;
            (Tasks().*step)();
        });
    };
    connect(DataSetFirst1, &QAction::triggered, this, move(&TRecordTable::First));
    connect(DataSetPrior1, &QAction::triggered, this, move(&TRecordTable::Prior));
    connect(DataSetNext1, &QAction::triggered, this, move(&TRecordTable::Next));
    connect(DataSetLast1, &QAction::triggered, this, move(&TRecordTable::Last));
    connect(DataSetInsert1, &QAction::triggered, this, guarded([this] {
                if (!m_view->CommitOpenEditor())
                    return;
                Tasks().Insert();
                const int row = Tasks().RecNo();
                if (row >= 0)
                    m_view->EditCell(m_model->index(row, ColumnOf(gcTaskCode)));
            }));
    connect(DataSetDelete1, &QAction::triggered, this, guarded([this] {
                m_view->DiscardOpenEditor();
                if (!Tasks().IsEmpty())
                    Tasks().Delete();
            }));

    connect(EditCopy1, &QAction::triggered, this, [this] {
        if (auto *edit = qobject_cast<QLineEdit *>(QApplication::focusWidget()))
            edit->copy();
        else if (m_view->currentIndex().isValid())
            QApplication::clipboard()->setText(m_view->currentIndex().data(Qt::DisplayRole).toString());
    });
    connect(EditCut1, &QAction::triggered, this, [this] {
        if (auto *edit = qobject_cast<QLineEdit *>(QApplication::focusWidget()))
            edit->cut();
    });
    connect(EditPaste1, &QAction::triggered, this, [this] {
        auto *edit = qobject_cast<QLineEdit *>(QApplication::focusWidget());
        if (!edit && m_view->EditCell(m_view->currentIndex())) {
            QWidget *editor = m_view->OpenEditor();
            edit = qobject_cast<QLineEdit *>(editor);
            if (auto *combo = qobject_cast<QComboBox *>(editor))
                edit = combo->lineEdit();
            if (edit)
                edit->selectAll();
        }
        if (edit)
            edit->paste();
    });

    connect(aHelp, &QAction::triggered, this,
            [this] { OpenHelp(FHelpString.isEmpty() ? kWelcomeTopic : FHelpString, window()); });
    connect(aOnlineHelp, &QAction::triggered, this, [] { OpenOnlineHelp(); });
    connect(aAbout, &QAction::triggered, this, [this] {
        TForm_About_Form about(window());
        about.exec();
    });

    PMTimeTracker = new QMenu(this);
    PMTimeTracker->setObjectName(QStringLiteral("PMTimeTracker"));
    PMTimeTracker->addActions({DataSetFirst1, DataSetNext1, DataSetPrior1, DataSetLast1});
    PMTimeTracker->addSeparator();
    PMTimeTracker->addActions({DataSetInsert1, DataSetDelete1});
    PMTimeTracker->addSeparator();
    PMTimeTracker->addActions({aHelp, aOnlineHelp});
}

// --- life cycle --------------------------------------------------------------------------

void TFrame_TimeTracker_Form::Initialise()
{
    FbClientsVisible = FProjectsVisible = FMonVisible = FTueVisible = FWedVisible = FThuVisible = FFriVisible =
        FSatVisible = FSunVisible = FPriorityVisible = FSummaryDurationVisible = true;
    DisplayTotal();
    OrderPanelClick(gcTaskCode);
    m_tracker->Initialise();
    SetConstraints();
    const int row = Tasks().RecNo();
    if (row >= 0)
        m_view->selectionModel()->setCurrentIndex(m_model->index(row, ColumnOf(gcTaskCode)),
                                                  QItemSelectionModel::NoUpdate);
    UpdateActions();
    LayoutTotals();
}

void TFrame_TimeTracker_Form::FrameClose()
{
    // A value the table refuses keeps the window open, its cell in edit.
    if (!m_view->CommitOpenEditor())
        throw EAbort();
}

bool TFrame_TimeTracker_Form::CommitPendingInput()
{
    return m_view->CommitOpenEditor();
}

bool TFrame_TimeTracker_Form::FocusDescriptionHeader()
{
    if (!m_view->CommitOpenEditor())
        return false;
    m_view->setFocus(Qt::OtherFocusReason);
    return true;
}

void TFrame_TimeTracker_Form::ShowError(const QString &message)
{
    m_messages->ShowError(message);
}

bool TFrame_TimeTracker_Form::InMainWindow() const
{
    return window()->objectName() == QStringLiteral("Form_Main_Form");
}

// --- columns ------------------------------------------------------------------------------

bool *TFrame_TimeTracker_Form::VisibleFlag(int tag)
{
    switch (tag) {
    case gcPriority:
        return &FPriorityVisible;
    case gcDuration:
        return &FSummaryDurationVisible;
    case gcClient:
        return &FbClientsVisible;
    case gcProject:
        return &FProjectsVisible;
    case gcMon:
        return &FMonVisible;
    case gcTue:
        return &FTueVisible;
    case gcWed:
        return &FWedVisible;
    case gcThu:
        return &FThuVisible;
    case gcFri:
        return &FFriVisible;
    case gcSat:
        return &FSatVisible;
    case gcSun:
        return &FSunVisible;
    case gcActive:
        return &FActiveVisible;
    case gcCompleted:
        return &FCompleteVisible;
    default:
        return nullptr; // the task code and the description are always shown
    }
}

void TFrame_TimeTracker_Form::SetColumnVisible(int tag, bool Value)
{
    bool *flag = VisibleFlag(tag);
    if (!flag || *flag == Value)
        return;
    *flag = Value;
    ApplyColumnVisibility(tag);
    AdjustPositions();
}

void TFrame_TimeTracker_Form::ApplyColumnVisibility(int tag)
{
    const bool *flag = VisibleFlag(tag);
    const bool shown = !flag || *flag;
    m_view->setColumnHidden(ColumnOf(tag), !shown);
    if (IsDayTag(tag))
        DayLabels[std::size_t(tag)]->setVisible(shown);
}

void TFrame_TimeTracker_Form::AdjustPositions()
{
    // The header closes the gap of a hidden column and the description
    // section stretches over what is left; only the limits and the totals
    // bar follow, once the owning window has finished its first choices.
    if (FCreationPhase)
        return;
    SetConstraints();
    LayoutTotals();
    m_view->viewport()->update();
}

void TFrame_TimeTracker_Form::SetbClientsVisible(bool Value) { SetColumnVisible(gcClient, Value); }
void TFrame_TimeTracker_Form::SetProjectsVisible(bool Value) { SetColumnVisible(gcProject, Value); }
void TFrame_TimeTracker_Form::SetMonVisible(bool Value) { SetColumnVisible(gcMon, Value); }
void TFrame_TimeTracker_Form::SetTueVisible(bool Value) { SetColumnVisible(gcTue, Value); }
void TFrame_TimeTracker_Form::SetWedVisible(bool Value) { SetColumnVisible(gcWed, Value); }
void TFrame_TimeTracker_Form::SetThuVisible(bool Value) { SetColumnVisible(gcThu, Value); }
void TFrame_TimeTracker_Form::SetFriVisible(bool Value) { SetColumnVisible(gcFri, Value); }
void TFrame_TimeTracker_Form::SetSatVisible(bool Value) { SetColumnVisible(gcSat, Value); }
void TFrame_TimeTracker_Form::SetSunVisible(bool Value) { SetColumnVisible(gcSun, Value); }
void TFrame_TimeTracker_Form::SetPriorityVisible(bool Value) { SetColumnVisible(gcPriority, Value); }
void TFrame_TimeTracker_Form::SetSummaryDurationVisible(bool Value) { SetColumnVisible(gcDuration, Value); }
void TFrame_TimeTracker_Form::SetActiveVisible(bool Value) { SetColumnVisible(gcActive, Value); }
void TFrame_TimeTracker_Form::SetCompleteVisible(bool Value) { SetColumnVisible(gcCompleted, Value); }

void TFrame_TimeTracker_Form::SetCreationPhase(bool Value)
{
    if (FCreationPhase == Value)
        return;
    FCreationPhase = Value;
    if (!Value)
        AdjustPositions();
}

void TFrame_TimeTracker_Form::SetDayColumnField(int tag, const QString &fieldName)
{
    if (!IsDayTag(tag) || ColumnFieldName(tag).compare(fieldName, Qt::CaseInsensitive) == 0)
        return;
    m_model->SetColumnField(ColumnOf(tag), fieldName);
}

void TFrame_TimeTracker_Form::SetColumnCaption(int tag, const QString &caption)
{
    if (tag < FirstColumn || tag > LastColumn)
        return;
    m_model->SetHeaderCaption(ColumnOf(tag), caption);
    FitColumn(tag);
    AdjustPositions();
}

void TFrame_TimeTracker_Form::SetColumnWidth(int tag, int width)
{
    if (tag < FirstColumn || tag > LastColumn || tag == gcDescription)
        return;
    m_widths[std::size_t(tag)] = width;
    FitColumn(tag);
    AdjustPositions();
}

void TFrame_TimeTracker_Form::FitColumn(int tag)
{
    if (tag == gcDescription)
        return;
    // The design width, or what the caption needs in the user's font, and the
    // 1-pixel separator.
    QHeaderView *header = m_view->horizontalHeader();
    const QString caption = m_model->headerData(ColumnOf(tag), Qt::Horizontal, Qt::DisplayRole).toString();
    const int margin = header->style()->pixelMetric(QStyle::PM_HeaderMargin, nullptr, header);
    const int needed = header->fontMetrics().horizontalAdvance(caption) + 2 * margin + 2;
    header->resizeSection(ColumnOf(tag), std::max(m_widths[std::size_t(tag)], needed) + 1);
}

QString TFrame_TimeTracker_Form::ColumnFieldName(int tag) const
{
    if (tag < FirstColumn || tag > LastColumn)
        return {};
    return m_model->FieldOfColumn(ColumnOf(tag)).FieldName();
}

bool TFrame_TimeTracker_Form::ColumnShown(int tag) const
{
    return tag >= FirstColumn && tag <= LastColumn && !m_view->isColumnHidden(ColumnOf(tag));
}

int TFrame_TimeTracker_Form::ColumnLeft(int tag) const
{
    if (!ColumnShown(tag))
        return -1;
    const int x = m_view->horizontalHeader()->sectionViewportPosition(ColumnOf(tag));
    return m_view->viewport()->mapTo(this, QPoint(x, 0)).x();
}

int TFrame_TimeTracker_Form::ColumnWidth(int tag) const
{
    if (!ColumnShown(tag))
        return 0;
    return m_view->horizontalHeader()->sectionSize(ColumnOf(tag));
}

void TFrame_TimeTracker_Form::SetConstraints()
{
    const QHeaderView *header = m_view->horizontalHeader();
    const int frameWidth = 2 * m_view->frameWidth();
    int width = DescriptionMinWidth + frameWidth + m_view->style()->pixelMetric(QStyle::PM_ScrollBarExtent);
    for (int tag = FirstColumn; tag <= LastColumn; ++tag)
        if (tag != gcDescription && ColumnShown(tag))
            width += header->sectionSize(ColumnOf(tag));
    const int headerHeight = std::max(header->sizeHint().height(), header->height());
    const int height = kTotalsHeight + RowHeight + headerHeight + frameWidth + 3;
    setMinimumSize(width, height);
}

int TFrame_TimeTracker_Form::RowAreaHeight() const
{
    return m_view->viewport()->height();
}

int TFrame_TimeTracker_Form::VisibleRowCount() const
{
    return std::clamp(RowAreaHeight() / RowHeight, 1, 100);
}

void TFrame_TimeTracker_Form::SetRowPainter(TRowPainter painter)
{
    m_model->SetRowPainter(std::move(painter));
}

void TFrame_TimeTracker_Form::resizeEvent(QResizeEvent *event)
{
    TBaseFrameVRQ_BaseForm::resizeEvent(event);
    LayoutTotals();
}

void TFrame_TimeTracker_Form::LayoutTotals()
{
    if (!TotalsPanel)
        return;
    const int height = TotalsPanel->height();
    const int panelX = TotalsPanel->x();
    for (int tag = gcMon; tag <= gcSun; ++tag) {
        QLabel *label = DayLabels[std::size_t(tag)];
        const bool shown = ColumnShown(tag);
        label->setVisible(shown);
        if (shown)
            label->setGeometry(ColumnLeft(tag) - panelX, 0, ColumnWidth(tag) - 1, height);
    }
    const int margin = 6;
    const QSize message = lblTotalMessage->sizeHint();
    lblTotalMessage->setGeometry(margin, 0, message.width(), height);
    int right = TotalsPanel->width() - margin;
    if (ColumnShown(gcDescription))
        right = ColumnLeft(gcDescription) - panelX + ColumnWidth(gcDescription) - margin;
    const int dailyWidth = lblDailyDuration->sizeHint().width();
    lblDailyDuration->setGeometry(right - dailyWidth, 0, dailyWidth, height);
    const int pausedWidth = lblPaused->sizeHint().width();
    const int pausedLeft = margin + message.width() + 2 * margin;
    lblPaused->setGeometry(pausedLeft, 0, pausedWidth, height);
    // The caption gives way when the bar is too narrow for all three.
    const int used = (lblPaused->isVisible() ? pausedLeft + pausedWidth : margin + message.width()) + margin;
    lblDailyDuration->setVisible(used <= right - dailyWidth);
}

// --- order ---------------------------------------------------------------------------------

QString TFrame_TimeTracker_Form::PanelName(int tag)
{
    if (tag < FirstColumn || tag > LastColumn)
        return {};
    return QString::fromLatin1(kPanelNames[tag]);
}

int TFrame_TimeTracker_Form::PanelTag(QStringView name)
{
    for (int tag = FirstColumn; tag <= LastColumn; ++tag)
        if (!name.isEmpty() && name == QLatin1StringView(kPanelNames[tag]))
            return tag;
    return 0;
}

void TFrame_TimeTracker_Form::OrderPanelClick(int tag)
{
    if (tag == gcDuration)
        return;
    QString field;
    switch (tag) {
    case gcPriority:
        field = QStringLiteral("Priority");
        break;
    case gcClient:
        field = QStringLiteral("ClientID");
        break;
    case gcProject:
        field = QStringLiteral("ProjectNumber");
        break;
    case gcDescription:
        field = QStringLiteral("TaskDescription");
        break;
    case gcActive:
        field = QStringLiteral("Active");
        break;
    case gcCompleted:
        field = QStringLiteral("Completed");
        break;
    default:
        // A day column orders by the field it shows (the Today column by today's).
        field = IsDayTag(tag) ? ColumnFieldName(tag) : QStringLiteral("TaskCode");
        break;
    }
    const QString name = PanelName(tag);
    const bool again = !name.isEmpty() && name == m_sPanelName;
    const QString sort = field + (again && Tasks().Sort().contains(QStringLiteral("ASC")) ? QStringLiteral(" DESC")
                                                                                           : QStringLiteral(" ASC"));
    try {
        Tasks().SetSort(sort);
    } catch (const EAbort &) {
        return;
    } catch (const std::exception &e) {
        ShowError(QString::fromStdString(e.what()));
        return;
    }
    HighlightPanel(tag);
    emit OrderChanged(m_sPanelName);
}

void TFrame_TimeTracker_Form::SetsPanelName(const QString &name)
{
    m_sPanelName = name;
    const int tag = PanelTag(name);
    m_model->SetHighlightedColumn(tag ? ColumnOf(tag) : -1);
}

void TFrame_TimeTracker_Form::HighlightPanel(int tag)
{
    SetsPanelName(PanelName(tag));
}

// --- totals and tracking -----------------------------------------------------------------------

void TFrame_TimeTracker_Form::DisplayTotal()
{
    double week = 0.0;
    for (int day = 1; day <= 7; ++day)
        week += m_dm.FTotalDurationArray[std::size_t(day)];
    lblTotalMessage->setText(QStringLiteral("Total Duration is ") + WorkingDaysText(week, m_dm.FDayDuration));
    try {
        if (InMainWindow()) {
            const int today = DateTimeValue::DayOfWeek(DateTimeValue::Now());
            DayLabels[gcMon]->setText(ClockText(m_dm.FTotalDurationArray[std::size_t(today)]));
        } else {
            for (int tag = gcMon; tag <= gcSun; ++tag)
                DayLabels[std::size_t(tag)]->setText(
                    ClockText(m_dm.FTotalDurationArray[std::size_t(DayNumberOfTag(tag))]));
        }
    } catch (const std::exception &) {
        // The day labels are a display only.
    }
    LayoutTotals();
}

void TFrame_TimeTracker_Form::SetPausedVisible(bool visible)
{
    lblPaused->setVisible(visible);
    LayoutTotals();
}

void TFrame_TimeTracker_Form::SetCurrentTaskValue(bool bAllRows)
{
    m_tracker->SetCurrentTaskValue(bAllRows);
}

void TFrame_TimeTracker_Form::ResetLastUsed()
{
    m_tracker->ResetLastUsed();
}

void TFrame_TimeTracker_Form::SetTimerEnabled(bool enabled)
{
    m_tracker->SetMinuteTimerEnabled(enabled);
}

bool TFrame_TimeTracker_Form::TimerEnabled() const
{
    return m_tracker->MinuteTimerEnabled();
}

void TFrame_TimeTracker_Form::UpdateActions()
{
    const TRecordTable &tasks = Tasks();
    const bool open = tasks.Active();
    const int count = open ? tasks.RecordCount() : 0;
    const int row = tasks.RecNo();
    DataSetFirst1->setEnabled(count > 0 && row > 0);
    DataSetPrior1->setEnabled(count > 0 && row > 0);
    DataSetNext1->setEnabled(count > 0 && row >= 0 && row < count - 1);
    DataSetLast1->setEnabled(count > 0 && row >= 0 && row < count - 1);
    DataSetInsert1->setEnabled(open);
    DataSetDelete1->setEnabled(open && count > 0);
}

// --- handlers ---------------------------------------------------------------------------------

void TFrame_TimeTracker_Form::OnEditorClosed(int tag)
{
    if (tag != gcTaskCode && tag != gcDescription)
        return;
    try {
        dbeTaskCodeExit();
    } catch (const EAbort &) {
    } catch (const std::exception &e) {
        ShowError(QString::fromStdString(e.what()));
    }
}

void TFrame_TimeTracker_Form::dbeTaskCodeExit()
{
    TRecordTable &tasks = Tasks();
    if (tasks.IsEmpty() && tasks.State() != TDataSetState::Insert)
        return;
    const QString code = tasks.FieldByName(u"TaskCode").AsString();
    if (code.isEmpty())
        return;
    TRecordTable &codes = m_dm.adsTaskCodes;
    const QString key = code.trimmed().toUpper();
    const TTableField &codeField = codes.FieldByName(u"TaskCode");
    for (int row = 0; row < codes.RecordCount(); ++row)
        if (codes.ValueAt(row, codeField).toString().trimmed().toUpper() == key)
            return;

    const QString description = tasks.FieldByName(u"TaskDescription").AsString();
    const bool allowed = m_dm.adsDefaults.Active() && !m_dm.adsDefaults.IsEmpty()
                         && m_dm.adsDefaults.FieldByName(u"NewTaskInsertAllowed").AsBoolean();
    if (allowed) {
        if (description.isEmpty())
            return;
        // The new task code is posted at once, so it is in the task-code list,
        // the priority refresh and the next save like any other.
        codes.Append();
        try {
            codes.FieldByName(u"TaskCode").SetAsString(code.toUpper());
            codes.FieldByName(u"TaskDescription").SetAsString(description);
            codes.FieldByName(u"DailyRate").SetAsCurrency(TCurrency());
            codes.FieldByName(u"TotalCost").SetAsCurrency(TCurrency());
            codes.FieldByName(u"CompletionDate").SetAsDateTime(0.0);
            codes.FieldByName(u"ProjectNumber").SetValue(tasks.FieldByName(u"ProjectNumber").Value());
            codes.Post();
        } catch (...) {
            codes.Cancel();
            throw;
        }
        return;
    }
    m_messages->ShowMessage(QStringLiteral("Task does not exist."));
    // Back into the task code of this line, once the edit that was left has closed.
    const QString line = tasks.Bookmark();
    QTimer::singleShot(0, this, [this, line] {
        TRecordTable &table = Tasks();
        if (table.Bookmark() != line && table.BookmarkValid(line)) {
            if (!m_view->CommitOpenEditor())
                return;
            try {
                table.SetBookmark(line);
            } catch (const std::exception &e) {
                ShowError(QString::fromStdString(e.what()));
                return;
            }
        }
        const int row = table.RecNo();
        if (row >= 0)
            m_view->EditCell(m_model->index(row, ColumnOf(gcTaskCode)));
    });
}

void TFrame_TimeTracker_Form::dbeDayEnter(int tag)
{
    const QString field = ColumnFieldName(tag);
    if (field.isEmpty())
        return;
    const TRecordTable &tasks = Tasks();
    m_dm.rCurrentField.Value = DateTimeValue::Frac(tasks.FieldByName(field).AsFloat());
    m_dm.rCurrentField.Active = tasks.FieldByName(u"Active").AsBoolean();
}

void TFrame_TimeTracker_Form::dbcbxActiveMouseUp()
{
    TRecordTable &tasks = Tasks();
    try {
        if (tasks.State() != TDataSetState::Edit && tasks.State() != TDataSetState::Insert)
            tasks.Edit();
        tasks.Post();
        tasks.Edit();
        SetCurrentTaskValue(false);
    } catch (const EAbort &) {
    } catch (const std::exception &e) {
        ShowError(QString::fromStdString(e.what()));
    }
}

void TFrame_TimeTracker_Form::dbcbxCompleteClick()
{
    TRecordTable &tasks = Tasks();
    try {
        tasks.Edit();
        tasks.FieldByName(u"Active").SetAsBoolean(false);
    } catch (const EAbort &) {
    } catch (const std::exception &e) {
        ShowError(QString::fromStdString(e.what()));
    }
}
