#include "app/ui/BottomHelpDialogForm.h"

#include "app/ui/Help.h"

#include <QPushButton>

TBaseFormVRQ_BottomHelpDialogForm::TBaseFormVRQ_BottomHelpDialogForm(QWidget *parent, Qt::WindowFlags flags)
    : TBaseFormVRQ_BottomDialogForm(parent, flags)
{
    btnHelp = MakeButton(tr("&Help"));
    btnHelp->setObjectName(QStringLiteral("btnHelp"));
    btnHelp->setAutoDefault(false);
    connect(btnHelp, &QPushButton::clicked, this, &TBaseFormVRQ_BottomHelpDialogForm::btnHelpClick);
}

void TBaseFormVRQ_BottomHelpDialogForm::btnHelpClick()
{
    OpenHelp(FHelpString.isEmpty() ? kWelcomeTopic : FHelpString, this);
}
