#include "figures/ActogramPainter.h"

#include <algorithm>

#include "figures/Legend.h"

namespace zorvex {

namespace {

// Height of one day line on a column figure: tall enough to read a bar,
// low enough that a week fits.
constexpr double MaxLineMm = 5.0;
constexpr double MinLineMm = 2.0;
constexpr double PanelLinesMm = 40.0;
constexpr int HourTickHours = 6;
constexpr double BarRoom = 0.85;  // of a line's height

struct ActogramFrame {
    double left = 0.0;
    double right = 0.0;
    double lineMm = 0.0;
    double captionMm = 0.0;
    double hoursMm = 0.0;  // ticks and their labels under each panel
    LegendPlacement legend;
    std::vector<LegendEntry> legendEntries;
    double noteMm = 0.0;
};

int totalLines(const ActogramFigureLayout& figure) {
    int lines = 0;
    for (const auto& panel : figure.panels) lines += std::max(panel.layout.lineCount, 1);
    return lines;
}

ActogramFrame frameOf(const ActogramFigureLayout& figure, const FigureStyle& style, double pageHeightMm) {
    ActogramFrame frame;
    const double tickText = lineHeightMm(style.tickPt);
    frame.left = style.marginMm + textWidthMm("00/00", style.tickPt) + 0.5 * tickText;
    frame.right = style.widthMm - style.marginMm - textWidthMm("48", style.tickPt) / 2.0;
    frame.captionMm = 1.3 * lineHeightMm(style.labelPt);
    frame.hoursMm = style.tickMm + 1.4 * tickText;
    frame.legendEntries = {{"Light", LightShade, LegendMark::Swatch}, {"Dark", DarkShade, LegendMark::Swatch}};
    frame.legend = placeLegend(frame.legendEntries, style.widthMm - 2.0 * style.marginMm, style.labelPt);
    frame.noteMm = paragraphHeightMm(figure.note, style.widthMm - 2.0 * style.marginMm, style.notePt);
    const int panels = std::max<int>(1, static_cast<int>(figure.panels.size()));
    const double fixed = 2.0 * style.marginMm + panels * (frame.captionMm + frame.hoursMm) + 1.2 * lineHeightMm(style.labelPt) +
                         frame.legend.heightMm + frame.noteMm;
    const int lines = std::max(totalLines(figure), 1);
    if (pageHeightMm > 0.0) {
        frame.lineMm = std::max((pageHeightMm - fixed) / lines, 0.5);
    } else {
        frame.lineMm = std::clamp(PanelLinesMm * panels / lines, MinLineMm, MaxLineMm);
    }
    return frame;
}

double heightOf(const ActogramFrame& frame, const ActogramFigureLayout& figure, const FigureStyle& style) {
    const int panels = std::max<int>(1, static_cast<int>(figure.panels.size()));
    return 2.0 * style.marginMm + panels * (frame.captionMm + frame.hoursMm) + 1.2 * lineHeightMm(style.labelPt) +
           frame.legend.heightMm + frame.noteMm + totalLines(figure) * frame.lineMm;
}

// One panel from `top`; gives the height it took.
double paintPanel(FigureCanvas& canvas, const ActogramFrame& frame, const ActogramPanelLayout& panel, double top) {
    const FigureStyle& style = canvas.style();
    const ActogramLayout& layout = panel.layout;
    const double width = frame.right - frame.left;
    auto pageX = [&](double minute) { return frame.left + minute / ActogramLineMinutes * width; };
    // From the page's margin, and set smaller rather than cut at the page's edge.
    const QString caption = QString::fromStdString(panel.caption);
    const double room = style.widthMm - 2.0 * style.marginMm;
    const double captionPt = std::min(style.labelPt, style.labelPt * room / textWidthMm(caption, style.labelPt));
    canvas.text(style.marginMm, top, caption, captionPt, Qt::AlignLeft | Qt::AlignTop);
    const double linesTop = top + frame.captionMm;
    const int lines = std::max(layout.lineCount, 1);
    auto lineBottom = [&](int line) { return linesTop + (line + 1) * frame.lineMm; };
    const double gap = (1.0 - BarRoom) * frame.lineMm;
    std::vector<QRectF> lit, dark, bars;
    for (const ActogramShade& shade : layout.shades) {
        (shade.light ? lit : dark).emplace_back(pageX(shade.fromMinute), lineBottom(shade.line) - frame.lineMm + gap,
                                                pageX(shade.toMinute) - pageX(shade.fromMinute), frame.lineMm - gap);
    }
    for (const ActogramBar& bar : layout.bars) {
        const double height = bar.height * (frame.lineMm - gap);
        bars.emplace_back(pageX(bar.fromMinute), lineBottom(bar.line) - height, pageX(bar.toMinute) - pageX(bar.fromMinute),
                          height);
    }
    canvas.fillRects(lit, toQColor(LightShade));
    canvas.fillRects(dark, toQColor(DarkShade));
    canvas.fillRects(bars, toQColor(Ink));
    // Dates only every few lines when the lines are lower than their text.
    const int labelEvery = std::max(1, static_cast<int>(std::ceil(lineHeightMm(style.tickPt) / frame.lineMm)));
    for (int line = 0; line < layout.lineCount; ++line) {
        canvas.line(frame.left, lineBottom(line), frame.right, lineBottom(line), toQColor(QuietInk), style.axisMm);
        if (line % labelEvery != 0) continue;
        canvas.text(frame.left - 0.4 * lineHeightMm(style.tickPt), lineBottom(line) - frame.lineMm / 2.0,
                    QString::fromStdString(layout.dayLabels[static_cast<std::size_t>(line)]), style.tickPt,
                    Qt::AlignRight | Qt::AlignVCenter);
    }
    if (layout.lineCount == 0) {
        canvas.text(frame.left, linesTop + frame.lineMm / 2.0, "No records", style.tickPt, Qt::AlignLeft | Qt::AlignVCenter);
    }
    const double bottom = lineBottom(lines - 1);
    canvas.line(pageX(MinutesPerDay), linesTop, pageX(MinutesPerDay), bottom, toQColor(QuietInk), style.axisMm);
    for (int hour = 0; hour * 60 <= ActogramLineMinutes; hour += HourTickHours) {
        const double x = pageX(hour * 60.0);
        canvas.line(x, bottom, x, bottom + style.tickMm, toQColor(Ink), style.axisMm);
        canvas.text(x, bottom + style.tickMm, QString::number(hour % 24), style.tickPt, Qt::AlignHCenter | Qt::AlignTop);
    }
    return frame.captionMm + lines * frame.lineMm + frame.hoursMm;
}

}  // namespace

double actogramHeightMm(const ActogramFigureLayout& figure, const FigureStyle& style) {
    return heightOf(frameOf(figure, style, 0.0), figure, style);
}

void paintActogram(FigureCanvas& canvas, const ActogramFigureLayout& figure) {
    const FigureStyle& style = canvas.style();
    const ActogramFrame frame = frameOf(figure, style, style.fixedHeightMm);
    double top = style.marginMm;
    for (const ActogramPanelLayout& panel : figure.panels) top += paintPanel(canvas, frame, panel, top);
    canvas.text((frame.left + frame.right) / 2.0, top - 0.2 * lineHeightMm(style.tickPt), "Time of day (h)", style.labelPt,
                Qt::AlignHCenter | Qt::AlignTop);
    top += 1.2 * lineHeightMm(style.labelPt);
    paintLegend(canvas, frame.legendEntries, frame.legend, style.marginMm, top, style.labelPt);
    canvas.paragraph(style.marginMm, top + frame.legend.heightMm, figure.note, style.widthMm - 2.0 * style.marginMm, style.notePt, toQColor(QuietInk));
}

}  // namespace zorvex
