// Sleep and periodograms of a 7-day, 384-well acquisition: the whole
// command's work (reading counts.bin, computing, writing the three files)
// and the computation alone on the grid already read.

#include <benchmark/benchmark.h>

#include <cmath>
#include <random>

#include "ScriptedDialogs.h"
#include "WeekAcquisition.h"
#include "behaviour/PeriodFiles.h"
#include "behaviour/SleepFiles.h"

namespace zorvex::bench {
namespace {

constexpr const char* Stamp = "01032026_0800";

// A record a minute for a week, lights 9 to 21: each well sleeps in runs
// mostly at night and free-runs near 24 h, so bouts and peaks are many.
class WeekOfBehaviour {
public:
    WeekOfBehaviour() {
        auto builder = plateAndFolder(temp_, Stamp);
        builder.dailyLight(9, 21).writeSideFiles();
        std::mt19937 random(11);
        std::string bytes;
        for (int m = 0; m < WeekMinutes; ++m) {
            ActivityRecord r;
            r.elapsedMinutes = m;
            r.temperatureTenths = 250;
            for (int c = 0; c < ChannelCount; ++c) {
                const double period = 23.0 + (c % 8) * 0.25;
                const double rate = 2.0 * (1.0 + std::cos(2 * 3.141592653589793 * m / (period * 60.0)));
                r.counts[static_cast<std::size_t>(c)] = static_cast<std::int16_t>(std::poisson_distribution<int>(rate)(random));
            }
            bytes += encodeActivityRecord(r);
        }
        writeFile(builder.folder() / "counts.bin", bytes);
        folder_ = builder.folder();
    }

    std::filesystem::path folder() const { return folder_; }
    std::filesystem::path programFolder() const { return temp_.path(); }
    std::filesystem::path out() const { return temp_ / "out"; }

private:
    test::TempFolder temp_;
    std::filesystem::path folder_;
};

const WeekOfBehaviour& week() {
    static const WeekOfBehaviour acquisition;
    return acquisition;
}

void BM_WeekSleep(benchmark::State& state) {
    const auto& acquisition = week();
    test::ScriptedDialogs dialogs;
    std::size_t bouts = 0;
    for (auto _ : state) {
        const SleepOutcome outcome =
            runSleep({acquisition.folder(), acquisition.programFolder(), 5, std::nullopt, acquisition.out()}, dialogs);
        if (outcome.files.size() != 3) state.SkipWithError("the sleep files were not written");
        bouts = 0;
        for (const auto& well : outcome.results->wells) bouts += well.bouts.size();
    }
    state.counters["bouts"] = static_cast<double>(bouts);
    state.counters["peak_MB"] = peakMegabytes();
}
BENCHMARK(BM_WeekSleep)->Unit(benchmark::kMillisecond);

void BM_WeekSleepComputation(benchmark::State& state) {
    const auto& acquisition = week();
    test::ScriptedDialogs dialogs;
    const auto grid = loadMinuteGrid(acquisition.folder(), acquisition.programFolder(), dialogs);
    const MinuteSpan span{0, grid->exportedIntervals()};
    for (auto _ : state) benchmark::DoNotOptimize(computeSleep(*grid, span, 5));
}
BENCHMARK(BM_WeekSleepComputation)->Unit(benchmark::kMillisecond);

// Arg: the resampling bin in minutes.
void BM_WeekChiSquarePeriodogram(benchmark::State& state) {
    const auto& acquisition = week();
    test::ScriptedDialogs dialogs;
    PeriodogramOptions options;
    options.resampleMinutes = static_cast<int>(state.range(0));
    int rhythmic = 0;
    for (auto _ : state) {
        const PeriodOutcome outcome =
            runPeriods({acquisition.folder(), acquisition.programFolder(), std::nullopt, options, acquisition.out()},
                       dialogs);
        if (outcome.files.size() != 3) state.SkipWithError("the period files were not written");
        rhythmic = 0;
        for (const auto& well : outcome.results->wells) rhythmic += well.peak ? 1 : 0;
    }
    state.counters["rhythmic_wells"] = rhythmic;
}
BENCHMARK(BM_WeekChiSquarePeriodogram)->Arg(15)->Arg(1)->Unit(benchmark::kMillisecond);

// Arg: the resampling bin in minutes.
void BM_WeekPeriodogramComputation(benchmark::State& state) {
    const auto& acquisition = week();
    test::ScriptedDialogs dialogs;
    const auto grid = loadMinuteGrid(acquisition.folder(), acquisition.programFolder(), dialogs);
    const MinuteSpan span{0, grid->exportedIntervals()};
    PeriodogramOptions options;
    options.resampleMinutes = static_cast<int>(state.range(0));
    options.method = state.range(1) == 0 ? PeriodMethod::ChiSquare : PeriodMethod::LombScargle;
    for (auto _ : state) benchmark::DoNotOptimize(computePeriods(*grid, span, options));
}
BENCHMARK(BM_WeekPeriodogramComputation)
    ->Args({15, 0})
    ->Args({1, 0})
    ->Args({15, 1})
    ->ArgNames({"resample", "lomb"})
    ->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace zorvex::bench

BENCHMARK_MAIN();
