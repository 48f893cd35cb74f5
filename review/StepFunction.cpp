#include "review/StepFunction.h"

#include "app/core/DateTimeValue.h"
#include "data/DataModule.h"
#include "data/TableGuards.h"

#include <cmath>

namespace {

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
        const TControlsSuspended suspended(tasks);
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
