#pragma once
// What sleep and rhythm analysis share: the acquisition's 1-minute grid (the
// exports' own), the stretch of minutes a window of hours selects, the day
// and light phase of every minute, the wells measured, and the mean and SE
// of a group's wells. The files are UTF-8 CSV with "." decimals, written
// beside their place and renamed.

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/Dialogs.h"
#include "reports/RhythmGrid.h"

namespace zorvex {

/// Hours H1 to H2 from the start of the acquisition.
struct ElapsedWindow {
    double fromHours = 0.0;
    double toHours = 0.0;
};

/// Minutes first..end-1 of the grid (minute m spans m to m+1 minutes from the start).
struct MinuteSpan {
    int first = 0;
    int end = 0;
    int length() const { return end - first; }
};

/// The light of a minute; Whole where the acquisition had no light schedule.
enum class LightPhase { Light, Dark, Whole };

/// "light", "dark", "all": the phase as the files write it.
std::string_view phaseName(LightPhase phase);

/// The day and light phase of each minute of the grid. Days are counted from
/// 1 and begin at lights-on (zeitgeber time 0), so a night belongs to the day
/// whose light came before it; without a schedule they begin at the start.
struct DayCalendar {
    std::vector<int> day;
    std::vector<LightPhase> phase;
};

/// The calendar of every minute of `grid` (a grid of 1-minute intervals).
DayCalendar dayCalendarOf(const RhythmGrid& grid);

/// The 1-minute grid of the acquisition; nothing after a message when it
/// cannot be read or holds no reading.
std::optional<RhythmGrid> loadMinuteGrid(const std::filesystem::path& acquisitionFolder,
                                         const std::filesystem::path& programFolder, Dialogs& dialogs);

/// The whole minutes of `grid` inside `window` (all up to the last reading
/// without one); nothing after a message when none of them is a reading.
std::optional<MinuteSpan> minuteSpanOf(const RhythmGrid& grid, const std::optional<ElapsedWindow>& window,
                                       Dialogs& dialogs);

/// The wells with a beam, in plate order.
std::vector<int> measuredWells(const RhythmGrid& grid);

/// "A1,3,Wild type": well, group and group name as CSV fields; the group
/// fields are empty for a well in no group.
std::string wellGroupFields(const RhythmGrid& grid, int well);

/// "3,Wild type": a group's number and name as CSV fields.
std::string groupFields(const RhythmGrid& grid, int group);

/// The groups that hold a measured well, in number order.
std::vector<int> groupsWithWells(const RhythmGrid& grid);

/// A value as the files write it: the shortest text that reads back exactly
/// ("2.5", "7.1e-59"), or empty when there is none.
std::string csvNumber(const std::optional<double>& value);

/// The mean of a group's wells and its standard error (sample SD / sqrt(n)).
struct GroupEstimate {
    std::optional<double> mean;  ///< none without values
    std::optional<double> se;    ///< none below two values
};

/// The estimate of `values`.
GroupEstimate estimateOf(const std::vector<double>& values);

/// The default folder of the analysis files: <acquisition>/behaviour.
std::filesystem::path behaviourFolder(const std::filesystem::path& acquisitionFolder);

/// Writes CSV files into `folder` (made when missing), each beside its place
/// and then renamed, in order; after a message, stops at the first that
/// cannot be written. Returns the files written.
std::vector<std::filesystem::path> writeCsvFiles(
    const std::filesystem::path& folder, const std::vector<std::pair<std::string, std::string>>& namesAndTexts,
    Dialogs& dialogs);

/// The line end of the CSV files (RFC 4180).
inline constexpr const char* CsvLineEnd = "\r\n";

}  // namespace zorvex
