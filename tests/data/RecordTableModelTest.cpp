// The item model over a record table: structure checked by Qt's model tester,
// edits through the field hooks, refusals reported, rows following the table.
#include "app/core/Errors.h"
#include "data/RecordTableModel.h"

#include <QAbstractItemModelTester>
#include <QSignalSpy>

#include <gtest/gtest.h>

namespace {

TFieldDef Def(const QString &name, TFieldKind kind, int size = 20)
{
    TFieldDef d;
    d.name = name;
    d.kind = kind;
    d.size = size;
    return d;
}

class ModelTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        table.AddField(Def("Code", TFieldKind::String, 10));
        table.AddField(Def("Active", TFieldKind::Boolean));
        TFieldDef mon = Def("MonDuration", TFieldKind::Time);
        mon.displayFormat = "hh:mm";
        mon.displayLabel = "Mon Duration";
        table.AddField(mon);
        table.CreateDataSet();
        for (const char *code : {"B", "A", "C"}) {
            table.Append();
            table.FieldByName(u"Code").SetAsString(code);
            table.FieldByName(u"Active").SetAsBoolean(false);
            table.Post();
        }
        model = std::make_unique<TRecordTableModel>(table, QStringList{"Code", "Active", "MonDuration"});
        tester = std::make_unique<QAbstractItemModelTester>(model.get(),
                                                            QAbstractItemModelTester::FailureReportingMode::Fatal);
    }

    TRecordTable table{QStringLiteral("t")};
    std::unique_ptr<TRecordTableModel> model;
    std::unique_ptr<QAbstractItemModelTester> tester;
};

} // namespace

TEST_F(ModelTest, RowsColumnsAndHeadersMirrorTheTable)
{
    EXPECT_EQ(model->rowCount(), 3);
    EXPECT_EQ(model->columnCount(), 3);
    EXPECT_EQ(model->headerData(2, Qt::Horizontal).toString(), QStringLiteral("Mon Duration"));
    model->SetHeaderCaption(2, "Today");
    EXPECT_EQ(model->headerData(2, Qt::Horizontal).toString(), QStringLiteral("Today"));
    EXPECT_EQ(model->data(model->index(1, 0)).toString(), QStringLiteral("A"));
    EXPECT_EQ(model->data(model->index(1, 1), Qt::CheckStateRole).toInt(), Qt::Unchecked);
    EXPECT_EQ(model->rowCount(model->index(0, 0)), 0);
}

TEST_F(ModelTest, SortFilterInsertAndDeleteReachTheViews)
{
    table.SetSort("Code DESC");
    EXPECT_EQ(model->data(model->index(0, 0)).toString(), QStringLiteral("C"));
    table.Append();
    EXPECT_EQ(model->rowCount(), 4);
    table.Cancel();
    EXPECT_EQ(model->rowCount(), 3);
    table.SetFilter("Code = 'a'");
    table.SetFiltered(true);
    EXPECT_EQ(model->rowCount(), 1);
    table.Delete();
    EXPECT_EQ(model->rowCount(), 0);
    table.SetFiltered(false);
    EXPECT_EQ(model->rowCount(), 2);
}

TEST_F(ModelTest, EditsGoThroughTheFieldAndMoveTheTable)
{
    table.First();
    QSignalSpy moved(model.get(), &TRecordTableModel::currentRowChanged);
    ASSERT_TRUE(model->setData(model->index(2, 2), "01:30"));
    EXPECT_EQ(table.RecNo(), 2);
    EXPECT_GE(moved.count(), 1);
    EXPECT_EQ(model->data(model->index(2, 2)).toString(), QStringLiteral("01:30"));
    ASSERT_TRUE(model->setData(model->index(0, 1), Qt::Checked, Qt::CheckStateRole));
    EXPECT_EQ(table.RecNo(), 0) << "moving posted the edited row";
    EXPECT_TRUE(table.FieldByName(u"Active").AsBoolean());
}

TEST_F(ModelTest, ARefusedValueIsReportedAndKeepsTheOldOne)
{
    QSignalSpy errors(model.get(), &TRecordTableModel::errorRaised);
    table.FieldByName(u"Code").OnValidate = [](TTableField &, const QVariant &v) {
        if (v.toString().trimmed().isEmpty())
            throw EVRQException(QStringLiteral("Task code cannot be blank"));
    };
    EXPECT_FALSE(model->setData(model->index(0, 0), "  "));
    ASSERT_EQ(errors.count(), 1);
    EXPECT_EQ(errors.at(0).at(0).toString(), QStringLiteral("Task code cannot be blank"));
    EXPECT_EQ(model->data(model->index(0, 0)).toString(), QStringLiteral("B"));
    EXPECT_FALSE(model->setData(model->index(0, 2), "25:00"));
    EXPECT_EQ(errors.at(1).at(0).toString(), QStringLiteral("'25:00' is not a valid time"));
}

TEST_F(ModelTest, SuspendedNotificationsEndInOneReset)
{
    QSignalSpy resets(model.get(), &QAbstractItemModel::modelReset);
    table.DisableControls();
    table.First();
    table.Delete();
    table.Append();
    table.FieldByName(u"Code").SetAsString("D");
    table.Post();
    table.EnableControls();
    EXPECT_EQ(resets.count(), 1);
    EXPECT_EQ(model->rowCount(), 3);
}
