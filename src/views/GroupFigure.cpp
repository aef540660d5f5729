#include "views/GroupFigure.h"

#include <algorithm>

#include "behaviour/BehaviourGrid.h"

namespace zorvex {

namespace {

constexpr int WantedXTicks = 7;
constexpr int WantedYTicks = 5;

// The wells of `group`: those whose first beam's channel is in it, in plate order.
std::vector<int> membersOf(const RhythmGrid& grid, int group) {
    std::vector<int> wells;
    for (int well = 0; well < grid.wellCount(); ++well) {
        if (grid.groupOfWell(well) == group) wells.push_back(well);
    }
    return wells;
}

// The groups to draw: the asked ones, or every group with wells, in number order.
std::optional<std::vector<int>> shownGroups(const RhythmGrid& grid, const std::vector<int>& asked, Dialogs& dialogs) {
    if (asked.empty()) {
        std::vector<int> groups = groupsWithWells(grid);
        if (groups.empty()) dialogs.message("No group of the acquisition has wells: there is no group curve to draw.");
        return groups.empty() ? std::nullopt : std::optional(groups);
    }
    std::vector<int> groups;
    for (int group : asked) {
        if (group < 0 || membersOf(grid, group).empty()) {
            dialogs.message("Group " + std::to_string(group) + " has no wells in this acquisition.");
            return std::nullopt;
        }
        if (std::find(groups.begin(), groups.end(), group) == groups.end()) groups.push_back(group);
    }
    return groups;
}

// The group's mean per bin with its band, unrounded; a bin left out between
// two drawn ones breaks the line.
ChartSeries seriesOf(const FigureSource& source, const RhythmGrid& grid, const std::vector<int>& bins,
                     const GroupFigureOptions& options, const TimeBase& base, int group, Rgb colour) {
    const std::vector<int> members = membersOf(grid, group);
    const auto wells = static_cast<std::int32_t>(members.size());
    ChartSeries series;
    series.label = groupName(source.plate, group) + " (n = " + std::to_string(wells) + ")";
    series.colour = colour;
    series.band = options.error != ErrorBand::None;
    int previous = -1;
    for (int bin : bins) {
        if (bin != previous + 1 || series.segments.empty()) series.segments.emplace_back();
        previous = bin;
        std::vector<double> values;
        for (int well : members) values.push_back(wellCrossingsPerBeam(grid, well, bin));
        const auto [mean, sd] = meanAndSd(values);
        const double error = options.error == ErrorBand::StandardError       ? exactStandardErrorOf(sd, wells)
                             : options.error == ErrorBand::StandardDeviation ? sd
                                                                             : 0.0;
        series.segments.back().push_back({base.at(binMiddleHours(grid, bin)), mean, mean - error, mean + error});
    }
    return series;
}

// The bins of the window that are not wholly recorded and so would read as a
// fall: an unfinished last one, and those across a gap in the recording.
struct LeftOutBins {
    std::optional<int> lastMinutes;  ///< minutes of the unfinished last bin, when it is left out
    int gaps = 0;                    ///< bins with a gap in the recording
};

LeftOutBins leaveOutPartialBins(const RhythmGrid& grid, std::vector<int>& bins) {
    LeftOutBins left;
    std::erase_if(bins, [&](int bin) {
        if (grid.isReading(bin)) return false;
        if (bin >= grid.wholeIntervals) {
            left.lastMinutes = grid.endMinute - bin * grid.intervalMinutes;
        } else {
            ++left.gaps;
        }
        return true;
    });
    return left;
}

std::string noteOf(const GroupFigureOptions& options, const RhythmGrid& grid, bool shaded, const LeftOutBins& left) {
    const std::string bin = std::to_string(grid.intervalMinutes);
    const std::string twice = std::to_string(2 * grid.intervalMinutes);
    std::string note = "Mean of wells";
    if (options.error == ErrorBand::StandardError) note += " \u00b1 SE";
    if (options.error == ErrorBand::StandardDeviation) note += " \u00b1 SD";
    note += " per " + bin + "-min bin on the minute grid (minutes 0\u2013" + bin + ", " + bin + "\u2013" + twice +
            ", \u2026)";
    if (left.lastMinutes) {
        // A run stopped early may end a fraction of a minute into its last bin.
        const std::string length = *left.lastMinutes > 0 ? std::to_string(*left.lastMinutes) + " min" : "under 1 min";
        note += "; the last bin (" + length + ") left out as not whole";
    }
    if (left.gaps > 0) {
        note += "; " + std::to_string(left.gaps) + (left.gaps == 1 ? " bin" : " bins") +
                " with a gap in the recording left out";
    }
    if (shaded) note += "; grey: dark";
    return note;
}

}  // namespace

std::optional<ChartFigure> layoutGroupFigure(const FigureSource& source, const RhythmGrid& grid,
                                             const GroupFigureOptions& options, Dialogs& dialogs) {
    const auto groups = shownGroups(grid, options.groups, dialogs);
    if (!groups) return std::nullopt;
    std::vector<int> bins = binsInWindow(grid, options.window);
    if (bins.empty()) {
        dialogs.message("No bin with records lies in the chosen time window.");
        return std::nullopt;
    }
    const LeftOutBins left = leaveOutPartialBins(grid, bins);
    if (bins.empty()) {
        dialogs.message("No bin of the chosen time window is wholly recorded: choose shorter bins.");
        return std::nullopt;
    }
    const double binHours = grid.intervalMinutes / 60.0;
    double fromHours = bins.front() * binHours;
    double toHours = (bins.back() + 1) * binHours;
    if (options.window) {
        fromHours = std::max(fromHours, options.window->fromHours);
        toHours = std::min(toHours, options.window->toHours);
    }
    const TimeBase base = timeBaseOf(source, options.zeitgeber, toHours - fromHours);

    std::vector<ChartSeries> curves;
    double highest = 0.0;
    for (std::size_t i = 0; i < groups->size(); ++i) {
        const int group = (*groups)[i];
        curves.push_back(seriesOf(source, grid, bins, options, base, group,
                                  groupColour(static_cast<int>(i), static_cast<int>(groups->size()))));
        for (const auto& segment : curves.back().segments) {
            for (const ChartPoint& point : segment) highest = std::max(highest, point.high);
        }
    }

    ChartPanel panel;
    panel.x = timeAxis(base, fromHours, toHours, WantedXTicks);
    panel.y = niceAxis(0.0, highest, WantedYTicks, "Activity (crossings per beam / " + std::to_string(grid.intervalMinutes) + " min)");
    panel.shaded = darkSpans(source, fromHours, toHours, base);

    ChartFigure figure;
    for (const ChartSeries& curve : curves) {
        figure.legend.push_back({curve.label, curve.colour, curve.band ? LegendMark::LineAndBand : LegendMark::Line});
    }
    if (!panel.shaded.empty()) figure.legend.push_back({"Dark", DarkShade, LegendMark::Swatch});
    figure.note = noteOf(options, grid, !panel.shaded.empty(), left);
    if (!options.smallMultiples) {
        panel.series = std::move(curves);
        figure.panels.push_back(std::move(panel));
        return figure;
    }
    for (ChartSeries& curve : curves) {
        ChartPanel own = panel;
        own.title = curve.label;
        own.series.push_back(std::move(curve));
        figure.panels.push_back(std::move(own));
    }
    return figure;
}

}  // namespace zorvex
