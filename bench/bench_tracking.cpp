// One minute tick over a realistic week's sheet: 200 lines, each with its own
// task code (a quarter of them with a completion date), one line active, the
// main window's filter and the grid's order in force.
#include "app/core/Clock.h"
#include "app/core/Currency.h"
#include "app/core/DateTimeValue.h"
#include "data/DataModule.h"
#include "tracking/TimeTracker.h"

#include <QDateTime>
#include <QGuiApplication>
#include <QSettings>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <memory>

namespace {

constexpr int LineCount = 200;

struct TSheet
{
    TSheet()
    {
        TClock::SetFixed(QDateTime(QDate(2026, 12, 8), QTime(10, 0)));
        TDataModuleEnvironment env;
        env.exeName = dir.path() + QStringLiteral("/bin/zelbra");
        const QString ini = dir.path() + QStringLiteral("/settings.ini");
        env.settings = [ini](const QString &) { return std::make_unique<QSettings>(ini, QSettings::IniFormat); };
        env.userSaveDirectory = dir.path() + QStringLiteral("/user");
        dm = std::make_unique<TdmTasks_Form>(env);
        dm->DataModuleCreate();
        dm->FOneTaskActive = false;

        const double now = DateTimeValue::Now();
        TRecordTable &codes = dm->adsTaskCodes;
        TRecordTable &tasks = dm->adsTasks;
        tasks.First();
        tasks.Delete(); // the seeded line
        for (int i = 0; i < LineCount; ++i) {
            const QString code = QStringLiteral("T%1").arg(i, 3, 10, QLatin1Char('0'));
            codes.Append();
            codes.FieldByName(u"TaskCode").SetAsString(code);
            codes.FieldByName(u"TaskDescription").SetAsString(QStringLiteral("Task %1").arg(i));
            codes.FieldByName(u"DailyRate").SetAsCurrency(TCurrency());
            codes.FieldByName(u"TotalCost").SetAsCurrency(TCurrency());
            codes.FieldByName(u"ProjectNumber").SetAsInteger(0);
            codes.FieldByName(u"CompletionDate").SetAsDateTime(i % 4 == 0 ? now + i % 9 : 0.0);
            codes.Post();

            tasks.Append();
            tasks.FieldByName(u"JobId").SetAsInteger(i + 1);
            tasks.FieldByName(u"TaskCode").SetAsString(code);
            tasks.FieldByName(u"TaskDescription").SetAsString(QStringLiteral("Task %1").arg(i));
            tasks.FieldByName(u"Completed").SetAsBoolean(false);
            for (int day = 1; day <= 7; ++day)
                tasks.FieldByName(TdmTasks_Form::DayFieldName(day))
                    .SetAsDateTime(DateTimeValue::EncodeTime((i + day) % 3, (i * 7 + day) % 60));
            tasks.FieldByName(u"Priority").SetAsInteger(0);
            tasks.FieldByName(u"ProjectNumber").SetAsInteger(0);
            tasks.FieldByName(u"ClientId").SetAsInteger(0);
            tasks.FieldByName(u"Active").SetAsBoolean(i == LineCount / 2);
            tasks.Post();
        }
        tasks.SetFilter(QStringLiteral("Completed = False"));
        tasks.SetFiltered(true);
        tasks.SetSort(QStringLiteral("TaskCode ASC"));
        tasks.First();
        tasks.Edit();

        tracker = std::make_unique<TTimeTracker>(*dm);
        tracker->SetMinuteTimerEnabled(false); // ticks are driven by the benchmark
        tracker->Initialise();
    }
    ~TSheet()
    {
        tracker.reset();
        dm.reset();
        TClock::Release();
    }

    QTemporaryDir dir;
    std::unique_ptr<TdmTasks_Form> dm;
    std::unique_ptr<TTimeTracker> tracker;
};

void BM_MinuteTick(benchmark::State &state)
{
    TSheet sheet;
    for (auto _ : state)
        sheet.tracker->TimeTrackerTimerTimer();
    state.SetItemsProcessed(state.iterations() * LineCount);
}
BENCHMARK(BM_MinuteTick)->Unit(benchmark::kMicrosecond);

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
