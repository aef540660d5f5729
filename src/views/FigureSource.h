#pragma once
// What every figure of an acquisition draws from: the report's inputs (plate,
// groups, counts.bin series), the start time and the light schedule it ran
// under, and the exports' minute grid at a chosen bin size, so that a figure
// and the activity table agree bin for bin.

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "control/LightSchedule.h"
#include "reports/ReportComputation.h"
#include "reports/RhythmGrid.h"
#include "views/Chart.h"

namespace zorvex {

struct FigureSource {
    ReportPlate plate;
    LoadedSeries series;
    std::optional<DateTime> start;  ///< from the folder name; nothing for a renamed folder
    LightSchedule light;            ///< not enabled when the setup copy lacks the tool settings
};

/// Reads the report's inputs of an acquisition folder, its start and light;
/// nothing, after the report's messages, when they cannot be read.
std::optional<FigureSource> loadFigureSource(const std::filesystem::path& acquisitionFolder,
                                             const std::filesystem::path& programFolder, Dialogs& dialogs);

/// The exports' minute grid of the source in bins of `binMinutes` (adjusted
/// as the report adjusts it for a run shorter than one bin): bin k holds the
/// records stamped k*J to (k+1)*J-1 minutes. Nothing after a message when
/// the acquisition has no records or the grid cannot be built.
std::optional<RhythmGrid> figureGrid(const FigureSource& source, long long binMinutes, Dialogs& dialogs);

/// A stretch of elapsed hours, H1 to H2 from the start.
struct HourWindow {
    double fromHours = 0.0;
    double toHours = 0.0;
};

/// The bins of the grid holding records whose middle lies in `window` (all
/// of them without one), in order.
std::vector<int> binsInWindow(const RhythmGrid& grid, const std::optional<HourWindow>& window);

/// Elapsed hours from the start at the middle of bin `bin` (from 0).
double binMiddleHours(const RhythmGrid& grid, int bin);

/// Elapsed hours from the start at the end of bin `bin`, or at the end of
/// the recording when that comes first.
double binEndHours(const RhythmGrid& grid, int bin);

/// The crossings per beam of `well` in bin `bin`, unrounded.
double wellCrossingsPerBeam(const RhythmGrid& grid, int well, int bin);

/// How x is counted: time from the start, or zeitgeber time (since
/// lights-on of the day the acquisition started) when a daily light schedule
/// exists; in hours, or in minutes for what lasts under two hours.
struct TimeBase {
    double offsetHours = 0.0;  ///< added to elapsed hours
    bool zeitgeber = false;
    std::string title;         ///< the x axis title with its unit
    double unitsPerHour = 1.0; ///< 60 for an axis in minutes
    /// The x of `elapsedHours` after the start.
    double at(double elapsedHours) const { return (elapsedHours + offsetHours) * unitsPerHour; }
};

/// Zeitgeber time when `preferZeitgeber`, the start is known and the light
/// ran on daily hours; time from the start otherwise. In minutes when the
/// figure spans less than two hours (`spanHours`).
TimeBase timeBaseOf(const LightSchedule& light, const std::optional<DateTime>& start, bool preferZeitgeber,
                    double spanHours = LongestMinuteSpanHours);

/// The time base of `source`'s light and start.
TimeBase timeBaseOf(const FigureSource& source, bool preferZeitgeber, double spanHours = LongestMinuteSpanHours);

/// The x axis of elapsed hours `fromHours` to `toHours` in `base`, about
/// `wanted` ticks; zeitgeber labels start again at 0 at each lights-on.
Axis timeAxis(const TimeBase& base, double fromHours, double toHours, int wanted);

/// The hours in the dark between elapsed hours `fromHours` and `toHours`,
/// minute by minute as the acquisition switched its light, shifted by
/// `base`; none when the light schedule was not enabled or the start is unknown.
std::vector<XSpan> darkSpans(const FigureSource& source, double fromHours, double toHours, const TimeBase& base);

/// A group's name for a legend: its name, or "Group " + number when it has none.
std::string groupName(const ReportPlate& plate, int group);

}  // namespace zorvex
