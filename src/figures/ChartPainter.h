#pragma once
// Paints a chart figure: its panels stacked on shared axes, the shaded
// spans, the bands and lines of each series, the legend and the note.

#include "figures/FigureCanvas.h"
#include "views/Chart.h"

namespace zorvex {

/// Height the chart takes at the style's width (the slide's fixed height for slides).
double chartHeightMm(const ChartFigure& figure, const FigureStyle& style);

/// Paints `figure` over the whole page of `heightMm`.
void paintChart(FigureCanvas& canvas, const ChartFigure& figure, double heightMm);

}  // namespace zorvex
