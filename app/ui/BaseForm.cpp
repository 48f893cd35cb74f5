#include "app/ui/BaseForm.h"

#include <QCloseEvent>

TBaseFormVRQ_BaseForm::TBaseFormVRQ_BaseForm(QWidget *parent, Qt::WindowFlags flags)
    : QMainWindow(parent, flags)
    , TBaseFormVRQ_Common(this)
{
}

void TBaseFormVRQ_BaseForm::setVisible(bool visible)
{
    if (visible)
        RestorePlacement();
    QMainWindow::setVisible(visible);
}

void TBaseFormVRQ_BaseForm::closeEvent(QCloseEvent *event)
{
    if (FormClose())
        event->accept();
    else
        event->ignore();
}
