#include "figures/Legend.h"

#include <algorithm>

namespace zorvex {

namespace {

constexpr double MarkWidthEm = 2.0;      // the mark, in heights of the label's line
constexpr double MarkGapEm = 0.4;
constexpr double EntryGapEm = 1.2;
constexpr double RowSpacing = 1.15;
constexpr int BandAlpha = 64;
constexpr int ColourBarSteps = 128;

double markWidth(double points) { return MarkWidthEm * lineHeightMm(points); }

double barHeight(const FigureStyle& style) { return lineHeightMm(style.tickPt); }

}  // namespace

QColor bandColour(Rgb colour) {
    QColor fill = toQColor(colour);
    fill.setAlpha(BandAlpha);
    return fill;
}

LegendPlacement placeLegend(const std::vector<LegendEntry>& entries, double widthMm, double points) {
    LegendPlacement placement;
    if (entries.empty()) return placement;
    const double line = lineHeightMm(points);
    const double rowHeight = RowSpacing * line;
    const double gap = EntryGapEm * line;
    std::vector<double> widths;
    for (const LegendEntry& entry : entries) {
        widths.push_back(markWidth(points) + MarkGapEm * line + textWidthMm(QString::fromStdString(entry.label), points));
    }
    double oneRow = 0.0;
    for (double width : widths) oneRow += width + gap;
    if (oneRow - gap <= widthMm) {
        double x = 0.0;
        for (double width : widths) {
            placement.entryOrigins.emplace_back(x, 0.0);
            x += width + gap;
        }
        placement.heightMm = rowHeight;
        return placement;
    }
    // More than a row: columns as wide as the widest entry, rows filled alike.
    const double column = *std::max_element(widths.begin(), widths.end()) + gap;
    const int count = static_cast<int>(entries.size());
    const int fit = std::clamp(static_cast<int>((widthMm + gap) / column), 1, count);
    const int rows = (count + fit - 1) / fit;
    const int columns = (count + rows - 1) / rows;
    for (int i = 0; i < count; ++i) placement.entryOrigins.emplace_back((i % columns) * column, (i / columns) * rowHeight);
    placement.heightMm = rows * rowHeight;
    return placement;
}

void paintLegend(FigureCanvas& canvas, const std::vector<LegendEntry>& entries, const LegendPlacement& placement,
                 double left, double top, double points) {
    const double line = lineHeightMm(points);
    const double mark = markWidth(points);
    const FigureStyle& style = canvas.style();
    for (std::size_t i = 0; i < entries.size() && i < placement.entryOrigins.size(); ++i) {
        const LegendEntry& entry = entries[i];
        const double x = left + placement.entryOrigins[i].x();
        const double middle = top + placement.entryOrigins[i].y() + line / 2.0;
        const double swatch = 0.7 * line;
        switch (entry.mark) {
            case LegendMark::Swatch:
                canvas.fillRect(x, middle - swatch / 2.0, mark, swatch, toQColor(entry.colour));
                canvas.strokeRect(x, middle - swatch / 2.0, mark, swatch, toQColor(QuietInk), style.axisMm);
                break;
            case LegendMark::LineAndBand:
                canvas.fillRect(x, middle - swatch / 2.0, mark, swatch, bandColour(entry.colour));
                [[fallthrough]];
            case LegendMark::Line:
                canvas.line(x, middle, x + mark, middle, toQColor(entry.colour), style.curveMm);
                break;
        }
        canvas.text(x + mark + MarkGapEm * line, middle, QString::fromStdString(entry.label), points,
                    Qt::AlignLeft | Qt::AlignVCenter);
    }
}

double colourBarHeightMm(const FigureStyle& style) {
    return barHeight(style) + style.tickMm + lineHeightMm(style.tickPt) + lineHeightMm(style.labelPt);
}

void paintColourBar(FigureCanvas& canvas, const Axis& scale, double left, double top, double width) {
    const FigureStyle& style = canvas.style();
    const double height = barHeight(style);
    const double step = width / ColourBarSteps;
    for (int i = 0; i < ColourBarSteps; ++i) {
        // Overlapping a little: hairline gaps between the steps show in some viewers.
        canvas.fillRect(left + i * step, top, step * 1.05, height, toQColor(scaleColour((i + 0.5) / ColourBarSteps)));
    }
    canvas.strokeRect(left, top, width, height, toQColor(Ink), style.axisMm);
    const double span = scale.max - scale.min;
    const double tickEnd = top + height + style.tickMm;
    for (std::size_t i = 0; i < scale.ticks.size(); ++i) {
        const double x = left + (scale.ticks[i] - scale.min) / span * width;
        canvas.line(x, top + height, x, tickEnd, toQColor(Ink), style.axisMm);
        canvas.text(x, tickEnd, QString::fromStdString(scale.labels[i]), style.tickPt, Qt::AlignHCenter | Qt::AlignTop);
    }
    canvas.text(left + width / 2.0, tickEnd + lineHeightMm(style.tickPt), QString::fromStdString(scale.title),
                style.labelPt, Qt::AlignHCenter | Qt::AlignTop);
}

}  // namespace zorvex
