// Start-up, seeding and saving of the data module.
#include "support/DataModuleFixture.h"

#include "app/core/Clock.h"
#include "app/core/DateTimeValue.h"
#include "app/core/Errors.h"
#include "data/Schema.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>

TEST(DataModuleStartUp, FirstRunSeedsEveryTable)
{
    TClock::SetFixed(QDateTime(QDate(2026, 12, 9), QTime(14, 5))); // a Wednesday
    TDataModuleSandbox sandbox;
    auto dm = sandbox.Create();
    TClock::Release();

    EXPECT_TRUE(dm->SetupRequired());
    EXPECT_DOUBLE_EQ(dm->FDayDuration, 7.0);
    EXPECT_EQ(dm->FMaxJobId, 1);
    for (int d = 1; d <= 7; ++d)
        EXPECT_EQ(dm->FTotalDurationArray[std::size_t(d)], 0.0);
    EXPECT_EQ(dm->adsTaskCodes.RecordCount(), 2);
    EXPECT_EQ(dm->adsTasks.RecordCount(), 1);
    EXPECT_EQ(dm->adsUserTypes.RecordCount(), 2);
    EXPECT_EQ(dm->adsReports.RecordCount(), 4);
    EXPECT_EQ(dm->adsReporting.Data()->RowCount(), 0u) << "history starts empty (its pending new row is not stored)";
    EXPECT_EQ(dm->adsDefaults.RecordCount(), 1);
    EXPECT_EQ(dm->adsTasks.FieldByName(u"TaskCode").AsString(), QStringLiteral("GEN"));
    // The most recent Sunday counting today, at the time of day of the start.
    EXPECT_EQ(DateTimeValue::ToDateTime(dm->adsDefaults.FieldByName(u"WeekStartDate").AsDateTime()),
              QDateTime(QDate(2026, 12, 6), QTime(14, 5)));
    EXPECT_EQ(dm->adsMaxNumbers.FieldByName(u"UserId").AsInteger(), 0);
    EXPECT_EQ(dm->adsMaxNumbers.FieldByName(u"ClientId").AsInteger(), 0);
    EXPECT_EQ(dm->adsMaxNumbers.FieldByName(u"ProjectNumber").AsInteger(), 0);
    EXPECT_FALSE(dm->CreationPhase());
}

namespace {

QByteArray ReadAll(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void WriteAll(const QString &path, const QByteArray &bytes)
{
    QDir().mkpath(QFileInfo(path).path());
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

// Saves a first run's data as a user who accepted setup would.
void SaveAccepted(TdmTasks_Form &dm)
{
    dm.SetSetupRequired(false);
    for (TRecordTable *t : {&dm.adsTaskCodes, &dm.adsTasks, &dm.adsDefaults, &dm.adsProjects, &dm.adsClients,
                            &dm.adsUsers, &dm.adsManagers, &dm.adsUserTypes})
        t->SetTag(1);
    dm.SaveData();
}

} // namespace

TEST(DataModuleDirectories, StandardAndPortableLayouts)
{
    {
        TDataModuleSandbox sandbox;
        auto dm = sandbox.Create();
        const TDirsObj &dirs = dm->DirsObj();
        EXPECT_EQ(dirs.InstallType(), itStandard);
        EXPECT_EQ(dirs.RootDir(), sandbox.Root() + "Tools/Zelbra/");
        EXPECT_EQ(dirs.AppDir(), sandbox.Root() + "Tools/Zelbra/Bin/");
        EXPECT_EQ(dirs.AdminDataDir(), sandbox.Root() + "Tools/Zelbra/Data/");
        EXPECT_EQ(dirs.DataDir(), sandbox.UserDataDir());
        EXPECT_TRUE(QFileInfo(dirs.SettingsDir()).isDir());
        EXPECT_EQ(dm->HelpFile(), dirs.AppDir() + "ZELBRA.HLP");
    }
    {
        TDataModuleSandbox sandbox(TDataModuleSandbox::Portable);
        auto dm = sandbox.Create();
        const TDirsObj &dirs = dm->DirsObj();
        EXPECT_EQ(dirs.InstallType(), itPortable);
        EXPECT_EQ(dirs.RootDir(), sandbox.Root() + "Tools/");
        EXPECT_EQ(dirs.DataDir(), sandbox.Root() + "Tools/Data/");
        EXPECT_EQ(dirs.AdminDataDir(), dirs.DataDir());
        EXPECT_EQ(dirs.SettingsDir(), sandbox.Root() + "Tools/Data/Settings/");
    }
}

TEST(DataModuleSaving, SetupPendingWritesNothing)
{
    TDataModuleSandbox sandbox;
    auto dm = sandbox.Create();
    ASSERT_TRUE(dm->SetupRequired());
    dm->adsTasks.SetTag(1);
    dm->SaveData();
    EXPECT_TRUE(QDir(dm->DirsObj().DataDir()).entryList(QDir::Files).isEmpty());
}

TEST(DataModuleSaving, ChangedTablesAreWrittenAndReadBackWithAOneTimeAdminCopy)
{
    TDataModuleSandbox sandbox;
    {
        auto dm = sandbox.Create();
        SaveAccepted(*dm);
        const QString data = dm->DirsObj().DataDir();
        const QString admin = dm->DirsObj().AdminDataDir();
        for (const QString name : {"TaskCodesfile.xml", "Tasksfile.xml", "Defaultsfile.xml", "Projectsfile.xml",
                                   "Clientsfile.xml", "Usersfile.xml", "Managersfile.xml", "UserTypesfile.xml"}) {
            EXPECT_TRUE(QFileInfo::exists(data + name)) << name.toStdString();
            EXPECT_TRUE(QFileInfo::exists(admin + name)) << name.toStdString();
        }
        EXPECT_FALSE(QFileInfo::exists(data + "Reportsfile.xml")) << "start-up tables are never written";

        // A later change reaches the user's file only; the admin copy stays.
        const QByteArray adminBefore = ReadAll(admin + "Projectsfile.xml");
        dm->adsProjects.Append();
        dm->adsProjects.FieldByName(u"ProjectNumber").SetAsInteger(-1);
        dm->adsProjects.FieldByName(u"ProjectName").SetAsString("Bridge");
        dm->adsProjects.Post();
        EXPECT_EQ(dm->adsProjects.Tag(), 1);
        dm->SaveData();
        EXPECT_EQ(dm->adsProjects.Tag(), 0);
        EXPECT_EQ(ReadAll(admin + "Projectsfile.xml"), adminBefore);
    }
    auto again = sandbox.Create();
    EXPECT_FALSE(again->SetupRequired());
    EXPECT_TRUE(again->adsProjects.Locate("ProjectName", "Bridge"));
    EXPECT_EQ(again->adsMaxNumbers.FieldByName(u"ProjectNumber").AsInteger(), 1);
    EXPECT_EQ(again->adsProjects.Sort(), QStringLiteral("ProjectName ASC"));
    EXPECT_EQ(again->adsClients.Sort(), QStringLiteral("ClientName ASC"));
    EXPECT_EQ(again->adsTaskCodes.Sort(), QStringLiteral("TaskCode ASC"));
}

TEST(DataModuleSaving, PortableInstallationWritesNoSecondCopy)
{
    TDataModuleSandbox sandbox(TDataModuleSandbox::Portable);
    auto dm = sandbox.Create();
    SaveAccepted(*dm);
    const QStringList files = QDir(dm->DirsObj().DataDir()).entryList(QDir::Files);
    EXPECT_EQ(files.size(), 8) << files.join(", ").toStdString();
    EXPECT_FALSE(QFileInfo::exists(sandbox.Root() + "Tools/Zelbra/Data"));
}

TEST(DataModuleSaving, DeletingAloneReachesTheFile)
{
    TDataModuleSandbox sandbox;
    {
        auto dm = sandbox.Create();
        SaveAccepted(*dm);
        dm->adsTaskCodes.First();
        ASSERT_EQ(dm->adsTaskCodes.Tag(), 0);
        dm->adsTaskCodes.Delete();
        EXPECT_EQ(dm->adsTaskCodes.Tag(), 1);
        dm->SaveData();
    }
    auto again = sandbox.Create();
    EXPECT_EQ(again->adsTaskCodes.Data()->RowCount(), 1u);
}

TEST(DataModuleSaving, ATableThatCannotBeWrittenKeepsItsFlagAndTheOthersAreWritten)
{
    TDataModuleSandbox sandbox;
    auto dm = sandbox.Create();
    SaveAccepted(*dm);
    const QString data = dm->DirsObj().DataDir();
    // A directory in place of the tasks file makes its save fail.
    QFile::remove(data + "Tasksfile.xml");
    QDir().mkpath(data + "Tasksfile.xml");
    dm->adsTasks.SetTag(1);
    dm->adsTaskCodes.SetTag(1);
    dm->adsUsers.SetTag(1);
    QFile::remove(data + "Usersfile.xml");
    try {
        dm->SaveData();
        FAIL() << "a failed save must not be reported as success";
    } catch (const EVRQException &e) {
        EXPECT_TRUE(e.Message().contains("Tasksfile.xml")) << e.what();
    }
    EXPECT_EQ(dm->adsTasks.Tag(), 1) << "the next save tries again";
    EXPECT_EQ(dm->adsUsers.Tag(), 0);
    EXPECT_TRUE(QFileInfo::exists(data + "Usersfile.xml")) << "tables after the failed one are still written";

    QDir(data + "Tasksfile.xml").removeRecursively();
    dm->SaveData();
    EXPECT_EQ(dm->adsTasks.Tag(), 0);
    EXPECT_TRUE(QFileInfo(data + "Tasksfile.xml").isFile());
}

TEST(DataModuleSaving, AVanishedDataDirectoryIsMadeAgainAndOneThatCannotBeMadeIsReported)
{
    TDataModuleSandbox sandbox;
    auto dm = sandbox.Create();
    SaveAccepted(*dm);
    const QString data = dm->DirsObj().DataDir();
    QDir(data).removeRecursively();
    dm->adsTasks.SetTag(1);
    dm->SaveData();
    EXPECT_TRUE(QFileInfo::exists(data + "Tasksfile.xml"));

    // The data folder's parent turned into a file: the folder cannot be made.
    QDir(sandbox.UserDir()).removeRecursively();
    WriteAll(sandbox.UserDir(), "not a folder");
    dm->adsTasks.SetTag(1);
    try {
        dm->SaveData();
        FAIL();
    } catch (const EVRQException &e) {
        EXPECT_EQ(e.Message(), QStringLiteral("Cannot create ") + data);
    }
    EXPECT_EQ(dm->adsTasks.Tag(), 1);
}

TEST(DataModuleLoading, AnUnreadableFileIsKeptAsideAndTheTableStartsWithItsDefaults)
{
    TDataModuleSandbox sandbox;
    QString data;
    {
        auto dm = sandbox.Create();
        SaveAccepted(*dm);
        data = dm->DirsObj().DataDir();
    }
    const QByteArray broken = "<xml><s:Schema id='RowsetSchema'><rs:data><z:row TaskCode='A'";
    WriteAll(data + "TaskCodesfile.xml", broken);
    auto dm = sandbox.Create();
    ASSERT_EQ(sandbox.recorder.messages.size(), 1);
    const QString message = sandbox.recorder.messages.first();
    EXPECT_TRUE(message.startsWith("problem")) << message.toStdString();
    EXPECT_TRUE(message.contains(data + "TaskCodesfile.xml")) << message.toStdString();
    EXPECT_TRUE(message.contains(data + "TaskCodesfile.xml.unreadable")) << message.toStdString();
    EXPECT_EQ(ReadAll(data + "TaskCodesfile.xml.unreadable"), broken);
    EXPECT_EQ(dm->adsTaskCodes.Data()->RowCount(), 2u) << "seeded with its default rows";
}

TEST(DataModuleLoading, TheUserTypesFileDecidesTheSourceDirectory)
{
    TDataModuleSandbox sandbox;
    QString admin;
    QString data;
    {
        auto dm = sandbox.Create();
        admin = dm->DirsObj().AdminDataDir();
        data = dm->DirsObj().DataDir();
        dm->adsProjects.Append();
        dm->adsProjects.FieldByName(u"ProjectNumber").SetAsInteger(-1);
        dm->adsProjects.FieldByName(u"ProjectName").SetAsString("From admin");
        dm->adsProjects.Post();
        SaveAccepted(*dm); // writes the user's files and the one-time admin copies
    }
    // Only the admin copy holds a user-types file: every file comes from there,
    // even one that also exists in the user's folder.
    QFile::remove(data + "UserTypesfile.xml");
    QFile::remove(admin + "Clientsfile.xml");
    {
        auto dm = sandbox.Create();
        EXPECT_TRUE(dm->adsProjects.Locate("ProjectName", "From admin"));
        EXPECT_EQ(dm->adsClients.Data()->RowCount(), 1u) << "a file missing in the source gets defaults";
    }
    // The user's folder has the user-types file but nothing else: defaults.
    QDir(data).removeRecursively();
    QDir().mkpath(data);
    QFile::copy(admin + "UserTypesfile.xml", data + "usertypesFILE.xml");
    auto dm = sandbox.Create();
    EXPECT_TRUE(dm->SetupRequired());
    EXPECT_FALSE(dm->adsProjects.Locate("ProjectName", "From admin"));
}

TEST(DataModuleLoading, HighestNumbersComeFromTheLargestAbsoluteKeys)
{
    TDataModuleSandbox sandbox;
    {
        auto dm = sandbox.Create();
        for (const int id : {-3, 2}) {
            dm->adsUsers.Append();
            dm->adsUsers.FieldByName(u"UserID").SetAsInteger(id);
            dm->adsUsers.FieldByName(u"FirstName").SetAsString("A");
            dm->adsUsers.FieldByName(u"LastName").SetAsString("B");
            dm->adsUsers.FieldByName(u"SignOn").SetAsString("ab");
            dm->adsUsers.FieldByName(u"Password").SetAsString("pw");
            dm->adsUsers.Post();
        }
        dm->adsTasks.Edit();
        dm->adsTasks.FieldByName(u"JobId").SetAsInteger(41);
        dm->adsTasks.FieldByName(u"MonDuration").SetAsFloat(2.0 / 24);
        dm->adsTasks.Post();
        SaveAccepted(*dm);
    }
    auto dm = sandbox.Create();
    EXPECT_EQ(dm->adsMaxNumbers.FieldByName(u"UserId").AsInteger(), 3);
    EXPECT_EQ(dm->FMaxJobId, 41);
    EXPECT_NEAR(dm->FTotalDurationArray[2], 2.0 / 24, 1e-12);
}

TEST(DataModuleSaving, AChangedRowStillBeingEditedIsSaved)
{
    TDataModuleSandbox sandbox;
    {
        auto dm = sandbox.Create();
        SaveAccepted(*dm);
        dm->adsTasks.Edit();
        dm->adsTasks.FieldByName(u"TaskDescription").SetAsString("Still typing");
        ASSERT_EQ(dm->adsTasks.Tag(), 0);
        dm->SaveData();
        EXPECT_EQ(dm->adsTasks.Tag(), 0);
    }
    auto again = sandbox.Create();
    EXPECT_TRUE(again->adsTasks.Locate("TaskDescription", "Still typing"));
}
