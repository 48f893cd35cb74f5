#include "app/core/DirsObj.h"

#include "app/core/Errors.h"
#include "app/core/VRQ_Utils_Unit.h"

#include <QDir>
#include <QFileInfo>

namespace {

const QString PortableMarker = QStringLiteral("Portable.ini");
const QString DataSubDir = QStringLiteral("Data/");
const QString BinSubDir = QStringLiteral("Bin/");
const QString ImagesSubDir = QStringLiteral("Images/");
const QString SettingsSubDir = QStringLiteral("Settings/");
const QString RootDirKey = QStringLiteral("Locations/RootDir");

} // namespace

TDirsObj::TDirsObj()
    : TDirsObj(&TDirsObj::DefaultSettings)
{
}

TDirsObj::TDirsObj(SettingsFactory settingsFactory)
    : FSettingsFactory(std::move(settingsFactory))
{
}

std::unique_ptr<QSettings> TDirsObj::DefaultSettings(const QString &appTitle)
{
    return std::make_unique<QSettings>(QSettings::NativeFormat, QSettings::UserScope, QStringLiteral("Korvanti"),
                                       appTitle);
}

QString TDirsObj::AddPathDelimiter(const QString &dir)
{
    if (dir.isEmpty() || dir.endsWith(u'/'))
        return dir;
    return dir + u'/';
}

QString TDirsObj::GetRootDirFromExeDir(const QString &exeDir, TInstallType installType) const
{
    if (installType == itPortable) {
        // <root>/Zelbra/Bin/: drop the title, "/Bin" and the final "/".
        const qsizetype cut = FAppTitle.size() + 5;
        // A directory too short for that layout keeps everything beside the
        // executable rather than turning into a path relative to wherever the
        // program was started from.
        if (exeDir.size() <= cut)
            return exeDir;
        return exeDir.left(exeDir.size() - cut);
    }
    if (exeDir.endsWith(QStringLiteral("/bin/"), Qt::CaseInsensitive))
        return exeDir.chopped(4);
    if (exeDir.endsWith(QStringLiteral("/bin"), Qt::CaseInsensitive))
        return exeDir.chopped(3);
    return exeDir;
}

QString TDirsObj::StoredRootDir(QSettings &store) const
{
    return AddPathDelimiter(store.value(RootDirKey).toString());
}

void TDirsObj::LoadDirs()
{
    FbFirstRun = false;
    FbRootDirStored = true;

    const QString exeDir = AddPathDelimiter(QFileInfo(FExeName).absolutePath());
    FInstall = QFileInfo(exeDir + PortableMarker).isFile() ? itPortable : itStandard;

    if (FInstall == itPortable) {
        FAppDir = exeDir;
        FRootDir = GetRootDirFromExeDir(exeDir, itPortable);
        FDataDir = FRootDir + DataSubDir;
    } else {
        const std::unique_ptr<QSettings> store = FSettingsFactory ? FSettingsFactory(FAppTitle) : nullptr;
        FRootDir = store ? StoredRootDir(*store) : QString();
        if (FRootDir.isEmpty()) {
            FbFirstRun = true;
            FRootDir = GetRootDirFromExeDir(exeDir, itStandard);
            // A store that cannot be written does not stop the program: the
            // root is derived the same way again on the next run.
            if (store) {
                store->setValue(RootDirKey, FRootDir);
                store->sync();
                FbRootDirStored = store->status() == QSettings::NoError;
            } else {
                FbRootDirStored = false;
            }
        }
        FAppDir = AddPathDelimiter(FRootDir) + BinSubDir;
        const QString userDir = FUserSaveDirOverride ? *FUserSaveDirOverride : GetUserSaveDirectory();
        FDataDir = (userDir + u'/' + FAppTitle + u'/').trimmed();
        if (FbFirstRun && !QDir().mkpath(FDataDir))
            throw EVRQException(QStringLiteral("Cannot create ") + FDataDir);
    }

    FAdminDataDir = AddPathDelimiter(FRootDir) + DataSubDir;
    FImageDir = AddPathDelimiter(FRootDir) + ImagesSubDir;
    FSettingsDir = AddPathDelimiter(FDataDir) + SettingsSubDir;
}
