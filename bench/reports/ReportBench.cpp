// Report generation over a 7-day acquisition and recalculation throughput
// from real-time files, on one thread and on two. Peak memory is the
// process's resident high-water mark after each benchmark.

#include <benchmark/benchmark.h>

#include "ManualHost.h"
#include "ScriptedDialogs.h"
#include "WeekAcquisition.h"
#include "reports/ActivityTable.h"
#include "reports/Recalculation.h"
#include "reports/RhythmExport.h"

namespace zorvex {
namespace {

constexpr int RecalcRecords = 44;  // four real-time files of 500-sample dumps

using bench::peakMegabytes;
using bench::plateAndFolder;

void BM_WeekReport(benchmark::State& state) {
    test::TempFolder temp;
    auto builder = bench::weekAcquisition(temp, "week");
    ReportRequest request;
    request.acquisitionFolder = builder.folder();
    request.programFolder = temp.path();
    request.binMinutes = state.range(0);
    test::ScriptedDialogs dialogs;
    test::ManualHost host;
    for (auto _ : state) {
        auto outcome = generateReport(request, dialogs, host);
        benchmark::DoNotOptimize(outcome);
    }
    state.counters["peak_MB"] = peakMegabytes();
}
BENCHMARK(BM_WeekReport)->Arg(5)->Arg(60)->Unit(benchmark::kMillisecond);

// The exports of the report window's Advanced menu, on the same week (in a
// folder named as an acquisition start, which they read).
constexpr const char* WeekStamp = "14032026_0930";

void BM_WeekActivityTable(benchmark::State& state) {
    test::TempFolder temp;
    auto builder = bench::weekAcquisition(temp, WeekStamp);
    const ActivityTableRequest request{builder.folder(), temp.path(), static_cast<int>(state.range(0)), {}};
    test::ScriptedDialogs dialogs;
    for (auto _ : state) {
        auto file = exportActivityTable(request, dialogs);
        if (!file) state.SkipWithError(dialogs.shown.back().c_str());
        benchmark::DoNotOptimize(file);
    }
    state.counters["peak_MB"] = peakMegabytes();
}
BENCHMARK(BM_WeekActivityTable)->Arg(1)->Arg(5)->Unit(benchmark::kMillisecond);

void BM_WeekRhythmExport(benchmark::State& state) {
    test::TempFolder temp;
    auto builder = bench::weekAcquisition(temp, WeekStamp);
    const RhythmRequest request{builder.folder(), temp.path(), static_cast<int>(state.range(0)), {}};
    test::ScriptedDialogs dialogs;
    for (auto _ : state) {
        auto files = exportRhythm(request, dialogs);
        if (files.empty()) state.SkipWithError(dialogs.shown.back().c_str());
        benchmark::DoNotOptimize(files);
    }
    state.counters["peak_MB"] = peakMegabytes();
}
BENCHMARK(BM_WeekRhythmExport)->Arg(1)->Arg(5)->Unit(benchmark::kMillisecond);

void BM_Recalculation(benchmark::State& state) {
    test::TempFolder temp;
    auto builder = plateAndFolder(temp, "raw");
    std::vector<ActivityRecord> records;
    for (int i = 0; i < RecalcRecords; ++i) records.push_back(test::record(i + 1, {}));
    builder.append(records).appendDumps(0, RecalcRecords - 1);
    ReportRequest request;
    request.acquisitionFolder = builder.folder();
    request.programFolder = temp.path();
    RecalcSettings settings{1, 1.8, 0, true, static_cast<int>(state.range(0))};
    test::ScriptedDialogs dialogs;
    test::ManualHost host;
    for (auto _ : state) {
        auto outcome = recalculate(request, settings, dialogs, host);
        benchmark::DoNotOptimize(outcome);
    }
    state.counters["records_per_s"] =
        benchmark::Counter(static_cast<double>(RecalcRecords) * static_cast<double>(state.iterations()),
                           benchmark::Counter::kIsRate);
    state.counters["peak_MB"] = peakMegabytes();
}
BENCHMARK(BM_Recalculation)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
}  // namespace zorvex

BENCHMARK_MAIN();
