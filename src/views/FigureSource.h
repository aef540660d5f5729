#pragma once
// What every figure of an acquisition draws from: the report's inputs (plate,
// groups, counts.bin series), the start time and the light schedule it ran
// under, and the report tables at a chosen bin size, so that a figure and
// its report always agree bin for bin.

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "control/LightSchedule.h"
#include "reports/ReportComputation.h"
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

/// The report tables at `binMinutes` (adjusted as the report adjusts it);
/// nothing after a message when the acquisition has no records or the
/// report computation fails.
std::optional<ReportTables> figureTables(const FigureSource& source, long long binMinutes, Dialogs& dialogs);

/// A stretch of elapsed hours, H1 to H2 from the start.
struct HourWindow {
    double fromHours = 0.0;
    double toHours = 0.0;
};

/// The reported bins with records whose middle lies in `window` (all of
/// them without one).
std::vector<std::int32_t> binsInWindow(const ReportTables& tables, const std::optional<HourWindow>& window);

/// Elapsed hours from the start at the middle of bin `bin`.
double binMiddleHours(const ReportTables& tables, std::int32_t bin);

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
