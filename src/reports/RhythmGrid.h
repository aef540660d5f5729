#pragma once
// Per-well activity of one acquisition on a regular grid of I minutes, with
// the light of each interval from the acquisition's own light settings: the
// one table the rhythm files, the activity table and the actogram are made of.
// Interval k holds the records stamped k*I..(k+1)*I-1 (a stamp counts whole
// minutes at its bin's end) and is read at start + (k+1)*I; its light is the
// one at its beginning. Times are the acquisition's clock, as its folder name
// and elapsed minutes are: local time read without regard to summer time.
#include <cstdint>
#include <filesystem>
#include <optional>
#include <vector>
#include "common/DateTime.h"
#include "control/LightSchedule.h"
#include "platform/Dialogs.h"
#include "reports/ReportInputs.h"

namespace zorvex {

/// Longest interval of the grid: one a day.
constexpr int MaxGridIntervalMinutes = MinutesPerDay;

struct RhythmGrid {
    DateTime start;                     ///< start of the acquisition, from the folder name
    int intervalMinutes = 1;            ///< I
    ReportPlate plate;                  ///< plate, groups and group names of the acquisition
    LightSchedule light;                ///< the light settings the acquisition ran with
    /// [well 0..Wmax][interval]: the counts of the well's beams summed over the
    /// interval's records, so that intervals add up exactly at any I.
    std::vector<std::vector<std::int32_t>> wellCounts;
    std::vector<bool> hasRecords;       ///< [interval]: some record fell into it
    /// [interval]: records cover all its minutes; false where a pause with the
    /// clock running or the gap of a join left some of them unrecorded.
    std::vector<bool> covered;
    std::vector<bool> lightOn;          ///< [interval]: light during the interval
    std::vector<std::optional<double>> temperatureC;  ///< [interval]: mean of its valid temperatures
    /// Leading intervals that lie wholly inside the recording: all but an
    /// unfinished last one, which the exports leave out. A run stopped before
    /// its lapse ended part-way through its last stamped minute.
    int wholeIntervals = 0;
    /// Where the recording ends, in minutes from the start: its last stamped
    /// minute, and that minute too when the run reached its lapse.
    int endMinute = 0;
    /// [interval]: the minutes of it that records cover before the end; fewer
    /// than I in an unfinished last interval or across a gap.
    std::vector<int> recordedMinutes;

    int intervalCount() const { return static_cast<int>(hasRecords.size()); }
    int wellCount() const { return static_cast<int>(wellCounts.size()); }
    /// Group of `well` (of its beam-0 channel), negative for none.
    int groupOfWell(int well) const;
    /// Beams (channels) of `well`; 0 for a well the plate leaves empty.
    int beamsOfWell(int well) const;
    /// True when `interval` is a reading: whole, covered, and holding records.
    bool isReading(int interval) const;
    /// Intervals up to the last reading: the lines the exports write.
    int exportedIntervals() const;
    /// When `interval` is read: the end of the interval.
    DateTime readingTime(int interval) const;
};

/// Reads the acquisition folder (setup copy, side files, plate file from the
/// program folder, counts.bin) into a grid of `intervalMinutes`; nothing, after
/// a message through `dialogs`, when the folder cannot be read.
std::optional<RhythmGrid> loadRhythmGrid(const std::filesystem::path& acquisitionFolder,
                                         const std::filesystem::path& programFolder,
                                         int intervalMinutes, Dialogs& dialogs);

/// The grid of `intervalMinutes` of already loaded report inputs, under the
/// run's `light` from `start`; nothing, after a message, for an interval out
/// of range, a damaged span or an overflowing sum.
std::optional<RhythmGrid> rhythmGridOf(ReportPlate plate, const LoadedSeries& series, const DateTime& start,
                                       const LightSchedule& light, int intervalMinutes, Dialogs& dialogs);

/// The grid of an export: as loadRhythmGrid, and nothing after a message when
/// it holds no reading (no records, or none in a whole interval).
std::optional<RhythmGrid> loadExportGrid(const std::filesystem::path& acquisitionFolder,
                                         const std::filesystem::path& programFolder, int intervalMinutes,
                                         Dialogs& dialogs);

/// The last time the acquisition's light schedule switched the light on at
/// or before `at` (zeitgeber time 0): the on hour of the daily schedule, or
/// the start of a pulse. Nothing when the schedule is off or never lights.
std::optional<DateTime> lastLightsOn(const RhythmGrid& grid, const DateTime& at);

}  // namespace zorvex
