#pragma once
// The rhythm files of an acquisition: periodogram.csv (every well's power at
// every period), periods.csv (each well's peak) and periods_groups.csv
// (each group's rhythmic wells and mean period).

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "behaviour/Periodogram.h"

namespace zorvex {

/// What one rhythm analysis reads and where it writes.
struct PeriodRequest {
    std::filesystem::path acquisitionFolder;
    std::filesystem::path programFolder;  ///< where the plate format files are
    std::optional<ElapsedWindow> window;  ///< the whole recording without one
    PeriodogramOptions options;
    std::filesystem::path outFolder;  ///< empty: behaviourFolder() of the acquisition
};

/// One well's periodogram and its peak.
struct WellPeriodogram {
    int well = 0;
    std::vector<PeriodPower> powers;
    std::optional<std::size_t> peak;  ///< nothing: arrhythmic
};

/// A group's rhythmic wells and the mean and SE of their periods.
struct GroupPeriod {
    int group = 0;
    int wells = 0;
    int rhythmicWells = 0;
    GroupEstimate periodHours;
};

struct PeriodResults {
    PeriodogramOptions options;
    MinuteSpan span;
    std::vector<double> periods;
    std::vector<WellPeriodogram> wells;  ///< measured wells, plate order
    std::vector<GroupPeriod> groups;     ///< groups with wells, by number
};

/// The periodograms of every measured well of `grid` over `span`.
PeriodResults computePeriods(const RhythmGrid& grid, const MinuteSpan& span, const PeriodogramOptions& options);

/// periodogram.csv: well,period_h,power,threshold,p_value.
std::string periodogramText(const RhythmGrid& grid, const PeriodResults& results);

/// periods.csv: well,group,group_name,period_h,power,threshold,p_value,rhythmic;
/// the peak's fields are empty for an arrhythmic well.
std::string periodsText(const RhythmGrid& grid, const PeriodResults& results);

/// periods_groups.csv: group,group_name,wells,rhythmic_wells,period_h,period_h_se.
std::string periodGroupsText(const RhythmGrid& grid, const PeriodResults& results);

/// Reads the acquisition and computes the periodograms; nothing after a
/// message when the options are wrong, it cannot be read or the window holds no reading.
std::optional<std::pair<RhythmGrid, PeriodResults>> analysePeriods(const PeriodRequest& request, Dialogs& dialogs);

struct PeriodOutcome {
    std::optional<RhythmGrid> grid;
    std::optional<PeriodResults> results;
    std::vector<std::filesystem::path> files;
};

/// Analyses and writes the three files; none after a message when the
/// analysis fails, as many as were written when a file cannot be.
PeriodOutcome runPeriods(const PeriodRequest& request, Dialogs& dialogs);

}  // namespace zorvex
