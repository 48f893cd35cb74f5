#include "tracking/CurrentTask.h"

#include "app/core/DateTimeValue.h"
#include "app/core/DurationText.h"

void TCurrentTask::SetTaskCode(const QString &value)
{
    FTaskCode = value;
}

void TCurrentTask::SetDuration(double value)
{
    FDuration = value;
    UpdateSelf();
}

void TCurrentTask::AddASecond()
{
    FDuration += 1.0 / DateTimeValue::SecondsPerDay;
    UpdateSelf();
}

void TCurrentTask::UpdateSelf()
{
    FCurrentTaskDetail = CurrentTaskText(FTaskCode, FDuration);
}
