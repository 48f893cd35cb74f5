#include "app/ui/WindowPlacement.h"

#include "app/core/VRQ_Utils_Unit.h"

#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QScreen>
#include <QSettings>

#include <algorithm>

namespace {

// Key texts, declared once.
const QString kLocationsSection = QStringLiteral("Locations");
const QString kFormsGroup = QStringLiteral("Forms");
const QString kLeft = QStringLiteral("Left");
const QString kTop = QStringLiteral("Top");
const QString kHeight = QStringLiteral("Height");
const QString kWidth = QStringLiteral("Width");
const QString kWindowState = QStringLiteral("WindowState");

std::optional<TPlacementSettings> &ApplicationSettingsSlot()
{
    static std::optional<TPlacementSettings> settings;
    return settings;
}

// A stored integer, or the fallback when it is missing or not a number.
int ReadInteger(const QSettings &store, const QString &key, int fallback)
{
    const QVariant value = store.value(key);
    if (!value.isValid())
        return fallback;
    bool ok = false;
    const int number = value.toString().trimmed().toInt(&ok);
    return ok ? number : fallback;
}

// The INI section/key prefix of one window in a portable installation.
QString PortableKey(const QString &windowName, const QString &item)
{
    return kLocationsSection + QLatin1Char('/') + windowName + QLatin1Char('_') + item;
}

} // namespace

int WindowStateToInteger(Qt::WindowStates state)
{
    if (state & Qt::WindowMinimized)
        return 3;
    if (state & Qt::WindowMaximized)
        return 2;
    return 1;
}

Qt::WindowStates IntegerToWindowState(int value)
{
    switch (value) {
    case 1:
        return Qt::WindowNoState;
    case 2:
        return Qt::WindowMaximized;
    default:
        return Qt::WindowMinimized;
    }
}

TWindowPlacement::TWindowPlacement(TPlacementSettings settings)
    : m_settings(std::move(settings))
{
}

QString TWindowPlacement::IniFileName() const
{
    return QDir(m_settings.settingsDir).filePath(m_settings.appTitle + QStringLiteral(".ini"));
}

std::optional<TPlacementRecord> TWindowPlacement::Read(const QString &windowName,
                                                       const TPlacementRecord &current) const
{
    if (windowName.isEmpty())
        return std::nullopt;
    return m_settings.installType == itPortable ? ReadPortable(windowName, current)
                                                : ReadStandard(windowName, current);
}

bool TWindowPlacement::Write(const QString &windowName, const TPlacementRecord &record) const
{
    if (windowName.isEmpty())
        return false;
    return m_settings.installType == itPortable ? WritePortable(windowName, record)
                                                : WriteStandard(windowName, record);
}

std::optional<TPlacementRecord> TWindowPlacement::ReadPortable(const QString &windowName,
                                                               const TPlacementRecord &current) const
{
    // QSettings would not create the file by reading, but a missing file needs
    // no parsing at all.
    if (!QFileInfo::exists(IniFileName()))
        return std::nullopt;
    const QSettings ini(IniFileName(), QSettings::IniFormat);
    if (!ini.childGroups().contains(kLocationsSection))
        return std::nullopt;
    TPlacementRecord record;
    record.left = ReadInteger(ini, PortableKey(windowName, kLeft), 0);
    record.top = ReadInteger(ini, PortableKey(windowName, kTop), 0);
    record.height = ReadInteger(ini, PortableKey(windowName, kHeight), current.height);
    record.width = ReadInteger(ini, PortableKey(windowName, kWidth), current.width);
    record.windowState = ReadInteger(ini, PortableKey(windowName, kWindowState), 1);
    return record;
}

std::optional<TPlacementRecord> TWindowPlacement::ReadStandard(const QString &windowName,
                                                               const TPlacementRecord &current) const
{
    QSettings store(QSettings::NativeFormat, QSettings::UserScope, m_settings.organisation, m_settings.appTitle);
    store.beginGroup(kFormsGroup);
    if (!store.childGroups().contains(windowName))
        return std::nullopt;
    store.beginGroup(windowName);
    TPlacementRecord record = current;
    record.left = ReadInteger(store, kLeft, current.left);
    record.top = ReadInteger(store, kTop, current.top);
    record.height = ReadInteger(store, kHeight, current.height);
    record.width = ReadInteger(store, kWidth, current.width);
    record.windowState = ReadInteger(store, kWindowState, current.windowState);
    return record;
}

bool TWindowPlacement::WritePortable(const QString &windowName, const TPlacementRecord &record) const
{
    CheckCreateDirectory(m_settings.settingsDir);
    QSettings ini(IniFileName(), QSettings::IniFormat);
    ini.setValue(PortableKey(windowName, kLeft), record.left);
    ini.setValue(PortableKey(windowName, kTop), record.top);
    ini.setValue(PortableKey(windowName, kHeight), record.height);
    ini.setValue(PortableKey(windowName, kWidth), record.width);
    ini.setValue(PortableKey(windowName, kWindowState), record.windowState);
    ini.sync();
    return ini.status() == QSettings::NoError;
}

bool TWindowPlacement::WriteStandard(const QString &windowName, const TPlacementRecord &record) const
{
    QSettings store(QSettings::NativeFormat, QSettings::UserScope, m_settings.organisation, m_settings.appTitle);
    store.beginGroup(kFormsGroup + QLatin1Char('/') + windowName);
    store.setValue(kLeft, record.left);
    store.setValue(kTop, record.top);
    store.setValue(kHeight, record.height);
    store.setValue(kWidth, record.width);
    store.setValue(kWindowState, record.windowState);
    store.endGroup();
    store.sync();
    return store.status() == QSettings::NoError;
}

void TWindowPlacement::SetApplicationSettings(const TPlacementSettings &settings)
{
    ApplicationSettingsSlot() = settings;
}

void TWindowPlacement::ClearApplicationSettings()
{
    ApplicationSettingsSlot().reset();
}

std::optional<TPlacementSettings> TWindowPlacement::ApplicationSettings()
{
    return ApplicationSettingsSlot();
}

QRect TWindowPlacement::FitOnScreens(const QRect &bounds, const QList<QRect> &availableScreens,
                                     const QRect &primaryAvailable)
{
    if (bounds.isEmpty() || primaryAvailable.isEmpty())
        return bounds;
    const int stripHeight = std::min(bounds.height(), 24);
    const QRect topStrip(bounds.left(), bounds.top(), bounds.width(), stripHeight);
    const int neededWidth = std::min(bounds.width(), 48);
    const bool showing = std::any_of(availableScreens.cbegin(), availableScreens.cend(), [&](const QRect &screen) {
        const QRect seen = screen.intersected(topStrip);
        return seen.width() >= neededWidth && seen.height() == stripHeight;
    });
    if (showing)
        return bounds;

    const int width = std::min(bounds.width(), primaryAvailable.width());
    const int height = std::min(bounds.height(), primaryAvailable.height());
    const int left = std::clamp(bounds.left(), primaryAvailable.left(), primaryAvailable.right() - width + 1);
    const int top = std::clamp(bounds.top(), primaryAvailable.top(), primaryAvailable.bottom() - height + 1);
    return QRect(left, top, width, height);
}

QRect TWindowPlacement::FitOnScreens(const QRect &bounds)
{
    const QScreen *primary = QGuiApplication::primaryScreen();
    if (!primary)
        return bounds;
    QList<QRect> screens;
    for (const QScreen *screen : QGuiApplication::screens())
        screens.append(screen->availableGeometry());
    return FitOnScreens(bounds, screens, primary->availableGeometry());
}
