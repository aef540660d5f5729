// A recount of stored dumps on one thread, three ways over the same files in
// one run, each reading as the recalculation does: reading alone, reading and
// counting channel by channel (the way before the lanes), and reading and
// counting in vector lanes (the way the recalculation counts now); besides,
// reading alone with a new frame for every dump, as the review's pages read.

#include <benchmark/benchmark.h>

#include <numeric>

#include "WeekAcquisition.h"
#include "acquisition/DataFiles.h"
#include "analysis/Analysis_Module.h"

namespace zorvex {
namespace {

constexpr int RecountDumps = 44;  // four real-time files of 500-sample dumps
constexpr double Snr = 1.8;

enum class Recount { ReadNewFrames, ReadOnly, ChannelByChannel, Lanes };

void recountDumps(benchmark::State& state, Recount way) {
    test::TempFolder temp;
    auto builder = bench::plateAndFolder(temp, "raw");
    builder.appendDumps(0, RecountDumps - 1);
    const int method = static_cast<int>(state.range(0));
    std::vector<int> channels(ChannelCount);
    std::iota(channels.begin(), channels.end(), 0);
    Analysis_Module analysis;
    SampleFrame frame(500);
    for (auto _ : state) {
        long long total = 0;
        for (int dump = 0; dump < RecountDumps; ++dump) {
            if (way == Recount::ReadNewFrames) {
                if (!readRealTimeDump(builder.folder(), dump, 500)) state.SkipWithError("a dump is missing");
                continue;
            }
            const bool read = readRealTimeDumpInto(builder.folder(), dump, frame);
            if (!read) state.SkipWithError("a dump is missing");
            if (!read || way == Recount::ReadOnly) continue;
            if (way == Recount::ChannelByChannel) {
                for (int c : channels) total += analysis.CalculateActivity(frame, c, Snr, method).value_or(0);
            } else {
                for (const auto& count : analysis.CalculateActivities(frame, channels, Snr, method)) {
                    total += count.value_or(0);
                }
            }
        }
        benchmark::DoNotOptimize(total);
    }
    state.counters["dumps_per_s"] = benchmark::Counter(
        static_cast<double>(RecountDumps) * static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
}

void BM_RecountReadNewFrames(benchmark::State& state) { recountDumps(state, Recount::ReadNewFrames); }
void BM_RecountRead(benchmark::State& state) { recountDumps(state, Recount::ReadOnly); }
void BM_RecountChannelByChannel(benchmark::State& state) { recountDumps(state, Recount::ChannelByChannel); }
void BM_RecountLanes(benchmark::State& state) { recountDumps(state, Recount::Lanes); }

BENCHMARK(BM_RecountReadNewFrames)->Arg(0)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RecountRead)->Arg(0)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RecountChannelByChannel)->DenseRange(0, 2)->ArgName("method")->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RecountLanes)->DenseRange(0, 2)->ArgName("method")->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace zorvex
