// The review window: the date box and its spin button, the last-submitted
// text, the week chosen at creation, the modal display with its results and
// header names, the grid it configures, its menus and tool bar, and the
// submit and step actions as the window runs them.
#include "support/DataModuleFixture.h"

#include "app/core/Clock.h"
#include "app/core/DateTimeValue.h"
#include "app/ui/ErrorReporter.h"
#include "app/ui/WindowPlacement.h"
#include "review/FieldLabel.h"
#include "review/MessageBoxQuestions.h"
#include "review/SubmitForm.h"
#include "review/SubmitQuestions.h"
#include "review/Submission.h"
#include "review/WeekStartBox.h"
#include "tracking/TimeTrackerFrame.h"
#include "tracking/TimeTracker.h"

#include <QAbstractButton>
#include <QPushButton>
#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QLocale>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QSettings>
#include <QTableView>
#include <QTemporaryDir>
#include <QTimer>
#include <QToolBar>

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <vector>

namespace {

using Grid = TFrame_TimeTracker_Form;

double Day(int year, int month, int day)
{
    return DateTimeValue::FromDate(QDate(year, month, day));
}

double At(int year, int month, int day, int hour, int minute)
{
    return DateTimeValue::FromDateTime(QDateTime(QDate(year, month, day), QTime(hour, minute)));
}

double Hm(int hours, int minutes)
{
    return DateTimeValue::EncodeTime(hours, minutes);
}

class TRecordedReporter : public TMessageReporter
{
public:
    void ShowMessage(const QString &text) override { messages << text; }
    void ShowError(const QString &text) override { errors << text; }
    QStringList messages;
    QStringList errors;
};

class TScriptedAnswers : public TSubmitQuestions
{
public:
    bool AskYesNo(const QString &question) override
    {
        asked << question;
        return answer;
    }
    bool answer = true;
    QStringList asked;
};

// Runs `work` once the next event loop (the modal display) is running.
void WhenShown(std::function<void()> work)
{
    QTimer::singleShot(0, qApp, std::move(work));
}

class SubmitFormTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        // Tuesday 8 December 2026; the last submitted week started on Sunday 29 November.
        SetNow(2026, 12, 8, 10, 0);
        dm = sandbox.Create();
        SetOption(u"WeekStartDate", At(2026, 11, 29, 0, 0));
    }
    void TearDown() override
    {
        form.reset();
        TClock::Release();
    }

    static void SetNow(int year, int month, int day, int hour = 12, int minute = 0)
    {
        TClock::SetFixed(QDateTime(QDate(year, month, day), QTime(hour, minute)));
    }

    void SetOption(QStringView name, const QVariant &value)
    {
        TRecordTable &defaults = dm->adsDefaults;
        if (defaults.State() == TDataSetState::Browse)
            defaults.Edit();
        defaults.FieldByName(name).SetValue(value);
        defaults.Post();
    }

    TForm_Submit_Form &Form()
    {
        if (!form)
            form = std::make_unique<TForm_Submit_Form>(*dm, nullptr, &reporter, &questions);
        return *form;
    }

    void AddLine(const QString &code, const std::vector<std::pair<int, double>> &days, bool completed = false)
    {
        TRecordTable &tasks = dm->adsTasks;
        tasks.CheckBrowseMode();
        tasks.Append();
        tasks.FieldByName(u"TaskCode").SetAsString(code);
        tasks.FieldByName(u"TaskDescription").SetAsString(code + QStringLiteral(" work"));
        tasks.FieldByName(u"Completed").SetAsBoolean(completed);
        for (const auto &[day, value] : days) {
            TTableField &field = tasks.FieldByName(TdmTasks_Form::DayFieldName(day));
            dm->rCurrentField.Value = DateTimeValue::Frac(field.AsFloat());
            field.SetAsFloat(value);
        }
        tasks.Post();
    }

    int HistoryRows() const { return int(dm->adsReporting.Data()->RowCount()); }

    TDataModuleSandbox sandbox;
    std::unique_ptr<TdmTasks_Form> dm;
    TRecordedReporter reporter;
    TScriptedAnswers questions;
    std::unique_ptr<TForm_Submit_Form> form;
};

// --- the week chosen at creation -------------------------------------------------------------

TEST(SubmitDateRule, LastSubmittedWeekUntilSixDaysAfterItThenTheNextWeek)
{
    struct Case
    {
        const char *what;
        double weekStart;
        double now;
        double expected;
    };
    const double start = At(2026, 11, 29, 14, 30); // a stored value with a time of day
    const Case cases[] = {
        {"same moment", start, start, start},
        {"three days on", start, start + 3.0, start},
        {"exactly six days on", start, start + 6.0, start},
        {"a minute past six days", start, start + 6.0 + 1.0 / 1440.0, start + 7.0},
        {"ten days on", start, start + 10.0, start + 7.0},
        {"a month on: still only one week on", start, start + 30.0, start + 7.0},
        {"before it", start, start - 2.0, start},
    };
    for (const Case &c : cases)
        EXPECT_EQ(TForm_Submit_Form::InitialSubmitDate(c.weekStart, c.now), c.expected) << c.what;
}

TEST_F(SubmitFormTest, CreationChoosesTheWeekFromTheClockAndTheLastSubmittedDate)
{
    struct Case
    {
        int day; // of December 2026; the stored week start is Sunday 29 November
        QString shown;
    };
    for (const Case &c : {Case{2, QStringLiteral("29/11/2026")}, Case{9, QStringLiteral("06/12/2026")}}) {
        SetNow(2026, 12, c.day);
        form.reset();
        EXPECT_EQ(Form().edtWeekStart->Text(), c.shown) << "started on " << c.day << " December";
    }
}

TEST_F(SubmitFormTest, SelectedWeekIsNotWorkedOutAgainOnLaterOpenings)
{
    TForm_Submit_Form &window = Form();
    const double chosen = window.SubmitDate();
    EXPECT_EQ(chosen, Day(2026, 12, 6));

    SetNow(2026, 12, 20);
    WhenShown([&window] { window.aCloseExecute(); });
    QString header;
    window.DisplaySubmitForm(QString(), header);
    EXPECT_EQ(window.SubmitDate(), chosen);
    EXPECT_EQ(window.edtWeekStart->Text(), QStringLiteral("06/12/2026"));
}

// --- date box and spin button -------------------------------------------------------------------

TEST_F(SubmitFormTest, SpinButtonMovesTheWeekStartByWholeWeeksKeepingTheTimeOfDay)
{
    SetOption(u"WeekStartDate", At(2026, 11, 29, 9, 15));
    TForm_Submit_Form &window = Form();
    const double chosen = window.SubmitDate();
    ASSERT_EQ(chosen, At(2026, 12, 6, 9, 15));

    window.edtWeekStart->stepBy(1);
    window.edtWeekStart->stepBy(1);
    window.edtWeekStart->stepBy(-1);
    EXPECT_EQ(window.SubmitDate(), chosen + 7.0);
    EXPECT_EQ(window.edtWeekStart->Text(), QStringLiteral("13/12/2026"));

    window.edtWeekStart->stepBy(-3);
    EXPECT_EQ(window.SubmitDate(), chosen - 14.0);
    EXPECT_EQ(window.edtWeekStart->Text(), QStringLiteral("22/11/2026"));
    EXPECT_TRUE(reporter.errors.isEmpty());
}

TEST_F(SubmitFormTest, LeavingTheBoxTakesATypedDateAtMidnight)
{
    SetOption(u"WeekStartDate", At(2026, 11, 29, 9, 15));
    TForm_Submit_Form &window = Form();

    // The same date again: nothing changes, the time of day stays.
    window.edtWeekStart->SetText(QStringLiteral("06/12/2026"));
    EXPECT_TRUE(window.edtWeekStartExit());
    EXPECT_EQ(window.SubmitDate(), At(2026, 12, 6, 9, 15));

    window.edtWeekStart->SetText(QStringLiteral("20/12/2026"));
    EXPECT_EQ(window.SubmitDate(), At(2026, 12, 6, 9, 15)) << "typing alone changes nothing";
    EXPECT_TRUE(window.edtWeekStartExit());
    EXPECT_EQ(window.SubmitDate(), Day(2026, 12, 20));
    EXPECT_EQ(window.edtWeekStart->Text(), QStringLiteral("20/12/2026"));
    EXPECT_TRUE(reporter.errors.isEmpty());
}

TEST_F(SubmitFormTest, ATextThatIsNoDateIsRefusedAndTheWeekStartKept)
{
    TForm_Submit_Form &window = Form();
    const double chosen = window.SubmitDate();
    for (const QString &typed : {QStringLiteral("31/02/2026"), QStringLiteral("45/13/2026"), QString()}) {
        reporter.errors.clear();
        window.edtWeekStart->SetText(typed);
        EXPECT_FALSE(window.edtWeekStartExit()) << typed.toStdString();
        EXPECT_EQ(window.SubmitDate(), chosen) << typed.toStdString();
        ASSERT_EQ(reporter.errors.size(), 1) << typed.toStdString();
        EXPECT_TRUE(reporter.errors.first().contains(QStringLiteral("is not a valid date")));
        EXPECT_TRUE(reporter.errors.first().contains(QStringLiteral("stays 06/12/2026")));
        EXPECT_EQ(window.edtWeekStart->Text(), QStringLiteral("06/12/2026")) << "the box shows the kept date";
    }
}

TEST_F(SubmitFormTest, BoxIsLeftThroughTheFocus)
{
    TForm_Submit_Form &window = Form();
    window.show();
    window.activateWindow();
    QApplication::processEvents();
    window.edtWeekStart->setFocus();
    QApplication::processEvents();
    if (!window.edtWeekStart->hasFocus())
        GTEST_SKIP() << "the platform gives the offscreen window no focus";
    window.edtWeekStart->SetText(QStringLiteral("13/12/2026"));
    window.Grid().dbcgTasks().setFocus();
    QApplication::processEvents();
    EXPECT_EQ(window.SubmitDate(), Day(2026, 12, 13));
}

// What the box writes must fit its mask and be read back by the submission,
// whatever the user's locale.
TEST(WeekStartBoxFormat, EveryLocaleReadsBackWhatTheBoxWrites)
{
    const QLocale saved;
    const QDate dates[] = {QDate(2008, 1, 6), QDate(2026, 12, 31), QDate(2030, 10, 9)};
    QStringList failures;
    int masked = 0;
    const QList<QLocale> locales =
        QLocale::matchingLocales(QLocale::AnyLanguage, QLocale::AnyScript, QLocale::AnyTerritory);
    for (const QLocale &locale : locales) {
        QLocale::setDefault(locale);
        TWeekStartBox box;
        if (!TWeekStartBox::InputMask().isEmpty())
            ++masked;
        for (const QDate &date : dates) {
            const double value = DateTimeValue::FromDate(date);
            box.SetDate(value);
            double read = 0.0;
            if (!TSubmission::TryParseWeekStart(box.Text(), read) || read != value)
                failures << locale.name() + QStringLiteral(": ") + box.Text();
        }
    }
    QLocale::setDefault(saved);
    EXPECT_TRUE(failures.isEmpty()) << failures.join(u", ").toStdString();
    EXPECT_GT(masked, locales.size() / 2) << "most short dates are numeric and get a mask";
}

TEST(WeekStartBoxFormat, PatternAndMaskFollowTheShortDate)
{
    struct Case
    {
        QLocale locale;
        QString pattern;
        QString mask;
    };
    const Case cases[] = {
        {QLocale(QLocale::English, QLocale::UnitedKingdom), QStringLiteral("dd/MM/yyyy"), QStringLiteral("99/99/9999;_")},
        {QLocale(QLocale::English, QLocale::UnitedStates), QStringLiteral("MM/dd/yyyy"), QStringLiteral("99/99/9999;_")},
        {QLocale(QLocale::German, QLocale::Germany), QStringLiteral("dd.MM.yyyy"), QStringLiteral("99.99.9999;_")},
        {QLocale(QLocale::Swedish, QLocale::Sweden), QStringLiteral("yyyy-MM-dd"), QStringLiteral("9999-99-99;_")},
        {QLocale(QLocale::Bulgarian, QLocale::Bulgaria), QStringLiteral("dd.MM.yyyy 'г'."),
         QStringLiteral("99.99.9999 г.;_")},
        // Month names, and digits other than 0-9: the plain short date, no mask.
        {QLocale::c(), QStringLiteral("d MMM yyyy"), QString()},
        {QLocale(QLocale::Arabic, QLocale::Egypt), QString(), QString()},
    };
    const QLocale saved;
    for (const Case &c : cases) {
        QLocale::setDefault(c.locale);
        if (!c.pattern.isEmpty()) {
            EXPECT_EQ(TWeekStartBox::DatePattern(), c.pattern) << c.locale.name().toStdString();
        }
        EXPECT_EQ(TWeekStartBox::InputMask(), c.mask) << c.locale.name().toStdString();
    }
    QLocale::setDefault(saved);
}

// --- last submitted ---------------------------------------------------------------------------------

TEST_F(SubmitFormTest, LastSubmittedFollowsTheStoredWeekStart)
{
    TForm_Submit_Form &window = Form();
    EXPECT_EQ(window.dbtLastSubmitted->text(), QStringLiteral("29/11/2026"));

    SetOption(u"WeekStartDate", At(2026, 12, 6, 14, 30));
    EXPECT_EQ(window.dbtLastSubmitted->text(), QStringLiteral("06/12/2026 14:30:00"));
    // The text with a time of day is wider than the design width; the label makes room.
    window.show();
    QApplication::processEvents();
    const int needed = window.dbtLastSubmitted->fontMetrics().horizontalAdvance(window.dbtLastSubmitted->text());
    EXPECT_GE(window.dbtLastSubmitted->width(), std::max(62, needed));

    // A change still being edited shows as well.
    dm->adsDefaults.Edit();
    dm->adsDefaults.FieldByName(u"WeekStartDate").SetAsDateTime(Day(2026, 12, 13));
    EXPECT_EQ(window.dbtLastSubmitted->text(), QStringLiteral("13/12/2026"));
    dm->adsDefaults.Cancel();
    EXPECT_EQ(window.dbtLastSubmitted->text(), QStringLiteral("06/12/2026 14:30:00"));
}

// --- showing and closing ---------------------------------------------------------------------------

TEST_F(SubmitFormTest, DisplayHandsTheHeaderNameInAndOutAndReportsHowItClosed)
{
    TForm_Submit_Form &window = Form();
    struct Case
    {
        const char *what;
        std::function<void()> close;
        int result;
    };
    const Case cases[] = {
        {"Exit", [&window] { window.aExit->trigger(); }, TForm_Submit_Form::mrClose},
        {"Close", [&window] { window.aCloseExecute(); }, TForm_Submit_Form::mrCancel},
        {"title bar", [&window] { window.close(); }, TForm_Submit_Form::mrCancel},
    };
    for (const Case &c : cases) {
        QString seenInside;
        bool modal = false;
        bool timerOff = false;
        WhenShown([&] {
            seenInside = window.Grid().FsPanelName();
            modal = QApplication::activeModalWidget() == &window || window.isModal();
            timerOff = !window.Grid().TimerEnabled();
            window.Grid().OrderPanelClick(Grid::gcTaskCode);
            c.close();
        });
        QString returned = QStringLiteral("unchanged");
        const int result = window.DisplaySubmitForm(QStringLiteral("pProjectName"), returned);
        EXPECT_EQ(result, c.result) << c.what;
        EXPECT_EQ(seenInside, QStringLiteral("pProjectName")) << c.what;
        EXPECT_EQ(returned, QStringLiteral("pTaskCode")) << c.what;
        EXPECT_TRUE(modal) << c.what;
        EXPECT_TRUE(timerOff) << c.what;
        EXPECT_FALSE(window.isVisible()) << c.what;
        EXPECT_FALSE(window.Displaying()) << c.what;
    }
}

TEST_F(SubmitFormTest, ClosingStoresThePlacementUnderTheWindowsName)
{
    QTemporaryDir settingsDir;
    ASSERT_TRUE(settingsDir.isValid());
    TForm_Submit_Form &window = Form();
    window.SetPlacementSettings({itPortable, settingsDir.path() + u'/', QStringLiteral("Zelbra")});
    WhenShown([&window] { window.aCloseExecute(); });
    QString header;
    window.DisplaySubmitForm(QString(), header);
    QSettings ini(settingsDir.path() + QStringLiteral("/Zelbra.ini"), QSettings::IniFormat);
    EXPECT_TRUE(ini.contains(QStringLiteral("Locations/Form_Submit_Form_Width")));
}

TEST_F(SubmitFormTest, SettledResizeLeavesWholeRowsInTheGrid)
{
    TForm_Submit_Form &window = Form();
    window.show();
    for (const int height : {388, 401, 437, 512}) {
        window.resize(window.width(), height);
        QApplication::processEvents();
        static_cast<TBaseFormVRQ_Common &>(window).ResizeRequired();
        QApplication::processEvents();
        EXPECT_EQ(window.Grid().RowAreaHeight() % Grid::RowHeight, 0) << "from height " << height;
        EXPECT_LE(window.height(), height);
        EXPECT_GT(window.height(), height - Grid::RowHeight);
    }
}

// --- the grid -----------------------------------------------------------------------------------------

TEST_F(SubmitFormTest, GridShowsTheConfiguredColumnsWithoutActiveAndWithCompleted)
{
    struct Case
    {
        const char *what;
        std::vector<std::pair<const char16_t *, bool>> options;
        std::vector<int> shown;
        std::vector<int> hidden;
    };
    const std::vector<Case> cases = {
        {"first-run options",
         {},
         {Grid::gcPriority, Grid::gcDuration, Grid::gcProject, Grid::gcTaskCode, Grid::gcDescription, Grid::gcMon,
          Grid::gcTue, Grid::gcWed, Grid::gcThu, Grid::gcFri, Grid::gcCompleted},
         {Grid::gcClient, Grid::gcSat, Grid::gcSun, Grid::gcActive}},
        {"every day and the client",
         {{u"DisplaySat", true}, {u"DisplaySun", true}, {u"DisplayClients", true}},
         {Grid::gcClient, Grid::gcMon, Grid::gcTue, Grid::gcWed, Grid::gcThu, Grid::gcFri, Grid::gcSat, Grid::gcSun,
          Grid::gcCompleted},
         {Grid::gcActive}},
        {"weekend only, no priority, duration or project",
         {{u"DisplayMon", false},
          {u"DisplayTue", false},
          {u"DisplayWed", false},
          {u"DisplayThu", false},
          {u"DisplayFri", false},
          {u"DisplaySat", true},
          {u"DisplaySun", true},
          {u"DisplayPriority", false},
          {u"DisplaySummaryDuration", false},
          {u"DisplayProjects", false}},
         {Grid::gcTaskCode, Grid::gcDescription, Grid::gcSat, Grid::gcSun, Grid::gcCompleted},
         {Grid::gcPriority, Grid::gcDuration, Grid::gcProject, Grid::gcMon, Grid::gcFri, Grid::gcActive}},
    };
    for (const Case &c : cases) {
        form.reset();
        for (const auto &[name, value] : c.options)
            SetOption(QStringView(name), value);
        const TFrame_TimeTracker_Form &grid = Form().Grid();
        for (const int tag : c.shown)
            EXPECT_TRUE(grid.ColumnShown(tag)) << c.what << ": " << Grid::PanelName(tag).toStdString();
        for (const int tag : c.hidden)
            EXPECT_FALSE(grid.ColumnShown(tag)) << c.what << ": " << Grid::PanelName(tag).toStdString();
        EXPECT_FALSE(grid.TimerEnabled()) << c.what;
        EXPECT_FALSE(grid.Tracker().MinuteTimer().isActive()) << c.what;
        EXPECT_EQ(grid.HelpString(), QStringLiteral("Review_Screen")) << c.what;
    }
}

TEST_F(SubmitFormTest, ApplyingChangedOptionsShowsAndHidesColumns)
{
    TForm_Submit_Form &window = Form();
    ASSERT_FALSE(window.Grid().ColumnShown(Grid::gcSat));
    SetOption(u"DisplaySat", true);
    SetOption(u"DisplayProjects", false);
    window.ApplyDisplayOptions();
    EXPECT_TRUE(window.Grid().ColumnShown(Grid::gcSat));
    EXPECT_FALSE(window.Grid().ColumnShown(Grid::gcProject));
    EXPECT_FALSE(window.Grid().ColumnShown(Grid::gcActive));
}

// --- menus and tool bar ---------------------------------------------------------------------------------

QStringList Entries(const QMenu &menu)
{
    QStringList entries;
    for (const QAction *action : menu.actions())
        entries << (action->isSeparator() ? QStringLiteral("|") : action->text());
    return entries;
}

TEST_F(SubmitFormTest, MenusHoldTheirEntriesInOrder)
{
    TForm_Submit_Form &window = Form();
    EXPECT_EQ(window.windowTitle(), QStringLiteral("Review"));
    EXPECT_EQ(window.objectName(), QStringLiteral("Form_Submit_Form"));

    QStringList titles;
    for (const QAction *action : window.menuBar()->actions())
        titles << action->text();
    EXPECT_EQ(titles, (QStringList{"&File", "&Edit", "&Grid", "&Maintain", "&Timesheets", "&Help"}));

    EXPECT_EQ(Entries(*window.mnuFile), (QStringList{"Swaplet", "|", "&Close", "&Exit"}));
    EXPECT_EQ(Entries(*window.mnuSwaplet), (QStringList{"Import", "Export"}));
    EXPECT_EQ(Entries(*window.mnuEdit), (QStringList{"&Copy", "&Paste", "Cu&t"}));
    EXPECT_EQ(Entries(*window.mnuGrid),
              (QStringList{"&First", "&Prior", "&Next", "&Last", "|", "&Add Task", "&Remove Task"}));
    EXPECT_EQ(Entries(*window.mnuMaintain), (QStringList{"Clients", "Projects", "Tasks", "Users"}));
    EXPECT_EQ(Entries(*window.mnuTimesheets), (QStringList{"&Submit", "&Report", "&Options", "Step", "&History"}));
    EXPECT_EQ(Entries(*window.mnuHelp), (QStringList{"Online Help", "Help", "About Zelbra"}));
}

TEST_F(SubmitFormTest, ToolBarFollowsTheMenusOrderWithTheGridsActions)
{
    TForm_Submit_Form &window = Form();
    QStringList names;
    for (const QAction *action : window.ToolBar1->actions())
        names << (action->isSeparator() ? QStringLiteral("|") : action->objectName());
    EXPECT_EQ(names, (QStringList{"Submit", "Report", "Options", "Step", "aHistory", "|", "Tasks", "Projects",
                                  "Clients", "Users", "|", "EditCopy1", "EditCut1", "EditPaste1", "|",
                                  "DataSetFirst1", "DataSetPrior1", "DataSetNext1", "DataSetLast1",
                                  "DataSetInsert1", "DataSetDelete1", "|", "aHelp"}));
    // The grid's own actions, not copies of them.
    EXPECT_EQ(window.ToolBar1->actions().at(11), window.Grid().EditCopy1);
    EXPECT_EQ(window.ToolBar1->actions().last(), window.Grid().aHelp);
}

TEST_F(SubmitFormTest, EntriesOfWindowsStillToComeArePresentButDisabled)
{
    TForm_Submit_Form &window = Form();
    for (QAction *later : {window.Report, window.Options, window.aHistory, window.Tasks, window.Projects,
                           window.Clients, window.Users, window.aExport, window.aImport}) {
        EXPECT_FALSE(later->isEnabled()) << later->objectName().toStdString();
        EXPECT_FALSE(later->associatedObjects().isEmpty()) << later->objectName().toStdString();
    }
    for (QAction *working : {window.Submit, window.Step, window.aClose, window.aExit})
        EXPECT_TRUE(working->isEnabled()) << working->objectName().toStdString();
    EXPECT_EQ(window.Step->statusTip(), QStringLiteral("Step Function"));
    EXPECT_EQ(window.aExport->statusTip(), QStringLiteral("Export "));
}

// --- submit and step -------------------------------------------------------------------------------------

TEST_F(SubmitFormTest, SubmitWritesTheWeekAndMovesOnOnceTheWeekIsOver)
{
    // Monday 14 December: the week after the last submitted one is over.
    SetNow(2026, 12, 14);
    AddLine(QStringLiteral("ALPHA"), {{2, Hm(1, 30)}, {4, Hm(2, 0)}});
    AddLine(QStringLiteral("BETA"), {{3, Hm(0, 45)}});
    TForm_Submit_Form &window = Form();
    ASSERT_EQ(window.SubmitDate(), Day(2026, 12, 6));

    window.Submit->trigger();
    EXPECT_TRUE(questions.asked.isEmpty());
    EXPECT_TRUE(reporter.errors.isEmpty()) << reporter.errors.join(u'\n').toStdString();
    EXPECT_EQ(HistoryRows(), 3);
    EXPECT_EQ(window.dbtLastSubmitted->text(), QStringLiteral("06/12/2026"));
    EXPECT_EQ(window.SubmitDate(), Day(2026, 12, 13));
    EXPECT_EQ(window.edtWeekStart->Text(), QStringLiteral("13/12/2026"));
    EXPECT_EQ(window.Grid().DayLabels[Grid::gcMon]->text(), QStringLiteral("00:00"));
}

TEST_F(SubmitFormTest, SubmitTakesADateTypedButNotYetConfirmed)
{
    SetNow(2026, 12, 14);
    AddLine(QStringLiteral("ALPHA"), {{2, Hm(1, 0)}});
    TForm_Submit_Form &window = Form();
    // The user types the week before and presses Submit without leaving the box.
    window.edtWeekStart->SetText(QStringLiteral("29/11/2026"));
    window.SubmitExecute();
    // The week typed is the week asked about, dated and recorded.
    ASSERT_EQ(questions.asked.size(), 1);
    EXPECT_EQ(questions.asked.first(), TSubmission::AlreadySubmittedQuestion(Day(2026, 11, 29)));
    ASSERT_EQ(HistoryRows(), 1);
    const TRecordTable &history = dm->adsReporting;
    EXPECT_EQ(DateTimeValue::ToDate(history.ValueAt(0, history.FieldByName(u"DateTimeSubmitted")).toDouble()),
              QDate(2026, 11, 30));
    EXPECT_EQ(window.dbtLastSubmitted->text(), QStringLiteral("29/11/2026"));
    EXPECT_EQ(window.SubmitDate(), Day(2026, 12, 6));
}

TEST_F(SubmitFormTest, SubmitDoesNothingWithABadDateOrANo)
{
    AddLine(QStringLiteral("ALPHA"), {{2, Hm(1, 0)}});
    TForm_Submit_Form &window = Form();

    window.edtWeekStart->SetText(QStringLiteral("32/12/2026"));
    window.SubmitExecute();
    EXPECT_EQ(reporter.errors.size(), 1);
    EXPECT_TRUE(questions.asked.isEmpty());
    EXPECT_EQ(HistoryRows(), 0);
    EXPECT_EQ(window.SubmitDate(), Day(2026, 12, 6));

    // The week of 6 December is still running: the future-date question, answered No.
    window.edtWeekStart->stepBy(1);
    questions.answer = false;
    window.SubmitExecute();
    EXPECT_EQ(questions.asked, QStringList{TSubmission::FutureWeekQuestion()});
    EXPECT_EQ(HistoryRows(), 0);
    EXPECT_EQ(window.SubmitDate(), Day(2026, 12, 13));
    EXPECT_EQ(window.Grid().DayLabels[Grid::gcMon]->text(), QStringLiteral("01:00"));
}

TEST_F(SubmitFormTest, StepCutsTheDaysAndTheTotalsFollow)
{
    AddLine(QStringLiteral("ALPHA"), {{2, Hm(1, 44)}, {3, Hm(0, 14)}});
    AddLine(QStringLiteral("BETA"), {{2, Hm(0, 50)}});
    TForm_Submit_Form &window = Form();
    ASSERT_EQ(window.Grid().DayLabels[Grid::gcMon]->text(), QStringLiteral("02:34"));
    window.Step->trigger();
    EXPECT_TRUE(reporter.errors.isEmpty());
    // Steps of 15 minutes: 1:44 → 1:30, 0:50 → 0:45, 0:14 → 0:00.
    EXPECT_EQ(window.Grid().DayLabels[Grid::gcMon]->text(), QStringLiteral("02:15"));
    EXPECT_EQ(window.Grid().DayLabels[Grid::gcTue]->text(), QStringLiteral("00:00"));
}

// --- the message boxes of the questions ----------------------------------------------------------------------

TEST(MessageBoxQuestions, YesGoesAheadNoAndTheDefaultButtonDoNot)
{
    struct Case
    {
        const char *what;
        QMessageBox::StandardButton press; // NoButton: Return on the default button
        bool expected;
    };
    const Case cases[] = {
        {"Yes", QMessageBox::Yes, true},
        {"No", QMessageBox::No, false},
        {"Return", QMessageBox::NoButton, false},
    };
    for (const Case &c : cases) {
        QString shown;
        QTimer::singleShot(0, qApp, [&] {
            auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
            if (!box) {
                ADD_FAILURE() << "no message box";
                return;
            }
            shown = box->text();
            QAbstractButton *button =
                c.press == QMessageBox::NoButton ? static_cast<QAbstractButton *>(box->defaultButton())
                                                  : box->button(c.press);
            button->click();
        });
        TMessageBoxQuestions questions;
        EXPECT_EQ(questions.AskYesNo(QStringLiteral("Continue ?")), c.expected) << c.what;
        EXPECT_EQ(shown, QStringLiteral("Continue ?")) << c.what;
    }
}

} // namespace
