#pragma once
// The offline well and group selectors and the group activity series,
// without widgets: the row, column and group lists, the wells of a group,
// the channel of a selected well, and a well's and its group's activity in
// fixed 30-minute bins.

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "views/OfflineConfig.h"

namespace zorvex {

struct ActivityRecord;

/// The group entry that stands for the wells of no group.
inline constexpr const char* FreeGroupEntry = "999_Free";

/// Row letters "A", "B", ... of a plate of `rows` rows.
std::vector<std::string> rowLetters(int rows);

/// The group selector: every group some channel 0..383 is in, in increasing
/// order, as "007_" + its name, then "999_Free".
std::vector<std::string> groupEntries(const OfflineConfig& config);

/// Group of a group entry: -1 for "999_Free", else the value of its first three characters.
int groupOfEntry(std::string_view entry);

/// Names of the wells whose beam-0 channel is in `group`, in well order;
/// none for a group below -1.
std::vector<std::string> wellsOfGroup(const OfflineConfig& config, int group);

/// Well number of the selector positions: column index x rows + row index.
int wellOfSelection(int rowIndex, int columnIndex, int rows);

/// Row and column index of a well list entry ("B3" gives 1 and 2).
struct WellSelection {
    int rowIndex = 0;
    int columnIndex = 0;
};
WellSelection selectionOfWellName(std::string_view name);

/// Beam number typed in the beam box, rounded half to even (0 for no number).
int typedBeam(std::string_view text);

/// The bins of the group activity view: index k holds bin k (ending at
/// minute 30k); index 0 stays 0.
struct GroupActivity {
    std::vector<std::int32_t> well;
    std::vector<std::int32_t> group;
    int shownBins = 0;         ///< bins drawn: at most 12, the first six hours
    std::int32_t scale = 50;   ///< Y: the largest shown group value, at least 50
};

/// Bars drawn by the group activity view.
constexpr int MaxShownBins = 12;
constexpr int GroupBinMinutes = 30;

/// The well activity of `channel`'s well (when its beam-0 channel is in the
/// channel's group) and its group's mean over its member wells, in 30-minute
/// bins: every record in the bin the report gives it, summed as the report
/// sums it, so both show the same numbers for the same bins.
GroupActivity groupActivity(const OfflineConfig& config, const std::vector<ActivityRecord>& records, int channel);

/// The same from the counts.bin of an acquisition folder; nothing when it has none.
std::optional<GroupActivity> groupActivityOf(const OfflineConfig& config, const std::filesystem::path& acquisitionFolder,
                                             int channel);

}  // namespace zorvex
