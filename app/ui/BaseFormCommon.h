#pragma once
// What every base window shares, whether it is a main window or a dialog:
// placement kept by window name, the frames' close step, and the debounced
// resize notification.

#include "app/ui/WindowPlacement.h"

#include <QString>

#include <memory>
#include <optional>

class QTimer;
class QWidget;

/// Mixed into TBaseFormVRQ_BaseForm (a QMainWindow) and
/// TBaseFormVRQ_BottomDialogForm (a QDialog) beside their widget base.
///
/// Placement is restored once, when the window is first shown (or earlier, when
/// the window calls RestorePlacement() itself); by then the derived constructor
/// has set the window's name and design size. It is stored on every close.
/// The window's name is its objectName(); when that is empty, the class name
/// without its leading "T" (TForm_Main_Form gives Form_Main_Form).
class TBaseFormVRQ_Common
{
public:
    TBaseFormVRQ_Common(const TBaseFormVRQ_Common &) = delete;
    TBaseFormVRQ_Common &operator=(const TBaseFormVRQ_Common &) = delete;
    virtual ~TBaseFormVRQ_Common();

    /// The name the placement record is kept under.
    QString PlacementName() const;

    /// Gives this window its own placement settings instead of the
    /// application's (TWindowPlacement::SetApplicationSettings).
    void SetPlacementSettings(const TPlacementSettings &settings);
    /// This window's settings, else the application's; none: no placement kept.
    std::optional<TPlacementSettings> PlacementSettings() const;

    /// Applies the stored placement (the create step). Runs once; later calls,
    /// and the automatic call at the first showing, do nothing.
    void RestorePlacement();
    bool PlacementRestored() const { return m_restored; }

    /// Writes the window's current bounds and state. Raises EVRQException when
    /// a portable installation's settings directory cannot be made.
    void StorePlacement() const;

    /// The close step: every base frame of this window, last created first,
    /// gets FrameClose(); then the placement is stored. An error stops the
    /// close: its message is shown (ReportError) and false is returned, and the
    /// window must stay open. EAbort stops it without a message.
    bool FormClose();

    /// Arms the resize notification unless it is already armed: ResizeRequired()
    /// then runs once, on the fourth tick of the 100 ms timer.
    void EnableResizeTimer();
    /// Called once per armed notification; nothing in the base.
    virtual void ResizeRequired() {}

    bool ResizeTimerActive() const;
    int LastResize() const { return FLastResize; }

protected:
    explicit TBaseFormVRQ_Common(QWidget *form);

    /// One tick of tResizeTimer. A derived window may extend it, calling this.
    virtual void tResizeTimerTimer();

    /// Shows an error that stopped a close. The default is a warning box.
    virtual void ReportError(const QString &message);

    std::unique_ptr<QTimer> tResizeTimer;
    /// Milliseconds counted since the notification was armed.
    int FLastResize = 0;

private:
    void CloseFrames();

    QWidget *m_form;
    std::optional<TPlacementSettings> m_ownSettings;
    bool m_restored = false;
};
