#pragma once
// What a line chart shows, without painting: axes with round ticks, series of
// points with their error bands, shaded spans and the legend. The group
// activity figure builds one; any other x-y figure can build its own, and
// the renderer draws them all alike.

#include <string>
#include <vector>

#include "views/Colours.h"

namespace zorvex {

/// One axis: its range, the tick values with their labels, its title with the unit.
struct Axis {
    double min = 0.0;
    double max = 1.0;
    std::vector<double> ticks;
    std::vector<std::string> labels;
    std::string title;
};

/// A value axis over low..high with about `wanted` ticks at steps of 1, 2 or
/// 5 times a power of ten, widened to whole steps; an empty or invalid range
/// becomes low..low + 1.
Axis niceAxis(double low, double high, int wanted, std::string title);

/// A time axis in hours over exactly low..high, ticks at steps of 1, 2, 3, 4,
/// 6 or 12 hours or whole days (decimal steps below a quarter hour), about
/// `wanted` of them.
Axis hourAxis(double low, double high, int wanted, std::string title);

/// A tick value as text with the decimals its step needs ("0.5", "20").
std::string tickLabel(double value, double step);

/// A point of a series: `low`..`high` is its band (both `y` without one).
struct ChartPoint {
    double x = 0.0;
    double y = 0.0;
    double low = 0.0;
    double high = 0.0;
};

/// One curve: each segment is drawn as one line; a segment of one point as a marker.
struct ChartSeries {
    std::string label;
    Rgb colour;
    std::vector<std::vector<ChartPoint>> segments;
    bool band = false;  ///< fill low..high under the line
};

/// A shaded stretch of x, such as the hours in the dark.
struct XSpan {
    double from = 0.0;
    double to = 0.0;
    friend bool operator==(const XSpan&, const XSpan&) = default;
};

struct ChartPanel {
    std::string title;  ///< above the panel; empty for a single panel
    Axis x;
    Axis y;
    std::vector<XSpan> shaded;
    std::vector<ChartSeries> series;
};

enum class LegendMark { Line, LineAndBand, Swatch };

struct LegendEntry {
    std::string label;
    Rgb colour;
    LegendMark mark = LegendMark::Line;
};

/// Panels stacked top to bottom on shared axes (x labelled under the last),
/// with one legend and a note saying what the lines and bands are.
struct ChartFigure {
    std::vector<ChartPanel> panels;
    std::vector<LegendEntry> legend;
    std::string note;
};

}  // namespace zorvex
