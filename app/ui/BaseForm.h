#pragma once
// Base of the program's main windows (the timesheet, review and report windows):
// a QMainWindow, so they have menus, tool bars and a status bar, with placement
// persistence and the debounced resize notification.

#include "app/ui/BaseFormCommon.h"

#include <QMainWindow>

/// A derived window sets its objectName (e.g. "Form_Main_Form") and design size
/// in its constructor; the stored placement is applied when it is first shown.
/// Its closeEvent override calls this one first and goes on only when the event
/// is still accepted:
///
///     void TForm_Main_Form::closeEvent(QCloseEvent *event)
///     {
///         TBaseFormVRQ_BaseForm::closeEvent(event);
///         if (!event->isAccepted())
///             return;           // placement could not be stored: stay open
///         ...                   // save the data
///     }
class TBaseFormVRQ_BaseForm : public QMainWindow, public TBaseFormVRQ_Common
{
    Q_OBJECT

public:
    explicit TBaseFormVRQ_BaseForm(QWidget *parent = nullptr, Qt::WindowFlags flags = {});

    void setVisible(bool visible) override;

protected:
    /// Closes the frames and stores the placement; ignores the event when that fails.
    void closeEvent(QCloseEvent *event) override;
};
