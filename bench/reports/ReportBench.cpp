// Report generation over a 7-day acquisition and recalculation throughput
// from real-time files, on one thread and on two. Peak memory is the
// process's resident high-water mark after each benchmark.

#include <benchmark/benchmark.h>
#include <sys/resource.h>

#include "AcquisitionBuilder.h"
#include "ManualHost.h"
#include "ScriptedDialogs.h"
#include "TempFolder.h"
#include "reports/Recalculation.h"

namespace zorvex {
namespace {

constexpr int WeekRecords = 17280;  // 7 days of 35-second bins
constexpr int WeekMinutes = 7 * 1440;
constexpr int RecalcRecords = 44;   // four real-time files of 500-sample dumps

double peakMegabytes() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return static_cast<double>(usage.ru_maxrss) / 1024.0;
}

// A 384-well plate, channel c in well c, in 12 groups of 32 channels.
test::AcquisitionBuilder plateAndFolder(const test::TempFolder& temp, const std::string& name) {
    std::vector<std::pair<int, int>> wells;
    for (int c = 0; c < ChannelCount; ++c) wells.emplace_back(c, 0);
    test::writePlateFile(temp.path(), "zbench", 16, 24, wells);
    test::AcquisitionBuilder builder(temp / name);
    builder.plate("zbench");
    for (int c = 0; c < ChannelCount; ++c) builder.channelGroup(c, c / 32);
    for (int g = 0; g < 12; ++g) builder.group(g, "G" + std::to_string(g));
    builder.writeSideFiles();
    return builder;
}

void BM_WeekReport(benchmark::State& state) {
    test::TempFolder temp;
    auto builder = plateAndFolder(temp, "week");
    std::vector<ActivityRecord> records;
    for (int i = 0; i < WeekRecords; ++i) {
        ActivityRecord r;
        r.elapsedMinutes = static_cast<std::int32_t>(static_cast<long long>(i + 1) * WeekMinutes / WeekRecords);
        for (int c = 0; c < ChannelCount; ++c) r.counts[static_cast<std::size_t>(c)] = static_cast<std::int16_t>((i * 7 + c * 13) % 50);
        r.temperatureTenths = 250;
        records.push_back(r);
    }
    std::string bytes;
    for (const auto& r : records) bytes += encodeActivityRecord(r);
    writeFile(builder.folder() / "counts.bin", bytes);
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
