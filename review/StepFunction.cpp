#include "review/StepFunction.h"

#include "app/core/DateTimeValue.h"
#include "data/DataModule.h"

#include <cmath>

namespace {

// Suspends a table's bound views for a scope.
class TControlsDisabled
{
public:
    explicit TControlsDisabled(TRecordTable &table)
        : m_table(table)
    {
        m_table.DisableControls();
    }
    ~TControlsDisabled() { m_table.EnableControls(); }
    TControlsDisabled(const TControlsDisabled &) = delete;
    TControlsDisabled &operator=(const TControlsDisabled &) = delete;

private:
    TRecordTable &m_table;
};

// Puts the data module's day-cell entry record back when the scope ends.
class TCurrentFieldKept
{
public:
    explicit TCurrentFieldKept(TCurrentFieldRec &record)
        : m_record(record)
        , m_saved(record)
    {
    }
    ~TCurrentFieldKept() { m_record = m_saved; }
    TCurrentFieldKept(const TCurrentFieldKept &) = delete;
    TCurrentFieldKept &operator=(const TCurrentFieldKept &) = delete;

private:
    TCurrentFieldRec &m_record;
    const TCurrentFieldRec m_saved;
};

// Monday first, Sunday last.
constexpr int StepDayOrder[] = {2, 3, 4, 5, 6, 7, 1};

} // namespace

TStepFunction::TStepFunction(TdmTasks_Form &dm)
    : m_dm(dm)
{
}

void TStepFunction::StepExecute()
{
    const int minutes = m_dm.adsDefaults.FieldByName(u"MinimumTaskDuration").AsInteger();
    if (minutes <= 0)
        return;
    if (CommitPendingInput)
        CommitPendingInput();
    TRecordTable &tasks = m_dm.adsTasks;
    tasks.UpdateBatch(TAffectRecords::All);

    const QString current = tasks.Bookmark();
    {
        const TControlsDisabled suspended(tasks);
        {
            const TCurrentFieldKept keptEntry(m_dm.rCurrentField);
            const double step = minutes / DateTimeValue::MinutesPerDay;
            tasks.First();
            while (!tasks.Eof()) {
                tasks.Edit();
                for (const int day : StepDayOrder) {
                    TTableField &field = tasks.FieldByName(TdmTasks_Form::DayFieldName(day));
                    const double time = DateTimeValue::Frac(field.AsFloat());
                    // The day-duration rule moves the day total by new - old.
                    m_dm.rCurrentField.Value = time;
                    // One millionth of a step keeps a whole number of steps
                    // held a hair below it in floating point at that number.
                    const double steps = std::trunc(time / step + 0.000001);
                    field.SetAsFloat(step * steps);
                }
                tasks.Next();
            }
        }
        if (!current.isEmpty()) {
            tasks.SetBookmark(current);
            tasks.Edit();
        }
    }
    if (DisplayTotal)
        DisplayTotal();
}
