// Pausing by hand and over the lunch interval, with the tracker's minute timer
// following the pause.
#include "TrackingFixture.h"

#include "tracking/TrackingPause.h"

#include <QSignalSpy>

namespace {

class TrackingPauseTest : public TrackingTest
{
protected:
    void SetUp() override
    {
        TrackingTest::SetUp();
        pause = std::make_unique<TTrackingPause>(*tracker, *dm);
    }
    void TearDown() override
    {
        pause.reset();
        TrackingTest::TearDown();
    }

    /// Stores the lunch options as they are, past the rules that keep them in order.
    void SetLunch(double start, double end)
    {
        TRecordTable &d = dm->adsDefaults;
        TTableField &s = d.FieldByName(u"StartTime");
        TTableField &e = d.FieldByName(u"EndTime");
        const auto keepS = s.OnChange;
        const auto keepE = e.OnChange;
        s.OnChange = nullptr;
        e.OnChange = nullptr;
        d.Edit();
        s.SetAsDateTime(start);
        e.SetAsDateTime(end);
        d.Post();
        d.Edit();
        s.OnChange = keepS;
        e.OnChange = keepE;
    }

    /// The main window's second at that moment of the start day: the tracker's
    /// second tick, then the lunch rule.
    void At(QTime time, QDate date = StartMoment().date())
    {
        TClock::SetFixed(QDateTime(date, time).addSecs(-1));
        Second();
    }
    void Second()
    {
        Seconds(1);
        pause->CheckLunchtime();
    }

    bool Running() const { return tracker->MinuteTimer().isActive(); }

    std::unique_ptr<TTrackingPause> pause;
};

const TPauseActionLook StartLook{QStringLiteral("&Start"), QStringLiteral("Start"), 37};
const TPauseActionLook PauseLook{QStringLiteral("Pau&se"), QStringLiteral("Pause"), 38};

} // namespace

TEST_F(TrackingPauseTest, TheActionAndTheLabelFollowThePause)
{
    tracker->Initialise();
    EXPECT_EQ(pause->PauseRestartLook(), (TPauseActionLook{QStringLiteral("&Pause"), QStringLiteral("Pause"), 38}));
    EXPECT_FALSE(pause->PausedLabelVisible());
    EXPECT_TRUE(Running());

    QSignalSpy changed(pause.get(), &TTrackingPause::PauseChanged);
    pause->aPauseRestartExecute();
    EXPECT_TRUE(pause->Paused());
    EXPECT_EQ(pause->PauseRestartLook(), StartLook);
    EXPECT_TRUE(pause->PausedLabelVisible());
    EXPECT_FALSE(Running());

    pause->aPauseRestartExecute();
    EXPECT_FALSE(pause->Paused());
    EXPECT_EQ(pause->PauseRestartLook(), PauseLook);
    EXPECT_FALSE(pause->PausedLabelVisible());
    EXPECT_TRUE(Running());

    ASSERT_EQ(changed.count(), 2);
    EXPECT_TRUE(changed.at(0).at(0).toBool());
    EXPECT_FALSE(changed.at(1).at(0).toBool());
}

TEST_F(TrackingPauseTest, PausedTimeIsNeitherRecordedNorCarriedOver)
{
    const double tuesdayTotal = Total(Tuesday);
    tracker->Initialise();
    Seconds(10);
    pause->SetPaused(true);
    Minutes(3);
    EXPECT_EQ(DayOnLine(QStringLiteral("GEN"), Tuesday), 0.0);
    EXPECT_EQ(Total(Tuesday), tuesdayTotal);
    EXPECT_EQ(tracker->CurrentTask().CurrentTaskDetail(), QStringLiteral("GEN 00:00:10"));

    pause->SetPaused(false);
    Minutes(1);
    EXPECT_EQ(Ms(DayOnLine(QStringLiteral("GEN"), Tuesday)), MinuteMs);
    EXPECT_EQ(Ms(Total(Tuesday) - tuesdayTotal), MinuteMs);
    EXPECT_EQ(tracker->CurrentTask().CurrentTaskDetail(), QStringLiteral("GEN 00:01:00"));
}

TEST_F(TrackingPauseTest, LunchPausesOncePerRunAndRestartsAfterwards)
{
    SetLunch(Hm(12, 0), Hm(13, 0));
    tracker->Initialise();

    At(QTime(11, 59, 59));
    EXPECT_FALSE(pause->Paused());
    Second(); // 12:00:00
    EXPECT_TRUE(pause->Paused());
    EXPECT_TRUE(pause->PausedLabelVisible());
    EXPECT_FALSE(Running());

    At(QTime(13, 0, 0));
    EXPECT_TRUE(pause->Paused()); // the end is inside
    Second();                     // 13:00:01
    EXPECT_FALSE(pause->Paused());
    EXPECT_FALSE(pause->PausedLabelVisible());
    EXPECT_TRUE(Running());

    // The next day in the same run: no automatic pause.
    const QDate nextDay = StartMoment().date().addDays(1);
    At(QTime(12, 0, 0), nextDay);
    for (int i = 0; i < 5; ++i)
        Second();
    EXPECT_FALSE(pause->Paused());
    EXPECT_TRUE(Running());
    EXPECT_TRUE(pause->LunchPauseTaken());
}

TEST_F(TrackingPauseTest, NoAutomaticPauseWithoutBothLunchOptions)
{
    struct Case
    {
        double start;
        double end;
    };
    for (const Case c : {Case{0.0, Hm(13, 0)}, Case{Hm(12, 0), 0.0}, Case{0.0, 0.0}}) {
        SCOPED_TRACE(testing::Message() << c.start << " " << c.end);
        SetLunch(c.start, c.end);
        tracker->Initialise();
        At(QTime(0, 0, 0));
        At(QTime(12, 0, 0));
        At(QTime(12, 30, 0));
        EXPECT_FALSE(pause->Paused());
        EXPECT_FALSE(pause->Lunchtime());
        EXPECT_TRUE(Running());
    }
}

// Leaving lunch lifts only the lunch rule's own pause; a pause the user made
// by hand stays, so no time is recorded while they are away.
TEST_F(TrackingPauseTest, LeavingLunchRestartsTrackingWhateverWasDoneByHand)
{
    struct Case
    {
        const char *name;
        std::vector<QTime> toggles; // presses of the pause/restart action
        bool pausedAtHalfPastTwelve;
        bool pausedAfterLunch;
    };
    const Case cases[] = {
        {"no action", {}, true, false},
        {"paused before lunch", {QTime(11, 30)}, true, false},
        {"restarted during lunch", {QTime(12, 10)}, false, false},
        {"restarted and paused again during lunch", {QTime(12, 10), QTime(12, 20)}, true, false},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        pause.reset();
        tracker.reset();
        dm = sandbox.Create();
        tracker = std::make_unique<TTimeTracker>(*dm);
        pause = std::make_unique<TTrackingPause>(*tracker, *dm);
        SetLunch(Hm(12, 0), Hm(13, 0));
        tracker->Initialise();

        At(QTime(11, 0));
        bool lunchBegun = false;
        for (const QTime t : c.toggles) {
            if (!lunchBegun && t >= QTime(12, 0)) {
                At(QTime(12, 0));
                lunchBegun = true;
            }
            At(t);
            pause->aPauseRestartExecute();
        }
        At(QTime(12, 30));
        EXPECT_EQ(pause->Paused(), c.pausedAtHalfPastTwelve);
        EXPECT_TRUE(pause->Lunchtime());
        At(QTime(13, 0, 1));
        EXPECT_EQ(pause->Paused(), c.pausedAfterLunch);
        EXPECT_EQ(Running(), !c.pausedAfterLunch);
        EXPECT_FALSE(pause->Lunchtime());
    }
}

TEST_F(TrackingPauseTest, WhileSuspendedTheMinuteTimerStaysOff)
{
    SetLunch(Hm(12, 0), Hm(13, 0));
    tracker->Initialise();

    // Suspended while running: nothing runs, and the pause state is untouched.
    At(QTime(11, 0));
    pause->SetSuspended(true);
    EXPECT_FALSE(Running());
    EXPECT_FALSE(pause->Paused());
    const QString held = tracker->CurrentTask().CurrentTaskDetail();
    Seconds(30);
    EXPECT_EQ(tracker->CurrentTask().CurrentTaskDetail(), held);

    // Lunch begins and ends while suspended: running again when lifted, not before.
    At(QTime(12, 0));
    EXPECT_TRUE(pause->Paused());
    At(QTime(13, 0, 1));
    EXPECT_FALSE(pause->Paused());
    EXPECT_FALSE(Running());
    pause->SetSuspended(false);
    EXPECT_TRUE(Running());
    EXPECT_FALSE(pause->PausedLabelVisible());

    // Paused by hand while suspended: lifting the suspension keeps the pause.
    pause->SetSuspended(true);
    pause->aPauseRestartExecute();
    pause->SetSuspended(false);
    EXPECT_TRUE(pause->Paused());
    EXPECT_FALSE(Running());
}
