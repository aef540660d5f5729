#pragma once
// The legend of a figure: entries on one line when they fit, else in even
// columns row by row, each a line, a line with its band, or a swatch before
// its label.

#include <vector>

#include "figures/FigureCanvas.h"
#include "views/Chart.h"

namespace zorvex {

/// Where each entry of a legend goes, in millimetres from the legend's top left.
struct LegendPlacement {
    std::vector<QPointF> entryOrigins;  ///< [entry]
    double heightMm = 0.0;              ///< 0 for a legend without entries
};

/// Places `entries` in one row, or in columns as wide as the widest entry
/// with every row but the last full, no wider than `widthMm`; labels at `points`.
LegendPlacement placeLegend(const std::vector<LegendEntry>& entries, double widthMm, double points);

/// Paints the placed legend with its top left at (`left`, `top`).
void paintLegend(FigureCanvas& canvas, const std::vector<LegendEntry>& entries, const LegendPlacement& placement,
                 double left, double top, double points);

/// The fill of an error band of a curve of `colour`: the colour, see-through.
QColor bandColour(Rgb colour);

/// A horizontal colour bar of the perceptual scale from `scale.min` (left)
/// to `scale.max` (right) with its ticks below and its title under them.
void paintColourBar(FigureCanvas& canvas, const Axis& scale, double left, double top, double width);

/// Height of the colour bar with its ticks, labels and title.
double colourBarHeightMm(const FigureStyle& style);

}  // namespace zorvex
