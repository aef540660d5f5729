#include "figures/HeatMapPainter.h"

#include <algorithm>

#include "figures/Legend.h"

namespace zorvex {

namespace {

constexpr double WellFraction = 0.86;   // a well's share of its cell
constexpr double OutlineWidths = 2.0;   // group outlines, in curve widths
constexpr double ColourBarShare = 0.8;  // of the plate's width
constexpr double OutlierInset = 0.18;   // of a well's size, inside its edge

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
    if (well.outlier) {
        // Black on a white ring: seen on the darkest and the palest fill alike.
        const double inset = OutlierInset * size;
        for (const auto& [colour, width] : {std::pair{QColor(Qt::white), 3.0 * style.curveMm}, std::pair{QColor(Qt::black), style.curveMm}}) {
            if (map.roundWells) canvas.strokeEllipse(left + inset, top + inset, size - 2.0 * inset, size - 2.0 * inset, colour, width);
            else canvas.strokeRect(left + inset, top + inset, size - 2.0 * inset, size - 2.0 * inset, colour, width);
        }
    }
    if (well.mark == WellMark::Disabled) {
        const double inset = map.roundWells ? size * 0.15 : 0.0;
        canvas.line(left + inset, top + inset, left + size - inset, top + size - inset, quiet, style.axisMm);
        canvas.line(left + inset, top + size - inset, left + size - inset, top + inset, quiet, style.axisMm);
    }
}

// Each side drawn inside its group's cell, so that two groups side by side
// both show and no outline covers a neighbour's well or label.
void paintOutline(FigureCanvas& canvas, const PlateHeatMapLayout& map, const HeatFrame& frame, const GroupOutline& outline) {
    const double width = OutlineWidths * canvas.style().curveMm;
    auto inGroup = [&](double row, double column) {
        const int r = static_cast<int>(row), c = static_cast<int>(column);
        if (r < 0 || r >= map.rows || c < 0 || c >= map.columns) return false;
        const HeatWell& well = map.wells[static_cast<std::size_t>(c * map.rows + r)];
        return well.mark != WellMark::NoBeam && well.group == outline.group;
    };
    for (const CellEdge& edge : outline.edges) {
        double x1 = frame.plateLeft + edge.x1 * frame.cellWidth, y1 = frame.plateTop + edge.y1 * frame.cellHeight;
        double x2 = frame.plateLeft + edge.x2 * frame.cellWidth, y2 = frame.plateTop + edge.y2 * frame.cellHeight;
        if (edge.y1 == edge.y2) {
            // The cell below the side (row y, column x) is the group's, or the one above.
            const double inward = inGroup(edge.y1, std::min(edge.x1, edge.x2)) ? width / 2.0 : -width / 2.0;
            y1 += inward;
            y2 += inward;
        } else {
            const double inward = inGroup(std::min(edge.y1, edge.y2), edge.x1) ? width / 2.0 : -width / 2.0;
            x1 += inward;
            x2 += inward;
        }
        canvas.line(x1, y1, x2, y2, toQColor(outline.colour), width);
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
    for (const GroupOutline& outline : map.outlines) paintOutline(canvas, map, frame, outline);
    const double barWidth = ColourBarShare * plateWidth;
    paintColourBar(canvas, map.scale, frame.plateLeft + (plateWidth - barWidth) / 2.0, frame.barTop, barWidth);
    paintLegend(canvas, map.legend, frame.legend, style.marginMm, frame.legendTop, style.labelPt);
    canvas.paragraph(style.marginMm, frame.noteTop, map.note, style.widthMm - 2.0 * style.marginMm, style.notePt, toQColor(QuietInk));
}

}  // namespace zorvex
