#include "app/core/DirsObj.h"
#include "app/core/Errors.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSettings>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

const QString Title = QStringLiteral("Zelbra");

// Each test gets its own root store (an INI file) and per-user folder inside a
// temporary directory.
class DirsObjTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(tmp.isValid());
        storePath = tmp.filePath(QStringLiteral("store/Zelbra.ini"));
        userDir = tmp.filePath(QStringLiteral("user/local"));
    }

    std::unique_ptr<TDirsObj> MakeDirs(const QString &exeName, const QString &store = QString())
    {
        const QString path = store.isEmpty() ? storePath : store;
        auto dirs = std::make_unique<TDirsObj>([path](const QString &) {
            return std::make_unique<QSettings>(path, QSettings::IniFormat);
        });
        dirs->SetAppTitle(Title);
        dirs->SetExeName(exeName);
        dirs->SetUserSaveDirectory(userDir);
        return dirs;
    }

    QString StoredRoot() const
    {
        return QSettings(storePath, QSettings::IniFormat).value(QStringLiteral("Locations/RootDir")).toString();
    }

    static void Touch(const QString &path)
    {
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    }

    QTemporaryDir tmp;
    QString storePath;
    QString userDir;
};

TEST_F(DirsObjTest, PortableKeepsEverythingAboveTheProgramDirectory)
{
    const QString root = tmp.filePath(QStringLiteral("Tools/"));
    const QString bin = root + QStringLiteral("Zelbra/Bin/");
    ASSERT_TRUE(QDir().mkpath(bin));
    Touch(bin + QStringLiteral("Portable.ini"));

    auto dirs = MakeDirs(bin + QStringLiteral("zelbra"));
    dirs->LoadDirs();

    EXPECT_EQ(dirs->InstallType(), itPortable);
    EXPECT_EQ(dirs->AppDir(), bin);
    EXPECT_EQ(dirs->RootDir(), root);
    EXPECT_EQ(dirs->DataDir(), root + QStringLiteral("Data/"));
    EXPECT_EQ(dirs->AdminDataDir(), root + QStringLiteral("Data/"));
    EXPECT_EQ(dirs->SettingsDir(), root + QStringLiteral("Data/Settings/"));
    EXPECT_EQ(dirs->ImageDir(), root + QStringLiteral("Images/"));
    EXPECT_FALSE(dirs->FirstRun());
    EXPECT_FALSE(QFileInfo::exists(storePath)); // the per-user store is not touched
}

TEST_F(DirsObjTest, PortableMarkerMustBeAFile)
{
    const QString bin = tmp.filePath(QStringLiteral("Tools/Zelbra/Bin/"));
    ASSERT_TRUE(QDir().mkpath(bin + QStringLiteral("Portable.ini")));
    auto dirs = MakeDirs(bin + QStringLiteral("zelbra"));
    dirs->LoadDirs();
    EXPECT_EQ(dirs->InstallType(), itStandard);
}

TEST_F(DirsObjTest, StandardFirstRunStoresTheRootAndCreatesTheDataDirectory)
{
    auto dirs = MakeDirs(QStringLiteral("/opt/Zelbra/Bin/zelbra"));
    dirs->LoadDirs();

    EXPECT_EQ(dirs->InstallType(), itStandard);
    EXPECT_TRUE(dirs->FirstRun());
    EXPECT_TRUE(dirs->RootDirStored());
    EXPECT_EQ(dirs->RootDir(), QStringLiteral("/opt/Zelbra/"));
    EXPECT_EQ(StoredRoot(), QStringLiteral("/opt/Zelbra/"));
    EXPECT_EQ(dirs->AppDir(), QStringLiteral("/opt/Zelbra/Bin/"));
    EXPECT_EQ(dirs->AdminDataDir(), QStringLiteral("/opt/Zelbra/Data/"));
    EXPECT_EQ(dirs->ImageDir(), QStringLiteral("/opt/Zelbra/Images/"));
    EXPECT_EQ(dirs->DataDir(), userDir + QStringLiteral("/Zelbra/"));
    EXPECT_EQ(dirs->SettingsDir(), userDir + QStringLiteral("/Zelbra/Settings/"));
    EXPECT_TRUE(QFileInfo(dirs->DataDir()).isDir()); // created with its parents
}

TEST_F(DirsObjTest, StandardProgramOutsideABinDirectoryIsItsOwnRoot)
{
    auto dirs = MakeDirs(QStringLiteral("/opt/Zelbra/zelbra"));
    dirs->LoadDirs();
    EXPECT_EQ(dirs->RootDir(), QStringLiteral("/opt/Zelbra/"));
    EXPECT_EQ(dirs->AppDir(), QStringLiteral("/opt/Zelbra/Bin/"));
}

TEST_F(DirsObjTest, LaterRunsKeepTheStoredRoot)
{
    auto first = MakeDirs(QStringLiteral("/opt/Zelbra/BIN/zelbra"));
    first->LoadDirs();
    ASSERT_EQ(first->RootDir(), QStringLiteral("/opt/Zelbra/"));
    ASSERT_TRUE(QDir(userDir).removeRecursively());

    auto moved = MakeDirs(QStringLiteral("/usr/local/Other/bin/zelbra"));
    moved->LoadDirs();
    EXPECT_FALSE(moved->FirstRun());
    EXPECT_EQ(moved->RootDir(), QStringLiteral("/opt/Zelbra/"));
    EXPECT_EQ(moved->AppDir(), QStringLiteral("/opt/Zelbra/Bin/"));
    EXPECT_EQ(StoredRoot(), QStringLiteral("/opt/Zelbra/"));
    EXPECT_FALSE(QFileInfo::exists(moved->DataDir())); // only a first run creates it
}

TEST_F(DirsObjTest, StoredRootWithoutSeparatorGetsOne)
{
    QSettings(storePath, QSettings::IniFormat).setValue(QStringLiteral("Locations/RootDir"), QStringLiteral("/srv/Zelbra"));
    auto dirs = MakeDirs(QStringLiteral("/opt/Zelbra/Bin/zelbra"));
    dirs->LoadDirs();
    EXPECT_EQ(dirs->RootDir(), QStringLiteral("/srv/Zelbra/"));
    EXPECT_EQ(dirs->AdminDataDir(), QStringLiteral("/srv/Zelbra/Data/"));
}

TEST_F(DirsObjTest, UnwritableStoreStillResolvesTheDirectories)
{
    const QString file = tmp.filePath(QStringLiteral("plain"));
    Touch(file);
    auto dirs = MakeDirs(QStringLiteral("/opt/Zelbra/Bin/zelbra"), file + QStringLiteral("/Zelbra.ini"));
    EXPECT_NO_THROW(dirs->LoadDirs());
    EXPECT_TRUE(dirs->FirstRun());
    EXPECT_FALSE(dirs->RootDirStored());
    EXPECT_EQ(dirs->RootDir(), QStringLiteral("/opt/Zelbra/"));
    EXPECT_EQ(dirs->AppDir(), QStringLiteral("/opt/Zelbra/Bin/"));
}

TEST_F(DirsObjTest, FirstRunFailsWhenTheDataDirectoryCannotBeMade)
{
    const QString file = tmp.filePath(QStringLiteral("plain"));
    Touch(file);
    userDir = file;
    auto dirs = MakeDirs(QStringLiteral("/opt/Zelbra/Bin/zelbra"));
    try {
        dirs->LoadDirs();
        ADD_FAILURE() << "no exception";
    } catch (const EVRQException &e) {
        EXPECT_EQ(e.Message(), QStringLiteral("Cannot create ") + file + QStringLiteral("/Zelbra/"));
    }
}

TEST(DirsObjRootTest, RootFromProgramDirectory)
{
    TDirsObj dirs([](const QString &) { return std::unique_ptr<QSettings>(); });
    dirs.SetAppTitle(Title);
    const struct
    {
        const char *exeDir;
        TInstallType type;
        const char *expected;
    } cases[] = {
        {"/opt/Zelbra/Bin/", itStandard, "/opt/Zelbra/"},
        {"/opt/Zelbra/BIN/", itStandard, "/opt/Zelbra/"},
        {"/opt/Zelbra/bin", itStandard, "/opt/Zelbra/"},
        {"/opt/Zelbra/", itStandard, "/opt/Zelbra/"},
        {"/opt/cabin/", itStandard, "/opt/cabin/"},
        {"/opt/Zelbra/Bin/", itPortable, "/opt/"},
        {"/Zelbra/Bin/", itPortable, "/"},
        {"/Bin/", itPortable, "/Bin/"}, // too short for <root>/Zelbra/Bin/
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(std::string(c.exeDir) + (c.type == itPortable ? " portable" : " standard"));
        EXPECT_EQ(dirs.GetRootDirFromExeDir(QString::fromLatin1(c.exeDir), c.type), QString::fromLatin1(c.expected));
    }
}

TEST(DirsObjRootTest, AddPathDelimiter)
{
    EXPECT_EQ(TDirsObj::AddPathDelimiter(QStringLiteral("/x/")), QStringLiteral("/x/"));
    EXPECT_EQ(TDirsObj::AddPathDelimiter(QStringLiteral("/x")), QStringLiteral("/x/"));
    EXPECT_EQ(TDirsObj::AddPathDelimiter(QStringLiteral("/")), QStringLiteral("/"));
    EXPECT_EQ(TDirsObj::AddPathDelimiter(QString()), QString());
}

TEST(DirsObjRootTest, DefaultStoreIsKeyedByMakerAndTitle)
{
    const std::unique_ptr<QSettings> store = TDirsObj::DefaultSettings(Title);
    EXPECT_EQ(store->format(), QSettings::NativeFormat);
    EXPECT_EQ(store->scope(), QSettings::UserScope);
    EXPECT_EQ(store->organizationName(), QStringLiteral("Korvanti"));
    EXPECT_EQ(store->applicationName(), Title);
}

} // namespace
