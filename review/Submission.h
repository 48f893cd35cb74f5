#pragma once
// Submitting a week: every task line's time becomes history rows dated within
// the submitted week, then the sheet is cleared for further use and, once the
// week is over, it is recorded as the last submitted week.

#include <QString>

#include <functional>

class TdmTasks_Form;
class TSubmitQuestions;

class TSubmission
{
public:
    TSubmission(TdmTasks_Form &dm, TSubmitQuestions &questions);

    /// Hands a value still being typed in a grid cell to its field; called
    /// once the questions are answered, just before the pending edit is posted.
    std::function<void()> CommitPendingInput;
    /// Redisplays the grid's day totals after the pass.
    std::function<void()> DisplayTotal;
    /// Receives the new selected week start when a completed week moves it on
    /// (the window shows it in its date box, see WeekStartText).
    std::function<void(double)> WeekStartChanged;

    /// Submits the week starting selectedWeekStart, dating the history rows
    /// from weekStartText (the date box). Returns false when a question was
    /// answered No; nothing is changed then. Raises EVRQException, before
    /// asking or changing anything, when weekStartText is not a date.
    /// Errors of the table operations reach the caller.
    bool SubmitExecute(double &selectedWeekStart, const QString &weekStartText);

    /// A week start as the date box shows it (the short date).
    static QString WeekStartText(double weekStart);
    /// The date box's text as a date at midnight; false when it is not a date.
    static bool TryParseWeekStart(const QString &text, double &weekStart);

    static QString AlreadySubmittedQuestion(double selectedWeekStart);
    static QString FutureWeekQuestion();

private:
    void ClearSheet(double rowDateBase);
    void AppendHistoryRow(int dayNumber, double duration, double rowDateBase, int startDay, int userId);

    TdmTasks_Form &m_dm;
    TSubmitQuestions &m_questions;
};
