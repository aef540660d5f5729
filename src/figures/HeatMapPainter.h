#pragma once
// Paints the plate heat map: the wells as they lie on the plate, the group
// outlines, the marks of disabled and beamless wells, the colour bar, the
// legend of the groups and the note.

#include "figures/FigureCanvas.h"
#include "views/PlateHeatMap.h"

namespace zorvex {

/// Height the content takes at the style's width (a slide's height is fixed instead).
double heatMapHeightMm(const PlateHeatMapLayout& map, const FigureStyle& style);

/// Paints `map` over the whole page; a slide is filled to its fixed height.
void paintHeatMap(FigureCanvas& canvas, const PlateHeatMapLayout& map);

}  // namespace zorvex
