#pragma once
// Where Zelbra keeps its files. A standard installation has its program under a
// root directory (remembered per user in the settings store) and the user's data
// in the per-user data folder; a portable one, recognised by "Portable.ini"
// beside the executable, keeps everything under the directory above it.
// Every directory value ends with "/".

#include "app/core/InstallType.h"

#include <QSettings>
#include <QString>

#include <functional>
#include <memory>
#include <optional>

class TDirsObj
{
public:
    /// Opens the per-user store that remembers the root directory for the
    /// given application title.
    using SettingsFactory = std::function<std::unique_ptr<QSettings>(const QString &appTitle)>;

    /// Uses the native per-user store (DefaultSettings).
    TDirsObj();
    /// Uses the given store instead, e.g. an INI file of a test.
    explicit TDirsObj(SettingsFactory settingsFactory);

    /// The native store: organisation "Korvanti", application appTitle.
    static std::unique_ptr<QSettings> DefaultSettings(const QString &appTitle);

    /// Resolves every directory from ExeName, AppTitle, the portable marker and
    /// the stored root. Raises EVRQException when the data directory of a first
    /// run cannot be created.
    void LoadDirs();

    /// Root directory derived from the executable's directory (with its "/"):
    /// portable drops the last len(AppTitle) + 5 characters ("Zelbra/Bin/");
    /// standard drops a final "bin/" or "bin" after a "/" (case ignored).
    QString GetRootDirFromExeDir(const QString &exeDir, TInstallType installType) const;

    /// dir with a trailing "/". The empty text stays empty: it means "no
    /// directory", and a lone "/" would turn it into the filesystem root.
    static QString AddPathDelimiter(const QString &dir);

    /// Replaces GetUserSaveDirectory()'s result in LoadDirs (tests).
    void SetUserSaveDirectory(const QString &dir) { FUserSaveDirOverride = dir; }

    /// True when LoadDirs found no stored root (first run of a standard
    /// installation for this user).
    bool FirstRun() const { return FbFirstRun; }
    /// False when the root of a first run could not be written to the store
    /// (it is derived again on the next run).
    bool RootDirStored() const { return FbRootDirStored; }

    QString AppDir() const { return FAppDir; }
    QString DataDir() const { return FDataDir; }
    QString ImageDir() const { return FImageDir; }
    QString AdminDataDir() const { return FAdminDataDir; }
    TInstallType InstallType() const { return FInstall; }
    QString RootDir() const { return FRootDir; }
    QString ExeName() const { return FExeName; }
    QString AppTitle() const { return FAppTitle; }
    QString SettingsDir() const { return FSettingsDir; }

    void SetAppDir(const QString &value) { FAppDir = value; }
    void SetDataDir(const QString &value) { FDataDir = value; }
    void SetImageDir(const QString &value) { FImageDir = value; }
    void SetAdminDataDir(const QString &value) { FAdminDataDir = value; }
    void SetInstallType(TInstallType value) { FInstall = value; }
    void SetRootDir(const QString &value) { FRootDir = value; }
    void SetExeName(const QString &value) { FExeName = value; }
    void SetAppTitle(const QString &value) { FAppTitle = value; }
    void SetSettingsDir(const QString &value) { FSettingsDir = value; }

private:
    QString StoredRootDir(QSettings &store) const;

    SettingsFactory FSettingsFactory;
    std::optional<QString> FUserSaveDirOverride;
    bool FbFirstRun = false;
    bool FbRootDirStored = true;

    QString FAppDir;
    QString FDataDir;
    QString FImageDir;
    QString FAdminDataDir;
    TInstallType FInstall = itStandard;
    QString FRootDir;
    QString FExeName;
    QString FAppTitle;
    QString FSettingsDir;
};
