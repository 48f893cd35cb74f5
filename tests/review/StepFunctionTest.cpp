// The step function: day durations cut down to whole steps, the day totals
// following, the cursor and the day-cell entry record put back.
#include "support/DataModuleFixture.h"

#include "app/core/DateTimeValue.h"
#include "review/StepFunction.h"

#include <gtest/gtest.h>

#include <array>
#include <map>

namespace {

double Hm(int hours, int minutes)
{
    return (hours * 60 + minutes) / DateTimeValue::MinutesPerDay;
}

class StepFunctionTest : public ::testing::Test
{
protected:
    void SetUp() override { Restart(); }

    void Restart()
    {
        step.reset();
        dm.reset();
        sandbox = std::make_unique<TDataModuleSandbox>();
        dm = sandbox->Create();
        commits = totalDisplays = 0;
        step = std::make_unique<TStepFunction>(*dm);
        step->CommitPendingInput = [this] { ++commits; };
        step->DisplayTotal = [this] { ++totalDisplays; };
    }

    void SetMinimum(int minutes)
    {
        dm->adsDefaults.Edit();
        dm->adsDefaults.FieldByName(u"MinimumTaskDuration").SetAsInteger(minutes);
        dm->adsDefaults.Post();
    }

    TTableField &DayField(int day) const { return dm->adsTasks.FieldByName(TdmTasks_Form::DayFieldName(day)); }

    // Sets day durations on the current line, leaving the edit pending.
    void SetDays(const std::map<int, double> &days)
    {
        dm->adsTasks.Edit();
        for (const auto &[day, value] : days) {
            dm->rCurrentField.Value = DateTimeValue::Frac(DayField(day).AsFloat());
            DayField(day).SetAsFloat(value);
        }
    }

    void AddLine(const QString &code, const std::map<int, double> &days, bool completed = false)
    {
        TRecordTable &tasks = dm->adsTasks;
        tasks.Append();
        tasks.FieldByName(u"TaskCode").SetAsString(code);
        tasks.FieldByName(u"Completed").SetAsBoolean(completed);
        SetDays(days);
        tasks.Post();
    }

    double DayValue(int line, int day) const
    {
        return dm->adsTasks.ValueAt(line, DayField(day)).toDouble();
    }

    // The day totals as the sheet's values make them.
    std::array<double, 8> SheetTotals() const
    {
        std::array<double, 8> totals{};
        for (int line = 0; line < dm->adsTasks.RecordCount(); ++line)
            for (int day = 1; day <= 7; ++day)
                totals[std::size_t(day)] += DateTimeValue::Frac(DayValue(line, day));
        return totals;
    }

    std::unique_ptr<TDataModuleSandbox> sandbox;
    std::unique_ptr<TdmTasks_Form> dm;
    std::unique_ptr<TStepFunction> step;
    int commits = 0;
    int totalDisplays = 0;
};

} // namespace

TEST_F(StepFunctionTest, CutsEveryDayDownToWholeSteps)
{
    struct Case
    {
        int minutes;
        double value;
        double expected;
        const char *what;
    };
    const Case cases[] = {
        {15, Hm(0, 44), Hm(0, 30), "0:44"},
        {15, Hm(0, 45), Hm(0, 45), "0:45"},
        {15, Hm(0, 14), 0.0, "0:14"},
        {15, Hm(7, 59), Hm(7, 45), "7:59"},
        {15, Hm(0, 45) - 1e-12, Hm(0, 45), "a hair below 0:45"},
        {15, 1.0, 0.0, "24:00"},
        {15, 1.0 + Hm(0, 50), Hm(0, 45), "a whole day and 0:50"},
        {15, 0.0, 0.0, "nothing"},
        {60, Hm(7, 59), Hm(7, 0), "7:59 by the hour"},
        {60, Hm(0, 59), 0.0, "0:59 by the hour"},
        {60, Hm(3, 0) - 1e-12, Hm(3, 0), "a hair below 3:00"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(testing::Message() << c.what << ", step " << c.minutes);
        Restart();
        SetMinimum(c.minutes);
        // Every day of the week is treated, shown or not.
        std::map<int, double> days;
        for (int day = 1; day <= 7; ++day)
            days[day] = c.value;
        SetDays(days);
        dm->adsTasks.Post();

        step->StepExecute();

        for (int day = 1; day <= 7; ++day)
            EXPECT_NEAR(DayValue(0, day), c.expected, 1e-12) << "day " << day;
    }
}

TEST_F(StepFunctionTest, TotalsFollowAndTheCursorReturnsToItsLine)
{
    SetMinimum(15);
    TRecordTable &tasks = dm->adsTasks;
    SetDays({{2, Hm(0, 44)}, {3, Hm(7, 59)}, {1, Hm(0, 14)}});
    tasks.Post();
    AddLine(QStringLiteral("DEV"), {{2, Hm(0, 45)}, {7, 1.0 + Hm(0, 20)}}, true);
    AddLine(QStringLiteral("OPS"), {{4, Hm(2, 7)}});
    tasks.MoveTo(1);
    SetDays({{5, Hm(0, 29)}}); // still being edited: posted and stepped too
    dm->FTotalDurationArray = SheetTotals();
    dm->rCurrentField = {0.2, true};

    step->StepExecute();

    const auto expectDay = [this](int line, int day, double value) {
        EXPECT_NEAR(DayValue(line, day), value, 1e-12) << "line " << line << " day " << day;
    };
    expectDay(0, 2, Hm(0, 30));
    expectDay(0, 3, Hm(7, 45));
    expectDay(0, 1, 0.0);
    expectDay(1, 2, Hm(0, 45));
    expectDay(1, 7, Hm(0, 15));
    expectDay(1, 5, Hm(0, 15));
    expectDay(2, 4, Hm(2, 0));

    const auto totals = SheetTotals();
    for (int day = 1; day <= 7; ++day)
        EXPECT_NEAR(dm->FTotalDurationArray[std::size_t(day)], totals[std::size_t(day)], 1e-12) << "day " << day;

    EXPECT_EQ(tasks.RecNo(), 1);
    EXPECT_EQ(tasks.FieldByName(u"TaskCode").AsString(), QStringLiteral("DEV"));
    EXPECT_EQ(tasks.State(), TDataSetState::Edit);
    EXPECT_NEAR(DayField(5).OldValue().toDouble(), Hm(0, 15), 1e-12) << "the pending edit was posted, then stepped";
    EXPECT_FALSE(tasks.ControlsDisabled());
    EXPECT_EQ(dm->rCurrentField.Value, 0.2);
    EXPECT_TRUE(dm->rCurrentField.Active);
    EXPECT_EQ(commits, 1);
    EXPECT_EQ(totalDisplays, 1);
}

TEST_F(StepFunctionTest, NoStepSizeChangesAndPostsNothing)
{
    for (const int minutes : {0, -15}) {
        SCOPED_TRACE(testing::Message() << "step " << minutes);
        Restart();
        SetMinimum(minutes);
        TRecordTable &tasks = dm->adsTasks;
        SetDays({{2, Hm(0, 44)}});
        tasks.Post();
        tasks.SetTag(0);
        SetDays({{3, Hm(0, 44)}});

        step->StepExecute();

        EXPECT_EQ(tasks.State(), TDataSetState::Edit);
        EXPECT_TRUE(tasks.Modified()) << "the pending edit stays pending";
        EXPECT_EQ(tasks.Tag(), 0);
        EXPECT_EQ(DayValue(0, 2), Hm(0, 44));
        EXPECT_EQ(DayValue(0, 3), Hm(0, 44));
        EXPECT_EQ(commits, 0);
        EXPECT_EQ(totalDisplays, 0);
    }
}
