#include "figures/BehaviourImages.h"

#include "figures/ChartPainter.h"
#include "figures/FigureFile.h"
#include "figures/HeatMapPainter.h"
#include "views/FigureRequest.h"

namespace zorvex {

namespace {

constexpr double MmPerInch = 25.4;

// A page column's figure, its height what the content needs, scaled to `widthPixels`.
template <typename Layout, typename Height, typename Paint>
QImage imageOf(const Layout& layout, int widthPixels, Height contentHeight, Paint paint) {
    if (widthPixels <= 0) return {};
    const FigureStyle style = styleOf(PageSize::Column);
    return paintFigureImage(style.widthMm, contentHeight(layout, style), style,
                            [&](FigureCanvas& canvas) { paint(canvas, layout); },
                            widthPixels / (style.widthMm / MmPerInch));
}

}  // namespace

QImage sleepImage(const RhythmGrid& grid, const SleepResults& results, int widthPixels) {
    return imageOf(layoutSleepFigure(grid, results), widthPixels, chartHeightMm, paintChart);
}

QImage periodogramImage(const RhythmGrid& grid, const PeriodResults& results, int widthPixels) {
    const auto figure = layoutPeriodogramFigure(grid, results);
    if (!figure) return {};
    return imageOf(*figure, widthPixels, chartHeightMm, paintChart);
}

QImage periodMapImage(const RhythmGrid& grid, const PeriodResults& results, int widthPixels) {
    return imageOf(layoutPeriodMap(grid, results), widthPixels, heatMapHeightMm, paintHeatMap);
}

}  // namespace zorvex
