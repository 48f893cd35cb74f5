#pragma once
// The timesheet grid: one row per task line of the week, clickable column
// headers that set the order, a totals bar, the table actions and the tracking
// timers. The same frame serves the main window (today's column only) and the
// review window (every weekday); both bind to the data module's task table.

#include "app/ui/BaseFrame.h"
#include "tracking/TimesheetModel.h"

#include <QString>

#include <array>
#include <functional>

class QAction;
class QLabel;
class QMenu;
class QTableView;
class QWidget;
class TdmTasks_Form;
class TMessageReporter;
class TRecordTable;
class TTimeTracker;
class TTimesheetView;

class TFrame_TimeTracker_Form : public TBaseFrameVRQ_BaseForm
{
    Q_OBJECT

public:
    /// Columns by tag: the tag is the column's place from left to right and
    /// the key of the field a click on its header orders by.
    enum TGridColumn {
        gcPriority = 1,
        gcDuration = 2, ///< "Task Duration": whole working days and the rest; does not order
        gcClient = 3,
        gcProject = 4,
        gcTaskCode = 5,
        gcDescription = 6, ///< takes up whatever width the other columns leave
        gcMon = 7,
        gcTue = 8,
        gcWed = 9,
        gcThu = 10,
        gcFri = 11,
        gcSat = 12,
        gcSun = 13,
        gcActive = 14,
        gcCompleted = 15,
    };
    static constexpr int FirstColumn = gcPriority;
    static constexpr int LastColumn = gcCompleted;

    static constexpr int RowHeight = 25;
    /// Narrowest the description column gets.
    static constexpr int DescriptionMinWidth = 100;

    /// Built through TBaseFrameVRQ_BaseForm::Create<TFrame_TimeTracker_Form>(owner, dm),
    /// which runs Initialise(). Messages go to `messages` (the real boxes when null).
    TFrame_TimeTracker_Form(QWidget *owner, TdmTasks_Form &dataModule, TMessageReporter *messages = nullptr);
    ~TFrame_TimeTracker_Form() override;

    /// Current task, counters, totals, the initial order (TaskCode ASC), the
    /// first active line as current task, the size limits; starts the timers.
    void Initialise() override;
    /// Leaves a cell being edited, so what was typed reaches the table. A
    /// value the table refuses raises EAbort: the window stays open.
    void FrameClose() override;

    // --- columns ------------------------------------------------------------------------
    // Hidden columns leave no gap: the description column takes up their width.
    // Setting a column to the state it already has changes nothing.
    bool bClientsVisible() const { return FbClientsVisible; }
    void SetbClientsVisible(bool Value);
    bool ProjectsVisible() const { return FProjectsVisible; }
    void SetProjectsVisible(bool Value);
    bool MonVisible() const { return FMonVisible; }
    void SetMonVisible(bool Value);
    bool TueVisible() const { return FTueVisible; }
    void SetTueVisible(bool Value);
    bool WedVisible() const { return FWedVisible; }
    void SetWedVisible(bool Value);
    bool ThuVisible() const { return FThuVisible; }
    void SetThuVisible(bool Value);
    bool FriVisible() const { return FFriVisible; }
    void SetFriVisible(bool Value);
    bool SatVisible() const { return FSatVisible; }
    void SetSatVisible(bool Value);
    bool SunVisible() const { return FSunVisible; }
    void SetSunVisible(bool Value);
    bool PriorityVisible() const { return FPriorityVisible; }
    void SetPriorityVisible(bool Value);
    bool SummaryDurationVisible() const { return FSummaryDurationVisible; }
    void SetSummaryDurationVisible(bool Value);
    /// The Active check box column (the review window hides it).
    bool ActiveVisible() const { return FActiveVisible; }
    void SetActiveVisible(bool Value);
    /// The Complete check box column (the main window hides it).
    bool CompleteVisible() const { return FCompleteVisible; }
    void SetCompleteVisible(bool Value);

    /// Set by the owning window while it applies its first column choices;
    /// the layout and size limits are worked out once when it is cleared.
    bool CreationPhase() const { return FCreationPhase; }
    void SetCreationPhase(bool Value);

    /// Shows another field in a day column (the main window's Today column
    /// follows the date), with its header caption and width (the design width
    /// without the 1-pixel separator; a column is never narrower than its caption).
    void SetDayColumnField(int tag, const QString &fieldName);
    void SetColumnCaption(int tag, const QString &caption);
    void SetColumnWidth(int tag, int width);
    /// The field a column shows (a day column may be rebound).
    QString ColumnFieldName(int tag) const;

    /// Header left edge and width in frame coordinates (tests, the totals bar);
    /// -1 / 0 for a hidden column.
    int ColumnLeft(int tag) const;
    int ColumnWidth(int tag) const;
    bool ColumnShown(int tag) const;

    // --- order ---------------------------------------------------------------------------
    /// A click on a header: orders by the column's field, ascending first,
    /// flipping on repeated clicks; the "Task Duration" header does nothing.
    void OrderPanelClick(int tag);
    /// Name of the header that gave the current order ("pTaskCode"), empty when none.
    const QString &FsPanelName() const { return m_sPanelName; }
    /// Marks the header of that name (red caption); the others return to normal.
    void SetsPanelName(const QString &name);
    /// The same for a header given by its tag.
    void HighlightPanel(int tag);
    /// Header name of a tag ("pPriority" … "pCompleted"), empty for other values.
    static QString PanelName(int tag);
    /// Tag of a header name, 0 when it is none.
    static int PanelTag(QStringView name);

    // --- help ------------------------------------------------------------------------------
    const QString &HelpString() const { return FHelpString; }
    void SetHelpString(const QString &value) { FHelpString = value; }

    // --- totals and tracking -----------------------------------------------------------------
    /// Refreshes the totals bar from the data module's weekday totals.
    void DisplayTotal();
    /// Whether an option of the options record is set (true without a record).
    bool OptionFlag(const char *field) const;
    /// Shows the client, project, task duration and priority columns as the options say.
    void ApplyColumnOptions();
    /// Shows or hides the red "Paused" label of the totals bar.
    void SetPausedVisible(bool visible);
    /// Loads the current task (see TTimeTracker::SetCurrentTaskValue).
    void SetCurrentTaskValue(bool bAllRows);
    /// The user typed in the grid or opened a lookup list.
    void ResetLastUsed();
    /// The minute timer and the second timer with the current task.
    TTimeTracker &Tracker() const { return *m_tracker; }
    /// Runs or stops the minute tick (off in the review window).
    void SetTimerEnabled(bool enabled);
    bool TimerEnabled() const;

    // --- rows ------------------------------------------------------------------------------
    /// Row colours by line; the main window paints active lines in the
    /// highlight colour. Without a painter the rows use the view's colours.
    void SetRowPainter(TRowPainter painter);
    /// Height of the area the rows are shown in, and the number of whole rows it holds.
    int RowAreaHeight() const;
    int VisibleRowCount() const;
    /// Hands a cell still being edited to the table. False when the value was
    /// refused (its message shown; the cell stays in edit).
    bool CommitPendingInput();
    /// Moves the keyboard focus out of the cells onto the description header,
    /// leaving a cell being edited first. False when the cell refused to be left.
    bool FocusDescriptionHeader();

    // --- handlers (public so the windows and tests can drive them) --------------------------------
    /// Leaving the task-code or description cell: an unknown code becomes a new
    /// task code when the options allow it, else "Task does not exist.".
    void dbeTaskCodeExit();
    /// Entering a day cell: remembers its value and whether its line is active.
    void dbeDayEnter(int tag);
    /// After the Active box changed: posts the line and reloads the current task.
    void dbcbxActiveMouseUp();
    /// After the Complete box changed: the line stops being active.
    void dbcbxCompleteClick();

    // --- parts --------------------------------------------------------------------------------
    TdmTasks_Form &DataModule() const { return m_dm; }
    TRecordTable &Tasks() const;
    TTimesheetModel &Model() const { return *m_model; }
    /// The row area.
    QTableView &dbcgTasks() const;
    TTimesheetView &View() const { return *m_view; }
    QWidget *TotalsPanel = nullptr;
    QLabel *lblTotalMessage = nullptr;
    QLabel *lblDailyDuration = nullptr;
    QLabel *lblPaused = nullptr;
    /// Totals labels of the day columns by tag (gcMon … gcSun); others null.
    std::array<QLabel *, LastColumn + 1> DayLabels{};

    // Actions, with the shared images; enabled only while they can act.
    QAction *DataSetInsert1 = nullptr;
    QAction *DataSetDelete1 = nullptr;
    QAction *DataSetFirst1 = nullptr;
    QAction *DataSetPrior1 = nullptr;
    QAction *DataSetNext1 = nullptr;
    QAction *DataSetLast1 = nullptr;
    QAction *EditCopy1 = nullptr;
    QAction *EditCut1 = nullptr;
    QAction *EditPaste1 = nullptr;
    QAction *aHelp = nullptr;
    QAction *aOnlineHelp = nullptr;
    QAction *aAbout = nullptr;
    /// The grid's context menu: First, Next, Prior, Last | Add Task, Remove Task | Help, Online Help.
    QMenu *PMTimeTracker = nullptr;

    TMessageReporter &Messages() const { return *m_messages; }

signals:
    /// The current task's text changed (every second while it runs).
    void CurrentTaskChanged(const QString &currentTaskDetail);
    /// The order changed through a header (the new FsPanelName).
    void OrderChanged(const QString &panelName);

protected:
    void resizeEvent(QResizeEvent *event) override;

private:
    friend class TTimesheetView;

    void CreateActions();
    void CreateTotalsBar();
    bool *VisibleFlag(int tag);
    void SetColumnVisible(int tag, bool Value);
    void ApplyColumnVisibility(int tag);
    void AdjustPositions();
    void SetConstraints();
    void FitColumn(int tag);
    void LayoutTotals();
    void UpdateActions();
    void ShowError(const QString &message);
    void OnEditorClosed(int tag);
    bool InMainWindow() const;

    TdmTasks_Form &m_dm;
    TMessageReporter *m_messages;
    TTimeTracker *m_tracker = nullptr;
    TTimesheetModel *m_model = nullptr;
    TTimesheetView *m_view = nullptr;

    QString m_sPanelName;
    QString FHelpString;
    bool FCreationPhase = false;
    bool FbClientsVisible = true;
    bool FProjectsVisible = true;
    bool FMonVisible = true;
    bool FTueVisible = true;
    bool FWedVisible = true;
    bool FThuVisible = true;
    bool FFriVisible = true;
    bool FSatVisible = true;
    bool FSunVisible = true;
    bool FPriorityVisible = true;
    bool FSummaryDurationVisible = true;
    bool FActiveVisible = true;
    bool FCompleteVisible = true;
    std::array<int, LastColumn + 1> m_widths{};
};
