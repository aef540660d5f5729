#pragma once
// Channel signals for the activity tests and benchmarks: beam-like signals with
// organism dips, and the pathological rows (flat, zero, full scale, glitches,
// full 16-bit noise) where exact arithmetic and overflow handling are decided.

#include <algorithm>
#include <array>
#include <cstdint>
#include <random>

#include "analysis/SampleFrame.h"

namespace zorvex::test {

enum class Signal {
    Beam,          ///< level with small noise and a few organism dips
    BusyBeam,      ///< strong noise and many dips, some at the very ends
    Spiky,         ///< beam with tall single-sample spikes
    Stepped,       ///< long flat stretches joined by steps (exact ties in method 2)
    Coarse,        ///< a level wobbling by 0 or 1 (many equal neighbours)
    Constant,      ///< one value throughout
    Zero,          ///< a dark channel
    FullScale,     ///< 4095 with rare drops
    DarkGlitches,  ///< 0 with a full-scale glitch every 50 samples
    Uniform12,     ///< any instrument value, 0..4095
    Uniform16,     ///< any 16-bit value
};

constexpr std::array<Signal, 11> AllSignals = {
    Signal::Beam,     Signal::BusyBeam, Signal::Spiky,        Signal::Stepped,   Signal::Coarse,    Signal::Constant,
    Signal::Zero,     Signal::FullScale, Signal::DarkGlitches, Signal::Uniform12, Signal::Uniform16,
};

/// Fills slots 0..rtBuffer-1 of `channel` with a random signal of `kind`.
inline void fillSignal(SampleFrame& frame, int channel, Signal kind, std::mt19937& rng) {
    const int length = frame.rtBuffer();
    auto uniform = [&rng](int low, int high) { return std::uniform_int_distribution<int>(low, high)(rng); };
    auto put = [&](int slot, int value) {
        frame.at(channel, slot) = static_cast<std::int16_t>(std::clamp(value, -32768, 32767));
    };
    auto addDips = [&](int dips, int depthPercent) {
        for (int d = 0; d < dips; ++d) {
            const int start = uniform(0, length - 1);
            const int width = uniform(1, 40);
            const int depth = uniform(5, depthPercent);
            for (int i = start; i < std::min(length, start + width); ++i) {
                put(i, frame.at(channel, i) * (100 - depth) / 100);
            }
        }
    };
    switch (kind) {
        case Signal::Beam:
        case Signal::BusyBeam:
        case Signal::Spiky: {
            const int level = uniform(300, 3800);
            const int noise = kind == Signal::BusyBeam ? uniform(20, 400) : uniform(0, 30);
            for (int i = 0; i < length; ++i) put(i, level + uniform(-noise, noise));
            addDips(kind == Signal::BusyBeam ? uniform(5, 25) : uniform(0, 6), kind == Signal::BusyBeam ? 90 : 60);
            if (kind == Signal::BusyBeam) {
                for (int i = std::max(0, length - uniform(5, 25)); i < length; ++i) put(i, level / 3);
            }
            if (kind == Signal::Spiky) {
                for (int n = uniform(1, 6); n > 0; --n) put(uniform(0, length - 1), uniform(4000, 4095));
            }
            break;
        }
        case Signal::Stepped: {
            int value = uniform(500, 3500);
            for (int i = 0; i < length;) {
                const int run = uniform(5, 80);
                for (int j = i; j < std::min(length, i + run); ++j) put(j, value);
                i += run;
                value = std::clamp(value + uniform(-400, 400), 0, 4095);
            }
            break;
        }
        case Signal::Coarse: {
            const int level = uniform(0, 4000);
            for (int i = 0; i < length; ++i) put(i, level + uniform(0, 1));
            break;
        }
        case Signal::Constant: {
            const int value = uniform(0, 4095);
            for (int i = 0; i < length; ++i) put(i, value);
            break;
        }
        case Signal::Zero:
            for (int i = 0; i < length; ++i) put(i, 0);
            break;
        case Signal::FullScale:
            for (int i = 0; i < length; ++i) put(i, 4095);
            addDips(uniform(0, 3), 95);
            break;
        case Signal::DarkGlitches: {
            const int phase = uniform(0, 49);
            for (int i = 0; i < length; ++i) put(i, (i % 50 == phase) ? 4095 : 0);
            break;
        }
        case Signal::Uniform12:
            for (int i = 0; i < length; ++i) put(i, uniform(0, 4095));
            break;
        case Signal::Uniform16:
            for (int i = 0; i < length; ++i) put(i, uniform(-32768, 32767));
            break;
    }
}

}  // namespace zorvex::test
