#pragma once
// calvalue.dat in the program folder: each beam's PinHole and Gain as the
// last calibration left them, a header and one line per channel 0..383.

#include <array>
#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>

#include "common/Channels.h"

namespace zorvex {

inline constexpr const char* CalibrationFileName = "calvalue.dat";

/// One sensitivity index per channel slot 0..384.
using BeamTable = std::array<std::int16_t, ChannelSlots>;

constexpr std::int16_t DefaultPinHole = 2;
constexpr std::int16_t DefaultGain = 3;
constexpr std::int16_t MaxGain = 7;
constexpr std::int16_t MinPinHole = 1;
constexpr std::int16_t MaxPinHole = 7;

/// What reading calvalue.dat found.
struct CalibrationFileRead {
    bool found = false;   ///< the file could be read at all
    int lines = 0;        ///< channel lines taken, in file order
    bool garbled = false; ///< reading stopped at a field that was not a number
    int limited = 0;      ///< values brought into Gain 0..7 / PinHole 1..7
    /// A note for the operator when the file was garbled or out of range; empty otherwise.
    std::string note() const;
};

/// The file's bytes for `pinHole` and `gain` (header with its trailing space, 384 lines).
std::string calibrationFileBytes(const BeamTable& pinHole, const BeamTable& gain);

/// Writes calvalue.dat into `programFolder`; false when it could not be written.
bool writeCalibrationFile(const std::filesystem::path& programFolder, const BeamTable& pinHole,
                          const BeamTable& gain);

/// Sets every channel to PinHole 2, Gain 3 and writes that file.
bool writeDefaultCalibrationFile(const std::filesystem::path& programFolder, BeamTable& pinHole, BeamTable& gain);

/// Reads the lines in file order into slots 0.. (their channel numbers are
/// ignored); slots the file does not reach keep their values. A pair 0, 0
/// (a beam outside the plate) is kept; otherwise values are limited to the
/// calibration ranges so no out-of-range setting reaches the instrument.
CalibrationFileRead readCalibrationFile(const std::filesystem::path& programFolder, BeamTable& pinHole,
                                        BeamTable& gain);

/// readCalibrationFile on the bytes of a file that was found.
CalibrationFileRead parseCalibrationFile(std::string_view bytes, BeamTable& pinHole, BeamTable& gain);

}  // namespace zorvex
