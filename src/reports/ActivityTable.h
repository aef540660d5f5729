#pragma once
// The activity table: the rhythm grid as one long CSV for R, pandas, a
// spreadsheet or a statistics program (UTF-8, RFC 4180, a header line, "." as
// the decimal point whatever the locale), one row per well and interval.

#include <filesystem>
#include <optional>

#include "platform/Dialogs.h"
#include "reports/RhythmGrid.h"

namespace zorvex {

/// Longest interval of the table: one row a day.
constexpr int MaxTableIntervalMinutes = MaxGridIntervalMinutes;

/// What one table export reads and where it writes.
struct ActivityTableRequest {
    std::filesystem::path acquisitionFolder;
    std::filesystem::path programFolder;  ///< where the plate format files are
    int intervalMinutes = 1;
    std::filesystem::path outFile;  ///< empty: activityTableFile() of the acquisition
};

/// The default table of an acquisition: <folder>/activity_<I>min.csv.
std::filesystem::path activityTableFile(const std::filesystem::path& acquisitionFolder, int intervalMinutes);

/// Loads the grid and writes the table (beside the target first, then
/// renamed): a header, then for each well with a channel, in plate order, its
/// rows through the intervals up to the last reading; a gap has status 0 and
/// no activity. Returns the file; nothing after a message when the
/// acquisition cannot be read or holds no reading, or the file cannot be
/// written.
std::optional<std::filesystem::path> exportActivityTable(const ActivityTableRequest& request, Dialogs& dialogs);

}  // namespace zorvex
