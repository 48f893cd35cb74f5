#include "data/Schema.h"

#include "app/core/Currency.h"
#include "app/core/Errors.h"
#include "data/RecordTable.h"

namespace {

// Builds one field definition; the chained setters keep the table lists below
// readable as one line per field.
class FieldBuilder
{
public:
    FieldBuilder(const char *name, TFieldKind kind, int size, TFieldRole role = TFieldRole::Stored)
    {
        m_field.def.name = QString::fromLatin1(name);
        m_field.def.kind = kind;
        // Only string fields have a length; the other kinds carry 0.
        m_field.def.size = kind == TFieldKind::String ? size : 0;
        m_field.def.role = role;
    }

    FieldBuilder &Label(const char *label) { m_field.def.displayLabel = QString::fromLatin1(label); return *this; }
    FieldBuilder &Width(int width) { m_field.def.displayWidth = width; return *this; }
    FieldBuilder &Hidden() { m_field.def.visible = false; return *this; }
    FieldBuilder &Display(const char *format) { m_field.def.displayFormat = QString::fromLatin1(format); return *this; }
    FieldBuilder &EditFormat(const char *format) { m_field.def.editFormat = QString::fromLatin1(format); return *this; }
    FieldBuilder &Mask(const char *mask) { m_field.def.editMask = QString::fromLatin1(mask); return *this; }
    /// Display and edit format alike.
    FieldBuilder &Format(const char *format) { return Display(format).EditFormat(format); }

    FieldBuilder &LooksUp(const char *keyFields, const char *table, const char *lookupKeyFields, const char *result)
    {
        m_field.def.role = TFieldRole::Lookup;
        m_field.def.keyFields = QString::fromLatin1(keyFields);
        m_field.lookupTable = QString::fromLatin1(table);
        m_field.def.lookupKeyFields = QString::fromLatin1(lookupKeyFields);
        m_field.def.lookupResultField = QString::fromLatin1(result);
        return *this;
    }

    operator TSchemaField() const { return m_field; }

private:
    TSchemaField m_field;
};

constexpr int DefaultStringSize = 20;

FieldBuilder Str(const char *name, int size = DefaultStringSize) { return {name, TFieldKind::String, size}; }
FieldBuilder Int(const char *name) { return {name, TFieldKind::Integer, 0}; }
FieldBuilder SmallInt(const char *name) { return {name, TFieldKind::SmallInt, 0}; }
FieldBuilder AutoInc(const char *name) { return {name, TFieldKind::AutoInc, 0}; }
FieldBuilder Bool(const char *name) { return {name, TFieldKind::Boolean, 0}; }
FieldBuilder Float(const char *name) { return {name, TFieldKind::Float, 0}; }
FieldBuilder Money(const char *name) { return {name, TFieldKind::Currency, 0}; }
FieldBuilder DateTime(const char *name) { return {name, TFieldKind::DateTime, 0}; }
FieldBuilder Time(const char *name) { return {name, TFieldKind::Time, 0}; }
FieldBuilder Memo(const char *name) { return {name, TFieldKind::Memo, 0}; }
FieldBuilder Blob(const char *name) { return {name, TFieldKind::Blob, 0}; }

FieldBuilder Calc(const char *name, TFieldKind kind, int size = DefaultStringSize)
{
    return {name, kind, size, TFieldRole::Calculated};
}

// Text properties shared by several fields.
constexpr const char *ClockFormat = "hh:mm";
constexpr const char *DurationMask = "!99:99;1;0";
constexpr const char *ShortDateFormat = "ddddd";
constexpr const char *LongDateMask = "!90/90/0000;1;_";
constexpr const char *ShortDateMask = "!90/90/00;1;_";
constexpr const char *LunchTimeMask = "!90:00;1;_";

QVariant Money0() { return QVariant::fromValue(TCurrency{}); }
QVariant Now() { return QVariant::fromValue(TDefaultNow{}); }
QVariant Text(const char *text) { return QString::fromLatin1(text); }

// Pairs the values of a row with the table's first stored fields, for rows
// given as a tuple in field order.
TDefaultRow InFieldOrder(const std::vector<TSchemaField> &fields, std::initializer_list<QVariant> values)
{
    Q_ASSERT(values.size() <= fields.size());
    TDefaultRow row;
    auto field = fields.begin();
    for (const QVariant &value : values) {
        row.emplace_back(field->def.name, value);
        ++field;
    }
    return row;
}

TDefaultRow Named(std::initializer_list<std::pair<const char *, QVariant>> values)
{
    TDefaultRow row;
    for (const auto &[name, value] : values)
        row.emplace_back(QString::fromLatin1(name), value);
    return row;
}

TTableSchema Make(const char *name, TTableStorage storage, const char *fileName, std::vector<TSchemaField> fields)
{
    TTableSchema t;
    t.name = QString::fromLatin1(name);
    t.storage = storage;
    t.fileName = QString::fromLatin1(fileName);
    t.fields = std::move(fields);
    return t;
}

// --- the tables, in the order the data module opens them -------------------------------

TTableSchema UserTypes()
{
    TTableSchema t = Make("adsUserTypes", TTableStorage::Persisted, "UserTypesfile.xml", {
        AutoInc("UserTypeNumber"),
        Str("UserTypeDesc"),
    });
    t.defaultRows = {InFieldOrder(t.fields, {0, Text("User")}),
                     InFieldOrder(t.fields, {1, Text("Manager")})};
    return t;
}

TTableSchema UserAuthority()
{
    TTableSchema t = Make("adsUserAuthority", TTableStorage::StartUp, "UserAuthorityfile.xml", {
        AutoInc("UserAuthNumber"),
        Str("UserAuthDesc"),
    });
    t.defaultRows = {InFieldOrder(t.fields, {0, Text("Standard")}),
                     InFieldOrder(t.fields, {1, Text("StandardPlusTasks")}),
                     InFieldOrder(t.fields, {2, Text("Administration")}),
                     InFieldOrder(t.fields, {3, Text("StandardPlusFinance")})};
    return t;
}

TTableSchema BillingTypes()
{
    TTableSchema t = Make("adsBillingTypes", TTableStorage::StartUp, "BillingTypesfile.xml", {
        AutoInc("BillingTypeNumber"),
        Str("BillingTypeDesc"),
    });
    t.defaultRows = {InFieldOrder(t.fields, {0, Text("Free Of Charge")}),
                     InFieldOrder(t.fields, {1, Text("Taxable")}),
                     InFieldOrder(t.fields, {2, Text("Non - Taxable")})};
    return t;
}

TTableSchema ClientTypes()
{
    TTableSchema t = Make("adsClientTypes", TTableStorage::StartUp, "ClientTypesfile.xml", {
        AutoInc("ClientTypeNumber"),
        Str("ClientTypeDesc"),
    });
    t.defaultRows = {InFieldOrder(t.fields, {0, Text("Internal")}),
                     InFieldOrder(t.fields, {1, Text("External")})};
    return t;
}

TTableSchema Managers()
{
    TTableSchema t = Make("adsManagers", TTableStorage::Persisted, "Managersfile.xml", {
        Str("ManagerName", 50).Width(25),
        Int("ManagerID"),
    });
    t.defaultRows = {Named({{"ManagerName", Text("None")}, {"ManagerID", -101}})};
    return t;
}

TTableSchema Users()
{
    TTableSchema t = Make("adsUsers", TTableStorage::Persisted, "Usersfile.xml", {
        AutoInc("UserID"),
        Str("DepartmentName"),
        Int("UserNumber"),
        Str("FirstName"),
        Str("MiddleName"),
        Str("LastName"),
        Str("Title", 5),
        Memo("Notes"),
        Str("OfficeLocation"),
        Str("SignOn"),
        Str("Password"),
        Int("UserTypeNumber"),
        Money("DailyRate"),
        Int("ManagerID"),
        Int("UserAuthNumber"),
        // Title, FirstName and LastName joined by spaces.
        Calc("UserName", TFieldKind::String, 50).Width(25),
        Str("UserTypeDesc").LooksUp("UserTypeNumber", "adsUserTypes", "UserTypeNumber", "UserTypeDesc"),
        Str("ManagerName").LooksUp("ManagerID", "adsManagers", "ManagerID", "ManagerName"),
        Str("UserAuthDesc").LooksUp("UserAuthNumber", "adsUserAuthority", "UserAuthNumber", "UserAuthDesc"),
    });
    t.defaultRows = {Named({{"UserID", 0},
                            {"FirstName", Text("Guest")},
                            {"LastName", Text("1")},
                            {"SignOn", Text("Guest")},
                            {"Password", Text("Lemon")},
                            {"ManagerID", -101},
                            {"UserAuthNumber", 0},
                            {"UserTypeNumber", 0},
                            {"DailyRate", Money0()}})};
    return t;
}

TTableSchema Clients()
{
    TTableSchema t = Make("adsClients", TTableStorage::Persisted, "Clientsfile.xml", {
        Int("ClientId"),
        Str("ClientName"),
        Str("ContactFirstName"),
        Str("ContactLastName"),
        SmallInt("BillingTypeNumber"),
        Int("ClientTypeNumber"),
        Memo("Notes"),
        Str("TaxRegistration", 50),
        Str("BillingTypeDesc").LooksUp("BillingTypeNumber", "adsBillingTypes", "BillingTypeNumber", "BillingTypeDesc"),
        Str("ClientTypeDesc").LooksUp("ClientTypeNumber", "adsClientTypes", "ClientTypeNumber", "ClientTypeDesc"),
    });
    t.startUpSort = QStringLiteral("ClientName ASC");
    t.defaultRows = {Named({{"ClientId", 0},
                            {"ClientName", Text("Internal")},
                            {"BillingTypeNumber", 1},
                            {"ClientTypeNumber", 1}})};
    return t;
}

TTableSchema Projects()
{
    TTableSchema t = Make("adsProjects", TTableStorage::Persisted, "Projectsfile.xml", {
        Int("ProjectNumber"),
        Str("ProjectName"),
        Money("DailyRate"),
        Money("TotalCost"),
        DateTime("CompletionDate").Display(ShortDateFormat).Mask(LongDateMask),
    });
    t.startUpSort = QStringLiteral("ProjectName ASC");
    t.defaultRows = {InFieldOrder(t.fields, {0, Text("None"), Money0(), Money0(), 0.0})};
    return t;
}

TTableSchema TaskCodes()
{
    TTableSchema t = Make("adsTaskCodes", TTableStorage::Persisted, "TaskCodesfile.xml", {
        Str("TaskCode", 10),
        Str("TaskDescription", 75),
        Money("DailyRate"),
        Money("TotalCost"),
        DateTime("CompletionDate").Display(ShortDateFormat).Mask(LongDateMask),
        Int("ProjectNumber"),
        Str("ProjectName").LooksUp("ProjectNumber", "adsProjects", "ProjectNumber", "ProjectName"),
        // The code in upper case padded to 20 characters, then the description.
        Calc("TaskSummary", TFieldKind::String, 53),
    });
    t.startUpSort = QStringLiteral("TaskCode ASC");
    t.defaultRows = {InFieldOrder(t.fields, {Text("GEN"), Text("General"), Money0(), Money0(), 0.0, 0}),
                     InFieldOrder(t.fields, {Text("ADMIN"), Text("Administration"), Money0(), Money0(), 0.0, 0})};
    return t;
}

TTableSchema Tasks()
{
    const auto duration = [](const char *name, const char *label) {
        return Time(name).Label(label).Display(ClockFormat).Mask(DurationMask);
    };
    TTableSchema t = Make("adsTasks", TTableStorage::Persisted, "Tasksfile.xml", {
        Int("JobId"),
        Str("TaskCode", 10).Hidden().Label("Task Code"),
        Str("TaskDescription", 75).Label("Task Description"),
        Bool("Active"),
        Bool("Completed"),
        DateTime("DateTimeCreated").Label("Date Time Created"),
        DateTime("DateTimeAmended").Label("Date Time Amended"),
        duration("MonDuration", "Mon Duration").Width(10),
        duration("TueDuration", "Tue Duration"),
        duration("WedDuration", "Wed Duration"),
        duration("ThuDuration", "Thu Duration"),
        duration("FriDuration", "Fri Duration"),
        duration("SatDuration", "Sat Duration"),
        duration("SunDuration", "Sun Duration"),
        Int("Priority"),
        Blob("PriorityImage").Label("Priority Image"),
        Int("ProjectNumber").Label("Project Number"),
        Int("ClientId"),
        Str("TaskCodeLookup", 53).Label("Task Code Lookup").LooksUp("TaskCode", "adsTaskCodes", "TaskCode", "TaskSummary"),
        Str("ProjectName").Label("Project Name").Width(20).LooksUp("ProjectNumber", "adsProjects", "ProjectNumber", "ProjectName"),
        Str("ClientName").LooksUp("ClientId", "adsClients", "ClientId", "ClientName"),
        // The week total split into whole working days and the rest.
        Calc("Days", TFieldKind::Integer).Format("####"),
        Calc("PartDay", TFieldKind::Time).Label("Part Day").Display("t"),
    });
    t.defaultRows = {Named({{"JobId", 1},
                            {"TaskCode", Text("GEN")},
                            {"TaskDescription", Text("General")},
                            {"Active", true},
                            {"Completed", false},
                            {"DateTimeCreated", Now()},
                            {"DateTimeAmended", Now()},
                            {"MonDuration", 0.0},
                            {"TueDuration", 0.0},
                            {"WedDuration", 0.0},
                            {"ThuDuration", 0.0},
                            {"FriDuration", 0.0},
                            {"SatDuration", 0.0},
                            {"SunDuration", 0.0},
                            {"Priority", 0},
                            {"ProjectNumber", 0},
                            {"ClientId", 0}})};
    return t;
}

TTableSchema Reporting()
{
    return Make("adsReporting", TTableStorage::Persisted, "Reportingfile.xml", {
        Str("TaskCode", 10).Hidden(),
        Str("TaskDescription", 75),
        DateTime("DateTimeCreated"),
        DateTime("DateTimeAmended"),
        Bool("Active"),
        Bool("Completed"),
        DateTime("DateTimeSubmitted"),
        DateTime("Duration").Display(ClockFormat).Mask(DurationMask),
        Int("ProjectNumber"),
        Int("ClientId"),
        Int("UserId"),
        Int("InvoiceNumber"),
        Int("AuthUserId"),
        Str("UserName").LooksUp("UserId", "adsUsers", "UserID", "UserName"),
    });
}

TTableSchema Reports()
{
    TTableSchema t = Make("adsReports", TTableStorage::StartUp, "Reportsfile.xml", {
        Int("ReportNumber"),
        Str("ReportName", 30),
        Str("ReportDescription", 100),
    });
    t.defaultRows = {
        InFieldOrder(t.fields, {1, Text("Task Duration"), Text("Task Duration by Specified Period")}),
        InFieldOrder(t.fields, {2, Text("Project Activity"), Text("Project Activity for the Specified Period")}),
        InFieldOrder(t.fields, {3, Text("Client Activity"), Text("Client Activity for the Specified Period")}),
        InFieldOrder(t.fields, {4, Text("User Activity"), Text("User Activity for the Specified Period")}),
    };
    return t;
}

// The first-run values are assigned by the data module, which also works out
// the week start from the moment of the run.
TTableSchema Defaults()
{
    return Make("adsDefaults", TTableStorage::Persisted, "Defaultsfile.xml", {
        Bool("OneTaskActive"),
        Bool("NewTaskInsertAllowed"),
        Bool("GenerateJobId"),
        Float("DayDuration").Format("0.00"),
        Int("StartDayOfWeek"),
        DateTime("WeekStartDate").Mask(ShortDateMask),
        Int("MinimumTaskDuration"),
        Bool("DisplayProjects"),
        Bool("DisplayClients"),
        Bool("DisplayMon"),
        Bool("DisplayTue"),
        Bool("DisplayWed"),
        Bool("DisplayThu"),
        Bool("DisplayFri"),
        Bool("DisplaySat"),
        Bool("DisplaySun"),
        Bool("RemoveUnusedTasks"),
        Bool("DisplaySummaryDuration"),
        Bool("DisplayPriority"),
        DateTime("StartTime").Display(ClockFormat).Mask(LunchTimeMask),
        DateTime("EndTime").Display(ClockFormat).Mask(LunchTimeMask),
    });
}

TTableSchema ChartData()
{
    return Make("adsChartData", TTableStorage::Working, "", {
        Str("TaskCode", 10).Hidden(),
        DateTime("DateTimeCreated"),
        Bool("Active"),
        Bool("Completed"),
        Float("Duration"),
        Int("ProjectNumber"),
        Int("ClientId"),
        Int("UserId"),
        Str("TaskDescription", 40).LooksUp("TaskCode", "adsTaskCodes", "TaskCode", "TaskDescription"),
        Str("ProjectName", 10).LooksUp("ProjectNumber", "adsProjects", "ProjectNumber", "ProjectName"),
        Str("ClientName").LooksUp("ClientId", "adsClients", "ClientId", "ClientName"),
        Str("UserName").LooksUp("UserId", "adsUsers", "UserID", "UserName"),
        Money("TaskDayRate").LooksUp("TaskCode", "adsTaskCodes", "TaskCode", "DailyRate"),
        // Duration as "<D> Days <H> Hours <M> Minutes ".
        Calc("DurationText", TFieldKind::String, 30).Width(30),
    });
}

TTableSchema MaxNumbers()
{
    return Make("adsMaxNumbers", TTableStorage::Working, "", {
        Int("UserId"),
        Int("ClientId"),
        Int("ProjectNumber"),
    });
}

} // namespace

namespace Schema {

const std::vector<TTableSchema> &Tables()
{
    static const std::vector<TTableSchema> tables = {
        UserTypes(), UserAuthority(), BillingTypes(), ClientTypes(), Managers(),
        Users(),     Clients(),       Projects(),     TaskCodes(),   Tasks(),
        Reporting(), Reports(),       Defaults(),     ChartData(),   MaxNumbers(),
    };
    return tables;
}

const TTableSchema &Table(QStringView name)
{
    for (const TTableSchema &t : Tables())
        if (t.name.compare(name, Qt::CaseInsensitive) == 0)
            return t;
    throw EDatabaseError(QStringLiteral("Table '%1' not found").arg(name));
}

void DefineFields(TRecordTable &table, const TTableSchema &schema,
                  const std::function<TRecordTable *(const QString &)> &resolve)
{
    for (const TSchemaField &field : schema.fields) {
        TFieldDef def = field.def;
        if (def.role == TFieldRole::Lookup && resolve)
            def.lookupDataSet = resolve(field.lookupTable);
        table.AddField(def);
    }
}

QVariant DefaultValue(const QVariant &value, double now)
{
    if (value.metaType() == QMetaType::fromType<TDefaultNow>())
        return now;
    return value;
}

} // namespace Schema
