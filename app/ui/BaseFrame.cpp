#include "app/ui/BaseFrame.h"

TBaseFrameVRQ_BaseForm::TBaseFrameVRQ_BaseForm(QWidget *owner)
    : QFrame(owner)
{
}
