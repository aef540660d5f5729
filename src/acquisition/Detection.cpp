#include "acquisition/Detection.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <stdexcept>

#include "analysis/Analysis_Module.h"
#include "common/Numbers.h"

namespace zorvex {
namespace {

constexpr double Percent = 100.0;
constexpr int MotilityWindow = 10;  // method 2: slots of the recent maximum
constexpr int MinimumBuffer = 5;    // room for three slots back plus a window

int checkedBuffer(int rtBuffer) {
    if (rtBuffer < MinimumBuffer) throw std::invalid_argument("Detection: real-time buffer shorter than 5 samples");
    return rtBuffer;
}

// A band entry, rounded half to even. An odd threshold (say -400 %) must not
// stop a tick, so the band is held at the edge of 16 bits instead.
std::int16_t bandValue(double value) {
    if (std::isnan(value)) return 0;
    return static_cast<std::int16_t>(std::clamp(roundHalfEven(value), -32768.0, 32767.0));
}

}  // namespace

Detection::Detection(int rtBuffer)
    : rtBuffer_(checkedBuffer(rtBuffer)), lowerBand_(rtBuffer), upperBand_(rtBuffer) {}

void Detection::step(const SampleFrame& frame, const DetectionTick& tick, const DetectionSettings& settings) {
    if (frame.rtBuffer() != rtBuffer_) throw std::invalid_argument("Detection: frame of another buffer length");
    if (tick.slot < 0 || tick.slot >= rtBuffer_) throw std::invalid_argument("Detection: slot outside the buffer");
    // A new bin starts empty whatever the detection does yet: after a resume
    // the counting waits, and a bin closing meanwhile must not carry the
    // previous bin's counts into its record.
    if (tick.slot == 0) binCounts_.fill(0);
    for (int channel = 0; channel < ChannelCount; ++channel) {
        if (!settings.hasWell[channel]) continue;
        if (settings.autoZero) {
            trackAmplitude(frame, tick, settings, channel);
        } else if (tick.ticksSinceStart > settings.dspInterval) {
            detect(frame, tick, settings, channel);
        }
    }
}

void Detection::setBinCount(int channel, std::int16_t count) {
    binCounts_.at(channel) = count;
    std::int16_t& total = runningTotals_[channel];
    if (total < RunningTotalCap) {
        total = static_cast<std::int16_t>(std::min<int>(total + count, std::numeric_limits<std::int16_t>::max()));
    }
}

void Detection::detect(const SampleFrame& frame, const DetectionTick& tick, const DetectionSettings& settings,
                       int channel) {
    const int s = tick.slot;
    const int method = settings.dspMethod;
    if (method != DspThresholdBinary && method != DspThresholdAverage && method != DspMotilityIndex) return;

    const std::int16_t* samples = frame.row(channel);
    std::int16_t* lower = lowerBand_.row(channel);
    const bool motility = method == DspMotilityIndex;
    const int window = motility ? std::min(MotilityWindow, rtBuffer_ - 2) : windowOf(settings.dspInterval);
    const std::int16_t largest = largestBefore(samples, s, window);
    const double reach = (Percent - settings.thresholds[channel]) * largest / Percent;

    // The first tick with a full window: give every slot the band the rule
    // settles at, so the live view draws one from the start and the averaging
    // below starts from it rather than from zeros.
    if (tick.ticksSinceStart == settings.dspInterval + 1) std::fill(lower, lower + rtBuffer_, bandValue(reach));

    if (motility) {
        lower[s] = bandValue(reach);
    } else {
        lower[s] = bandValue((reach + lower[slotBefore(s, 1)] + lower[slotBefore(s, 2)] + lower[slotBefore(s, 3)]) / 4);
    }
    if (tick.ticksSinceStart > 1.5 * settings.dspInterval) {
        countInterruption(channel, samples[s] < lower[s], tick.intervalEnd, method);
    }
}

void Detection::forgetPendingMarks() {
    below_.fill(false);
    activityMarks_.fill(0);
}

void Detection::countInterruption(int channel, bool below, bool intervalEnd, int method) {
    auto addCount = [&] {
        if (runningTotals_[channel] < RunningTotalCap) ++runningTotals_[channel];
        ++binCounts_[channel];
    };
    bool& flag = below_[channel];
    std::int16_t& mark = activityMarks_[channel];
    if (method == DspThresholdBinary) {
        // Marks collect within a detection interval and count once at its end.
        if (below && !flag) {
            flag = true;
            mark = 1;
        } else if (!below) {
            flag = false;
        }
        if (intervalEnd && mark == 1) {
            addCount();
            mark = 0;
        }
        return;
    }
    if (below && !flag) {
        flag = true;
        addCount();
        mark = 1;
    } else if (!below && flag) {
        flag = false;
        mark = 0;
    }
}

void Detection::trackAmplitude(const SampleFrame& frame, const DetectionTick& tick, const DetectionSettings& settings,
                               int channel) {
    const int s = tick.slot;
    const std::int16_t* samples = frame.row(channel);
    const double threshold = settings.thresholds[channel];
    if (tick.ticksSinceStart <= settings.dspInterval || s <= 1) {
        sums_[channel] = {};
        // The envelopes start at the signal, as the activity calculation's do;
        // starting them at 0 would add whole sample values to the amplitude.
        peaks_[channel] = samples[s];
        valleys_[channel] = samples[s];
        lowerBand_.at(channel, s) = bandValue(samples[s] * (Percent - threshold) / Percent);
        upperBand_.at(channel, s) = bandValue(samples[s] * (Percent + threshold) / Percent);
        return;
    }
    const std::int16_t previous = samples[s - 1];
    if (previous > samples[s - 2] && previous > samples[s]) {
        peaks_[channel] = previous;
    } else if (previous < samples[s - 2] && previous < samples[s]) {
        valleys_[channel] = previous;
    }
    AutoZeroSums& sums = sums_[channel];
    sums.amplitude += peaks_[channel] - valleys_[channel];
    sums.level += previous;
    ++sums.samples;

    // Display bands: the threshold below and above the recent maximum.
    const std::int16_t largest = largestBefore(samples, s, windowOf(settings.dspInterval));
    lowerBand_.at(channel, s) = bandValue((Percent - threshold) * largest / Percent);
    upperBand_.at(channel, s) = bandValue((Percent + threshold) * largest / Percent);
}

// The k-th slot before `slot` in the circular buffer, by the rule the counts
// were always made with: it skips the last slot when stepping back over slot 0.
int Detection::slotBefore(int slot, int k) const { return slot - k > 0 ? slot - k : slot - k + rtBuffer_ - 1; }

// Largest sample over the `count` slots before `slot`. By the circular rule they
// are slot - 1 down to 1, then from the last slot backwards (from the one
// before it when `slot` is 0): two runs of the row.
std::int16_t Detection::largestBefore(const std::int16_t* row, int slot, int count) const {
    const int direct = slot >= 1 ? std::min(count, slot - 1) : 0;
    std::int16_t largest = std::numeric_limits<std::int16_t>::min();
    if (direct > 0) largest = *std::max_element(row + slot - direct, row + slot);
    const int wrapped = count - direct;
    if (wrapped > 0) {
        const int last = slot >= 1 ? rtBuffer_ - 1 : rtBuffer_ - 2;
        largest = std::max(largest, *std::max_element(row + last - wrapped + 1, row + last + 1));
    }
    return largest;
}

// Slots in the window of the recent maximum: DSP_Interval, at least 1, and at
// most what the circular rule can reach without coming back to the slot itself.
int Detection::windowOf(int dspInterval) const { return std::clamp(dspInterval, 1, rtBuffer_ - 2); }

}  // namespace zorvex
