// Rules of the reference data: numbering of new rows, key checks, in-use
// checks before deletion, project defaults of task codes, the summary and
// name texts, the manager list, and the creation routines of the import.
#include "support/DataModuleFixture.h"

#include "app/core/DateTimeValue.h"
#include "app/core/Errors.h"

#include <gtest/gtest.h>

#include <functional>
#include <optional>

namespace {

void Set(TRecordTable &table, QStringView field, const QVariant &value)
{
    table.FieldByName(field).SetValue(value);
}

QVariant Money(std::int64_t amount)
{
    return QVariant::fromValue(TCurrency::FromInteger(amount));
}

int AddProject(TdmTasks_Form &dm, const QString &name)
{
    TRecordTable &p = dm.adsProjects;
    p.Insert();
    Set(p, u"ProjectName", name);
    p.Post();
    return p.FieldByName(u"ProjectNumber").AsInteger();
}

int AddClient(TdmTasks_Form &dm, const QString &name)
{
    TRecordTable &c = dm.adsClients;
    c.Insert();
    Set(c, u"ClientName", name);
    c.Post();
    return c.FieldByName(u"ClientId").AsInteger();
}

int AddUser(TdmTasks_Form &dm, const QString &first, const QString &last, std::optional<int> manager = {})
{
    TRecordTable &u = dm.adsUsers;
    u.Insert();
    Set(u, u"FirstName", first);
    Set(u, u"LastName", last);
    Set(u, u"SignOn", first.toLower());
    Set(u, u"Password", QStringLiteral("secret"));
    if (manager)
        Set(u, u"ManagerID", *manager);
    u.Post();
    return u.FieldByName(u"UserID").AsInteger();
}

void AddTaskCode(TdmTasks_Form &dm, const QString &code)
{
    TRecordTable &t = dm.adsTaskCodes;
    t.Insert();
    Set(t, u"TaskCode", code);
    t.Post();
}

void SetUserType(TdmTasks_Form &dm, int userId, int type)
{
    ASSERT_TRUE(dm.adsUsers.Locate(QStringLiteral("UserID"), userId));
    dm.adsUsers.Edit();
    Set(dm.adsUsers, u"UserTypeNumber", type);
    dm.adsUsers.Post();
}

// A submitted history row with one field set.
void AddHistory(TdmTasks_Form &dm, QStringView field, const QVariant &value)
{
    TRecordTable &h = dm.adsReporting;
    h.Append();
    Set(h, field, value);
    h.Post();
}

// The manager rows of a user, counted over every row of the list.
int ManagerRows(TdmTasks_Form &dm, int userId)
{
    TRecordTable &m = dm.adsManagers;
    int count = 0;
    for (int i = 0; i < m.RecordCount(); ++i)
        count += m.ValueAt(i, m.FieldByName(u"ManagerID")).toInt() == userId ? 1 : 0;
    return count;
}

class ReferenceRules : public ::testing::Test
{
protected:
    void SetUp() override
    {
        dm = sandbox.Create();
        sandbox.recorder.messages.clear();
    }

    QStringList &Messages() { return sandbox.recorder.messages; }

    TDataModuleSandbox sandbox;
    std::unique_ptr<TdmTasks_Form> dm;
};

// --- numbering ------------------------------------------------------------------------

TEST_F(ReferenceRules, NewProjectsClientsAndUsersCountDownFromTheHighestNumber)
{
    // The seeded rows keep their own key 0 and take no number.
    EXPECT_TRUE(dm->adsProjects.Locate(QStringLiteral("ProjectNumber"), 0));
    EXPECT_TRUE(dm->adsClients.Locate(QStringLiteral("ClientId"), 0));
    EXPECT_TRUE(dm->adsUsers.Locate(QStringLiteral("UserID"), 0));

    EXPECT_EQ(AddProject(*dm, QStringLiteral("Alpha")), -1);
    EXPECT_EQ(AddProject(*dm, QStringLiteral("Beta")), -2);
    EXPECT_EQ(AddClient(*dm, QStringLiteral("Acme")), -1);
    EXPECT_EQ(AddClient(*dm, QStringLiteral("Bolt")), -2);
    EXPECT_EQ(AddUser(*dm, QStringLiteral("Ann"), QStringLiteral("Lee")), -1);
    EXPECT_EQ(AddUser(*dm, QStringLiteral("Bob"), QStringLiteral("Marsh")), -2);
    EXPECT_EQ(dm->adsMaxNumbers.FieldByName(u"ProjectNumber").AsInteger(), 2);
    EXPECT_EQ(dm->adsMaxNumbers.FieldByName(u"ClientId").AsInteger(), 2);
    EXPECT_EQ(dm->adsMaxNumbers.FieldByName(u"UserId").AsInteger(), 2);
}

TEST_F(ReferenceRules, ProjectNumbersGoOnAfterARestart)
{
    EXPECT_EQ(AddProject(*dm, QStringLiteral("Alpha")), -1);
    EXPECT_EQ(AddProject(*dm, QStringLiteral("Beta")), -2);
    dm->SetSetupRequired(false);
    dm->SaveData();
    dm.reset();

    dm = sandbox.Create();
    EXPECT_EQ(dm->adsProjects.RecordCount(), 3);
    EXPECT_EQ(AddProject(*dm, QStringLiteral("Gamma")), -3);
}

TEST_F(ReferenceRules, NewRowsGetTheirDefaults)
{
    dm->adsClients.Insert();
    EXPECT_EQ(dm->adsClients.FieldByName(u"BillingTypeNumber").AsInteger(), 1);
    EXPECT_EQ(dm->adsClients.FieldByName(u"ClientTypeNumber").AsInteger(), 1);
    dm->adsClients.Cancel();

    dm->adsUsers.Insert();
    TRecordTable &u = dm->adsUsers;
    for (const char16_t *field : {u"UserTypeNumber", u"UserAuthNumber", u"ManagerID"}) {
        SCOPED_TRACE(QStringView(field).toString().toStdString());
        EXPECT_FALSE(u.FieldByName(field).IsNull());
        EXPECT_EQ(u.FieldByName(field).AsInteger(), 0) << "a new user's manager is 0, not the None row";
    }
    EXPECT_EQ(u.FieldByName(u"DailyRate").AsCurrency(), TCurrency());
    u.Cancel();

    dm->adsTaskCodes.Insert();
    EXPECT_FALSE(dm->adsTaskCodes.FieldByName(u"ProjectNumber").IsNull());
    EXPECT_EQ(dm->adsTaskCodes.FieldByName(u"ProjectNumber").AsInteger(), 0);
    EXPECT_EQ(dm->adsTaskCodes.FieldByName(u"ProjectName").AsString(), QStringLiteral("None"));
    dm->adsTaskCodes.Cancel();
}

// --- refusals before a row is stored ------------------------------------------------------

struct BlankKeyCase
{
    const char *name;
    TRecordTable TdmTasks_Form::*table;
    std::function<void(TRecordTable &)> fill;
    const char *message;
};

void FillUserExcept(TRecordTable &u, QStringView missing)
{
    for (const char16_t *field : {u"FirstName", u"LastName", u"SignOn", u"Password"})
        Set(u, field, QStringView(field) == missing ? QStringLiteral("  ") : QStringLiteral("x"));
}

TEST_F(ReferenceRules, RowsWithoutTheirKeyFieldsAreNotStored)
{
    const BlankKeyCase cases[] = {
        {"task code without a code", &TdmTasks_Form::adsTaskCodes,
         [](TRecordTable &t) { Set(t, u"TaskDescription", QStringLiteral("No code")); }, "Key Field(s) Blank"},
        {"project with a blank name", &TdmTasks_Form::adsProjects,
         [](TRecordTable &t) { Set(t, u"ProjectName", QStringLiteral("   ")); }, "Key Field Blank(s)"},
        {"client with a blank name", &TdmTasks_Form::adsClients,
         [](TRecordTable &t) { Set(t, u"ClientName", QStringLiteral(" ")); }, "Client Name Blank"},
        {"user without a first name", &TdmTasks_Form::adsUsers, [](TRecordTable &t) { FillUserExcept(t, u"FirstName"); },
         "Key Field Blank(s)"},
        {"user without a last name", &TdmTasks_Form::adsUsers, [](TRecordTable &t) { FillUserExcept(t, u"LastName"); },
         "Key Field Blank(s)"},
        {"user without a sign-on", &TdmTasks_Form::adsUsers, [](TRecordTable &t) { FillUserExcept(t, u"SignOn"); },
         "Key Field Blank(s)"},
        {"user without a password", &TdmTasks_Form::adsUsers, [](TRecordTable &t) { FillUserExcept(t, u"Password"); },
         "Key Field Blank(s)"},
    };
    for (const BlankKeyCase &c : cases) {
        SCOPED_TRACE(c.name);
        TRecordTable &table = (*dm).*c.table;
        const std::size_t stored = table.Data()->RowCount();
        table.Insert();
        c.fill(table);
        try {
            table.Post();
            ADD_FAILURE() << "the row was stored";
        } catch (const EVRQException &e) {
            EXPECT_EQ(e.Message(), QString::fromLatin1(c.message));
        }
        EXPECT_EQ(table.State(), TDataSetState::Insert) << "the row stays pending";
        EXPECT_EQ(table.Data()->RowCount(), stored);
        table.Cancel();
    }
}

TEST_F(ReferenceRules, TaskCodeMustBeFilledAndUnique)
{
    AddTaskCode(*dm, QStringLiteral("O'BRIEN"));
    struct
    {
        const char *proposed;
        const char *refusal; // null: accepted
    } const cases[] = {
        {"", "Task code cannot be blank"},
        {"   ", "Task code cannot be blank"},
        {"GEN", "Task code already exists"},
        {"gen", "Task code already exists"},
        {"o'brien", "Task code already exists"},
        {"O'", nullptr},
        {"O'NEIL", nullptr},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.proposed);
        TRecordTable &t = dm->adsTaskCodes;
        t.Insert();
        Set(t, u"TaskCode", QStringLiteral("NEW"));
        try {
            Set(t, u"TaskCode", QString::fromLatin1(c.proposed));
            EXPECT_EQ(c.refusal, nullptr) << "accepted";
            EXPECT_EQ(t.FieldByName(u"TaskCode").AsString(), QString::fromLatin1(c.proposed));
        } catch (const EVRQException &e) {
            ASSERT_NE(c.refusal, nullptr) << e.what();
            EXPECT_EQ(e.Message(), QString::fromLatin1(c.refusal));
            EXPECT_EQ(t.FieldByName(u"TaskCode").AsString(), QStringLiteral("NEW")) << "the field keeps its value";
        }
        t.Cancel();
    }
}

TEST_F(ReferenceRules, GivingATaskCodeItsOwnCodeAgainIsRefused)
{
    ASSERT_TRUE(dm->adsTaskCodes.Locate(QStringLiteral("TaskCode"), QStringLiteral("ADMIN")));
    dm->adsTaskCodes.Edit();
    EXPECT_THROW(Set(dm->adsTaskCodes, u"TaskCode", QStringLiteral("Admin")), EVRQException);
}

// --- deletions of rows in use ----------------------------------------------------------------

struct DeleteCase
{
    const char *name;
    TRecordTable TdmTasks_Form::*table;
    const char *keyField;
    // Prepares the data and returns the key of the row to delete.
    std::function<QVariant(TdmTasks_Form &)> prepare;
    const char *refusal; // null: the deletion goes ahead
};

TEST_F(ReferenceRules, RowsThatRecordedTimeReferToCannotBeDeleted)
{
    const char *const taskInUse = "Task cannot be deleted because it has been used to record time against.";
    const char *const projectInUse = "Project cannot be deleted because it is used on one or more tasks.";
    const char *const clientInUse = "Client cannot be deleted because it has been used to record time against.";
    const char *const userInUse = "User cannot be deleted because it has been used to record time against.";
    // The seeded weekly line is GEN on project 0 for client 0.
    const DeleteCase cases[] = {
        {"project None while a weekly line uses it", &TdmTasks_Form::adsProjects, "ProjectNumber",
         [](TdmTasks_Form &) { return QVariant(0); }, projectInUse},
        {"project used only in the history", &TdmTasks_Form::adsProjects, "ProjectNumber",
         [](TdmTasks_Form &d) {
             const int p = AddProject(d, QStringLiteral("Alpha"));
             AddHistory(d, u"ProjectNumber", p);
             return QVariant(p);
         },
         projectInUse},
        {"unused project", &TdmTasks_Form::adsProjects, "ProjectNumber",
         [](TdmTasks_Form &d) { return QVariant(AddProject(d, QStringLiteral("Alpha"))); }, nullptr},
        {"project without a number", &TdmTasks_Form::adsProjects, "ProjectNumber",
         [](TdmTasks_Form &d) {
             d.adsProjects.Insert();
             Set(d.adsProjects, u"ProjectName", QStringLiteral("Loose"));
             Set(d.adsProjects, u"ProjectNumber", QVariant());
             d.adsProjects.Post();
             return QVariant();
         },
         nullptr},
        {"task code on a weekly line", &TdmTasks_Form::adsTaskCodes, "TaskCode",
         [](TdmTasks_Form &) { return QVariant(QStringLiteral("GEN")); }, taskInUse},
        {"task code only in the history", &TdmTasks_Form::adsTaskCodes, "TaskCode",
         [](TdmTasks_Form &d) {
             AddHistory(d, u"TaskCode", QStringLiteral("admin"));
             return QVariant(QStringLiteral("ADMIN"));
         },
         taskInUse},
        {"task code with an apostrophe in the history", &TdmTasks_Form::adsTaskCodes, "TaskCode",
         [](TdmTasks_Form &d) {
             AddTaskCode(d, QStringLiteral("O'BRIEN"));
             AddHistory(d, u"TaskCode", QStringLiteral("O'BRIEN"));
             return QVariant(QStringLiteral("O'BRIEN"));
         },
         taskInUse},
        {"task code with an apostrophe, unused", &TdmTasks_Form::adsTaskCodes, "TaskCode",
         [](TdmTasks_Form &d) {
             AddTaskCode(d, QStringLiteral("O'BRIEN"));
             AddHistory(d, u"TaskCode", QStringLiteral("O"));
             return QVariant(QStringLiteral("O'BRIEN"));
         },
         nullptr},
        {"unused task code", &TdmTasks_Form::adsTaskCodes, "TaskCode",
         [](TdmTasks_Form &) { return QVariant(QStringLiteral("ADMIN")); }, nullptr},
        {"client on a weekly line", &TdmTasks_Form::adsClients, "ClientId",
         [](TdmTasks_Form &) { return QVariant(0); }, clientInUse},
        {"client only in the history", &TdmTasks_Form::adsClients, "ClientId",
         [](TdmTasks_Form &d) {
             const int c = AddClient(d, QStringLiteral("Acme"));
             AddHistory(d, u"ClientId", c);
             return QVariant(c);
         },
         clientInUse},
        {"user with submitted time", &TdmTasks_Form::adsUsers, "UserID",
         [](TdmTasks_Form &d) {
             const int u = AddUser(d, QStringLiteral("Ann"), QStringLiteral("Lee"));
             AddHistory(d, u"UserId", u);
             return QVariant(u);
         },
         userInUse},
        {"user without submitted time whom others name as manager", &TdmTasks_Form::adsUsers, "UserID",
         [](TdmTasks_Form &d) {
             const int boss = AddUser(d, QStringLiteral("Ann"), QStringLiteral("Lee"));
             SetUserType(d, boss, 1);
             AddUser(d, QStringLiteral("Bob"), QStringLiteral("Marsh"), boss);
             return QVariant(boss);
         },
         nullptr},
    };
    for (const DeleteCase &c : cases) {
        SCOPED_TRACE(c.name);
        TDataModuleSandbox box;
        auto d = box.Create();
        const QVariant key = c.prepare(*d);
        box.recorder.messages.clear();
        TRecordTable &table = (*d).*c.table;
        const QString keyField = QString::fromLatin1(c.keyField);
        ASSERT_TRUE(table.Locate(keyField, key));
        const int before = table.RecordCount();
        if (c.refusal) {
            EXPECT_THROW(table.Delete(), EAbort);
            EXPECT_EQ(box.recorder.messages, QStringList{QString::fromLatin1(c.refusal)}) << "shown once";
            EXPECT_EQ(table.RecordCount(), before);
            EXPECT_TRUE(table.Locate(keyField, key)) << "the row is still there";
        } else {
            EXPECT_NO_THROW(table.Delete());
            EXPECT_TRUE(box.recorder.messages.isEmpty());
            EXPECT_EQ(table.RecordCount(), before - 1);
            EXPECT_FALSE(table.Locate(keyField, key));
        }
    }
}

TEST_F(ReferenceRules, InUseCheckLooksAtTheStoredCode)
{
    // A code being renamed in the grid still guards the row the lines use.
    ASSERT_TRUE(dm->adsTaskCodes.Locate(QStringLiteral("TaskCode"), QStringLiteral("GEN")));
    dm->adsTaskCodes.Edit();
    Set(dm->adsTaskCodes, u"TaskCode", QStringLiteral("GENERAL"));
    EXPECT_THROW(dm->adsTaskCodes.Delete(), EAbort);
    EXPECT_EQ(Messages().size(), 1);
}

// --- project defaults of task codes -----------------------------------------------------------

TEST_F(ReferenceRules, TypingATaskCodeFillsItsDescription)
{
    TRecordTable &t = dm->adsTaskCodes;
    t.Insert();
    Set(t, u"TaskDescription", QStringLiteral("Typed before"));
    Set(t, u"TaskCode", QStringLiteral("XY"));
    EXPECT_EQ(t.FieldByName(u"TaskDescription").AsString(), QStringLiteral("XY"));
}

TEST_F(ReferenceRules, ATaskCodeWithoutARateTakesItsProjectsRateAndDate)
{
    const double projectDate = DateTimeValue::FromDate(QDate(2027, 3, 31));
    const double ownDate = DateTimeValue::FromDate(QDate(2027, 1, 15));
    dm->adsProjects.Insert();
    Set(dm->adsProjects, u"ProjectNumber", 7);
    Set(dm->adsProjects, u"ProjectName", QStringLiteral("Seven"));
    Set(dm->adsProjects, u"DailyRate", Money(350));
    Set(dm->adsProjects, u"CompletionDate", projectDate);
    dm->adsProjects.Post();

    struct
    {
        const char *name;
        std::int64_t ownRate;
        double ownDate;
        int project;
        std::int64_t rate;
        double date;
    } const cases[] = {
        {"no rate of its own", 0, 0.0, 7, 350, projectDate},
        {"no rate but a date of its own", 0, ownDate, 7, 350, projectDate},
        {"a rate of its own", 120, ownDate, 7, 120, ownDate},
        {"a project that does not exist", 0, ownDate, 99, 0, ownDate},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        TRecordTable &t = dm->adsTaskCodes;
        t.Insert();
        Set(t, u"DailyRate", Money(c.ownRate));
        Set(t, u"CompletionDate", c.ownDate);
        Set(t, u"ProjectNumber", c.project);
        EXPECT_EQ(t.FieldByName(u"DailyRate").AsCurrency(), TCurrency::FromInteger(c.rate));
        EXPECT_DOUBLE_EQ(t.FieldByName(u"CompletionDate").AsDateTime(), c.date);
        t.Cancel();
    }
}

// --- texts --------------------------------------------------------------------------------

TEST_F(ReferenceRules, TaskSummaryIsTheCodeInCapitalsPaddedToTwentyThenTheDescription)
{
    ASSERT_TRUE(dm->adsTaskCodes.Locate(QStringLiteral("TaskCode"), QStringLiteral("GEN")));
    EXPECT_EQ(dm->adsTaskCodes.FieldByName(u"TaskSummary").AsString(),
              QStringLiteral("GEN") + QString(17, u' ') + QStringLiteral("General"));
    // The weekly line shows the same text through its look-up.
    EXPECT_EQ(dm->adsTasks.FieldByName(u"TaskCodeLookup").AsString(),
              QStringLiteral("GEN") + QString(17, u' ') + QStringLiteral("General"));

    const QString longDescription(60, u'd');
    struct
    {
        const char *code;
        QString description;
        QString summary;
    } const cases[] = {
        {"xy", QStringLiteral("Lower case"), QStringLiteral("XY") + QString(18, u' ') + QStringLiteral("Lower case")},
        {"ABCDEFGHIJ", longDescription, (QStringLiteral("ABCDEFGHIJ") + QString(10, u' ') + longDescription).left(53)},
        {"A'B", QString(), QStringLiteral("A'B") + QString(17, u' ')},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.code);
        TRecordTable &t = dm->adsTaskCodes;
        t.Insert();
        Set(t, u"TaskCode", QString::fromLatin1(c.code));
        Set(t, u"TaskDescription", c.description);
        EXPECT_EQ(t.FieldByName(u"TaskSummary").AsString(), c.summary);
        t.Cancel();
    }
}

TEST_F(ReferenceRules, UserNameIsTitleFirstAndLastName)
{
    ASSERT_TRUE(dm->adsUsers.Locate(QStringLiteral("UserID"), 0));
    EXPECT_EQ(dm->adsUsers.FieldByName(u"UserName").AsString(), QStringLiteral(" Guest 1"));
    dm->adsUsers.Edit();
    Set(dm->adsUsers, u"Title", QStringLiteral("Ms"));
    EXPECT_EQ(dm->adsUsers.FieldByName(u"UserName").AsString(), QStringLiteral("Ms Guest 1"));
}

// --- the manager list ------------------------------------------------------------------------

TEST_F(ReferenceRules, AManagerWhomOthersNameStaysAManager)
{
    const int boss = AddUser(*dm, QStringLiteral("Ann"), QStringLiteral("Lee"));
    SetUserType(*dm, boss, 1);
    AddUser(*dm, QStringLiteral("Bob"), QStringLiteral("Marsh"), boss);
    AddUser(*dm, QStringLiteral("Cy"), QStringLiteral("Dunn"), boss);
    AddUser(*dm, QStringLiteral("Di"), QStringLiteral("Ward"), 0);
    Messages().clear();

    TRecordTable &u = dm->adsUsers;
    ASSERT_TRUE(u.Locate(QStringLiteral("UserID"), boss));
    u.Edit();
    Set(u, u"OfficeLocation", QStringLiteral("Leeds"));
    EXPECT_THROW(Set(u, u"UserTypeNumber", 0), EAbort);

    EXPECT_EQ(Messages(), QStringList{QStringLiteral("This user is currently marked as manager of other users "
                                                     "including : BobMarsh CyDunn so this value cannot be amended")});
    EXPECT_EQ(u.State(), TDataSetState::Edit) << "the row is back in edit";
    EXPECT_EQ(u.FieldByName(u"UserID").AsInteger(), boss);
    EXPECT_EQ(u.FieldByName(u"UserTypeNumber").AsInteger(), 1);
    EXPECT_TRUE(u.FieldByName(u"OfficeLocation").AsString().isEmpty()) << "pending changes are dropped";
    EXPECT_FALSE(u.Modified());
    EXPECT_EQ(ManagerRows(*dm, boss), 1);
}

TEST_F(ReferenceRules, AManagerWhomNobodyNamesLeavesTheManagerList)
{
    const int boss = AddUser(*dm, QStringLiteral("Ann"), QStringLiteral("Lee"));
    const int other = AddUser(*dm, QStringLiteral("Bob"), QStringLiteral("Marsh"));
    SetUserType(*dm, boss, 1);
    SetUserType(*dm, other, 1);
    ASSERT_EQ(dm->adsManagers.RecordCount(), 3);

    SetUserType(*dm, boss, 0);
    EXPECT_TRUE(Messages().isEmpty());
    EXPECT_EQ(ManagerRows(*dm, boss), 0);
    EXPECT_EQ(ManagerRows(*dm, other), 1);
    EXPECT_EQ(ManagerRows(*dm, -101), 1);
    EXPECT_TRUE(dm->adsManagers.Filter().isEmpty());
    EXPECT_TRUE(dm->adsManagers.Filtered());
    EXPECT_EQ(dm->adsManagers.RecordCount(), 2);
}

TEST_F(ReferenceRules, EachAssignmentOfTheManagerTypeAddsAManagerRow)
{
    const int boss = AddUser(*dm, QStringLiteral("Ann"), QStringLiteral("Lee"));
    SetUserType(*dm, boss, 1);
    SetUserType(*dm, boss, 1);
    EXPECT_EQ(ManagerRows(*dm, boss), 2);
    ASSERT_TRUE(dm->adsManagers.Locate(QStringLiteral("ManagerID"), boss));
    EXPECT_EQ(dm->adsManagers.FieldByName(u"ManagerName").AsString(), QStringLiteral(" Ann Lee"));
    EXPECT_EQ(dm->adsManagers.Tag(), 1) << "the list is saved with the next save";
}

// --- creation routines ----------------------------------------------------------------------

TEST_F(ReferenceRules, CreateProjectFindsAProjectByTheBeginningOfItsName)
{
    const int alphaTwo = AddProject(*dm, QStringLiteral("Alpha Two"));
    const int rows = dm->adsProjects.RecordCount();
    EXPECT_EQ(dm->CreateProject(QStringLiteral("Alpha"), TCurrency::FromInteger(5), TCurrency(), 0.0), alphaTwo);
    EXPECT_EQ(dm->CreateProject(QStringLiteral("alpha t"), TCurrency(), TCurrency(), 0.0), alphaTwo);
    EXPECT_EQ(dm->adsProjects.RecordCount(), rows);
    EXPECT_EQ(dm->adsProjects.FieldByName(u"DailyRate").AsCurrency(), TCurrency()) << "the found project is unchanged";

    const double due = DateTimeValue::FromDate(QDate(2027, 6, 30));
    const int beta = dm->CreateProject(QStringLiteral("Beta"), TCurrency::FromInteger(400), TCurrency::FromInteger(9000), due);
    EXPECT_EQ(beta, -2);
    EXPECT_EQ(dm->adsProjects.RecordCount(), rows + 1);
    EXPECT_EQ(dm->adsProjects.State(), TDataSetState::Edit);
    ASSERT_TRUE(dm->adsProjects.Locate(QStringLiteral("ProjectNumber"), beta));
    EXPECT_EQ(dm->adsProjects.FieldByName(u"ProjectName").AsString(), QStringLiteral("Beta"));
    EXPECT_EQ(dm->adsProjects.FieldByName(u"DailyRate").AsCurrency(), TCurrency::FromInteger(400));
    EXPECT_EQ(dm->adsProjects.FieldByName(u"TotalCost").AsCurrency(), TCurrency::FromInteger(9000));
    EXPECT_DOUBLE_EQ(dm->adsProjects.FieldByName(u"CompletionDate").AsDateTime(), due);
}

TEST_F(ReferenceRules, CreateClientAddsAClientOnlyWhenNoNameBeginsWithIt)
{
    dm->CreateClient(QStringLiteral("inter"), QStringLiteral("Jo"), QString(), QString(), QString(), 2, 0);
    EXPECT_EQ(dm->adsClients.RecordCount(), 1);
    EXPECT_EQ(dm->adsClients.FieldByName(u"ClientName").AsString(), QStringLiteral("Internal"));

    dm->CreateClient(QStringLiteral("Acme Ltd"), QStringLiteral("Jo"), QStringLiteral("Bloggs"),
                     QStringLiteral("Pays late"), QStringLiteral("GB123"), 2, 0);
    ASSERT_EQ(dm->adsClients.RecordCount(), 2);
    TRecordTable &c = dm->adsClients;
    ASSERT_TRUE(c.Locate(QStringLiteral("ClientName"), QStringLiteral("Acme Ltd")));
    EXPECT_EQ(c.FieldByName(u"ClientId").AsInteger(), -1);
    EXPECT_EQ(c.FieldByName(u"ContactFirstName").AsString(), QStringLiteral("Jo"));
    EXPECT_EQ(c.FieldByName(u"ContactLastName").AsString(), QStringLiteral("Bloggs"));
    EXPECT_EQ(c.FieldByName(u"Notes").AsString(), QStringLiteral("Pays late"));
    EXPECT_EQ(c.FieldByName(u"TaxRegistration").AsString(), QStringLiteral("GB123"));
    EXPECT_EQ(c.FieldByName(u"BillingTypeNumber").AsInteger(), 2);
    EXPECT_EQ(c.FieldByName(u"ClientTypeNumber").AsInteger(), 0);
}

TEST_F(ReferenceRules, CreateTaskTakesItsArgumentsOverTheProjectsDefaults)
{
    const int project = dm->CreateProject(QStringLiteral("Alpha"), TCurrency::FromInteger(350), TCurrency(),
                                          DateTimeValue::FromDate(QDate(2027, 3, 31)));
    const double due = DateTimeValue::FromDate(QDate(2027, 2, 1));
    dm->CreateTask(QStringLiteral("GE"), project, TCurrency(), TCurrency(), 0.0, QStringLiteral("Found as GEN"));
    EXPECT_EQ(dm->adsTaskCodes.RecordCount(), 2) << "GEN begins with GE";

    dm->CreateTask(QStringLiteral("DEV"), project, TCurrency::FromInteger(200), TCurrency::FromInteger(1000), due,
                   QStringLiteral("Development"));
    TRecordTable &t = dm->adsTaskCodes;
    ASSERT_EQ(t.RecordCount(), 3);
    EXPECT_EQ(t.State(), TDataSetState::Edit);
    ASSERT_TRUE(t.Locate(QStringLiteral("TaskCode"), QStringLiteral("DEV")));
    EXPECT_EQ(t.FieldByName(u"ProjectNumber").AsInteger(), project);
    EXPECT_EQ(t.FieldByName(u"DailyRate").AsCurrency(), TCurrency::FromInteger(200));
    EXPECT_EQ(t.FieldByName(u"TotalCost").AsCurrency(), TCurrency::FromInteger(1000));
    EXPECT_DOUBLE_EQ(t.FieldByName(u"CompletionDate").AsDateTime(), due);
    EXPECT_EQ(t.FieldByName(u"TaskDescription").AsString(), QStringLiteral("Development"));
}

TEST_F(ReferenceRules, ARefusedCreationLeavesNoHalfMadeRow)
{
    TRecordTable &t = dm->adsTaskCodes;
    try {
        dm->CreateTask(QStringLiteral("  "), 0, TCurrency(), TCurrency(), 0.0, QStringLiteral("Blank"));
        ADD_FAILURE() << "a blank code was accepted";
    } catch (const EVRQException &e) {
        EXPECT_EQ(e.Message(), QStringLiteral("Task code cannot be blank"));
    }
    EXPECT_NE(t.State(), TDataSetState::Insert);
    EXPECT_EQ(t.Data()->RowCount(), 2u);
    // The table moves freely afterwards: no pending row tries to store itself.
    EXPECT_NO_THROW(t.First());
    EXPECT_NO_THROW(t.Last());

    EXPECT_THROW(dm->CreateClient(QStringLiteral("   "), {}, {}, {}, {}, 1, 1), EVRQException);
    EXPECT_NE(dm->adsClients.State(), TDataSetState::Insert);
    EXPECT_NO_THROW(dm->adsClients.First());
}

} // namespace
