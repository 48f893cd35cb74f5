// The record table store on a history of realistic size: 100,000 submitted
// rows shaped like adsReporting (200 task codes, 40 years of workdays, a few
// rows per day), saved to and loaded from its file. Other store benchmarks
// (filters, sorts) reuse History().

#include "BenchMemory.h"

#include "app/core/DateTimeValue.h"
#include "data/RecordTable.h"
#include "data/Schema.h"
#include "data/RecordsetXml.h"
#include "data/TableData.h"

#include <QBuffer>
#include <QDate>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <malloc.h>

#include <cstdio>
#include <cstring>
#include <memory>
#include <random>
#include <vector>

namespace {

constexpr std::size_t HistoryRows = 100000;

std::vector<TColumnDef> HistoryColumns()
{
    return {
        {QStringLiteral("TaskCode"), TFieldKind::String, 10},
        {QStringLiteral("TaskDescription"), TFieldKind::String, 75},
        {QStringLiteral("DateTimeCreated"), TFieldKind::DateTime},
        {QStringLiteral("DateTimeAmended"), TFieldKind::DateTime},
        {QStringLiteral("Active"), TFieldKind::Boolean},
        {QStringLiteral("Completed"), TFieldKind::Boolean},
        {QStringLiteral("DateTimeSubmitted"), TFieldKind::DateTime},
        {QStringLiteral("Duration"), TFieldKind::DateTime},
        {QStringLiteral("ProjectNumber"), TFieldKind::Integer},
        {QStringLiteral("ClientId"), TFieldKind::Integer},
        {QStringLiteral("UserId"), TFieldKind::Integer},
        {QStringLiteral("InvoiceNumber"), TFieldKind::Integer},
        {QStringLiteral("AuthUserId"), TFieldKind::Integer},
    };
}

enum THistoryColumn {
    hcTaskCode, hcTaskDescription, hcDateTimeCreated, hcDateTimeAmended, hcActive, hcCompleted,
    hcDateTimeSubmitted, hcDuration, hcProjectNumber, hcClientId, hcUserId, hcInvoiceNumber, hcAuthUserId
};

struct TTaskCode
{
    QString code;
    QString description;
    int project;
    int client;
};

/// 200 task codes with descriptions of 20 to 75 characters, spread over 30 projects and 12 clients.
std::vector<TTaskCode> TaskCodes(std::mt19937 &random)
{
    static const char *const verbs[] = {"Review", "Design", "Implement", "Test", "Document", "Support",
                                        "Plan", "Migrate", "Audit", "Estimate"};
    static const char *const subjects[] = {"invoice export", "client portal", "weekly timesheet", "billing rules",
                                           "project dashboard", "data warehouse", "release notes",
                                           "mobile sign-on", "tax registration", "report layouts"};
    static const char *const details[] = {"", " for the second phase", " after the customer workshop",
                                          " including regression checks and sign-off",
                                          " with the external auditors", " (carried over from last quarter)"};
    std::vector<TTaskCode> codes;
    codes.push_back({QStringLiteral("GEN"), QStringLiteral("General"), 0, 0});
    codes.push_back({QStringLiteral("ADMIN"), QStringLiteral("Administration"), 0, 0});
    while (codes.size() < 200) {
        const auto n = codes.size();
        const QString code = QStringLiteral("%1%2").arg(QLatin1String(n % 3 == 0 ? "PRJ" : n % 3 == 1 ? "SUP" : "DEV"))
                                 .arg(n, 4, 10, QLatin1Char('0'));
        QString description = QStringLiteral("%1 %2%3")
                                  .arg(QLatin1String(verbs[random() % std::size(verbs)]),
                                       QLatin1String(subjects[random() % std::size(subjects)]),
                                       QLatin1String(details[random() % std::size(details)]));
        codes.push_back({code, description.left(75), -int(random() % 30), -int(random() % 12)});
    }
    return codes;
}

} // namespace

/// A history table of the given number of rows, the same for the same count.
std::shared_ptr<TTableData> MakeHistoryTable(std::size_t rows)
{
    std::mt19937 random(20261211);
    const std::vector<TTaskCode> codes = TaskCodes(random);

    // Workdays of 40 years, oldest first.
    std::vector<double> workdays;
    for (QDate day(1986, 1, 6); day < QDate(2026, 1, 5); day = day.addDays(1)) {
        if (day.dayOfWeek() <= 5)
            workdays.push_back(DateTimeValue::FromDate(day));
    }

    auto data = std::make_shared<TTableData>(HistoryColumns());
    const std::uint32_t first = data->AppendRows(rows);
    for (std::size_t i = 0; i < rows; ++i) {
        const std::uint32_t slot = first + std::uint32_t(i);
        const TTaskCode &task = codes[random() % codes.size()];
        const double submitted = workdays[i * workdays.size() / rows];
        // Created in the days before, at a moment with seconds and milliseconds.
        const double created = submitted - double(random() % 30)
            + DateTimeValue::EncodeTime(int(7 + random() % 11), int(random() % 60), int(random() % 60),
                                        int(random() % 1000));
        data->Column(hcTaskCode).SetText(slot, task.code);
        data->Column(hcTaskDescription).SetText(slot, task.description);
        data->Column(hcDateTimeCreated).SetDouble(slot, created);
        data->Column(hcDateTimeAmended).SetDouble(slot, created);
        data->Column(hcActive).SetInt(slot, random() % 100 == 0 ? 1 : 0);
        data->Column(hcCompleted).SetInt(slot, random() % 3 == 0 ? 1 : 0);
        data->Column(hcDateTimeSubmitted).SetDouble(slot, submitted);
        data->Column(hcDuration).SetDouble(slot, double(15 * (1 + random() % 32)) / DateTimeValue::MinutesPerDay);
        data->Column(hcProjectNumber).SetInt(slot, task.project);
        data->Column(hcClientId).SetInt(slot, task.client);
        data->Column(hcUserId).SetInt(slot, -int(random() % 4));
        data->Column(hcInvoiceNumber).SetInt(slot, random() % 5 == 0 ? 0 : int(1000 + i / 50));
        data->Column(hcAuthUserId).SetInt(slot, 0);
    }
    return data;
}

/// The shared 100,000-row history.
const TTableData &History()
{
    static const std::shared_ptr<TTableData> history = MakeHistoryTable(HistoryRows);
    return *history;
}

namespace {

QTemporaryDir &WorkDir()
{
    static QTemporaryDir dir;
    return dir;
}

/// The history saved once, for the load benchmarks.
const QString &HistoryFile()
{
    static const QString path = [] {
        const QString p = WorkDir().filePath(QStringLiteral("Reportingfile.xml"));
        RecordsetXml::WriteFile(p, History(), History().Rows());
        return p;
    }();
    return path;
}

using BenchMemory::HeapInUse;
using BenchMemory::MiB;
using BenchMemory::ResetPeak;
using BenchMemory::StatusBytes;

void BM_SaveHistory(benchmark::State &state)
{
    const TTableData &history = History();
    const QString path = WorkDir().filePath(QStringLiteral("Saved.xml"));
    for (auto _ : state)
        RecordsetXml::WriteFile(path, history, history.Rows());
    const auto size = QFileInfo(path).size();
    state.SetBytesProcessed(std::int64_t(state.iterations()) * size);
    state.counters["file_MiB"] = double(size) / MiB;
    state.counters["rows"] = double(history.RowCount());
}

/// The same without the disk: formatting only.
void BM_WriteHistoryToMemory(benchmark::State &state)
{
    const TTableData &history = History();
    // One buffer, written over each time, so its pages are touched once.
    QByteArray bytes;
    bytes.reserve(64 << 20);
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    qint64 size = 0;
    for (auto _ : state) {
        buffer.seek(0);
        RecordsetXml::Write(buffer, history, history.Rows());
        size = buffer.pos();
    }
    state.SetBytesProcessed(std::int64_t(state.iterations()) * size);
}

void BM_LoadHistory(benchmark::State &state)
{
    const QString &path = HistoryFile();
    const std::vector<TColumnDef> columns = HistoryColumns();
    std::size_t rows = 0;
    for (auto _ : state) {
        const auto data = RecordsetXml::ReadFile(path, columns);
        rows = data->RowCount();
        benchmark::DoNotOptimize(rows);
    }
    state.SetBytesProcessed(std::int64_t(state.iterations()) * QFileInfo(path).size());
    state.counters["rows"] = double(rows);
}

/// One load measured for memory: the peak resident growth while it runs and
/// the heap the loaded table keeps.
void BM_LoadHistoryMemory(benchmark::State &state)
{
    const QString &path = HistoryFile();
    const std::vector<TColumnDef> columns = HistoryColumns();
    double peak = 0;
    double held = 0;
    for (auto _ : state) {
        state.PauseTiming();
        malloc_trim(0);
        const std::size_t heapBefore = HeapInUse();
        const std::size_t rssBefore = StatusBytes("VmRSS:");
        if (!ResetPeak()) {
            state.SkipWithError("cannot reset the peak resident size");
            return;
        }
        state.ResumeTiming();
        auto data = RecordsetXml::ReadFile(path, columns);
        state.PauseTiming();
        peak = double(StatusBytes("VmHWM:") - rssBefore) / MiB;
        held = double(HeapInUse() - heapBefore) / MiB;
        data.reset();
        state.ResumeTiming();
    }
    state.counters["peak_MiB"] = peak;
    state.counters["held_MiB"] = held;
}

/// The history loaded into a table defined like adsReporting.
TRecordTable &HistoryTable()
{
    static const std::unique_ptr<TRecordTable> table = [] {
        auto t = std::make_unique<TRecordTable>(QStringLiteral("adsReporting"));
        Schema::DefineFields(*t, Schema::Table(u"adsReporting"), {});
        t->LoadFromFile(HistoryFile());
        return t;
    }();
    return *table;
}

QString RangeFilter(QDate from, QDate to)
{
    return QStringLiteral(" DateTimeSubmitted >= ") + DateTimeValue::DateToStr(DateTimeValue::FromDate(from))
           + QStringLiteral(" AND DateTimeSubmitted <= ") + DateTimeValue::DateToStr(DateTimeValue::FromDate(to));
}

// The report window's selection: a date range, then the report's order.
void FilterAndSort(benchmark::State &state, const QString &filter)
{
    TRecordTable &table = HistoryTable();
    int rows = 0;
    for (auto _ : state) {
        state.PauseTiming();
        table.SetFiltered(false);
        table.SetSort(QString());
        state.ResumeTiming();
        table.SetFilter(filter);
        table.SetFiltered(true);
        table.SetSort(QStringLiteral("ProjectNumber,TaskCode"));
        rows = table.RecordCount();
        benchmark::DoNotOptimize(rows);
    }
    state.counters["rows"] = rows;
    if (rows == 0)
        state.SkipWithError("the range selected no rows");
}

void BM_FilterOneMonthAndSort(benchmark::State &state)
{
    FilterAndSort(state, RangeFilter(QDate(2020, 3, 1), QDate(2020, 3, 31)));
}

void BM_FilterAllTimeAndSort(benchmark::State &state)
{
    FilterAndSort(state, RangeFilter(QDate(1900, 1, 1), QDate(2100, 12, 31)));
}

} // namespace

BENCHMARK(BM_FilterOneMonthAndSort)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FilterAllTimeAndSort)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LoadHistoryMemory)->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SaveHistory)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_WriteHistoryToMemory)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LoadHistory)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
