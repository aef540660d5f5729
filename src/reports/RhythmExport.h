#pragma once
// Export for rhythm-analysis tools: the per-well activity grid as 42-column
// monitor files of 32 wells each, and metadata.csv linking every well's
// column to its plate, group and experiment.

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "platform/Dialogs.h"
#include "reports/RhythmGrid.h"

namespace zorvex {

/// Wells per monitor file.
constexpr int WellsPerMonitor = 32;

/// What one export reads and where it writes.
struct RhythmRequest {
    std::filesystem::path acquisitionFolder;
    std::filesystem::path programFolder;  ///< where the plate format files are
    int intervalMinutes = 1;
    std::filesystem::path outFolder;  ///< empty: the acquisition's rhythm/ subfolder
};

/// The default export folder of an acquisition: <folder>/rhythm.
std::filesystem::path rhythmFolder(const std::filesystem::path& acquisitionFolder);

/// Name of monitor file `number` (from 1): "Monitor1.txt".
std::string monitorFileName(int number);

/// Number of monitor files the grid's wells fill.
int monitorFileCount(const RhythmGrid& grid);

/// The lines of monitor file `index` (from 0): wells index*32.. in columns
/// 11..42, zeros past the plate's last well.
std::string monitorFileText(const RhythmGrid& grid, int index);

/// metadata.csv: one row per well with a channel; `experiment` names the run.
std::string rhythmMetadataText(const RhythmGrid& grid, const std::string& experiment);

/// A CSV field, in double quotes with inner quotes doubled when it holds a
/// comma, a quote or a line break.
std::string csvField(std::string_view text);

/// Loads the grid and writes the monitor files and metadata.csv, each file
/// whole or not at all, metadata.csv last. Returns the files written; none
/// after a message when the acquisition cannot be read, holds no records or
/// a file cannot be written.
std::vector<std::filesystem::path> exportRhythm(const RhythmRequest& request, Dialogs& dialogs);

}  // namespace zorvex
