// The minute and second ticks over a data module's task table, driven with a
// fixed clock.
#include "TrackingFixture.h"

#include "app/core/DurationText.h"
#include "app/core/Errors.h"

#include <QSignalSpy>

TEST_F(TrackingTest, InitialiseLoadsTheFirstActiveLineAndStartsBothTimers)
{
    dm->FOneTaskActive = false;
    SetOnLine(QStringLiteral("GEN"), TdmTasks_Form::DayFieldName(Tuesday), Hm(1, 30));
    AddLine(QStringLiteral("AAA"), false, Hm(2, 0));
    AddLine(QStringLiteral("ZZZ"), true, Hm(3, 0));
    ASSERT_TRUE(Tasks().Locate(QStringLiteral("TaskCode"), QStringLiteral("ZZZ")));

    tracker->Initialise();

    EXPECT_EQ(tracker->CurrentTask().CurrentTaskDetail(), QStringLiteral("GEN 01:30:00"));
    EXPECT_EQ(tracker->TimerIncrement(), 1);
    EXPECT_EQ(tracker->LastUsedCounter(), TTimeTracker::LastUsedLimit);
    EXPECT_TRUE(tracker->MinuteTimer().isActive());
    EXPECT_EQ(tracker->MinuteTimer().interval(), 60000);
    EXPECT_TRUE(tracker->SecondTimer().isActive());
    EXPECT_EQ(tracker->SecondTimer().interval(), 1000);
    // Back on the line it was on, ready for typing.
    EXPECT_EQ(Tasks().FieldByName(u"TaskCode").AsString(), QStringLiteral("ZZZ"));
    EXPECT_EQ(Tasks().State(), TDataSetState::Edit);
}

TEST_F(TrackingTest, ReviewGridKeepsItsMinuteTimerOff)
{
    tracker->SetMinuteTimerEnabled(false);
    tracker->Initialise();
    EXPECT_FALSE(tracker->MinuteTimer().isActive());
    EXPECT_TRUE(tracker->SecondTimer().isActive());

    // The current task does not run in a grid that does not track.
    SetOnLine(QStringLiteral("GEN"), TdmTasks_Form::DayFieldName(Tuesday), Hm(1, 0));
    tracker->SetCurrentTaskValue(true);
    Seconds(5);
    EXPECT_EQ(tracker->CurrentTask().CurrentTaskDetail(), QStringLiteral("GEN 01:00:00"));

    tracker->SetMinuteTimerEnabled(true);
    EXPECT_TRUE(tracker->MinuteTimer().isActive());
}

TEST_F(TrackingTest, ThreeMinutesOfTrackingWithoutTyping)
{
    AddLine(QStringLiteral("AAA"), false);
    const double mondayTotal = Total(2);
    const double tuesdayTotal = Total(Tuesday);
    tracker->Initialise();
    QSignalSpy changed(tracker.get(), &TTimeTracker::CurrentTaskChanged);
    // The user sits on the inactive line.
    ASSERT_TRUE(Tasks().Locate(QStringLiteral("TaskCode"), QStringLiteral("AAA")));
    Tasks().Edit();

    EXPECT_EQ(tracker->CurrentTask().CurrentTaskDetail(), QString()); // nothing recorded yet
    Seconds(1);
    EXPECT_EQ(tracker->CurrentTask().CurrentTaskDetail(), QStringLiteral("GEN 00:00:01"));
    Seconds(59);
    MinuteTick();
    Minutes(2);

    EXPECT_EQ(Ms(DayOnLine(QStringLiteral("GEN"), Tuesday)), 3 * MinuteMs);
    EXPECT_EQ(Ms(Total(Tuesday) - tuesdayTotal), 3 * MinuteMs);
    EXPECT_EQ(Total(2), mondayTotal);
    EXPECT_EQ(DayOnLine(QStringLiteral("AAA"), Tuesday), 0.0);
    EXPECT_EQ(tracker->CurrentTask().CurrentTaskDetail(), QStringLiteral("GEN 00:03:00"));
    Seconds(1);
    EXPECT_EQ(tracker->CurrentTask().CurrentTaskDetail(), QStringLiteral("GEN 00:03:01"));
    // One change per second: the ticks load the value the seconds had reached.
    EXPECT_EQ(changed.count(), 181);
    EXPECT_EQ(changed.last().at(0).toString(), QStringLiteral("GEN 00:03:01"));

    EXPECT_EQ(displayTotalCalls, 3);
    EXPECT_EQ(Tasks().Tag(), 1); // marked for the next save
    EXPECT_FALSE(Tasks().ControlsDisabled());
    EXPECT_FALSE(dm->FTimerActive);
    // The user is still on the line they were on, in edit.
    EXPECT_EQ(Tasks().FieldByName(u"TaskCode").AsString(), QStringLiteral("AAA"));
    EXPECT_EQ(Tasks().State(), TDataSetState::Edit);
}

TEST_F(TrackingTest, TheTickWritesWithTimerActiveSet)
{
    TTableField &today = Tasks().FieldByName(TdmTasks_Form::DayFieldName(Tuesday));
    const TTableField::FieldHook rule = today.OnChange;
    std::vector<bool> seen;
    today.OnChange = [&](TTableField &f) {
        seen.push_back(dm->FTimerActive);
        if (rule)
            rule(f);
    };
    tracker->Initialise();
    Minutes(1);
    today.OnChange = rule;

    ASSERT_EQ(seen.size(), 1u);
    EXPECT_TRUE(seen[0]);
    EXPECT_FALSE(dm->FTimerActive);
}

// The second tick right after the key press is the tick's own second, so a
// minute tick sees the counter at the number of seconds since the key press.
TEST_F(TrackingTest, AMinuteFallingWhileTheUserTypesIsHeldBack)
{
    struct Case
    {
        int secondsSinceKey;
        bool held;
    };
    for (const Case c : {Case{0, true}, Case{1, true}, Case{3, true}, Case{4, false}}) {
        SCOPED_TRACE(c.secondsSinceKey);
        SetOnLine(QStringLiteral("GEN"), TdmTasks_Form::DayFieldName(Tuesday), 0.0);
        tracker->Initialise();
        displayTotalCalls = 0;
        Seconds(60 - c.secondsSinceKey);
        tracker->ResetLastUsed();
        Seconds(c.secondsSinceKey);
        MinuteTick();
        EXPECT_EQ(Ms(DayOnLine(QStringLiteral("GEN"), Tuesday)), c.held ? 0 : MinuteMs);
        EXPECT_EQ(tracker->TimerIncrement(), c.held ? 2 : 1);
        EXPECT_EQ(displayTotalCalls, c.held ? 0 : 1);
    }
}

TEST_F(TrackingTest, AHeldBackMinuteIsAddedAtTheNextTick)
{
    const double tuesdayTotal = Total(Tuesday);
    tracker->Initialise();
    Seconds(59);
    tracker->ResetLastUsed(); // a key press one second before the tick
    Seconds(1);
    MinuteTick();
    EXPECT_EQ(DayOnLine(QStringLiteral("GEN"), Tuesday), 0.0);
    EXPECT_EQ(Total(Tuesday), tuesdayTotal);

    Minutes(1);
    EXPECT_EQ(Ms(DayOnLine(QStringLiteral("GEN"), Tuesday)), 2 * MinuteMs);
    EXPECT_EQ(Ms(Total(Tuesday) - tuesdayTotal), 2 * MinuteMs);
    EXPECT_EQ(tracker->TimerIncrement(), 1);
    Minutes(1);
    EXPECT_EQ(Ms(DayOnLine(QStringLiteral("GEN"), Tuesday)), 3 * MinuteMs);
}

TEST_F(TrackingTest, TheTypingCounterStopsAtItsLimit)
{
    tracker->Initialise();
    tracker->ResetLastUsed();
    EXPECT_EQ(tracker->LastUsedCounter(), 0);
    Seconds(5);
    EXPECT_EQ(tracker->LastUsedCounter(), 5);
    Seconds(200);
    EXPECT_EQ(tracker->LastUsedCounter(), TTimeTracker::LastUsedLimit);
}

TEST_F(TrackingTest, TwoActiveLinesBothGainTheMinuteAndTheLaterOneBecomesCurrent)
{
    struct Case
    {
        const char *sort;
        const char *current;
    };
    for (const Case c : {Case{"TaskCode ASC", "GEN 00:11:00"}, Case{"TaskCode DESC", "AAA 00:21:00"}}) {
        SCOPED_TRACE(c.sort);
        tracker.reset(); // a fresh module per order
        dm = sandbox.Create();
        tracker = std::make_unique<TTimeTracker>(*dm);
        dm->FOneTaskActive = false; // the sheet holds two active lines, as after an import
        SetOnLine(QStringLiteral("GEN"), TdmTasks_Form::DayFieldName(Tuesday), Hm(0, 10));
        AddLine(QStringLiteral("AAA"), true, Hm(0, 20));
        Tasks().SetSort(QString::fromLatin1(c.sort));
        const double tuesdayTotal = Total(Tuesday);
        tracker->Initialise();
        Minutes(1);
        EXPECT_EQ(Ms(DayOnLine(QStringLiteral("GEN"), Tuesday)), 11 * MinuteMs);
        EXPECT_EQ(Ms(DayOnLine(QStringLiteral("AAA"), Tuesday)), 21 * MinuteMs);
        EXPECT_EQ(Ms(Total(Tuesday) - tuesdayTotal), 2 * MinuteMs);
        EXPECT_EQ(tracker->CurrentTask().CurrentTaskDetail(), QString::fromLatin1(c.current));
    }
}

TEST_F(TrackingTest, WithoutAnActiveLineNothingIsTimedButPrioritiesAreRefreshed)
{
    AddTaskCode(QStringLiteral("SOON"), DateTimeValue::Now() + 3);
    AddLine(QStringLiteral("SOON"), false, Hm(1, 0));
    tracker->Initialise();
    Seconds(10);
    const QString held = tracker->CurrentTask().CurrentTaskDetail();
    ASSERT_EQ(held, QStringLiteral("GEN 00:00:10"));
    SetOnLine(QStringLiteral("GEN"), u"Active", false);
    const auto totals = dm->FTotalDurationArray;

    Minutes(1);

    EXPECT_EQ(DayOnLine(QStringLiteral("GEN"), Tuesday), 0.0);
    EXPECT_EQ(Ms(DayOnLine(QStringLiteral("SOON"), Tuesday)), 60 * MinuteMs);
    EXPECT_EQ(dm->FTotalDurationArray, totals);
    EXPECT_EQ(OnLine(QStringLiteral("SOON"), u"Priority").toInt(), 1);
    // Nobody told the tracker the line was switched off: the text stays.
    EXPECT_EQ(tracker->CurrentTask().CurrentTaskDetail(), QStringLiteral("GEN 00:01:10"));

    // Clearing the Active box goes through SetCurrentTaskValue, which empties it.
    tracker->SetCurrentTaskValue(false);
    EXPECT_EQ(tracker->CurrentTask().CurrentTaskDetail(), QString());
    Seconds(5);
    EXPECT_EQ(tracker->CurrentTask().CurrentTaskDetail(), QString());
}

TEST_F(TrackingTest, PrioritiesFollowTheTaskCodesCompletionDates)
{
    const double now = DateTimeValue::Now();
    struct Case
    {
        const char *line;      // the line's code
        const char *taskCode;  // the task code entry, nullptr for none
        double dueInDays;      // 0 = no completion date
        int before;
        int after;
    };
    const Case cases[] = {
        {"THREE", "THREE", 3.0, 0, 1},
        {"HOURS", "HOURS", 3.0 / 24, 0, 2},
        {"LATE", "LATE", -1.0, 1, 2},
        {"LATER", "LATER", 10.0, 2, 0},
        {"NODATE", "NODATE", 0.0, 2, 2},  // no date: priority kept
        {"MISSING", nullptr, 0.0, 1, 1},  // not a task code: priority kept
        {"lower", "LOWER", 3.0, 0, 1},    // codes match without regard to case
        {"O'NEIL", "O'NEIL", 3.0, 0, 1},  // a quote inside the code
        {"O", "O", 3.0 / 24, 0, 2},       // must not be taken for O'NEIL
        {"ONEIL", "ONEIL", 10.0, 2, 0},
    };
    for (const Case &c : cases) {
        if (c.taskCode)
            AddTaskCode(QString::fromLatin1(c.taskCode), c.dueInDays == 0 ? 0.0 : now + c.dueInDays);
        AddLine(QString::fromLatin1(c.line), false, 0.0, c.before);
        // The rules may copy the priority when the code is set: start from the case's value.
        SetOnLine(QString::fromLatin1(c.line), u"Priority", c.before);
    }
    tracker->Initialise();
    Minutes(1);
    for (const Case &c : cases)
        EXPECT_EQ(OnLine(QString::fromLatin1(c.line), u"Priority").toInt(), c.after) << c.line;
    // The task-code table is left as it was found.
    EXPECT_FALSE(dm->adsTaskCodes.Filtered());
    EXPECT_EQ(dm->adsTaskCodes.RecordCount(), 2 + 9);
}

TEST_F(TrackingTest, ADayFieldAt2359WrapsToMidnightAndGoesOn)
{
    SetOnLine(QStringLiteral("GEN"), TdmTasks_Form::DayFieldName(Tuesday), Hm(23, 59));
    const double tuesdayTotal = Total(Tuesday);
    tracker->Initialise();

    Minutes(1);
    const double wrapped = DayOnLine(QStringLiteral("GEN"), Tuesday);
    EXPECT_EQ(ClockText(wrapped), QStringLiteral("00:00"));

    Minutes(1);
    EXPECT_EQ(Ms(DayOnLine(QStringLiteral("GEN"), Tuesday)), MinuteMs);
    EXPECT_EQ(Ms(Total(Tuesday) - tuesdayTotal), 2 * MinuteMs);
}

TEST_F(TrackingTest, TheFirstTickAfterMidnightWritesTheNextWeekday)
{
    TClock::SetFixed(QDateTime(QDate(2026, 12, 8), QTime(23, 59, 0)));
    SetOnLine(QStringLiteral("GEN"), TdmTasks_Form::DayFieldName(Tuesday), Hm(1, 0));
    const double tuesdayTotal = Total(Tuesday);
    const double wednesdayTotal = Total(Wednesday);
    tracker->Initialise();
    Seconds(30);
    MinuteTick(); // 23:59:30
    EXPECT_EQ(Ms(DayOnLine(QStringLiteral("GEN"), Tuesday)), 61 * MinuteMs);

    Seconds(60); // 00:00:30 on Wednesday: the display still counts on Tuesday's value
    EXPECT_EQ(tracker->CurrentTask().CurrentTaskDetail(), QStringLiteral("GEN 01:02:00"));
    MinuteTick();
    EXPECT_EQ(Ms(DayOnLine(QStringLiteral("GEN"), Tuesday)), 61 * MinuteMs);
    EXPECT_EQ(Ms(DayOnLine(QStringLiteral("GEN"), Wednesday)), MinuteMs);
    EXPECT_EQ(Ms(Total(Tuesday) - tuesdayTotal), MinuteMs);
    EXPECT_EQ(Ms(Total(Wednesday) - wednesdayTotal), MinuteMs);
    EXPECT_EQ(tracker->CurrentTask().CurrentTaskDetail(), QStringLiteral("GEN 00:01:00"));
}

TEST_F(TrackingTest, AnEditedDayCellOfAnActiveLineIncludesTheMinute)
{
    for (const bool active : {true, false}) {
        SCOPED_TRACE(active);
        dm->rCurrentField = TCurrentFieldRec{Hm(1, 0), active};
        tracker->Initialise();
        Minutes(1);
        EXPECT_EQ(Ms(dm->rCurrentField.Value), Ms(Hm(1, active ? 1 : 0)));
    }
}

TEST_F(TrackingTest, AConversionErrorOnOneLineLeavesTheOthersTracked)
{
    dm->FOneTaskActive = false;
    AddLine(QStringLiteral("BAD"), true, Hm(0, 5));
    AddLine(QStringLiteral("GOOD"), true, Hm(0, 7));
    SetOnLine(QStringLiteral("GEN"), u"Active", false);
    TTableField &today = Tasks().FieldByName(TdmTasks_Form::DayFieldName(Tuesday));
    const TTableField::ValidateHook rule = today.OnValidate;
    today.OnValidate = [&](TTableField &f, const QVariant &proposed) {
        if (f.DataSet().FieldByName(u"TaskCode").AsString() == u"BAD")
            throw EConvertError(QStringLiteral("'x' is not a valid time"));
        if (rule)
            rule(f, proposed);
    };
    const double tuesdayTotal = Total(Tuesday);
    tracker->Initialise();
    Minutes(1);
    today.OnValidate = rule;

    EXPECT_EQ(Ms(DayOnLine(QStringLiteral("BAD"), Tuesday)), 5 * MinuteMs);
    EXPECT_EQ(Ms(DayOnLine(QStringLiteral("GOOD"), Tuesday)), 8 * MinuteMs);
    EXPECT_EQ(Ms(Total(Tuesday) - tuesdayTotal), MinuteMs);
    EXPECT_EQ(tracker->CurrentTask().CurrentTaskDetail(), QStringLiteral("GOOD 00:08:00"));
    EXPECT_EQ(displayTotalCalls, 1);
}

// Any other error ends the tick; the flag and the increment are reset anyway,
// so the user's later edits of day cells still reach the totals.
TEST_F(TrackingTest, AnUnexpectedErrorEndsTheTickAndLeavesTrackingUsable)
{
    tracker->DisplayTotal = [] { throw EVRQException(QStringLiteral("totals bar gone")); };
    tracker->Initialise();
    Seconds(59);
    tracker->ResetLastUsed();
    Seconds(1);
    MinuteTick(); // held back: the next tick adds two minutes
    ASSERT_EQ(tracker->TimerIncrement(), 2);
    Seconds(60);

    EXPECT_THROW(tracker->TimeTrackerTimerTimer(), EVRQException);
    EXPECT_FALSE(dm->FTimerActive);
    EXPECT_EQ(tracker->TimerIncrement(), 1);
    EXPECT_FALSE(Tasks().ControlsDisabled());
    EXPECT_EQ(Ms(DayOnLine(QStringLiteral("GEN"), Tuesday)), 2 * MinuteMs);

    // Run by the timer, the error is reported instead of escaping.
    QSignalSpy failed(tracker.get(), &TTimeTracker::TickFailed);
    Seconds(60);
    tracker->OnMinuteTimer();
    ASSERT_EQ(failed.count(), 1);
    EXPECT_EQ(failed.first().at(0).toString(), QStringLiteral("totals bar gone"));
    EXPECT_EQ(Ms(DayOnLine(QStringLiteral("GEN"), Tuesday)), 3 * MinuteMs);
    EXPECT_FALSE(dm->FTimerActive);
}

TEST_F(TrackingTest, TheSecondTimerAnnouncesEachSecondAfterItsOwnTick)
{
    tracker->Initialise();
    QSignalSpy seconds(tracker.get(), &TTimeTracker::SecondTick);
    QString seen;
    QObject::connect(tracker.get(), &TTimeTracker::SecondTick, tracker.get(),
            [&] { seen = tracker->CurrentTask().CurrentTaskDetail(); });
    TClock::Advance(1000);
    tracker->OnSecondTimer();
    EXPECT_EQ(seconds.count(), 1);
    EXPECT_EQ(seen, QStringLiteral("GEN 00:00:01"));
}

TEST_F(TrackingTest, AnEmptySheetStaysEmpty)
{
    Tasks().First();
    Tasks().Delete();
    ASSERT_TRUE(Tasks().IsEmpty());
    tracker->Initialise();
    Minutes(2);
    EXPECT_TRUE(Tasks().IsEmpty());
    EXPECT_NE(Tasks().State(), TDataSetState::Insert);
    EXPECT_EQ(tracker->CurrentTask().CurrentTaskDetail(), QString());
    EXPECT_EQ(displayTotalCalls, 2);
}
