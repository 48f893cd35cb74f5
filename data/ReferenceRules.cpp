// Rules of the reference data: task codes, projects, clients and users. They
// number new rows, refuse rows without their key fields, refuse to delete a
// row that recorded time refers to, pass a project's rate and date on to its
// task codes, keep the manager list in step with the users' types, and create
// clients, projects and task codes for the time-file import.
#include "data/DataModule.h"

#include "app/core/Errors.h"
#include "app/core/VRQ_Utils_Unit.h"
#include "data/RowFilter.h"

#include <initializer_list>
#include <optional>

namespace {

bool IsBlank(const TTableField &field)
{
    return field.AsString().trimmed().isEmpty();
}

// Raises the column of the highest numbers by one and hands out its negative.
// Nothing while the numbers are not built yet (the data module is still
// seeding its tables, whose default rows carry their own keys).
std::optional<int> TakeNextNumber(TRecordTable &maxNumbers, QStringView column)
{
    if (!maxNumbers.Active())
        return std::nullopt;
    maxNumbers.Edit();
    TTableField &field = maxNumbers.FieldByName(column);
    const int raised = field.AsInteger() + 1;
    field.SetAsInteger(raised);
    // Stored at once, so no later cancel can hand the same number out twice.
    maxNumbers.UpdateBatch(TAffectRecords::All);
    maxNumbers.Edit();
    return -raised;
}

// Counts the rows of each table, in order, that pass the filter; at the first
// table holding any, shows the message and abandons the deletion silently.
template <typename CountFn>
void AbortWhenInUse(TUserMessages &messages, std::initializer_list<const TRecordTable *> tables,
                    const QString &filter, const QString &message, CountFn count)
{
    for (const TRecordTable *table : tables) {
        if (count(*table, filter) > 0) {
            messages.ShowMessage(message);
            throw EAbort();
        }
    }
}

// Drops the half-made row of a creation routine that a rule refused, so the
// table is not left with a pending row that every later movement would try,
// and fail, to store.
template <typename Fill>
void InsertOrDrop(TRecordTable &table, Fill fill)
{
    table.Insert();
    try {
        fill();
        table.UpdateBatch(TAffectRecords::All);
    } catch (...) {
        if (table.State() == TDataSetState::Insert)
            table.Cancel();
        throw;
    }
    table.Edit();
}

} // namespace

void TdmTasks_Form::WireReferenceRules()
{
    adsTaskCodes.AfterInsert = [this](TRecordTable &t) { adsTaskCodesAfterInsert(t); };
    adsTaskCodes.BeforePost = [this](TRecordTable &t) { adsTaskCodesBeforePost(t); };
    adsTaskCodes.BeforeDelete = [this](TRecordTable &t) { adsTaskCodesBeforeDelete(t); };
    adsTaskCodes.OnCalcFields = [this](TRecordTable &t) { adsTaskCodesCalcFields(t); };
    TTableField &taskCode = adsTaskCodes.FieldByName(u"TaskCode");
    taskCode.OnValidate = [this](TTableField &f, const QVariant &v) { adsTaskCodesTaskCodeValidate(f, v); };
    taskCode.OnChange = [this](TTableField &f) { adsTaskCodesTaskCodeChange(f); };
    adsTaskCodes.FieldByName(u"ProjectNumber").OnChange = [this](TTableField &f) {
        adsTaskCodesProjectNumberChange(f);
    };

    adsProjects.AfterInsert = [this](TRecordTable &t) { adsProjectsAfterInsert(t); };
    adsProjects.BeforePost = [this](TRecordTable &t) { adsProjectsBeforePost(t); };
    adsProjects.BeforeDelete = [this](TRecordTable &t) { adsProjectsBeforeDelete(t); };

    adsClients.AfterInsert = [this](TRecordTable &t) { adsClientsAfterInsert(t); };
    adsClients.BeforePost = [this](TRecordTable &t) { adsClientsBeforePost(t); };
    adsClients.BeforeDelete = [this](TRecordTable &t) { adsClientsBeforeDelete(t); };

    adsUsers.AfterInsert = [this](TRecordTable &t) { adsUsersAfterInsert(t); };
    adsUsers.BeforePost = [this](TRecordTable &t) { adsUsersBeforePost(t); };
    adsUsers.BeforeDelete = [this](TRecordTable &t) { adsUsersBeforeDelete(t); };
    adsUsers.OnCalcFields = [this](TRecordTable &t) { adsUsersCalcFields(t); };
    TTableField &userType = adsUsers.FieldByName(u"UserTypeNumber");
    userType.OnValidate = [this](TTableField &f, const QVariant &v) { adsUsersUserTypeNumberValidate(f, v); };
    userType.OnChange = [this](TTableField &f) { adsUsersUserTypeNumberChange(f); };
}

// --- task codes ---------------------------------------------------------------------

void TdmTasks_Form::adsTaskCodesAfterInsert(TRecordTable &DataSet)
{
    DataSet.Edit();
    DataSet.FieldByName(u"ProjectNumber").SetAsInteger(0);
}

void TdmTasks_Form::adsTaskCodesBeforePost(TRecordTable &DataSet)
{
    if (IsBlank(DataSet.FieldByName(u"TaskCode")))
        throw EVRQException(QStringLiteral("Key Field(s) Blank"));
}

void TdmTasks_Form::adsTaskCodesBeforeDelete(TRecordTable &DataSet)
{
    // The stored key: that is the row removed and the one the time refers to.
    const QVariant code = DataSet.FieldByName(u"TaskCode").OldValue();
    if (!code.isValid())
        return;
    AbortWhenInUse(Messages(), {&adsTasks, &adsReporting}, TRowFilter::Equals(QStringLiteral("TaskCode"), code.toString()),
                   QStringLiteral("Task cannot be deleted because it has been used to record time against."),
                   [this](const TRecordTable &t, const QString &f) { return CountInClone(t, f); });
}

void TdmTasks_Form::adsTaskCodesCalcFields(TRecordTable &DataSet)
{
    const QString code = DataSet.FieldByName(u"TaskCode").AsString();
    const QString summary =
        code.toUpper() + CreateSpaceString(20 - int(code.size())) + DataSet.FieldByName(u"TaskDescription").AsString();
    DataSet.FieldByName(u"TaskSummary").SetAsString(summary.left(53));
}

void TdmTasks_Form::adsTaskCodesTaskCodeValidate(TTableField &Sender, const QVariant &proposed)
{
    const QString code = proposed.toString();
    if (code.trimmed().isEmpty())
        throw EVRQException(QStringLiteral("Task code cannot be blank"));
    // The row's own stored code counts too, and letter case is ignored.
    if (CountInClone(Sender.DataSet(), TRowFilter::Equals(QStringLiteral("TaskCode"), code)) > 0)
        throw EVRQException(QStringLiteral("Task code already exists"));
}

void TdmTasks_Form::adsTaskCodesTaskCodeChange(TTableField &Sender)
{
    TRecordTable &table = Sender.DataSet();
    table.Edit();
    table.FieldByName(u"TaskDescription").SetAsString(Sender.AsString());
}

void TdmTasks_Form::adsTaskCodesProjectNumberChange(TTableField &Sender)
{
    TRecordTable &table = Sender.DataSet();
    // A task code with a rate of its own keeps its rate and date; no project, nothing to copy.
    if (table.FieldByName(u"DailyRate").AsCurrency() != TCurrency() || Sender.IsNull())
        return;
    TRecordTable project(adsProjects.Name());
    project.Clone(adsProjects);
    project.SetFilter(TRowFilter::Equals(QStringLiteral("ProjectNumber"), Sender.AsInteger()));
    project.SetFiltered(true);
    if (project.IsEmpty())
        return;
    table.Edit();
    table.FieldByName(u"DailyRate").SetValue(project.FieldValue(u"DailyRate"));
    table.FieldByName(u"CompletionDate").SetValue(project.FieldValue(u"CompletionDate"));
}

// --- projects -----------------------------------------------------------------------

void TdmTasks_Form::adsProjectsAfterInsert(TRecordTable &DataSet)
{
    if (const auto number = TakeNextNumber(adsMaxNumbers, u"ProjectNumber"))
        DataSet.FieldByName(u"ProjectNumber").SetAsInteger(*number);
    DataSet.FieldByName(u"CompletionDate").SetAsDateTime(0.0);
    DataSet.FieldByName(u"DailyRate").SetAsCurrency(TCurrency());
    DataSet.FieldByName(u"TotalCost").SetAsCurrency(TCurrency());
}

void TdmTasks_Form::adsProjectsBeforePost(TRecordTable &DataSet)
{
    if (IsBlank(DataSet.FieldByName(u"ProjectName")))
        throw EVRQException(QStringLiteral("Key Field Blank(s)"));
}

void TdmTasks_Form::adsProjectsBeforeDelete(TRecordTable &DataSet)
{
    const QVariant number = DataSet.FieldByName(u"ProjectNumber").OldValue();
    if (!number.isValid())
        return;
    AbortWhenInUse(Messages(), {&adsTasks, &adsReporting},
                   TRowFilter::Equals(QStringLiteral("ProjectNumber"), number.toLongLong()),
                   QStringLiteral("Project cannot be deleted because it is used on one or more tasks."),
                   [this](const TRecordTable &t, const QString &f) { return CountInClone(t, f); });
}

// --- clients ------------------------------------------------------------------------

void TdmTasks_Form::adsClientsAfterInsert(TRecordTable &DataSet)
{
    if (const auto number = TakeNextNumber(adsMaxNumbers, u"ClientId"))
        DataSet.FieldByName(u"ClientId").SetAsInteger(*number);
    DataSet.Edit();
    DataSet.FieldByName(u"BillingTypeNumber").SetAsInteger(1);
    DataSet.FieldByName(u"ClientTypeNumber").SetAsInteger(1);
}

void TdmTasks_Form::adsClientsBeforePost(TRecordTable &DataSet)
{
    if (IsBlank(DataSet.FieldByName(u"ClientName")))
        throw EVRQException(QStringLiteral("Client Name Blank"));
}

void TdmTasks_Form::adsClientsBeforeDelete(TRecordTable &DataSet)
{
    const QVariant id = DataSet.FieldByName(u"ClientId").OldValue();
    if (!id.isValid())
        return;
    AbortWhenInUse(Messages(), {&adsTasks, &adsReporting}, TRowFilter::Equals(QStringLiteral("ClientId"), id.toLongLong()),
                   QStringLiteral("Client cannot be deleted because it has been used to record time against."),
                   [this](const TRecordTable &t, const QString &f) { return CountInClone(t, f); });
}

// --- users --------------------------------------------------------------------------

void TdmTasks_Form::adsUsersAfterInsert(TRecordTable &DataSet)
{
    if (const auto number = TakeNextNumber(adsMaxNumbers, u"UserId"))
        DataSet.FieldByName(u"UserID").SetAsInteger(*number);
    DataSet.Edit();
    DataSet.FieldByName(u"UserTypeNumber").SetAsInteger(0);
    DataSet.FieldByName(u"UserAuthNumber").SetAsInteger(0);
    DataSet.FieldByName(u"ManagerID").SetAsInteger(0);
    DataSet.FieldByName(u"DailyRate").SetAsCurrency(TCurrency());
}

void TdmTasks_Form::adsUsersBeforePost(TRecordTable &DataSet)
{
    for (const char16_t *name : {u"FirstName", u"LastName", u"SignOn", u"Password"})
        if (IsBlank(DataSet.FieldByName(name)))
            throw EVRQException(QStringLiteral("Key Field Blank(s)"));
}

void TdmTasks_Form::adsUsersBeforeDelete(TRecordTable &DataSet)
{
    const QVariant id = DataSet.FieldByName(u"UserID").OldValue();
    if (!id.isValid())
        return;
    AbortWhenInUse(Messages(), {&adsReporting}, TRowFilter::Equals(QStringLiteral("UserId"), id.toLongLong()),
                   QStringLiteral("User cannot be deleted because it has been used to record time against."),
                   [this](const TRecordTable &t, const QString &f) { return CountInClone(t, f); });
}

void TdmTasks_Form::adsUsersCalcFields(TRecordTable &DataSet)
{
    DataSet.FieldByName(u"UserName")
        .SetAsString(DataSet.FieldByName(u"Title").AsString() + u' ' + DataSet.FieldByName(u"FirstName").AsString()
                     + u' ' + DataSet.FieldByName(u"LastName").AsString());
}

void TdmTasks_Form::adsUsersUserTypeNumberValidate(TTableField &Sender, const QVariant &proposed)
{
    if (!proposed.isValid() || proposed.toInt() != 0)
        return;
    TRecordTable &users = Sender.DataSet();
    const QVariant id = users.FieldValue(u"UserID");
    if (!id.isValid())
        return; // a user without a number manages nobody
    TRecordTable managed(users.Name());
    managed.Clone(users);
    managed.SetFilter(TRowFilter::Equals(QStringLiteral("ManagerId"), id.toLongLong()));
    managed.SetFiltered(true);
    if (managed.IsEmpty())
        return;
    QString list;
    for (managed.First(); !managed.Eof(); managed.Next())
        list += managed.FieldByName(u"FirstName").AsString() + managed.FieldByName(u"LastName").AsString() + u' ';
    Messages().ShowMessage(QStringLiteral("This user is currently marked as manager of other users including : ")
                           + list + QStringLiteral("so this value cannot be amended"));
    // Refused without an error: the user's pending changes go, the row is
    // editable again, and the assignment is abandoned silently.
    users.Cancel();
    users.Edit();
    throw EAbort();
}

void TdmTasks_Form::adsUsersUserTypeNumberChange(TTableField &Sender)
{
    TRecordTable &users = Sender.DataSet();
    const QVariant id = users.FieldValue(u"UserID");
    if (Sender.AsInteger() == 1) {
        const QString name = users.FieldByName(u"UserName").AsString();
        adsManagers.Insert();
        adsManagers.FieldByName(u"ManagerID").SetValue(id);
        adsManagers.FieldByName(u"ManagerName").SetAsString(name);
        adsManagers.UpdateBatch(TAffectRecords::All);
        adsManagers.Edit();
        return;
    }
    if (!id.isValid())
        return; // no manager row can carry a missing number
    adsManagers.Edit();
    adsManagers.SetFilter(TRowFilter::Equals(QStringLiteral("ManagerID"), id.toLongLong()));
    adsManagers.SetFiltered(true);
    adsManagers.First();
    while (!adsManagers.IsEmpty())
        adsManagers.Delete();
    // Every row passes again; filtering stays switched on.
    adsManagers.SetFilter(QString());
}

// --- creation routines of the time-file import -----------------------------------------

void TdmTasks_Form::CreateClient(const QString &sClientName, const QString &sContactFirstName,
                                 const QString &sContactLastName, const QString &sNotes,
                                 const QString &sTaxRegistration, int iBillingTypeNumber, int iClientTypeNumber)
{
    if (adsClients.Locate(QStringLiteral("ClientName"), sClientName, loCaseInsensitive | loPartialKey))
        return;
    InsertOrDrop(adsClients, [&] {
        adsClients.FieldByName(u"ClientName").SetAsString(sClientName);
        adsClients.FieldByName(u"ContactFirstName").SetAsString(sContactFirstName);
        adsClients.FieldByName(u"ContactLastName").SetAsString(sContactLastName);
        adsClients.FieldByName(u"Notes").SetAsString(sNotes);
        adsClients.FieldByName(u"TaxRegistration").SetAsString(sTaxRegistration);
        adsClients.FieldByName(u"BillingTypeNumber").SetAsInteger(iBillingTypeNumber);
        adsClients.FieldByName(u"ClientTypeNumber").SetAsInteger(iClientTypeNumber);
    });
}

int TdmTasks_Form::CreateProject(const QString &sProjectName, TCurrency cDailyRate, TCurrency cTotalCost,
                                 double dtCompletionDate)
{
    if (!adsProjects.Locate(QStringLiteral("ProjectName"), sProjectName, loCaseInsensitive | loPartialKey)) {
        InsertOrDrop(adsProjects, [&] {
            adsProjects.FieldByName(u"ProjectName").SetAsString(sProjectName);
            adsProjects.FieldByName(u"DailyRate").SetAsCurrency(cDailyRate);
            adsProjects.FieldByName(u"TotalCost").SetAsCurrency(cTotalCost);
            adsProjects.FieldByName(u"CompletionDate").SetAsDateTime(dtCompletionDate);
        });
    }
    return adsProjects.FieldByName(u"ProjectNumber").AsInteger();
}

void TdmTasks_Form::CreateTask(const QString &sTaskCode, int iProjectNumber, TCurrency cDailyRate,
                               TCurrency cTotalCost, double dtCompletionDate, const QString &sTaskDescription)
{
    if (adsTaskCodes.Locate(QStringLiteral("TaskCode"), sTaskCode, loCaseInsensitive | loPartialKey))
        return;
    InsertOrDrop(adsTaskCodes, [&] {
        adsTaskCodes.FieldByName(u"ProjectNumber").SetAsInteger(iProjectNumber);
        adsTaskCodes.FieldByName(u"DailyRate").SetAsCurrency(cDailyRate);
        adsTaskCodes.FieldByName(u"TotalCost").SetAsCurrency(cTotalCost);
        adsTaskCodes.FieldByName(u"CompletionDate").SetAsDateTime(dtCompletionDate);
        adsTaskCodes.FieldByName(u"TaskCode").SetAsString(sTaskCode);
        adsTaskCodes.FieldByName(u"TaskDescription").SetAsString(sTaskDescription);
    });
}
