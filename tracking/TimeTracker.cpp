#include "tracking/TimeTracker.h"

#include "app/core/DateTimeValue.h"
#include "app/core/Errors.h"
#include "app/core/VRQ_Utils_Unit.h"
#include "data/DataModule.h"
#include "data/RecordTable.h"
#include "data/TableGuards.h"

#include <QHash>

namespace {


// Returns to the remembered line and puts the table into edit, as the grid
// expects. A remembered line that is gone (an untouched new line dropped by
// the walk) leaves the cursor where it is, and an empty table is not put into
// edit, which would start a new line.
void ReturnToLine(TRecordTable &table, const QString &bookmark)
{
    if (!bookmark.isEmpty() && table.BookmarkValid(bookmark))
        table.SetBookmark(bookmark);
    if (!table.IsEmpty())
        table.Edit();
}

// The completion date of each task code, found the way the filter
// "TaskCode = '<code>'" finds it: equal texts without regard to case, so a
// code holding a quote is matched like any other. Built once per tick.
class TTaskCodeDates
{
public:
    explicit TTaskCodeDates(const TRecordTable &taskCodes)
    {
        if (!taskCodes.Active())
            return;
        const TTableData &data = *taskCodes.Data();
        const int codeColumn = data.ColumnIndex(u"TaskCode");
        const int dateColumn = data.ColumnIndex(u"CompletionDate");
        if (codeColumn < 0 || dateColumn < 0)
            return;
        const TColumn &codes = data.Column(codeColumn);
        const TColumn &dates = data.Column(dateColumn);
        m_dates.reserve(qsizetype(data.RowCount()));
        for (const std::uint32_t slot : data.Rows()) {
            if (codes.IsNull(slot))
                continue;
            const QString key = codes.Text(slot).toCaseFolded();
            if (!m_dates.contains(key))
                m_dates.insert(key, dates.IsNull(slot) ? 0.0 : dates.Cell(slot).d);
        }
    }

    /// 0 when the code is not a task code or has no completion date.
    double CompletionDate(const QString &code) const { return m_dates.value(code.toCaseFolded(), 0.0); }

private:
    QHash<QString, double> m_dates;
};

} // namespace

TTimeTracker::TTimeTracker(TdmTasks_Form &dataModule, QObject *parent)
    : QObject(parent)
    , m_dm(dataModule)
    , TimeTrackerTimer(new QTimer(this))
    , tLastUsedTimer(new QTimer(this))
{
    TimeTrackerTimer->setInterval(MinuteInterval);
    tLastUsedTimer->setInterval(SecondInterval);
    connect(TimeTrackerTimer, &QTimer::timeout, this, &TTimeTracker::OnMinuteTimer);
    connect(tLastUsedTimer, &QTimer::timeout, this, &TTimeTracker::OnSecondTimer);
}

TTimeTracker::~TTimeTracker() = default;

void TTimeTracker::Initialise()
{
    FCurrentTask = TCurrentTask();
    FLastUsedCounter = LastUsedLimit;
    FTimerIncrement = 1;
    SetCurrentTaskValue(true);
    m_initialised = true;
    tLastUsedTimer->start();
    if (FMinuteTimerEnabled)
        TimeTrackerTimer->start();
}

void TTimeTracker::SetMinuteTimerEnabled(bool enabled)
{
    if (enabled == FMinuteTimerEnabled)
        return;
    FMinuteTimerEnabled = enabled;
    if (!m_initialised)
        return;
    if (enabled)
        TimeTrackerTimer->start();
    else
        TimeTrackerTimer->stop();
}

void TTimeTracker::ResetLastUsed()
{
    FLastUsedCounter = 0;
}

void TTimeTracker::EmitIfChanged(const QString &before)
{
    if (FCurrentTask.CurrentTaskDetail() != before)
        emit CurrentTaskChanged(FCurrentTask.CurrentTaskDetail());
}

void TTimeTracker::tLastUsedTimerTimer()
{
    if (FMinuteTimerEnabled) {
        const QString before = FCurrentTask.CurrentTaskDetail();
        FCurrentTask.AddASecond();
        EmitIfChanged(before);
    }
    if (FLastUsedCounter < LastUsedLimit)
        ++FLastUsedCounter;
}

void TTimeTracker::SetCurrentTaskValue(bool bAllRows)
{
    TRecordTable &tasks = m_dm.adsTasks;
    const QString before = FCurrentTask.CurrentTaskDetail();
    const QString bookmark = tasks.Bookmark();
    {
        TControlsSuspended suspended(tasks);
        const TTableField &active = tasks.FieldByName(u"Active");
        bool found = false;
        if (!tasks.IsEmpty()) {
            if (bAllRows) {
                tasks.First();
                while (!tasks.Eof() && !active.AsBoolean())
                    tasks.Next();
            }
            if (active.AsBoolean()) {
                const int today = DateTimeValue::DayOfWeek(DateTimeValue::Now());
                FCurrentTask.SetTaskCode(tasks.FieldByName(u"TaskCode").AsString());
                FCurrentTask.SetDuration(tasks.FieldByName(TdmTasks_Form::DayFieldName(today)).AsDateTime());
                found = true;
            }
        }
        if (!found) {
            FCurrentTask.SetTaskCode(QString());
            FCurrentTask.SetDuration(0.0);
        }
        ReturnToLine(tasks, bookmark);
    }
    EmitIfChanged(before);
}

void TTimeTracker::TimeTrackerTimerTimer()
{
    // A minute falling while the user types is carried to the next tick.
    if (FLastUsedCounter <= TypingGrace) {
        ++FTimerIncrement;
        return;
    }

    // The tick's own writes stay out of the day-duration rule. Cleared again
    // however the tick ends: left set after an error, the user's later edits
    // of day cells would no longer reach the totals. The increment restarts at
    // one minute too, since lines already visited did receive it.
    struct TTickState
    {
        TdmTasks_Form &dm;
        int &increment;
        ~TTickState()
        {
            dm.FTimerActive = false;
            increment = 1;
        }
    } tickState{m_dm, FTimerIncrement};
    m_dm.FTimerActive = true;

    const double inc = FTimerIncrement / DateTimeValue::MinutesPerDay;
    // Today is taken afresh every tick, so the first tick after midnight
    // writes to the next weekday's field.
    const int today = DateTimeValue::DayOfWeek(DateTimeValue::Now());
    TRecordTable &tasks = m_dm.adsTasks;
    TTableField &active = tasks.FieldByName(u"Active");
    TTableField &taskCode = tasks.FieldByName(u"TaskCode");
    TTableField &priority = tasks.FieldByName(u"Priority");
    TTableField &todayField = tasks.FieldByName(TdmTasks_Form::DayFieldName(today));
    const TTaskCodeDates completionDates(m_dm.adsTaskCodes);

    const QString bookmark = tasks.Bookmark();
    TControlsSuspended suspended(tasks);
    tasks.First();
    while (!tasks.Eof()) {
        if (active.AsBoolean()) {
            try {
                tasks.UpdateBatch(TAffectRecords::Current);
                tasks.Edit();
                todayField.SetAsDateTime(DateTimeValue::Frac(todayField.AsDateTime()) + inc);
                SetCurrentTaskValue(false);
                m_dm.FTotalDurationArray[std::size_t(today)] += inc;
            } catch (const EConvertError &) {
                // This line keeps what it had; the others still get their minute.
            }
        }
        // Priority from the task code's completion date; a code without a date
        // (or not among the task codes) leaves the line's priority alone, and an
        // unchanged priority is not written again.
        const double completionDate = completionDates.CompletionDate(taskCode.AsString());
        if (completionDate > 0) {
            const int newPriority = GetPriority(completionDate);
            if (priority.IsNull() || priority.AsInteger() != newPriority) {
                tasks.Edit();
                priority.SetAsInteger(newPriority);
            }
        }
        tasks.Next();
    }

    // A day cell being edited on an active line is compared against a value
    // that includes this minute, so the user's change does not undo it.
    if (m_dm.rCurrentField.Active)
        m_dm.rCurrentField.Value += inc;
    if (DisplayTotal)
        DisplayTotal();
    ReturnToLine(tasks, bookmark);
}

void TTimeTracker::OnMinuteTimer()
{
    try {
        TimeTrackerTimerTimer();
    } catch (const EAbort &) {
    } catch (const std::exception &e) {
        emit TickFailed(QString::fromStdString(e.what()));
    }
}

void TTimeTracker::OnSecondTimer()
{
    try {
        tLastUsedTimerTimer();
        emit SecondTick();
    } catch (const EAbort &) {
    } catch (const std::exception &e) {
        emit TickFailed(QString::fromStdString(e.what()));
    }
}
