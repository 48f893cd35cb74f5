#include "tracking/CurrentTask.h"

#include "app/core/DateTimeValue.h"

#include <gtest/gtest.h>

namespace {

double Hms(int h, int m, int s)
{
    return DateTimeValue::EncodeTime(h, m, s);
}

} // namespace

TEST(CurrentTask, TextFromCodeAndDuration)
{
    struct Case
    {
        const char *code;
        double duration;
        const char *text;
    };
    for (const Case c : {Case{"GEN", Hms(1, 30, 5), "GEN 01:30:05"}, Case{"GEN", 0.0, ""},
                         Case{"GEN", -Hms(0, 1, 0), ""}, Case{"", Hms(2, 0, 0), ""},
                         Case{"O'NEIL", Hms(0, 0, 59), "O'NEIL 00:00:59"}}) {
        TCurrentTask task;
        task.SetTaskCode(QString::fromLatin1(c.code));
        task.SetDuration(c.duration);
        EXPECT_EQ(task.CurrentTaskDetail(), QString::fromLatin1(c.text)) << c.code << " " << c.duration;
        EXPECT_EQ(task.Duration(), c.duration);
    }
}

TEST(CurrentTask, ACodeAloneDoesNotRebuildTheText)
{
    TCurrentTask task;
    task.SetTaskCode(QStringLiteral("AAA"));
    task.SetDuration(Hms(1, 0, 0));
    task.SetTaskCode(QStringLiteral("BBB"));
    EXPECT_EQ(task.CurrentTaskDetail(), QStringLiteral("AAA 01:00:00"));
    EXPECT_EQ(task.TaskCode(), QStringLiteral("BBB"));
    task.UpdateSelf();
    EXPECT_EQ(task.CurrentTaskDetail(), QStringLiteral("BBB 01:00:00"));
}

TEST(CurrentTask, SecondsAddUp)
{
    TCurrentTask task;
    task.SetTaskCode(QStringLiteral("GEN"));
    task.AddASecond();
    EXPECT_EQ(task.CurrentTaskDetail(), QStringLiteral("GEN 00:00:01"));
    task.SetDuration(Hms(0, 59, 58));
    for (int i = 0; i < 3600; ++i)
        task.AddASecond();
    EXPECT_EQ(task.CurrentTaskDetail(), QStringLiteral("GEN 01:59:58"));
}
