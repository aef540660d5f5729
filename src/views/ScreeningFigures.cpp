#include "views/ScreeningFigures.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <map>

#include "common/Text.h"

namespace zorvex {

namespace {

constexpr int WantedDecades = 6;
constexpr int WantedXTicks = 7;
constexpr int WantedYTicks = 5;
constexpr int CurveSteps = 200;
constexpr Rgb NegativeOutline = Ink;
constexpr Rgb PositiveOutline{213, 94, 0};
// Wells in no group were not screened: pale, apart from every value's colour.
constexpr Rgb UnscreenedWell{236, 236, 236};
enum ControlOutline { NegativeWells = 0, PositiveWells = 1 };

std::string windowText(const HourWindow& window) { return spanText(window.fromHours, window.toHours); }

std::string responseTitle(Normalisation normalisation, const HourWindow& window) {
    return normalisation == Normalisation::Control ? "Activity (% of negative control)"
                                                   : "Activity (crossings per beam, " + windowText(window) + ")";
}

// The highest band edge of the series; activity never falls below 0, so the axes start there.
double highestOf(const std::vector<ChartSeries>& series) {
    double highest = 0.0;
    for (const ChartSeries& one : series) {
        for (const auto& segment : one.segments) {
            for (const ChartPoint& point : segment) highest = std::max(highest, point.high);
        }
    }
    return highest;
}

// One compound's wells as lone points, and its curve over the axis when it was fitted.
void addCompound(ChartPanel& panel, const CompoundResult& compound, Rgb colour) {
    ChartSeries wells;
    wells.label = compound.compound;
    wells.colour = colour;
    for (const DosePoint& point : compound.points) {
        wells.segments.push_back({{point.concentration, point.response, point.response, point.response}});
    }
    panel.series.push_back(std::move(wells));
    const DoseFit& fit = compound.fit;
    const Ic50Estimate& ic50 = compound.ic50;
    if (ic50.status != ScreenStatus::Ok) return;
    ChartSeries curve;
    curve.label = compound.compound;
    curve.colour = colour;
    curve.segments.emplace_back();
    const double first = std::log10(panel.x.min), last = std::log10(panel.x.max);
    for (int step = 0; step <= CurveSteps; ++step) {
        const double concentration = std::pow(10.0, first + (last - first) * step / CurveSteps);
        const double response = curveResponse(fit.curve, concentration);
        curve.segments.back().push_back({concentration, response, response, response});
    }
    panel.series.push_back(std::move(curve));
    panel.markers.push_back({ic50.ic50, curveResponse(fit.curve, ic50.ic50), ic50.low, ic50.high, colour});
}

// The hours the percent-of-control rows with a value cover, and their bin.
struct ScreenedHours {
    double fromHours = 0.0;
    double toHours = 0.0;
    double binHours = 0.0;
};

ScreenedHours screenedHours(const ScreeningResults& results) {
    ScreenedHours hours{HUGE_VAL, 0.0, 0.0};
    for (const GroupPercent& row : results.percentOfControl) {
        if (!row.percent) continue;
        hours.fromHours = std::min(hours.fromHours, row.startHours);
        hours.toHours = std::max(hours.toHours, row.endHours);
        hours.binHours = row.endHours - row.startHours;
    }
    return hours;
}

}  // namespace

std::string significantText(double value) {
    char text[32];
    std::snprintf(text, sizeof text, "%.3g", value);
    return text;
}

std::string ic50Text(const CompoundResult& compound) {
    const Ic50Estimate& ic50 = compound.ic50;
    if (ic50.status != ScreenStatus::Ok) return ic50StatusText(compound.fit, ic50, compound.unit);
    const std::string unit = compound.unit.empty() ? "" : " " + compound.unit;
    return "IC50 " + significantText(ic50.ic50) + unit + " (" + significantText(ic50.low) + "\u2013" +
           significantText(ic50.high) + ")";
}

std::optional<ChartFigure> layoutDoseResponse(const ScreeningResults& results, const HourWindow& window) {
    // Compounds by unit, in the order of the results; each keeps its colour across panels.
    std::map<std::string, std::vector<std::size_t>> byUnit;
    std::vector<std::string> units;
    for (std::size_t k = 0; k < results.compounds.size(); ++k) {
        const CompoundResult& compound = results.compounds[k];
        if (compound.points.empty()) continue;
        if (!byUnit.contains(compound.unit)) units.push_back(compound.unit);
        byUnit[compound.unit].push_back(k);
    }
    if (units.empty()) return std::nullopt;
    const int count = static_cast<int>(results.compounds.size());
    ChartFigure figure;
    figure.sharedX = units.size() == 1;
    for (const std::string& unit : units) {
        ChartPanel panel;
        double low = HUGE_VAL, high = 0.0;
        std::string names;
        for (std::size_t k : byUnit[unit]) {
            for (const DosePoint& point : results.compounds[k].points) {
                low = std::min(low, point.concentration);
                high = std::max(high, point.concentration);
            }
            names += (names.empty() ? "" : ", ") + results.compounds[k].compound;
        }
        panel.title = units.size() > 1 ? names : "";
        panel.x = logAxis(low, high, WantedDecades, "Concentration" + (unit.empty() ? "" : " (" + unit + ")"));
        for (std::size_t k : byUnit[unit]) {
            const Rgb colour = groupColour(static_cast<int>(k), count);
            addCompound(panel, results.compounds[k], colour);
            figure.legend.push_back({results.compounds[k].compound + ": " + ic50Text(results.compounds[k]), colour,
                                     LegendMark::Line});
        }
        figure.panels.push_back(std::move(panel));
    }
    std::vector<ChartSeries> all;
    for (const ChartPanel& panel : figure.panels) all.insert(all.end(), panel.series.begin(), panel.series.end());
    const Axis y = niceAxis(0.0, highestOf(all), WantedYTicks, responseTitle(results.normalisation, window));
    for (ChartPanel& panel : figure.panels) panel.y = y;
    figure.note = "Points: wells over " + windowText(window) +
                  "; lines: four-parameter log-logistic fits; dashed: IC50; black bar on the axis: its 95 % "
                  "interval.";
    return figure;
}

std::optional<ChartFigure> layoutPercentOfControl(const FigureSource& source, const ScreeningPlate& plate,
                                                  const ScreeningResults& results) {
    const ScreenedHours hours = screenedHours(results);
    const TimeBase base = timeBaseOf(source, true, hours.toHours - hours.fromHours);
    std::map<int, ChartSeries> byGroup;
    std::map<int, int> lastBin;
    for (const GroupPercent& row : results.percentOfControl) {
        if (!row.percent) continue;
        ChartSeries& series = byGroup[row.group];
        auto previous = lastBin.find(row.group);
        if (previous == lastBin.end() || previous->second + 1 != row.bin) series.segments.emplace_back();
        lastBin[row.group] = row.bin;
        const double percent = row.percent->percent, se = row.percent->se;
        series.segments.back().push_back(
            {base.at((row.startHours + row.endHours) / 2.0), percent, percent - se, percent + se});
    }
    if (byGroup.empty()) return std::nullopt;
    ChartPanel panel;
    int index = 0;
    ChartFigure figure;
    for (auto& [group, series] : byGroup) {
        const GroupAnnotation& annotation = annotationOf(plate, group);
        // A screen tells its groups apart by treatment; the group's name where it has none.
        series.label = annotation.compound.empty() ? groupNameOf(plate, group) : annotation.compound;
        if (annotation.concentration) series.label += " " + significantText(*annotation.concentration);
        if (!annotation.unit.empty()) series.label += " " + annotation.unit;
        series.colour = groupColour(index++, static_cast<int>(byGroup.size()));
        series.band = true;
        figure.legend.push_back({series.label, series.colour, LegendMark::LineAndBand});
        panel.series.push_back(std::move(series));
    }
    panel.x = timeAxis(base, hours.fromHours, hours.toHours, WantedXTicks);
    panel.y = niceAxis(0.0, highestOf(panel.series), WantedYTicks, "Activity (% of negative control)");
    panel.shaded = darkSpans(source, hours.fromHours, hours.toHours, base);
    if (!panel.shaded.empty()) figure.legend.push_back({"Dark", DarkShade, LegendMark::Swatch});
    figure.note = "Mean of wells as percent of the negative-control mean of the same bin \u00b1 SE per " +
                  readableNumber(hours.binHours * 60.0) + "-min bin" + (panel.shaded.empty() ? "" : "; grey: dark");
    figure.panels.push_back(std::move(panel));
    return figure;
}

PlateHeatMapLayout layoutScreeningHeatMap(const ReportPlate& reportPlate, const ScreeningPlate& plate,
                                          const ScreeningResults& results, const HourWindow& window) {
    PlateHeatMapLayout map = plateCells(reportPlate);
    std::vector<int> screenedIndex(map.wells.size(), -1);
    for (std::size_t i = 0; i < plate.wells.size(); ++i) {
        const auto well = static_cast<std::size_t>(plate.wells[i].well);
        if (well < map.wells.size()) screenedIndex[well] = static_cast<int>(i);
    }
    const bool percent = results.normalisation == Normalisation::Control;
    for (std::size_t w = 0; w < map.wells.size(); ++w) {
        HeatWell& well = map.wells[w];
        well.group = -1;
        if (screenedIndex[w] < 0) continue;
        const auto i = static_cast<std::size_t>(screenedIndex[w]);
        const WellResult& result = results.wells[i];
        well.value = percent ? std::max(result.percent.value_or(0.0), 0.0) : result.activity;
        const GroupRole role = annotationOf(plate, plate.wells[i].group).role;
        if (role == GroupRole::Negative) well.group = NegativeWells;
        if (role == GroupRole::Positive) well.group = PositiveWells;
    }
    colourWells(map, (percent ? "Activity, % of negative control, " : "Crossings per beam, total over ") + windowText(window));
    for (std::size_t w = 0; w < map.wells.size(); ++w) {
        if (screenedIndex[w] < 0 && map.wells[w].mark == WellMark::Measured) map.wells[w].fill = UnscreenedWell;
    }
    const std::pair<ControlOutline, const char*> controls[] = {{NegativeWells, "Negative control"},
                                                              {PositiveWells, "Positive control"}};
    for (const auto& [group, label] : controls) {
        const Rgb colour = group == NegativeWells ? NegativeOutline : PositiveOutline;
        std::vector<CellEdge> edges = groupOutlineEdges(map, group);
        if (edges.empty()) continue;
        map.outlines.push_back({group, colour, std::move(edges)});
        map.legend.push_back({label, colour, LegendMark::Line});
    }
    std::string note = "Pale grey: in no group, not screened";
    if (std::any_of(map.wells.begin(), map.wells.end(), [](const HeatWell& w) { return w.mark == WellMark::Disabled; })) {
        note += "; crossed grey: channels disabled";
    }
    if (!results.outliers.empty()) {
        note += "; ringed: outliers (outside the 99.9 % prediction interval of the rest of their group):";
        for (std::size_t i : results.outliers) {
            note += " " + plate.wells[i].name;
            const auto well = static_cast<std::size_t>(plate.wells[i].well);
            if (well < map.wells.size()) map.wells[well].outlier = true;
        }
    }
    map.note = note + ".";
    return map;
}

}  // namespace zorvex
