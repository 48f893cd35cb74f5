#pragma once
// Window placement records: where a window was, how big, and whether it was
// maximised or minimised, kept per window name. A portable installation keeps
// them in "<SettingsDir><title>.ini", section "Locations"; a standard one in the
// per-user native settings of "Korvanti/<title>", group "Forms/<window name>".

#include "app/core/InstallType.h"

#include <QList>
#include <QRect>
#include <QString>

#include <optional>

/// Where placement records live. The application sets one set of values once
/// (TWindowPlacement::SetApplicationSettings) from its directory object; a
/// window may be given its own (tests do).
struct TPlacementSettings
{
    TInstallType installType = itStandard;
    /// Directory of the portable INI file ("<settingsDir><appTitle>.ini").
    QString settingsDir;
    /// Application title: INI file name and native settings application name.
    QString appTitle;
    /// Organisation of the native settings of a standard installation.
    QString organisation = QStringLiteral("Korvanti");
};

/// One window's placement: normal bounds in screen pixels and the state code
/// (1 = normal, 2 = maximised, 3 = minimised).
struct TPlacementRecord
{
    int left = 0;
    int top = 0;
    int height = 0;
    int width = 0;
    int windowState = 1;

    QRect Bounds() const { return QRect(left, top, width, height); }
    bool operator==(const TPlacementRecord &) const = default;
};

/// Window state to its stored code: maximised 2, minimised 3, anything else 1.
int WindowStateToInteger(Qt::WindowStates state);
/// Stored code to a window state: 1 normal, 2 maximised, any other minimised.
Qt::WindowStates IntegerToWindowState(int value);

/// Reads and writes placement records, and keeps restored windows on screen.
class TWindowPlacement
{
public:
    explicit TWindowPlacement(TPlacementSettings settings);

    /// The record stored for a window, starting from the window's current
    /// placement (the design placement). Portable: only when the INI file has
    /// a "Locations" section; then missing or non-numeric keys give 0 for the
    /// position, the current size and the normal state. Standard: only when
    /// the window's group exists; a missing or non-numeric value keeps the
    /// current one. Nothing is created by reading. Empty when nothing is stored.
    std::optional<TPlacementRecord> Read(const QString &windowName, const TPlacementRecord &current) const;

    /// Stores a window's record. Portable: makes sure the settings directory
    /// exists first and raises EVRQException("Cannot create " + dir) when it
    /// cannot be made; nothing is written then. Returns false when the settings
    /// store could not be written (a read-only file, say); placement is not
    /// worth stopping a close for, so callers may ignore that.
    bool Write(const QString &windowName, const TPlacementRecord &record) const;

    /// Full path of the portable INI file.
    QString IniFileName() const;

    const TPlacementSettings &Settings() const { return m_settings; }

    /// The values used by every window that is not given its own.
    static void SetApplicationSettings(const TPlacementSettings &settings);
    /// Forgets the application-wide values: windows then keep no placement.
    static void ClearApplicationSettings();
    static std::optional<TPlacementSettings> ApplicationSettings();

    /// Moves bounds that no longer show on any screen (a monitor has gone)
    /// back inside the primary screen's available area, as near as possible to
    /// where they were, and shrinks them to fit that area. Bounds count as
    /// showing while their top strip (where the title bar is grabbed) lies on a
    /// screen over at least 48 pixels of width, or the whole width when narrower.
    static QRect FitOnScreens(const QRect &bounds, const QList<QRect> &availableScreens,
                              const QRect &primaryAvailable);
    /// FitOnScreens with the screens of the running application.
    static QRect FitOnScreens(const QRect &bounds);

private:
    std::optional<TPlacementRecord> ReadPortable(const QString &windowName, const TPlacementRecord &current) const;
    std::optional<TPlacementRecord> ReadStandard(const QString &windowName, const TPlacementRecord &current) const;
    bool WritePortable(const QString &windowName, const TPlacementRecord &record) const;
    bool WriteStandard(const QString &windowName, const TPlacementRecord &record) const;

    TPlacementSettings m_settings;
};
