// The main window: its caption and Today column over time, its grid layout
// and row colours, the due-week rule of its first showing and the review
// window's round trip, pausing, the height snap, and what its close saves.
#include "WindowTestSupport.h"

#include "app/ui/WindowPlacement.h"
#include "tracking/MainForm.h"
#include "tracking/TimeTracker.h"
#include "tracking/TimeTrackerFrame.h"
#include "tracking/TimesheetView.h"
#include "tracking/TrackingPause.h"

#include <QAction>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QSettings>
#include <QSignalSpy>

namespace {

using Grid = TFrame_TimeTracker_Form;

class MainFormTest : public WindowTest
{
protected:
    explicit MainFormTest(TDataModuleSandbox::Layout layout = TDataModuleSandbox::Standard)
        : WindowTest(layout)
    {
    }

    void SetUp() override
    {
        WindowTest::SetUp();
        // Placement goes to a file of this test, whatever the installation.
        placement.installType = itPortable;
        placement.settingsDir = sandbox.Root() + QStringLiteral("placement/");
        placement.appTitle = QStringLiteral("Zelbra");
    }
    void TearDown() override
    {
        main.reset();
        WindowTest::TearDown();
    }

    TForm_Main_Form &Make()
    {
        TMainFormOptions options;
        options.messages = &reporter;
        options.showSplash = false;
        main = std::make_unique<TForm_Main_Form>(*dm, options);
        main->SetPlacementSettings(placement);
        return *main;
    }
    /// Shows the window and lets its first-show handling run.
    void Show()
    {
        main->show();
        QApplication::processEvents();
        QApplication::processEvents();
    }
    Grid &GridOf() { return *main->Frame_TimeTracker_Form1; }
    void SetOption(QStringView field, const QVariant &value)
    {
        dm->adsDefaults.Edit();
        dm->adsDefaults.FieldByName(field).SetValue(value);
        dm->adsDefaults.Post();
    }

    TPlacementSettings placement;
    std::unique_ptr<TForm_Main_Form> main;
};

TEST_F(MainFormTest, CaptionShowsLongDateAndShortTimeAndFollowsTheClock)
{
    TClock::SetFixed(QDateTime(QDate(2026, 12, 8), QTime(14, 5, 58)));
    Make();
    EXPECT_EQ(main->objectName(), QStringLiteral("Form_Main_Form"));
    EXPECT_EQ(main->windowTitle(), QStringLiteral("Zelbra - Tuesday, 8 December 2026 - 14:05"));
    TClock::Advance(2000);
    main->Frame_TimeTracker_Form1tLastUsedTimerTimer();
    EXPECT_EQ(main->windowTitle(), QStringLiteral("Zelbra - Tuesday, 8 December 2026 - 14:06"));
    EXPECT_FALSE(main->windowFlags() & Qt::WindowMaximizeButtonHint);
}

TEST_F(MainFormTest, TodayColumnIsRebound)
{
    AddLine(QStringLiteral("ABC"), false, Hm(1, 0));
    Tasks().Locate(QStringLiteral("TaskCode"), QStringLiteral("ABC"));
    Tasks().Edit();
    Tasks().FieldByName(u"WedDuration").SetAsDateTime(Hm(2, 15));
    Tasks().Post();
    TClock::SetFixed(QDateTime(QDate(2026, 12, 8), QTime(23, 59, 59)));
    Make();
    Grid &grid = GridOf();
    const QModelIndex today = grid.Model().index(RowOf(QStringLiteral("ABC")), TTimesheetModel::ColumnOfTag(Grid::gcMon));
    EXPECT_EQ(grid.ColumnFieldName(Grid::gcMon), QStringLiteral("TueDuration"));
    EXPECT_EQ(today.data().toString(), QStringLiteral("01:00"));
    EXPECT_EQ(grid.Model().headerData(today.column(), Qt::Horizontal).toString(), QStringLiteral("Today"));

    TClock::Advance(2000); // past midnight: Wednesday
    main->Frame_TimeTracker_Form1tLastUsedTimerTimer();
    EXPECT_EQ(grid.ColumnFieldName(Grid::gcMon), QStringLiteral("WedDuration"));
    EXPECT_EQ(today.data().toString(), QStringLiteral("02:15"));
    EXPECT_EQ(main->FlastDate, DateTimeValue::FromDate(QDate(2026, 12, 9)));
    // Clicking Today orders by the day it shows.
    grid.OrderPanelClick(Grid::gcMon);
    EXPECT_EQ(Tasks().Sort(), QStringLiteral("WedDuration ASC"));
}

TEST_F(MainFormTest, GridShowsTheOptionsColumnsAndOnlyToday)
{
    SetOption(u"DisplayProjects", true);
    SetOption(u"DisplaySummaryDuration", false);
    SetOption(u"DisplayPriority", false);
    SetOption(u"DisplayClients", true); // the main window never shows clients at first
    Make();
    QStringList shown;
    for (int tag = Grid::FirstColumn; tag <= Grid::LastColumn; ++tag)
        if (GridOf().ColumnShown(tag))
            shown << GridOf().Model().headerData(TTimesheetModel::ColumnOfTag(tag), Qt::Horizontal).toString();
    EXPECT_EQ(shown, (QStringList{QStringLiteral("Project"), QStringLiteral("Task Code"), QStringLiteral("Description"),
                                  QStringLiteral("Today"), QStringLiteral("A")}));
    EXPECT_EQ(GridOf().ColumnWidth(Grid::gcMon), 51);
}

TEST_F(MainFormTest, CompletedLinesStayHiddenAndActiveLinesAreHighlighted)
{
    AddLine(QStringLiteral("DONE"), false, 0.0, true);
    AddLine(QStringLiteral("RUN"), true);
    Make();
    EXPECT_EQ(RowOf(QStringLiteral("DONE")), -1);
    const QPalette &palette = main->palette();
    const auto background = [&](const QString &code) {
        return GridOf().Model().index(RowOf(code), 0).data(Qt::BackgroundRole).value<QBrush>().color();
    };
    EXPECT_EQ(background(QStringLiteral("RUN")), palette.color(QPalette::Highlight));
    EXPECT_EQ(background(QStringLiteral("GEN")), palette.color(QPalette::Button));
}

TEST_F(MainFormTest, TodayTotalStandsUnderTheTodayColumn)
{
    AddLine(QStringLiteral("ABC"), false, Hm(3, 20));
    Make();
    GridOf().DisplayTotal();
    EXPECT_EQ(GridOf().DayLabels[Grid::gcMon]->text(), QStringLiteral("03:20"));
}

TEST(MainFormWeekDue, OpensOnTheFirstDayOfTheWeekOrAfterThirteenDays)
{
    // Week started on Sunday 29 November 2026 at 09:30; first day of the week Sunday (1).
    const double weekStart = DateTimeValue::FromDateTime(QDateTime(QDate(2026, 11, 29), QTime(9, 30)));
    struct Case
    {
        QDateTime now;
        int startDay;
        bool due;
    };
    const Case cases[] = {
        {QDateTime(QDate(2026, 12, 11), QTime(9, 30)), 1, false},  // 12 days, a Friday
        {QDateTime(QDate(2026, 12, 12), QTime(9, 30)), 1, false},  // exactly 13 days: not later
        {QDateTime(QDate(2026, 12, 12), QTime(9, 31)), 1, true},   // more than 13 days
        {QDateTime(QDate(2026, 12, 1), QTime(8, 0)), 3, true},     // Tuesday, the week starts on Tuesday
        {QDateTime(QDate(2026, 12, 1), QTime(8, 0)), 2, false},    // Tuesday, the week starts on Monday
    };
    for (const Case &c : cases)
        EXPECT_EQ(TForm_Main_Form::WeekDue(DateTimeValue::FromDateTime(c.now), weekStart, c.startDay), c.due)
            << c.now.toString().toStdString();
}

TEST_F(MainFormTest, FirstShowingOpensTheReviewWindowWhenAWeekIsDue)
{
    struct Case
    {
        int daysSinceWeekStart;
        int startDay;
        bool opens;
    };
    // Today is Tuesday (3).
    const Case cases[] = {{12, 1, false}, {14, 1, true}, {2, 3, true}};
    for (const Case &c : cases) {
        SCOPED_TRACE(c.daysSinceWeekStart);
        SetOption(u"WeekStartDate", DateTimeValue::Now() - c.daysSinceWeekStart);
        SetOption(u"StartDayOfWeek", c.startDay);
        Make();
        QSignalSpy requested(main.get(), &TForm_Main_Form::SubmitFormRequested);
        int opened = 0;
        main->SetDisplaySubmitForm([&](const QString &) {
            ++opened;
            return TSubmitFormResult{0, QString()};
        });
        Show();
        EXPECT_EQ(opened, c.opens ? 1 : 0);
        EXPECT_EQ(requested.count(), c.opens ? 1 : 0);
        main->hide();
        main.reset();
    }
}

TEST_F(MainFormTest, WithoutAReviewWindowADueWeekIsOnlyAnnounced)
{
    SetOption(u"WeekStartDate", DateTimeValue::Now() - 20);
    Make();
    EXPECT_FALSE(main->aReview->isEnabled());
    QSignalSpy requested(main.get(), &TForm_Main_Form::SubmitFormRequested);
    Show();
    EXPECT_EQ(requested.count(), 1);
    EXPECT_TRUE(main->isVisible());
    EXPECT_EQ(Tasks().Filter(), QStringLiteral("Completed = False"));
}

TEST_F(MainFormTest, ReviewRoundTripStopsTimeShowsEveryLineAndRestoresTheMainView)
{
    AddLine(QStringLiteral("DONE"), false, 0.0, true);
    AddLine(QStringLiteral("RUN"), true, Hm(1, 0));
    Make();
    Show();
    TTimeTracker &tracker = GridOf().Tracker();
    ASSERT_TRUE(tracker.MinuteTimer().isActive());
    bool timerDuring = true;
    bool completedShown = false;
    main->SetDisplaySubmitForm([&](const QString &panel) {
        EXPECT_EQ(panel, QStringLiteral("pTaskCode"));
        timerDuring = tracker.MinuteTimer().isActive();
        completedShown = RowOf(QStringLiteral("DONE")) >= 0;
        // Ten minutes in the review window.
        for (int minute = 0; minute < 10; ++minute) {
            TClock::Advance(60000);
            if (tracker.MinuteTimer().isActive())
                tracker.TimeTrackerTimerTimer();
        }
        Tasks().SetSort(QStringLiteral("ProjectNumber ASC"));
        return TSubmitFormResult{0, QStringLiteral("pProjectName")};
    });
    main->aReview->trigger();
    EXPECT_FALSE(timerDuring);
    EXPECT_TRUE(completedShown);
    EXPECT_EQ(Ms(OnLine(QStringLiteral("RUN"), u"TueDuration").toDouble()), Ms(Hm(1, 0)));
    EXPECT_TRUE(tracker.MinuteTimer().isActive());
    EXPECT_EQ(RowOf(QStringLiteral("DONE")), -1);
    EXPECT_EQ(GridOf().FsPanelName(), QStringLiteral("pProjectName"));
    EXPECT_TRUE(main->isVisible());
}

TEST_F(MainFormTest, ReviewWindowExitClosesTheMainWindow)
{
    Make();
    Show();
    main->SetDisplaySubmitForm([](const QString &) { return TSubmitFormResult{TForm_Main_Form::mrExit, QString()}; });
    main->ShowSubmitForm();
    EXPECT_FALSE(main->isVisible());
}

TEST_F(MainFormTest, PauseShowsOnTheActionAndTheTotalsBar)
{
    Make();
    Show();
    EXPECT_EQ(main->aPauseRestart->text(), QStringLiteral("&Pause"));
    main->aPauseRestart->trigger();
    EXPECT_EQ(main->aPauseRestart->text(), QStringLiteral("&Start"));
    EXPECT_EQ(main->aPauseRestart->toolTip(), QStringLiteral("Start"));
    EXPECT_TRUE(GridOf().lblPaused->isVisible());
    EXPECT_FALSE(GridOf().Tracker().MinuteTimer().isActive());
    main->aPauseRestart->trigger();
    EXPECT_EQ(main->aPauseRestart->text(), QStringLiteral("Pau&se"));
    EXPECT_FALSE(GridOf().lblPaused->isVisible());
    EXPECT_TRUE(GridOf().Tracker().MinuteTimer().isActive());
}

TEST_F(MainFormTest, HeightSnapsToWholeRows)
{
    Make();
    Show();
    for (const int height : {260, 300, 177}) {
        main->resize(main->width(), height);
        QApplication::processEvents();
        main->ResizeRequired();
        QApplication::processEvents();
        EXPECT_EQ(GridOf().RowAreaHeight() % Grid::RowHeight, 0) << height;
        EXPECT_GE(GridOf().RowAreaHeight(), Grid::RowHeight) << height;
        EXPECT_LE(main->height(), height) << height;
    }
}

TEST_F(MainFormTest, CloseWritesTheChangedTablesOnly)
{
    // Files from start-up out of the way: what the close writes is what appears.
    for (const QString &file : DataFiles())
        QFile::remove(dm->DirsObj().DataDir() + file);
    AddLine(QStringLiteral("ABC"), false, Hm(0, 45));
    AddTaskCode(QStringLiteral("ABC"));
    Make();
    Show();
    main->close();
    EXPECT_FALSE(main->isVisible());
    EXPECT_EQ(DataFiles(), (QStringList{QStringLiteral("TaskCodesfile.xml"), QStringLiteral("Tasksfile.xml")}));
    EXPECT_EQ(Tasks().Tag(), 0);
    EXPECT_EQ(dm->adsTaskCodes.Tag(), 0);
    EXPECT_TRUE(reporter.saveFailures.isEmpty());
}

TEST_F(MainFormTest, CloseSavesWhatIsStillBeingTyped)
{
    for (const QString &file : DataFiles())
        QFile::remove(dm->DirsObj().DataDir() + file);
    Make();
    Show();
    TTimesheetView &view = GridOf().View();
    ASSERT_TRUE(view.EditCell(GridOf().Model().index(RowOf(QStringLiteral("GEN")),
                                                     TTimesheetModel::ColumnOfTag(Grid::gcDescription))));
    qobject_cast<QLineEdit *>(view.OpenEditor())->setText(QStringLiteral("General, typed"));
    main->close();
    EXPECT_FALSE(main->isVisible());
    EXPECT_EQ(OnLine(QStringLiteral("GEN"), u"TaskDescription").toString(), QStringLiteral("General, typed"));
    EXPECT_EQ(DataFiles(), QStringList{QStringLiteral("Tasksfile.xml")});
}

TEST_F(MainFormTest, FailedSaveAtCloseAsksAndNeverLosesChangesSilently)
{
    AddLine(QStringLiteral("ABC"), false, Hm(0, 45));
    // A directory where the task file goes: no save can replace it.
    const QString tasksFile = dm->DirsObj().DataDir() + QStringLiteral("Tasksfile.xml");
    QFile::remove(tasksFile);
    ASSERT_TRUE(QDir().mkpath(tasksFile));
    Make();
    Show();

    reporter.answers = {TMessageReporter::sfRetry, TMessageReporter::sfCancelClose};
    main->close();
    EXPECT_EQ(reporter.saveFailures.size(), 2);
    EXPECT_TRUE(reporter.saveFailures[0].contains(QStringLiteral("Tasksfile.xml")))
        << reporter.saveFailures[0].toStdString();
    EXPECT_TRUE(main->isVisible());
    EXPECT_EQ(Tasks().Tag(), 1);

    // The fault mended, the next close saves and the window goes.
    ASSERT_TRUE(QDir(tasksFile).removeRecursively());
    reporter.saveFailures.clear();
    main->close();
    EXPECT_TRUE(reporter.saveFailures.isEmpty());
    EXPECT_FALSE(main->isVisible());
    EXPECT_TRUE(QFileInfo(tasksFile).isFile());
    EXPECT_EQ(Tasks().Tag(), 0);
}

TEST_F(MainFormTest, QuitAnywayClosesWithoutTheSave)
{
    AddLine(QStringLiteral("ABC"), false, Hm(0, 45));
    const QString tasksFile = dm->DirsObj().DataDir() + QStringLiteral("Tasksfile.xml");
    QFile::remove(tasksFile);
    ASSERT_TRUE(QDir().mkpath(tasksFile));
    Make();
    Show();
    reporter.answers = {TMessageReporter::sfQuitAnyway};
    main->close();
    EXPECT_EQ(reporter.saveFailures.size(), 1);
    EXPECT_FALSE(main->isVisible());
}

TEST_F(MainFormTest, AutoSaveWritesChangesEveryTenMinutesAndShowsFailures)
{
    Make();
    EXPECT_EQ(main->AutoSaveTimer->interval(), 600000);
    EXPECT_TRUE(main->AutoSaveTimer->isActive());
    AddLine(QStringLiteral("ABC"), false, Hm(0, 45));
    const QString tasksFile = dm->DirsObj().DataDir() + QStringLiteral("Tasksfile.xml");
    QFile::remove(tasksFile);
    ASSERT_TRUE(QDir().mkpath(tasksFile));
    main->AutoSaveTimerTimer();
    EXPECT_EQ(reporter.errors.size(), 1);
    ASSERT_TRUE(QDir(tasksFile).removeRecursively());
    main->AutoSaveTimerTimer();
    EXPECT_TRUE(QFileInfo(tasksFile).isFile());
    EXPECT_EQ(reporter.errors.size(), 1);
}

// --- first run --------------------------------------------------------------------------

class FirstRunTest : public MainFormTest
{
protected:
    void SetUp() override
    {
        TClock::SetFixed(StartMoment());
        dm = sandbox.Create();
        placement.installType = itPortable;
        placement.settingsDir = sandbox.Root() + QStringLiteral("placement/");
        placement.appTitle = QStringLiteral("Zelbra");
    }
};

TEST_F(FirstRunTest, CancelledSetupEndsTheRunWithoutWritingAnyFile)
{
    ASSERT_TRUE(dm->SetupRequired());
    ASSERT_TRUE(DataFiles().isEmpty());
    Make();
    int setups = 0;
    main->ShowSetupForm = [&] {
        ++setups;
        return false;
    };
    Show();
    EXPECT_EQ(setups, 1);
    EXPECT_FALSE(main->isVisible());
    EXPECT_TRUE(DataFiles().isEmpty());
    EXPECT_FALSE(QFileInfo::exists(placement.settingsDir + QStringLiteral("Zelbra.ini")));
}

TEST_F(FirstRunTest, AcceptedSetupLetsTheFirstRunBeSaved)
{
    Make();
    main->ShowSetupForm = [] { return true; };
    Show();
    EXPECT_FALSE(dm->SetupRequired());
    main->close();
    EXPECT_TRUE(DataFiles().contains(QStringLiteral("Defaultsfile.xml"))) << DataFiles().join(u' ').toStdString();
    EXPECT_TRUE(DataFiles().contains(QStringLiteral("Tasksfile.xml")));
}

// --- placement ----------------------------------------------------------------------------

class PlacementTest : public MainFormTest, public ::testing::WithParamInterface<TInstallType>
{
};

TEST_P(PlacementTest, MainWindowReopensWhereItWasClosed)
{
    placement.installType = GetParam();
    // A standard installation keeps placement in the native per-user store;
    // the test gives it an application name of its own.
    placement.appTitle = QStringLiteral("ZelbraPlacementTest%1").arg(int(GetParam()));
    Make();
    Show();
    main->setGeometry(120, 140, 760, 200);
    QApplication::processEvents();
    const QRect closedAt = main->geometry();
    main->close();
    main.reset();

    Make();
    Show();
    EXPECT_EQ(main->geometry().topLeft(), closedAt.topLeft());
    EXPECT_EQ(main->width(), closedAt.width());
    if (GetParam() == itPortable) {
        QSettings ini(placement.settingsDir + placement.appTitle + QStringLiteral(".ini"), QSettings::IniFormat);
        EXPECT_EQ(ini.value(QStringLiteral("Locations/Form_Main_Form_Width")).toInt(), closedAt.width());
    } else {
        QSettings store(placement.organisation, placement.appTitle);
        store.remove(QString());
    }
}

INSTANTIATE_TEST_SUITE_P(InstallTypes, PlacementTest, ::testing::Values(itStandard, itPortable));

} // namespace
