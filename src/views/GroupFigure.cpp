#include "views/GroupFigure.h"

#include <algorithm>

#include "common/Text.h"

namespace zorvex {

namespace {

constexpr int WantedXTicks = 7;
constexpr int WantedYTicks = 5;

// The groups to draw: the asked ones, or every group with wells, in number order.
std::optional<std::vector<int>> shownGroups(const ReportTables& tables, const std::vector<int>& asked, Dialogs& dialogs) {
    auto hasWells = [&](int group) {
        return group >= 0 && group <= tables.maxGroup && tables.wellsPerGroup[static_cast<std::size_t>(group)] > 0;
    };
    std::vector<int> groups;
    if (asked.empty()) {
        for (int g = 0; g <= tables.maxGroup; ++g) {
            if (hasWells(g)) groups.push_back(g);
        }
        if (groups.empty()) dialogs.message("No group of the acquisition has wells: there is no group curve to draw.");
        return groups.empty() ? std::nullopt : std::optional(groups);
    }
    for (int group : asked) {
        if (!hasWells(group)) {
            dialogs.message("Group " + std::to_string(group) + " has no wells in this acquisition.");
            return std::nullopt;
        }
        if (std::find(groups.begin(), groups.end(), group) == groups.end()) groups.push_back(group);
    }
    return groups;
}

// Figures draw the unrounded statistics: a rounded SD below 1 would show no band at all.
double errorOf(const ReportTables& tables, ErrorBand error, int group, std::int32_t bin) {
    const double sd = tables.groupSdExact[static_cast<std::size_t>(bin)][static_cast<std::size_t>(group)];
    switch (error) {
        case ErrorBand::StandardError: return exactStandardErrorOf(sd, tables.wellsPerGroup[static_cast<std::size_t>(group)]);
        case ErrorBand::StandardDeviation: return sd;
        case ErrorBand::None: return 0.0;
    }
    return 0.0;
}

// The group's mean per bin; a bin without records between two shown ones breaks the line.
ChartSeries seriesOf(const FigureSource& source, const ReportTables& tables, const std::vector<std::int32_t>& bins,
                     const GroupFigureOptions& options, const TimeBase& base, int group, Rgb colour) {
    ChartSeries series;
    series.label = groupName(source.plate, group) + " (n = " +
                   std::to_string(tables.wellsPerGroup[static_cast<std::size_t>(group)]) + ")";
    series.colour = colour;
    series.band = options.error != ErrorBand::None;
    std::int32_t previous = -1;
    for (std::int32_t bin : bins) {
        if (bin != previous + 1 || series.segments.empty()) series.segments.emplace_back();
        previous = bin;
        const double mean = tables.groupMeanExact[static_cast<std::size_t>(bin)][static_cast<std::size_t>(group)];
        const double error = errorOf(tables, options.error, group, bin);
        series.segments.back().push_back({base.at(binMiddleHours(tables, bin)), mean, mean - error, mean + error});
    }
    return series;
}

// The minutes a bin covers as the report counts them: bin 1 from minute 0
// to its end, every later one from the minute after the previous end.
std::string binMinutesText(std::int32_t first, std::int32_t last) {
    return std::to_string(first) + "\u2013" + std::to_string(last);
}

// A last bin that ends after the recording does: fewer minutes than the
// others, so its mean would read as a fall. 0 when the last bin is whole.
// A record's stamp counts the whole minutes at its end, so a recording
// whose last stamp is K ran into minute K + 1.
std::int32_t partialLastBin(const ReportTables& tables, std::int32_t span) {
    const std::vector<std::int32_t> bins = tables.reportedBins();
    if (bins.empty() || static_cast<long long>(bins.back()) * tables.binMinutes <= span + 1LL) return 0;
    return bins.back();
}

std::string noteOf(const GroupFigureOptions& options, const ReportTables& tables, bool shaded, std::int32_t leftOut,
                   std::int32_t span) {
    const std::int32_t bin = tables.binMinutes;
    std::string note = "Mean of wells";
    if (options.error == ErrorBand::StandardError) note += " \u00b1 SE";
    if (options.error == ErrorBand::StandardDeviation) note += " \u00b1 SD";
    note += " per " + std::to_string(bin) + "-min bin as the report bins them (minutes " + binMinutesText(0, bin) +
            ", " + binMinutesText(bin + 1, 2 * bin) + ", \u2026)";
    if (leftOut > 0) {
        note += "; the last bin, minutes " + binMinutesText((leftOut - 1) * bin + 1, span) + ", is not whole and is left out";
    }
    if (shaded) note += "; grey: dark";
    return note;
}

}  // namespace

std::optional<ChartFigure> layoutGroupFigure(const FigureSource& source, const ReportTables& tables,
                                             const GroupFigureOptions& options, Dialogs& dialogs) {
    const auto groups = shownGroups(tables, options.groups, dialogs);
    if (!groups) return std::nullopt;
    const std::int32_t span = source.series.span();
    const std::int32_t leftOut = partialLastBin(tables, span);
    std::vector<std::int32_t> bins = binsInWindow(tables, options.window);
    const bool leftOutShown = std::erase(bins, leftOut) > 0;
    if (bins.empty()) {
        dialogs.message("No bin with records lies in the chosen time window.");
        return std::nullopt;
    }
    const double binHours = tables.binMinutes / 60.0;
    double fromHours = (bins.front() - 1) * binHours;
    double toHours = bins.back() * binHours;
    if (options.window) {
        fromHours = std::max(fromHours, options.window->fromHours);
        toHours = std::min(toHours, options.window->toHours);
    }
    const TimeBase base = timeBaseOf(source, options.zeitgeber, toHours - fromHours);

    std::vector<ChartSeries> curves;
    double highest = 0.0;
    for (std::size_t i = 0; i < groups->size(); ++i) {
        const int group = (*groups)[i];
        curves.push_back(seriesOf(source, tables, bins, options, base, group,
                                  groupColour(static_cast<int>(i), static_cast<int>(groups->size()))));
        for (const auto& segment : curves.back().segments) {
            for (const ChartPoint& point : segment) highest = std::max(highest, point.high);
        }
    }

    ChartPanel panel;
    panel.x = timeAxis(base, fromHours, toHours, WantedXTicks);
    panel.y = niceAxis(0.0, highest, WantedYTicks, "Activity (crossings per beam / " + std::to_string(tables.binMinutes) + " min)");
    panel.shaded = darkSpans(source, fromHours, toHours, base);

    ChartFigure figure;
    for (const ChartSeries& curve : curves) {
        figure.legend.push_back({curve.label, curve.colour, curve.band ? LegendMark::LineAndBand : LegendMark::Line});
    }
    if (!panel.shaded.empty()) figure.legend.push_back({"Dark", DarkShade, LegendMark::Swatch});
    figure.note = noteOf(options, tables, !panel.shaded.empty(), leftOutShown ? leftOut : 0, span);
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
