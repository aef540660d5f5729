#pragma once
// Per-sample activity detection: every tick of the acquisition cycle looks at
// the sample just stored for each channel with a well and compares it with a
// lower band a threshold percentage under the channel's recent maximum.
// Without auto-zero it counts beam interruptions into the bin counts; with
// auto-zero it only accumulates the amplitude and level the bin end turns into
// thresholds (the counts then come from the activity calculation), and keeps
// the bands the live view draws.

#include <array>
#include <cstdint>

#include "acquisition/AutoZeroThreshold.h"
#include "analysis/Analysis_Module.h"
#include "analysis/SampleFrame.h"

namespace zorvex {

/// What the detection reads of the project and the main window, every tick.
struct DetectionSettings {
    int dspMethod = DspThresholdAverage;            ///< DSP_Method: 0, 1 or 2; others count nothing
    int dspInterval = 30;                           ///< DSP_Interval, in samples
    bool autoZero = false;                          ///< the main window's Auto Zero switch
    std::array<double, ChannelCount> thresholds{};  ///< ChannelTable Threshold per channel, percent
    std::array<bool, ChannelCount> hasWell{};       ///< the plate maps the channel to a well
};

/// Where the acquisition cycle stands when it runs the detection.
struct DetectionTick {
    int slot = 0;                      ///< slot of the real-time buffer filled this tick
    std::int32_t ticksSinceStart = 0;  ///< ticks since start or resume, not counting this one
    bool intervalEnd = false;          ///< the detection interval counter has reached DSP_Interval
};

/// Running totals stop growing here.
constexpr std::int16_t RunningTotalCap = 10000;

class Detection {
public:
    /// Cleared state for a real-time buffer of `rtBuffer` samples (at least 5).
    /// Throws std::invalid_argument for a shorter buffer.
    explicit Detection(int rtBuffer);

    /// Detection for the slot `tick.slot` just stored in `frame`, for every
    /// channel with a well. Throws std::invalid_argument when the frame or the
    /// slot does not belong to this buffer.
    void step(const SampleFrame& frame, const DetectionTick& tick, const DetectionSettings& settings);

    /// Auto-zero bin end: `count` from the activity calculation becomes the
    /// channel's bin count and is added to its running total while that is
    /// below 10000 (so the total may end a little above it).
    void setBinCount(int channel, std::int16_t count);

    /// After a gap in the samples (a resume, the instrument back): an
    /// interruption seen before it is no news after it, and a method 0 mark
    /// pending from before is not counted into the bin after the gap.
    void forgetPendingMarks();

    /// Counts of the current bin per channel (the body of an ActivityRecord).
    const std::array<std::int16_t, ChannelCount>& binCounts() const { return binCounts_; }
    /// Counts since the start per channel, capped at 10000.
    const std::array<std::int16_t, ChannelCount>& runningTotals() const { return runningTotals_; }
    /// 1 while an interruption is being seen (method 0: until its interval ends).
    const std::array<std::int16_t, ChannelCount>& activityMarks() const { return activityMarks_; }
    /// The lower band per channel and slot: the live view's threshold trace.
    const SampleFrame& lowerBand() const { return lowerBand_; }
    /// The upper band per channel and slot (drawn under auto-zero).
    const SampleFrame& upperBand() const { return upperBand_; }
    /// What auto-zero accumulated for a channel in the current bin.
    const AutoZeroSums& autoZeroSums(int channel) const { return sums_.at(channel); }

private:
    void detect(const SampleFrame& frame, const DetectionTick& tick, const DetectionSettings& settings, int channel);
    void trackAmplitude(const SampleFrame& frame, const DetectionTick& tick, const DetectionSettings& settings,
                        int channel);
    void countInterruption(int channel, bool below, bool intervalEnd, int method);
    int slotBefore(int slot, int k) const;
    std::int16_t largestBefore(const std::int16_t* row, int slot, int count) const;
    int windowOf(int dspInterval) const;

    int rtBuffer_;
    SampleFrame lowerBand_;
    SampleFrame upperBand_;
    std::array<bool, ChannelCount> below_{};
    std::array<std::int16_t, ChannelCount> activityMarks_{};
    std::array<std::int16_t, ChannelCount> binCounts_{};
    std::array<std::int16_t, ChannelCount> runningTotals_{};
    std::array<std::int16_t, ChannelCount> peaks_{};
    std::array<std::int16_t, ChannelCount> valleys_{};
    std::array<AutoZeroSums, ChannelCount> sums_{};
};

}  // namespace zorvex
