// Start-up of the data module over a realistic data directory (a history of
// 100,000 rows, 200 task codes, 50 projects, 50 clients, 20 users, 30 lines),
// and the save that follows a change of one line.
#include "BenchMemory.h"

#include "app/core/DateTimeValue.h"
#include "data/DataModule.h"
#include "data/Schema.h"

#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QLocale>
#include <QSettings>
#include <QTemporaryDir>

#include <random>

namespace {

constexpr int HistoryRows = 100000;

struct TBenchInstallation
{
    QTemporaryDir dir;
    QString exeDir;
    QString userDir;
    QString settingsFile;

    TBenchInstallation()
    {
        exeDir = dir.path() + QStringLiteral("/Zelbra/Bin/");
        userDir = dir.path() + QStringLiteral("/user");
        settingsFile = dir.path() + QStringLiteral("/settings.ini");
        QDir().mkpath(exeDir);
        QDir().mkpath(userDir);
    }

    std::unique_ptr<TdmTasks_Form> Make() const
    {
        TDataModuleEnvironment env;
        env.exeName = exeDir + QStringLiteral("zelbra");
        const QString ini = settingsFile;
        env.settings = [ini](const QString &) { return std::make_unique<QSettings>(ini, QSettings::IniFormat); };
        env.userSaveDirectory = userDir;
        return std::make_unique<TdmTasks_Form>(env);
    }
};

void Add(TRecordTable &table, std::initializer_list<std::pair<const char *, QVariant>> values)
{
    table.Append();
    for (const auto &[name, value] : values)
        table.FieldByName(QString::fromLatin1(name)).SetValue(value);
    table.Post();
}

// Fills a first-run data module with realistic reference data, lines and history, and saves it.
void Populate(TdmTasks_Form &dm)
{
    std::mt19937 random(7);
    for (int p = 1; p <= 50; ++p)
        Add(dm.adsProjects, {{"ProjectName", QStringLiteral("Project %1").arg(p)},
                             {"DailyRate", QVariant::fromValue(TCurrency::FromInteger(300 + p))}});
    for (int c = 1; c <= 50; ++c)
        Add(dm.adsClients, {{"ClientName", QStringLiteral("Client %1 Ltd").arg(c)},
                            {"ContactFirstName", QStringLiteral("Ann")}, {"ContactLastName", QStringLiteral("Lee")}});
    for (int u = 1; u <= 20; ++u)
        Add(dm.adsUsers, {{"FirstName", QStringLiteral("User")}, {"LastName", QString::number(u)},
                          {"SignOn", QStringLiteral("u%1").arg(u)}, {"Password", QStringLiteral("pw")}});
    for (int t = 1; t <= 200; ++t)
        Add(dm.adsTaskCodes, {{"TaskCode", QStringLiteral("T%1").arg(t, 3, 10, QLatin1Char('0'))},
                              {"TaskDescription", QStringLiteral("Task number %1 of the plan").arg(t)},
                              {"ProjectNumber", -(1 + t % 50)}});
    for (int l = 1; l <= 29; ++l)
        Add(dm.adsTasks, {{"TaskCode", QStringLiteral("T%1").arg(l, 3, 10, QLatin1Char('0'))},
                          {"MonDuration", 1.5 / 24}, {"TueDuration", 0.5 / 24}});

    // History: 40 years of workdays, a few rows a day, written straight into the table.
    TRecordTable &history = dm.adsReporting;
    history.Cancel();
    const double firstDay = DateTimeValue::FromDate(QDate(1986, 1, 6));
    int day = 0;
    for (int row = 0; row < HistoryRows; ++row) {
        if (row % 10 == 0)
            day += (day % 7 == 4) ? 3 : 1;
        const int code = int(random() % 200) + 1;
        Add(history, {{"TaskCode", QStringLiteral("T%1").arg(code, 3, 10, QLatin1Char('0'))},
                      {"TaskDescription", QStringLiteral("Task number %1 of the plan").arg(code)},
                      {"DateTimeCreated", firstDay + day}, {"DateTimeAmended", firstDay + day},
                      {"Active", false}, {"Completed", false},
                      {"DateTimeSubmitted", firstDay + day},
                      {"Duration", double(15 + random() % 240) / 1440.0},
                      {"ProjectNumber", -(1 + code % 50)}, {"ClientId", -(1 + code % 50)},
                      {"UserId", -(1 + int(random() % 20))}, {"InvoiceNumber", 0}, {"AuthUserId", 0}});
    }
    dm.SetSetupRequired(false);
    dm.SaveData();
}

const TBenchInstallation &Installation()
{
    static const std::unique_ptr<TBenchInstallation> installation = [] {
        auto inst = std::make_unique<TBenchInstallation>();
        auto dm = inst->Make();
        dm->DataModuleCreate();
        Populate(*dm);
        return inst;
    }();
    return *installation;
}

void BM_DataModuleCreate(benchmark::State &state)
{
    const TBenchInstallation &inst = Installation();
    double peak = 0;
    for (auto _ : state) {
        state.PauseTiming();
        malloc_trim(0);
        const std::size_t rssBefore = BenchMemory::StatusBytes("VmRSS:");
        BenchMemory::ResetPeak();
        auto dm = inst.Make();
        state.ResumeTiming();
        dm->DataModuleCreate();
        state.PauseTiming();
        peak = std::max(peak, double(BenchMemory::StatusBytes("VmHWM:") - rssBefore) / BenchMemory::MiB);
        if (dm->adsReporting.Data()->RowCount() != std::size_t(HistoryRows) || dm->SetupRequired())
            state.SkipWithError("the data directory did not load");
        dm.reset();
        state.ResumeTiming();
    }
    state.counters["peak_MiB"] = peak;
}

// After one line changed, only the tasks file may be written.
void BM_SaveDataAfterOneLineChanged(benchmark::State &state)
{
    const TBenchInstallation &inst = Installation();
    auto dm = inst.Make();
    dm->DataModuleCreate();
    const QString data = dm->DirsObj().DataDir();
    for (auto _ : state) {
        state.PauseTiming();
        QMap<QString, QDateTime> before;
        for (const QFileInfo &f : QDir(data).entryInfoList(QDir::Files))
            before.insert(f.fileName(), f.lastModified());
        dm->adsTasks.First();
        dm->adsTasks.Edit();
        TTableField &mon = dm->adsTasks.FieldByName(u"MonDuration");
        dm->rCurrentField.Value = mon.AsFloat();
        mon.SetAsFloat(DateTimeValue::Frac(mon.AsFloat() + 1.0 / 1440));
        dm->adsTasks.Post();
        if (dm->adsTasks.Tag() != 1)
            state.SkipWithError("the changed line did not mark its table");
        state.ResumeTiming();
        dm->SaveData();
        state.PauseTiming();
        bool wrongTables = dm->adsTasks.Tag() != 0;
        for (TRecordTable *t : {&dm->adsTaskCodes, &dm->adsReporting, &dm->adsDefaults, &dm->adsProjects,
                                &dm->adsClients, &dm->adsUsers, &dm->adsManagers, &dm->adsUserTypes})
            wrongTables = wrongTables || t->Tag() != 0;
        if (wrongTables)
            state.SkipWithError("a changed flag was left set");
        for (const QFileInfo &f : QDir(data).entryInfoList(QDir::Files)) {
            const bool changed = f.lastModified() != before.value(f.fileName());
            if (changed && f.fileName() != u"Tasksfile.xml") {
                state.SkipWithError(qPrintable(QStringLiteral("unexpected write state of ") + f.fileName()));
                break;
            }
        }
        state.ResumeTiming();
    }
}

} // namespace

BENCHMARK(BM_DataModuleCreate)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SaveDataAfterOneLineChanged)->Unit(benchmark::kMillisecond);

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedKingdom));
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
