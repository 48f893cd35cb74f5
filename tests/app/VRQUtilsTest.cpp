#include "app/core/Clock.h"
#include "app/core/DateTimeValue.h"
#include "app/core/Errors.h"
#include "app/core/VRQ_Utils_Unit.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLocale>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <climits>
#include <cmath>

namespace {

using DateTimeValue::FromDate;

constexpr double Hour = 1.0 / 24.0;
constexpr double Minute = 1.0 / 1440.0;

class ClockFixture : public ::testing::Test
{
protected:
    void TearDown() override { TClock::Release(); }
};

// ---------------------------------------------------------------------------
// Weeks

struct WeekCase
{
    QDate today;
    int startDay;
    QDate expectedStart;
};

using WeekTest = ClockFixture;

TEST_F(WeekTest, ThisWeekBeginsOnTheMostRecentStartDay)
{
    // 7 Dec 2026 is a Monday.
    const WeekCase cases[] = {
        {QDate(2026, 12, 9), 2, QDate(2026, 12, 7)},   // Wednesday, Monday start
        {QDate(2026, 12, 13), 2, QDate(2026, 12, 7)},  // Sunday: Monday six days earlier
        {QDate(2026, 12, 7), 2, QDate(2026, 12, 7)},   // Monday starts today
        {QDate(2026, 12, 9), 1, QDate(2026, 12, 6)},   // Wednesday, Sunday start
        {QDate(2026, 12, 13), 1, QDate(2026, 12, 13)}, // Sunday starts today
        {QDate(2026, 12, 12), 1, QDate(2026, 12, 6)},  // Saturday, Sunday start
        {QDate(2026, 12, 11), 6, QDate(2026, 12, 11)}, // start day is today's number
        {QDate(2026, 12, 11), 7, QDate(2026, 12, 5)},  // one more than today's: six days ago
        {QDate(2026, 1, 1), 2, QDate(2025, 12, 29)},   // across the year end
    };
    for (const WeekCase &c : cases) {
        SCOPED_TRACE(c.today.toString(Qt::ISODate).toStdString() + " start " + std::to_string(c.startDay));
        // Late in the day: the dates must still be midnights.
        TClock::SetFixed(QDateTime(c.today, QTime(23, 59, 30)));
        double start = -1, end = -1;
        GetThisWeek(c.startDay, start, end);
        EXPECT_EQ(start, FromDate(c.expectedStart));
        EXPECT_EQ(end, FromDate(c.expectedStart.addDays(6)));
    }
}

TEST_F(WeekTest, LastAndNextWeekAreSevenDaysAway)
{
    TClock::SetFixed(QDateTime(QDate(2026, 12, 13), QTime(8, 0))); // Sunday
    double start = 0, end = 0;
    GetLastWeek(2, start, end);
    EXPECT_EQ(start, FromDate(QDate(2026, 11, 30)));
    EXPECT_EQ(end, FromDate(QDate(2026, 12, 6)));
    GetNextWeek(2, start, end);
    EXPECT_EQ(start, FromDate(QDate(2026, 12, 14)));
    EXPECT_EQ(end, FromDate(QDate(2026, 12, 20)));
}

// ---------------------------------------------------------------------------
// Day names

TEST(DayToDayNumberTest, MatchesLongDayNamesExactly)
{
    const struct
    {
        const char *name;
        int expected;
    } cases[] = {
        {"Sunday", 1},   {"Monday", 2},   {"Tuesday", 3}, {"Wednesday", 4}, {"Thursday", 5},
        {"Friday", 6},   {"Saturday", 7}, {"", 7},        {"monday", 7},    {"Mon", 7},
        {" Monday", 7},  {"Montag", 7},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(DayToDayNumber(QString::fromUtf8(c.name)), c.expected);
    }
}

TEST(DayToDayNumberTest, FollowsTheCurrentLocale)
{
    const QLocale saved;
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    const int montag = DayToDayNumber(QStringLiteral("Montag"));
    const int monday = DayToDayNumber(QStringLiteral("Monday"));
    QLocale::setDefault(saved);
    EXPECT_EQ(montag, 2);
    EXPECT_EQ(monday, 7);
}

// ---------------------------------------------------------------------------
// Months

TEST(EndOfMonthTest, GregorianMonthLengths)
{
    const struct
    {
        int month, year, expected;
    } cases[] = {
        {1, 2023, 31},  {2, 2024, 29}, {2, 2023, 28}, {2, 1900, 28}, {2, 2000, 29}, {2, 2100, 28},
        {4, 2023, 30},  {6, 2023, 30}, {9, 2023, 30}, {11, 2023, 30}, {12, 2023, 31}, {13, 2023, 31},
        {0, 2023, 31},  {-1, 2023, 31},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(std::to_string(c.month) + "/" + std::to_string(c.year));
        EXPECT_EQ(EndOfMonth(c.month, c.year), c.expected);
    }
}

// ---------------------------------------------------------------------------
// Priority

using PriorityTest = ClockFixture;

TEST_F(PriorityTest, LevelFromDaysLeft)
{
    TClock::SetFixed(QDateTime(QDate(2026, 12, 9), QTime(12, 0)));
    const double now = DateTimeValue::Now();
    const struct
    {
        const char *what;
        double completion;
        int expected;
    } cases[] = {
        {"six days ahead", now + 6, 0},
        {"exactly five days ahead", now + 5, 1},
        {"three days ahead", now + 3, 1},
        {"exactly one day ahead", now + 1, 2},
        {"twelve hours ahead", now + 0.5, 2},
        {"yesterday", now - 1, 2},
        {"no completion date", 0, 0},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(GetPriority(c.completion), c.expected);
    }
}

// ---------------------------------------------------------------------------
// Working days

TEST(DateTimeToDaysTest, SplitsIntoWholeWorkingDays)
{
    const struct
    {
        const char *what;
        double duration, dayHours;
        int days;
        double rest;
    } cases[] = {
        {"15 h, 7.5 h day", 15 * Hour, 7.5, 2, 0},
        {"16 h, 7.5 h day", 16 * Hour, 7.5, 2, Hour},
        {"17 h 45, 7 h day", 17.75 * Hour, 7, 2, 3.75 * Hour},
        {"zero", 0, 7, 0, 0},
        {"below one day", 6 * Hour, 7, 0, 6 * Hour},
        {"negative, toward zero", -16 * Hour, 7.5, -2, -Hour},
        {"zero day length", 5 * Hour, 0, 0, 5 * Hour},
        {"negative day length", 5 * Hour, -7, 0, 5 * Hour},
        {"day length over 24 h", 2.5, 30, 2, 2.5 - 2 * 30 * Hour},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        int days = -99;
        const double rest = DateTimeToDays(c.duration, c.dayHours, days);
        EXPECT_EQ(days, c.days);
        EXPECT_NEAR(rest, c.rest, 1e-12);
    }
}

TEST(DateTimeToDaysTest, TruncatesAQuotientAHairBelowAWholeDay)
{
    double sum = 0;
    for (int i = 0; i < 420; ++i)
        sum += Minute;
    int days = -1;
    const double rest = DateTimeToDays(sum, 7, days);
    ASSERT_LT(sum, 7 * Hour); // the floating-point sum really is short
    EXPECT_EQ(days, 0);
    EXPECT_NEAR(rest, 7 * Hour, 1e-12);
}

TEST(DateTimeToDaysTest, ValuesOutsideTheIntegerRangeDoNotOverflow)
{
    int days = 0;
    DateTimeToDays(1e300, 7, days);
    EXPECT_EQ(days, INT_MAX);
    const double nan = std::nan("");
    EXPECT_TRUE(std::isnan(DateTimeToDays(nan, 7, days)));
    EXPECT_EQ(days, 0);
}

// ---------------------------------------------------------------------------
// Spaces and waiting

TEST(CreateSpaceStringTest, CountsOfSpaces)
{
    EXPECT_EQ(CreateSpaceString(3), QStringLiteral("   "));
    EXPECT_EQ(CreateSpaceString(0), QString());
    EXPECT_EQ(CreateSpaceString(-4), QString());
}

using WaitTest = ClockFixture;

TEST_F(WaitTest, FixedClockReturnsAtOnce)
{
    TClock::SetFixed(QDateTime(QDate(2026, 12, 9), QTime(12, 0)));
    QElapsedTimer timer;
    timer.start();
    WaitForXSecs(30);
    EXPECT_LT(timer.elapsed(), 1000);
}

TEST_F(WaitTest, SystemClockWaitsTheSeconds)
{
    QElapsedTimer timer;
    timer.start();
    WaitForXSecs(0);
    WaitForXSecs(-5);
    EXPECT_LT(timer.elapsed(), 500);
    timer.restart();
    WaitForXSecs(1);
    const qint64 waited = timer.elapsed();
    EXPECT_GE(waited, 990);
    EXPECT_LT(waited, 3000);
}

// ---------------------------------------------------------------------------
// Directory creation

TEST(CheckCreateDirectoryTest, CreatesTheLastLevelOnly)
{
    QTemporaryDir tmp;
    ASSERT_TRUE(tmp.isValid());
    const QString dir = tmp.filePath(QStringLiteral("Data/"));
    CheckCreateDirectory(dir);
    EXPECT_TRUE(QFileInfo(dir).isDir());
    EXPECT_NO_THROW(CheckCreateDirectory(dir)); // already there

    const QString deep = tmp.filePath(QStringLiteral("a/b/"));
    EXPECT_THROW(CheckCreateDirectory(deep), EVRQException);
    EXPECT_FALSE(QFileInfo::exists(tmp.filePath(QStringLiteral("a"))));
}

TEST(CheckCreateDirectoryTest, FailsWhenAFileIsInTheWay)
{
    QTemporaryDir tmp;
    ASSERT_TRUE(tmp.isValid());
    const QString file = tmp.filePath(QStringLiteral("plain"));
    {
        QFile f(file);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    }
    for (const QString &dir : {file + QStringLiteral("/Settings/"), file}) {
        SCOPED_TRACE(dir.toStdString());
        try {
            CheckCreateDirectory(dir);
            ADD_FAILURE() << "no exception";
        } catch (const EVRQException &e) {
            EXPECT_EQ(e.Message(), QStringLiteral("Cannot create ") + dir);
        }
    }
}

} // namespace
