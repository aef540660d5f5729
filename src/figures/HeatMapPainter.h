#pragma once
// Paints the plate heat map: the wells as they lie on the plate, the group
// outlines, the marks of disabled and beamless wells, the colour bar, the
// legend of the groups and the note.

#include "figures/FigureCanvas.h"
#include "views/PlateHeatMap.h"

namespace zorvex {

/// Height the heat map takes at the style's width (the slide's fixed height for slides).
double heatMapHeightMm(const PlateHeatMapLayout& map, const FigureStyle& style);

/// Paints `map` over the whole page of `heightMm`.
void paintHeatMap(FigureCanvas& canvas, const PlateHeatMapLayout& map, double heightMm);

}  // namespace zorvex
