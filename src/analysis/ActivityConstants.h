#pragma once
// The fixed numbers of the activity calculation, shared by the one-channel
// routine and the routine that runs several channels in vector lanes.

#include <algorithm>
#include <cstdint>

namespace zorvex::activity {

constexpr int Samples = 500;
constexpr int LastSample = Samples - 1;
constexpr int FirstEnvelope = 2;  // envelope positions 2..498, 497 of them
constexpr int LastEnvelope = 498;
constexpr double EnvelopePositions = LastEnvelope - FirstEnvelope + 1;
constexpr int MeanWindow = 30;     // envelope positions per window mean
constexpr int LeadPositions = 3;   // trace positions 0..3 take no averaging
constexpr double LeadFactor = 1.75;
constexpr double Percent = 100.0;
constexpr std::int16_t AmplitudeFloor = 5;
constexpr int CountWindow = 30;     // method 0: samples per counting window
constexpr int BaselineWindow = 50;  // method 2: moving minimum and average
constexpr int SmoothWindow = 10;
constexpr int RunLength = 10;
constexpr int StartMinimum = 9999;
// Adding and removing 1.5 x 2^52 leaves the nearest integer, halves to even,
// of any value below 2^51 in magnitude, under the round-to-nearest arithmetic
// every double of this calculation already assumes; unlike roundHalfEven it
// needs no branches and vectorises.
constexpr double RoundingShift = 0x1.8p52;
constexpr double RoundingLimit = 0x1p51;
// Limits of the integer trace step (see averagedEntries).
constexpr double IntegerStepLimit = 0x1p19;
constexpr double FractionMargin = 0x1p-28;
// While every trace entry stays within this no sum of three leaves 16 bits.
constexpr std::uint32_t SafeEntry = 32767 / 3;

static_assert(Samples % BaselineWindow == 0, "the moving minimum works in whole blocks");

// Margins k1 and k2 from the envelope means.
inline double marginFrom(double p) { return std::max(p + 1, 1.0); }

inline double ratioMargin(std::int32_t amplitude, std::int32_t level, double snr) {
    return (1 - static_cast<double>(level - amplitude) / level) * Percent * snr;
}

}  // namespace zorvex::activity
