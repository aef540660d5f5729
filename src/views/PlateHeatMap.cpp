#include "views/PlateHeatMap.h"

#include <algorithm>
#include <cctype>
#include <cmath>

#include "store/PlateGroups.h"

namespace zorvex {

namespace {

constexpr int WantedScaleTicks = 5;

WellMark markOf(const ReportPlate& plate, int well) {
    const std::vector<int> channels = channelsOfWell(plate.plate, well);
    if (channels.empty()) return WellMark::NoBeam;
    const bool anyEnabled = std::any_of(channels.begin(), channels.end(), [&](int channel) {
        return plate.channelEnabled[static_cast<std::size_t>(channel)];
    });
    return anyEnabled ? WellMark::Measured : WellMark::Disabled;
}

int groupOf(const ReportPlate& plate, int well) {
    const int channel = plate.beamZeroChannel(well);
    return channel < 0 ? -1 : plate.channelGroup[static_cast<std::size_t>(channel)];
}

// "Crossings per beam, total over 0-24 h" and the like: a well's value is the mean over its beams.
std::string scaleTitle(const HeatMapOptions& options, double fromHours, double toHours) {
    const std::string span = spanText(fromHours, toHours);
    return options.value == HeatValue::Total ? "Crossings per beam, total over " + span
                                             : "Crossings per beam per hour, mean over " + span;
}

// Says which bins the values are made of, and what a mean per hour divides by.
std::string ruleNote(const HeatMapOptions& options, int binMinutes, int recordedMinutes) {
    const std::string bins = std::to_string(binMinutes) + "-min bins on the minute grid";
    if (options.value == HeatValue::Total) return "Summed over " + bins;
    return "Per hour of the " + std::to_string(recordedMinutes) + " min recorded, in " + bins;
}

// Says how the marked wells are drawn, for the marks the plate has.
std::string markNote(const std::vector<HeatWell>& wells) {
    auto any = [&](auto test) { return std::any_of(wells.begin(), wells.end(), test); };
    std::vector<std::string> parts;
    if (any([](const HeatWell& w) { return w.mark == WellMark::Disabled; })) parts.push_back("crossed grey: channels disabled");
    if (any([](const HeatWell& w) { return w.mark == WellMark::NoBeam; })) parts.push_back("empty: no beam in the well");
    if (any([](const HeatWell& w) { return w.mark != WellMark::NoBeam && w.group < 0; })) parts.push_back("no outline: in no group");
    std::string note;
    for (const std::string& part : parts) note += (note.empty() ? "" : "; ") + part;
    return note;
}

}  // namespace

bool hasSquareWells(std::string_view plateName) {
    std::string name(plateName);
    std::transform(name.begin(), name.end(), name.begin(), [](unsigned char c) { return std::tolower(c); });
    return name == "z384";
}

PlateHeatMapLayout plateCells(const ReportPlate& plate) {
    PlateHeatMapLayout map;
    map.rows = std::max<int>(plate.plate.Rows, 0);
    map.columns = std::max<int>(plate.plate.Columns, 0);
    map.cellAspect = plate.plate.RowPitch > 0 && plate.plate.ColumnPitch > 0 ? plate.plate.ColumnPitch / plate.plate.RowPitch : 1.0;
    map.roundWells = !hasSquareWells(plate.plateName);
    for (int column = 0; column < map.columns; ++column) {
        for (int row = 0; row < map.rows; ++row) {
            HeatWell well;
            well.well = column * map.rows + row;
            well.row = row;
            well.column = column;
            well.mark = markOf(plate, well.well);
            well.group = groupOf(plate, well.well);
            map.wells.push_back(well);
        }
    }
    return map;
}

void colourWells(PlateHeatMapLayout& map, std::string title) {
    double highest = 0.0;
    for (const HeatWell& well : map.wells) {
        if (well.mark == WellMark::Measured) highest = std::max(highest, well.value);
    }
    map.scale = niceAxis(0.0, highest, WantedScaleTicks, std::move(title));
    for (HeatWell& well : map.wells) {
        well.fill = well.mark == WellMark::Disabled ? DisabledWell : scaleColour(well.value / map.scale.max);
    }
}

std::vector<CellEdge> groupOutlineEdges(const PlateHeatMapLayout& map, int group) {
    auto inGroup = [&](int row, int column) {
        if (row < 0 || row >= map.rows || column < 0 || column >= map.columns) return false;
        const HeatWell& well = map.wells[static_cast<std::size_t>(column * map.rows + row)];
        return well.mark != WellMark::NoBeam && well.group == group;
    };
    std::vector<CellEdge> edges;
    for (const HeatWell& well : map.wells) {
        if (!inGroup(well.row, well.column)) continue;
        const double left = well.column, top = well.row, right = left + 1.0, bottom = top + 1.0;
        if (!inGroup(well.row - 1, well.column)) edges.push_back({left, top, right, top});
        if (!inGroup(well.row + 1, well.column)) edges.push_back({left, bottom, right, bottom});
        if (!inGroup(well.row, well.column - 1)) edges.push_back({left, top, left, bottom});
        if (!inGroup(well.row, well.column + 1)) edges.push_back({right, top, right, bottom});
    }
    return edges;
}

void outlineGroups(PlateHeatMapLayout& map, const ReportPlate& plate) {
    std::vector<int> groups;
    for (const HeatWell& well : map.wells) {
        if (well.mark != WellMark::NoBeam && well.group >= 0 &&
            std::find(groups.begin(), groups.end(), well.group) == groups.end()) {
            groups.push_back(well.group);
        }
    }
    std::sort(groups.begin(), groups.end());
    for (std::size_t i = 0; i < groups.size(); ++i) {
        const Rgb colour = outlineColour(static_cast<int>(i));
        map.outlines.push_back({groups[i], colour, groupOutlineEdges(map, groups[i])});
        map.legend.push_back({groupName(plate, groups[i]), colour, LegendMark::Line});
    }
    map.note = markNote(map.wells);
}

std::optional<PlateHeatMapLayout> layoutPlateHeatMap(const FigureSource& source, const RhythmGrid& grid,
                                                     const HeatMapOptions& options, Dialogs& dialogs) {
    const std::vector<int> bins = binsInWindow(grid, options.window);
    if (bins.empty()) {
        dialogs.message("No bin with records lies in the chosen time window.");
        return std::nullopt;
    }
    // A mean per hour is over the minutes recorded: an unfinished last bin or
    // a gap in the recording does not lower it.
    int recordedMinutes = 0;
    for (int bin : bins) recordedMinutes += grid.recordedMinutes[static_cast<std::size_t>(bin)];
    if (options.value == HeatValue::MeanPerHour && recordedMinutes == 0) {
        dialogs.message("No minute of the chosen time window is wholly recorded: there is no mean per hour.");
        return std::nullopt;
    }
    const ReportPlate& plate = source.plate;
    PlateHeatMapLayout map = plateCells(plate);
    for (HeatWell& well : map.wells) {
        if (well.mark == WellMark::NoBeam || well.well >= grid.wellCount()) continue;
        double total = 0.0;
        for (int bin : bins) total += wellCrossingsPerBeam(grid, well.well, bin);
        well.value = options.value == HeatValue::Total ? total : total * 60.0 / recordedMinutes;
    }
    const double fromHours = bins.front() * grid.intervalMinutes / 60.0;
    colourWells(map, scaleTitle(options, fromHours, binEndHours(grid, bins.back())));

    outlineGroups(map, plate);
    const std::string rule = ruleNote(options, grid.intervalMinutes, recordedMinutes);
    map.note = map.note.empty() ? rule : rule + "; " + map.note;
    return map;
}

}  // namespace zorvex
