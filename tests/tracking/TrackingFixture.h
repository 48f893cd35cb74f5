#pragma once
// A data module in a sandbox with a fixed clock and a time tracker over its
// task table, and the small steps the tracking tests are written in: a second
// of the second timer, a minute tick when the minute timer runs, lines and
// task codes, and readings of a line's durations by its code.

#include "app/core/Clock.h"
#include "app/core/Currency.h"
#include "app/core/DateTimeValue.h"
#include "data/DataModule.h"
#include "support/DataModuleFixture.h"
#include "tracking/TimeTracker.h"

#include <QDateTime>

#include <gtest/gtest.h>

#include <memory>

class TrackingTest : public ::testing::Test
{
protected:
    /// Tuesday 8 December 2026, 10:00: TueDuration is today's field.
    static QDateTime StartMoment() { return QDateTime(QDate(2026, 12, 8), QTime(10, 0)); }
    static constexpr int Tuesday = 3;
    static constexpr int Wednesday = 4;

    void SetUp() override
    {
        TClock::SetFixed(StartMoment());
        dm = sandbox.Create();
        Tasks().SetSort(QStringLiteral("TaskCode ASC"));
        tracker = std::make_unique<TTimeTracker>(*dm);
        tracker->DisplayTotal = [this] { ++displayTotalCalls; };
    }
    void TearDown() override { TClock::Release(); }

    TRecordTable &Tasks() { return dm->adsTasks; }

    /// Seconds of the second timer, the clock moving with them.
    void Seconds(int count)
    {
        for (int i = 0; i < count; ++i) {
            TClock::Advance(1000);
            tracker->tLastUsedTimerTimer();
        }
    }
    /// The minute timer fires: the tick runs only while the timer is running.
    void MinuteTick()
    {
        if (tracker->MinuteTimer().isActive())
            tracker->TimeTrackerTimerTimer();
    }
    /// Whole minutes of both timers.
    void Minutes(int count)
    {
        for (int i = 0; i < count; ++i) {
            Seconds(60);
            MinuteTick();
        }
    }

    /// Appends a posted line with zero durations but today's.
    void AddLine(const QString &code, bool active, double today = 0.0, int priority = 0)
    {
        TRecordTable &t = Tasks();
        t.Append();
        t.FieldByName(u"JobId").SetAsInteger(++m_jobId);
        t.FieldByName(u"TaskCode").SetAsString(code);
        t.FieldByName(u"TaskDescription").SetAsString(code + QStringLiteral(" work"));
        t.FieldByName(u"Completed").SetAsBoolean(false);
        for (int day = 1; day <= 7; ++day)
            t.FieldByName(TdmTasks_Form::DayFieldName(day)).SetAsDateTime(0.0);
        t.FieldByName(TdmTasks_Form::DayFieldName(Tuesday)).SetAsDateTime(today);
        t.FieldByName(u"ProjectNumber").SetAsInteger(0);
        t.FieldByName(u"ClientId").SetAsInteger(0);
        t.FieldByName(u"Priority").SetAsInteger(priority);
        // Last, so a rule that moves the cursor on activation finds a complete line.
        t.FieldByName(u"Active").SetAsBoolean(active);
        t.Post();
    }

    /// Sets one field of the line with that code and posts it.
    void SetOnLine(const QString &code, QStringView field, const QVariant &value)
    {
        TRecordTable &t = Tasks();
        ASSERT_TRUE(t.Locate(QStringLiteral("TaskCode"), code));
        t.Edit();
        t.FieldByName(field).SetValue(value);
        t.Post();
    }

    /// A field of the line with that code, read without moving the cursor.
    QVariant OnLine(const QString &code, QStringView field)
    {
        const TRecordTable &t = Tasks();
        const TTableField &codeField = t.FieldByName(u"TaskCode");
        for (int i = 0; i < t.RecordCount(); ++i)
            if (t.ValueAt(i, codeField).toString() == code)
                return t.ValueAt(i, t.FieldByName(field));
        ADD_FAILURE() << "no line " << code.toStdString();
        return {};
    }
    double DayOnLine(const QString &code, int day)
    {
        return OnLine(code, TdmTasks_Form::DayFieldName(day)).toDouble();
    }

    void AddTaskCode(const QString &code, double completionDate)
    {
        TRecordTable &t = dm->adsTaskCodes;
        t.Append();
        t.FieldByName(u"TaskCode").SetAsString(code);
        t.FieldByName(u"TaskDescription").SetAsString(code + QStringLiteral(" task"));
        // The project first: choosing it passes the project's dates on to the code.
        t.FieldByName(u"ProjectNumber").SetAsInteger(0);
        t.FieldByName(u"DailyRate").SetAsCurrency(TCurrency());
        t.FieldByName(u"TotalCost").SetAsCurrency(TCurrency());
        t.FieldByName(u"CompletionDate").SetAsDateTime(completionDate);
        t.Post();
    }

    double Total(int day) const { return dm->FTotalDurationArray[std::size_t(day)]; }

    /// A duration in whole milliseconds, so sums of minutes compare exactly.
    static qint64 Ms(double duration) { return qRound64(duration * DateTimeValue::MSecsPerDay); }
    static constexpr qint64 MinuteMs = 60000;
    static double Hm(int hours, int minutes) { return DateTimeValue::EncodeTime(hours, minutes); }

    TDataModuleSandbox sandbox;
    std::unique_ptr<TdmTasks_Form> dm;
    std::unique_ptr<TTimeTracker> tracker;
    int displayTotalCalls = 0;

private:
    int m_jobId = 100;
};
