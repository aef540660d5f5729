#pragma once
// Export for rhythm-analysis tools: the per-well activity grid as 42-column
// monitor files of 32 wells each, and metadata.csv linking every well's
// column to its plate, group and experiment. The files load as the tools'
// loaders demand: readings only for whole intervals, no step of an hour or
// more inside one metadata row, time zero at lights-on.

#include <filesystem>
#include <string>
#include <vector>

#include "platform/Dialogs.h"
#include "reports/RhythmGrid.h"

namespace zorvex {

/// Wells per monitor file.
constexpr int WellsPerMonitor = 32;

/// Longest interval: the tools take a step of an hour or more between
/// readings for a broken recording.
constexpr int MaxRhythmIntervalMinutes = 59;

/// Why no longer interval is offered, and what to do instead.
constexpr const char* RhythmIntervalLimitReason =
    "rhythm-analysis tools take a step of an hour or more for a break in the recording and refuse the file; "
    "make coarser bins in the analysis, from the 1-minute files";

/// What `start_datetime` of metadata.csv holds: time zero of the tools.
enum class TimeZero {
    LightsOn,     ///< the last lights-on at or before the first reading, when the light schedule is on
    Acquisition,  ///< the start of the acquisition
};

/// What one export reads and where it writes.
struct RhythmRequest {
    std::filesystem::path acquisitionFolder;
    std::filesystem::path programFolder;  ///< where the plate format files are
    int intervalMinutes = 1;
    std::filesystem::path outFolder;  ///< empty: the acquisition's rhythm/ subfolder
    TimeZero timeZero = TimeZero::LightsOn;
};

/// The default export folder of an acquisition: <folder>/rhythm.
std::filesystem::path rhythmFolder(const std::filesystem::path& acquisitionFolder);

/// Name of monitor file `number` (from 1): "Monitor1.txt".
std::string monitorFileName(int number);

/// Number of monitor files the grid's wells fill.
int monitorFileCount(const RhythmGrid& grid);

/// The lines of monitor file `index` (from 0), up to the last reading: wells
/// index*32.. in columns 11..42, zeros past the plate's last well.
std::string monitorFileText(const RhythmGrid& grid, int index);

/// metadata.csv: for each stretch of readings between gaps of an hour or more,
/// one row per well with a channel; `experiment` names the run.
std::string rhythmMetadataText(const RhythmGrid& grid, const std::string& experiment, TimeZero timeZero);

/// Loads the grid and writes the monitor files and metadata.csv, each file
/// whole or not at all, metadata.csv last. Returns the files written; none
/// after a message when the interval is out of range, the acquisition cannot
/// be read or holds no reading, or a file cannot be written.
std::vector<std::filesystem::path> exportRhythm(const RhythmRequest& request, Dialogs& dialogs);

}  // namespace zorvex
