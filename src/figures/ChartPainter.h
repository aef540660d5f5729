#pragma once
// Paints a chart figure: its panels stacked on shared axes, the shaded
// spans, the bands and lines of each series, the legend and the note.

#include "figures/FigureCanvas.h"
#include "views/Chart.h"

namespace zorvex {

/// The style `figure` is drawn in: a column page widened to a printed
/// page's full width when its panels wrap into columns; else `style`.
FigureStyle chartStyle(const ChartFigure& figure, const FigureStyle& style);

/// Height the content takes at the style's width (a slide's height is fixed instead).
double chartHeightMm(const ChartFigure& figure, const FigureStyle& style);

/// Paints `figure` over the whole page; a slide is filled to its fixed height.
void paintChart(FigureCanvas& canvas, const ChartFigure& figure);

}  // namespace zorvex
