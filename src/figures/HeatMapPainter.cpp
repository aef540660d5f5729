#include "figures/HeatMapPainter.h"

#include <algorithm>

#include "figures/Legend.h"

namespace zorvex {

namespace {

constexpr double WellFraction = 0.86;   // a well's share of its cell
constexpr double OutlineWidths = 2.0;   // group outlines, in curve widths
constexpr double ColourBarShare = 0.8;  // of the plate's width

struct HeatFrame {
    double plateLeft = 0.0;
    double plateTop = 0.0;
    double cellWidth = 0.0;
    double cellHeight = 0.0;
    double barTop = 0.0;
    LegendPlacement legend;
    double legendTop = 0.0;
    double noteTop = 0.0;
    double bottom = 0.0;
};

HeatFrame frameOf(const PlateHeatMapLayout& map, const FigureStyle& style, double pageHeightMm) {
    HeatFrame frame;
    const double tickText = lineHeightMm(style.tickPt);
    const double rowLabels = textWidthMm(QString(QChar('A' + std::max(map.rows - 1, 0))), style.tickPt) + 0.6 * tickText;
    frame.plateLeft = style.marginMm + rowLabels;
    frame.plateTop = style.marginMm + 1.1 * tickText;
    const double width = style.widthMm - style.marginMm - frame.plateLeft;
    const int columns = std::max(map.columns, 1);
    const int rows = std::max(map.rows, 1);
    frame.legend = placeLegend(map.legend, style.widthMm - 2.0 * style.marginMm, style.labelPt);
    const double noteMm = paragraphHeightMm(map.note, style.widthMm - 2.0 * style.marginMm, style.notePt);
    const double under = 0.8 * tickText + colourBarHeightMm(style) + 0.6 * tickText + frame.legend.heightMm + noteMm +
                         style.marginMm;
    frame.cellWidth = width / columns;
    frame.cellHeight = frame.cellWidth / map.cellAspect;
    if (pageHeightMm > 0.0) {
        // A slide: the plate as large as both the width and the height allow.
        const double height = pageHeightMm - frame.plateTop - under;
        if (frame.cellHeight * rows > height) {
            frame.cellHeight = std::max(height, 1.0) / rows;
            frame.cellWidth = frame.cellHeight * map.cellAspect;
        }
        frame.plateLeft += (width - frame.cellWidth * columns) / 2.0;
    }
    frame.barTop = frame.plateTop + frame.cellHeight * rows + 0.8 * tickText;
    frame.legendTop = frame.barTop + colourBarHeightMm(style) + 0.6 * tickText;
    frame.noteTop = frame.legendTop + frame.legend.heightMm;
    frame.bottom = frame.noteTop + noteMm + style.marginMm;
    return frame;
}

void paintWell(FigureCanvas& canvas, const PlateHeatMapLayout& map, const HeatFrame& frame, const HeatWell& well) {
    const FigureStyle& style = canvas.style();
    const double size = WellFraction * std::min(frame.cellWidth, frame.cellHeight);
    const double centreX = frame.plateLeft + (well.column + 0.5) * frame.cellWidth;
    const double centreY = frame.plateTop + (well.row + 0.5) * frame.cellHeight;
    const double left = centreX - size / 2.0;
    const double top = centreY - size / 2.0;
    const QColor quiet = toQColor(QuietInk);
    if (well.mark == WellMark::NoBeam) {
        if (map.roundWells) canvas.strokeEllipse(left, top, size, size, quiet, style.axisMm, true);
        else canvas.strokeRect(left, top, size, size, quiet, style.axisMm, true);
        return;
    }
    if (map.roundWells) canvas.fillEllipse(left, top, size, size, toQColor(well.fill));
    else canvas.fillRect(left, top, size, size, toQColor(well.fill));
    if (well.mark == WellMark::Disabled) {
        const double inset = map.roundWells ? size * 0.15 : 0.0;
        canvas.line(left + inset, top + inset, left + size - inset, top + size - inset, quiet, style.axisMm);
        canvas.line(left + inset, top + size - inset, left + size - inset, top + inset, quiet, style.axisMm);
    }
}

}  // namespace

double heatMapHeightMm(const PlateHeatMapLayout& map, const FigureStyle& style) {
    return frameOf(map, style, 0.0).bottom;
}

void paintHeatMap(FigureCanvas& canvas, const PlateHeatMapLayout& map) {
    const FigureStyle& style = canvas.style();
    const HeatFrame frame = frameOf(map, style, style.fixedHeightMm);
    const double plateWidth = frame.cellWidth * map.columns;
    const double plateHeight = frame.cellHeight * map.rows;
    for (int column = 0; column < map.columns; ++column) {
        canvas.text(frame.plateLeft + (column + 0.5) * frame.cellWidth, frame.plateTop - 0.2 * lineHeightMm(style.tickPt),
                    QString::number(column + 1), style.tickPt, Qt::AlignHCenter | Qt::AlignBottom);
    }
    for (int row = 0; row < map.rows; ++row) {
        canvas.text(frame.plateLeft - 0.4 * lineHeightMm(style.tickPt), frame.plateTop + (row + 0.5) * frame.cellHeight,
                    QString(QChar('A' + row)), style.tickPt, Qt::AlignRight | Qt::AlignVCenter);
    }
    for (const HeatWell& well : map.wells) paintWell(canvas, map, frame, well);
    canvas.strokeRect(frame.plateLeft, frame.plateTop, plateWidth, plateHeight, toQColor(QuietInk), style.axisMm);
    // Each outline drawn inside its own wells' cells, so that two groups side by side both show.
    for (const GroupOutline& outline : map.outlines) {
        std::vector<QRectF> cells;
        for (const HeatWell& well : map.wells) {
            if (well.mark != WellMark::NoBeam && well.group == outline.group) {
                cells.emplace_back(frame.plateLeft + well.column * frame.cellWidth, frame.plateTop + well.row * frame.cellHeight,
                                   frame.cellWidth, frame.cellHeight);
            }
        }
        canvas.clipToRects(cells);
        for (const CellEdge& edge : outline.edges) {
            canvas.line(frame.plateLeft + edge.x1 * frame.cellWidth, frame.plateTop + edge.y1 * frame.cellHeight,
                        frame.plateLeft + edge.x2 * frame.cellWidth, frame.plateTop + edge.y2 * frame.cellHeight,
                        toQColor(outline.colour), 2.0 * OutlineWidths * style.curveMm);
        }
        canvas.unclip();
    }
    const double barWidth = ColourBarShare * plateWidth;
    paintColourBar(canvas, map.scale, frame.plateLeft + (plateWidth - barWidth) / 2.0, frame.barTop, barWidth);
    paintLegend(canvas, map.legend, frame.legend, style.marginMm, frame.legendTop, style.labelPt);
    canvas.paragraph(style.marginMm, frame.noteTop, map.note, style.widthMm - 2.0 * style.marginMm, style.notePt, toQColor(QuietInk));
}

}  // namespace zorvex
