// Submitting a week: the questions, the history rows and their dates, the
// clearing of the sheet and the last-submitted date.
#include "support/DataModuleFixture.h"

#include "app/core/Clock.h"
#include "app/core/DateTimeValue.h"
#include "app/core/Errors.h"
#include "review/SubmitQuestions.h"
#include "review/Submission.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <map>
#include <vector>

namespace {

double Hm(int hours, int minutes)
{
    return (hours * 60 + minutes) / DateTimeValue::MinutesPerDay;
}

double Day(int year, int month, int day)
{
    return DateTimeValue::FromDate(QDate(year, month, day));
}

double At(int year, int month, int day, int hour, int minute)
{
    return DateTimeValue::FromDateTime(QDateTime(QDate(year, month, day), QTime(hour, minute)));
}

// Answers the questions from a script and records what was asked.
class TScriptedAnswers : public TSubmitQuestions
{
public:
    bool AskYesNo(const QString &question) override
    {
        asked << question;
        if (asked.size() > int(answers.size())) {
            ADD_FAILURE() << "unexpected question: " << question.toStdString();
            return false;
        }
        return answers[std::size_t(asked.size() - 1)];
    }

    std::vector<bool> answers;
    QStringList asked;
};

struct TLine
{
    QString code;
    std::map<int, double> days; // day number (1 = Sunday) → stored duration
    bool completed = false;
};

struct THistoryRow
{
    QString code;
    double duration = 0.0;
    QDate date;
    double submitted = 0.0;
};

const QString kQuestion1 =
    QStringLiteral("You have previously submitted week starting 13/01/2008. Do you wish to continue ?");
const QString kQuestion2 =
    QStringLiteral("You are submitting details for a date in the future. Do you wish to continue ?");

class SubmissionTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        // Thursday 10 January 2008, midday.
        TClock::SetFixed(QDateTime(QDate(2008, 1, 10), QTime(12, 0)));
        Restart();
    }
    void TearDown() override { TClock::Release(); }

    // A fresh first-run data module and submission, nothing asked or called yet.
    void Restart()
    {
        submission.reset();
        dm.reset();
        sandbox = std::make_unique<TDataModuleSandbox>();
        dm = sandbox->Create();
        questions = {};
        commits = totalDisplays = 0;
        shownWeekStarts.clear();
        submission = std::make_unique<TSubmission>(*dm, questions);
        submission->CommitPendingInput = [this] { ++commits; };
        submission->DisplayTotal = [this] { ++totalDisplays; };
        submission->WeekStartChanged = [this](double weekStart) { shownWeekStarts.push_back(weekStart); };
    }

    void SetNow(int year, int month, int day, int hour = 12, int minute = 0)
    {
        TClock::SetFixed(QDateTime(QDate(year, month, day), QTime(hour, minute)));
    }

    void SetOptions(double lastSubmitted, int startDay, bool removeUnused)
    {
        TRecordTable &defaults = dm->adsDefaults;
        defaults.Edit();
        defaults.FieldByName(u"WeekStartDate").SetAsDateTime(lastSubmitted);
        defaults.FieldByName(u"StartDayOfWeek").SetAsInteger(startDay);
        defaults.FieldByName(u"RemoveUnusedTasks").SetAsBoolean(removeUnused);
        defaults.Post();
        defaults.SetTag(0);
    }

    // Sets day durations on the current line as the grid would (the entry
    // value first), so the day totals stay right.
    void SetDays(const std::map<int, double> &days)
    {
        TRecordTable &tasks = dm->adsTasks;
        tasks.Edit();
        for (const auto &[day, value] : days) {
            TTableField &field = tasks.FieldByName(TdmTasks_Form::DayFieldName(day));
            dm->rCurrentField.Value = DateTimeValue::Frac(field.AsFloat());
            field.SetAsFloat(value);
        }
    }

    void AddLine(const TLine &line)
    {
        TRecordTable &tasks = dm->adsTasks;
        tasks.Append();
        tasks.FieldByName(u"TaskCode").SetAsString(line.code);
        tasks.FieldByName(u"TaskDescription").SetAsString(line.code + QStringLiteral(" work"));
        tasks.FieldByName(u"Completed").SetAsBoolean(line.completed);
        SetDays(line.days);
        tasks.Post();
    }

    // Replaces the sheet with the given lines.
    void SetSheet(const std::vector<TLine> &lines)
    {
        TRecordTable &tasks = dm->adsTasks;
        tasks.CheckBrowseMode();
        tasks.First();
        while (!tasks.IsEmpty())
            tasks.Delete();
        for (const TLine &line : lines)
            AddLine(line);
        tasks.First();
    }

    bool Submit(double &selected, const QString &text) { return submission->SubmitExecute(selected, text); }

    int StoredHistoryRows() const { return int(dm->adsReporting.Data()->RowCount()); }

    std::vector<THistoryRow> History() const
    {
        std::vector<THistoryRow> rows;
        const TRecordTable &history = dm->adsReporting;
        for (int i = 0; i < history.RecordCount(); ++i) {
            THistoryRow row;
            row.code = history.ValueAt(i, history.FieldByName(u"TaskCode")).toString();
            row.duration = history.ValueAt(i, history.FieldByName(u"Duration")).toDouble();
            row.submitted = history.ValueAt(i, history.FieldByName(u"DateTimeSubmitted")).toDouble();
            row.date = DateTimeValue::ToDate(row.submitted);
            rows.push_back(row);
        }
        return rows;
    }

    QStringList Codes() const
    {
        QStringList codes;
        const TRecordTable &tasks = dm->adsTasks;
        for (int i = 0; i < tasks.RecordCount(); ++i)
            codes << tasks.ValueAt(i, tasks.FieldByName(u"TaskCode")).toString();
        return codes;
    }

    void ExpectSheetHoldsNoTime() const
    {
        const TRecordTable &tasks = dm->adsTasks;
        for (int i = 0; i < tasks.RecordCount(); ++i)
            for (int day = 1; day <= 7; ++day) {
                const QVariant value = tasks.ValueAt(i, tasks.FieldByName(TdmTasks_Form::DayFieldName(day)));
                EXPECT_TRUE(value.isValid()) << "line " << i << " day " << day;
                EXPECT_EQ(value.toDouble(), 0.0) << "line " << i << " day " << day;
            }
    }

    std::unique_ptr<TDataModuleSandbox> sandbox;
    std::unique_ptr<TdmTasks_Form> dm;
    TScriptedAnswers questions;
    std::unique_ptr<TSubmission> submission;
    int commits = 0;
    int totalDisplays = 0;
    std::vector<double> shownWeekStarts;
};

} // namespace

TEST_F(SubmissionTest, DatesEachRowOnItsWeekdayWithinTheWeek)
{
    struct Case
    {
        int startDay;
        QString weekStartText;
        QDate dates[8]; // by day number, 1 = Sunday
    };
    const Case cases[] = {
        {1, QStringLiteral("06/01/2008"),
         {{}, {2008, 1, 6}, {2008, 1, 7}, {2008, 1, 8}, {2008, 1, 9}, {2008, 1, 10}, {2008, 1, 11}, {2008, 1, 12}}},
        {2, QStringLiteral("07/01/2008"),
         {{}, {2008, 1, 13}, {2008, 1, 7}, {2008, 1, 8}, {2008, 1, 9}, {2008, 1, 10}, {2008, 1, 11}, {2008, 1, 12}}},
        {7, QStringLiteral("05/01/2008"),
         {{}, {2008, 1, 6}, {2008, 1, 7}, {2008, 1, 8}, {2008, 1, 9}, {2008, 1, 10}, {2008, 1, 11}, {2008, 1, 5}}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(testing::Message() << "StartDayOfWeek " << c.startDay);
        Restart();
        double selected = 0.0;
        ASSERT_TRUE(TSubmission::TryParseWeekStart(c.weekStartText, selected));
        SetOptions(selected - 7.0, c.startDay, true);
        // Day d holds d minutes, so each row tells its weekday.
        std::map<int, double> days;
        for (int day = 1; day <= 7; ++day)
            days[day] = Hm(0, day);
        SetSheet({{QStringLiteral("DEV"), days}});

        ASSERT_TRUE(Submit(selected, c.weekStartText));
        const auto rows = History();
        ASSERT_EQ(rows.size(), 7u);
        for (int day = 1; day <= 7; ++day) {
            const THistoryRow &row = rows[std::size_t(day - 1)];
            EXPECT_DOUBLE_EQ(row.duration, Hm(0, day)) << "rows follow the weekdays, Sunday first";
            EXPECT_EQ(row.date, c.dates[day]) << "day " << day;
            EXPECT_EQ(DateTimeValue::Frac(row.submitted), 0.0) << "dated at midnight";
        }
    }
}

TEST_F(SubmissionTest, CopiesTheLineIntoEachRowThroughTypedValues)
{
    SetOptions(Day(2008, 1, 6) - 7.0, 1, true);
    TRecordTable &users = dm->adsUsers;
    users.Edit();
    users.FieldByName(u"UserID").SetAsInteger(42);
    users.Post();

    TRecordTable &tasks = dm->adsTasks;
    SetSheet({{QStringLiteral("DEV"), {{2, 1.0 + Hm(0, 30)}}}, {QStringLiteral("BARE"), {{3, Hm(2, 0)}}}});
    tasks.Edit();
    tasks.FieldByName(u"TaskDescription").SetAsString(QStringLiteral("Development"));
    tasks.FieldByName(u"Active").SetAsBoolean(true);
    tasks.FieldByName(u"DateTimeCreated").SetAsDateTime(At(2007, 12, 1, 9, 15));
    tasks.FieldByName(u"DateTimeAmended").SetAsDateTime(At(2008, 1, 2, 16, 40));
    tasks.FieldByName(u"ProjectNumber").SetAsInteger(3);
    tasks.FieldByName(u"ClientId").SetAsInteger(-4);
    tasks.Next();
    tasks.Edit();
    for (const char *name : {"TaskDescription", "ProjectNumber", "ClientId", "Active", "Completed"})
        tasks.FieldByName(QString::fromLatin1(name)).Clear();
    tasks.Post();

    double selected = Day(2008, 1, 6);
    ASSERT_TRUE(Submit(selected, QStringLiteral("06/01/2008")));

    TRecordTable &history = dm->adsReporting;
    ASSERT_EQ(history.RecordCount(), 2);
    history.First();
    const auto field = [&history](const char *name) -> TTableField & {
        return history.FieldByName(QString::fromLatin1(name));
    };
    EXPECT_EQ(field("TaskCode").AsString(), QStringLiteral("DEV"));
    EXPECT_EQ(field("TaskDescription").AsString(), QStringLiteral("Development"));
    EXPECT_NEAR(field("Duration").AsFloat(), Hm(0, 30), 1e-12) << "the whole day is dropped";
    EXPECT_EQ(field("DateTimeCreated").AsDateTime(), At(2007, 12, 1, 9, 15));
    EXPECT_EQ(field("DateTimeAmended").AsDateTime(), At(2008, 1, 2, 16, 40));
    EXPECT_TRUE(field("Active").AsBoolean());
    EXPECT_FALSE(field("Completed").AsBoolean());
    EXPECT_EQ(field("ProjectNumber").AsInteger(), 3);
    EXPECT_EQ(field("ClientId").AsInteger(), -4);
    EXPECT_EQ(field("UserId").AsInteger(), 42);
    for (const char *name : {"AuthUserId", "InvoiceNumber"}) {
        EXPECT_FALSE(field(name).IsNull()) << name;
        EXPECT_EQ(field(name).AsInteger(), 0) << name;
    }
    EXPECT_EQ(field("DateTimeSubmitted").AsDateTime(), Day(2008, 1, 7));

    history.Next();
    EXPECT_EQ(field("TaskCode").AsString(), QStringLiteral("BARE"));
    for (const char *name : {"ProjectNumber", "ClientId", "Active", "Completed"})
        EXPECT_FALSE(field(name).IsNull()) << name << ": a null on the line arrives as 0 or false";
    EXPECT_EQ(field("ProjectNumber").AsInteger(), 0);
    EXPECT_EQ(field("ClientId").AsInteger(), 0);
    EXPECT_FALSE(field("Active").AsBoolean());
    EXPECT_EQ(field("TaskDescription").AsString(), QString());
    EXPECT_EQ(field("DateTimeSubmitted").AsDateTime(), Day(2008, 1, 8));
}

TEST_F(SubmissionTest, SheetWithoutTimeWritesNothingAndKeepsOrRemovesItsLines)
{
    // A day of exactly 24:00 counts as no time.
    for (const bool removeUnused : {true, false}) {
        SCOPED_TRACE(testing::Message() << "RemoveUnusedTasks " << removeUnused);
        Restart();
        SetOptions(Day(2007, 12, 30), 1, removeUnused);
        SetSheet({{QStringLiteral("GEN"), {}}, {QStringLiteral("WHOLE"), {{2, 1.0}}}});
        const int lastJobId = dm->FMaxJobId;

        double selected = Day(2008, 1, 6);
        ASSERT_TRUE(Submit(selected, QStringLiteral("06/01/2008")));

        EXPECT_EQ(StoredHistoryRows(), 0);
        TRecordTable &tasks = dm->adsTasks;
        EXPECT_EQ(tasks.State(), TDataSetState::Browse);
        if (removeUnused) {
            ASSERT_EQ(tasks.RecordCount(), 1) << "one new empty line replaces the removed ones";
            EXPECT_EQ(tasks.Data()->RowCount(), 1u) << "the new line is posted";
            EXPECT_EQ(tasks.FieldByName(u"TaskCode").AsString(), QString());
            EXPECT_GT(tasks.FieldByName(u"JobId").AsInteger(), lastJobId) << "the new line has the insert defaults";
        } else {
            EXPECT_EQ(Codes(), (QStringList{QStringLiteral("GEN"), QStringLiteral("WHOLE")}));
            EXPECT_EQ(tasks.RecNo(), 0);
        }
        ExpectSheetHoldsNoTime();
    }
}

TEST_F(SubmissionTest, CompletedLinesAreSubmittedThenRemoved)
{
    SetOptions(Day(2007, 12, 30), 1, true);
    SetSheet({{QStringLiteral("GEN"), {{2, Hm(1, 0)}}},
              {QStringLiteral("DONE"), {{3, Hm(1, 30)}, {6, Hm(2, 0)}}, true},
              {QStringLiteral("IDLE"), {}, true}});
    TRecordTable &tasks = dm->adsTasks;
    tasks.Edit();
    tasks.FieldByName(u"Active").SetAsBoolean(true);
    tasks.FieldByName(u"ProjectNumber").SetAsInteger(3);
    tasks.FieldByName(u"ClientId").SetAsInteger(-2);
    tasks.FieldByName(u"Priority").SetAsInteger(1);
    tasks.Post();
    const double created = tasks.FieldByName(u"DateTimeCreated").AsDateTime();
    dm->FTotalDurationArray.fill(0.5); // whatever the totals were, they end at zero

    double selected = Day(2008, 1, 6);
    ASSERT_TRUE(Submit(selected, QStringLiteral("06/01/2008")));

    const auto rows = History();
    ASSERT_EQ(rows.size(), 3u);
    EXPECT_EQ(rows[0].code, QStringLiteral("GEN"));
    EXPECT_EQ(rows[0].date, QDate(2008, 1, 7));
    EXPECT_EQ(rows[1].code, QStringLiteral("DONE"));
    EXPECT_DOUBLE_EQ(rows[1].duration, Hm(1, 30));
    EXPECT_EQ(rows[1].date, QDate(2008, 1, 8));
    EXPECT_EQ(rows[2].code, QStringLiteral("DONE"));
    EXPECT_DOUBLE_EQ(rows[2].duration, Hm(2, 0));
    EXPECT_EQ(rows[2].date, QDate(2008, 1, 11));
    dm->adsReporting.Last();
    EXPECT_TRUE(dm->adsReporting.FieldByName(u"Completed").AsBoolean());

    // The remaining line keeps its task and loses its time.
    EXPECT_EQ(Codes(), QStringList{QStringLiteral("GEN")});
    ExpectSheetHoldsNoTime();
    EXPECT_EQ(tasks.State(), TDataSetState::Browse);
    EXPECT_EQ(tasks.FieldByName(u"TaskDescription").AsString(), QStringLiteral("GEN work"));
    EXPECT_TRUE(tasks.FieldByName(u"Active").AsBoolean());
    EXPECT_EQ(tasks.FieldByName(u"ProjectNumber").AsInteger(), 3);
    EXPECT_EQ(tasks.FieldByName(u"ClientId").AsInteger(), -2);
    EXPECT_EQ(tasks.FieldByName(u"Priority").AsInteger(), 1);
    EXPECT_EQ(tasks.FieldByName(u"DateTimeCreated").AsDateTime(), created);

    for (int day = 1; day <= 7; ++day)
        EXPECT_EQ(dm->FTotalDurationArray[std::size_t(day)], 0.0) << "day " << day;
    EXPECT_EQ(commits, 1);
    EXPECT_EQ(totalDisplays, 1);
}

TEST_F(SubmissionTest, VisitsEveryLineOnceUnderADayColumnSort)
{
    SetOptions(Day(2007, 12, 30), 1, false);
    SetSheet({{QStringLiteral("A"), {{2, Hm(1, 0)}}},
              {QStringLiteral("B"), {{2, Hm(3, 0)}}},
              {QStringLiteral("C"), {{2, Hm(2, 0)}}}});
    dm->adsTasks.SetSort(QStringLiteral("MonDuration DESC"));

    double selected = Day(2008, 1, 6);
    ASSERT_TRUE(Submit(selected, QStringLiteral("06/01/2008")));

    const auto rows = History();
    ASSERT_EQ(rows.size(), 3u);
    EXPECT_EQ(rows[0].code, QStringLiteral("B"));
    EXPECT_EQ(rows[1].code, QStringLiteral("C"));
    EXPECT_EQ(rows[2].code, QStringLiteral("A"));
    EXPECT_EQ(dm->adsTasks.RecordCount(), 3);
    ExpectSheetHoldsNoTime();
}

TEST_F(SubmissionTest, AsksEachQuestionWhenItsConditionHolds)
{
    // Now is Thursday 10 January 2008, midday.
    struct Case
    {
        const char *what;
        double lastSubmitted;
        double selected;
        QStringList expected;
    };
    const Case cases[] = {
        {"already submitted and in the future", Day(2008, 1, 13), Day(2008, 1, 13), {kQuestion1, kQuestion2}},
        {"already submitted", Day(2008, 1, 6), Day(2008, 1, 6),
         {QStringLiteral("You have previously submitted week starting 06/01/2008. Do you wish to continue ?")}},
        {"in the future", Day(2008, 1, 6), Day(2008, 1, 13), {kQuestion2}},
        {"starting at this very moment", Day(2008, 1, 3), At(2008, 1, 10, 12, 0), {kQuestion2}},
        {"same day, other time of day", At(2008, 1, 6, 9, 0), Day(2008, 1, 6), {}},
        {"a past week not yet submitted", Day(2007, 12, 30), Day(2008, 1, 6), {}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        Restart();
        questions.answers = {true, true};
        SetOptions(c.lastSubmitted, 1, true);
        SetSheet({{QStringLiteral("DEV"), {{2, Hm(1, 0)}}}});

        double selected = c.selected;
        EXPECT_TRUE(Submit(selected, TSubmission::WeekStartText(c.selected)));
        EXPECT_EQ(questions.asked, c.expected);
        EXPECT_EQ(StoredHistoryRows(), 1);
    }
}

TEST_F(SubmissionTest, ANoToEitherQuestionChangesNothing)
{
    const std::vector<bool> scripts[] = {{false, true}, {true, false}, {false, false}};
    for (const auto &script : scripts) {
        SCOPED_TRACE(testing::Message() << "answers " << script[0] << ", " << script[1]);
        Restart();
        questions.answers = script;
        SetOptions(Day(2008, 1, 13), 1, true);
        SetSheet({{QStringLiteral("DEV"), {{2, Hm(1, 0)}}}, {QStringLiteral("OLD"), {}, true}});
        dm->adsTasks.SetTag(0);
        SetDays({{3, Hm(2, 0)}}); // an edit still pending on the current line

        double selected = Day(2008, 1, 13);
        EXPECT_FALSE(Submit(selected, QStringLiteral("13/01/2008")));

        EXPECT_EQ(questions.asked, (QStringList{kQuestion1, kQuestion2})) << "the second question follows a No too";
        EXPECT_EQ(commits, 0);
        EXPECT_EQ(totalDisplays, 0);
        EXPECT_TRUE(shownWeekStarts.empty());
        EXPECT_EQ(selected, Day(2008, 1, 13));
        EXPECT_EQ(StoredHistoryRows(), 0);
        TRecordTable &tasks = dm->adsTasks;
        EXPECT_EQ(tasks.State(), TDataSetState::Edit);
        EXPECT_TRUE(tasks.Modified()) << "the pending edit is left pending";
        EXPECT_EQ(tasks.Tag(), 0);
        EXPECT_EQ(Codes(), (QStringList{QStringLiteral("DEV"), QStringLiteral("OLD")}));
        EXPECT_EQ(tasks.FieldByName(u"TueDuration").AsFloat(), Hm(2, 0));
        EXPECT_EQ(tasks.FieldByName(u"MonDuration").AsFloat(), Hm(1, 0));
        EXPECT_EQ(dm->adsDefaults.FieldByName(u"WeekStartDate").AsDateTime(), Day(2008, 1, 13));
        EXPECT_EQ(dm->adsDefaults.Tag(), 0);
    }
}

TEST_F(SubmissionTest, YesToBothSubmitsThePendingEditToo)
{
    questions.answers = {true, true};
    SetOptions(Day(2008, 1, 13), 1, true);
    SetSheet({{QStringLiteral("DEV"), {{2, Hm(1, 0)}}}});
    SetDays({{3, Hm(2, 0)}});

    double selected = Day(2008, 1, 13);
    ASSERT_TRUE(Submit(selected, QStringLiteral("13/01/2008")));

    EXPECT_EQ(questions.asked, (QStringList{kQuestion1, kQuestion2}));
    const auto rows = History();
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(rows[0].date, QDate(2008, 1, 14));
    EXPECT_DOUBLE_EQ(rows[1].duration, Hm(2, 0));
    EXPECT_EQ(rows[1].date, QDate(2008, 1, 15));
    EXPECT_EQ(selected, Day(2008, 1, 13)) << "the week is not over yet";
}

TEST_F(SubmissionTest, SubmittingTheRunningWeekKeepsTheLastSubmittedDate)
{
    // Wednesday 9 January 2008, the fourth day of the week starting Sunday 6 January.
    SetNow(2008, 1, 9, 10, 0);
    SetOptions(Day(2007, 12, 30), 1, true);
    SetSheet({{QStringLiteral("DEV"), {{2, Hm(1, 0)}}}});
    double selected = Day(2008, 1, 6);
    ASSERT_TRUE(Submit(selected, TSubmission::WeekStartText(selected)));

    EXPECT_EQ(History().size(), 1u);
    ExpectSheetHoldsNoTime();
    EXPECT_EQ(dm->adsDefaults.FieldByName(u"WeekStartDate").AsDateTime(), Day(2007, 12, 30));
    EXPECT_EQ(selected, Day(2008, 1, 6));
    EXPECT_TRUE(shownWeekStarts.empty());

    // More time later in the same week goes into the same week, unasked.
    SetNow(2008, 1, 11, 17, 0);
    dm->adsTasks.First();
    SetDays({{5, Hm(2, 15)}});
    ASSERT_TRUE(Submit(selected, TSubmission::WeekStartText(selected)));

    EXPECT_TRUE(questions.asked.isEmpty());
    const auto rows = History();
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(rows[1].code, QStringLiteral("DEV"));
    EXPECT_DOUBLE_EQ(rows[1].duration, Hm(2, 15));
    EXPECT_EQ(rows[1].date, QDate(2008, 1, 10));
    EXPECT_EQ(dm->adsDefaults.FieldByName(u"WeekStartDate").AsDateTime(), Day(2007, 12, 30));
}

TEST_F(SubmissionTest, RecordsTheWeekOnceTheFollowingWeekIsOver)
{
    struct Case
    {
        const char *what;
        QDateTime now;
        bool recorded;
    };
    // Last submitted Sunday 30 December 2007; thirteen days later is Saturday 12 January.
    const Case cases[] = {
        {"exactly thirteen days on", QDateTime(QDate(2008, 1, 12), QTime(0, 0)), false},
        {"a minute later", QDateTime(QDate(2008, 1, 12), QTime(0, 1)), true},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        Restart();
        TClock::SetFixed(c.now);
        SetOptions(Day(2007, 12, 30), 1, true);
        SetSheet({{QStringLiteral("DEV"), {{2, Hm(1, 0)}}}});

        const double weekStart = At(2008, 1, 6, 8, 30); // the time of day is kept
        double selected = weekStart;
        ASSERT_TRUE(Submit(selected, QStringLiteral("06/01/2008")));

        TRecordTable &defaults = dm->adsDefaults;
        if (c.recorded) {
            EXPECT_EQ(defaults.FieldByName(u"WeekStartDate").AsDateTime(), weekStart);
            EXPECT_EQ(defaults.State(), TDataSetState::Browse) << "posted";
            EXPECT_EQ(defaults.Tag(), 1);
            EXPECT_EQ(selected, weekStart + 7.0);
            EXPECT_EQ(shownWeekStarts, std::vector<double>{weekStart + 7.0});
            EXPECT_EQ(TSubmission::WeekStartText(selected), QStringLiteral("13/01/2008"));
        } else {
            EXPECT_EQ(defaults.FieldByName(u"WeekStartDate").AsDateTime(), Day(2007, 12, 30));
            EXPECT_EQ(defaults.Tag(), 0);
            EXPECT_EQ(selected, weekStart);
            EXPECT_TRUE(shownWeekStarts.empty());
        }
    }
}

TEST_F(SubmissionTest, OneHistoryRowIsSavedAndReadBack)
{
    SetOptions(Day(2007, 12, 30), 1, true);
    SetSheet({{QStringLiteral("DEV"), {{4, Hm(3, 20)}}}});
    double selected = Day(2008, 1, 6);
    ASSERT_TRUE(Submit(selected, QStringLiteral("06/01/2008")));
    ASSERT_EQ(StoredHistoryRows(), 1);

    dm->SetSetupRequired(false);
    dm->SaveData();
    const auto reloaded = sandbox->Create();
    const TRecordTable &history = reloaded->adsReporting;
    ASSERT_EQ(history.Data()->RowCount(), 1u);
    const int row = 0;
    EXPECT_EQ(history.ValueAt(row, history.FieldByName(u"TaskCode")).toString(), QStringLiteral("DEV"));
    EXPECT_NEAR(history.ValueAt(row, history.FieldByName(u"Duration")).toDouble(), Hm(3, 20), 1e-9);
    EXPECT_EQ(DateTimeValue::ToDate(history.ValueAt(row, history.FieldByName(u"DateTimeSubmitted")).toDouble()),
              QDate(2008, 1, 9));
    EXPECT_EQ(reloaded->adsTasks.RecordCount(), 1);
    EXPECT_EQ(reloaded->adsTasks.FieldByName(u"WedDuration").AsFloat(), 0.0);
}

TEST_F(SubmissionTest, AWeekStartTextThatIsNoDateStopsBeforeAnything)
{
    for (const QString &text : {QString(), QStringLiteral("32/01/2008"), QStringLiteral("next Monday"),
                                QStringLiteral("__/__/__")}) {
        SCOPED_TRACE(text.toStdString());
        Restart();
        questions.answers = {true, true};
        SetOptions(Day(2008, 1, 13), 1, true);
        SetSheet({{QStringLiteral("DEV"), {{2, Hm(1, 0)}}}, {QStringLiteral("OLD"), {}, true}});
        SetDays({{3, Hm(2, 0)}});

        double selected = Day(2008, 1, 13);
        try {
            Submit(selected, text);
            ADD_FAILURE() << "no error raised";
        } catch (const EVRQException &e) {
            EXPECT_THAT(e.Message().toStdString(), testing::HasSubstr("\"" + text.toStdString() + "\""));
            EXPECT_THAT(e.Message().toStdString(), testing::HasSubstr("not a valid date"));
        }
        EXPECT_TRUE(questions.asked.isEmpty());
        EXPECT_EQ(commits, 0);
        EXPECT_EQ(StoredHistoryRows(), 0);
        EXPECT_EQ(dm->adsTasks.State(), TDataSetState::Edit);
        EXPECT_TRUE(dm->adsTasks.Modified());
        EXPECT_EQ(Codes(), (QStringList{QStringLiteral("DEV"), QStringLiteral("OLD")}));
        EXPECT_EQ(selected, Day(2008, 1, 13));
    }
}
