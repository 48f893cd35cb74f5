// Start-up of the real program over a realistic data directory (a history of
// 100,000 rows, 200 task codes, 50 projects, 50 clients, 20 users, 30 lines):
// wall time from starting the process to the first paint of the main window,
// the splash's one-second hold left out. Each run is a fresh process of a
// portable installation in a temporary directory; the program reports its
// first paint on its standard output (ZELBRA_FIRST_PAINT_PROBE) and closes.
#include "app/core/DateTimeValue.h"
#include "data/DataModule.h"

#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLocale>
#include <QProcess>
#include <QTemporaryDir>

#include <random>

namespace {

constexpr int HistoryRows = 100000;

void Add(TRecordTable &table, std::initializer_list<std::pair<const char *, QVariant>> values)
{
    table.Append();
    for (const auto &[name, value] : values)
        table.FieldByName(QString::fromLatin1(name)).SetValue(value);
    table.Post();
}

// The program copied into "<dir>/Zelbra/Bin/" beside a portable marker, with
// its data under "<dir>/Data/".
struct TPortableInstallation
{
    QTemporaryDir dir;
    QString exe;
    bool ready = false;

    TPortableInstallation()
    {
        const QString bin = dir.path() + QStringLiteral("/Zelbra/Bin/");
        QDir().mkpath(bin);
        exe = bin + QStringLiteral("zelbra");
        if (!QFile::copy(QStringLiteral(ZELBRA_EXE), exe))
            return;
        QFile marker(bin + QStringLiteral("Portable.ini"));
        if (!marker.open(QIODevice::WriteOnly))
            return;
        marker.close();
        Populate();
        ready = true;
    }

    void Populate() const
    {
        TDataModuleEnvironment env;
        env.exeName = exe;
        TdmTasks_Form dm(env);
        dm.DataModuleCreate();
        std::mt19937 random(7);
        for (int p = 1; p <= 50; ++p)
            Add(dm.adsProjects, {{"ProjectName", QStringLiteral("Project %1").arg(p)}});
        for (int c = 1; c <= 50; ++c)
            Add(dm.adsClients, {{"ClientName", QStringLiteral("Client %1 Ltd").arg(c)}});
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
        TRecordTable &history = dm.adsReporting;
        const double firstDay = DateTimeValue::FromDate(QDate(1986, 1, 6));
        int day = 0;
        for (int row = 0; row < HistoryRows; ++row) {
            if (row % 10 == 0)
                day += (day % 7 == 4) ? 3 : 1;
            const int code = int(random() % 200) + 1;
            Add(history, {{"TaskCode", QStringLiteral("T%1").arg(code, 3, 10, QLatin1Char('0'))},
                          {"TaskDescription", QStringLiteral("Task number %1 of the plan").arg(code)},
                          {"DateTimeCreated", firstDay + day}, {"DateTimeAmended", firstDay + day},
                          {"Active", false}, {"Completed", false}, {"DateTimeSubmitted", firstDay + day},
                          {"Duration", double(15 + random() % 240) / 1440.0},
                          {"ProjectNumber", -(1 + code % 50)}, {"ClientId", -(1 + code % 50)},
                          {"UserId", -(1 + int(random() % 20))}, {"InvoiceNumber", 0}, {"AuthUserId", 0}});
        }
        // No week is due, so the review window stays closed at start-up.
        const double now = DateTimeValue::Now();
        dm.adsDefaults.Edit();
        dm.adsDefaults.FieldByName(u"WeekStartDate").SetAsDateTime(now - 1);
        dm.adsDefaults.FieldByName(u"StartDayOfWeek").SetAsInteger(DateTimeValue::DayOfWeek(now) % 7 + 1);
        dm.adsDefaults.Post();
        dm.SetSetupRequired(false);
        dm.SaveData();
    }
};

const TPortableInstallation &Installation()
{
    static const TPortableInstallation installation;
    return installation;
}

void BM_StartUpToFirstPaint(benchmark::State &state)
{
    const TPortableInstallation &inst = Installation();
    if (!inst.ready) {
        state.SkipWithError("the installation could not be made");
        return;
    }
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("ZELBRA_FIRST_PAINT_PROBE"), QStringLiteral("1"));
    if (!environment.contains(QStringLiteral("QT_QPA_PLATFORM")))
        environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    double worst = 0;
    for (auto _ : state) {
        QProcess zelbra;
        zelbra.setProcessEnvironment(environment);
        zelbra.setProcessChannelMode(QProcess::SeparateChannels);
        QElapsedTimer clock;
        clock.start();
        zelbra.start(inst.exe, {});
        QByteArray out;
        while (!out.contains("first-paint") && zelbra.waitForReadyRead(10000))
            out += zelbra.readAllStandardOutput();
        const double seconds = double(clock.nsecsElapsed()) / 1e9;
        if (!out.contains("first-paint")) {
            state.SkipWithError("the main window did not paint");
            zelbra.kill();
            zelbra.waitForFinished();
            return;
        }
        if (!out.contains(QByteArray("history=") + QByteArray::number(HistoryRows))) {
            state.SkipWithError("the program did not load the history");
            zelbra.waitForFinished();
            return;
        }
        state.SetIterationTime(seconds);
        worst = std::max(worst, seconds * 1000);
        // The program closes itself; its save is not part of the start-up.
        if (!zelbra.waitForFinished(20000))
            zelbra.kill();
    }
    state.counters["worst_ms"] = worst;
}

} // namespace

BENCHMARK(BM_StartUpToFirstPaint)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(10);

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedKingdom));
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
