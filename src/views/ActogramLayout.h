#pragma once
// The double-plotted actogram without widgets: which interval of a rhythm grid
// lands on which line and where, how tall its bar is, and which spans are
// shaded as light or dark. Line d shows clock day d on its left half and day
// d + 1 on its right half, so every day after the first appears twice.

#include <optional>
#include <string>
#include <vector>

#include "reports/RhythmGrid.h"

namespace zorvex {

/// Interval of the offline actogram, the bin of the group activity view.
inline constexpr int ActogramIntervalMinutes = 30;
/// Width of one actogram line: two days.
inline constexpr int ActogramLineMinutes = 2 * MinutesPerDay;

/// One bar: minutes `fromMinute`..`toMinute` of line `line` (0..2880 from the
/// left edge), `height` a fraction of the line's height (0..1].
struct ActogramBar {
    int line = 0;
    double fromMinute = 0.0;
    double toMinute = 0.0;
    double height = 0.0;
};

/// A stretch of recorded time with the light on or off.
struct ActogramShade {
    int line = 0;
    double fromMinute = 0.0;
    double toMinute = 0.0;
    bool light = false;
};

struct ActogramLayout {
    int lineCount = 0;          ///< one per clock day the grid touches
    double largestValue = 0.0;  ///< the value of a full-height bar; 0 when nothing moved
    std::vector<ActogramBar> bars;
    std::vector<ActogramShade> shades;
    std::vector<std::string> dayLabels;  ///< [line]: the date of its left day, "dd/mm"
};

/// Places `values` (one per interval of `grid`) on the double plot. Days run
/// from midnight of the start date; intervals without records get neither a
/// bar nor a shade, so gaps stand out from quiet time.
ActogramLayout layoutActogram(const RhythmGrid& grid, const std::vector<double>& values);

/// The counts of `well` per interval; empty for a well outside the grid.
std::vector<double> wellActivity(const RhythmGrid& grid, int well);

/// The mean of a group's wells per interval.
struct GroupMeanActivity {
    int group = -1;
    int wellCount = 0;
    std::vector<double> values;
};

/// The mean over the wells of `well`'s group; nothing when it is in no group.
std::optional<GroupMeanActivity> groupMeanActivity(const RhythmGrid& grid, int well);

/// The mean over the wells of `group`; nothing when no well is in it.
std::optional<GroupMeanActivity> groupMeanOf(const RhythmGrid& grid, int group);

}  // namespace zorvex
