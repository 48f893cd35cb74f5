#pragma once
// Base of the program's dialogs: a client area above a bottom-right row of
// "OK" and "&Cancel" buttons, with placement persistence.

#include "app/ui/BaseFormCommon.h"

#include <QDialog>

class QHBoxLayout;
class QPushButton;

/// Derived dialogs put their controls into ClientArea() (give it a layout) and
/// set their objectName and design size in their constructor. Every way of
/// closing (OK, Cancel, Esc, the title-bar button) ends in done(), which closes
/// the frames and stores the placement first; when that fails the dialog stays
/// open. A derived dialog that extends done() calls this one and checks
/// isVisible() afterwards, or does its own checks before calling it.
class TBaseFormVRQ_BottomDialogForm : public QDialog, public TBaseFormVRQ_Common
{
    Q_OBJECT

public:
    static constexpr int kButtonWidth = 75;
    static constexpr int kButtonHeight = 25;

    explicit TBaseFormVRQ_BottomDialogForm(QWidget *parent = nullptr, Qt::WindowFlags flags = {});

    /// The area above the button row, for the dialog's own controls.
    QWidget *ClientArea() const { return m_clientArea; }

    void setVisible(bool visible) override;
    void done(int result) override;

    /// "OK": the default button, accepts the dialog.
    QPushButton *btnOk = nullptr;
    /// "&Cancel": rejects the dialog.
    QPushButton *btnCancel = nullptr;

protected:
    /// The bottom row; derived bases add buttons to its right end.
    QHBoxLayout *ButtonRow() const { return m_buttonRow; }
    /// A button of the row's standard size.
    QPushButton *MakeButton(const QString &caption);

private:
    QWidget *m_clientArea = nullptr;
    QHBoxLayout *m_buttonRow = nullptr;
};
