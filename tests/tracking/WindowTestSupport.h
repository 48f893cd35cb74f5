#pragma once
// What the grid, main-window and start-up tests share: a recorder in place of
// the message boxes, a sandbox data module at a fixed moment, and small steps
// to add lines and task codes and to read them back.

#include "app/core/Clock.h"
#include "app/core/Currency.h"
#include "app/core/DateTimeValue.h"
#include "app/ui/ErrorReporter.h"
#include "data/DataModule.h"
#include "support/DataModuleFixture.h"

#include <QApplication>
#include <QDateTime>
#include <QDir>
#include <QStringList>

#include <gtest/gtest.h>

#include <deque>
#include <memory>
#include <ostream>

/// Texts in failure messages as text.
inline void PrintTo(const QString &text, std::ostream *os)
{
    *os << '"' << text.toStdString() << '"';
}

/// Message boxes, recorded instead of shown; save failures answered from a queue.
class TRecordingReporter : public TMessageReporter
{
public:
    void ShowMessage(const QString &text) override { messages << text; }
    void ShowError(const QString &text) override { errors << text; }
    TSaveFailedChoice AskSaveFailed(const QString &message) override
    {
        saveFailures << message;
        if (answers.empty())
            return sfCancelClose;
        const TSaveFailedChoice answer = answers.front();
        answers.pop_front();
        return answer;
    }

    QStringList messages;
    QStringList errors;
    QStringList saveFailures;
    std::deque<TSaveFailedChoice> answers;
};

/// A created sandbox data module on Tuesday 8 December 2026, 10:00 (today's
/// field TueDuration), setup done and saved, the seeded line GEN and task
/// codes GEN and ADMIN.
class WindowTest : public ::testing::Test
{
protected:
    static QDateTime StartMoment() { return QDateTime(QDate(2026, 12, 8), QTime(10, 0)); }
    static constexpr int Tuesday = 3;

    explicit WindowTest(TDataModuleSandbox::Layout layout = TDataModuleSandbox::Standard)
        : sandbox(layout)
    {
    }

    void SetUp() override
    {
        TClock::SetFixed(StartMoment());
        dm = sandbox.Create();
        // The first run's data saved: from here on a table is written when it changes.
        dm->SetSetupRequired(false);
        dm->SaveData();
    }
    void TearDown() override
    {
        TClock::Release();
    }

    TRecordTable &Tasks() { return dm->adsTasks; }

    static double Hm(int hours, int minutes) { return DateTimeValue::EncodeTime(hours, minutes); }
    static qint64 Ms(double duration) { return qRound64(duration * DateTimeValue::MSecsPerDay); }

    /// Appends and posts a line; `tuesday` is today's duration. The totals follow.
    void AddLine(const QString &code, bool active = false, double tuesday = 0.0, bool completed = false)
    {
        TRecordTable &t = Tasks();
        t.Append();
        t.FieldByName(u"TaskCode").SetAsString(code);
        t.FieldByName(u"TaskDescription").SetAsString(code + QStringLiteral(" work"));
        dm->rCurrentField = {};
        t.FieldByName(TdmTasks_Form::DayFieldName(Tuesday)).SetAsDateTime(tuesday);
        t.FieldByName(u"Completed").SetAsBoolean(completed);
        t.FieldByName(u"Active").SetAsBoolean(active);
        t.Post();
    }

    void AddTaskCode(const QString &code, const QString &description = QString())
    {
        TRecordTable &t = dm->adsTaskCodes;
        t.Append();
        t.FieldByName(u"TaskCode").SetAsString(code);
        t.FieldByName(u"TaskDescription").SetAsString(description.isEmpty() ? code + QStringLiteral(" task")
                                                                            : description);
        t.FieldByName(u"DailyRate").SetAsCurrency(TCurrency());
        t.FieldByName(u"TotalCost").SetAsCurrency(TCurrency());
        t.FieldByName(u"CompletionDate").SetAsDateTime(0.0);
        t.Post();
    }

    /// Row of the line with that code in the table's current order, -1 when none.
    int RowOf(const QString &code)
    {
        const TTableField &field = Tasks().FieldByName(u"TaskCode");
        for (int row = 0; row < Tasks().RecordCount(); ++row)
            if (Tasks().ValueAt(row, field).toString() == code)
                return row;
        return -1;
    }
    QVariant OnLine(const QString &code, QStringView field)
    {
        const int row = RowOf(code);
        if (row < 0) {
            ADD_FAILURE() << "no line " << code.toStdString();
            return {};
        }
        return Tasks().ValueAt(row, Tasks().FieldByName(field));
    }

    /// Task codes equal to `code` (case ignored).
    int TaskCodesNamed(const QString &code)
    {
        const TRecordTable &t = dm->adsTaskCodes;
        const TTableField &field = t.FieldByName(u"TaskCode");
        int count = 0;
        for (int row = 0; row < t.RecordCount(); ++row)
            count += t.ValueAt(row, field).toString().compare(code, Qt::CaseInsensitive) == 0;
        return count;
    }

    /// The data files in the data directory.
    QStringList DataFiles()
    {
        return QDir(dm->DirsObj().DataDir()).entryList({QStringLiteral("*.xml")}, QDir::Files, QDir::Name);
    }

    TDataModuleSandbox sandbox;
    std::unique_ptr<TdmTasks_Form> dm;
    TRecordingReporter reporter;
};
