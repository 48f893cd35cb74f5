#include "app/core/DateTimeValue.h"
#include "app/core/DurationText.h"
#include "app/core/Errors.h"

#include <gtest/gtest.h>

namespace {

using DateTimeValue::EncodeTime;

constexpr double Hour = 1.0 / 24.0;
constexpr double Minute = 1.0 / 1440.0;

double MinuteTicks(int count)
{
    double sum = 0;
    for (int i = 0; i < count; ++i)
        sum += Minute;
    return sum;
}

TEST(ClockTextTest, HoursAndMinutesOfTheTimeOfDay)
{
    const struct
    {
        const char *what;
        double value;
        const char *expected;
    } cases[] = {
        {"zero", 0, "00:00"},
        {"thirty one-minute ticks", MinuteTicks(30), "00:30"},
        {"seven and a half hours", 7.5 * Hour, "07:30"},
        {"seconds are dropped", EncodeTime(0, 29, 59), "00:29"},
        {"whole days are dropped", 25 * Hour, "01:00"},
        {"last millisecond of the day", EncodeTime(23, 59, 59, 999), "23:59"},
        {"rounding carries into the next day", EncodeTime(23, 59, 59) + 0.9996 / 86400.0, "00:00"},
        {"date-time", 46365 + EncodeTime(14, 5), "14:05"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(ClockText(c.value), QString::fromLatin1(c.expected));
    }
}

TEST(ClockTextTest, ThirtyTicksAreAHairShortButShowFullMinutes)
{
    const double sum = MinuteTicks(30);
    ASSERT_NE(sum, 30 * Minute);
    EXPECT_EQ(ClockText(sum), QStringLiteral("00:30"));
}

TEST(ParseClockEntryTest, AcceptedEntries)
{
    const struct
    {
        const char *text;
        double expected;
    } cases[] = {
        {" 7:30", EncodeTime(7, 30)},   {"07:30", EncodeTime(7, 30)}, {"  :  ", 0},
        {"00:00", 0},                   {"23:59", EncodeTime(23, 59)}, {"1 : 5", EncodeTime(10, 5)},
        {"08:15:44", EncodeTime(8, 15)}, // only the first five characters count
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.text);
        const double value = ParseClockEntry(QString::fromLatin1(c.text));
        EXPECT_NEAR(value, c.expected, 1e-12);
    }
    EXPECT_EQ(ClockText(ParseClockEntry(QStringLiteral(" 7:30"))), QStringLiteral("07:30"));
}

TEST(ParseClockEntryTest, RejectsInvalidTimesWithTheEnteredText)
{
    for (const char *text : {"25:00", "24:00", "12:60", "ab:cd", "12.30", ""}) {
        SCOPED_TRACE(text);
        const QString entered = QString::fromLatin1(text);
        try {
            ParseClockEntry(entered);
            ADD_FAILURE() << "accepted";
        } catch (const EConvertError &e) {
            EXPECT_EQ(e.Message(), QStringLiteral("'%1' is not a valid time").arg(entered));
        }
    }
}

TEST(CurrentTaskTextTest, CodeAndTimeWithSeconds)
{
    const struct
    {
        const char *what;
        const char *code;
        double duration;
        const char *expected;
    } cases[] = {
        {"running task", "ADMIN", EncodeTime(1, 2, 3), "ADMIN 01:02:03"},
        {"time of day only", "X", 1.25, "X 06:00:00"},
        {"no code", "", EncodeTime(1, 0), ""},
        {"zero duration", "ADMIN", 0, ""},
        {"negative duration", "ADMIN", -Minute, ""},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(CurrentTaskText(QString::fromLatin1(c.code), c.duration), QString::fromLatin1(c.expected));
    }
}

TEST(WorkingDaysTextTest, DaysHoursAndMinutes)
{
    const struct
    {
        const char *what;
        double duration, dayHours;
        const char *expected;
    } cases[] = {
        {"zero", 0, 7, "0 Days 0 Hours 0 Minutes "},
        {"one day and ten minutes", 7 * Hour + 10 * Minute, 7, "1 Days 0 Hours 10 Minutes "},
        {"37.5 h with a 7.5 h day", 37.5 * Hour, 7.5, "5 Days 0 Hours 0 Minutes "},
        {"17 h 45 with a 7 h day", 17.75 * Hour, 7, "2 Days 3 Hours 45 Minutes "},
        {"seconds dropped", 2 * Hour + EncodeTime(0, 29, 59), 7, "0 Days 2 Hours 29 Minutes "},
        {"more than 24 hours with a short day", 50 * Hour, 7, "7 Days 1 Hours 0 Minutes "},
        {"zero day length", 5 * Hour, 0, "0 Days 5 Hours 0 Minutes "},
        {"day over 24 h: time of day of the rest", 26 * Hour, 30, "0 Days 2 Hours 0 Minutes "},
        {"minute ticks a hair short of a day", MinuteTicks(420), 7, "1 Days 0 Hours 0 Minutes "},
        {"minute ticks a hair short of two days", MinuteTicks(900), 7.5, "2 Days 0 Hours 0 Minutes "},
        {"a day less one minute stays short", MinuteTicks(419), 7, "0 Days 6 Hours 59 Minutes "},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(WorkingDaysText(c.duration, c.dayHours), QString::fromLatin1(c.expected));
    }
}

} // namespace
