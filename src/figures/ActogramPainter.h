#pragma once
// Paints the double-plotted actogram: per panel its caption, one line per
// day with its light and dark shading and activity bars, the hours below.

#include "figures/FigureCanvas.h"
#include "views/ActogramFigure.h"

namespace zorvex {

/// Height the actograms take at the style's width (the slide's fixed height for slides).
double actogramHeightMm(const ActogramFigureLayout& figure, const FigureStyle& style);

/// Paints `figure` over the whole page; a slide is filled to its fixed height.
void paintActogram(FigureCanvas& canvas, const ActogramFigureLayout& figure);

}  // namespace zorvex
