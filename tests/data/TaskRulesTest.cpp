// Rules of the weekly task lines, the submitted-time durations, the lunch
// times and the report working set, on a first-run data module.
#include "support/DataModuleFixture.h"

#include "app/core/Clock.h"
#include "app/core/DateTimeValue.h"
#include "app/core/DurationText.h"
#include "app/core/Errors.h"
#include "data/PriorityImage.h"

#include <gtest/gtest.h>

#include <QImage>

#include <functional>

namespace {

double Hm(int hours, int minutes)
{
    return DateTimeValue::EncodeTime(hours, minutes);
}

// The message of the error an action raises; empty when it raises none.
QString ErrorOf(const std::function<void()> &action)
{
    try {
        action();
    } catch (const EZelbraError &e) {
        return e.Message();
    }
    return {};
}

// The stored value of a field of the line with that task code, read through a
// clone so the table's cursor stays put.
QVariant StoredValue(const TRecordTable &table, const QString &code, QStringView field)
{
    TRecordTable clone(table.Name());
    clone.Clone(table);
    if (!clone.Locate(QStringLiteral("TaskCode"), code))
        return QStringLiteral("<no such line>");
    return clone.FieldValue(field);
}

// A first-run data module at a fixed moment: Wednesday 9 December 2026, 10:00.
// The week has one line, GEN, active and in edit; the task codes are GEN and ADMIN.
class TaskRules : public ::testing::Test
{
protected:
    void SetUp() override
    {
        TClock::SetFixed(QDateTime(QDate(2026, 12, 9), QTime(10, 0)));
        dm = sandbox.Create();
    }
    void TearDown() override { TClock::Release(); }

    TTableField &Task(QStringView name) { return dm->adsTasks.FieldByName(name); }

    // Appends a line with that task code and stores it.
    void AddLine(const QString &code)
    {
        dm->adsTasks.Append();
        Task(u"TaskCode").SetAsString(code);
        dm->adsTasks.Post();
    }

    void GoToLine(const QString &code)
    {
        ASSERT_TRUE(dm->adsTasks.Locate(QStringLiteral("TaskCode"), code)) << code.toStdString();
    }

    // Gives the task code ADMIN a project and a completion date.
    void SetAdminCode(int projectNumber, double completionDate)
    {
        TRecordTable &codes = dm->adsTaskCodes;
        ASSERT_TRUE(codes.Locate(QStringLiteral("TaskCode"), QStringLiteral("ADMIN")));
        codes.Edit();
        codes.FieldByName(u"ProjectNumber").SetAsInteger(projectNumber);
        codes.FieldByName(u"CompletionDate").SetAsDateTime(completionDate);
        codes.Post();
    }

    TDataModuleSandbox sandbox;
    std::unique_ptr<TdmTasks_Form> dm;
};

} // namespace

// --- new lines and job numbers -----------------------------------------------------------

TEST_F(TaskRules, NewLineGetsItsDefaultsWithoutTouchingTheTotals)
{
    dm->FTotalDurationArray[2] = Hm(3, 0);
    dm->rCurrentField.Value = Hm(1, 30); // left over from an earlier edit
    const auto totals = dm->FTotalDurationArray;

    dm->adsTasks.Append();

    EXPECT_EQ(dm->FTotalDurationArray, totals);
    for (int day = 1; day <= 7; ++day) {
        const TTableField &duration = Task(TdmTasks_Form::DayFieldName(day));
        EXPECT_FALSE(duration.IsNull()) << duration.FieldName().toStdString();
        EXPECT_EQ(duration.AsFloat(), 0.0) << duration.FieldName().toStdString();
    }
    EXPECT_FALSE(Task(u"Completed").IsNull());
    EXPECT_FALSE(Task(u"Completed").AsBoolean());
    EXPECT_FALSE(Task(u"Active").AsBoolean());
    EXPECT_EQ(Task(u"DateTimeCreated").AsDateTime(), DateTimeValue::Now());
    EXPECT_EQ(Task(u"DateTimeAmended").AsDateTime(), DateTimeValue::Now());
    EXPECT_EQ(Task(u"Priority").Value(), QVariant(0));
    EXPECT_EQ(Task(u"PriorityImage").AsBytes(), PriorityImage::PriorityBitmap(0));
    EXPECT_EQ(Task(u"ProjectNumber").Value(), QVariant(0));
    EXPECT_EQ(Task(u"ClientId").Value(), QVariant(0));
    EXPECT_EQ(Task(u"Days").AsInteger(), 0);
}

TEST_F(TaskRules, JobNumbersAreNeverHandedOutTwice)
{
    ASSERT_EQ(dm->FMaxJobId, 1);
    dm->adsTasks.Append();
    EXPECT_EQ(Task(u"JobId").AsInteger(), 2);
    dm->adsTasks.Cancel(); // the line is dropped; its number stays used

    dm->adsTasks.Append();
    EXPECT_EQ(Task(u"JobId").AsInteger(), 3);
    EXPECT_EQ(dm->FMaxJobId, 3);
}

// --- one active line ------------------------------------------------------------------------

TEST_F(TaskRules, ActivatingALineDeactivatesTheOthersItCanSee)
{
    AddLine(QStringLiteral("ADMIN"));
    // A completed line, active too, that the main window's filter hides.
    dm->FOneTaskActive = false;
    dm->adsTasks.Append();
    Task(u"TaskCode").SetAsString(QStringLiteral("HIDDEN"));
    Task(u"Active").SetAsBoolean(true);
    Task(u"Completed").SetAsBoolean(true);
    dm->adsTasks.Post();
    dm->FOneTaskActive = true;
    dm->adsTasks.SetFilter(QStringLiteral("Completed = False"));
    dm->adsTasks.SetFiltered(true);
    ASSERT_EQ(StoredValue(dm->adsTasks, QStringLiteral("GEN"), u"Active"), QVariant(true));

    GoToLine(QStringLiteral("ADMIN"));
    dm->adsTasks.Edit();
    Task(u"Active").SetAsBoolean(true);

    EXPECT_EQ(StoredValue(dm->adsTasks, QStringLiteral("GEN"), u"Active"), QVariant(false)) << "deactivated and posted";
    EXPECT_EQ(StoredValue(dm->adsTasks, QStringLiteral("ADMIN"), u"Active"), QVariant(true)) << "posted";
    EXPECT_EQ(StoredValue(dm->adsTasks, QStringLiteral("HIDDEN"), u"Active"), QVariant(true)) << "filtered out";
    EXPECT_EQ(Task(u"TaskCode").AsString(), QStringLiteral("ADMIN"));
    EXPECT_TRUE(Task(u"Active").AsBoolean());
    EXPECT_EQ(dm->adsTasks.State(), TDataSetState::Edit);
    EXPECT_FALSE(dm->FActivating);
    EXPECT_FALSE(dm->adsTasks.ControlsDisabled());
}

TEST_F(TaskRules, ALineWithoutACodeStaysCurrentWhenActivated)
{
    AddLine(QStringLiteral("ADMIN"));
    dm->adsTasks.First();
    dm->adsTasks.Insert(); // before the others, so ending on the last line would be wrong
    const int jobId = Task(u"JobId").AsInteger();
    Task(u"Active").SetAsBoolean(true);

    EXPECT_EQ(Task(u"JobId").AsInteger(), jobId);
    EXPECT_TRUE(Task(u"TaskCode").IsNull());
    EXPECT_EQ(dm->adsTasks.State(), TDataSetState::Edit);
    EXPECT_EQ(StoredValue(dm->adsTasks, QStringLiteral("GEN"), u"Active"), QVariant(false));
}

TEST_F(TaskRules, AnActivationThatFailsLeavesTheRuleReady)
{
    AddLine(QStringLiteral("ADMIN"));
    dm->adsTasks.BeforePost = [](TRecordTable &) { throw EVRQException(QStringLiteral("disk on fire")); };
    GoToLine(QStringLiteral("ADMIN"));
    dm->adsTasks.Edit();

    EXPECT_EQ(ErrorOf([&] { Task(u"Active").SetAsBoolean(true); }), QStringLiteral("disk on fire"));
    EXPECT_FALSE(dm->FActivating);
    EXPECT_FALSE(dm->adsTasks.ControlsDisabled());
}

// --- task codes --------------------------------------------------------------------------------

TEST_F(TaskRules, TaskCodeCheck)
{
    AddLine(QStringLiteral("O'NEIL"));
    struct Case
    {
        const char *proposed;
        const char *error; // nullptr: accepted
    } const cases[] = {
        {"gen", "Task code already selected"},
        {"o'neil", "Task code already selected"},
        {"O'", nullptr},
        {"NEW", nullptr},
        {"", "Task code cannot be blank"},
        {"   ", "Task code cannot be blank"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.proposed);
        dm->adsTasks.Append();
        const QString proposed = QString::fromLatin1(c.proposed);
        const QString error = ErrorOf([&] { Task(u"TaskCode").SetAsString(proposed); });
        if (c.error) {
            EXPECT_EQ(error, QString::fromLatin1(c.error));
            EXPECT_TRUE(Task(u"TaskCode").IsNull()) << "the field keeps its value";
        } else {
            EXPECT_EQ(error, QString());
            EXPECT_EQ(Task(u"TaskCode").AsString(), proposed);
        }
        dm->adsTasks.Cancel();
    }
}

TEST_F(TaskRules, TaskCodeCheckOfALinesOwnCodeAndOfHiddenLines)
{
    // Changing the letter case of the line's own code.
    GoToLine(QStringLiteral("GEN"));
    dm->adsTasks.Edit();
    Task(u"TaskCode").SetAsString(QStringLiteral("gen"));
    dm->adsTasks.Post();
    dm->adsTasks.Edit();
    EXPECT_EQ(ErrorOf([&] { Task(u"TaskCode").SetAsString(QStringLiteral("GEN")); }), QString());
    dm->adsTasks.Post();

    // A completed line hidden by the table's filter still holds its code.
    dm->adsTasks.Edit();
    Task(u"Completed").SetAsBoolean(true);
    dm->adsTasks.Post();
    dm->adsTasks.SetFilter(QStringLiteral("Completed = False"));
    dm->adsTasks.SetFiltered(true);
    dm->adsTasks.Append();
    EXPECT_EQ(ErrorOf([&] { Task(u"TaskCode").SetAsString(QStringLiteral("Gen")); }),
              QStringLiteral("Task code already selected"));

    // Not checked while the data module is being created.
    dm->SetCreationPhase(true);
    EXPECT_EQ(ErrorOf([&] { Task(u"TaskCode").SetAsString(QString()); }), QString());
    dm->SetCreationPhase(false);
}

TEST_F(TaskRules, TaskCodeCopiesTheCodesDetails)
{
    SetAdminCode(7, DateTimeValue::Now() + 3.0 / 24);
    dm->adsTasks.Append();
    Task(u"ClientId").SetAsInteger(4);
    Task(u"TaskDescription").SetAsString(QStringLiteral("typed"));
    Task(u"TaskCode").SetAsString(QStringLiteral(" admin "));

    EXPECT_EQ(Task(u"TaskDescription").AsString(), QStringLiteral("Administration"));
    EXPECT_EQ(Task(u"ProjectNumber").AsInteger(), 7);
    EXPECT_EQ(Task(u"Priority").AsInteger(), 2);
    EXPECT_EQ(Task(u"PriorityImage").AsBytes(), PriorityImage::PriorityBitmap(2));
    EXPECT_EQ(Task(u"ClientId").AsInteger(), 4);
    EXPECT_TRUE(dm->adsTaskCodes.Eof());

    // A code no task code has leaves the line as it was.
    Task(u"TaskCode").SetAsString(QStringLiteral("ZZZ"));
    EXPECT_EQ(Task(u"TaskDescription").AsString(), QStringLiteral("Administration"));
    EXPECT_EQ(Task(u"ProjectNumber").AsInteger(), 7);
    EXPECT_EQ(Task(u"Priority").AsInteger(), 2);
}

TEST_F(TaskRules, PriorityFollowsTheCompletionDate)
{
    const double now = DateTimeValue::Now();
    struct Case
    {
        const char *what;
        double completionDate;
        int priority;
    } const cases[] = {
        {"tomorrow afternoon", DateTimeValue::Today() + 1 + 15.0 / 24, 1},
        {"in five days", now + 4.9, 1},
        {"in three hours", now + 3.0 / 24, 2},
        {"yesterday", now - 1, 2},
        {"in a week", now + 7, 0},
        {"no date", 0.0, 0},
    };
    AddLine(QStringLiteral("ADMIN"));
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        SetAdminCode(0, c.completionDate);
        GoToLine(QStringLiteral("ADMIN"));
        dm->adsTasks.Edit();
        Task(u"TaskCode").SetAsString(QStringLiteral("ADMIN"));
        EXPECT_EQ(Task(u"Priority").AsInteger(), c.priority);
        EXPECT_EQ(Task(u"PriorityImage").AsBytes(), PriorityImage::PriorityBitmap(c.priority));
        dm->adsTasks.Post();
    }
}

TEST(PriorityImage, WarningImagesAndStoredBitmaps)
{
    const QImage empty = PriorityImage::WarningImage(PriorityImage::EmptyImage);
    ASSERT_EQ(empty.size(), QSize(16, 16));
    for (int y = 0; y < empty.height(); ++y)
        for (int x = 0; x < empty.width(); ++x)
            ASSERT_EQ(empty.pixel(x, y), 0u) << x << "," << y;
    const QImage amber = PriorityImage::WarningImage(PriorityImage::AmberWarningImage);
    const QImage red = PriorityImage::WarningImage(PriorityImage::RedWarningImage);
    EXPECT_EQ(amber.size(), QSize(16, 16));
    EXPECT_NE(amber, empty);
    EXPECT_NE(red, empty);
    EXPECT_NE(amber, red);

    QImage bitmaps[3];
    for (int priority = 0; priority <= 2; ++priority) {
        SCOPED_TRACE(priority);
        const QByteArray bytes = PriorityImage::PriorityBitmap(priority);
        EXPECT_TRUE(bytes.startsWith("BM")) << "bitmap file format";
        ASSERT_TRUE(bitmaps[priority].loadFromData(bytes, "BMP"));
        EXPECT_EQ(bitmaps[priority].size(), QSize(22, 19));
    }
    const QImage &none = bitmaps[0];
    for (int y = 0; y < none.height(); ++y)
        for (int x = 0; x < none.width(); ++x)
            ASSERT_EQ(none.pixel(x, y), none.pixel(0, 0)) << "no picture for priority 0 at " << x << "," << y;
    EXPECT_NE(bitmaps[1], none);
    EXPECT_NE(bitmaps[2], none);
    EXPECT_NE(bitmaps[1], bitmaps[2]);
    EXPECT_EQ(PriorityImage::PriorityBitmap(5), PriorityImage::PriorityBitmap(0));
}

// --- per-weekday totals ---------------------------------------------------------------------------

TEST_F(TaskRules, EachWeekdayFieldFeedsItsOwnTotal)
{
    struct Case
    {
        const char *field;
        std::size_t element;
    } const cases[] = {
        {"SunDuration", 1}, {"MonDuration", 2}, {"TueDuration", 3}, {"WedDuration", 4},
        {"ThuDuration", 5}, {"FriDuration", 6}, {"SatDuration", 7},
    };
    GoToLine(QStringLiteral("GEN"));
    dm->adsTasks.Edit();
    for (const Case &c : cases) {
        SCOPED_TRACE(c.field);
        const auto before = dm->FTotalDurationArray;
        dm->rCurrentField.Value = 0.0;
        Task(QString::fromLatin1(c.field)).SetAsFloat(Hm(1, 15));
        auto expected = before;
        expected[c.element] += Hm(1, 15);
        EXPECT_EQ(dm->FTotalDurationArray, expected);
    }
}

TEST_F(TaskRules, TotalsFollowTheUsersEditsAndDeletions)
{
    auto &monday = dm->FTotalDurationArray[2];
    GoToLine(QStringLiteral("GEN"));
    dm->adsTasks.Edit();
    dm->rCurrentField.Value = 0.0; // the cell is entered
    Task(u"MonDuration").SetAsFloat(Hm(2, 0));
    EXPECT_DOUBLE_EQ(monday, Hm(2, 0));
    Task(u"MonDuration").SetAsFloat(Hm(3, 0)); // changed again before leaving the cell
    EXPECT_DOUBLE_EQ(monday, Hm(3, 0));
    dm->adsTasks.Post();

    // The minute timer keeps the totals itself.
    dm->adsTasks.Edit();
    dm->FTimerActive = true;
    Task(u"MonDuration").SetAsFloat(Hm(3, 1));
    dm->FTimerActive = false;
    EXPECT_DOUBLE_EQ(monday, Hm(3, 0));
    dm->adsTasks.Post();

    AddLine(QStringLiteral("ADMIN"));
    dm->adsTasks.Edit();
    dm->rCurrentField.Value = 0.0;
    Task(u"MonDuration").SetAsFloat(Hm(2, 0));
    dm->adsTasks.Post();
    ASSERT_DOUBLE_EQ(monday, Hm(5, 0));
    dm->adsTasks.Delete();
    EXPECT_DOUBLE_EQ(monday, Hm(3, 0));
}

// --- week split ------------------------------------------------------------------------------------

TEST_F(TaskRules, WeekSplitIntoWorkingDays)
{
    struct Case
    {
        const char *what;
        double mon, tue, dayHours;
        int days;
        double partDay;
    } const cases[] = {
        {"a minute short of a day", Hm(6, 59), 0, 7, 0, Hm(6, 59)},
        {"exactly a day", Hm(7, 0), 0, 7, 1, 0},
        {"a day over two weekdays", Hm(3, 30), Hm(3, 30), 7, 1, 0},
        {"two days and a half", Hm(9, 0), Hm(7, 30), 7, 2, Hm(2, 30)},
        {"no working day", Hm(5, 0), Hm(1, 0), 0, 0, Hm(6, 0)},
    };
    GoToLine(QStringLiteral("GEN"));
    dm->adsTasks.Edit();
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        dm->FDayDuration = c.dayHours;
        Task(u"MonDuration").SetAsFloat(c.mon);
        Task(u"TueDuration").SetAsFloat(c.tue);
        EXPECT_EQ(Task(u"Days").AsInteger(), c.days);
        EXPECT_NEAR(Task(u"PartDay").AsFloat(), c.partDay, 1e-9);
    }
}

TEST_F(TaskRules, SevenHoursOfMinuteTicksAreOneWorkingDay)
{
    GoToLine(QStringLiteral("GEN"));
    dm->adsTasks.Edit();
    dm->FTimerActive = true;
    TTableField &monday = Task(u"MonDuration");
    for (int minute = 0; minute < 420; ++minute)
        monday.SetAsFloat(DateTimeValue::Frac(monday.AsFloat()) + 1.0 / DateTimeValue::MinutesPerDay);
    dm->FTimerActive = false;
    dm->adsTasks.Post();

    EXPECT_EQ(Task(u"Days").AsInteger(), 1);
    EXPECT_GE(Task(u"PartDay").AsFloat(), 0.0);
    EXPECT_LT(Task(u"PartDay").AsFloat(), 1e-9);
    EXPECT_EQ(WorkingDaysText(monday.AsFloat(), dm->FDayDuration), QStringLiteral("1 Days 0 Hours 0 Minutes "));
}

TEST_F(TaskRules, ChartDurationText)
{
    struct Case
    {
        double duration;
        const char *text;
    } const cases[] = {
        {Hm(17, 45), "2 Days 3 Hours 45 Minutes "},
        {1.0 + Hm(7, 0), "4 Days 3 Hours 0 Minutes "}, // the whole value, days included
        {0.0, "0 Days 0 Hours 0 Minutes "},
    };
    TRecordTable &chart = dm->adsChartData;
    chart.CreateDataSet();
    chart.Append();
    for (const Case &c : cases) {
        chart.FieldByName(u"Duration").SetAsFloat(c.duration);
        EXPECT_EQ(chart.FieldByName(u"DurationText").AsString(), QString::fromLatin1(c.text));
    }
}

// --- submitted time ---------------------------------------------------------------------------------

TEST_F(TaskRules, InvoicedOrAuthorisedDurationsAreRefused)
{
    struct Case
    {
        int invoiceNumber, authUserId;
        const char *error; // nullptr: accepted
    } const cases[] = {
        {12, 0, "Unable to amend duration because the task has already been invoiced"},
        {12, 3, "Unable to amend duration because the task has already been invoiced"},
        {0, 3, "Unable to amend duration because the task has already authorised"},
        {0, 0, nullptr},
    };
    TRecordTable &history = dm->adsReporting;
    for (const Case &c : cases) {
        SCOPED_TRACE(testing::Message() << c.invoiceNumber << "/" << c.authUserId);
        history.Append();
        history.FieldByName(u"Duration").SetAsDateTime(Hm(1, 0));
        history.FieldByName(u"InvoiceNumber").SetAsInteger(c.invoiceNumber);
        history.FieldByName(u"AuthUserId").SetAsInteger(c.authUserId);
        const QString error = ErrorOf([&] { history.FieldByName(u"Duration").SetAsDateTime(Hm(2, 0)); });
        EXPECT_EQ(error, c.error ? QString::fromLatin1(c.error) : QString());
        EXPECT_EQ(history.FieldByName(u"Duration").AsDateTime(), c.error ? Hm(1, 0) : Hm(2, 0));
        history.Post();
    }

    // Moving onto a row makes its duration read-only exactly when it is protected.
    const bool readOnly[] = {true, true, true, false};
    history.First();
    for (const bool expected : readOnly) {
        EXPECT_EQ(history.FieldByName(u"Duration").ReadOnly(), expected) << history.RecNo();
        history.Next();
    }
    history.First();
    history.Edit();
    EXPECT_THROW(history.FieldByName(u"Duration").SetText(QStringLiteral("03:00")), EDatabaseError);
}

// --- duration and date texts -----------------------------------------------------------------------

TEST_F(TaskRules, DurationTextsAndEntry)
{
    struct Case
    {
        TRecordTable *table;
        const char *field;
        const char *invalid; // the kind's conversion message, after the text
    } const cases[] = {
        {&dm->adsTasks, "MonDuration", "is not a valid time"},
        {&dm->adsReporting, "Duration", "is not a valid date and time"},
        {&dm->adsDefaults, "StartTime", "is not a valid date and time"},
        {&dm->adsDefaults, "EndTime", "is not a valid date and time"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.field);
        c.table->Edit();
        TTableField &field = c.table->FieldByName(QString::fromLatin1(c.field));
        field.SetAsDateTime(0.0);
        EXPECT_EQ(field.DisplayText(), QString()) << "zero shows blank";
        EXPECT_EQ(field.EditText(), QStringLiteral("00:00"));

        field.SetText(QStringLiteral(" 7:30"));
        EXPECT_DOUBLE_EQ(field.AsDateTime(), Hm(7, 30));
        EXPECT_EQ(field.DisplayText(), QStringLiteral("07:30"));
        EXPECT_EQ(field.EditText(), QStringLiteral("07:30"));

        EXPECT_EQ(ErrorOf([&] { field.SetText(QStringLiteral("25:00")); }),
                  QStringLiteral("'25:00' %1").arg(QLatin1String(c.invalid)));
        EXPECT_EQ(ErrorOf([&] { field.SetText(QStringLiteral("07:60")); }),
                  QStringLiteral("'07:60' %1").arg(QLatin1String(c.invalid)));
        EXPECT_DOUBLE_EQ(field.AsDateTime(), Hm(7, 30)) << "the field keeps its value";

        field.SetText(QStringLiteral("  :  "));
        EXPECT_EQ(field.AsDateTime(), 0.0);
    }

    // A whole day of submitted time shows blank as well; the clock text drops whole days.
    TTableField &duration = dm->adsReporting.FieldByName(u"Duration");
    duration.SetAsDateTime(1.0);
    EXPECT_EQ(duration.DisplayText(), QString());
    duration.SetAsDateTime(1.0 + Hm(1, 5));
    EXPECT_EQ(duration.DisplayText(), QStringLiteral("01:05"));
}

TEST_F(TaskRules, CompletionDateTexts)
{
    for (TRecordTable *table : {&dm->adsTaskCodes, &dm->adsProjects}) {
        SCOPED_TRACE(table->Name().toStdString());
        table->First();
        TTableField &date = table->FieldByName(u"CompletionDate");
        ASSERT_EQ(date.AsDateTime(), 0.0);
        EXPECT_EQ(date.DisplayText(), QString());
        EXPECT_EQ(date.EditText(), QStringLiteral("09/12/2026")) << "the editor opens on today";
        table->Edit();
        date.SetAsDateTime(DateTimeValue::FromDate(QDate(2026, 12, 24)) + 0.5);
        EXPECT_EQ(date.DisplayText(), QStringLiteral("24/12/2026"));
        EXPECT_EQ(date.EditText(), QStringLiteral("24/12/2026"));
        table->Cancel();
    }
}

// --- lunch times -------------------------------------------------------------------------------------

TEST_F(TaskRules, LunchTimesStayInOrder)
{
    struct Case
    {
        const char *what;
        const char *field;
        double value;
        double start, end; // expected
    } const cases[] = {
        {"start after the end pushes the end", "StartTime", Hm(13, 30), Hm(13, 30), Hm(13, 30)},
        {"start before the end stays", "StartTime", Hm(12, 30), Hm(12, 30), Hm(13, 0)},
        {"start at the end stays", "StartTime", Hm(13, 0), Hm(13, 0), Hm(13, 0)},
        {"end before the start pulls the start", "EndTime", Hm(11, 0), Hm(11, 0), Hm(11, 0)},
        {"end after the start stays", "EndTime", Hm(14, 0), Hm(12, 0), Hm(14, 0)},
        {"end at the start stays", "EndTime", Hm(12, 0), Hm(12, 0), Hm(12, 0)},
    };
    TRecordTable &options = dm->adsDefaults;
    TTableField &start = options.FieldByName(u"StartTime");
    TTableField &end = options.FieldByName(u"EndTime");
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        options.Edit();
        end.SetAsDateTime(Hm(13, 0));
        start.SetAsDateTime(Hm(12, 0));
        ASSERT_EQ(start.AsDateTime(), Hm(12, 0));
        ASSERT_EQ(end.AsDateTime(), Hm(13, 0));
        options.FieldByName(QString::fromLatin1(c.field)).SetAsDateTime(c.value);
        EXPECT_EQ(start.AsDateTime(), c.start);
        EXPECT_EQ(end.AsDateTime(), c.end);
    }
}
