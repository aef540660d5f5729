// CalculateActivities: the arithmetic of CalculateActivity, step by step and in
// the same order, for several channels at once in vector lanes. A lane that meets
// anything the fast steps do not cover (a trace beyond 10922, a value near an
// overflow) is counted again by the one-channel routine, so every result is
// the one-channel routine's.

#include <algorithm>
#include <atomic>
#include <cstring>
#include <memory>
#include <stdexcept>

#include "analysis/ActivityConstants.h"
#include "analysis/ActivityLanes.h"
#include "analysis/Analysis_Module.h"

namespace zorvex {
namespace {

using namespace activity;

#define LANE_STEP [[gnu::always_inline]] static inline

// Lane types: N doubles fill one vector register of the machine the kernel is
// compiled for (wider generic vectors would be kept in memory).
template <int N>
struct LaneTypes;

template <>
struct LaneTypes<4> {
    typedef std::int16_t Shorts __attribute__((vector_size(8)));
    typedef std::int32_t Ints __attribute__((vector_size(16)));
    typedef std::int64_t Longs __attribute__((vector_size(32)));
    typedef double Reals __attribute__((vector_size(32)));
};

template <>
struct LaneTypes<2> {
    typedef std::int16_t Shorts __attribute__((vector_size(4)));
    typedef std::int32_t Ints __attribute__((vector_size(8)));
    typedef std::int64_t Longs __attribute__((vector_size(16)));
    typedef double Reals __attribute__((vector_size(16)));
};

// The steps for N lanes.
template <int N>
struct Kernel {
    using Shorts = typename LaneTypes<N>::Shorts;
    using Ints = typename LaneTypes<N>::Ints;
    using Longs = typename LaneTypes<N>::Longs;
    using Reals = typename LaneTypes<N>::Reals;
    static constexpr int Lanes = N;

    // Everything one block of lanes works on, [sample] by lane.
    struct LaneWork {
        Ints s[Samples];
        Ints upper[Samples];
        Ints clip[Samples];
        Ints trace[Samples];
        Ints offsets[Samples];
        Ints inDoubles[Samples];
        Reals means[Samples];
        Ints minima[Samples];
        Ints prefix[Samples];
        Ints suffix[Samples];
        Reals baseline[Samples];
        Reals smooth[Samples];
        // Results: counts, and the lanes the one-channel routine must count.
        Ints counts;
        Ints fallback;
    };


LANE_STEP Ints toInts(Reals v) { return __builtin_convertvector(v, Ints); }
LANE_STEP Reals toReals(Ints v) { return __builtin_convertvector(v, Reals); }
LANE_STEP Ints narrow(Longs mask) { return __builtin_convertvector(mask, Ints); }
LANE_STEP Reals magnitude(Reals v) { return v < 0.0 ? -v : v; }
LANE_STEP Ints smaller(Ints a, Ints b) { return a < b ? a : b; }
LANE_STEP Reals nearest(Reals v) { return (v + RoundingShift) - RoundingShift; }

LANE_STEP bool anyLane(Ints mask) {
    bool any = false;
    for (int k = 0; k < Lanes; ++k) any |= mask[k] != 0;
    return any;
}

// N(v) in 16 bits; lanes outside them (or NaN) are marked in `bad`.
LANE_STEP Ints roundedInt16(Reals v, Ints& bad) {
    const Reals n = nearest(v);
    const Longs ok = (magnitude(v) < RoundingLimit) & (n >= -32768.0) & (n <= 32767.0);
    bad |= narrow(~ok);
    return toInts(ok ? n : Reals{});
}

LANE_STEP void envelopePass(const Ints* s, Ints start, Ints* upper, Ints& amplitude, Ints& level) {
    Ints u = start;
    Ints l = start;
    upper[0] = start;
    upper[1] = start;
    Ints amplitudeSum{};
    Ints levelSum{};
    for (int i = FirstEnvelope; i <= LastEnvelope; ++i) {
        const Ints x = s[i];
        const Ints minimum = (x < s[i - 1]) & (x < s[i + 1]);
        const Ints maximum = (x > s[i - 1]) & (x > s[i + 1]);
        l = minimum ? x : l;
        u = maximum ? x : u;
        upper[i] = u;
        amplitudeSum += u - l;
        levelSum += x;
    }
    upper[LastEnvelope + 1] = Ints{};
    amplitude = toInts(nearest(toReals(amplitudeSum) / EnvelopePositions));
    level = toInts(nearest(toReals(levelSum) / EnvelopePositions));
}

LANE_STEP void windowMeans(const Ints* upper, Reals* means) {
    Ints sum{};
    for (int j = 1; j <= MeanWindow; ++j) sum += upper[j];
    for (int w = 0; w < MeanWindow; ++w) {
        means[w] = nearest(toReals(sum) / static_cast<double>(MeanWindow));
        sum += upper[w + MeanWindow + 1] - upper[w + 1];
    }
    sum = Ints{};
    for (int j = 0; j < MeanWindow; ++j) sum += upper[j];
    for (int w = MeanWindow; w < Samples; ++w) {
        means[w] = nearest(toReals(sum) / static_cast<double>(MeanWindow));
        sum += upper[w] - upper[w - MeanWindow];
    }
}

LANE_STEP Ints withinSafeEntry(Ints entry) {
    const Ints limit = Ints{} + static_cast<std::int32_t>(SafeEntry);
    return (entry >= -limit) & (entry <= limit);
}

// Entries 4..499 as the one-channel routine's first pass builds them; the
// lanes whose trace leaves the safe range, or whose double step leaves 16 bits,
// come back as lanes to count again.
LANE_STEP Ints averagedEntries(Ints* trace, LaneWork& work, Reals coefficient) {
    Ints anyInDoubles{};
    for (int w = LeadPositions + 1; w < Samples; ++w) {
        const Reals value = coefficient * work.means[w] * 0.01;
        const Reals whole = nearest(value);
        const Reals offset = value - whole;
        const Longs integral =
            (magnitude(value) < IntegerStepLimit) & (magnitude(offset) >= FractionMargin);
        const Ints inDoubles = narrow(~integral);
        work.offsets[w] = inDoubles ? Ints{} : toInts(integral ? whole : Reals{}) + narrow(offset < 0.0) + 2;
        work.inDoubles[w] = inDoubles;
        anyInDoubles |= inDoubles;
    }
    // Most blocks need no double step at all.
    if (anyLane(anyInDoubles)) return recursion<true>(trace, work, coefficient);
    return recursion<false>(trace, work, coefficient);
}

template <bool WithDoubles>
LANE_STEP Ints recursion(Ints* trace, const LaneWork& work, Reals coefficient) {
    Ints small = ~Ints{};
    for (int w = 0; w <= LeadPositions; ++w) small &= withinSafeEntry(trace[w]);
    Ints bad{};
    Ints e1 = trace[LeadPositions];
    Ints e2 = trace[LeadPositions - 1];
    Ints e3 = trace[LeadPositions - 2];
    for (int w = LeadPositions + 1; w < Samples; ++w) {
        const Ints three = e1 + (e2 + e3);
        Ints entry = (three + work.offsets[w]) >> 2;
        if constexpr (WithDoubles) {
            Ints outside{};
            const Reals scaled = coefficient * work.means[w] / Percent;
            const Ints rounded = roundedInt16((toReals(three) + scaled) / 4.0, outside);
            entry = work.inDoubles[w] ? rounded : entry;
            bad |= work.inDoubles[w] & outside;
        }
        small &= withinSafeEntry(entry);
        trace[w] = entry;
        e3 = e2;
        e2 = e1;
        e1 = entry;
    }
    return bad | ~small;
}

LANE_STEP Ints countDips(const LaneWork& work, int method) {
    Ints count{};
    Ints dip{};
    if (method == DspThresholdAverage) {
        for (int w = 0; w < Samples; ++w) {
            const Ints below = work.s[w] < work.trace[w];
            count -= below & ~dip;
            dip = (dip | below) & ~(work.s[w] > work.trace[w]);
        }
        return count;
    }
    int windowCounter = 0;
    for (int w = 0; w < Samples; ++w) {
        dip |= work.s[w] < work.trace[w];
        if (windowCounter == CountWindow) {
            count -= dip;
            dip = Ints{};
            windowCounter = 0;
        }
        ++windowCounter;
    }
    return count;
}

LANE_STEP int windowStart(int w, int width) { return w < LastSample - width ? w : w - (width - 1); }

LANE_STEP void movingMinimum(LaneWork& work) {
    for (int b = 0; b < Samples; b += BaselineWindow) {
        const int end = b + BaselineWindow - 1;
        work.prefix[b] = work.s[b];
        for (int i = b + 1; i <= end; ++i) work.prefix[i] = smaller(work.prefix[i - 1], work.s[i]);
        work.suffix[end] = work.s[end];
        for (int i = end - 1; i >= b; --i) work.suffix[i] = smaller(work.suffix[i + 1], work.s[i]);
    }
    const Ints start = Ints{} + StartMinimum;
    for (int w = 0; w < Samples; ++w) {
        const int a = windowStart(w, BaselineWindow);
        work.minima[w] = smaller(smaller(work.suffix[a], work.prefix[a + BaselineWindow - 1]), start);
    }
}

LANE_STEP void movingAverage(LaneWork& work) {
    const int firstBackward = LastSample - BaselineWindow;
    Ints sum{};
    for (int j = 0; j < BaselineWindow; ++j) sum += work.minima[j];
    for (int w = 0; w < firstBackward; ++w) {
        work.baseline[w] = toReals(sum) / static_cast<double>(BaselineWindow);
        sum += work.minima[w + BaselineWindow] - work.minima[w];
    }
    for (int w = firstBackward; w < Samples; ++w) {
        Reals total{};
        for (int j = w - (BaselineWindow - 1); j < w; ++j) total += work.baseline[j];
        total += toReals(work.minima[w]);
        work.baseline[w] = total / static_cast<double>(BaselineWindow);
    }
}

LANE_STEP Ints countExcursions(LaneWork& work, Ints t, Ints& bad) {
    movingMinimum(work);
    movingAverage(work);
    Reals* detrended = work.baseline;
    for (int w = 0; w < Samples; ++w) detrended[w] = toReals(work.s[w]) - detrended[w];
    for (int w = 0; w < Samples; ++w) {
        const int a = windowStart(w, SmoothWindow);
        Reals total{};
        for (int j = a; j < a + SmoothWindow; ++j) total += detrended[j];
        work.smooth[w] = total / static_cast<double>(SmoothWindow);
    }

    const Reals threshold = toReals(t);
    Longs count{};
    Longs rising{};
    Longs run{};
    Reals pivot{};  // an integer, as the one-channel routine rounds it
    for (int k = 1; k < Samples; ++k) {
        const Reals now = work.smooth[k];
        const Longs down = now < work.smooth[k - 1];
        const Longs up = now > work.smooth[k - 1];
        const Longs turn = (down & rising) | (up & ~rising);
        pivot = turn ? nearest(now) : pivot;
        rising = turn ? up : rising;
        run = turn ? Longs{} : run - (down | up);
        count -= (run == RunLength) & (magnitude(pivot - now) > threshold);
        work.trace[k] = roundedInt16(now - threshold, bad);
    }
    return narrow(count);
}

// Fills work.s from the lanes' rows, a square of N samples by N lanes at a
// time; a short bin's last sample stands in for the samples it lacks.
LANE_STEP void loadRows(LaneWork& work, const std::int16_t* const* rows, int binLength) {
    if (binLength < Samples) {
        for (int k = 0; k < Lanes; ++k) {
            for (int i = 0; i < Samples; ++i) work.s[i][k] = rows[k][std::min(i, binLength - 1)];
        }
        return;
    }
    static_assert(Samples % Lanes == 0);
    for (int i = 0; i < Samples; i += Lanes) {
        Ints r[Lanes];
        for (int k = 0; k < Lanes; ++k) {
            Shorts samples;
            std::memcpy(&samples, rows[k] + i, sizeof samples);
            r[k] = __builtin_convertvector(samples, Ints);
        }
        if constexpr (Lanes == 4) {
            const Ints t0 = __builtin_shufflevector(r[0], r[1], 0, 4, 1, 5);
            const Ints t1 = __builtin_shufflevector(r[0], r[1], 2, 6, 3, 7);
            const Ints t2 = __builtin_shufflevector(r[2], r[3], 0, 4, 1, 5);
            const Ints t3 = __builtin_shufflevector(r[2], r[3], 2, 6, 3, 7);
            work.s[i] = __builtin_shufflevector(t0, t2, 0, 1, 4, 5);
            work.s[i + 1] = __builtin_shufflevector(t0, t2, 2, 3, 6, 7);
            work.s[i + 2] = __builtin_shufflevector(t1, t3, 0, 1, 4, 5);
            work.s[i + 3] = __builtin_shufflevector(t1, t3, 2, 3, 6, 7);
        } else {
            work.s[i] = __builtin_shufflevector(r[0], r[1], 0, 2);
            work.s[i + 1] = __builtin_shufflevector(r[0], r[1], 1, 3);
        }
    }
}

// One block: work.s holds the lanes' rows; leaves the clipped rows in work.s,
// the traces in work.trace and the results in work.counts and work.fallback.
LANE_STEP void countBlock(LaneWork& work, double snr, int method) {
    Ints amplitude;
    Ints level;
    envelopePass(work.s, work.s[1], work.upper, amplitude, level);
    Reals k1;
    for (int k = 0; k < Lanes; ++k) k1[k] = marginFrom(level[k] <= 0 ? snr : ratioMargin(amplitude[k], level[k], snr));
    windowMeans(work.upper, work.means);
    Ints bad{};
    for (int w = 0; w <= LeadPositions; ++w) work.clip[w] = roundedInt16((k1 + Percent) * work.means[w] / Percent, bad);
    bad |= averagedEntries(work.clip, work, k1 + Percent);
    for (int w = 0; w < Samples; ++w) work.s[w] = smaller(work.s[w], work.clip[w]);

    envelopePass(work.s, work.s[2], work.upper, amplitude, level);
    Reals k2;
    for (int k = 0; k < Lanes; ++k) {
        const bool levelAboveGap = level[k] > 0 && level[k] > amplitude[k];
        k2[k] = marginFrom(levelAboveGap ? ratioMargin(amplitude[k], level[k], snr) : snr);
    }
    const Ints floor = Ints{} + AmplitudeFloor;
    bad |= (amplitude < -32768) | (amplitude > 32767);
    const Ints t = amplitude > floor ? amplitude : floor;

    if (method == DspThresholdBinary || method == DspThresholdAverage) {
        windowMeans(work.upper, work.means);
        const Reals lead = (Percent - LeadFactor * k2) / Percent;
        for (int w = 0; w <= LeadPositions; ++w) work.trace[w] = roundedInt16(lead * work.means[w], bad);
        bad |= averagedEntries(work.trace, work, Percent - k2);
        work.counts = countDips(work, method);
    } else {
        work.counts = countExcursions(work, t, bad);
    }
    work.fallback = bad;
}

};

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
        const std::int16_t* rows[K::Lanes];
        for (int k = 0; k < K::Lanes; ++k) {
            rows[k] = job.frame.row(channel(first + static_cast<std::size_t>(std::min(k, used - 1))));
        }
        K::loadRows(*work, rows, binLength);
        K::countBlock(*work, job.snr, job.method);

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
            std::int16_t* row = job.frame.row(channel(n));
            for (int i = 0; i < binLength; ++i) row[i] = static_cast<std::int16_t>(work->s[i][k]);
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

// Four lanes of doubles fill an AVX2 register, two an SSE one.
[[gnu::target("avx2")]] void countFrameAvx2(FrameJob& job) { countFrame<4>(job); }
[[gnu::target("sse4.2")]] void countFrameSse42(FrameJob& job) { countFrame<2>(job); }
void countFrameBaseline(FrameJob& job) { countFrame<2>(job); }

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
