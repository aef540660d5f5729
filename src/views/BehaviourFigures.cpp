#include "views/BehaviourFigures.h"

#include <algorithm>
#include <cmath>

#include "common/Text.h"
#include "views/FigureSource.h"

namespace zorvex {

namespace {

constexpr int WantedXTicks = 7;
constexpr int WantedYTicks = 5;
constexpr double MinutesPerHourHere = 60.0;
// Half the width of a phase's column of points, in category units.
constexpr double PointSpread = 0.3;
constexpr int SpreadSlots = 7;
constexpr Rgb ArrhythmicWell{236, 236, 236};

// The wells a curve or a column of points is made of: a group's, or all of them.
struct WellSet {
    std::string label;
    Rgb colour;
    std::vector<std::size_t> members;  ///< indexes into the results' wells
};

std::vector<WellSet> wellSetsOf(const RhythmGrid& grid, const std::vector<int>& wells) {
    const std::vector<int> groups = groupsWithWells(grid);
    std::vector<WellSet> sets;
    if (groups.empty()) {
        WellSet all{"All wells", groupColour(0, 1), {}};
        for (std::size_t k = 0; k < wells.size(); ++k) all.members.push_back(k);
        sets.push_back(all);
        return sets;
    }
    for (std::size_t g = 0; g < groups.size(); ++g) {
        WellSet set{groupName(grid.plate, groups[g]), groupColour(static_cast<int>(g), static_cast<int>(groups.size())), {}};
        for (std::size_t k = 0; k < wells.size(); ++k) {
            if (grid.groupOfWell(wells[k]) == groups[g]) set.members.push_back(k);
        }
        sets.push_back(set);
    }
    return sets;
}

double highestOf(const std::vector<ChartSeries>& series) {
    double highest = 0.0;
    for (const ChartSeries& one : series) {
        for (const auto& segment : one.segments) {
            for (const ChartPoint& point : segment) highest = std::max(highest, point.high);
        }
    }
    return highest;
}

ChartPoint pointOf(double x, const GroupEstimate& estimate) {
    const double y = *estimate.mean, se = estimate.se.value_or(0.0);
    return {x, y, y - se, y + se};
}

// The stretches of the span in the dark, on the x of `base`.
std::vector<XSpan> darkSpansOf(const SleepResults& results, const TimeBase& base) {
    std::vector<XSpan> spans;
    const auto& phases = results.calendar.phase;
    for (int m = results.span.first; m < results.span.end; ++m) {
        if (phases[static_cast<std::size_t>(m)] != LightPhase::Dark) continue;
        const double from = base.at(m / MinutesPerHourHere), to = base.at((m + 1) / MinutesPerHourHere);
        if (!spans.empty() && spans.back().to == from) {
            spans.back().to = to;
        } else {
            spans.push_back({from, to});
        }
    }
    return spans;
}

std::vector<int> wellNumbers(const std::vector<WellSleep>& wells) {
    std::vector<int> numbers;
    for (const WellSleep& well : wells) numbers.push_back(well.well);
    return numbers;
}

// Sleep minutes per hour of each set, hour by hour from the span's start, mean and SE of its wells.
ChartPanel sleepOverTime(const RhythmGrid& grid, const SleepResults& results, const std::vector<WellSet>& sets) {
    const MinuteSpan span = results.span;
    std::vector<std::vector<std::optional<double>>> perHour;  // [well][hour]
    for (const WellSleep& well : results.wells) {
        const std::vector<bool> asleep = asleepMinutes(well.bouts, grid.intervalCount());
        std::vector<std::optional<double>> hours;
        for (int first = span.first; first < span.end; first += static_cast<int>(MinutesPerHourHere)) {
            int readings = 0, sleeping = 0;
            for (int m = first; m < std::min(span.end, first + static_cast<int>(MinutesPerHourHere)); ++m) {
                if (!grid.isReading(m)) continue;
                ++readings;
                sleeping += asleep[static_cast<std::size_t>(m)] ? 1 : 0;
            }
            hours.push_back(readings > 0 ? std::optional<double>(sleeping * MinutesPerHourHere / readings)
                                         : std::nullopt);
        }
        perHour.push_back(std::move(hours));
    }
    const double fromHours = span.first / MinutesPerHourHere, toHours = span.end / MinutesPerHourHere;
    const TimeBase base = timeBaseOf(grid.light, grid.start, false, toHours - fromHours);
    ChartPanel panel;
    panel.title = "Sleep over time";
    for (const WellSet& set : sets) {
        ChartSeries series{set.label, set.colour, {}, true};
        bool open = false;
        for (std::size_t h = 0; !perHour.empty() && h < perHour.front().size(); ++h) {
            std::vector<double> values;
            for (std::size_t k : set.members) {
                if (perHour[k][h]) values.push_back(*perHour[k][h]);
            }
            if (values.empty()) {
                open = false;
                continue;
            }
            if (!open) series.segments.emplace_back();
            open = true;
            const double from = span.first + h * MinutesPerHourHere;
            const double to = std::min<double>(span.end, from + MinutesPerHourHere);
            series.segments.back().push_back(pointOf(base.at((from + to) / 2.0 / MinutesPerHourHere), estimateOf(values)));
        }
        panel.series.push_back(std::move(series));
    }
    panel.x = timeAxis(base, fromHours, toHours, WantedXTicks);
    panel.y = niceAxis(0.0, std::max(highestOf(panel.series), 1.0), WantedYTicks, "Sleep (min/h)");
    panel.shaded = darkSpansOf(results, base);
    return panel;
}

// Each set's wells per light phase: a point per well, a line at the mean.
ChartPanel sleepPerPhase(const RhythmGrid& grid, const SleepResults& results, const std::vector<WellSet>& sets) {
    const std::vector<LightPhase> phases = grid.light.enabled ? std::vector{LightPhase::Light, LightPhase::Dark}
                                                              : std::vector{LightPhase::Whole};
    const auto columns = static_cast<double>(phases.size() + 1);
    ChartPanel panel;
    panel.title = "Sleep per light phase over the window";
    for (std::size_t s = 0; s < sets.size(); ++s) {
        for (std::size_t p = 0; p < phases.size(); ++p) {
            const double x = static_cast<double>(s) * columns + static_cast<double>(p) + 1.0;
            panel.x.ticks.push_back(x);
            panel.x.labels.push_back(phases[p] == LightPhase::Whole ? sets[s].label : std::string(phaseName(phases[p])));
            ChartSeries points{sets[s].label, sets[s].colour, {}, false};
            std::vector<double> values;
            for (std::size_t k : sets[s].members) {
                int minutes = 0, asleep = 0;
                for (const PhaseSleep& phase : results.wells[k].phases) {
                    if (phase.phase != phases[p]) continue;
                    minutes += phase.minutes;
                    asleep += phase.sleepMinutes;
                }
                if (minutes == 0) continue;
                const double value = asleep * MinutesPerHourHere / minutes;
                const double offset = PointSpread * (static_cast<double>(values.size() % SpreadSlots) - 3.0) / 3.0;
                points.segments.push_back({{x + offset, value, value, value}});
                values.push_back(value);
            }
            if (values.empty()) continue;
            const double mean = *estimateOf(values).mean;
            ChartSeries meanLine{sets[s].label, sets[s].colour, {{{x - 0.4, mean, mean, mean}, {x + 0.4, mean, mean, mean}}}, false};
            panel.series.push_back(std::move(points));
            panel.series.push_back(std::move(meanLine));
        }
    }
    panel.x.min = 0.0;
    panel.x.max = static_cast<double>(sets.size()) * columns;
    panel.x.title = grid.light.enabled ? "Light phase, by group" : "Group";
    panel.y = niceAxis(0.0, std::max(highestOf(panel.series), 1.0), WantedYTicks, "Sleep (min/h)");
    return panel;
}

std::string alphaText(const PeriodogramOptions& options, std::size_t periods) {
    return "alpha " + formatShortest(options.alpha) + " over " + std::to_string(periods) + " periods";
}

}  // namespace

ChartFigure layoutSleepFigure(const RhythmGrid& grid, const SleepResults& results) {
    const std::vector<WellSet> sets = wellSetsOf(grid, wellNumbers(results.wells));
    ChartFigure figure;
    figure.sharedX = false;
    figure.panels.push_back(sleepOverTime(grid, results, sets));
    figure.panels.push_back(sleepPerPhase(grid, results, sets));
    for (const WellSet& set : sets) figure.legend.push_back({set.label, set.colour, LegendMark::LineAndBand});
    const bool dark = !figure.panels.front().shaded.empty();
    if (dark) figure.legend.push_back({"Dark", DarkShade, LegendMark::Swatch});
    figure.note = "Asleep: runs of at least " + std::to_string(results.inactiveMinutes) +
                  (results.inactiveMinutes == 1 ? " minute" : " minutes") + " without a count. Top: mean of wells \u00b1 SE per hour" + (dark ? "; grey: dark" : "") +
                  ". Bottom: a point per well, the line at the mean.";
    return figure;
}

std::optional<ChartFigure> layoutPeriodogramFigure(const RhythmGrid& grid, const PeriodResults& results) {
    std::vector<int> wells;
    for (const WellPeriodogram& well : results.wells) wells.push_back(well.well);
    const std::vector<WellSet> sets = wellSetsOf(grid, wells);
    ChartPanel panel;
    for (const WellSet& set : sets) {
        ChartSeries series{set.label, set.colour, {{}}, true};
        for (std::size_t p = 0; p < results.periods.size(); ++p) {
            std::vector<double> powers;
            for (std::size_t k : set.members) {
                if (const auto& power = results.wells[k].powers[p].power) powers.push_back(*power);
            }
            if (!powers.empty()) series.segments.back().push_back(pointOf(results.periods[p], estimateOf(powers)));
        }
        if (!series.segments.back().empty()) panel.series.push_back(std::move(series));
    }
    if (panel.series.empty() || results.wells.empty()) return std::nullopt;
    ChartSeries threshold{"Threshold (" + alphaText(results.options, results.periods.size()) + ")", QuietInk, {{}}, false};
    for (const PeriodPower& power : results.wells.front().powers) {
        threshold.segments.back().push_back({power.periodHours, power.threshold, power.threshold, power.threshold});
    }
    ChartFigure figure;
    for (const ChartSeries& series : panel.series) figure.legend.push_back({series.label, series.colour, LegendMark::LineAndBand});
    figure.legend.push_back({threshold.label, threshold.colour, LegendMark::Line});
    panel.series.push_back(std::move(threshold));
    const bool chiSquare = results.options.method == PeriodMethod::ChiSquare;
    panel.x = niceAxis(results.periods.front(), results.periods.back(), WantedXTicks, "Period (h)");
    panel.y = niceAxis(0.0, highestOf(panel.series), WantedYTicks, chiSquare ? "Power (Qp)" : "Normalised power");
    figure.panels.push_back(std::move(panel));
    figure.note = std::string(chiSquare ? "Chi-square" : "Lomb-Scargle") + " periodogram of " +
                  std::to_string(results.options.resampleMinutes) +
                  "-minute bins: mean of wells \u00b1 SE; a well is rhythmic where its power passes the threshold.";
    return figure;
}

PlateHeatMapLayout layoutPeriodMap(const RhythmGrid& grid, const PeriodResults& results) {
    PlateHeatMapLayout map = plateCells(grid.plate);
    std::vector<std::optional<double>> periods(map.wells.size());
    double low = HUGE_VAL, high = -HUGE_VAL;
    for (const WellPeriodogram& well : results.wells) {
        if (!well.peak || static_cast<std::size_t>(well.well) >= periods.size()) continue;
        const double period = well.powers[*well.peak].periodHours;
        periods[static_cast<std::size_t>(well.well)] = period;
        low = std::min(low, period);
        high = std::max(high, period);
    }
    if (low > high) {
        low = results.options.fromHours;
        high = results.options.toHours;
    }
    map.scale = niceAxis(low, high, WantedYTicks, "Period (h)");
    for (std::size_t w = 0; w < map.wells.size(); ++w) {
        HeatWell& well = map.wells[w];
        well.value = periods[w].value_or(0.0);
        well.fill = well.mark == WellMark::Disabled ? DisabledWell
                    : periods[w]                    ? scaleColour(axisFraction(map.scale, *periods[w]))
                                                    : ArrhythmicWell;
    }
    outlineGroups(map, grid.plate);
    const bool arrhythmic = std::any_of(map.wells.begin(), map.wells.end(), [&](const HeatWell& well) {
        return well.mark == WellMark::Measured && well.fill == ArrhythmicWell;
    });
    const std::string pale = "pale: arrhythmic (" + alphaText(results.options, results.periods.size()) + ")";
    if (arrhythmic) map.note = map.note.empty() ? pale : pale + "; " + map.note;
    return map;
}

std::optional<ChartFigure> sleepFigureOf(const std::filesystem::path& acquisitionFolder,
                                         const std::filesystem::path& programFolder,
                                         const BehaviourFigureOptions& options, Dialogs& dialogs) {
    const auto analysis =
        analyseSleep({acquisitionFolder, programFolder, options.inactiveMinutes, options.window, {}}, dialogs);
    if (!analysis) return std::nullopt;
    return layoutSleepFigure(analysis->first, analysis->second);
}

std::optional<ChartFigure> periodogramFigureOf(const std::filesystem::path& acquisitionFolder,
                                               const std::filesystem::path& programFolder,
                                               const BehaviourFigureOptions& options, Dialogs& dialogs) {
    const auto analysis =
        analysePeriods({acquisitionFolder, programFolder, options.window, options.periodogram, {}}, dialogs);
    if (!analysis) return std::nullopt;
    auto figure = layoutPeriodogramFigure(analysis->first, analysis->second);
    if (!figure) dialogs.message("No well's activity varies over the window: there is no periodogram to draw.");
    return figure;
}

std::optional<PlateHeatMapLayout> periodMapOf(const std::filesystem::path& acquisitionFolder,
                                              const std::filesystem::path& programFolder,
                                              const BehaviourFigureOptions& options, Dialogs& dialogs) {
    const auto analysis =
        analysePeriods({acquisitionFolder, programFolder, options.window, options.periodogram, {}}, dialogs);
    if (!analysis) return std::nullopt;
    return layoutPeriodMap(analysis->first, analysis->second);
}

}  // namespace zorvex
