// Cost of the per-sample detection for one tick of the acquisition cycle with
// all 384 channels in wells, for each counting method and under auto-zero.

#include <benchmark/benchmark.h>

#include <random>

#include "ActivityFrames.h"
#include "acquisition/Detection.h"

using namespace zorvex;

namespace {

// Ticks over a buffer of noisy beam signals, past the warm-up and counting.
void runTicks(benchmark::State& state, int method, bool autoZero) {
    std::mt19937 rng(9);
    SampleFrame frame(500);
    for (int c = 0; c < ChannelCount; ++c) zorvex::test::fillSignal(frame, c, zorvex::test::Signal::BusyBeam, rng);
    DetectionSettings settings;
    settings.dspMethod = method;
    settings.autoZero = autoZero;
    settings.thresholds.fill(10.0);
    settings.hasWell.fill(true);
    Detection detection(frame.rtBuffer());
    int slot = 0;
    int intervalCounter = 0;
    std::int32_t ticks = 0;
    auto tick = [&] {
        detection.step(frame, DetectionTick{slot, ticks, intervalCounter == settings.dspInterval}, settings);
        slot = (slot + 1) % frame.rtBuffer();
        intervalCounter = intervalCounter == settings.dspInterval ? 0 : intervalCounter + 1;
        ++ticks;
    };
    while (ticks < 2 * settings.dspInterval) tick();
    for (auto _ : state) {
        tick();
        benchmark::DoNotOptimize(detection.binCounts());
    }
}

void detectionTick(benchmark::State& state) { runTicks(state, static_cast<int>(state.range(0)), false); }
void detectionTickAutoZero(benchmark::State& state) { runTicks(state, 1, true); }

}  // namespace

BENCHMARK(detectionTick)->DenseRange(0, 2)->ArgName("method");
BENCHMARK(detectionTickAutoZero);

BENCHMARK_MAIN();
