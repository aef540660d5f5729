#pragma once
// CalculateActivities: the arithmetic of CalculateActivity, step by step and in
// the same order, for several channels at once in vector lanes. Samples, sums
// and trace entries are 32-bit integers, a whole register of lanes; doubles
// appear only where the one-channel routine's result depends on their
// rounding, a half register of lanes each. A lane that meets anything the fast
// steps do not cover (a trace beyond 10922, a value near an overflow) is
// counted again by the one-channel routine, so every result is the one-channel
// routine's.
//
// The steps, for N lanes; ActivityLanes.cpp runs them over a frame and picks
// the instruction set. One translation unit includes this.

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>

#include "analysis/ActivityConstants.h"
#include "analysis/Analysis_Module.h"

namespace zorvex::lanes {

using namespace activity;

#define LANE_STEP [[gnu::always_inline]] static inline

// Adding and removing 1.5 x 2^23 leaves the nearest integer, halves to even,
// of any float below 2^22 in magnitude.
inline constexpr float FloatRoundingShift = 0x1.8p23f;
// Marks an offset the integer trace step cannot take (see averagedEntries):
// far from every real offset (under 2^19 + 2 in magnitude), and far enough
// from the end of 32 bits that the step still adds it without overflow
// before the lane's entry is taken in doubles instead.
inline constexpr std::int32_t InDoubles = -(1 << 30);

// Lane types: N 32-bit lanes fill one vector register of the machine the
// kernel is compiled for, N doubles two (wider generic vectors would be kept
// in memory, so doubles go a half at a time). Sizes are in bytes.
template <int N>
struct LaneTypes {
    typedef std::int16_t Shorts __attribute__((vector_size(2 * N)));
    typedef std::int32_t Ints __attribute__((vector_size(4 * N)));
    typedef float Floats __attribute__((vector_size(4 * N)));
    typedef std::int32_t HalfInts __attribute__((vector_size(2 * N)));
    typedef std::int64_t Longs __attribute__((vector_size(4 * N)));
    typedef double Reals __attribute__((vector_size(4 * N)));
};

// The steps for N lanes.
template <int N>
struct Kernel {
    using Shorts = typename LaneTypes<N>::Shorts;
    using Ints = typename LaneTypes<N>::Ints;
    using Floats = typename LaneTypes<N>::Floats;
    using HalfInts = typename LaneTypes<N>::HalfInts;
    using Longs = typename LaneTypes<N>::Longs;
    using Reals = typename LaneTypes<N>::Reals;
    static constexpr int Lanes = N;
    static constexpr int Half = N / 2;

    // Everything one block of lanes works on, [sample] by lane.
    struct LaneWork {
        Ints s[Samples];
        Ints upper[Samples];
        Ints means[Samples];
        Ints offsets[Samples];
        Ints clip[Samples];
        Ints trace[Samples];
        Ints minima[Samples];
        Ints prefix[Samples];
        Ints suffix[Samples];
        Reals baseline[Samples];
        Reals smooth[2][Samples];
        // Results: counts, and the lanes the one-channel routine must count.
        Ints counts;
        Ints fallback;
    };

LANE_STEP HalfInts lowerHalf(Ints v) {
    if constexpr (N == 8) return __builtin_shufflevector(v, v, 0, 1, 2, 3);
    else return __builtin_shufflevector(v, v, 0, 1);
}
LANE_STEP HalfInts upperHalf(Ints v) {
    if constexpr (N == 8) return __builtin_shufflevector(v, v, 4, 5, 6, 7);
    else return __builtin_shufflevector(v, v, 2, 3);
}
LANE_STEP HalfInts halfOf(Ints v, int h) { return h == 0 ? lowerHalf(v) : upperHalf(v); }
LANE_STEP Ints joined(HalfInts lower, HalfInts upper) {
    if constexpr (N == 8) return __builtin_shufflevector(lower, upper, 0, 1, 2, 3, 4, 5, 6, 7);
    else return __builtin_shufflevector(lower, upper, 0, 1, 2, 3);
}
// Writes half h of the lanes of `into` straight to memory, without joining registers.
LANE_STEP void storeHalf(Ints& into, int h, HalfInts part) {
    std::memcpy(reinterpret_cast<char*>(&into) + h * sizeof part, &part, sizeof part);
}
// A mask of 64-bit lanes as one of 32-bit lanes.
LANE_STEP HalfInts narrow(Longs mask) { return __builtin_convertvector(mask, HalfInts); }

LANE_STEP HalfInts toInts(Reals v) { return __builtin_convertvector(v, HalfInts); }
LANE_STEP Reals toReals(HalfInts v) { return __builtin_convertvector(v, Reals); }
// |v| by clearing the sign bit, one instruction instead of a compare and a blend.
LANE_STEP Reals magnitude(Reals v) { return reinterpret_cast<Reals>(reinterpret_cast<Longs>(v) & INT64_MAX); }
LANE_STEP Ints smaller(Ints a, Ints b) { return a < b ? a : b; }
LANE_STEP Ints larger(Ints a, Ints b) { return a > b ? a : b; }
LANE_STEP Reals nearest(Reals v) { return (v + RoundingShift) - RoundingShift; }
LANE_STEP double nearest(double v) { return (v + RoundingShift) - RoundingShift; }

LANE_STEP bool anyLane(Ints mask) {
    bool any = false;
    for (int k = 0; k < Lanes; ++k) any |= mask[k] != 0;
    return any;
}

// N(v) in 16 bits; lanes outside them (or NaN) are marked in `bad`.
LANE_STEP HalfInts roundedInt16(Reals v, Longs& bad) {
    const Reals n = nearest(v);
    const Longs ok = (magnitude(v) < RoundingLimit) & (n >= -32768.0) & (n <= 32767.0);
    bad |= ~ok;
    return toInts(ok ? n : Reals{});
}

// The same for one lane's value.
LANE_STEP std::int32_t roundedInt16(double v, bool& bad) {
    const double n = nearest(v);
    const bool ok = std::abs(v) < RoundingLimit && n >= -32768.0 && n <= 32767.0;
    bad |= !ok;
    return ok ? static_cast<std::int32_t>(n) : 0;
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
    for (int k = 0; k < Lanes; ++k) {
        amplitude[k] = static_cast<std::int32_t>(nearest(amplitudeSum[k] / EnvelopePositions));
        level[k] = static_cast<std::int32_t>(nearest(levelSum[k] / EnvelopePositions));
    }
}

// N(sum / 30) of a window of 16-bit values, in floats: |sum| < 2^20 is exact
// in them and the quotient's error stays under 2^-9, while a quotient that is
// not a half lies at least 1/30 from one; so it rounds as the one-channel
// routine's double quotient does.
LANE_STEP Ints windowMean(Ints sum) {
    const Floats quotient = __builtin_convertvector(sum, Floats) / static_cast<float>(MeanWindow);
    return __builtin_convertvector((quotient + FloatRoundingShift) - FloatRoundingShift, Ints);
}

LANE_STEP void windowMeans(const Ints* upper, Ints* means) {
    Ints sum{};
    for (int j = 1; j <= MeanWindow; ++j) sum += upper[j];
    for (int w = 0; w < MeanWindow; ++w) {
        means[w] = windowMean(sum);
        sum += upper[w + MeanWindow + 1] - upper[w + 1];
    }
    sum = Ints{};
    for (int j = 0; j < MeanWindow; ++j) sum += upper[j];
    for (int w = MeanWindow; w < Samples; ++w) {
        means[w] = windowMean(sum);
        sum += upper[w] - upper[w - MeanWindow];
    }
}

// Trace entries 0..3: N(factor x W(w)) per lane, factor given per lane.
LANE_STEP void leadEntries(Ints* trace, const Ints* means, const double* factor, double divisor, Ints& bad) {
    for (int w = 0; w <= LeadPositions; ++w) {
        for (int k = 0; k < Lanes; ++k) {
            bool outside = false;
            trace[w][k] = roundedInt16(factor[k] * means[w][k] / divisor, outside);
            if (outside) bad[k] = -1;
        }
    }
}

// Entries 4..499 as the one-channel routine's first pass builds them, the
// integer step where it applies; the lanes whose trace leaves the safe range,
// or whose double step leaves 16 bits, are marked in `bad`.
LANE_STEP void averagedEntries(Ints* trace, LaneWork& work, const double* coefficient, Ints& bad) {
    Reals halves[2];
    std::memcpy(halves, coefficient, sizeof halves);
    // whole - (offset < 0) + 2, as the one-channel routine stores it
    const Reals belowWhole = Reals{} + 1.0;
    const Reals aboveWhole = Reals{} + 2.0;
    const Reals marked = Reals{} + static_cast<double>(InDoubles);
    Longs everyIntegral = ~Longs{};
    for (int w = LeadPositions + 1; w < Samples; ++w) {
        for (int h = 0; h < 2; ++h) {
            const Reals value = halves[h] * toReals(halfOf(work.means[w], h)) * 0.01;
            const Reals whole = nearest(value);
            const Reals offset = value - whole;
            const Longs integral =
                (magnitude(value) < IntegerStepLimit) & (magnitude(offset) >= FractionMargin);
            storeHalf(work.offsets[w], h, toInts(integral ? whole + (offset < 0.0 ? belowWhole : aboveWhole) : marked));
            everyIntegral &= integral;
        }
    }
    // Most blocks need no double step at all.
    if (anyLane(joined(narrow(~everyIntegral), HalfInts{}))) {
        recursion<true>(trace, work, coefficient, bad);
    } else {
        recursion<false>(trace, work, coefficient, bad);
    }
}

// Entry w of the lanes whose offset is marked, in doubles as written.
LANE_STEP Ints entryInDoubles(Ints entry, Ints three, const LaneWork& work, int w, const double* coefficient,
                              Ints& bad) {
    for (int k = 0; k < Lanes; ++k) {
        if (work.offsets[w][k] != InDoubles) continue;
        bool outside = false;
        entry[k] = roundedInt16((three[k] + coefficient[k] * work.means[w][k] / Percent) / 4, outside);
        if (outside) bad[k] = -1;
    }
    return entry;
}

template <bool WithDoubles>
LANE_STEP void recursion(Ints* trace, const LaneWork& work, const double* coefficient, Ints& bad) {
    // The range of the entries, judged once at the end.
    Ints least = trace[0];
    Ints most = trace[0];
    for (int w = 1; w <= LeadPositions; ++w) {
        least = smaller(least, trace[w]);
        most = larger(most, trace[w]);
    }
    Ints e1 = trace[LeadPositions];
    Ints e2 = trace[LeadPositions - 1];
    Ints e3 = trace[LeadPositions - 2];
    for (int w = LeadPositions + 1; w < Samples; ++w) {
        const Ints three = e1 + (e2 + e3);
        Ints entry = (three + work.offsets[w]) >> 2;
        if constexpr (WithDoubles) {
            if (anyLane(work.offsets[w] == InDoubles)) entry = entryInDoubles(entry, three, work, w, coefficient, bad);
        }
        least = smaller(least, entry);
        most = larger(most, entry);
        trace[w] = entry;
        e3 = e2;
        e2 = e1;
        e1 = entry;
    }
    const std::int32_t limit = static_cast<std::int32_t>(SafeEntry);
    bad |= (least < -limit) | (most > limit);
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

// The detrended signal of half h of the lanes, smoothed.
LANE_STEP void smoothedHalf(LaneWork& work, int h) {
    Reals* baseline = work.baseline;
    const int firstBackward = LastSample - BaselineWindow;
    HalfInts sum{};
    for (int j = 0; j < BaselineWindow; ++j) sum += halfOf(work.minima[j], h);
    for (int w = 0; w < firstBackward; ++w) {
        baseline[w] = toReals(sum) / static_cast<double>(BaselineWindow);
        sum += halfOf(work.minima[w + BaselineWindow], h) - halfOf(work.minima[w], h);
    }
    for (int w = firstBackward; w < Samples; ++w) {
        Reals total{};
        for (int j = w - (BaselineWindow - 1); j < w; ++j) total += baseline[j];
        total += toReals(halfOf(work.minima[w], h));
        baseline[w] = total / static_cast<double>(BaselineWindow);
    }
    Reals* detrended = baseline;
    for (int w = 0; w < Samples; ++w) detrended[w] = toReals(halfOf(work.s[w], h)) - detrended[w];
    for (int w = 0; w < Samples; ++w) {
        const int a = windowStart(w, SmoothWindow);
        Reals total{};
        for (int j = a; j < a + SmoothWindow; ++j) total += detrended[j];
        work.smooth[h][w] = total / static_cast<double>(SmoothWindow);
    }
}

// Where one half of the lanes stands in the count of excursions.
struct Excursions {
    Reals threshold;
    Longs count{};
    Longs rising{};
    Longs run{};
    Reals pivot{};  // an integer, as the one-channel routine rounds it
    Longs bad{};
};

LANE_STEP HalfInts excursionStep(Excursions& e, Reals now, Reals before) {
    const Longs down = now < before;
    const Longs up = now > before;
    const Longs turn = (down & e.rising) | (up & ~e.rising);
    e.pivot = turn ? nearest(now) : e.pivot;
    e.rising = turn ? up : e.rising;
    e.run = turn ? Longs{} : e.run - (down | up);
    e.count -= (e.run == RunLength) & (magnitude(e.pivot - now) > e.threshold);
    return roundedInt16(now - e.threshold, e.bad);
}

LANE_STEP Ints countExcursions(LaneWork& work, Ints t, Ints& bad) {
    movingMinimum(work);
    smoothedHalf(work, 0);
    smoothedHalf(work, 1);
    // Both halves in one pass, so that their chains of steps overlap.
    Excursions lower{toReals(lowerHalf(t))};
    Excursions upper{toReals(upperHalf(t))};
    for (int k = 1; k < Samples; ++k) {
        storeHalf(work.trace[k], 0, excursionStep(lower, work.smooth[0][k], work.smooth[0][k - 1]));
        storeHalf(work.trace[k], 1, excursionStep(upper, work.smooth[1][k], work.smooth[1][k - 1]));
    }
    bad |= joined(narrow(lower.bad), narrow(upper.bad));
    return joined(narrow(lower.count), narrow(upper.count));
}

// Turns N rows of N samples into N lanes of N samples, or back.
LANE_STEP void transpose(Shorts* r) {
    if constexpr (N == 8) {
        Shorts a[8];
        for (int p = 0; p < 8; p += 2) {
            a[p] = __builtin_shufflevector(r[p], r[p + 1], 0, 8, 1, 9, 2, 10, 3, 11);
            a[p + 1] = __builtin_shufflevector(r[p], r[p + 1], 4, 12, 5, 13, 6, 14, 7, 15);
        }
        Shorts b[8];
        for (int p = 0; p < 8; p += 4) {
            for (int q = 0; q < 2; ++q) {
                b[p + 2 * q] = __builtin_shufflevector(a[p + q], a[p + q + 2], 0, 1, 8, 9, 2, 3, 10, 11);
                b[p + 2 * q + 1] = __builtin_shufflevector(a[p + q], a[p + q + 2], 4, 5, 12, 13, 6, 7, 14, 15);
            }
        }
        for (int q = 0; q < 4; ++q) {
            r[2 * q] = __builtin_shufflevector(b[q], b[q + 4], 0, 1, 2, 3, 8, 9, 10, 11);
            r[2 * q + 1] = __builtin_shufflevector(b[q], b[q + 4], 4, 5, 6, 7, 12, 13, 14, 15);
        }
    } else {
        const Shorts a0 = __builtin_shufflevector(r[0], r[1], 0, 4, 1, 5);
        const Shorts a1 = __builtin_shufflevector(r[0], r[1], 2, 6, 3, 7);
        const Shorts a2 = __builtin_shufflevector(r[2], r[3], 0, 4, 1, 5);
        const Shorts a3 = __builtin_shufflevector(r[2], r[3], 2, 6, 3, 7);
        r[0] = __builtin_shufflevector(a0, a2, 0, 1, 4, 5);
        r[1] = __builtin_shufflevector(a0, a2, 2, 3, 6, 7);
        r[2] = __builtin_shufflevector(a1, a3, 0, 1, 4, 5);
        r[3] = __builtin_shufflevector(a1, a3, 2, 3, 6, 7);
    }
}

// Fills work.s from the lanes' rows, a square of N samples by N lanes at a
// time; a short bin's last sample stands in for the samples it lacks.
LANE_STEP void loadRows(LaneWork& work, const std::int16_t* const* rows, int binLength) {
    int i = 0;
    for (; i + Lanes <= binLength; i += Lanes) {
        Shorts r[Lanes];
        for (int k = 0; k < Lanes; ++k) std::memcpy(&r[k], rows[k] + i, sizeof r[k]);
        transpose(r);
        for (int j = 0; j < Lanes; ++j) work.s[i + j] = __builtin_convertvector(r[j], Ints);
    }
    for (; i < Samples; ++i) {
        for (int k = 0; k < Lanes; ++k) work.s[i][k] = rows[k][std::min(i, binLength - 1)];
    }
}

// Writes the clipped samples of the bin back into the rows of the lanes in `keep`.
LANE_STEP void storeRows(const LaneWork& work, std::int16_t* const* rows, int binLength, Ints keep) {
    int i = 0;
    for (; i + Lanes <= binLength; i += Lanes) {
        Shorts r[Lanes];
        for (int j = 0; j < Lanes; ++j) r[j] = __builtin_convertvector(work.s[i + j], Shorts);
        transpose(r);
        for (int k = 0; k < Lanes; ++k) {
            if (keep[k]) std::memcpy(rows[k] + i, &r[k], sizeof r[k]);
        }
    }
    for (; i < binLength; ++i) {
        for (int k = 0; k < Lanes; ++k) {
            if (keep[k]) rows[k][i] = static_cast<std::int16_t>(work.s[i][k]);
        }
    }
}

// One block: work.s holds the lanes' rows; leaves the clipped rows in work.s,
// the traces in work.trace and the results in work.counts and work.fallback.
LANE_STEP void countBlock(LaneWork& work, double snr, int method) {
    Ints bad{};
    Ints amplitude;
    Ints level;
    envelopePass(work.s, work.s[1], work.upper, amplitude, level);
    double clipCoefficient[Lanes];
    for (int k = 0; k < Lanes; ++k) {
        clipCoefficient[k] = marginFrom(level[k] <= 0 ? snr : ratioMargin(amplitude[k], level[k], snr)) + Percent;
    }
    windowMeans(work.upper, work.means);
    leadEntries(work.clip, work.means, clipCoefficient, Percent, bad);
    averagedEntries(work.clip, work, clipCoefficient, bad);
    for (int w = 0; w < Samples; ++w) work.s[w] = smaller(work.s[w], work.clip[w]);

    envelopePass(work.s, work.s[2], work.upper, amplitude, level);
    double k2[Lanes];
    for (int k = 0; k < Lanes; ++k) {
        const bool levelAboveGap = level[k] > 0 && level[k] > amplitude[k];
        k2[k] = marginFrom(levelAboveGap ? ratioMargin(amplitude[k], level[k], snr) : snr);
    }
    const Ints floor = Ints{} + AmplitudeFloor;
    bad |= (amplitude < -32768) | (amplitude > 32767);
    const Ints t = amplitude > floor ? amplitude : floor;

    if (method == DspThresholdBinary || method == DspThresholdAverage) {
        windowMeans(work.upper, work.means);
        double lead[Lanes];
        double traceCoefficient[Lanes];
        for (int k = 0; k < Lanes; ++k) {
            lead[k] = (Percent - LeadFactor * k2[k]) / Percent;
            traceCoefficient[k] = Percent - k2[k];
        }
        leadEntries(work.trace, work.means, lead, 1.0, bad);
        averagedEntries(work.trace, work, traceCoefficient, bad);
        work.counts = countDips(work, method);
    } else {
        work.counts = countExcursions(work, t, bad);
    }
    work.fallback = bad;
}

};

#undef LANE_STEP

}  // namespace zorvex::lanes
