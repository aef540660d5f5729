// Speed of the activity calculation against its plain transcription. Before
// timing, the program checks that both give identical results on many random
// frames, so a fast routine that drifted from the arithmetic cannot pass.

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdio>
#include <map>
#include <random>
#include <string>
#include <string_view>
#include <vector>

#include "ActivityFrames.h"
#include "ActivityReference.h"
#include "analysis/ActivityLanes.h"
#include "analysis/Analysis_Module.h"

using namespace zorvex;
using zorvex::test::fillSignal;
using zorvex::test::referenceActivity;
using zorvex::test::ReferenceTrace;
using zorvex::test::Signal;

namespace {

constexpr int VerifiedFrames = 100000;

// 384 channels of beam-like signal, the load of one live bin.
SampleFrame beamFrame(unsigned seed) {
    std::mt19937 rng(seed);
    SampleFrame frame;
    for (int c = 0; c < ChannelCount; ++c) fillSignal(frame, c, c % 4 == 0 ? Signal::BusyBeam : Signal::Beam, rng);
    return frame;
}

void productionPerChannel(benchmark::State& state) {
    const int method = static_cast<int>(state.range(0));
    const SampleFrame pristine = beamFrame(1);
    SampleFrame frame = pristine;
    Analysis_Module module;
    int channel = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(module.CalculateActivity(frame, channel, 1.8, method));
        if (++channel == ChannelCount) {
            channel = 0;
            frame = pristine;
        }
    }
}

void referencePerChannel(benchmark::State& state) {
    const int method = static_cast<int>(state.range(0));
    const SampleFrame pristine = beamFrame(1);
    SampleFrame frame = pristine;
    ReferenceTrace trace{};
    int channel = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(referenceActivity(frame, channel, 1.8, method, trace));
        if (++channel == ChannelCount) {
            channel = 0;
            frame = pristine;
        }
    }
}

void productionBin(benchmark::State& state) {
    const int method = static_cast<int>(state.range(0));
    const SampleFrame pristine = beamFrame(2);
    SampleFrame frame = pristine;
    Analysis_Module module;
    for (auto _ : state) {
        state.PauseTiming();
        frame = pristine;
        state.ResumeTiming();
        for (int c = 0; c < ChannelCount; ++c) {
            benchmark::DoNotOptimize(module.CalculateActivity(frame, c, 1.8, method));
        }
    }
}

// The same bin through the routine that runs several channels in vector lanes.
void lanesBin(benchmark::State& state) {
    const int method = static_cast<int>(state.range(0));
    const SampleFrame pristine = beamFrame(2);
    SampleFrame frame = pristine;
    Analysis_Module module;
    std::vector<int> channels(ChannelCount);
    for (int c = 0; c < ChannelCount; ++c) channels[static_cast<std::size_t>(c)] = c;
    for (auto _ : state) {
        state.PauseTiming();
        frame = pristine;
        state.ResumeTiming();
        benchmark::DoNotOptimize(module.CalculateActivities(frame, channels, 1.8, method));
    }
}

// Every kind of signal, every method, short and long bins: counts, clipped rows
// and traces must agree exactly, overflows included.
bool verifyAgainstReference() {
    std::mt19937 rng(4242);
    Analysis_Module module;
    ReferenceTrace referenceTrace{};
    int mismatches = 0;
    for (int n = 0; n < VerifiedFrames; ++n) {
        const Signal kind = zorvex::test::AllSignals[n % zorvex::test::AllSignals.size()];
        const int rtBuffer = n % 7 == 0 ? std::uniform_int_distribution<int>(200, 499)(rng) : 500;
        SampleFrame produced(rtBuffer);
        fillSignal(produced, 0, kind, rng);
        SampleFrame expected = produced;
        const double snr = std::uniform_real_distribution<double>(1.1, 6.0)(rng);
        const int method = n % 4;
        const auto count = module.CalculateActivity(produced, 0, snr, method);
        const auto reference = referenceActivity(expected, 0, snr, method, referenceTrace);
        const bool same = count.has_value() != reference.overflow && (!count || *count == reference.count) &&
                          std::equal(produced.row(0), produced.row(0) + produced.slotCount(), expected.row(0)) &&
                          module.DetectionTrace() == referenceTrace;
        if (!same) ++mismatches;
    }
    std::printf("verified %d random frames against the plain transcription: %d mismatches\n", VerifiedFrames,
                mismatches);
    return mismatches == 0;
}

// The same number of rows through the lanes, against the one-channel routine
// checked above: frames of 384 rows of mixed kinds, asked in groups of 1..8
// channels so that the trace left behind comes from every lane in turn.
bool verifyLanes() {
    std::mt19937 rng(4343);
    Analysis_Module single;
    Analysis_Module lanes;
    int mismatches = 0;
    int rows = 0;
    for (int n = 0; rows < VerifiedFrames; ++n, rows += ChannelCount) {
        const int rtBuffer = n % 7 == 0 ? std::uniform_int_distribution<int>(200, 499)(rng) : 500;
        SampleFrame produced(rtBuffer);
        for (int c = 0; c < ChannelCount; ++c) {
            fillSignal(produced, c, zorvex::test::AllSignals[(n + c) % zorvex::test::AllSignals.size()], rng);
        }
        SampleFrame expected = produced;
        const double snr = std::uniform_real_distribution<double>(1.1, 6.0)(rng);
        const int method = n % 4;
        for (int first = 0; first < ChannelCount;) {
            const int end = std::min(ChannelCount, first + std::uniform_int_distribution<int>(1, 8)(rng));
            std::vector<int> channels;
            std::vector<std::optional<std::int16_t>> counts;
            for (int c = first; c < end; ++c) {
                channels.push_back(c);
                counts.push_back(single.CalculateActivity(expected, c, snr, method));
            }
            if (lanes.CalculateActivities(produced, channels, snr, method) != counts ||
                lanes.DetectionTrace() != single.DetectionTrace()) {
                ++mismatches;
            }
            first = end;
        }
        for (int c = 0; c < ChannelCount; ++c) {
            if (!std::equal(produced.row(c), produced.row(c) + produced.slotCount(), expected.row(c))) ++mismatches;
        }
    }
    std::printf("verified %d rows through the lanes against the one-channel routine: %d mismatches\n", rows,
                mismatches);
    return mismatches == 0;
}

// verifyLanes with every instruction set this processor has, the best last,
// so that the benchmarks then time it.
bool verifyEveryLaneSet() {
    bool same = true;
    for (LaneSet set : supportedLaneSets()) {
        std::printf("instruction set %d: ", static_cast<int>(set));
        useLaneSet(set);
        same = verifyLanes() && same;
    }
    return same;
}

}  // namespace

BENCHMARK(productionPerChannel)->DenseRange(0, 2)->ArgName("method");
BENCHMARK(referencePerChannel)->DenseRange(0, 2)->ArgName("method");
BENCHMARK(productionBin)->DenseRange(0, 2)->ArgName("method")->Unit(benchmark::kMicrosecond);
BENCHMARK(lanesBin)->DenseRange(0, 2)->ArgName("method")->Unit(benchmark::kMicrosecond);

// Console output plus, at the end, how many times faster the routine is than
// the plain transcription, per method (median CPU time over the repetitions).
class RatioReporter : public benchmark::ConsoleReporter {
public:
    RatioReporter() : ConsoleReporter(OO_None) {}

    void ReportRuns(const std::vector<Run>& runs) override {
        for (const Run& run : runs) {
            // With --benchmark_report_aggregates_only only the aggregates come here.
            if (run.run_type == Run::RT_Iteration || run.aggregate_name == "median") {
                times_[run.run_name.str()].push_back(run.GetAdjustedCPUTime());
            }
        }
        ConsoleReporter::ReportRuns(runs);
    }

    void printRatios() const {
        for (int method = 0; method <= 2; ++method) {
            printRatio("productionPerChannel", "referencePerChannel", method, "the routine", "the plain transcription");
        }
        for (int method = 0; method <= 2; ++method) {
            printRatio("lanesBin", "productionBin", method, "a bin in lanes", "channel by channel");
        }
    }

private:
    // How many times faster `fast` ran than `slow`, both with `method`.
    void printRatio(const std::string& fast, const std::string& slow, int method, const char* fastName,
                    const char* slowName) const {
        const std::string suffix = "/method:" + std::to_string(method);
        const auto fastTimes = times_.find(fast + suffix);
        const auto slowTimes = times_.find(slow + suffix);
        if (fastTimes == times_.end() || slowTimes == times_.end()) return;
        std::printf("method %d: %s is %.1f times faster than %s\n", method, fastName,
                    median(slowTimes->second) / median(fastTimes->second), slowName);
    }

    static double median(std::vector<double> values) {
        std::sort(values.begin(), values.end());
        return values[values.size() / 2];
    }
    std::map<std::string, std::vector<double>> times_;
};

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    // Besides the library's flags only --no-verify is understood: it skips the
    // check, for profiling the timed loops alone.
    const bool verify = !(argc == 2 && std::string_view(argv[1]) == "--no-verify");
    if (verify && benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    if (verify && !(verifyAgainstReference() && verifyEveryLaneSet())) return 1;
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    reporter.printRatios();
    benchmark::Shutdown();
    return 0;
}
