// Behaviour of the record table store: cursor, states, hooks, filters, sorts,
// clones, lookups, calculated fields and view notifications.
#include "app/core/Errors.h"
#include "data/RecordTable.h"
#include "data/RowFilter.h"

#include <gtest/gtest.h>

#include <QBuffer>

namespace {

TFieldDef Def(const QString &name, TFieldKind kind, int size = 20, TFieldRole role = TFieldRole::Stored)
{
    TFieldDef d;
    d.name = name;
    d.kind = kind;
    d.size = size;
    d.role = role;
    return d;
}

// A small client table: ClientId, ClientName, Active, Rate.
class ClientTable : public ::testing::Test
{
protected:
    void SetUp() override
    {
        table.AddField(Def("ClientId", TFieldKind::Integer));
        table.AddField(Def("ClientName", TFieldKind::String, 20));
        table.AddField(Def("Active", TFieldKind::Boolean));
        table.AddField(Def("Rate", TFieldKind::Currency));
        table.CreateDataSet();
    }

    void AddClient(int id, const QString &name, bool active = true)
    {
        table.Append();
        table.FieldByName(u"ClientId").SetAsInteger(id);
        table.FieldByName(u"ClientName").SetAsString(name);
        table.FieldByName(u"Active").SetAsBoolean(active);
        table.Post();
    }

    QStringList Names(TRecordTable &t)
    {
        QStringList names;
        for (int i = 0; i < t.RecordCount(); ++i)
            names << t.ValueAt(i, t.FieldByName(u"ClientName")).toString();
        return names;
    }

    TRecordTable table{QStringLiteral("adsClients")};
};

struct RecordingListener : TTableListener
{
    QStringList events;
    void RowsAboutToBeInserted(int f, int l) override { events << QStringLiteral("about-insert %1-%2").arg(f).arg(l); }
    void RowsInserted(int f, int l) override { events << QStringLiteral("inserted %1-%2").arg(f).arg(l); }
    void RowsAboutToBeRemoved(int f, int l) override { events << QStringLiteral("about-remove %1-%2").arg(f).arg(l); }
    void RowsRemoved(int f, int l) override { events << QStringLiteral("removed %1-%2").arg(f).arg(l); }
    void RowDataChanged(int r) override { events << QStringLiteral("changed %1").arg(r); }
    void AboutToReset() override { events << QStringLiteral("about-reset"); }
    void Reset() override { events << QStringLiteral("reset"); }
    void CurrentRowChanged(int r) override { events << QStringLiteral("current %1").arg(r); }
};

} // namespace

TEST_F(ClientTable, EditOnEmptyTableThenInsertAndApplyStoresTwoRowsInAssignmentOrder)
{
    table.Edit();
    EXPECT_EQ(table.State(), TDataSetState::Insert);
    table.FieldByName(u"ClientId").SetAsInteger(0);
    table.FieldByName(u"ClientName").SetAsString("Internal");
    table.Insert();
    table.FieldByName(u"ClientId").SetAsInteger(1);
    table.FieldByName(u"ClientName").SetAsString("External");
    table.UpdateBatch(TAffectRecords::All);
    EXPECT_EQ(table.State(), TDataSetState::Browse);
    ASSERT_EQ(table.RecordCount(), 2);
    TRecordTable clone;
    clone.Clone(table);
    EXPECT_EQ(Names(clone), (QStringList{"Internal", "External"}));
}

TEST_F(ClientTable, RowChangedOnlyInCalculatedFieldsIsDroppedNotPosted)
{
    TRecordTable t(QStringLiteral("t"));
    t.AddField(Def("Id", TFieldKind::Integer));
    t.AddField(Def("Calc", TFieldKind::Integer, 0, TFieldRole::Calculated));
    int posts = 0;
    t.AfterPost = [&](TRecordTable &x) { ++posts; x.SetTag(1); };
    t.CreateDataSet();
    t.Append();
    t.FieldByName(u"Id").SetAsInteger(1);
    t.Append();
    t.FieldByName(u"Id").SetAsInteger(2);
    t.Post();
    posts = 0;
    t.SetTag(0);
    t.First();
    t.Edit();
    t.FieldByName(u"Calc").SetAsInteger(7);
    EXPECT_FALSE(t.Modified());
    t.Next();
    EXPECT_EQ(posts, 0);
    EXPECT_EQ(t.Tag(), 0);
    EXPECT_EQ(t.State(), TDataSetState::Browse);
}

TEST_F(ClientTable, NullsReadAsZeroFalseAndEmptyButVariantKeepsNull)
{
    table.Append();
    table.Post();
    EXPECT_EQ(table.FieldByName(u"ClientId").AsInteger(), 0);
    EXPECT_FALSE(table.FieldByName(u"Active").AsBoolean());
    EXPECT_EQ(table.FieldByName(u"ClientName").AsString(), QString());
    EXPECT_EQ(table.FieldByName(u"Rate").AsCurrency(), TCurrency());
    EXPECT_FALSE(table.FieldByName(u"ClientId").Value().isValid());
    EXPECT_TRUE(table.FieldByName(u"ClientId").IsNull());

    table.Edit();
    table.FieldByName(u"ClientName").SetAsString(QString(""));
    table.Post();
    EXPECT_FALSE(table.FieldByName(u"ClientName").IsNull()) << "an empty text is not null";
}

TEST_F(ClientTable, FieldByNameIgnoresCaseAndRaisesForUnknownNames)
{
    EXPECT_EQ(table.FieldByName(u"CLIENTID").FieldName(), QStringLiteral("ClientId"));
    EXPECT_EQ(table.FieldByName(u"clientid").FieldName(), QStringLiteral("ClientId"));
    EXPECT_THROW(table.FieldByName(u"ClientNumber"), EDatabaseError);
}

TEST_F(ClientTable, StringsAreCutToTheFieldSize)
{
    AddClient(1, QStringLiteral("A very long client name indeed"));
    EXPECT_EQ(table.FieldByName(u"ClientName").AsString(), QStringLiteral("A very long client n"));
}

TEST_F(ClientTable, AssigningOutsideEditRaisesAndChangesNothing)
{
    AddClient(1, "Acme");
    EXPECT_EQ(table.State(), TDataSetState::Browse);
    EXPECT_THROW(table.FieldByName(u"ClientName").SetAsString("Other"), EDatabaseError);
    EXPECT_EQ(table.FieldByName(u"ClientName").AsString(), QStringLiteral("Acme"));
}

TEST_F(ClientTable, FilterComparesTextWithoutCaseAndCountsOnlyPassingRows)
{
    AddClient(1, "GEN");
    AddClient(2, "Other");
    AddClient(3, "gen");
    table.SetFilter(QStringLiteral("ClientName = 'gen'"));
    table.SetFiltered(true);
    EXPECT_EQ(table.RecordCount(), 2);
    EXPECT_EQ(table.FieldByName(u"ClientId").AsInteger(), 1) << "first passing row becomes current";
    table.SetFiltered(false);
    EXPECT_EQ(table.RecordCount(), 3);
}

TEST_F(ClientTable, FilterFormsOfTheProgram)
{
    AddClient(-1, "Acme", false);
    AddClient(5, "Beta", true);
    AddClient(5, "Gamma", false);
    struct Case
    {
        QString filter;
        QStringList expected;
    };
    const Case cases[] = {
        {"ClientId = 5", {"Beta", "Gamma"}},
        {"ClientId = -1", {"Acme"}},
        {"Active = False", {"Acme", "Gamma"}},
        {"ClientId >= 5 AND Active = False", {"Gamma"}},
        {"clientid <= 0", {"Acme"}},
        {"", {"Acme", "Beta", "Gamma"}},
    };
    for (const Case &c : cases) {
        table.SetFilter(c.filter);
        table.SetFiltered(true);
        EXPECT_EQ(Names(table), c.expected) << c.filter.toStdString();
    }
}

TEST_F(ClientTable, QuotedValuesWithApostrophesMatchExactlyAndRawOnesAreRefused)
{
    AddClient(1, "O'Brien");
    AddClient(2, "O");
    table.SetFilter(TRowFilter::Equals(QStringLiteral("ClientName"), QStringLiteral("O'Brien")));
    table.SetFiltered(true);
    EXPECT_EQ(Names(table), QStringList{"O'Brien"});

    try {
        table.SetFilter(QStringLiteral("ClientName = 'O'Brien'"));
        FAIL() << "an undoubled quote must not be read";
    } catch (const EDatabaseError &e) {
        EXPECT_TRUE(e.Message().contains(QStringLiteral("ClientName = 'O'Brien'"))) << e.what();
    }
    EXPECT_EQ(Names(table), QStringList{"O'Brien"}) << "a refused filter leaves the previous one";
}

TEST_F(ClientTable, UnreadableFilterAndSortTextsNameTheText)
{
    const QString filters[] = {"ClientName", "Nope = 1", "ClientId = abc", "ClientName = 'open", "Active = maybe",
                               "ClientId = "};
    for (const QString &f : filters) {
        try {
            table.SetFilter(f);
            ADD_FAILURE() << "accepted " << f.toStdString();
        } catch (const EDatabaseError &e) {
            EXPECT_TRUE(e.Message().contains(f.trimmed())) << e.what();
        }
    }
    const QString sorts[] = {"Nope ASC", "ClientName UP", "ClientName ASC DESC"};
    for (const QString &s : sorts) {
        try {
            table.SetSort(s);
            ADD_FAILURE() << "accepted " << s.toStdString();
        } catch (const EDatabaseError &e) {
            EXPECT_TRUE(e.Message().contains(s)) << e.what();
        }
    }
}

TEST_F(ClientTable, SortOrdersByEachKeyInTurnIgnoringCaseAndReadsBack)
{
    AddClient(2, "beta");
    AddClient(1, "Charlie");
    AddClient(2, "Alpha");
    AddClient(1, "alpha2");
    table.SetSort(QStringLiteral("ClientId,ClientName"));
    EXPECT_EQ(Names(table), (QStringList{"alpha2", "Charlie", "Alpha", "beta"}));
    table.SetSort(QStringLiteral("ClientName DESC"));
    EXPECT_EQ(Names(table), (QStringList{"Charlie", "beta", "alpha2", "Alpha"}));
    EXPECT_EQ(table.Sort(), QStringLiteral("ClientName DESC"));
    table.SetSort(QStringLiteral("clientid ASC"));
    EXPECT_EQ(Names(table), (QStringList{"Charlie", "alpha2", "beta", "Alpha"})) << "ties keep their order";
}

TEST_F(ClientTable, BookmarkReturnsToTheRowAcrossEditsAndResorting)
{
    AddClient(3, "C");
    AddClient(1, "A");
    AddClient(2, "B");
    table.First();
    table.Next(); // A
    const QString mark = table.Bookmark();
    table.Edit();
    table.FieldByName(u"ClientName").SetAsString("A2");
    table.SetSort(QStringLiteral("ClientId ASC"));
    table.Last();
    table.SetBookmark(mark);
    EXPECT_EQ(table.FieldByName(u"ClientName").AsString(), QStringLiteral("A2"));
    EXPECT_EQ(table.RecNo(), 0);
}

TEST_F(ClientTable, LocateWithPartialAndCaseOptions)
{
    AddClient(1, "Beta");
    AddClient(2, "Acme Ltd");
    AddClient(3, "acme");
    table.First();
    EXPECT_TRUE(table.Locate("ClientName", "Acme", loPartialKey));
    EXPECT_EQ(table.FieldByName(u"ClientId").AsInteger(), 2);
    EXPECT_TRUE(table.Locate("ClientName", "ACME", loCaseInsensitive));
    EXPECT_EQ(table.FieldByName(u"ClientId").AsInteger(), 3);
    EXPECT_FALSE(table.Locate("ClientName", "ACME", 0));
    EXPECT_EQ(table.FieldByName(u"ClientId").AsInteger(), 3) << "a failed locate leaves the cursor";
    EXPECT_TRUE(table.Locate("ClientId;ClientName", QVariantList{1, "beta"}, loCaseInsensitive));
    EXPECT_EQ(table.RecNo(), 0);
}

TEST_F(ClientTable, DeletingAfterFirstUntilEofEmptiesTheTable)
{
    for (int i = 0; i < 4; ++i)
        AddClient(i, QString::number(i));
    table.First();
    while (!table.Eof())
        table.Delete();
    EXPECT_EQ(table.RecordCount(), 0);
}

TEST_F(ClientTable, DeletingTheLastRowOfAWalkEndsTheWalk)
{
    AddClient(1, "keep");
    AddClient(2, "drop");
    table.First();
    int visits = 0;
    while (!table.Eof()) {
        ++visits;
        if (table.FieldByName(u"ClientName").AsString() == u"drop")
            table.Delete();
        else
            table.Next();
    }
    EXPECT_EQ(visits, 2) << "the row before the deleted last row is not visited again";
    EXPECT_EQ(Names(table), QStringList{"keep"});
}

TEST_F(ClientTable, RefusedPostKeepsTheRowPendingAndTheCursorWhereItWas)
{
    AddClient(1, "A");
    AddClient(2, "B");
    table.BeforePost = [](TRecordTable &t) {
        if (t.FieldByName(u"ClientName").AsString().trimmed().isEmpty())
            throw EVRQException(QStringLiteral("Client Name Blank"));
    };
    table.First();
    table.Edit();
    table.FieldByName(u"ClientName").SetAsString("  ");
    EXPECT_THROW(table.Next(), EVRQException);
    EXPECT_EQ(table.State(), TDataSetState::Edit);
    EXPECT_EQ(table.RecNo(), 0);
    table.Cancel();
    EXPECT_EQ(table.FieldByName(u"ClientName").AsString(), QStringLiteral("A"));
}

TEST_F(ClientTable, ValidateHookSeesProposedAndOldValueAndMayRefuse)
{
    AddClient(1, "A");
    QVariant seenOld, seenNew;
    table.FieldByName(u"ClientName").OnValidate = [&](TTableField &f, const QVariant &proposed) {
        seenOld = f.OldValue();
        seenNew = proposed;
        if (proposed.toString() == u"bad")
            throw EVRQException(QStringLiteral("refused"));
    };
    int changes = 0;
    table.FieldByName(u"ClientName").OnChange = [&](TTableField &) { ++changes; };
    table.Edit();
    EXPECT_THROW(table.FieldByName(u"ClientName").SetAsString("bad"), EVRQException);
    EXPECT_EQ(table.FieldByName(u"ClientName").AsString(), QStringLiteral("A"));
    EXPECT_EQ(changes, 0);
    table.FieldByName(u"ClientName").SetAsString("A");
    table.FieldByName(u"ClientName").SetAsString("A");
    EXPECT_EQ(changes, 2) << "on-change runs also when the value did not change";
    EXPECT_EQ(seenOld.toString(), QStringLiteral("A"));
    EXPECT_EQ(seenNew.toString(), QStringLiteral("A"));
}

TEST_F(ClientTable, InsertPostsAModifiedPendingRowAndDropsAnUnmodifiedOne)
{
    int afterInserts = 0;
    table.AfterInsert = [&](TRecordTable &t) {
        ++afterInserts;
        EXPECT_EQ(t.State(), TDataSetState::Insert);
    };
    table.Append();
    table.Insert(); // the first new row was not modified: dropped
    EXPECT_EQ(table.RecordCount(), 1);
    table.FieldByName(u"ClientName").SetAsString("kept");
    table.Insert(); // posted
    EXPECT_EQ(table.RecordCount(), 2);
    table.Cancel(); // the unmodified new row goes
    EXPECT_EQ(table.RecordCount(), 1);
    EXPECT_EQ(table.FieldByName(u"ClientName").AsString(), QStringLiteral("kept"));
    EXPECT_EQ(afterInserts, 3);
}

TEST_F(ClientTable, CloneSharesRowsButKeepsItsOwnFilterSortAndCursor)
{
    AddClient(5, "A", false);
    AddClient(5, "B", true);
    AddClient(6, "C", true);
    table.SetFilter(QStringLiteral("Active = True"));
    table.SetFiltered(true);
    table.Last();
    TRecordTable clone;
    clone.Clone(table);
    EXPECT_EQ(clone.RecordCount(), 3) << "the clone starts without the source's filter";
    clone.SetFilter(QStringLiteral("ClientId = 5"));
    clone.SetFiltered(true);
    EXPECT_EQ(clone.RecordCount(), 2);
    EXPECT_EQ(table.RecordCount(), 2);
    EXPECT_EQ(table.FieldByName(u"ClientName").AsString(), QStringLiteral("C")) << "source cursor untouched";

    table.Edit();
    table.FieldByName(u"ClientName").SetAsString("C2");
    table.Post();
    clone.SetFilter(QString());
    clone.Last();
    EXPECT_EQ(clone.FieldByName(u"ClientName").AsString(), QStringLiteral("C2")) << "rows are shared";
}

TEST_F(ClientTable, DeletingThroughOneCursorRemovesTheRowFromTheOther)
{
    AddClient(1, "A");
    AddClient(2, "B");
    TRecordTable clone;
    clone.Clone(table);
    clone.Last();
    clone.Delete();
    EXPECT_EQ(table.RecordCount(), 1);
    EXPECT_EQ(Names(table), QStringList{"A"});
}

TEST_F(ClientTable, CurrencySumsAreExact)
{
    TCurrency sum;
    for (int i = 0; i < 3; ++i) {
        AddClient(i, "x");
        table.Edit();
        table.FieldByName(u"Rate").SetAsFloat(0.1);
        table.Post();
        sum += table.FieldByName(u"Rate").AsCurrency();
    }
    EXPECT_EQ(sum, TCurrency::FromUnits(3000));
    EXPECT_EQ(sum.ToPlainText(), QStringLiteral("0.3"));
}

TEST_F(ClientTable, DisableControlsNestsAndResumesWithOneReset)
{
    RecordingListener listener;
    table.AddListener(&listener);
    table.DisableControls();
    table.DisableControls();
    AddClient(1, "A");
    table.EnableControls();
    EXPECT_TRUE(listener.events.isEmpty());
    table.EnableControls();
    EXPECT_EQ(listener.events.count(QStringLiteral("reset")), 1);
    EXPECT_FALSE(table.ControlsDisabled());
    table.RemoveListener(&listener);
}

TEST_F(ClientTable, ViewsAreToldOfInsertsChangesRemovalsAndMoves)
{
    AddClient(1, "A");
    RecordingListener listener;
    table.AddListener(&listener);
    table.Append();
    table.FieldByName(u"ClientName").SetAsString("B");
    table.Post();
    table.First();
    table.Delete();
    EXPECT_EQ(listener.events,
              (QStringList{"about-insert 1-1", "inserted 1-1", "current 1", "changed 1", "changed 1", "current 0",
                           "about-remove 0-0", "removed 0-0", "current 0"}));
    table.RemoveListener(&listener);
}

TEST_F(ClientTable, SnapshotRestoreUndoesEverythingSinceTheSnapshot)
{
    AddClient(1, "A");
    AddClient(2, "B");
    const QByteArray snapshot = table.Snapshot();
    table.First();
    table.Delete();
    AddClient(3, "C");
    table.First();
    table.Edit();
    table.FieldByName(u"ClientName").SetAsString("B2");
    table.Post();
    table.Restore(snapshot);
    EXPECT_EQ(Names(table), (QStringList{"A", "B"}));
    EXPECT_EQ(table.RecNo(), 0);
}

TEST(RecordTableFields, TimeFieldsKeepOnlyTheTimeOfDay)
{
    TRecordTable t(QStringLiteral("t"));
    t.AddField(Def("Mon", TFieldKind::Time));
    t.CreateDataSet();
    t.Edit();
    t.FieldByName(u"Mon").SetAsFloat(1.5);
    EXPECT_DOUBLE_EQ(t.FieldByName(u"Mon").AsFloat(), 0.5);
    t.FieldByName(u"Mon").SetAsFloat(1.0);
    EXPECT_DOUBLE_EQ(t.FieldByName(u"Mon").AsFloat(), 0.0);
}

TEST(RecordTableFields, TextFormsAndConversions)
{
    TRecordTable t(QStringLiteral("t"));
    TFieldDef days = Def("Days", TFieldKind::Integer);
    days.displayFormat = days.editFormat = "####";
    t.AddField(days);
    TFieldDef hours = Def("DayDuration", TFieldKind::Float);
    hours.displayFormat = hours.editFormat = "0.00";
    t.AddField(hours);
    TFieldDef due = Def("CompletionDate", TFieldKind::DateTime);
    due.displayFormat = "ddddd";
    t.AddField(due);
    t.AddField(Def("Flag", TFieldKind::Boolean));
    t.AddField(Def("At", TFieldKind::Time));
    t.CreateDataSet();
    t.Edit();
    t.FieldByName(u"Days").SetAsInteger(0);
    EXPECT_EQ(t.FieldByName(u"Days").DisplayText(), QString());
    t.FieldByName(u"Days").SetAsInteger(12);
    EXPECT_EQ(t.FieldByName(u"Days").DisplayText(), QStringLiteral("12"));
    t.FieldByName(u"DayDuration").SetText("7.5");
    EXPECT_EQ(t.FieldByName(u"DayDuration").DisplayText(), QStringLiteral("7.50"));
    t.FieldByName(u"CompletionDate").SetText("_7/01/2008");
    EXPECT_EQ(t.FieldByName(u"CompletionDate").DisplayText(), QStringLiteral("07/01/2008"));
    t.FieldByName(u"CompletionDate").SetAsDateTime(t.FieldByName(u"CompletionDate").AsDateTime() + 0.5);
    EXPECT_EQ(t.FieldByName(u"CompletionDate").EditText(), QStringLiteral("07/01/2008 12:00:00"));
    t.FieldByName(u"Flag").SetAsBoolean(true);
    EXPECT_EQ(t.FieldByName(u"Flag").DisplayText(), QStringLiteral("True"));
    t.FieldByName(u"At").SetText("07:30");
    EXPECT_NEAR(t.FieldByName(u"At").AsFloat(), 7.5 / 24, 1e-12);
    try {
        t.FieldByName(u"At").SetText("25:00");
        FAIL();
    } catch (const EConvertError &e) {
        EXPECT_EQ(e.Message(), QStringLiteral("'25:00' is not a valid time"));
    }
    EXPECT_NEAR(t.FieldByName(u"At").AsFloat(), 7.5 / 24, 1e-12) << "a refused text keeps the value";
    t.FieldByName(u"At").SetReadOnly(true);
    EXPECT_THROW(t.FieldByName(u"At").SetText("08:00"), EDatabaseError);
}

TEST(RecordTableFields, LookupFieldsFollowTheirKeyAndCutTheResult)
{
    TRecordTable projects(QStringLiteral("adsProjects"));
    projects.AddField(Def("ProjectNumber", TFieldKind::Integer));
    projects.AddField(Def("ProjectName", TFieldKind::String, 20));
    projects.CreateDataSet();
    projects.Append();
    projects.FieldByName(u"ProjectNumber").SetAsInteger(7);
    projects.FieldByName(u"ProjectName").SetAsString("Seventh heaven");
    projects.Post();

    TRecordTable lines(QStringLiteral("adsTasks"));
    lines.AddField(Def("ProjectNumber", TFieldKind::Integer));
    TFieldDef lookup = Def("ProjectName", TFieldKind::String, 10, TFieldRole::Lookup);
    lookup.keyFields = "ProjectNumber";
    lookup.lookupDataSet = &projects;
    lookup.lookupKeyFields = "ProjectNumber";
    lookup.lookupResultField = "ProjectName";
    lines.AddField(lookup);
    lines.CreateDataSet();
    lines.Append();
    lines.FieldByName(u"ProjectNumber").SetAsInteger(7);
    EXPECT_EQ(lines.FieldByName(u"ProjectName").AsString(), QStringLiteral("Seventh he"));
    lines.FieldByName(u"ProjectNumber").SetAsInteger(8);
    EXPECT_TRUE(lines.FieldByName(u"ProjectName").IsNull());
    lines.FieldByName(u"ProjectName").SetValue(QStringLiteral("Seventh heaven"));
    EXPECT_EQ(lines.FieldByName(u"ProjectNumber").AsInteger(), 7) << "assigning the lookup writes the key";
}

TEST(RecordTableFields, CalculatedFieldsAreComputedForTheRowBeingRead)
{
    TRecordTable t(QStringLiteral("t"));
    t.AddField(Def("A", TFieldKind::Integer));
    t.AddField(Def("Twice", TFieldKind::Integer, 0, TFieldRole::Calculated));
    t.OnCalcFields = [](TRecordTable &x) { x.FieldByName(u"Twice").SetAsInteger(x.FieldByName(u"A").AsInteger() * 2); };
    t.CreateDataSet();
    for (int i = 1; i <= 3; ++i) {
        t.Append();
        t.FieldByName(u"A").SetAsInteger(i);
        EXPECT_EQ(t.FieldByName(u"Twice").AsInteger(), 2 * i) << "recomputed after each assignment";
        t.Post();
    }
    t.First();
    EXPECT_EQ(t.ValueAt(2, t.FieldByName(u"Twice")).toInt(), 6);
    EXPECT_EQ(t.FieldByName(u"Twice").AsInteger(), 2) << "reading another row leaves the current one";
}

TEST_F(ClientTable, SortPutsNullsFirstAndOrdersNegativeNumbersAndMixedDirections)
{
    AddClient(-5, "b");
    AddClient(3, "a");
    table.Append();
    table.FieldByName(u"ClientName").SetAsString("null id");
    table.Post();
    AddClient(-5, "a");
    AddClient(3, "c");
    table.SetSort(QStringLiteral("ClientId ASC, ClientName DESC"));
    EXPECT_EQ(Names(table), (QStringList{"null id", "b", "a", "c", "a"}));
    table.SetSort(QStringLiteral("ClientId DESC,ClientName"));
    EXPECT_EQ(Names(table), (QStringList{"a", "c", "a", "b", "null id"}));
    table.Edit();
    table.FieldByName(u"Rate").SetAsFloat(-1.5);
    table.Post();
    table.SetSort(QStringLiteral("Rate DESC"));
    EXPECT_EQ(table.ValueAt(0, table.FieldByName(u"Rate")).value<TCurrency>(), TCurrency::FromUnits(-15000));
    EXPECT_EQ(Names(table).last(), QStringLiteral("null id")) << "unrated rows follow the rated one and keep their order";
}
