#pragma once
// The review window: the whole week of the sheet in a second timesheet grid
// over the same task table as the main window, the choice of the week being
// submitted, and the week-end actions (submit, step, and the doors to the
// reports, options, history, time file and maintenance windows).

#include "app/ui/BaseForm.h"

#include <QEventLoop>
#include <QPointer>
#include <QString>

#include <memory>

class QAction;
class QLabel;
class QMenu;
class QToolBar;
class TdmTasks_Form;
class TFieldLabel;
class TFrame_TimeTracker_Form;
class TMessageReporter;
class TSubmitQuestions;
class TWeekStartBox;

/// Created once, right after the main window, and shown only through
/// DisplaySubmitForm; it keeps its selected week start, its date box and its
/// grid settings from one opening to the next.
class TForm_Submit_Form : public TBaseFormVRQ_BaseForm
{
    Q_OBJECT

public:
    /// Modal results of DisplaySubmitForm.
    static constexpr int mrNone = 0;
    static constexpr int mrCancel = 2; ///< closed through "&Close" or the title bar
    static constexpr int mrClose = 8;  ///< "&Exit": the application is to end

    /// Messages and errors go to `messages`, the submission's questions to
    /// `questions`; message boxes when they are null.
    explicit TForm_Submit_Form(TdmTasks_Form &dataModule, QWidget *parent = nullptr,
                               TMessageReporter *messages = nullptr, TSubmitQuestions *questions = nullptr);
    ~TForm_Submit_Form() override;

    /// Shows the window modally. `headerName` (the main grid's FsPanelName)
    /// marks the header that orders the shared task table; after the window has
    /// closed, `resultHeaderName` holds the review grid's FsPanelName. Returns
    /// mrClose for Exit, mrCancel otherwise. The review grid's minute timer is
    /// off throughout; the caller stops its own around the call.
    int DisplaySubmitForm(const QString &headerName, QString &resultHeaderName);
    /// True while DisplaySubmitForm is showing the window.
    bool Displaying() const { return m_loop != nullptr; }

    /// The week a window created at `now` submits first: the last submitted
    /// week start while now is not later than it plus 6 days, else the week
    /// after it (the time of day kept either way).
    static double InitialSubmitDate(double weekStartDate, double now);

    /// The selected week start.
    double SubmitDate() const { return FSubmitDate; }
    /// Sets the selected week start and shows it in the date box.
    void SetSubmitDate(double value);

    /// Shows or hides the grid's columns by the display options; a column
    /// already in the wanted state is left alone.
    void ApplyDisplayOptions();

    TFrame_TimeTracker_Form &Grid() const { return *Frame_TimeTracker; }
    TMessageReporter &Messages() const { return *m_messages; }

    // --- handlers (public so the main window and tests can drive them) ---------------------
    /// Submits the week (the date box is confirmed first, as when it is left).
    void SubmitExecute();
    /// Cuts every day duration down to whole steps of the minimum task duration.
    void StepExecute();
    /// The spin button: the selected week start moves by 7 days per step.
    void udWeekStartClick(int steps);
    /// Leaving the date box: a valid date there becomes the selected week
    /// start. A text that is no date is refused with a message; the box then
    /// shows the selected week start again. False when refused.
    bool edtWeekStartExit();
    /// "&Close" and "&Exit".
    void aCloseExecute();
    void aExitExecute();

    // --- parts ------------------------------------------------------------------------------
    TFrame_TimeTracker_Form *Frame_TimeTracker = nullptr;
    QToolBar *ToolBar1 = nullptr;
    QLabel *lblWeekStart = nullptr;
    TWeekStartBox *edtWeekStart = nullptr;
    QLabel *lblLastSubmittedCaption = nullptr;
    TFieldLabel *dbtLastSubmitted = nullptr;

    // The window's own actions; those whose windows are not there yet are disabled.
    QAction *Submit = nullptr;
    QAction *Report = nullptr;
    QAction *Options = nullptr;
    QAction *Step = nullptr;
    QAction *aHistory = nullptr;
    QAction *Tasks = nullptr;
    QAction *Projects = nullptr;
    QAction *Clients = nullptr;
    QAction *Users = nullptr;
    QAction *aExport = nullptr;
    QAction *aImport = nullptr;
    QAction *aClose = nullptr;
    QAction *aExit = nullptr;

    QMenu *mnuFile = nullptr;
    QMenu *mnuSwaplet = nullptr;
    QMenu *mnuEdit = nullptr;
    QMenu *mnuGrid = nullptr;
    QMenu *mnuMaintain = nullptr;
    QMenu *mnuTimesheets = nullptr;
    QMenu *mnuHelp = nullptr;

protected:
    void closeEvent(QCloseEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    /// Trims the window's height so the grid's row area holds whole rows.
    void ResizeRequired() override;
    void ReportError(const QString &message) override;

private:
    void FormCreate();
    void CreateActions();
    void CreateMenus();
    void CreateToolBar();
    QWidget *CreateInformationStrip();
    void ApplyDayOptions();
    void ApplyColumnOptions();
    bool DisplayOption(const char *name) const;
    void ShowException(std::exception_ptr error);

    TdmTasks_Form &m_dm;
    TMessageReporter *m_messages;
    std::unique_ptr<TSubmitQuestions> m_ownQuestions;
    TSubmitQuestions *m_questions;

    double FSubmitDate = 0.0;
    int FModalResult = mrNone;
    QPointer<QEventLoop> m_loop;
};
