#include "acquisition/AutoZeroThreshold.h"

#include <algorithm>

#include "common/Numbers.h"

namespace zorvex {

AutoZeroResult autoZeroThreshold(const AutoZeroSums& sums, double snr, const RecalibrationInputs& beam) {
    AutoZeroResult result;
    // Without samples nothing was accumulated, and A = L = 0.
    if (sums.samples > 0) {
        result.meanAmplitude = toInt32(static_cast<double>(sums.amplitude) / sums.samples);
        result.meanLevel = toInt32(static_cast<double>(sums.level) / sums.samples);
    }
    const std::int32_t amplitude = result.meanAmplitude;
    const std::int32_t level = result.meanLevel;

    double margin = 0;
    if (amplitude >= level || level < 1) {
        margin = snr * 100 + 1;
    } else {
        margin = (1 - static_cast<double>(level - amplitude) / level) * 100 * snr + 1;
    }
    result.threshold = std::max(margin, 1.0);
    result.recalibrate = level > RecalibrationLevel && beam.autoCalibration && beam.recording &&
                         (beam.gain != 0 || beam.pinHole > 1);
    return result;
}

}  // namespace zorvex
