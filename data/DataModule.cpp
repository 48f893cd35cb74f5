#include "data/DataModule.h"

#include "app/core/Clock.h"
#include "app/core/DateTimeValue.h"
#include "app/core/Errors.h"
#include "app/core/VRQ_Utils_Unit.h"
#include "data/RecordsetXml.h"
#include "data/Schema.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cmath>

namespace {

class TSilentMessages : public TUserMessages
{
public:
    void ShowMessage(const QString &) override {}
};

// The file of that name in dir, matched without regard to case; empty when none.
QString FindFile(const QString &dir, const QString &fileName)
{
    if (dir.isEmpty())
        return {};
    const QString exact = dir + fileName;
    if (QFileInfo(exact).isFile())
        return exact;
    const QStringList entries = QDir(dir).entryList(QDir::Files);
    for (const QString &entry : entries)
        if (entry.compare(fileName, Qt::CaseInsensitive) == 0)
            return dir + entry;
    return {};
}

} // namespace

TdmTasks_Form::TdmTasks_Form(TDataModuleEnvironment environment)
    : m_env(std::move(environment))
    , m_silent(std::make_unique<TSilentMessages>())
{
    m_messages = m_env.messages ? m_env.messages : m_silent.get();
    DefineTables();
    WireWeeklyTaskRules();
    WireReferenceRules();
}

TdmTasks_Form::~TdmTasks_Form() = default;

TRecordTable *TdmTasks_Form::TableByName(QStringView name)
{
    for (TRecordTable *t : {&adsUserTypes, &adsUserAuthority, &adsBillingTypes, &adsClientTypes, &adsManagers,
                            &adsUsers, &adsClients, &adsProjects, &adsTaskCodes, &adsTasks, &adsReporting,
                            &adsReports, &adsDefaults, &adsChartData, &adsMaxNumbers})
        if (t->Name().compare(name, Qt::CaseInsensitive) == 0)
            return t;
    return nullptr;
}

void TdmTasks_Form::DefineTables()
{
    const auto resolve = [this](const QString &name) { return TableByName(name); };
    for (const TTableSchema &schema : Schema::Tables()) {
        TRecordTable *table = TableByName(schema.name);
        if (!table)
            continue;
        Schema::DefineFields(*table, schema, resolve);
        if (schema.storage == TTableStorage::Persisted) {
            table->AfterPost = [this](TRecordTable &t) { DataSetAfterPost(t); };
            // A deletion alone must reach the file too.
            table->AfterDelete = [this](TRecordTable &t) { DataSetAfterPost(t); };
        }
    }
}

void TdmTasks_Form::DataSetAfterPost(TRecordTable &DataSet)
{
    DataSet.SetTag(1);
}

QString TdmTasks_Form::DayFieldName(int dayNumber)
{
    static const char *const names[] = {"SunDuration", "MonDuration", "TueDuration", "WedDuration",
                                        "ThuDuration", "FriDuration", "SatDuration"};
    return dayNumber >= 1 && dayNumber <= 7 ? QString::fromLatin1(names[dayNumber - 1]) : QString();
}

int TdmTasks_Form::DayNumberOfField(QStringView fieldName)
{
    for (int day = 1; day <= 7; ++day)
        if (fieldName == DayFieldName(day))
            return day;
    return 0;
}

void TdmTasks_Form::ResetTotalsArray()
{
    FTotalDurationArray.fill(0.0);
}

// --- start-up ---------------------------------------------------------------------

void TdmTasks_Form::DataModuleCreate()
{
    SetCreationPhase(true);
    FbGenerateNextJobId = true;
    FDayDuration = 7.0;
    FOneTaskActive = true;
    FTimerActive = false;

    m_dirs = m_env.settings ? std::make_unique<TDirsObj>(m_env.settings) : std::make_unique<TDirsObj>();
    m_dirs->SetAppTitle(m_env.appTitle);
    m_dirs->SetExeName(m_env.exeName);
    if (m_env.userSaveDirectory)
        m_dirs->SetUserSaveDirectory(*m_env.userSaveDirectory);
    m_dirs->LoadDirs();

    CheckCreateDirectory(m_dirs->DataDir());
    CheckCreateDirectory(m_dirs->SettingsDir());
    m_helpFile = m_dirs->AppDir() + QStringLiteral("ZELBRA.HLP");

    // The user-types file decides where every file is read from. When it is in
    // neither directory, no file is read: a stray file in the working directory
    // must not become the user's data.
    const QString userTypes = Schema::Table(u"adsUserTypes").fileName;
    QString sourceDir;
    if (!FindFile(m_dirs->DataDir(), userTypes).isEmpty())
        sourceDir = m_dirs->DataDir();
    else if (!FindFile(m_dirs->AdminDataDir(), userTypes).isEmpty())
        sourceDir = m_dirs->AdminDataDir();

    for (TRecordTable *table : {&adsUserTypes, &adsUserAuthority, &adsBillingTypes, &adsClientTypes, &adsManagers,
                                &adsUsers, &adsClients, &adsProjects, &adsTaskCodes, &adsTasks, &adsReporting,
                                &adsReports}) {
        OpenTable(*table, sourceDir);
        const QString sort = Schema::Table(table->Name()).startUpSort;
        if (!sort.isEmpty())
            table->SetSort(sort);
    }
    OpenDefaults(sourceDir);
    FDayDuration = adsDefaults.FieldByName(u"DayDuration").AsFloat();
    BuildMaxNumbers();
    BuildTotals();
    SetCreationPhase(false);
}

// Moves a file that could not be read out of the way, so seeding the table
// and the next save cannot destroy what it held. Returns the new name, or
// empty when it could be neither renamed nor copied.
QString TdmTasks_Form::KeepUnreadableFile(const QString &path)
{
    QString copy = path + QStringLiteral(".unreadable");
    if (QFileInfo::exists(copy))
        copy = path + QStringLiteral(".unreadable-") + TClock::Now().toString(QStringLiteral("yyyyMMdd-HHmmss"));
    if (QFile::rename(path, copy) || QFile::copy(path, copy))
        return copy;
    return {};
}

void TdmTasks_Form::OpenTable(TRecordTable &table, const QString &sourceDir)
{
    const TTableSchema &schema = Schema::Table(table.Name());
    const QString path = FindFile(sourceDir, schema.fileName);
    if (!path.isEmpty()) {
        try {
            table.LoadFromFile(path);
        } catch (const EZelbraError &e) {
            const QString kept = KeepUnreadableFile(path);
            if (kept.isEmpty()) {
                m_unsavable.insert(table.Name());
                Messages().ShowMessage(QStringLiteral("problem reading %1: %2\nThe file could not be set aside, so "
                                                      "Zelbra will not overwrite it; the table starts with its "
                                                      "default contents for this session.")
                                           .arg(QDir::toNativeSeparators(path), e.Message()));
            } else {
                Messages().ShowMessage(QStringLiteral("problem reading %1: %2\nThe file was kept as %3; the table "
                                                      "starts with its default contents.")
                                           .arg(QDir::toNativeSeparators(path), e.Message(),
                                                QDir::toNativeSeparators(kept)));
            }
        }
    }
    if (!table.Active())
        table.CreateDataSet();
    const bool empty = table.RecordCount() == 0;
    table.Edit();
    if (empty && !schema.defaultRows.empty())
        SeedDefaultRows(table);
}

void TdmTasks_Form::SeedDefaultRows(TRecordTable &table)
{
    const TTableSchema &schema = Schema::Table(table.Name());
    const double now = DateTimeValue::Now();
    bool first = true;
    for (const TDefaultRow &row : schema.defaultRows) {
        if (!first)
            table.Insert();
        first = false;
        for (const auto &[field, value] : row)
            table.FieldByName(field).SetValue(Schema::DefaultValue(value, now));
    }
    // The last billing and client type is stored the next time the cursor moves.
    if (&table == &adsBillingTypes || &table == &adsClientTypes)
        return;
    table.UpdateBatch(TAffectRecords::All);
    if (&table == &adsUsers)
        table.First();
    table.Edit();
}

void TdmTasks_Form::OpenDefaults(const QString &sourceDir)
{
    OpenTable(adsDefaults, sourceDir);
    if (adsDefaults.State() != TDataSetState::Insert) {
        SetSetupRequired(false);
        return;
    }
    const auto set = [this](const char *name, const QVariant &value) {
        adsDefaults.FieldByName(QString::fromLatin1(name)).SetValue(value);
    };
    set("NewTaskInsertAllowed", true);
    set("GenerateJobId", true);
    set("DayDuration", 7.0);
    set("OneTaskActive", true);
    set("StartDayOfWeek", 1);
    set("WeekStartDate", DateTimeValue::Now());
    set("DisplayProjects", true);
    set("DisplayClients", false);
    for (const char *day : {"DisplayMon", "DisplayTue", "DisplayWed", "DisplayThu", "DisplayFri"})
        set(day, true);
    set("DisplaySat", false);
    set("DisplaySun", false);
    set("DisplaySummaryDuration", true);
    set("DisplayPriority", true);
    set("MinimumTaskDuration", 15);
    set("RemoveUnusedTasks", true);
    set("StartTime", 0.0);
    set("EndTime", 0.0);
    // Walk back to the first day of this week, keeping the time of day.
    TTableField &weekStart = adsDefaults.FieldByName(u"WeekStartDate");
    const int startDay = adsDefaults.FieldByName(u"StartDayOfWeek").AsInteger();
    for (int guard = 0; guard < 7 && DateTimeValue::DayOfWeek(weekStart.AsDateTime()) != startDay; ++guard)
        weekStart.SetAsDateTime(weekStart.AsDateTime() - 1.0);
    adsDefaults.UpdateBatch(TAffectRecords::All);
    adsDefaults.Edit();
    SetSetupRequired(true);
}

void TdmTasks_Form::BuildMaxNumbers()
{
    if (adsMaxNumbers.Active())
        adsMaxNumbers.Close();
    adsMaxNumbers.CreateDataSet();
    adsMaxNumbers.Edit();
    const auto largest = [](const TRecordTable &table, QStringView fieldName) {
        int result = 0;
        const TTableField &field = table.FieldByName(fieldName);
        for (int i = 0; i < table.RecordCount(); ++i)
            result = std::max(result, std::abs(table.ValueAt(i, field).toInt()));
        return result;
    };
    adsMaxNumbers.FieldByName(u"UserId").SetAsInteger(largest(adsUsers, u"UserID"));
    adsMaxNumbers.FieldByName(u"ClientId").SetAsInteger(largest(adsClients, u"ClientId"));
    adsMaxNumbers.FieldByName(u"ProjectNumber").SetAsInteger(largest(adsProjects, u"ProjectNumber"));
    adsMaxNumbers.UpdateBatch(TAffectRecords::All);
    adsMaxNumbers.Edit();
}

void TdmTasks_Form::BuildTotals()
{
    ResetTotalsArray();
    FMaxJobId = 0;
    const TTableField &jobId = adsTasks.FieldByName(u"JobId");
    for (int i = 0; i < adsTasks.RecordCount(); ++i) {
        if (FbGenerateNextJobId)
            FMaxJobId = std::max(FMaxJobId, adsTasks.ValueAt(i, jobId).toInt());
        for (int day = 1; day <= 7; ++day)
            FTotalDurationArray[std::size_t(day)] +=
                DateTimeValue::Frac(adsTasks.ValueAt(i, adsTasks.FieldByName(DayFieldName(day))).toDouble());
    }
}

// --- saving ----------------------------------------------------------------------

void TdmTasks_Form::SaveData()
{
    if (SetupRequired())
        return;
    CheckCreateDirectory(m_dirs->DataDir());
    bool bSaveToAdmin = true;
    try {
        CheckCreateDirectory(m_dirs->RootDir());
        CheckCreateDirectory(m_dirs->AdminDataDir());
    } catch (const EVRQException &) {
        bSaveToAdmin = false;
    }
    QStringList failures;
    for (TRecordTable *table : {&adsTaskCodes, &adsTasks, &adsReporting, &adsDefaults, &adsProjects, &adsClients,
                                &adsUsers, &adsManagers, &adsUserTypes}) {
        try {
            SaveDataset(Schema::Table(table->Name()).fileName, *table, bSaveToAdmin);
        } catch (const EZelbraError &e) {
            failures << e.Message();
        }
    }
    if (!failures.isEmpty())
        throw EVRQException(failures.join(u'\n'));
}

void TdmTasks_Form::SaveDataset(const QString &sFileName, TRecordTable &aDataset, bool bSaveToAdmin)
{
    if (!aDataset.Active())
        return;
    // A changed row still being edited is part of what the user has done.
    if (aDataset.Modified())
        aDataset.UpdateBatch(TAffectRecords::All);
    if (aDataset.Tag() != 1)
        return;
    if (m_unsavable.contains(aDataset.Name()))
        throw EVRQException(QStringLiteral("%1 was not saved: its file could not be read at start-up and could not "
                                           "be set aside, so it is left as it was.")
                                .arg(QDir::toNativeSeparators(m_dirs->DataDir() + sFileName)));
    // Every row is written whatever filter the table has; the cursor stays put.
    aDataset.UpdateBatch(TAffectRecords::All);
    const TTableData &data = *aDataset.Data();
    RecordsetXml::WriteFile(m_dirs->DataDir() + sFileName, data, data.Rows());
    aDataset.SetTag(0);
    if (bSaveToAdmin && m_dirs->InstallType() == itStandard
        && FindFile(m_dirs->AdminDataDir(), sFileName).isEmpty())
        RecordsetXml::WriteFile(m_dirs->AdminDataDir() + sFileName, data, data.Rows());
}

int TdmTasks_Form::CountInClone(const TRecordTable &table, const QString &filter)
{
    TRecordTable clone(table.Name());
    clone.Clone(table);
    clone.SetFilter(filter);
    clone.SetFiltered(true);
    return clone.RecordCount();
}
