#pragma once
// The data module: owns every table of the program and the working state the
// data rules share, resolves the directories, loads or seeds the tables at
// start-up, keeps them consistent through its hooks and saves what changed.

#include "app/core/Currency.h"
#include "app/core/DirsObj.h"
#include "data/RecordTable.h"
#include "data/UserMessages.h"

#include <QSet>
#include <QString>
#include <QStringList>

#include <array>
#include <memory>
#include <optional>
#include <vector>

/// What the data module needs from its surroundings; tests point each part
/// at a temporary place.
struct TDataModuleEnvironment
{
    QString appTitle = QStringLiteral("Zelbra");
    QString exeName;                         ///< full path of the running program file
    TDirsObj::SettingsFactory settings;      ///< empty: the native per-user store
    std::optional<QString> userSaveDirectory; ///< replaces the per-user data folder
    TUserMessages *messages = nullptr;       ///< where the rules' own messages go
};

/// The value a weekday cell held when the user entered it, and whether its line was active.
struct TCurrentFieldRec
{
    double Value = 0.0;
    bool Active = false;
};

class TdmTasks_Form
{
public:
    explicit TdmTasks_Form(TDataModuleEnvironment environment);
    ~TdmTasks_Form();
    TdmTasks_Form(const TdmTasks_Form &) = delete;
    TdmTasks_Form &operator=(const TdmTasks_Form &) = delete;

    // --- the tables ----------------------------------------------------------------------
    TRecordTable adsUserTypes{QStringLiteral("adsUserTypes")};
    TRecordTable adsUserAuthority{QStringLiteral("adsUserAuthority")};
    TRecordTable adsBillingTypes{QStringLiteral("adsBillingTypes")};
    TRecordTable adsClientTypes{QStringLiteral("adsClientTypes")};
    TRecordTable adsManagers{QStringLiteral("adsManagers")};
    TRecordTable adsUsers{QStringLiteral("adsUsers")};
    TRecordTable adsClients{QStringLiteral("adsClients")};
    TRecordTable adsProjects{QStringLiteral("adsProjects")};
    TRecordTable adsTaskCodes{QStringLiteral("adsTaskCodes")};
    TRecordTable adsTasks{QStringLiteral("adsTasks")};
    TRecordTable adsReporting{QStringLiteral("adsReporting")};
    TRecordTable adsReports{QStringLiteral("adsReports")};
    TRecordTable adsDefaults{QStringLiteral("adsDefaults")};
    TRecordTable adsChartData{QStringLiteral("adsChartData")};
    TRecordTable adsMaxNumbers{QStringLiteral("adsMaxNumbers")};

    /// The table of that name (case ignored), or nullptr.
    TRecordTable *TableByName(QStringView name);

    // --- start-up, saving, shutdown ------------------------------------------------------
    /// The start-up sequence: directories, every table opened or seeded, the
    /// highest numbers, the week's totals. Raises EVRQException when the data
    /// or settings directory cannot be created.
    void DataModuleCreate();
    /// Writes every changed persisted table; nothing while setup is pending.
    /// Every table is attempted; a table that could not be written keeps its
    /// changed flag and the error, naming its file, is raised after the others.
    void SaveData();
    /// Writes one table if it changed; raises EDatabaseError naming the file on failure.
    void SaveDataset(const QString &sFileName, TRecordTable &aDataset, bool bSaveToAdmin);
    void ResetTotalsArray();

    TDirsObj &DirsObj() { return *m_dirs; }
    const TDirsObj &DirsObj() const { return *m_dirs; }
    QString HelpFile() const { return m_helpFile; }

    bool SetupRequired() const { return FSetupRequired; }
    void SetSetupRequired(bool value) { FSetupRequired = value; }
    bool CreationPhase() const { return FCreationPhase; }
    void SetCreationPhase(bool value) { FCreationPhase = value; }

    // --- creation routines of the time-file import ------------------------------------------
    void CreateClient(const QString &sClientName, const QString &sContactFirstName, const QString &sContactLastName,
                      const QString &sNotes, const QString &sTaxRegistration, int iBillingTypeNumber,
                      int iClientTypeNumber);
    int CreateProject(const QString &sProjectName, TCurrency cDailyRate, TCurrency cTotalCost, double dtCompletionDate);
    void CreateTask(const QString &sTaskCode, int iProjectNumber, TCurrency cDailyRate, TCurrency cTotalCost,
                    double dtCompletionDate, const QString &sTaskDescription);

    // --- working state shared by the rules --------------------------------------------------
    bool FSetupRequired = false;
    bool FCreationPhase = false;
    bool FOneTaskActive = false;
    bool FActivating = false;
    bool FbGenerateNextJobId = false;
    double FDayDuration = 7.0;
    int FMaxJobId = 0;
    /// Total time per weekday, index 1 = Sunday … 7 = Saturday (index 0 unused).
    std::array<double, 8> FTotalDurationArray{};
    TCurrentFieldRec rCurrentField;
    bool FTimerActive = false;

    /// Where the rules' own messages go (never null: a silent sink by default).
    TUserMessages &Messages() { return *m_messages; }

    // --- hooks of the weekly task lines ---------------------------------------------------------
    void adsTasksAfterInsert(TRecordTable &DataSet);
    void adsTasksBeforePost(TRecordTable &DataSet);
    void adsTasksBeforeDelete(TRecordTable &DataSet);
    void adsTasksCalcFields(TRecordTable &DataSet);
    void adsTasksTaskCodeValidate(TTableField &Sender, const QVariant &proposed);
    void adsTasksTaskCodeChange(TTableField &Sender);
    void adsTasksActiveChange(TTableField &Sender);
    void adsTasksPriorityChange(TTableField &Sender);
    void DayDurationChange(TTableField &Sender);
    QString adsTasksMonDurationGetText(TTableField &Sender, bool DisplayText);
    void TimeSetText(TTableField &Sender, const QString &Text);
    QString DateGetText(TTableField &Sender, bool DisplayText);
    void adsChartDataCalcFields(TRecordTable &DataSet);
    void adsReportingDurationValidate(TTableField &Sender, const QVariant &proposed);
    void adsReportingAfterScroll(TRecordTable &DataSet);
    void adsDefaultsStartTimeChange(TTableField &Sender);
    void adsDefaultsEndTimeChange(TTableField &Sender);

    // --- hooks of the reference data ---------------------------------------------------------
    void adsTaskCodesAfterInsert(TRecordTable &DataSet);
    void adsTaskCodesBeforePost(TRecordTable &DataSet);
    void adsTaskCodesBeforeDelete(TRecordTable &DataSet);
    void adsTaskCodesCalcFields(TRecordTable &DataSet);
    void adsTaskCodesTaskCodeValidate(TTableField &Sender, const QVariant &proposed);
    void adsTaskCodesTaskCodeChange(TTableField &Sender);
    void adsTaskCodesProjectNumberChange(TTableField &Sender);
    void adsProjectsAfterInsert(TRecordTable &DataSet);
    void adsProjectsBeforePost(TRecordTable &DataSet);
    void adsProjectsBeforeDelete(TRecordTable &DataSet);
    void adsClientsAfterInsert(TRecordTable &DataSet);
    void adsClientsBeforePost(TRecordTable &DataSet);
    void adsClientsBeforeDelete(TRecordTable &DataSet);
    void adsUsersAfterInsert(TRecordTable &DataSet);
    void adsUsersBeforePost(TRecordTable &DataSet);
    void adsUsersBeforeDelete(TRecordTable &DataSet);
    void adsUsersCalcFields(TRecordTable &DataSet);
    void adsUsersUserTypeNumberValidate(TTableField &Sender, const QVariant &proposed);
    void adsUsersUserTypeNumberChange(TTableField &Sender);

    /// Marks a persisted table changed after a post or a deletion.
    void DataSetAfterPost(TRecordTable &DataSet);

    /// Weekday field names by day number (1 = "SunDuration" … 7 = "SatDuration").
    static QString DayFieldName(int dayNumber);
    /// Day number of a weekday field name, 0 when the name is not one.
    static int DayNumberOfField(QStringView fieldName);

private:
    void DefineTables();
    void WireWeeklyTaskRules();
    void WireReferenceRules();
    void OpenTable(TRecordTable &table, const QString &sourceDir);
    void SeedDefaultRows(TRecordTable &table);
    void OpenDefaults(const QString &sourceDir);
    void BuildMaxNumbers();
    void BuildTotals();
    QString KeepUnreadableFile(const QString &path);
    /// Counts rows of a table, through a clone, that pass a filter.
    int CountInClone(const TRecordTable &table, const QString &filter);

    TDataModuleEnvironment m_env;
    std::unique_ptr<TDirsObj> m_dirs;
    std::unique_ptr<TUserMessages> m_silent;
    TUserMessages *m_messages = nullptr;
    QString m_helpFile;
    QSet<QString> m_unsavable; // tables whose unreadable file could not be set aside
};
