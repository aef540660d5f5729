#include "analysis/Analysis_Module.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <stdexcept>

#include "analysis/ActivityConstants.h"
#include "common/Numbers.h"

namespace zorvex {
namespace {

using namespace activity;

static_assert(Samples == Analysis_Module::AnalysedSamples);
constexpr std::int32_t InDoubles = std::numeric_limits<std::int32_t>::min();

using Row = std::array<std::int16_t, Samples>;
using Reals = std::array<double, Samples>;

struct EnvelopeMeans {
    std::int32_t amplitude;
    std::int32_t level;
};

// Upper envelope of positions 0..498 (499 is kept 0 so a sliding window may read
// it) and the rounded means of the envelope gap and of the signal over 2..498.
EnvelopeMeans envelopePass(const Row& s, std::int16_t start, Row& upper) {
    std::int16_t u = start;
    std::int16_t l = start;
    upper[0] = start;
    upper[1] = start;
    std::int32_t amplitudeSum = 0;
    std::int32_t levelSum = 0;
    for (int i = FirstEnvelope; i <= LastEnvelope; ++i) {
        const std::int16_t x = s[i];
        // Noise makes these comparisons coin tosses: keep them free of branches.
        const bool minimum = static_cast<int>(x < s[i - 1]) & static_cast<int>(x < s[i + 1]);
        const bool maximum = static_cast<int>(x > s[i - 1]) & static_cast<int>(x > s[i + 1]);
        l = minimum ? x : l;
        u = maximum ? x : u;
        upper[i] = u;
        amplitudeSum += u - l;
        levelSum += x;
    }
    upper[LastEnvelope + 1] = 0;
    return {toInt32(amplitudeSum / EnvelopePositions), toInt32(levelSum / EnvelopePositions)};
}

// N(value) in the integer type, as toInt16 and toInt32 do it, but without
// branching on the fraction: method 2 rounds noisy values by the hundred.
template <typename Int>
Int roundedTo(double value) {
    const double nearest = (value + RoundingShift) - RoundingShift;
    if (std::abs(value) < RoundingLimit && nearest >= std::numeric_limits<Int>::min() &&
        nearest <= std::numeric_limits<Int>::max()) {
        return static_cast<Int>(nearest);
    }
    // Out of range: the checked conversion reports it.
    if constexpr (sizeof(Int) == sizeof(std::int16_t)) {
        return toInt16(value);
    } else {
        return toInt32(value);
    }
}

// W(w): N(mean of the 30 upper-envelope positions after w while w < 30, before
// it from then on). The integer sums slide.
void windowMeans(const Row& upper, Reals& means) {
    std::array<std::int32_t, Samples> sums;
    std::int32_t sum = 0;
    for (int j = 1; j <= MeanWindow; ++j) sum += upper[j];
    for (int w = 0; w < MeanWindow; ++w) {
        sums[w] = sum;
        sum += upper[w + MeanWindow + 1] - upper[w + 1];
    }
    sum = 0;
    for (int j = 0; j < MeanWindow; ++j) sum += upper[j];
    for (int w = MeanWindow; w < Samples; ++w) {
        sums[w] = sum;
        sum += upper[w] - upper[w - MeanWindow];
    }
    for (int w = 0; w < Samples; ++w) {
        means[w] = (sums[w] / static_cast<double>(MeanWindow) + RoundingShift) - RoundingShift;
    }
}

// Entries 4..499 of a trace: N((e1 + e2 + e3 + c x W(w) / 100) / 4), the three
// previous entries added as the 16-bit values they are; throws OverflowError
// when a sum or an entry leaves 16 bits.
//
// Each entry waits for the one before, so the recursion runs in integers. With
// c x W / 100 = whole + fraction and n = e1 + e2 + e3 + whole, the double sum
// lies strictly between n and n + 1 when the fraction keeps clear of 0 and 1
// (below 2^22 its rounding error is under 2^-31), and the entry is then
// (n + 2) >> 2. Whole part and fraction are judged beforehand on c x W x 0.01,
// a few ulps from the true quotient, with a margin of 2^-28 that covers the
// difference. Values near an integer, or too large for any entry, take the
// double arithmetic as written.
//
// While every entry stays within 10922 no sum of three can overflow, so the
// common pass watches only that, and the rare trace that goes beyond is built
// again with every sum checked.
void averagedEntries(std::int16_t* trace, const Reals& means, double coefficient) {
    std::array<std::int32_t, Samples> offsets;  // whole + 2, or InDoubles
    for (int w = LeadPositions + 1; w < Samples; ++w) {
        const double value = coefficient * means[w] * 0.01;
        const double nearest = (value + RoundingShift) - RoundingShift;
        const double offset = value - nearest;
        const bool integral = std::abs(value) < IntegerStepLimit && std::abs(offset) >= FractionMargin;
        const std::int32_t whole = static_cast<std::int32_t>(integral ? nearest : 0.0) - (offset < 0);
        offsets[w] = integral ? whole + 2 : InDoubles;
    }
    auto entryAfter = [&](std::int32_t three, int w) {
        if (offsets[w] != InDoubles) return (three + offsets[w]) >> 2;
        return static_cast<std::int32_t>(toInt16((three + coefficient * means[w] / Percent) / 4));
    };

    bool small = true;
    for (int w = 0; w <= LeadPositions; ++w) small &= static_cast<std::uint32_t>(trace[w] + SafeEntry) <= 2 * SafeEntry;
    std::int32_t e1 = trace[LeadPositions];
    std::int32_t e2 = trace[LeadPositions - 1];
    std::int32_t e3 = trace[LeadPositions - 2];
    for (int w = LeadPositions + 1; w < Samples; ++w) {
        const std::int32_t entry = entryAfter(e1 + (e2 + e3), w);
        small &= static_cast<std::uint32_t>(entry + SafeEntry) <= 2 * SafeEntry;
        trace[w] = static_cast<std::int16_t>(entry);
        e3 = e2;
        e2 = e1;
        e1 = entry;
    }
    if (small) return;

    for (int w = LeadPositions + 1; w < Samples; ++w) {
        const std::int16_t three = checkedInt16(checkedInt16(trace[w - 1] + trace[w - 2]) + trace[w - 3]);
        trace[w] = checkedInt16(entryAfter(three, w));
    }
}

// Clips the signal to the trace grown from the upper envelope, k1 percent above it.
void clipSignal(Row& s, const Reals& means, double k1) {
    Row clip;
    for (int w = 0; w <= LeadPositions; ++w) clip[w] = toInt16((k1 + Percent) * means[w] / Percent);
    averagedEntries(clip.data(), means, k1 + Percent);
    for (int w = 0; w < Samples; ++w) s[w] = std::min(s[w], clip[w]);
}

// Methods 0 and 1: the detection trace, k2 percent under the upper envelope
// (1.75 x k2 at the first positions, evaluated in the order written).
void detectionTrace(const Reals& means, double k2, Analysis_Module::Trace& trace) {
    const double lead = (Percent - LeadFactor * k2) / Percent;
    for (int w = 0; w <= LeadPositions; ++w) trace[w] = toInt16(lead * means[w]);
    averagedEntries(trace.data(), means, Percent - k2);
}

// Dips under the detection trace, one per 30-sample window (method 0) or one
// per downward crossing (method 1).
int countDips(const Row& s, const Analysis_Module::Trace& trace, int method) {
    int count = 0;
    bool dip = false;
    if (method == DspThresholdAverage) {
        for (int w = 0; w < Samples; ++w) {
            const bool below = s[w] < trace[w];
            count += below & !dip;
            dip = (dip | below) & !(s[w] > trace[w]);
        }
        return count;
    }
    int windowCounter = 0;
    for (int w = 0; w < Samples; ++w) {
        dip |= s[w] < trace[w];
        if (windowCounter == CountWindow) {
            count += dip;
            dip = false;
            windowCounter = 0;
        }
        ++windowCounter;
    }
    return count;
}

// First index of the window of `width` samples that belongs to position w: the
// window runs forward from w and turns backward once it would pass sample 499.
int windowStart(int w, int width) { return w < LastSample - width ? w : w - (width - 1); }

// The moving minimum of 50 samples, capped at the running minimum's start of 9999.
// Per block of 50 a prefix and a suffix minimum give any window in two looks.
void movingMinimum(const Row& s, std::array<std::int32_t, Samples>& minima) {
    Row prefix;
    Row suffix;
    for (int b = 0; b < Samples; b += BaselineWindow) {
        const int end = b + BaselineWindow - 1;
        prefix[b] = s[b];
        for (int i = b + 1; i <= end; ++i) prefix[i] = std::min(prefix[i - 1], s[i]);
        suffix[end] = s[end];
        for (int i = end - 1; i >= b; --i) suffix[i] = std::min(suffix[i + 1], s[i]);
    }
    for (int w = 0; w < Samples; ++w) {
        const int a = windowStart(w, BaselineWindow);
        const int smallest = std::min(suffix[a], prefix[a + BaselineWindow - 1]);
        minima[w] = std::min(smallest, StartMinimum);
    }
}

// The moving average of the minima, in place as the algorithm has it. The forward
// windows hold only integers, so their sums are exact and may slide; the backward
// windows at the end read averages already written, and doubles must then be
// added afresh in index order to round exactly as the algorithm does.
void movingAverage(const std::array<std::int32_t, Samples>& minima, Reals& baseline) {
    const int firstBackward = LastSample - BaselineWindow;
    std::int32_t sum = 0;
    for (int j = 0; j < BaselineWindow; ++j) sum += minima[j];
    for (int w = 0; w < firstBackward; ++w) {
        baseline[w] = sum / static_cast<double>(BaselineWindow);
        sum += minima[w + BaselineWindow] - minima[w];
    }
    for (int w = firstBackward; w < Samples; ++w) {
        double total = 0;
        for (int j = w - (BaselineWindow - 1); j < w; ++j) total += baseline[j];
        total += minima[w];
        baseline[w] = total / BaselineWindow;
    }
}

// Method 2: excursions of the detrended, smoothed signal that run 10 steps in one
// direction and are then more than t from where the run began.
int countExcursions(const Row& s, std::int16_t t, Analysis_Module::Trace& trace) {
    std::array<std::int32_t, Samples> minima;
    movingMinimum(s, minima);
    Reals detrended;
    movingAverage(minima, detrended);
    for (int w = 0; w < Samples; ++w) detrended[w] = s[w] - detrended[w];
    Reals smooth;
    for (int w = 0; w < Samples; ++w) {
        const int a = windowStart(w, SmoothWindow);
        double total = 0;
        for (int j = a; j < a + SmoothWindow; ++j) total += detrended[j];
        smooth[w] = total / SmoothWindow;
    }

    int count = 0;
    bool rising = false;
    int run = 0;
    std::int32_t pivot = 0;
    for (int k = 1; k < Samples; ++k) {
        if (smooth[k] < smooth[k - 1]) {
            if (rising) {
                rising = false;
                run = 0;
                pivot = roundedTo<std::int32_t>(smooth[k]);
            } else {
                ++run;
            }
        } else if (smooth[k] > smooth[k - 1]) {
            if (!rising) {
                rising = true;
                run = 0;
                pivot = roundedTo<std::int32_t>(smooth[k]);
            } else {
                ++run;
            }
        }
        if (run == RunLength && std::abs(pivot - smooth[k]) > t) ++count;
        trace[k] = roundedTo<std::int16_t>(smooth[k] - t);
    }
    return count;
}

}  // namespace

std::optional<std::int16_t> Analysis_Module::CalculateActivity(SampleFrame& frame, int channel, double snr,
                                                               int method) {
    if (channel < 0 || channel >= ChannelSlots) throw std::out_of_range("CalculateActivity: no such channel row");
    // A short bin does not hold samples up to 499; its last sample stands in for them.
    const int binLength = std::clamp(frame.rtBuffer(), 1, Samples);
    std::int16_t* row = frame.row(channel);
    Row s;
    std::copy_n(row, binLength, s.begin());
    std::fill(s.begin() + binLength, s.end(), row[binLength - 1]);

    // Work on copies so that an overflow leaves the caller's row and trace alone.
    Trace trace = trace_;
    int count = 0;
    try {
        Row upper;
        Reals means;
        const EnvelopeMeans pass1 = envelopePass(s, s[1], upper);
        const double k1 = marginFrom(pass1.level <= 0 ? snr : ratioMargin(pass1.amplitude, pass1.level, snr));
        windowMeans(upper, means);
        clipSignal(s, means, k1);

        const EnvelopeMeans pass2 = envelopePass(s, s[2], upper);
        const bool levelAboveGap = pass2.level > 0 && pass2.level > pass2.amplitude;
        const double k2 = marginFrom(levelAboveGap ? ratioMargin(pass2.amplitude, pass2.level, snr) : snr);
        const std::int16_t t = std::max(checkedInt16(pass2.amplitude), AmplitudeFloor);

        if (method == DspThresholdBinary || method == DspThresholdAverage) {
            windowMeans(upper, means);
            detectionTrace(means, k2, trace);
            count = countDips(s, trace, method);
        } else if (method == DspMotilityIndex) {
            count = countExcursions(s, t, trace);
        }
    } catch (const OverflowError&) {
        return std::nullopt;
    }

    std::copy_n(s.begin(), binLength, row);
    trace_ = trace;
    return static_cast<std::int16_t>(count);
}

}  // namespace zorvex
