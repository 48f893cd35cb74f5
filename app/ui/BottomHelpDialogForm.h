#pragma once
// A bottom-button dialog with a "&Help" button right of Cancel, which opens the
// program's help at the dialog's topic.

#include "app/ui/BottomDialogForm.h"

class TBaseFormVRQ_BottomHelpDialogForm : public TBaseFormVRQ_BottomDialogForm
{
    Q_OBJECT

public:
    explicit TBaseFormVRQ_BottomHelpDialogForm(QWidget *parent = nullptr, Qt::WindowFlags flags = {});

    /// The help topic the Help button opens; empty means "Welcome".
    QString HelpString() const { return FHelpString; }
    void SetHelpString(const QString &topic) { FHelpString = topic; }

    /// "&Help".
    QPushButton *btnHelp = nullptr;

public slots:
    /// Opens the help at HelpString(), or at "Welcome" when it is empty.
    virtual void btnHelpClick();

protected:
    QString FHelpString;
};
