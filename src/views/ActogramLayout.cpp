#include "views/ActogramLayout.h"

#include <algorithm>

#include "common/Text.h"

namespace zorvex {

namespace {

// Calls emit(line, from, to) for each place the span [from, to) of minutes
// since midnight of day 0 is drawn: split at midnights, each day's piece on
// the left of its own line and on the right of the line before.
template <typename Emit>
void placeOnLines(double from, double to, int lineCount, Emit emit) {
    for (int day = static_cast<int>(from / MinutesPerDay); day < lineCount && day * double{MinutesPerDay} < to; ++day) {
        const double dayStart = day * double{MinutesPerDay};
        const double left = std::max(from, dayStart) - dayStart;
        const double right = std::min(to, dayStart + MinutesPerDay) - dayStart;
        if (right <= left) continue;
        emit(day, left, right);
        if (day > 0) emit(day - 1, left + MinutesPerDay, right + MinutesPerDay);
    }
}

std::string dayLabel(const DateTime& start, int day) {
    const DateTime midnight{start.year, start.month, start.day, 0, 0, 0};
    const DateTime date = addMinutes(midnight, static_cast<double>(day) * MinutesPerDay);
    return formatDigits(date.day, 2) + "/" + formatDigits(date.month, 2);
}

}  // namespace

ActogramLayout layoutActogram(const RhythmGrid& grid, const std::vector<double>& values) {
    ActogramLayout layout;
    const int intervals = grid.intervalCount();
    if (intervals == 0 || grid.intervalMinutes < 1) return layout;
    const double width = grid.intervalMinutes;
    const double first = grid.start.hour * 60.0 + grid.start.minute;
    auto beginOf = [&](int k) { return first + k * width; };
    layout.lineCount = static_cast<int>((beginOf(intervals) - 1.0) / MinutesPerDay) + 1;
    for (int line = 0; line < layout.lineCount; ++line) layout.dayLabels.push_back(dayLabel(grid.start, line));

    auto recorded = [&](int k) { return grid.hasRecords[static_cast<std::size_t>(k)]; };
    auto lit = [&](int k) { return k < static_cast<int>(grid.lightOn.size()) && grid.lightOn[static_cast<std::size_t>(k)]; };
    for (int k = 0; k < intervals;) {
        if (!recorded(k)) {
            ++k;
            continue;
        }
        // One shade per run of recorded intervals under the same light.
        int end = k + 1;
        while (end < intervals && recorded(end) && lit(end) == lit(k)) ++end;
        const bool light = lit(k);
        placeOnLines(beginOf(k), beginOf(end), layout.lineCount, [&](int line, double from, double to) {
            layout.shades.push_back({line, from, to, light});
        });
        k = end;
    }

    const int shown = std::min(intervals, static_cast<int>(values.size()));
    for (int k = 0; k < shown; ++k) {
        if (recorded(k)) layout.largestValue = std::max(layout.largestValue, values[static_cast<std::size_t>(k)]);
    }
    if (layout.largestValue <= 0.0) return layout;
    for (int k = 0; k < shown; ++k) {
        const double value = values[static_cast<std::size_t>(k)];
        if (!recorded(k) || value <= 0.0) continue;
        placeOnLines(beginOf(k), beginOf(k + 1), layout.lineCount, [&](int line, double from, double to) {
            layout.bars.push_back({line, from, to, value / layout.largestValue});
        });
    }
    return layout;
}

std::vector<double> wellActivity(const RhythmGrid& grid, int well) {
    if (well < 0 || well >= grid.wellCount()) return {};
    const auto& counts = grid.wellCounts[static_cast<std::size_t>(well)];
    return std::vector<double>(counts.begin(), counts.end());
}

std::optional<GroupMeanActivity> groupMeanActivity(const RhythmGrid& grid, int well) {
    if (well < 0 || well >= grid.wellCount()) return std::nullopt;
    return groupMeanOf(grid, grid.groupOfWell(well));
}

std::optional<GroupMeanActivity> groupMeanOf(const RhythmGrid& grid, int group) {
    if (group < 0) return std::nullopt;
    GroupMeanActivity mean;
    mean.group = group;
    mean.values.assign(static_cast<std::size_t>(grid.intervalCount()), 0.0);
    for (int member = 0; member < grid.wellCount(); ++member) {
        if (grid.groupOfWell(member) != group) continue;
        ++mean.wellCount;
        const auto& counts = grid.wellCounts[static_cast<std::size_t>(member)];
        const std::size_t shown = std::min(counts.size(), mean.values.size());
        for (std::size_t k = 0; k < shown; ++k) mean.values[k] += counts[k];
    }
    if (mean.wellCount == 0) return std::nullopt;
    for (double& value : mean.values) value /= mean.wellCount;
    return mean;
}

}  // namespace zorvex
