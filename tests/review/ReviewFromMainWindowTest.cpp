// The real review window opened from the real main window: tracking stops
// while it is open, and its Exit closes both windows.
#include "support/DataModuleFixture.h"

#include "app/core/Clock.h"
#include "app/core/DateTimeValue.h"
#include "app/ui/ErrorReporter.h"
#include "app/ui/WindowPlacement.h"
#include "review/SubmitForm.h"
#include "review/SubmitQuestions.h"
#include "tracking/MainForm.h"
#include "tracking/TimeTracker.h"
#include "tracking/TimeTrackerFrame.h"

#include <QAction>
#include <QApplication>
#include <QTimer>

#include <gtest/gtest.h>

namespace {

class TQuietReporter : public TMessageReporter
{
public:
    void ShowMessage(const QString &text) override { messages << text; }
    void ShowError(const QString &text) override { messages << text; }
    QStringList messages;
};

class TAlwaysYes : public TSubmitQuestions
{
public:
    bool AskYesNo(const QString &) override { return true; }
};

class ReviewFromMainWindowTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        // Tuesday 8 December 2026, 10:00; the last week submitted began on 29 November.
        TClock::SetFixed(QDateTime(QDate(2026, 12, 8), QTime(10, 0)));
        dm = sandbox.Create();
        dm->SetSetupRequired(false);
        TRecordTable &defaults = dm->adsDefaults;
        defaults.Edit();
        defaults.FieldByName(u"WeekStartDate").SetAsDateTime(DateTimeValue::FromDate(QDate(2026, 11, 29)));
        defaults.Post();
        TRecordTable &tasks = dm->adsTasks;
        tasks.First();
        tasks.Edit();
        tasks.FieldByName(u"Active").SetAsBoolean(true);
        tasks.FieldByName(u"TueDuration").SetAsFloat(DateTimeValue::EncodeTime(1, 0));
        tasks.Post();

        TPlacementSettings placement;
        placement.installType = itPortable;
        placement.settingsDir = sandbox.Root() + QStringLiteral("placement/");
        placement.appTitle = QStringLiteral("Zelbra");

        TMainFormOptions options;
        options.messages = &reporter;
        options.showSplash = false;
        main = std::make_unique<TForm_Main_Form>(*dm, options);
        main->SetPlacementSettings(placement);
        review = std::make_unique<TForm_Submit_Form>(*dm, nullptr, &reporter, &answers);
        review->SetPlacementSettings(placement);
        TForm_Submit_Form *form = review.get();
        main->SetDisplaySubmitForm([form](const QString &panelName) {
            TSubmitFormResult result;
            result.modalResult = form->DisplaySubmitForm(panelName, result.panelName);
            return result;
        });
        main->show();
        QApplication::processEvents();
    }
    void TearDown() override
    {
        review.reset();
        main.reset();
        TClock::Release();
    }

    double Tuesday() const
    {
        TRecordTable clone;
        clone.Clone(dm->adsTasks);
        return clone.FieldByName(u"TueDuration").AsFloat();
    }

    TDataModuleSandbox sandbox;
    std::unique_ptr<TdmTasks_Form> dm;
    TQuietReporter reporter;
    TAlwaysYes answers;
    std::unique_ptr<TForm_Main_Form> main;
    std::unique_ptr<TForm_Submit_Form> review;
};

} // namespace

TEST_F(ReviewFromMainWindowTest, TenMinutesInTheReviewWindowRecordNothingAndTrackingResumes)
{
    TTimeTracker &tracker = main->Frame_TimeTracker_Form1->Tracker();
    ASSERT_TRUE(tracker.MinuteTimer().isActive());
    bool timerWhileOpen = true;
    bool reviewShown = false;
    QTimer::singleShot(0, qApp, [&] {
        reviewShown = review->isVisible();
        timerWhileOpen = tracker.MinuteTimer().isActive() || review->Grid().Tracker().MinuteTimer().isActive();
        for (int minute = 0; minute < 10; ++minute) {
            TClock::Advance(60000);
            if (tracker.MinuteTimer().isActive())
                tracker.TimeTrackerTimerTimer();
        }
        review->close();
    });
    main->aReview->trigger();
    EXPECT_TRUE(reviewShown);
    EXPECT_FALSE(timerWhileOpen);
    EXPECT_NEAR(Tuesday(), DateTimeValue::EncodeTime(1, 0), 1e-9) << "no minute was recorded";
    EXPECT_TRUE(tracker.MinuteTimer().isActive());
    EXPECT_TRUE(main->isVisible());
}

TEST_F(ReviewFromMainWindowTest, ExitInTheReviewWindowClosesBothWindowsAndSaves)
{
    QTimer::singleShot(0, qApp, [&] { review->aExitExecute(); });
    main->aReview->trigger();
    QApplication::processEvents();
    EXPECT_FALSE(review->isVisible());
    EXPECT_FALSE(main->isVisible());
    EXPECT_TRUE(QFileInfo::exists(dm->DirsObj().DataDir() + QStringLiteral("Tasksfile.xml")));
}

TEST_F(ReviewFromMainWindowTest, AWeekSubmittedThroughTheWindowsReachesTheHistoryFile)
{
    // The following Tuesday: the week of 6 December is over.
    TClock::SetFixed(QDateTime(QDate(2026, 12, 15), QTime(9, 0)));
    QTimer::singleShot(0, qApp, [&] {
        review->SubmitExecute();
        review->aExitExecute();
    });
    main->aReview->trigger();
    QApplication::processEvents();
    auto again = sandbox.Create();
    ASSERT_EQ(again->adsReporting.Data()->RowCount(), 1u);
    TRecordTable history;
    history.Clone(again->adsReporting);
    EXPECT_EQ(history.FieldByName(u"TaskCode").AsString(), QStringLiteral("GEN"));
    EXPECT_EQ(DateTimeValue::ToDate(history.FieldByName(u"DateTimeSubmitted").AsDateTime()), QDate(2026, 12, 8));
    EXPECT_EQ(DateTimeValue::ToDate(again->adsDefaults.FieldByName(u"WeekStartDate").AsDateTime()), QDate(2026, 12, 6));
}
