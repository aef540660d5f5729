#include "figures/ChartPainter.h"

#include <algorithm>

#include "figures/Legend.h"

namespace zorvex {

namespace {

// Plot heights of a column figure: one panel, or each of several.
constexpr double SinglePlotMm = 45.0;
constexpr double MultiplePlotMm = 22.0;
constexpr double MinimumPlotMm = 8.0;
constexpr double MarkerEm = 0.5;
constexpr double MarkerRowTicks = 1.2;  // rows of interval bars above the x axis, in tick lengths
// Panels wrap into columns rather than run past what a printed page holds:
// A4 within its margins, widened from one column to the text's full width.
constexpr double LongestPageMm = 230.0;
constexpr double FullPageWidthMm = 174.0;
constexpr int MostColumns = 4;
// A slide's panels wrap into columns rather than shrink below this share of its height.
constexpr double SmallestSlidePlotShare = 0.12;

// The page divided: margins round the plots and the room under them.
struct ChartFrame {
    double left = 0.0;       // the first column's y axis
    double right = 0.0;      // the first column's right edge
    double columnMm = 0.0;   // from one column's y axis to the next one's
    int columns = 1;
    int rows = 1;            // panels in a column
    double top = 0.0;        // the first panel's title or plot
    double titleMm = 0.0;    // above each panel, 0 for one panel
    double plotMm = 0.0;     // each panel's plot height
    double gapMm = 0.0;      // between panels
    double underMm = 0.0;    // x tick labels and x title under the last panel
    LegendPlacement legend;
    double noteMm = 0.0;
};

double widestLabel(const std::vector<std::string>& labels, double points) {
    double widest = 0.0;
    for (const std::string& label : labels) widest = std::max(widest, textWidthMm(QString::fromStdString(label), points));
    return widest;
}

int panelCount(const ChartFigure& figure) { return std::max<int>(1, static_cast<int>(figure.panels.size())); }

int rowsOf(int panels, int columns) { return (panels + columns - 1) / columns; }

// Everything but the plots: the frame with its plot height still open.
ChartFrame fixedFrame(const ChartFigure& figure, const FigureStyle& style, int columns) {
    ChartFrame frame;
    const double tickText = lineHeightMm(style.tickPt);
    const double labelText = lineHeightMm(style.labelPt);
    double yLabels = 0.0;
    double lastXLabel = 0.0;
    for (const ChartPanel& panel : figure.panels) {
        yLabels = std::max(yLabels, widestLabel(panel.y.labels, style.tickPt));
        if (!panel.x.labels.empty()) {
            lastXLabel = std::max(lastXLabel, textWidthMm(QString::fromStdString(panel.x.labels.back()), style.tickPt));
        }
    }
    const double yTitle = style.marginMm + labelText;
    const double yAxisRoom = 0.4 * tickText + yLabels + 0.3 * tickText + style.tickMm;
    frame.columns = columns;
    frame.rows = rowsOf(panelCount(figure), columns);
    frame.columnMm = (style.widthMm - yTitle - style.marginMm) / columns;
    frame.left = yTitle + yAxisRoom;
    frame.right = yTitle + frame.columnMm - lastXLabel / 2.0 - (columns > 1 ? tickText : 0.0);
    frame.top = style.marginMm + tickText / 2.0;
    frame.titleMm = figure.panels.size() > 1 ? 1.2 * labelText : 0.0;
    frame.underMm = style.tickMm + 1.1 * tickText + 1.2 * labelText;
    // Panels of their own x axes keep room for its labels and title under each.
    frame.gapMm = frame.rows < 2 ? 0.0 : (figure.sharedX ? 0.8 * tickText : frame.underMm + 0.8 * tickText);
    frame.legend = placeLegend(figure.legend, style.widthMm - 2.0 * style.marginMm, style.labelPt);
    frame.noteMm = paragraphHeightMm(figure.note, style.widthMm - 2.0 * style.marginMm, style.notePt);
    return frame;
}

double fixedHeightOf(const ChartFrame& frame, const FigureStyle& style) {
    return frame.top + frame.rows * (frame.titleMm + frame.gapMm) + frame.underMm + 0.5 * lineHeightMm(style.tickPt) +
           frame.legend.heightMm + frame.noteMm + style.marginMm;
}

double pageHeightOf(const ChartFrame& frame, const FigureStyle& style) {
    return fixedHeightOf(frame, style) + frame.rows * frame.plotMm;
}

// The fewest columns whose panels fit: a column page no longer than a
// printed page, a slide's plots no lower than their smallest share.
int columnsOf(const ChartFigure& figure, const FigureStyle& style) {
    const int panels = panelCount(figure);
    for (int columns = 1; columns < std::min(panels, MostColumns); ++columns) {
        const ChartFrame frame = fixedFrame(figure, style, columns);
        if (style.fixedHeightMm > 0.0) {
            if ((style.fixedHeightMm - fixedHeightOf(frame, style)) / frame.rows >= SmallestSlidePlotShare * style.fixedHeightMm) return columns;
        } else if (panels < 2 || fixedHeightOf(frame, style) + frame.rows * MultiplePlotMm <= LongestPageMm) {
            return columns;
        }
    }
    return std::min(panels, MostColumns);
}

ChartFrame frameOf(const ChartFigure& figure, const FigureStyle& style) {
    ChartFrame frame = fixedFrame(figure, style, columnsOf(figure, style));
    const double room = (style.fixedHeightMm > 0.0 ? style.fixedHeightMm : LongestPageMm) - fixedHeightOf(frame, style);
    if (style.fixedHeightMm > 0.0) {
        frame.plotMm = std::max(MinimumPlotMm, room / frame.rows);
    } else if (figure.panels.size() > 1) {
        frame.plotMm = std::clamp(room / frame.rows, MinimumPlotMm, MultiplePlotMm);
    } else {
        frame.plotMm = SinglePlotMm;
    }
    return frame;
}

// Data to page: x over the plots' width, y up from the plot's bottom.
struct PlotArea {
    double left, top, width, height;
    const Axis& x;
    const Axis& y;
    double pageX(double value) const { return left + axisFraction(x, value) * width; }
    double pageY(double value) const { return top + height - axisFraction(y, value) * height; }
};

// The band of each run of two or more bins; a lone bin shows its band as an error bar.
void paintBands(FigureCanvas& canvas, const PlotArea& area, const ChartSeries& series) {
    if (!series.band) return;
    for (const auto& segment : series.segments) {
        if (segment.size() < 2) continue;
        std::vector<QPointF> upper, lower;
        for (const ChartPoint& p : segment) {
            upper.emplace_back(area.pageX(p.x), area.pageY(p.high));
            lower.emplace_back(area.pageX(p.x), area.pageY(p.low));
        }
        canvas.band(upper, lower, bandColour(series.colour));
    }
}

void paintLines(FigureCanvas& canvas, const PlotArea& area, const ChartSeries& series) {
    const FigureStyle& style = canvas.style();
    const QColor colour = toQColor(series.colour);
    for (const auto& segment : series.segments) {
        if (segment.size() == 1) {
            const ChartPoint& p = segment.front();
            const double size = MarkerEm * lineHeightMm(style.tickPt);
            if (series.band) canvas.line(area.pageX(p.x), area.pageY(p.low), area.pageX(p.x), area.pageY(p.high), colour, style.curveMm);
            canvas.fillEllipse(area.pageX(p.x) - size / 2.0, area.pageY(p.y) - size / 2.0, size, size, colour);
            continue;
        }
        std::vector<QPointF> line;
        line.reserve(segment.size());
        for (const ChartPoint& p : segment) line.emplace_back(area.pageX(p.x), area.pageY(p.y));
        canvas.polyline(line, colour, style.curveMm);
    }
}

void paintAxes(FigureCanvas& canvas, const PlotArea& area, bool xLabels) {
    const FigureStyle& style = canvas.style();
    const QColor ink = toQColor(Ink);
    const double bottom = area.top + area.height;
    canvas.line(area.left, area.top, area.left, bottom, ink, style.axisMm);
    canvas.line(area.left, bottom, area.left + area.width, bottom, ink, style.axisMm);
    for (std::size_t i = 0; i < area.y.ticks.size(); ++i) {
        const double y = area.pageY(area.y.ticks[i]);
        canvas.line(area.left - style.tickMm, y, area.left, y, ink, style.axisMm);
        canvas.text(area.left - style.tickMm - 0.3 * lineHeightMm(style.tickPt), y,
                    QString::fromStdString(area.y.labels[i]), style.tickPt, Qt::AlignRight | Qt::AlignVCenter);
    }
    const double minorMm = style.tickMm / 2.0;
    for (double tick : area.y.minorTicks) canvas.line(area.left - minorMm, area.pageY(tick), area.left, area.pageY(tick), ink, style.axisMm);
    for (double tick : area.x.minorTicks) canvas.line(area.pageX(tick), bottom, area.pageX(tick), bottom + minorMm, ink, style.axisMm);
    for (std::size_t i = 0; i < area.x.ticks.size(); ++i) {
        const double x = area.pageX(area.x.ticks[i]);
        canvas.line(x, bottom, x, bottom + style.tickMm, ink, style.axisMm);
        if (xLabels) {
            canvas.text(x, bottom + style.tickMm, QString::fromStdString(area.x.labels[i]), style.tickPt,
                        Qt::AlignHCenter | Qt::AlignTop);
        }
    }
}

// A dashed drop line from the marked value's point to the x axis in its
// colour, and its interval as a black capped bar just above the axis; the
// `index`th marker's bar one row higher, so that no two cover each other.
void paintMarker(FigureCanvas& canvas, const PlotArea& area, const XMarker& marker, std::size_t index) {
    const FigureStyle& style = canvas.style();
    const double bottom = area.top + area.height;
    const double x = area.pageX(marker.x), cap = style.tickMm / 2.0;
    canvas.line(x, area.pageY(marker.y), x, bottom, toQColor(marker.colour), style.curveMm, true);
    const double y = bottom - (static_cast<double>(index) + 1.0) * MarkerRowTicks * style.tickMm;
    const double low = std::max(area.pageX(marker.low), area.left);
    const double high = std::min(area.pageX(marker.high), area.left + area.width);
    const QColor ink = toQColor(Ink);
    canvas.line(low, y, high, y, ink, style.curveMm);
    // An interval beyond the axis keeps its open end without a cap.
    if (low > area.left) canvas.line(low, y - cap, low, y + cap, ink, style.curveMm);
    if (high < area.left + area.width) canvas.line(high, y - cap, high, y + cap, ink, style.curveMm);
}

void paintPanel(FigureCanvas& canvas, const PlotArea& area, const ChartPanel& panel, bool xLabels) {
    canvas.clip(area.left, area.top, area.width, area.height);
    for (const XSpan& span : panel.shaded) {
        const double from = std::max(area.pageX(span.from), area.left);
        const double to = std::min(area.pageX(span.to), area.left + area.width);
        if (to > from) canvas.fillRect(from, area.top, to - from, area.height, toQColor(DarkShade));
    }
    // Every band before any line, so that no band covers another group's line.
    for (const ChartSeries& series : panel.series) paintBands(canvas, area, series);
    for (const ChartSeries& series : panel.series) paintLines(canvas, area, series);
    for (std::size_t i = 0; i < panel.markers.size(); ++i) paintMarker(canvas, area, panel.markers[i], i);
    canvas.unclip();
    paintAxes(canvas, area, xLabels);
}

void paintXTitle(FigureCanvas& canvas, const PlotArea& area, const std::string& title) {
    const FigureStyle& style = canvas.style();
    canvas.text(area.left + area.width / 2.0, area.top + area.height + style.tickMm + 1.1 * lineHeightMm(style.tickPt),
                QString::fromStdString(title), style.labelPt, Qt::AlignHCenter | Qt::AlignTop);
}

}  // namespace

FigureStyle chartStyle(const ChartFigure& figure, const FigureStyle& style) {
    if (style.fixedHeightMm > 0.0 || columnsOf(figure, style) < 2) return style;
    FigureStyle wide = style;
    wide.widthMm = std::max(style.widthMm, FullPageWidthMm);
    return wide;
}

double chartHeightMm(const ChartFigure& figure, const FigureStyle& style) {
    return pageHeightOf(frameOf(figure, style), style);
}

void paintChart(FigureCanvas& canvas, const ChartFigure& figure) {
    const FigureStyle& style = canvas.style();
    const ChartFrame frame = frameOf(figure, style);
    const double rowMm = frame.titleMm + frame.plotMm + frame.gapMm;
    for (std::size_t i = 0; i < figure.panels.size(); ++i) {
        const ChartPanel& panel = figure.panels[i];
        // Down each column, then the next column.
        const int column = static_cast<int>(i) / frame.rows, row = static_cast<int>(i) % frame.rows;
        const double shift = column * frame.columnMm;
        double top = frame.top + row * rowMm;
        if (frame.titleMm > 0.0) {
            canvas.text(frame.left + shift, top, QString::fromStdString(panel.title), style.labelPt, Qt::AlignLeft | Qt::AlignTop);
            top += frame.titleMm;
        }
        const PlotArea area{frame.left + shift, top, frame.right - frame.left, frame.plotMm, panel.x, panel.y};
        const bool lowest = row + 1 == frame.rows || i + 1 == figure.panels.size();
        paintPanel(canvas, area, panel, lowest || !figure.sharedX);
        if (lowest || !figure.sharedX) paintXTitle(canvas, area, panel.x.title);
    }
    if (figure.panels.empty()) return;
    const double plotsTop = frame.top + frame.titleMm;
    const double plotsBottom = frame.top + frame.rows * rowMm - frame.gapMm;
    const double yTitleX = style.marginMm + lineHeightMm(style.labelPt) / 2.0;
    canvas.verticalText(yTitleX, (plotsTop + plotsBottom) / 2.0, QString::fromStdString(figure.panels.front().y.title),
                        style.labelPt);
    const double legendTop = plotsBottom + frame.underMm + 0.5 * lineHeightMm(style.tickPt);
    paintLegend(canvas, figure.legend, frame.legend, style.marginMm, legendTop, style.labelPt);
    canvas.paragraph(style.marginMm, legendTop + frame.legend.heightMm, figure.note, style.widthMm - 2.0 * style.marginMm, style.notePt, toQColor(QuietInk));
}

}  // namespace zorvex
