#include "data/Schema.h"

#include "app/core/Currency.h"
#include "app/core/Errors.h"
#include "data/RecordTable.h"

#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <set>

namespace {

QStringList StoredNames(const TTableSchema &table)
{
    QStringList names;
    for (const TSchemaField &f : table.fields)
        if (f.def.role == TFieldRole::Stored)
            names << f.def.name;
    return names;
}

// Exact-case search: the files and other modules use the names as written.
const TSchemaField *FindField(const TTableSchema &table, const QString &name)
{
    for (const TSchemaField &f : table.fields)
        if (f.def.name == name)
            return &f;
    return nullptr;
}

const TTableSchema *FindTable(const QString &name)
{
    for (const TTableSchema &t : Schema::Tables())
        if (t.name == name)
            return &t;
    return nullptr;
}

int OpeningPosition(const QString &name)
{
    const auto &tables = Schema::Tables();
    for (std::size_t i = 0; i < tables.size(); ++i)
        if (tables[i].name == name)
            return int(i);
    return -1;
}

bool IsIntegerKind(TFieldKind kind)
{
    return kind == TFieldKind::Integer || kind == TFieldKind::SmallInt || kind == TFieldKind::AutoInc;
}

// Whether a default value has the type the field's kind is assigned with.
bool ValueFitsKind(const QVariant &value, TFieldKind kind)
{
    const QMetaType type = value.metaType();
    switch (kind) {
    case TFieldKind::String:
    case TFieldKind::Memo:
        return type == QMetaType::fromType<QString>();
    case TFieldKind::Integer:
    case TFieldKind::SmallInt:
    case TFieldKind::AutoInc:
        return type == QMetaType::fromType<int>();
    case TFieldKind::Boolean:
        return type == QMetaType::fromType<bool>();
    case TFieldKind::Float:
    case TFieldKind::Time:
        return type == QMetaType::fromType<double>();
    case TFieldKind::DateTime:
        return type == QMetaType::fromType<double>() || type == QMetaType::fromType<TDefaultNow>();
    case TFieldKind::Currency:
        return type == QMetaType::fromType<TCurrency>();
    case TFieldKind::Blob:
        return type == QMetaType::fromType<QByteArray>();
    }
    return false;
}

TEST(SchemaTest, TablesInOpeningOrderFoundByNameWithCaseIgnored)
{
    const QStringList expected = {
        "adsUserTypes", "adsUserAuthority", "adsBillingTypes", "adsClientTypes", "adsManagers",
        "adsUsers",     "adsClients",       "adsProjects",     "adsTaskCodes",   "adsTasks",
        "adsReporting", "adsReports",       "adsDefaults",     "adsChartData",   "adsMaxNumbers",
    };
    QStringList names;
    for (const TTableSchema &t : Schema::Tables())
        names << t.name;
    EXPECT_EQ(names, expected);

    EXPECT_EQ(&Schema::Table(u"ADSTASKCODES"), FindTable("adsTaskCodes"));
    EXPECT_EQ(&Schema::Table(u"adsmaxnumbers"), FindTable("adsMaxNumbers"));
    EXPECT_THROW(Schema::Table(u"adsTask"), EDatabaseError);
    EXPECT_THROW(Schema::Table(u""), EDatabaseError);
}

TEST(SchemaTest, StorageKindDecidesTheFile)
{
    const std::set<QString> persisted = {"adsTasks",    "adsTaskCodes",  "adsProjects",
                                         "adsClients",  "adsUsers",      "adsManagers",
                                         "adsUserTypes", "adsDefaults",  "adsReporting"};
    const std::set<QString> startUp = {"adsUserAuthority", "adsBillingTypes", "adsClientTypes", "adsReports"};
    for (const TTableSchema &t : Schema::Tables()) {
        SCOPED_TRACE(t.name.toStdString());
        const TTableStorage expected = persisted.count(t.name)  ? TTableStorage::Persisted
                                       : startUp.count(t.name) ? TTableStorage::StartUp
                                                               : TTableStorage::Working;
        EXPECT_EQ(t.storage, expected);
        // Files are named "<Table>file.xml"; working tables have none.
        if (t.storage == TTableStorage::Working)
            EXPECT_TRUE(t.fileName.isEmpty());
        else
            EXPECT_EQ(t.fileName, t.name.mid(3) + "file.xml");
    }
}

TEST(SchemaTest, StoredFieldsInFileOrder)
{
    const struct
    {
        const char *table;
        QStringList fields;
    } cases[] = {
        {"adsTasks",
         {"JobId", "TaskCode", "TaskDescription", "Active", "Completed", "DateTimeCreated", "DateTimeAmended",
          "MonDuration", "TueDuration", "WedDuration", "ThuDuration", "FriDuration", "SatDuration", "SunDuration",
          "Priority", "PriorityImage", "ProjectNumber", "ClientId"}},
        {"adsReporting",
         {"TaskCode", "TaskDescription", "DateTimeCreated", "DateTimeAmended", "Active", "Completed",
          "DateTimeSubmitted", "Duration", "ProjectNumber", "ClientId", "UserId", "InvoiceNumber", "AuthUserId"}},
        {"adsUsers",
         {"UserID", "DepartmentName", "UserNumber", "FirstName", "MiddleName", "LastName", "Title", "Notes",
          "OfficeLocation", "SignOn", "Password", "UserTypeNumber", "DailyRate", "ManagerID", "UserAuthNumber"}},
        {"adsChartData",
         {"TaskCode", "DateTimeCreated", "Active", "Completed", "Duration", "ProjectNumber", "ClientId", "UserId"}},
        {"adsDefaults",
         {"OneTaskActive", "NewTaskInsertAllowed", "GenerateJobId", "DayDuration", "StartDayOfWeek",
          "WeekStartDate", "MinimumTaskDuration", "DisplayProjects", "DisplayClients", "DisplayMon", "DisplayTue",
          "DisplayWed", "DisplayThu", "DisplayFri", "DisplaySat", "DisplaySun", "RemoveUnusedTasks",
          "DisplaySummaryDuration", "DisplayPriority", "StartTime", "EndTime"}},
        {"adsManagers", {"ManagerName", "ManagerID"}},
        {"adsMaxNumbers", {"UserId", "ClientId", "ProjectNumber"}},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.table);
        EXPECT_EQ(StoredNames(Schema::Table(QString::fromLatin1(c.table))), c.fields);
    }
}

TEST(SchemaTest, FieldNamesAreUniqueWithinEachTable)
{
    for (const TTableSchema &t : Schema::Tables()) {
        std::set<QString> seen;
        for (const TSchemaField &f : t.fields)
            EXPECT_TRUE(seen.insert(f.def.name.toLower()).second) << t.name.toStdString() << "." << f.def.name.toStdString();
    }
}

TEST(SchemaTest, KindsSizesAndRoles)
{
    const struct
    {
        const char *table;
        const char *field;
        TFieldKind kind;
        int size; ///< 0 for kinds without a length
        TFieldRole role;
    } cases[] = {
        {"adsTasks", "TaskCode", TFieldKind::String, 10, TFieldRole::Stored},
        {"adsTasks", "TaskDescription", TFieldKind::String, 75, TFieldRole::Stored},
        {"adsTasks", "SunDuration", TFieldKind::Time, 0, TFieldRole::Stored},
        {"adsTasks", "PriorityImage", TFieldKind::Blob, 0, TFieldRole::Stored},
        {"adsTasks", "TaskCodeLookup", TFieldKind::String, 53, TFieldRole::Lookup},
        {"adsTasks", "Days", TFieldKind::Integer, 0, TFieldRole::Calculated},
        {"adsTasks", "PartDay", TFieldKind::Time, 0, TFieldRole::Calculated},
        {"adsTaskCodes", "DailyRate", TFieldKind::Currency, 0, TFieldRole::Stored},
        {"adsTaskCodes", "TaskSummary", TFieldKind::String, 53, TFieldRole::Calculated},
        {"adsClients", "ClientName", TFieldKind::String, 20, TFieldRole::Stored}, // no size given
        {"adsClients", "BillingTypeNumber", TFieldKind::SmallInt, 0, TFieldRole::Stored},
        {"adsClients", "Notes", TFieldKind::Memo, 0, TFieldRole::Stored},
        {"adsClients", "TaxRegistration", TFieldKind::String, 50, TFieldRole::Stored},
        {"adsUsers", "UserID", TFieldKind::AutoInc, 0, TFieldRole::Stored},
        {"adsUsers", "Title", TFieldKind::String, 5, TFieldRole::Stored},
        {"adsUsers", "UserName", TFieldKind::String, 50, TFieldRole::Calculated},
        {"adsManagers", "ManagerName", TFieldKind::String, 50, TFieldRole::Stored},
        {"adsReporting", "Duration", TFieldKind::DateTime, 0, TFieldRole::Stored},
        {"adsReporting", "UserName", TFieldKind::String, 20, TFieldRole::Lookup},
        {"adsReports", "ReportDescription", TFieldKind::String, 100, TFieldRole::Stored},
        {"adsDefaults", "DayDuration", TFieldKind::Float, 0, TFieldRole::Stored},
        {"adsChartData", "Duration", TFieldKind::Float, 0, TFieldRole::Stored},
        {"adsChartData", "ProjectName", TFieldKind::String, 10, TFieldRole::Lookup},
        {"adsChartData", "TaskDayRate", TFieldKind::Currency, 0, TFieldRole::Lookup},
        {"adsChartData", "DurationText", TFieldKind::String, 30, TFieldRole::Calculated},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(std::string(c.table) + "." + c.field);
        const TSchemaField *f = FindField(Schema::Table(QString::fromLatin1(c.table)), QString::fromLatin1(c.field));
        ASSERT_NE(f, nullptr);
        EXPECT_EQ(f->def.kind, c.kind);
        EXPECT_EQ(f->def.size, c.size);
        EXPECT_EQ(f->def.role, c.role);
    }
}

TEST(SchemaTest, TextProperties)
{
    const struct
    {
        const char *table;
        const char *field;
        const char *displayFormat;
        const char *editFormat;
        const char *editMask;
        int displayWidth;
    } cases[] = {
        {"adsTasks", "MonDuration", "hh:mm", "", "!99:99;1;0", 10},
        {"adsTasks", "SatDuration", "hh:mm", "", "!99:99;1;0", 0},
        {"adsTasks", "Days", "####", "####", "", 0},
        {"adsTasks", "PartDay", "t", "", "", 0},
        {"adsTasks", "ProjectName", "", "", "", 20},
        {"adsReporting", "Duration", "hh:mm", "", "!99:99;1;0", 0},
        {"adsTaskCodes", "CompletionDate", "ddddd", "", "!90/90/0000;1;_", 0},
        {"adsProjects", "CompletionDate", "ddddd", "", "!90/90/0000;1;_", 0},
        {"adsDefaults", "DayDuration", "0.00", "0.00", "", 0},
        {"adsDefaults", "WeekStartDate", "", "", "!90/90/00;1;_", 0},
        {"adsDefaults", "EndTime", "hh:mm", "", "!90:00;1;_", 0},
        {"adsUsers", "UserName", "", "", "", 25},
        {"adsManagers", "ManagerName", "", "", "", 25},
        {"adsChartData", "DurationText", "", "", "", 30},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(std::string(c.table) + "." + c.field);
        const TSchemaField *f = FindField(Schema::Table(QString::fromLatin1(c.table)), QString::fromLatin1(c.field));
        ASSERT_NE(f, nullptr);
        EXPECT_EQ(f->def.displayFormat, QString::fromLatin1(c.displayFormat));
        EXPECT_EQ(f->def.editFormat, QString::fromLatin1(c.editFormat));
        EXPECT_EQ(f->def.editMask, QString::fromLatin1(c.editMask));
        EXPECT_EQ(f->def.displayWidth, c.displayWidth);
    }
}

TEST(SchemaTest, OnlyTaskCodesOfLinesHistoryAndReportSetAreHidden)
{
    std::set<QString> hidden;
    for (const TTableSchema &t : Schema::Tables())
        for (const TSchemaField &f : t.fields)
            if (!f.def.visible)
                hidden.insert(t.name + "." + f.def.name);
    const std::set<QString> expected = {"adsTasks.TaskCode", "adsReporting.TaskCode", "adsChartData.TaskCode"};
    EXPECT_EQ(hidden, expected);
}

TEST(SchemaTest, LookupsReferToExistingTablesAndFields)
{
    int lookups = 0;
    for (const TTableSchema &t : Schema::Tables()) {
        for (const TSchemaField &f : t.fields) {
            SCOPED_TRACE((t.name + "." + f.def.name).toStdString());
            if (f.def.role != TFieldRole::Lookup) {
                EXPECT_TRUE(f.lookupTable.isEmpty());
                EXPECT_TRUE(f.def.keyFields.isEmpty());
                continue;
            }
            ++lookups;
            const TTableSchema *target = FindTable(f.lookupTable);
            ASSERT_NE(target, nullptr) << f.lookupTable.toStdString();
            // The looked-up table is opened first, so its rows exist while this table is seeded.
            EXPECT_LT(OpeningPosition(target->name), OpeningPosition(t.name));

            const QStringList ownKeys = f.def.keyFields.split(u';');
            const QStringList targetKeys = f.def.lookupKeyFields.split(u';');
            ASSERT_EQ(ownKeys.size(), targetKeys.size());
            for (qsizetype i = 0; i < ownKeys.size(); ++i) {
                const TSchemaField *own = FindField(t, ownKeys[i]);
                const TSchemaField *key = FindField(*target, targetKeys[i]);
                ASSERT_NE(own, nullptr) << ownKeys[i].toStdString();
                ASSERT_NE(key, nullptr) << targetKeys[i].toStdString();
                EXPECT_EQ(own->def.role, TFieldRole::Stored);
                EXPECT_EQ(key->def.role, TFieldRole::Stored);
                // Keys compare by value: both numbers or both texts.
                EXPECT_EQ(IsIntegerKind(own->def.kind), IsIntegerKind(key->def.kind));
                EXPECT_EQ(IsTextKind(own->def.kind), IsTextKind(key->def.kind));
            }
            const TSchemaField *result = FindField(*target, f.def.lookupResultField);
            ASSERT_NE(result, nullptr) << f.def.lookupResultField.toStdString();
            EXPECT_NE(result->def.role, TFieldRole::Lookup);
            EXPECT_EQ(result->def.kind, f.def.kind);
        }
    }
    EXPECT_GT(lookups, 0);
}

TEST(SchemaTest, DefaultRowsAssignStoredFieldsWithValuesOfTheirKind)
{
    for (const TTableSchema &t : Schema::Tables()) {
        std::set<QString> keys;
        for (const TDefaultRow &row : t.defaultRows) {
            ASSERT_FALSE(row.empty());
            std::set<QString> assigned;
            for (const auto &[name, value] : row) {
                SCOPED_TRACE((t.name + "." + name).toStdString());
                const TSchemaField *f = FindField(t, name);
                ASSERT_NE(f, nullptr);
                EXPECT_EQ(f->def.role, TFieldRole::Stored);
                EXPECT_TRUE(ValueFitsKind(value, f->def.kind)) << value.metaType().name();
                EXPECT_TRUE(assigned.insert(name).second) << "assigned twice";
            }
            // The first value assigned is the row's key.
            EXPECT_TRUE(keys.insert(row.front().second.toString()).second)
                << t.name.toStdString() << ": key " << row.front().second.toString().toStdString() << " repeated";
        }
    }
}

TEST(SchemaTest, TablesThatStartWithDefaultRows)
{
    // Every table read from a file starts with rows except the history (filled by
    // submission) and the options (a first run fills them).
    for (const TTableSchema &t : Schema::Tables()) {
        SCOPED_TRACE(t.name.toStdString());
        const bool seeded = t.storage != TTableStorage::Working && t.name != "adsReporting" && t.name != "adsDefaults";
        EXPECT_EQ(!t.defaultRows.empty(), seeded);
    }
    EXPECT_EQ(Schema::Table(u"adsReports").defaultRows.size(), 4u);
    EXPECT_EQ(Schema::Table(u"adsTaskCodes").defaultRows.size(), 2u);
}

TEST(SchemaTest, DefaultRowsKeepTheirAssignmentOrder)
{
    const auto names = [](const TDefaultRow &row) {
        QStringList list;
        for (const auto &pair : row)
            list << pair.first;
        return list;
    };
    const TTableSchema &users = Schema::Table(u"adsUsers");
    ASSERT_EQ(users.defaultRows.size(), 1u);
    EXPECT_EQ(names(users.defaultRows.front()),
              (QStringList{"UserID", "FirstName", "LastName", "SignOn", "Password", "ManagerID", "UserAuthNumber",
                           "UserTypeNumber", "DailyRate"}));

    // Rows given as tuples follow the stored field order.
    for (const char *table : {"adsTaskCodes", "adsProjects", "adsReports", "adsUserAuthority"}) {
        const TTableSchema &t = Schema::Table(QString::fromLatin1(table));
        for (const TDefaultRow &row : t.defaultRows)
            EXPECT_EQ(names(row), StoredNames(t)) << table;
    }

    const TDefaultRow &task = Schema::Table(u"adsTasks").defaultRows.at(0);
    EXPECT_EQ(names(task).size(), 17); // every stored field but the priority image
    EXPECT_FALSE(names(task).contains("PriorityImage"));
}

TEST(SchemaTest, DefaultValueReplacesTheCreationMoment)
{
    const double now = 45678.5;
    EXPECT_EQ(Schema::DefaultValue(QVariant::fromValue(TDefaultNow{}), now), QVariant(now));
    EXPECT_EQ(Schema::DefaultValue(QVariant(0.0), now), QVariant(0.0));
    EXPECT_EQ(Schema::DefaultValue(QVariant(-101), now), QVariant(-101));
    EXPECT_EQ(Schema::DefaultValue(QString("GEN"), now), QVariant(QString("GEN")));
    EXPECT_FALSE(Schema::DefaultValue(QVariant(), now).isValid());
    EXPECT_EQ(Schema::DefaultValue(QVariant::fromValue(TCurrency::FromInteger(3)), now).value<TCurrency>(),
              TCurrency::FromInteger(3));
}

// --- through the store ------------------------------------------------------------------

// Every table of the schema defined on record tables, lookups bound to each other.
class SchemaStoreTest : public ::testing::Test
{
protected:
    TRecordTable &Define(const QString &name)
    {
        auto &slot = m_tables[name];
        slot = std::make_unique<TRecordTable>(name);
        Schema::DefineFields(*slot, Schema::Table(name), [this](const QString &table) { return Find(table); });
        return *slot;
    }

    TRecordTable *Find(const QString &name)
    {
        const auto it = m_tables.find(name);
        return it == m_tables.end() ? nullptr : it->second.get();
    }

    static void Seed(TRecordTable &table, const TTableSchema &schema, double now)
    {
        table.CreateDataSet();
        for (const TDefaultRow &row : schema.defaultRows) {
            table.Append();
            for (const auto &[name, value] : row)
                table.SetFieldValue(name, Schema::DefaultValue(value, now));
            table.Post();
        }
    }

    std::map<QString, std::unique_ptr<TRecordTable>> m_tables;
};

TEST_F(SchemaStoreTest, EveryTableOpensWithItsStoredFieldsInOrder)
{
    for (const TTableSchema &schema : Schema::Tables()) {
        SCOPED_TRACE(schema.name.toStdString());
        TRecordTable &table = Define(schema.name);
        ASSERT_EQ(table.FieldCount(), int(schema.fields.size()));
        table.CreateDataSet();
        EXPECT_TRUE(table.Active());
        EXPECT_EQ(table.RecordCount(), 0);

        const std::vector<TColumnDef> stored = table.StoredDefs();
        std::vector<const TSchemaField *> expected;
        for (const TSchemaField &f : schema.fields)
            if (f.def.role == TFieldRole::Stored)
                expected.push_back(&f);
        ASSERT_EQ(stored.size(), expected.size());
        for (std::size_t i = 0; i < stored.size(); ++i) {
            EXPECT_EQ(stored[i].name, expected[i]->def.name);
            EXPECT_EQ(stored[i].kind, expected[i]->def.kind);
            EXPECT_EQ(stored[i].size, expected[i]->def.size);
        }
        // Text properties travel with the definition.
        for (const TSchemaField &f : schema.fields) {
            const TTableField &field = table.FieldByName(f.def.name);
            EXPECT_EQ(field.Role(), f.def.role);
            EXPECT_EQ(field.Visible(), f.def.visible);
            EXPECT_EQ(field.EditMask(), f.def.editMask);
        }
    }
}

TEST_F(SchemaStoreTest, LookupsAreBoundToTheResolvedTables)
{
    for (const TTableSchema &schema : Schema::Tables())
        Define(schema.name);
    for (const TTableSchema &schema : Schema::Tables()) {
        for (const TSchemaField &f : schema.fields) {
            if (f.def.role == TFieldRole::Lookup) {
                EXPECT_EQ(Find(schema.name)->FieldByName(f.def.name).Def().lookupDataSet, Find(f.lookupTable))
                    << (schema.name + "." + f.def.name).toStdString();
            }
        }
    }

    // Without a table to bind to, a lookup stays unbound.
    TRecordTable alone(QStringLiteral("adsTasks"));
    Schema::DefineFields(alone, Schema::Table(u"adsTasks"), [](const QString &) { return nullptr; });
    EXPECT_EQ(alone.FieldByName(u"ProjectName").Def().lookupDataSet, nullptr);
    TRecordTable noResolver(QStringLiteral("adsTasks"));
    Schema::DefineFields(noResolver, Schema::Table(u"adsTasks"), {});
    EXPECT_EQ(noResolver.FieldByName(u"ClientName").Def().lookupDataSet, nullptr);
}

TEST_F(SchemaStoreTest, DefaultRowsStoreAsGiven)
{
    const double now = 45678.25;
    for (const TTableSchema &schema : Schema::Tables()) {
        if (schema.defaultRows.empty())
            continue;
        SCOPED_TRACE(schema.name.toStdString());
        TRecordTable &table = Define(schema.name);
        Seed(table, schema, now);
        ASSERT_EQ(table.RecordCount(), int(schema.defaultRows.size()));
        table.First();
        for (const TDefaultRow &row : schema.defaultRows) {
            for (const auto &[name, value] : row) {
                const TTableField &field = table.FieldByName(name);
                const QVariant want = Schema::DefaultValue(value, now);
                if (field.Kind() == TFieldKind::Currency)
                    EXPECT_EQ(field.AsCurrency(), want.value<TCurrency>()) << name.toStdString();
                else
                    EXPECT_EQ(field.Value(), want) << name.toStdString();
            }
            table.Next();
        }
    }
}

TEST_F(SchemaStoreTest, ReportSetLookupsReadTheirTablesAndCutToSize)
{
    TRecordTable &projects = Define("adsProjects");
    TRecordTable &codes = Define("adsTaskCodes");
    TRecordTable &chart = Define("adsChartData");
    projects.CreateDataSet();
    projects.Append();
    projects.SetFieldValue(u"ProjectNumber", -1);
    projects.SetFieldValue(u"ProjectName", QStringLiteral("Infrastructure"));
    projects.Post();
    codes.CreateDataSet();
    codes.Append();
    codes.SetFieldValue(u"TaskCode", QStringLiteral("DEV"));
    codes.SetFieldValue(u"TaskDescription", QStringLiteral("Development"));
    codes.SetFieldValue(u"DailyRate", QVariant::fromValue(TCurrency::FromInteger(350)));
    codes.Post();

    chart.CreateDataSet();
    chart.Append();
    chart.SetFieldValue(u"TaskCode", QStringLiteral("DEV"));
    chart.SetFieldValue(u"ProjectNumber", -1);
    chart.SetFieldValue(u"ClientId", 7);
    chart.Post();

    EXPECT_EQ(chart.FieldByName(u"ProjectName").AsString(), QStringLiteral("Infrastruc")); // cut to 10 characters
    EXPECT_EQ(chart.FieldByName(u"TaskDescription").AsString(), QStringLiteral("Development"));
    EXPECT_EQ(chart.FieldByName(u"TaskDayRate").AsCurrency(), TCurrency::FromInteger(350));
    // No client table exists here, and no client 7 would match anyway.
    EXPECT_TRUE(chart.FieldByName(u"ClientName").IsNull());
}

} // namespace
