#pragma once
// The sleep files of an acquisition: sleep_bouts.csv (every bout),
// sleep_summary.csv (each well per day and light phase) and sleep_groups.csv
// (each group's mean and SE), from the 1-minute grid.

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "behaviour/Sleep.h"

namespace zorvex {

/// What one sleep analysis reads and where it writes.
struct SleepRequest {
    std::filesystem::path acquisitionFolder;
    std::filesystem::path programFolder;  ///< where the plate format files are
    std::optional<int> inactiveMinutes;   ///< N; the organism's without one
    std::optional<ElapsedWindow> window;  ///< the whole recording without one
    std::filesystem::path outFolder;      ///< empty: behaviourFolder() of the acquisition
};

/// sleep_bouts.csv: well,group,start_datetime,elapsed_min,length_min,phase;
/// a bout starts at the beginning of its first minute.
std::string sleepBoutsText(const RhythmGrid& grid, const SleepResults& results);

/// sleep_summary.csv: well,group,group_name,day,phase,minutes,sleep_min,bouts,
/// mean_bout_min,latency_min,waking_activity.
std::string sleepSummaryText(const RhythmGrid& grid, const SleepResults& results);

/// sleep_groups.csv: each group's wells per day and phase, mean and SE of each measure.
std::string sleepGroupsText(const RhythmGrid& grid, const SleepResults& results);

/// A finished analysis: the grid and results, for figures and windows, and the files written.
struct SleepOutcome {
    std::optional<RhythmGrid> grid;
    std::optional<SleepResults> results;
    std::vector<std::filesystem::path> files;
};

/// Checks N: "" when it is 1..1440, else what is wrong.
std::string inactiveMinutesProblem(int minutes);

/// Reads the acquisition and computes its sleep; nothing after a message
/// when it cannot be read, the window holds no reading or N is out of range.
std::optional<std::pair<RhythmGrid, SleepResults>> analyseSleep(const SleepRequest& request, Dialogs& dialogs);

/// Analyses and writes the three files; none after a message when the
/// analysis fails, as many as were written when a file cannot be.
SleepOutcome runSleep(const SleepRequest& request, Dialogs& dialogs);

}  // namespace zorvex
