// The program's start-up and shutdown: the order of the steps, the guard
// against a second Zelbra on the same data directory, termination signals that
// close the main window the normal way, and the handling of escaped errors.
#include "WindowTestSupport.h"

#include "app/core/Errors.h"
#include "app/ui/SingleInstance.h"
#include "app/ui/WindowPlacement.h"
#include "app/ui/ZelbraApplication.h"
#include "tracking/StartUp.h"
#include "tracking/TimeTrackerFrame.h"

#include <QDateTime>
#include <QDirIterator>
#include <QFileInfo>
#include <QLockFile>
#include <QSettings>
#include <QSignalSpy>
#include <QSysInfo>
#include <QTemporaryDir>

#include <csignal>

namespace {

class StartUpTest : public ::testing::Test
{
protected:
    void SetUp() override { TClock::SetFixed(QDateTime(QDate(2026, 12, 8), QTime(10, 0))); }
    void TearDown() override
    {
        TClock::Release();
        TWindowPlacement::ClearApplicationSettings();
    }

    TStartUpOptions Options(TRecordingReporter &messages)
    {
        TStartUpOptions options;
        options.environment.exeName = sandbox.ExeDir() + QStringLiteral("zelbra");
        const QString ini = sandbox.SettingsFile();
        options.environment.settings = [ini](const QString &) {
            return std::make_unique<QSettings>(ini, QSettings::IniFormat);
        };
        options.environment.userSaveDirectory = sandbox.UserDir();
        options.mainForm.showSplash = false;
        options.messages = &messages;
        return options;
    }

    /// Every file under the sandbox with its size and modification time.
    QStringList Files()
    {
        QStringList files;
        QDirIterator it(sandbox.Root(), QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
        while (it.hasNext()) {
            const QFileInfo info(it.next());
            files << info.filePath() + u' ' + QString::number(info.size()) + u' '
                         + QString::number(info.lastModified().toMSecsSinceEpoch());
        }
        files.sort();
        return files;
    }

    /// A previous run's data, saved: a line and the options, setup done.
    void SeedData()
    {
        auto dm = sandbox.Create();
        dm->SetSetupRequired(false);
        dm->adsTasks.Append();
        dm->adsTasks.FieldByName(u"TaskCode").SetAsString(QStringLiteral("SEEN"));
        dm->adsTasks.Post();
        dm->adsDefaults.Edit();
        dm->adsDefaults.FieldByName(u"WeekStartDate").SetAsDateTime(DateTimeValue::Now() - 2);
        dm->adsDefaults.Post();
        dm->SaveData();
    }

    TDataModuleSandbox sandbox;
    TRecordingReporter reporter;
};

TEST_F(StartUpTest, StepsRunInOrderAndTheWindowsBindToLoadedData)
{
    SeedData();
    TZelbraStartUp startUp(Options(reporter));
    bool dataLoadedBeforeLongLivedWindows = false;
    startUp.CreateLongLivedWindows = [&](TZelbraStartUp &s) {
        dataLoadedBeforeLongLivedWindows = s.DataModule() && s.MainForm();
        s.NoteStep(QStringLiteral("ReviewWindow"));
    };
    ASSERT_EQ(startUp.Start(), TZelbraStartUp::srRunning);
    EXPECT_EQ(startUp.Steps(), (QStringList{QStringLiteral("Title"), QStringLiteral("InstanceLock"),
                                            QStringLiteral("DataModule"), QStringLiteral("MainForm"),
                                            QStringLiteral("ReviewWindow"), QStringLiteral("Shown")}));
    EXPECT_TRUE(dataLoadedBeforeLongLivedWindows);
    EXPECT_EQ(QApplication::applicationName(), QStringLiteral("Zelbra"));
    // The main window was built over the loaded sheet.
    TForm_Main_Form &main = *startUp.MainForm();
    EXPECT_TRUE(main.isVisible());
    const TRecordTable &tasks = startUp.DataModule()->adsTasks;
    bool seen = false;
    for (int row = 0; row < tasks.RecordCount(); ++row)
        seen |= tasks.ValueAt(row, tasks.FieldByName(u"TaskCode")).toString() == QStringLiteral("SEEN");
    EXPECT_TRUE(seen);
    EXPECT_EQ(main.Frame_TimeTracker_Form1->Model().rowCount(), tasks.RecordCount());
    EXPECT_TRUE(reporter.errors.isEmpty()) << reporter.errors.join(u'|').toStdString();
    EXPECT_TRUE(startUp.RequestShutdown());
}

TEST_F(StartUpTest, ADataModuleErrorIsShownAndStartUpGoesOn)
{
    // The per-user data folder lies below a plain file: it cannot be made.
    QFile blocker(sandbox.UserDir() + QStringLiteral("/Zelbra"));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    TZelbraStartUp startUp(Options(reporter));
    const TZelbraStartUp::TResult result = startUp.Start();
    ASSERT_FALSE(reporter.errors.isEmpty());
    EXPECT_TRUE(reporter.errors[0].startsWith(QStringLiteral("Cannot create "))) << reporter.errors[0].toStdString();
    EXPECT_TRUE(startUp.Steps().contains(QStringLiteral("DataModule")));
    if (result == TZelbraStartUp::srRunning)
        startUp.RequestShutdown();
}

TEST_F(StartUpTest, ASecondZelbraOnTheSameDataLeavesEveryFileAlone)
{
    SeedData();
    auto first = std::make_unique<TZelbraStartUp>(Options(reporter));
    ASSERT_EQ(first->Start(), TZelbraStartUp::srRunning);
    const QStringList before = Files();

    TRecordingReporter secondMessages;
    {
        TZelbraStartUp second(Options(secondMessages));
        EXPECT_EQ(second.Start(), TZelbraStartUp::srAlreadyRunning);
        EXPECT_EQ(second.DataModule(), nullptr);
        EXPECT_EQ(second.MainForm(), nullptr);
    }
    EXPECT_EQ(secondMessages.messages, QStringList{TSingleInstance::AlreadyRunningMessage()});
    EXPECT_EQ(Files(), before);

    // Once the first has ended, Zelbra starts again.
    ASSERT_TRUE(first->RequestShutdown());
    first.reset();
    TRecordingReporter thirdMessages;
    {
        TZelbraStartUp third(Options(thirdMessages));
        EXPECT_EQ(third.Start(), TZelbraStartUp::srRunning);
        third.RequestShutdown();
    }
    EXPECT_TRUE(thirdMessages.messages.isEmpty());
}

TEST(SingleInstance, ALockLeftByAProgramThatDiedIsTakenOver)
{
    QTemporaryDir dir;
    const QString dataDir = dir.path() + QStringLiteral("/data/");
    ASSERT_TRUE(QDir().mkpath(dataDir));
    // A lock file in QLockFile's form naming a process that does not run.
    QFile stale(dataDir + TSingleInstance::LockFileName);
    ASSERT_TRUE(stale.open(QIODevice::WriteOnly));
    stale.write("2147480000\nzelbra\n" + QSysInfo::machineHostName().toUtf8() + "\n");
    stale.close();
    TSingleInstance guard(dataDir);
    EXPECT_TRUE(guard.TryAcquire());
    TSingleInstance other(dataDir);
    EXPECT_FALSE(other.TryAcquire());
    EXPECT_FALSE(other.LockUnavailable());
}

TEST_F(StartUpTest, TerminationSignalClosesTheMainWindowAndSaves)
{
    SeedData();
    TZelbraStartUp startUp(Options(reporter));
    ASSERT_EQ(startUp.Start(), TZelbraStartUp::srRunning);
    TdmTasks_Form &dm = *startUp.DataModule();
    dm.adsTasks.Append();
    dm.adsTasks.FieldByName(u"TaskCode").SetAsString(QStringLiteral("LATE"));
    dm.adsTasks.Post();
    const QString tasksFile = dm.DirsObj().DataDir() + QStringLiteral("Tasksfile.xml");
    QFile::remove(tasksFile);

    TShutdownSignals shutdown;
    ASSERT_TRUE(shutdown.Installed());
    QObject::connect(&shutdown, &TShutdownSignals::shutdownRequested, [&] { startUp.RequestShutdown(); });
    QSignalSpy requested(&shutdown, &TShutdownSignals::shutdownRequested);
    ASSERT_EQ(::raise(SIGTERM), 0);
    ASSERT_TRUE(requested.wait(2000));
    EXPECT_EQ(requested.at(0).at(0).toInt(), SIGTERM);
    EXPECT_FALSE(startUp.MainForm()->isVisible());
    QFile saved(tasksFile);
    ASSERT_TRUE(saved.open(QIODevice::ReadOnly));
    EXPECT_TRUE(saved.readAll().contains("LATE"));
}

TEST(ZelbraApplication, EscapedErrorsShowTheirMessageAndAbortShowsNothing)
{
    TRecordingReporter reporter;
    const auto show = [&](auto error) { TZelbraApplication::ShowException(std::make_exception_ptr(error), reporter); };
    show(EVRQException(QStringLiteral("Cannot create /x/")));
    show(EAbort());
    show(EConvertError(QStringLiteral("'ab' is not a valid time")));
    EXPECT_EQ(reporter.errors,
              (QStringList{QStringLiteral("Cannot create /x/"), QStringLiteral("'ab' is not a valid time")}));
}

} // namespace
