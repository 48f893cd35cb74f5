#pragma once
// The main window: a tool bar and a narrow timesheet grid with today's column,
// the caption with date and time, pause and restart (by hand and over lunch),
// the auto-save, and the way to the review window. Closing it saves the data
// and ends the program.

#include "app/ui/BaseForm.h"

#include <QString>

#include <functional>

class QAction;
class QLabel;
class QTimer;
class QToolBar;
class TdmTasks_Form;
class TFrame_TimeTracker_Form;
class TMessageReporter;
class TTrackingPause;

/// What the review window hands back when it closes.
struct TSubmitFormResult
{
    int modalResult = 0;
    /// Header that orders the review grid (its FsPanelName).
    QString panelName;
};

struct TMainFormOptions
{
    /// Message boxes (the real ones when null).
    TMessageReporter *messages = nullptr;
    /// Whether creating the window shows the splash window, and how long it
    /// holds the start-up.
    bool showSplash = true;
    int splashWaitMs = 1000;
};

class TForm_Main_Form : public TBaseFormVRQ_BaseForm
{
    Q_OBJECT

public:
    static constexpr int DesignWidth = 698;
    static constexpr int DesignHeight = 177;
    static constexpr int AutoSaveInterval = 600000;
    /// Modal result of the review window's Exit command.
    static constexpr int mrExit = 8;

    explicit TForm_Main_Form(TdmTasks_Form &dataModule, TMainFormOptions options = {}, QWidget *parent = nullptr);
    ~TForm_Main_Form() override;

    TFrame_TimeTracker_Form *Frame_TimeTracker_Form1 = nullptr;
    QToolBar *ToolBar1 = nullptr;
    QLabel *lblCurrentTask = nullptr;
    QAction *aPauseRestart = nullptr;
    QAction *aReview = nullptr;
    QAction *aExit = nullptr;
    QTimer *AutoSaveTimer = nullptr;

    TTrackingPause &Pause() const { return *m_pause; }
    TdmTasks_Form &DataModule() const { return m_dm; }

    /// Shows the review window modally, given the grid's FsPanelName. Set
    /// once the review window exists; until then Review is disabled and a
    /// due week is only announced (SubmitFormRequested).
    void SetDisplaySubmitForm(std::function<TSubmitFormResult(const QString &panelName)> display);
    /// Runs the first-run setup window; false when the user cancels it.
    /// Until one is set, a first run goes on as if setup had been accepted.
    std::function<bool()> ShowSetupForm;

    /// The first showing: setup on a first run, the review window when a
    /// week is due, the current line into edit.
    void FormShow();
    /// Opens the review window (also the Review action).
    void ShowSubmitForm();
    /// Binds the Today column to today's weekday field.
    void SetMonDataField();
    /// Caption with date and time; the current task's text.
    void UpdateDisplay();
    void SetPaused(bool Value);
    void SetLunchtime(bool Value);
    void DisplaySplash();
    /// Snaps the height to whole rows.
    void ResizeRequired() override;
    void AutoSaveTimerTimer();
    /// Posts a changed line still in edit, then the data module's SaveData.
    void SaveAll();
    /// The second tick of this window, after the grid's own.
    void Frame_TimeTracker_Form1tLastUsedTimerTimer();

    /// The date the Today column was last bound for.
    double FlastDate = 0.0;

    /// Whether the review window opens by itself: more than 13 days after the
    /// last submitted week start, or on the first day of the week.
    static bool WeekDue(double now, double weekStartDate, int startDayOfWeek);
    /// "Zelbra - <long date> - <short time>".
    static QString CaptionText(double now);

signals:
    /// ShowSubmitForm ran: the review window is wanted (at start-up when a
    /// week is due, or by the Review action).
    void SubmitFormRequested();

protected:
    void showEvent(QShowEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    void CreateToolBar();
    void ApplyDisplayOptions();
    void ApplyPauseLook();
    void FilterUncompleted();
    bool OptionFlag(const char *field) const;

    TdmTasks_Form &m_dm;
    TMainFormOptions m_options;
    TMessageReporter *m_messages;
    TTrackingPause *m_pause = nullptr;
    std::function<TSubmitFormResult(const QString &)> m_displaySubmitForm;
    bool m_shown = false;
    bool m_setupCancelled = false;
    bool m_inSubmitForm = false;
};
