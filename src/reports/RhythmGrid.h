#pragma once
// Per-well activity of one acquisition on a regular grid of I minutes, with
// the light of each interval from the acquisition's own light settings.
// Interval k holds the records stamped k*I..(k+1)*I-1 (a stamp counts whole
// minutes at its bin's end) and is read at start + (k+1)*I; its light is the
// one at its beginning.
#include <cstdint>
#include <filesystem>
#include <optional>
#include <vector>
#include "common/DateTime.h"
#include "platform/Dialogs.h"
#include "reports/ReportInputs.h"

namespace zorvex {

/// Longest interval: one line a day.
constexpr int MaxRhythmIntervalMinutes = 1440;

struct RhythmGrid {
    DateTime start;                     ///< start of the acquisition, from the folder name
    int intervalMinutes = 1;            ///< I
    ReportPlate plate;                  ///< plate, groups and group names of the acquisition
    std::vector<std::vector<std::int32_t>> wellCounts;  ///< [well 0..Wmax][interval]
    std::vector<bool> hasRecords;       ///< [interval]: some record fell into it
    std::vector<bool> lightOn;          ///< [interval]: light during the interval
    int intervalCount() const { return static_cast<int>(hasRecords.size()); }
    int wellCount() const { return static_cast<int>(wellCounts.size()); }
    /// Group of `well` (of its beam-0 channel), negative for none.
    int groupOfWell(int well) const;
};

/// Reads the acquisition folder (setup copy, side files, plate file from the
/// program folder, counts.bin) into a grid of `intervalMinutes`; nothing, after
/// a message through `dialogs`, when the folder cannot be read.
std::optional<RhythmGrid> loadRhythmGrid(const std::filesystem::path& acquisitionFolder,
                                         const std::filesystem::path& programFolder,
                                         int intervalMinutes, Dialogs& dialogs);
}  // namespace zorvex
