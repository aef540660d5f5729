#include "acquisition/AutoZeroThreshold.h"

#include "analysis/Zero.h"
#include "common/Numbers.h"

namespace zorvex {

AutoZeroResult autoZeroThreshold(const AutoZeroSums& sums, double snr, const RecalibrationInputs& beam) {
    AutoZeroResult result;
    // Without samples nothing was accumulated, and A = L = 0.
    if (sums.samples > 0) {
        result.meanAmplitude = toInt32(static_cast<double>(sums.amplitude) / sums.samples);
        result.meanLevel = toInt32(static_cast<double>(sums.level) / sums.samples);
    }
    result.threshold = binZeroMargin(result.meanAmplitude, result.meanLevel, snr);
    result.recalibrate = result.meanLevel > RecalibrationLevel && beam.autoCalibration && beam.recording &&
                         (beam.gain != 0 || beam.pinHole > 1);
    return result;
}

}  // namespace zorvex
