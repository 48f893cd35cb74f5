// Rules of the reference data (being written).
#include "data/DataModule.h"

void TdmTasks_Form::WireReferenceRules()
{
}
