#pragma once
// The plate heat map: the plate as it lies (row A at the top, column 1 on the
// left), each well coloured by its activity on the exports' minute grid over
// a time window, the groups outlined, and wells that cannot have moved marked
// as such.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "views/Chart.h"
#include "views/FigureSource.h"

namespace zorvex {

enum class HeatValue { Total, MeanPerHour };

struct HeatMapOptions {
    long long binMinutes = 60;         ///< the bins of the minute grid the window is made of
    std::optional<HourWindow> window;  ///< elapsed hours summed; the whole acquisition without one
    HeatValue value = HeatValue::Total;
};

enum class WellMark {
    Measured,  ///< a well with a channel, at least one enabled
    Disabled,  ///< every channel of the well disabled
    NoBeam,    ///< no channel of the instrument lies in the well
};

struct HeatWell {
    int well = 0;
    int row = 0;
    int column = 0;
    WellMark mark = WellMark::Measured;
    int group = -1;     ///< of its first beam, as the report groups it; -1 for none
    double value = 0.0; ///< total or mean per recorded hour over the window
    Rgb fill;
    bool outlier = false; ///< ringed: far from the rest of its group
};

/// A side of a well cell, in cell units: column k spans k..k+1, row r spans r..r+1.
struct CellEdge {
    double x1 = 0.0;
    double y1 = 0.0;
    double x2 = 0.0;
    double y2 = 0.0;
    friend bool operator==(const CellEdge&, const CellEdge&) = default;
};

/// The border of one group's wells, where they meet other wells or the plate's edge.
struct GroupOutline {
    int group = 0;
    Rgb colour;
    std::vector<CellEdge> edges;
};

struct PlateHeatMapLayout {
    int rows = 0;
    int columns = 0;
    double cellAspect = 1.0;   ///< well width over well height
    bool roundWells = true;
    std::vector<HeatWell> wells;  ///< every well of the plate, column by column
    Axis scale;                   ///< the colour bar: 0 (first colour) to its max (last colour)
    std::vector<GroupOutline> outlines;
    std::vector<LegendEntry> legend;  ///< the groups' outline colours
    std::string note;                 ///< what the colours mean and how wells are marked
};

/// Whether a plate of this name has square wells (the 384-well plate) or round ones.
bool hasSquareWells(std::string_view plateName);

/// The plate's wells as they lie, column by column, with their marks and
/// groups; values 0, no colours, outlines, legend or note yet.
PlateHeatMapLayout plateCells(const ReportPlate& plate);

/// The colour bar over 0..the highest measured value, titled `title`, and each well's fill on it.
void colourWells(PlateHeatMapLayout& map, std::string title);

/// The sides of the cells of `group`'s wells that face a well of another group or the plate's edge.
std::vector<CellEdge> groupOutlineEdges(const PlateHeatMapLayout& map, int group);

/// Outlines each group's wells in its colour, lists the groups in the
/// legend and sets the note to how marked wells are drawn.
void outlineGroups(PlateHeatMapLayout& map, const ReportPlate& plate);

/// The heat map of `source` on its minute grid `grid`: each well's crossings
/// per beam summed over the window's bins, or over the minutes recorded in
/// them per hour; nothing, after a message, when no bin with records (or,
/// for a mean, no recorded minute) lies in the window.
std::optional<PlateHeatMapLayout> layoutPlateHeatMap(const FigureSource& source, const RhythmGrid& grid,
                                                     const HeatMapOptions& options, Dialogs& dialogs);

}  // namespace zorvex
