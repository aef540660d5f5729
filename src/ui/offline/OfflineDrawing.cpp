#include "ui/offline/OfflineDrawing.h"

#include <QFontMetrics>
#include <algorithm>
#include <cmath>

namespace zorvex {

namespace {

// The channel view's user coordinates: 500 x units per block, whatever the
// block's sample count, room for a whole page of slots; y in signal units.
constexpr double BlockWidth = 500.0;
constexpr double SignalLeft = -1000.0;
constexpr double SignalTop = 2150.0;
constexpr double SignalRight = BlockWidth * (SlotsPerPage + 1);
constexpr double SignalBottom = -150.0;
constexpr double LabelWidth = 1600.0;  ///< room kept for the last sample label at the data's end

const QColor BlockLine(200, 200, 200);
const QColor ThresholdGrey(128, 128, 128);
const QColor WellBar(190, 190, 190);
const QColor GroupBar(128, 128, 128);

// The actogram: x in minutes of a two-day line, y in pixels downwards.
const QColor DayDivider(90, 90, 90);
constexpr int ActogramLeftPixels = 64;
constexpr int ActogramRightPixels = 16;
constexpr int ActogramTopPixels = 6;
constexpr int SwatchPixels = 14;
// Lines no taller than this: a short recording stays an actogram, not a bar chart.
constexpr double MaxLinePixels = 60.0;
constexpr int HourTickHours = 6;

QColor colourOf(const WellBeam& beam, int maxBeam) {
    Rgb rgb = beamColour(beam.beam, maxBeam);
    return QColor(rgb.red, rgb.green, rgb.blue);
}

// Height of one text line in the surface's user units.
double lineHeight(const PlotSurface& surface) {
    const double pixels = QFontMetrics(surface.font()).height();
    return std::abs(surface.toUser(QPointF(0, pixels)).y() - surface.toUser(QPointF(0, 0)).y());
}

// Width of `text` in the surface's user units.
double textWidth(const PlotSurface& surface, const QString& text) {
    const double pixels = QFontMetrics(surface.font()).horizontalAdvance(text);
    return std::abs(surface.toUser(QPointF(pixels, 0)).x() - surface.toUser(QPointF(0, 0)).x());
}

void blockLine(PlotSurface& surface, int slot) {
    surface.line(BlockWidth * slot, SignalTop, BlockWidth * slot, 0, BlockLine);
}

// The x of sample `i` of slot `slot` when a block holds `samples` samples.
double sampleX(int slot, double i, int samples) { return BlockWidth * (slot + i / samples); }

// Light and dark swatches at the right end of the caption line.
void drawShadeLegend(PlotSurface& surface, double top, double minutesPerPixel) {
    const QFontMetrics metrics(surface.font());
    const double height = lineHeight(surface);
    double x = ActogramLineMinutes;
    for (const auto& [name, colour] : {std::pair{"dark", ActogramDarkShade}, std::pair{"light", ActogramLightShade}}) {
        x -= metrics.horizontalAdvance(name) * minutesPerPixel;
        surface.text(x, top, name, Qt::black);
        x -= (SwatchPixels + 4) * minutesPerPixel;
        surface.filledBox(x, top + 2, x + SwatchPixels * minutesPerPixel, top + height - 2, colour);
        surface.box(x, top + 2, x + SwatchPixels * minutesPerPixel, top + height - 2, Qt::black);
        x -= 12 * minutesPerPixel;
    }
}

// One actogram between the pixel rows `top` and `bottom`.
void drawActogram(PlotSurface& surface, const ActogramPanel& panel, double top, double bottom, double minutesPerPixel) {
    const double text = lineHeight(surface);
    const double labelX = -(ActogramLeftPixels - 6) * minutesPerPixel;
    surface.text(labelX, top, panel.caption, Qt::black);
    drawShadeLegend(surface, top, minutesPerPixel);
    const ActogramLayout& layout = panel.layout;
    const double linesTop = top + 1.5 * text;
    if (layout.lineCount == 0) {
        surface.text(0, linesTop, "No records", Qt::black);
        return;
    }
    const double lineStep = std::min(MaxLinePixels, (bottom - linesTop - 2.0 * text) / layout.lineCount);
    const double gap = std::clamp(lineStep / 8.0, 1.0, 4.0);
    auto lineBottom = [&](int line) { return linesTop + (line + 1) * lineStep; };
    for (const ActogramShade& shade : layout.shades) {
        surface.filledBox(shade.fromMinute, lineBottom(shade.line) - lineStep + gap, shade.toMinute,
                          lineBottom(shade.line), shade.light ? ActogramLightShade : ActogramDarkShade);
    }
    const double barRoom = lineStep - gap - 1.0;
    for (const ActogramBar& bar : layout.bars) {
        surface.filledBox(bar.fromMinute, lineBottom(bar.line), bar.toMinute, lineBottom(bar.line) - bar.height * barRoom,
                          Qt::black);
    }
    // Long recordings squeeze the lines below a text's height: date only every few.
    const int labelEvery = std::max(1, static_cast<int>(std::ceil(text / lineStep)));
    for (int line = 0; line < layout.lineCount; ++line) {
        surface.line(0, lineBottom(line), ActogramLineMinutes, lineBottom(line), Qt::black);
        if (line % labelEvery != 0) continue;
        surface.text(labelX, lineBottom(line) - (lineStep + text) / 2,
                     QString::fromStdString(layout.dayLabels[static_cast<std::size_t>(line)]), Qt::black);
    }
    const double linesBottom = lineBottom(layout.lineCount - 1);
    surface.line(MinutesPerDay, linesTop, MinutesPerDay, linesBottom, DayDivider);
    const QFontMetrics metrics(surface.font());
    for (int hour = 0; hour * 60 <= ActogramLineMinutes; hour += HourTickHours) {
        const double x = hour * 60.0;
        surface.line(x, linesBottom, x, linesBottom + 4, Qt::black);
        const QString label = QString::number(hour);
        surface.text(x - metrics.horizontalAdvance(label) * minutesPerPixel / 2, linesBottom + 4, label, Qt::black);
    }
    surface.text(labelX, linesBottom + 4, "Time[h]", Qt::black);
}

}  // namespace

void drawGroupActivity(PlotSurface& surface, const GroupActivity& activity, const QString& wellLabel,
                       const QString& groupLabel) {
    const double y = activity.scale;
    surface.setScale(0, 2.05 * y, 120, -0.135 * y);
    surface.clear();
    for (int k = 1; k <= activity.shownBins; ++k) {
        const double x = 10.0 * k;
        const double well = activity.well[static_cast<std::size_t>(k)];
        const double group = activity.group[static_cast<std::size_t>(k)];
        surface.filledBox(x + 1, 0, x + 9, well, WellBar);
        surface.box(x + 1, 0, x + 9, well, Qt::black);
        surface.filledBox(x, y - 2, x + 9, y, Qt::white);
        surface.filledBox(x + 1, y, x + 9, y + group, GroupBar);
        surface.box(x + 1, y, x + 9, y + group, Qt::black);
        surface.filledBox(10, 2 * y - 2, 120, 2 * y, Qt::white);
        surface.text(x + 3, -2, QString::number(30 * k), Qt::black);
        surface.text(x + 3, y / 3, QString::number(well), Qt::black);
        surface.text(x + 3, y + y / 3, QString::number(group), Qt::black);
    }
    const double line = lineHeight(surface);
    surface.line(10, 0, 120, 0, Qt::black);
    surface.line(10, y, 120, y, Qt::black);
    surface.text(1, -2, "Time[min]", Qt::black);
    surface.text(1, y * 0.75, "Well", Qt::black);
    surface.text(1, y * 0.75 - line, wellLabel, Qt::black);
    surface.text(1, y * 1.75, "Group", Qt::black);
    surface.text(1, y * 1.75 - line, groupLabel, Qt::black);
    surface.text(0, line, "0", Qt::black);
}

void drawChannelSignal(PlotSurface& surface, const PageBuffer& page, int pageNumber, const std::vector<WellBeam>& beams,
                       int maxBeam) {
    surface.setScale(SignalLeft, SignalTop, SignalRight, SignalBottom);
    surface.clear();
    const int loaded = page.allocated() ? page.loadedSlots() : 0;
    const int samples = page.samplesPerBlock();
    const double dataEnd = BlockWidth * std::max(loaded, 1);
    surface.line(0, SignalTop, 0, 0, Qt::black);
    surface.line(0, 0, dataEnd, 0, Qt::black);
    const PageLabels labels = pageLabels(pageNumber, loaded, samples);
    surface.text(SignalLeft, SignalTop, "100%", Qt::black);
    surface.text(SignalLeft, 100, "  0%", Qt::black);
    const QString first = QString::fromStdString(labels.first);
    const QString last = QString::fromStdString(labels.last);
    const double lastX = std::max(dataEnd - LabelWidth, LabelWidth);
    surface.text(0, -30, first, Qt::black);
    surface.text(lastX, -30, last, Qt::black);
    // The unit goes midway between the two numbers, and only where it fits between them.
    const QString unit = "[sample]";
    const double firstEnd = textWidth(surface, first);
    const double unitWidth = textWidth(surface, unit);
    const double gap = lastX - firstEnd;
    if (gap > unitWidth * 1.2) surface.text(firstEnd + (gap - unitWidth) / 2, -25, unit, Qt::black);

    std::vector<QPointF> points(static_cast<std::size_t>(samples));
    for (int slot = 0; slot < loaded; ++slot) {
        for (const WellBeam& beam : beams) {
            const std::int16_t* values = page.samples(beam.channel, slot);
            for (int i = 0; i < samples; ++i) points[static_cast<std::size_t>(i)] = QPointF(sampleX(slot, i, samples), values[i]);
            surface.polyline(points, colourOf(beam, maxBeam));
        }
        blockLine(surface, slot);
    }
}

void drawReanalysis(PlotSurface& surface, const PageReanalysis& reanalysis, const std::vector<WellBeam>& beams,
                    int maxBeam, int samplesPerBlock) {
    // In the left margin below the "100%" label, clear of the block lines.
    surface.text(SignalLeft, SignalTop - lineHeight(surface), "Time(min)", Qt::black);
    for (const WellBeam& beam : beams) {
        surface.filledBox(100, 100 * beam.beam + 20, 598, 100 * beam.beam + 40, colourOf(beam, maxBeam));
    }
    std::vector<QPointF> points;
    for (std::size_t slot = 0; slot < reanalysis.thresholds.size(); ++slot) {
        const auto& traces = reanalysis.thresholds[slot];
        for (const auto& trace : traces) {
            if (!trace) continue;
            points.clear();
            for (std::size_t i = 0; i < trace->size(); ++i) {
                points.emplace_back(sampleX(static_cast<int>(slot), static_cast<double>(i), samplesPerBlock), (*trace)[i]);
            }
            surface.polyline(points, ThresholdGrey);
        }
        blockLine(surface, static_cast<int>(slot));
    }
    for (const auto& end : reanalysis.fileEnds) {
        const double x = BlockWidth * (end.slot - 1.0);
        if (end.minute) surface.text(x, SignalTop, QString::number(*end.minute), Qt::black);
        for (std::size_t i = 0; i < beams.size() && i < end.counts.size(); ++i) {
            surface.text(x, 100 * beams[i].beam + 100, QString::number(end.counts[i]), colourOf(beams[i], maxBeam));
        }
    }
}

void drawActograms(PlotSurface& surface, const std::vector<ActogramPanel>& panels) {
    const double width = std::max(surface.width() - ActogramLeftPixels - ActogramRightPixels, 1);
    const double minutesPerPixel = ActogramLineMinutes / width;
    surface.setScale(-ActogramLeftPixels * minutesPerPixel, 0, ActogramLineMinutes + ActogramRightPixels * minutesPerPixel,
                     surface.height());
    surface.clear();
    if (panels.empty()) return;
    const double share = static_cast<double>(surface.height() - ActogramTopPixels) / static_cast<double>(panels.size());
    for (std::size_t i = 0; i < panels.size(); ++i) {
        const double top = ActogramTopPixels + share * static_cast<double>(i);
        drawActogram(surface, panels[i], top, top + share, minutesPerPixel);
    }
}

void drawProgress(PlotSurface& status, double fraction) {
    status.filledBox(0, 0, std::clamp(fraction, 0.0, 1.0) * 100.0, 100, Qt::blue);
    status.repaint();
}

void clearProgress(PlotSurface& status) {
    status.setScale(0, 0, 100, 100);
    status.clear();
}

}  // namespace zorvex
