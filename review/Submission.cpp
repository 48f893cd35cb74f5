#include "review/Submission.h"

#include "app/core/DateTimeValue.h"
#include "app/core/Errors.h"
#include "data/DataModule.h"
#include "data/TableGuards.h"
#include "review/SubmitQuestions.h"

namespace {

// Whole days from the week start to weekday dayNumber in a week beginning on startDay.
int DayAdjustment(int dayNumber, int startDay)
{
    return dayNumber >= startDay ? dayNumber - startDay : dayNumber - startDay + 7;
}

} // namespace

TSubmission::TSubmission(TdmTasks_Form &dm, TSubmitQuestions &questions)
    : m_dm(dm)
    , m_questions(questions)
{
}

QString TSubmission::WeekStartText(double weekStart)
{
    return DateTimeValue::Format(QStringLiteral("ddddd"), weekStart);
}

bool TSubmission::TryParseWeekStart(const QString &text, double &weekStart)
{
    double value = 0.0;
    if (!DateTimeValue::TryStrToDateTime(text, value))
        return false;
    weekStart = DateTimeValue::Trunc(value);
    return true;
}

QString TSubmission::AlreadySubmittedQuestion(double selectedWeekStart)
{
    return QStringLiteral("You have previously submitted week starting ") + WeekStartText(selectedWeekStart)
        + QStringLiteral(". Do you wish to continue ?");
}

QString TSubmission::FutureWeekQuestion()
{
    return QStringLiteral("You are submitting details for a date in the future. Do you wish to continue ?");
}

bool TSubmission::SubmitExecute(double &selectedWeekStart, const QString &weekStartText)
{
    // Every row is dated from the box's text, so a text that is no date stops
    // the submission before any line is touched.
    double rowDateBase = 0.0;
    if (!TryParseWeekStart(weekStartText, rowDateBase))
        throw EVRQException(QStringLiteral("The week start date \"%1\" is not a valid date. Enter the date the week "
                                           "starts on and submit again; nothing has been submitted.")
                                .arg(weekStartText));

    TTableField &lastSubmitted = m_dm.adsDefaults.FieldByName(u"WeekStartDate");
    // Both questions are asked whenever their conditions hold, even after a No.
    bool proceed = true;
    if (lastSubmitted.AsDateTime() == selectedWeekStart)
        proceed = m_questions.AskYesNo(AlreadySubmittedQuestion(selectedWeekStart));
    if (DateTimeValue::Now() <= selectedWeekStart) {
        const bool yes = m_questions.AskYesNo(FutureWeekQuestion());
        proceed = proceed && yes;
    }
    if (!proceed)
        return false;

    if (CommitPendingInput)
        CommitPendingInput();
    TRecordTable &tasks = m_dm.adsTasks;
    tasks.UpdateBatch(TAffectRecords::All);
    {
        const TControlsSuspended suspended(tasks);
        ClearSheet(rowDateBase);
        tasks.First();
        if (tasks.IsEmpty()) {
            tasks.Append();
            tasks.Post();
        }
    }

    // Once the week after the last submitted one is over, this week counts as submitted.
    if (DateTimeValue::Now() > lastSubmitted.AsDateTime() + 13.0) {
        m_dm.adsDefaults.Edit();
        lastSubmitted.SetAsDateTime(selectedWeekStart);
        m_dm.adsDefaults.Post();
        selectedWeekStart += 7.0;
        if (WeekStartChanged)
            WeekStartChanged(selectedWeekStart);
    }

    // Every remaining line now holds zero time.
    m_dm.ResetTotalsArray();
    if (DisplayTotal)
        DisplayTotal();
    return true;
}

// Writes the history rows of every line and clears the sheet: completed lines
// and, when so set, lines without time go; the others keep their task with
// zero durations.
void TSubmission::ClearSheet(double rowDateBase)
{
    TRecordTable &tasks = m_dm.adsTasks;
    const int startDay = m_dm.adsDefaults.FieldByName(u"StartDayOfWeek").AsInteger();
    const bool removeUnused = m_dm.adsDefaults.FieldByName(u"RemoveUnusedTasks").AsBoolean();
    const int userId = m_dm.adsUsers.FieldByName(u"UserID").AsInteger();
    // The day-duration rule compares each new value with the entry record; it
    // gets each old value so the totals stay right even if the pass stops.
    const TCurrentFieldKept keptEntry(m_dm.rCurrentField);

    tasks.First();
    while (!tasks.Eof()) {
        double weekTime = 0.0;
        for (int day = 1; day <= 7; ++day) {
            const double time = DateTimeValue::Frac(tasks.FieldByName(TdmTasks_Form::DayFieldName(day)).AsFloat());
            if (time > 0.0)
                AppendHistoryRow(day, time, rowDateBase, startDay, userId);
            weekTime += time;
        }
        // A deletion leaves the cursor on the following line (or at the end).
        if (tasks.FieldByName(u"Completed").AsBoolean() || (weekTime == 0.0 && removeUnused)) {
            tasks.Delete();
            continue;
        }
        tasks.Edit();
        for (int day = 1; day <= 7; ++day) {
            TTableField &field = tasks.FieldByName(TdmTasks_Form::DayFieldName(day));
            m_dm.rCurrentField.Value = DateTimeValue::Frac(field.AsFloat());
            field.SetAsFloat(0.0);
        }
        tasks.Next();
    }
}

void TSubmission::AppendHistoryRow(int dayNumber, double duration, double rowDateBase, int startDay, int userId)
{
    const TRecordTable &line = m_dm.adsTasks;
    TRecordTable &history = m_dm.adsReporting;
    const auto from = [&line](const char *name) -> const TTableField & {
        return line.FieldByName(QString::fromLatin1(name));
    };
    const auto to = [&history](const char *name) -> TTableField & {
        return history.FieldByName(QString::fromLatin1(name));
    };
    // Values go through their typed forms, so a null on the line arrives as
    // an empty text, false or 0.
    history.Append();
    to("TaskCode").SetAsString(from("TaskCode").AsString());
    to("TaskDescription").SetAsString(from("TaskDescription").AsString());
    to("Duration").SetAsDateTime(duration);
    to("DateTimeCreated").SetAsDateTime(from("DateTimeCreated").AsDateTime());
    to("DateTimeAmended").SetAsDateTime(from("DateTimeAmended").AsDateTime());
    to("Active").SetAsBoolean(from("Active").AsBoolean());
    to("Completed").SetAsBoolean(from("Completed").AsBoolean());
    to("ProjectNumber").SetAsInteger(from("ProjectNumber").AsInteger());
    to("ClientId").SetAsInteger(from("ClientId").AsInteger());
    to("UserId").SetAsInteger(userId);
    to("AuthUserId").SetAsInteger(0);
    to("InvoiceNumber").SetAsInteger(0);
    to("DateTimeSubmitted").SetAsDateTime(rowDateBase + DayAdjustment(dayNumber, startDay));
    history.Post();
}
