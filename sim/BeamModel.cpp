#include "BeamModel.h"

#include <algorithm>
#include <cmath>

#include "DosePlate.h"

namespace zorvex::sim {

namespace {
// Each sensitivity step raises the level by 4 %, finer than the calibration
// window 1638..1843 is wide (12 %), so every beam can be brought into it.
constexpr double StepGain = 1.04;
// Base levels put the window between steps 16 and 49, inside the pin-hole
// range 1..7 (steps 8..63) that calibration moves in.
constexpr double MinBase = 260.0;
constexpr double MaxBase = 900.0;
constexpr double NoiseCounts = 2.0;
constexpr double BaseCrossingRate = 0.003;
// The dose plate's vehicle moves more, so that a few minutes give counts
// enough for a curve, yet crossings seldom overlap.
constexpr double DosePlateCrossingRate = 0.01;
constexpr int MinDipSamples = 3;
constexpr int MaxDipSamples = 20;
constexpr double MinDipDepth = 0.10;
constexpr double MaxDipDepth = 0.60;
constexpr int RowsPerColumn = 16;
constexpr int Columns = 24;

int sensitivityStep(int setting) {
    int gain = (setting >> 5) & 7;
    int pinHole = setting & 31;
    return pinHole * 8 + gain;
}
}  // namespace

BeamModel::BeamModel(std::uint64_t seed, bool organisms, bool dosePlate)
    : random_(seed), organisms_(organisms), dosePlate_(dosePlate) {
    std::uniform_real_distribution<double> base(MinBase, MaxBase);
    for (double& value : base_) value = base(random_);
    settings_.fill(PowerOnSetting);
}

void BeamModel::setSetting(int channel, int setting) {
    if (channel >= 0 && channel < BeamCount) settings_[channel] = setting & 0xFF;
}

double BeamModel::level(int channel, int step) const { return base_[channel] * std::pow(StepGain, step); }

double BeamModel::level(int channel) const { return level(channel, sensitivityStep(settings_[channel])); }

double BeamModel::crossingRate(int channel, bool lightOn) const {
    const double light = lightOn ? 2.0 : 1.0;
    if (dosePlate_) return DosePlateCrossingRate * doseActivity(channel) * light;
    // Channels run down the columns of the 384-well layout, 16 to a column.
    int column = (channel / RowsPerColumn) % Columns;
    double gradient = 0.3 + 1.7 * column / (Columns - 1);
    return BaseCrossingRate * gradient * light;
}

int BeamModel::nextSample(int channel, bool lightOn) {
    Dip& dip = dips_[channel];
    if (organisms_ && dip.samplesLeft == 0 && std::bernoulli_distribution(crossingRate(channel, lightOn))(random_)) {
        dip.samplesLeft = std::uniform_int_distribution<int>(MinDipSamples, MaxDipSamples)(random_);
        dip.depth = std::uniform_real_distribution<double>(MinDipDepth, MaxDipDepth)(random_);
    }
    double value = level(channel);
    if (dip.samplesLeft > 0) {
        value *= 1.0 - dip.depth;
        --dip.samplesLeft;
    }
    value += std::normal_distribution<double>(0.0, NoiseCounts)(random_);
    return static_cast<int>(std::clamp(std::lround(value), 0L, static_cast<long>(MaxRawLevel)));
}

}  // namespace zorvex::sim
