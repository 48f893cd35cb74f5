// The timesheet grid in a window of its own (laid out as the review window
// lays it out, every weekday shown): order, columns, cell editing with the
// table's rules, the task-code check, the check boxes, totals and actions.
#include "WindowTestSupport.h"

#include "tracking/TimeTracker.h"
#include "tracking/TimeTrackerFrame.h"
#include "tracking/TimesheetView.h"

#include <QAction>
#include <QComboBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <QTest>

#include <map>

namespace {

using Grid = TFrame_TimeTracker_Form;

class FrameTest : public WindowTest
{
protected:
    void SetUp() override
    {
        WindowTest::SetUp();
        AddTaskCode(QStringLiteral("ABC"));
        AddLine(QStringLiteral("ABC"), false, Hm(1, 0));
        AddLine(QStringLiteral("MEET"), false, Hm(0, 30));
        Tasks().First();
        window = std::make_unique<QMainWindow>();
        window->setObjectName(QStringLiteral("Form_Test_Form"));
        grid = TBaseFrameVRQ_BaseForm::Create<Grid>(window.get(), *dm, &reporter);
        grid->SetTimerEnabled(false);
        window->setCentralWidget(grid);
        window->resize(1000, 300);
        window->show();
        QApplication::processEvents();
    }
    void TearDown() override
    {
        window.reset();
        WindowTest::TearDown();
    }

    TTimesheetView &View() { return grid->View(); }
    QModelIndex Cell(const QString &code, int tag)
    {
        return grid->Model().index(RowOf(code), TTimesheetModel::ColumnOfTag(tag));
    }
    /// Opens the editor of a cell and gives it a text, as typing would.
    QLineEdit *Type(const QString &code, int tag, const QString &text)
    {
        const QModelIndex cell = Cell(code, tag);
        EXPECT_TRUE(View().EditCell(cell));
        QWidget *editor = View().OpenEditor();
        auto *edit = qobject_cast<QLineEdit *>(editor);
        if (auto *combo = qobject_cast<QComboBox *>(editor))
            edit = combo->lineEdit();
        if (!edit) {
            ADD_FAILURE() << "no line edit in the cell";
            return nullptr;
        }
        edit->setText(text);
        return edit;
    }
    void ClickCell(const QModelIndex &cell)
    {
        const QRect rect = View().visualRect(cell);
        QTest::mouseClick(View().viewport(), Qt::LeftButton, {}, rect.center());
        QApplication::processEvents();
    }
    bool CaptionRed(int tag)
    {
        const QVariant brush = grid->Model().headerData(TTimesheetModel::ColumnOfTag(tag), Qt::Horizontal,
                                                        Qt::ForegroundRole);
        return brush.isValid() && brush.value<QBrush>().color() == QColor(Qt::red);
    }
    std::map<int, std::pair<int, int>> Layout()
    {
        std::map<int, std::pair<int, int>> layout;
        for (int tag = Grid::FirstColumn; tag <= Grid::LastColumn; ++tag)
            layout[tag] = {grid->ColumnLeft(tag), grid->ColumnWidth(tag)};
        return layout;
    }

    std::unique_ptr<QMainWindow> window;
    Grid *grid = nullptr;
};

TEST_F(FrameTest, HeaderClicksOrderAscendingThenFlipAndMarkTheHeader)
{
    EXPECT_EQ(Tasks().Sort(), QStringLiteral("TaskCode ASC"));
    EXPECT_EQ(grid->FsPanelName(), QStringLiteral("pTaskCode"));

    struct Step
    {
        int tag;
        const char *sort;
        const char *panel;
    };
    const Step steps[] = {
        {Grid::gcProject, "ProjectNumber ASC", "pProjectName"},
        {Grid::gcProject, "ProjectNumber DESC", "pProjectName"},
        {Grid::gcProject, "ProjectNumber ASC", "pProjectName"},
        {Grid::gcClient, "ClientID ASC", "pClient"},
        {Grid::gcDuration, "ClientID ASC", "pClient"}, // "Task Duration" does not order
        {Grid::gcTue, "TueDuration ASC", "pTuesday"},
    };
    QHeaderView *header = View().horizontalHeader();
    for (const Step &step : steps) {
        SCOPED_TRACE(step.sort);
        const int section = TTimesheetModel::ColumnOfTag(step.tag);
        QTest::mouseClick(header->viewport(), Qt::LeftButton, {},
                          QPoint(header->sectionViewportPosition(section) + header->sectionSize(section) / 2,
                                 header->height() / 2));
        EXPECT_EQ(Tasks().Sort(), QString::fromLatin1(step.sort));
        EXPECT_EQ(grid->FsPanelName(), QString::fromLatin1(step.panel));
        for (int tag = Grid::FirstColumn; tag <= Grid::LastColumn; ++tag)
            EXPECT_EQ(CaptionRed(tag), Grid::PanelName(tag) == QLatin1StringView(step.panel)) << tag;
    }
}

TEST_F(FrameTest, APanelNameFromTheOtherGridMarksItsHeader)
{
    grid->SetsPanelName(QStringLiteral("pDescription"));
    EXPECT_TRUE(CaptionRed(Grid::gcDescription));
    EXPECT_FALSE(CaptionRed(Grid::gcTaskCode));
    // A click on that header now flips the order the other grid left.
    Tasks().SetSort(QStringLiteral("TaskDescription ASC"));
    grid->OrderPanelClick(Grid::gcDescription);
    EXPECT_EQ(Tasks().Sort(), QStringLiteral("TaskDescription DESC"));
}

TEST_F(FrameTest, HidingALeftColumnClosesItsGapAndWidensTheDescription)
{
    const auto before = Layout();
    const int client = grid->ColumnWidth(Grid::gcClient);
    EXPECT_EQ(client, 91);
    grid->SetbClientsVisible(false);
    const auto hidden = Layout();
    EXPECT_FALSE(grid->ColumnShown(Grid::gcClient));
    for (const int tag : {Grid::gcProject, Grid::gcTaskCode, Grid::gcDescription})
        EXPECT_EQ(hidden.at(tag).first, before.at(tag).first - client) << tag;
    EXPECT_EQ(hidden.at(Grid::gcDescription).second, before.at(Grid::gcDescription).second + client);
    // The right-side columns keep their places.
    for (int tag = Grid::gcMon; tag <= Grid::gcCompleted; ++tag)
        EXPECT_EQ(hidden.at(tag), before.at(tag)) << tag;

    grid->SetbClientsVisible(true);
    EXPECT_EQ(Layout(), before);
}

TEST_F(FrameTest, HidingADayColumnMovesTheDaysBeforeItAndTheirLabels)
{
    const auto before = Layout();
    const int tuesday = grid->ColumnWidth(Grid::gcTue);
    EXPECT_EQ(tuesday, 46);
    grid->SetTueVisible(false);
    const auto hidden = Layout();
    EXPECT_EQ(hidden.at(Grid::gcMon).first, before.at(Grid::gcMon).first + tuesday);
    EXPECT_EQ(hidden.at(Grid::gcDescription).second, before.at(Grid::gcDescription).second + tuesday);
    EXPECT_EQ(hidden.at(Grid::gcWed), before.at(Grid::gcWed));
    EXPECT_FALSE(grid->DayLabels[Grid::gcTue]->isVisible());
    // Each day's total stands under its column.
    QLabel *monday = grid->DayLabels[Grid::gcMon];
    EXPECT_EQ(monday->mapTo(grid, QPoint(0, 0)).x(), grid->ColumnLeft(Grid::gcMon));
}

TEST_F(FrameTest, SettingAColumnToItsStateMovesNothing)
{
    grid->SetProjectsVisible(false);
    const auto before = Layout();
    grid->SetbClientsVisible(true);
    grid->SetProjectsVisible(false);
    grid->SetMonVisible(true);
    grid->SetPriorityVisible(true);
    grid->SetSummaryDurationVisible(true);
    EXPECT_EQ(Layout(), before);
}

TEST_F(FrameTest, RowsAre25PixelsAndAtLeastOneShows)
{
    EXPECT_EQ(View().rowHeight(0), Grid::RowHeight);
    window->resize(window->width(), 10);
    QApplication::processEvents();
    EXPECT_GE(grid->RowAreaHeight(), Grid::RowHeight);
    EXPECT_EQ(grid->VisibleRowCount(), 1);
}

TEST_F(FrameTest, TaskCodeLeftKnownInOtherCaseChangesNothing)
{
    const int codes = dm->adsTaskCodes.RecordCount();
    Type(QStringLiteral("MEET"), Grid::gcTaskCode, QStringLiteral(" admin"));
    ASSERT_TRUE(View().CommitOpenEditor());
    QApplication::processEvents();
    EXPECT_EQ(OnLine(QStringLiteral(" admin"), u"TaskDescription").toString(), QStringLiteral("Administration"));
    EXPECT_TRUE(reporter.messages.isEmpty()) << reporter.messages.join(u'|').toStdString();
    EXPECT_TRUE(reporter.errors.isEmpty()) << reporter.errors.join(u'|').toStdString();
    EXPECT_EQ(dm->adsTaskCodes.RecordCount(), codes);
}

TEST_F(FrameTest, NewTaskCodeWithDescriptionStartsAnUpperCaseTaskCode)
{
    Type(QStringLiteral("MEET"), Grid::gcTaskCode, QStringLiteral("new7"));
    ASSERT_TRUE(View().CommitOpenEditor());
    ASSERT_EQ(TaskCodesNamed(QStringLiteral("NEW7")), 1);
    TRecordTable &codes = dm->adsTaskCodes;
    ASSERT_TRUE(codes.Locate(QStringLiteral("TaskCode"), QStringLiteral("NEW7")));
    EXPECT_EQ(codes.FieldByName(u"TaskCode").AsString(), QStringLiteral("NEW7"));
    EXPECT_EQ(codes.FieldByName(u"TaskDescription").AsString(), QStringLiteral("MEET work"));
    EXPECT_EQ(codes.FieldByName(u"DailyRate").AsCurrency(), TCurrency());
    EXPECT_EQ(codes.FieldByName(u"TotalCost").AsCurrency(), TCurrency());
    EXPECT_EQ(codes.FieldByName(u"CompletionDate").AsDateTime(), 0.0);
    // Posted, so the next save writes it.
    EXPECT_NE(codes.State(), TDataSetState::Insert);
    EXPECT_EQ(codes.Tag(), 1);
    EXPECT_TRUE(reporter.messages.isEmpty());
}

TEST_F(FrameTest, NewTaskCodeWithoutDescriptionCreatesNothing)
{
    Type(QStringLiteral("MEET"), Grid::gcDescription, QString());
    ASSERT_TRUE(View().CommitOpenEditor());
    Type(QStringLiteral("MEET"), Grid::gcTaskCode, QStringLiteral("ZZZ"));
    ASSERT_TRUE(View().CommitOpenEditor());
    EXPECT_EQ(TaskCodesNamed(QStringLiteral("ZZZ")), 0);
    EXPECT_TRUE(reporter.messages.isEmpty());
}

TEST_F(FrameTest, UnknownTaskCodeWithCreationOffIsReportedAndTheCodeEditReopens)
{
    dm->adsDefaults.Edit();
    dm->adsDefaults.FieldByName(u"NewTaskInsertAllowed").SetAsBoolean(false);
    dm->adsDefaults.Post();

    QLineEdit *edit = Type(QStringLiteral("MEET"), Grid::gcTaskCode, QStringLiteral("NOPE"));
    ASSERT_TRUE(edit);
    // Dropping the list down is no leaving: no message, and the minute is held back.
    auto *combo = qobject_cast<QComboBox *>(View().OpenEditor());
    ASSERT_TRUE(combo);
    combo->showPopup();
    QApplication::processEvents();
    EXPECT_TRUE(reporter.messages.isEmpty());
    EXPECT_EQ(grid->Tracker().LastUsedCounter(), 0);
    combo->hidePopup();

    ASSERT_TRUE(View().CommitOpenEditor());
    EXPECT_EQ(reporter.messages, QStringList{QStringLiteral("Task does not exist.")});
    EXPECT_EQ(TaskCodesNamed(QStringLiteral("NOPE")), 0);
    // The line keeps the code and the task-code cell is in edit again.
    EXPECT_EQ(Tasks().FieldByName(u"TaskCode").AsString(), QStringLiteral("NOPE"));
    QApplication::processEvents();
    ASSERT_TRUE(View().OpenEditor());
    EXPECT_EQ(View().EditorIndex().column(), TTimesheetModel::ColumnOfTag(Grid::gcTaskCode));
}

TEST_F(FrameTest, UnknownTaskCodeLeftIntoTheLineBeforeIsCaughtOnItsOwnLine)
{
    dm->adsDefaults.Edit();
    dm->adsDefaults.FieldByName(u"NewTaskInsertAllowed").SetAsBoolean(false);
    dm->adsDefaults.Post();
    // The task code is the first cell that takes text: Shift+Tab leaves it
    // for the last day cell of the line before.
    grid->SetPriorityVisible(false);
    grid->SetSummaryDurationVisible(false);
    grid->SetbClientsVisible(false);
    grid->SetProjectsVisible(false);
    const int line = RowOf(QStringLiteral("MEET"));
    ASSERT_GT(line, 0);
    QLineEdit *edit = Type(QStringLiteral("MEET"), Grid::gcTaskCode, QStringLiteral("NOPE"));
    ASSERT_TRUE(edit);
    QTest::keyClick(edit, Qt::Key_Backtab, Qt::ShiftModifier);
    EXPECT_EQ(reporter.messages, QStringList{QStringLiteral("Task does not exist.")});
    QApplication::processEvents();
    QApplication::processEvents();
    const int row = RowOf(QStringLiteral("NOPE"));
    ASSERT_GE(row, 0);
    EXPECT_EQ(Tasks().RecNo(), row);
    ASSERT_TRUE(View().OpenEditor());
    EXPECT_EQ(View().EditorIndex().row(), row);
    EXPECT_EQ(View().EditorIndex().column(), TTimesheetModel::ColumnOfTag(Grid::gcTaskCode));
}

TEST_F(FrameTest, RefusedCellValueKeepsTheOldValueTheEditorAndTheRow)
{
    // A time that is no time.
    Type(QStringLiteral("ABC"), Grid::gcTue, QStringLiteral("25:00"));
    EXPECT_FALSE(View().CommitOpenEditor());
    ASSERT_EQ(reporter.errors.size(), 1);
    EXPECT_TRUE(reporter.errors[0].contains(QStringLiteral("not a valid time"))) << reporter.errors[0].toStdString();
    EXPECT_EQ(Ms(OnLine(QStringLiteral("ABC"), u"TueDuration").toDouble()), Ms(Hm(1, 0)));
    ASSERT_TRUE(View().OpenEditor());
    EXPECT_EQ(qobject_cast<QLineEdit *>(View().OpenEditor())->displayText(), QStringLiteral("25:00"));

    // A code another line has: refused, and moving to another row stays on this one.
    View().DiscardOpenEditor();
    reporter.errors.clear();
    Type(QStringLiteral("MEET"), Grid::gcTaskCode, QStringLiteral("ABC"));
    const int row = View().currentIndex().row();
    View().setCurrentIndex(Cell(QStringLiteral("ABC"), Grid::gcDescription));
    ASSERT_EQ(reporter.errors.size(), 1);
    EXPECT_EQ(reporter.errors[0], QStringLiteral("Task code already selected"));
    EXPECT_EQ(View().currentIndex().row(), row);
    EXPECT_EQ(Tasks().RecNo(), row);
    ASSERT_TRUE(View().OpenEditor());
    EXPECT_EQ(View().EditorIndex().row(), row);
    EXPECT_TRUE(RowOf(QStringLiteral("MEET")) >= 0);
}

TEST_F(FrameTest, DayCellEntryRemembersTheValueAndTheTotalFollowsTheEdit)
{
    const double tuesdayTotal = dm->FTotalDurationArray[Tuesday];
    Type(QStringLiteral("ABC"), Grid::gcTue, QStringLiteral("02:30"));
    EXPECT_EQ(Ms(dm->rCurrentField.Value), Ms(Hm(1, 0)));
    EXPECT_FALSE(dm->rCurrentField.Active);
    ASSERT_TRUE(View().CommitOpenEditor());
    EXPECT_EQ(Ms(OnLine(QStringLiteral("ABC"), u"TueDuration").toDouble()), Ms(Hm(2, 30)));
    EXPECT_EQ(Ms(dm->FTotalDurationArray[Tuesday]), Ms(tuesdayTotal + Hm(1, 30)));
    EXPECT_TRUE(reporter.errors.isEmpty());
}

TEST_F(FrameTest, TypingSurvivesTheMinuteTick)
{
    SCOPED_TRACE("an editor open while the tick resets the views keeps what was typed");
    Tasks().Locate(QStringLiteral("TaskCode"), QStringLiteral("MEET"));
    Tasks().Edit();
    Tasks().FieldByName(u"Active").SetAsBoolean(true);
    Tasks().Post();
    Type(QStringLiteral("ABC"), Grid::gcDescription, QStringLiteral("typed but not yet left"));
    grid->Tracker().TimeTrackerTimerTimer();
    QApplication::processEvents();
    EXPECT_EQ(Ms(OnLine(QStringLiteral("MEET"), u"TueDuration").toDouble()), Ms(Hm(0, 31)));
    ASSERT_TRUE(View().OpenEditor());
    EXPECT_EQ(qobject_cast<QLineEdit *>(View().OpenEditor())->text(), QStringLiteral("typed but not yet left"));
    ASSERT_TRUE(View().CommitOpenEditor());
    EXPECT_EQ(OnLine(QStringLiteral("ABC"), u"TaskDescription").toString(), QStringLiteral("typed but not yet left"));
}

TEST_F(FrameTest, ActiveBoxPostsTheLineAndMakesItTheCurrentTask)
{
    ClickCell(Cell(QStringLiteral("ABC"), Grid::gcActive));
    EXPECT_TRUE(OnLine(QStringLiteral("ABC"), u"Active").toBool());
    EXPECT_EQ(grid->Tracker().CurrentTask().TaskCode(), QStringLiteral("ABC"));
    EXPECT_EQ(Tasks().State(), TDataSetState::Edit);

    // Another line ticked: the first is no longer active.
    ClickCell(Cell(QStringLiteral("MEET"), Grid::gcActive));
    EXPECT_TRUE(OnLine(QStringLiteral("MEET"), u"Active").toBool());
    EXPECT_FALSE(OnLine(QStringLiteral("ABC"), u"Active").toBool());
    EXPECT_EQ(grid->Tracker().CurrentTask().TaskCode(), QStringLiteral("MEET"));

    // Unticked: no current task.
    ClickCell(Cell(QStringLiteral("MEET"), Grid::gcActive));
    EXPECT_FALSE(OnLine(QStringLiteral("MEET"), u"Active").toBool());
    EXPECT_TRUE(grid->Tracker().CurrentTask().TaskCode().isEmpty());
    EXPECT_TRUE(reporter.errors.isEmpty()) << reporter.errors.join(u'|').toStdString();
}

TEST_F(FrameTest, CompleteBoxClearsActiveWhicheverWayItGoes)
{
    ClickCell(Cell(QStringLiteral("ABC"), Grid::gcActive));
    ASSERT_TRUE(OnLine(QStringLiteral("ABC"), u"Active").toBool());
    ClickCell(Cell(QStringLiteral("ABC"), Grid::gcCompleted));
    EXPECT_TRUE(OnLine(QStringLiteral("ABC"), u"Completed").toBool());
    EXPECT_FALSE(OnLine(QStringLiteral("ABC"), u"Active").toBool());

    Tasks().Edit();
    Tasks().FieldByName(u"Active").SetAsBoolean(true);
    ClickCell(Cell(QStringLiteral("ABC"), Grid::gcCompleted));
    EXPECT_FALSE(OnLine(QStringLiteral("ABC"), u"Completed").toBool());
    EXPECT_FALSE(OnLine(QStringLiteral("ABC"), u"Active").toBool());
}

TEST_F(FrameTest, TotalsBarShowsWorkingDaysAndEveryDayAsAClock)
{
    dm->FDayDuration = 7.5;
    dm->ResetTotalsArray();
    // 37.5 hours over the week; Tuesday holds 25 hours.
    dm->FTotalDurationArray[2] = 5.0 / 24;
    dm->FTotalDurationArray[3] = 25.0 / 24;
    dm->FTotalDurationArray[4] = 7.5 / 24;
    grid->DisplayTotal();
    EXPECT_EQ(grid->lblTotalMessage->text(), QStringLiteral("Total Duration is 5 Days 0 Hours 0 Minutes "));
    EXPECT_EQ(grid->DayLabels[Grid::gcMon]->text(), QStringLiteral("05:00"));
    EXPECT_EQ(grid->DayLabels[Grid::gcTue]->text(), QStringLiteral("01:00"));
    EXPECT_EQ(grid->DayLabels[Grid::gcWed]->text(), QStringLiteral("07:30"));
    EXPECT_EQ(grid->DayLabels[Grid::gcSun]->text(), QStringLiteral("00:00"));
}

TEST_F(FrameTest, TableActionsAreEnabledOnlyWhereTheyCanAct)
{
    struct Case
    {
        void (TRecordTable::*go)();
        bool backward; // First, Prior
        bool forward;  // Next, Last
    };
    const Case cases[] = {{&TRecordTable::First, false, true}, {&TRecordTable::Last, true, false}};
    for (const Case &c : cases) {
        (Tasks().*c.go)();
        EXPECT_EQ(grid->DataSetFirst1->isEnabled(), c.backward);
        EXPECT_EQ(grid->DataSetPrior1->isEnabled(), c.backward);
        EXPECT_EQ(grid->DataSetNext1->isEnabled(), c.forward);
        EXPECT_EQ(grid->DataSetLast1->isEnabled(), c.forward);
        EXPECT_TRUE(grid->DataSetDelete1->isEnabled());
    }
    while (!Tasks().IsEmpty())
        grid->DataSetDelete1->trigger();
    EXPECT_FALSE(grid->DataSetDelete1->isEnabled());
    EXPECT_TRUE(grid->DataSetInsert1->isEnabled());
}

TEST_F(FrameTest, AddTaskStartsALineWithTheTaskCodeInEdit)
{
    const int lines = Tasks().RecordCount();
    grid->DataSetInsert1->trigger();
    EXPECT_EQ(Tasks().RecordCount(), lines + 1);
    EXPECT_EQ(Tasks().State(), TDataSetState::Insert);
    ASSERT_TRUE(View().OpenEditor());
    EXPECT_EQ(View().EditorIndex().column(), TTimesheetModel::ColumnOfTag(Grid::gcTaskCode));
    EXPECT_EQ(View().EditorIndex().row(), Tasks().RecNo());
}

TEST_F(FrameTest, NavigationActionsMoveTheTableAndTheView)
{
    grid->DataSetLast1->trigger();
    EXPECT_EQ(Tasks().RecNo(), Tasks().RecordCount() - 1);
    EXPECT_EQ(View().currentIndex().row(), Tasks().RecNo());
    grid->DataSetPrior1->trigger();
    EXPECT_EQ(View().currentIndex().row(), Tasks().RecordCount() - 2);
    grid->DataSetFirst1->trigger();
    EXPECT_EQ(View().currentIndex().row(), 0);
}

} // namespace
