#pragma once
// What a line chart shows, without painting: axes with round ticks, series of
// points with their error bands, shaded spans and the legend. The group
// activity figure builds one; any other x-y figure can build its own, and
// the renderer draws them all alike.

#include <string>
#include <vector>

#include "views/Colours.h"

namespace zorvex {

/// How values are spread along an axis.
enum class AxisScale { Linear, Log10 };

/// One axis: its range, the tick values with their labels, its title with the unit.
struct Axis {
    double min = 0.0;
    double max = 1.0;
    std::vector<double> ticks;
    std::vector<std::string> labels;
    std::string title;
    AxisScale scale = AxisScale::Linear;  ///< Log10: min, max and ticks above 0, spread by their logarithm
    std::vector<double> minorTicks;       ///< unlabelled ticks between the labelled ones
};

/// Where `value` lies along `axis`: 0 at min, 1 at max (outside the range beyond them).
double axisFraction(const Axis& axis, double value);

/// A value axis over low..high with about `wanted` ticks at steps of 1, 2 or
/// 5 times a power of ten, widened to whole steps; an empty or invalid range
/// becomes low..low + 1.
Axis niceAxis(double low, double high, int wanted, std::string title);

/// A time axis in hours over exactly low..high, ticks at steps of 1, 2, 3, 4,
/// 6 or 12 hours or whole days (decimal steps below a quarter hour), about
/// `wanted` of them.
Axis hourAxis(double low, double high, int wanted, std::string title);

/// A logarithmic axis over low..high (both above 0) widened to whole
/// decades, labelled at every decade or, over many decades, at every
/// second or fifth, with unlabelled ticks at 2..9 times each decade when
/// few decades show; an invalid range becomes 0.1..10.
Axis logAxis(double low, double high, int wanted, std::string title);

/// A time axis in minutes over exactly low..high, ticks at steps of 1, 2,
/// 5, 10, 15, 20 or 30 minutes or whole hours, about `wanted` of them.
Axis minuteAxis(double low, double high, int wanted, std::string title);

/// A tick value as text with the decimals its step needs ("0.5", "20").
std::string tickLabel(double value, double step);

/// A number as people read it in a caption: three significant digits at
/// most, whole numbers kept whole, no trailing zeros ("0.0667", "2", "1440").
std::string readableNumber(double value);

/// Runs shorter than this are told in minutes, longer ones in hours.
inline constexpr double LongestMinuteSpanHours = 2.0;

/// Elapsed hours `fromHours` to `toHours` as a caption gives them: "0–24 h",
/// or "0–4 min" when the end lies within the first two hours.
std::string spanText(double fromHours, double toHours);

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

/// A value marked on x, such as an IC50: a dashed line up from the x axis
/// to `y`, and its interval `low`..`high` as a bar at `y`.
struct XMarker {
    double x = 0.0;
    double y = 0.0;
    double low = 0.0;
    double high = 0.0;
    Rgb colour;
};

struct ChartPanel {
    std::string title;  ///< above the panel; empty for a single panel
    Axis x;
    Axis y;
    std::vector<XSpan> shaded;
    std::vector<ChartSeries> series;
    std::vector<XMarker> markers;
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
    bool sharedX = true;  ///< false: each panel its own x axis, labelled under it
    std::vector<LegendEntry> legend;
    std::string note;
};

}  // namespace zorvex
