#pragma once
// The instrument's 384 infrared beams as the receivers see them: a level set
// by each channel's sensitivity, a little noise, and organisms that cross the
// beam as dips. Activity differs by well so that group reports have something
// to tell apart: it grows across the plate's columns and doubles in light.

#include <array>
#include <cstdint>
#include <random>

namespace zorvex::sim {

constexpr int BeamCount = 384;
constexpr int MaxRawLevel = 4095;
constexpr int PowerOnSetting = 3 * 32 + 2;  ///< gain 3, pin-hole 2

class BeamModel {
public:
    /// Beams with per-channel base levels drawn from `seed`; without
    /// `organisms` no beam is ever crossed (an empty plate); a `dosePlate`
    /// has the activity of DosePlate.h instead of the gradient across columns.
    explicit BeamModel(std::uint64_t seed, bool organisms = true, bool dosePlate = false);

    /// Applies a channel-setting write (gain x 32 + pin-hole).
    void setSetting(int channel, int setting);
    int setting(int channel) const { return settings_[channel]; }

    /// The undisturbed level of `channel` at sensitivity step `step`
    /// (pin-hole x 8 + gain), before noise and clipping.
    double level(int channel, int step) const;
    /// The undisturbed level at the channel's current setting.
    double level(int channel) const;
    /// Chance per sample that an organism starts crossing the beam.
    double crossingRate(int channel, bool lightOn) const;

    /// Advances `channel` by one sample and returns its reading, 0..4095.
    int nextSample(int channel, bool lightOn);

private:
    struct Dip {
        int samplesLeft = 0;
        double depth = 0;  ///< fraction of the level lost while crossing
    };
    std::mt19937_64 random_;
    std::array<double, BeamCount> base_{};
    std::array<int, BeamCount> settings_{};
    std::array<Dip, BeamCount> dips_{};
    bool organisms_;
    bool dosePlate_;
};

}  // namespace zorvex::sim
