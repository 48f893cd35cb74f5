// Rules of the weekly task lines (being written).
#include "data/DataModule.h"

void TdmTasks_Form::WireWeeklyTaskRules()
{
}
