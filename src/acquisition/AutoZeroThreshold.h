#pragma once
// Auto-zero at a bin end: the per-sample detection accumulates each channel's
// envelope gap and level over the bin, and this turns them into the channel's
// new threshold margin and decides whether its beam needs recalibrating.

#include <cstdint>

namespace zorvex {

/// Envelope gap and level of one channel accumulated over the current bin.
struct AutoZeroSums {
    std::int64_t amplitude = 0;  ///< sum of peak - valley (A)
    std::int64_t level = 0;      ///< sum of the samples (L)
    std::int32_t samples = 0;    ///< number of samples added (n)
};

/// The beam settings and switches the recalibration rule looks at.
struct RecalibrationInputs {
    bool autoCalibration = false;  ///< the Auto Calibration switch
    bool recording = false;        ///< the acquisition writes its files
    int gain = 0;                  ///< the channel's Gain
    int pinHole = 0;               ///< the channel's PinHole index
};

/// What the bin end decides for one channel.
struct AutoZeroResult {
    std::int32_t meanAmplitude = 0;  ///< A over the bin, rounded half to even
    std::int32_t meanLevel = 0;      ///< L over the bin, rounded half to even
    double threshold = 1;            ///< the channel's new Threshold in percent, at least 1
    bool recalibrate = false;        ///< the channel is marked for auto-calibration
};

/// Mean level above this marks a channel for recalibration (the beam is near saturation).
constexpr std::int32_t RecalibrationLevel = 1944;

/// The new threshold of a channel from its bin sums and the SNR factor, and
/// whether it is marked for recalibration. With no samples, or a level under 1
/// or not above the amplitude, the margin is F x 100 + 1.
AutoZeroResult autoZeroThreshold(const AutoZeroSums& sums, double snr, const RecalibrationInputs& beam);

}  // namespace zorvex
