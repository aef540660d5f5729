// CalculateActivities: several channels of a frame counted at once in vector
// lanes by the steps of ActivityLaneSteps.h, compiled for each instruction
// set and chosen at start-up; a lane the steps do not cover is counted again
// by the one-channel routine.

#include <algorithm>
#include <atomic>
#include <memory>
#include <stdexcept>

#include "analysis/ActivityLaneSteps.h"
#include "analysis/ActivityLanes.h"
#include "analysis/Analysis_Module.h"

namespace zorvex {
namespace {

using namespace activity;
using lanes::Kernel;

struct FrameJob {
    Analysis_Module& module;
    Analysis_Module::Trace& trace;
    SampleFrame& frame;
    std::span<const int> channels;
    double snr;
    int method;
    std::vector<std::optional<std::int16_t>>& counts;
};

template <int N>
[[gnu::always_inline]] inline void countFrame(FrameJob& job) {
    using K = Kernel<N>;
    const int binLength = std::clamp(job.frame.rtBuffer(), 1, Samples);
    const int firstWritten = job.method == DspMotilityIndex ? 1 : 0;
    auto work = std::make_unique<typename K::LaneWork>();
    const auto channel = [&job](std::size_t n) { return job.channels[n]; };
    for (std::size_t first = 0; first < job.channels.size();) {
        // A channel twice in one block would not see its own clipping.
        std::size_t end = first;
        while (end < job.channels.size() && end - first < K::Lanes &&
               std::find(job.channels.begin() + first, job.channels.begin() + end, channel(end)) ==
                   job.channels.begin() + end) {
            ++end;
        }
        const int used = static_cast<int>(end - first);
        std::int16_t* rows[K::Lanes];
        for (int k = 0; k < K::Lanes; ++k) {
            rows[k] = job.frame.row(channel(first + static_cast<std::size_t>(std::min(k, used - 1))));
        }
        K::loadRows(*work, rows, binLength);
        K::countBlock(*work, job.snr, job.method);
        typename K::Ints keep = ~work->fallback;
        for (int k = used; k < K::Lanes; ++k) keep[k] = 0;
        K::storeRows(*work, rows, binLength, keep);

        // The trace left behind is that of the block's last success.
        int lastLaneSuccess = -1;
        bool lastSuccessInLane = false;
        for (int k = 0; k < used; ++k) {
            const std::size_t n = first + static_cast<std::size_t>(k);
            if (work->fallback[k]) {
                job.counts[n] = job.module.CalculateActivity(job.frame, channel(n), job.snr, job.method);
                if (job.counts[n]) lastSuccessInLane = false;
                continue;
            }
            job.counts[n] = static_cast<std::int16_t>(work->counts[k]);
            lastLaneSuccess = k;
            lastSuccessInLane = true;
        }
        if (lastSuccessInLane) {
            for (int w = firstWritten; w < Samples; ++w) {
                job.trace[static_cast<std::size_t>(w)] = static_cast<std::int16_t>(work->trace[w][lastLaneSuccess]);
            }
        }
        first = end;
    }
}

// Eight 32-bit lanes fill an AVX2 register, four an SSE one.
[[gnu::target("avx2")]] void countFrameAvx2(FrameJob& job) { countFrame<8>(job); }
[[gnu::target("sse4.2")]] void countFrameSse42(FrameJob& job) { countFrame<4>(job); }
void countFrameBaseline(FrameJob& job) { countFrame<4>(job); }

using FrameCounter = void (*)(FrameJob&);

FrameCounter counterFor(LaneSet set) {
    switch (set) {
        case LaneSet::Avx2:
            return countFrameAvx2;
        case LaneSet::Sse42:
            return countFrameSse42;
        case LaneSet::Baseline:
            break;
    }
    return countFrameBaseline;
}

std::atomic<FrameCounter> countLanes{counterFor(supportedLaneSets().back())};

}  // namespace

std::vector<LaneSet> supportedLaneSets() {
    __builtin_cpu_init();
    std::vector<LaneSet> sets{LaneSet::Baseline};
    if (__builtin_cpu_supports("sse4.2")) sets.push_back(LaneSet::Sse42);
    if (__builtin_cpu_supports("avx2")) sets.push_back(LaneSet::Avx2);
    return sets;
}

void useLaneSet(LaneSet set) { countLanes.store(counterFor(set), std::memory_order_relaxed); }

std::vector<std::optional<std::int16_t>> Analysis_Module::CalculateActivities(SampleFrame& frame,
                                                                              std::span<const int> channels,
                                                                              double snr, int method) {
    for (int channel : channels) {
        if (channel < 0 || channel >= ChannelSlots) throw std::out_of_range("CalculateActivities: no such channel row");
    }
    std::vector<std::optional<std::int16_t>> counts(channels.size());
    if (method != DspThresholdBinary && method != DspThresholdAverage && method != DspMotilityIndex) {
        for (std::size_t n = 0; n < channels.size(); ++n) counts[n] = CalculateActivity(frame, channels[n], snr, method);
        return counts;
    }
    FrameJob job{*this, trace_, frame, channels, snr, method, counts};
    countLanes.load(std::memory_order_relaxed)(job);
    return counts;
}

}  // namespace zorvex
