#include "figures/Figures.h"

#include <QGuiApplication>
#include <cmath>
#include <exception>
#include <optional>
#include <type_traits>

#include "figures/ActogramPainter.h"
#include "figures/ChartPainter.h"
#include "figures/FigureFile.h"
#include "figures/HeatMapPainter.h"

namespace zorvex {

namespace {

// Keeps what the readers and layouts would show in a message box, for the outcome.
class CollectedMessages : public Dialogs {
public:
    Answer message(const std::string& text, Buttons) override {
        text_ += (text_.empty() ? "" : "\n") + text;
        return Answer::Ok;
    }
    std::string input(const std::string&, const std::string&) override { return ""; }
    const std::string& text() const { return text_; }

private:
    std::string text_;
};

// A PDF page is a whole number of points: a height made to measure is one
// too, so that the PDF is not a fraction of a point shorter than the PNG.
double wholePointsMm(double millimetres) {
    constexpr double MmPerPoint = 25.4 / 72.0;
    return std::ceil(millimetres / MmPerPoint - 1e-9) * MmPerPoint;
}

// A laid-out figure: the style of its page, the height it needs and how to paint it.
struct PaintPlan {
    FigureStyle style;
    double heightMm = 0.0;
    PaintFigure paint;
};

template <typename Layout, typename Height, typename Paint>
PaintPlan planOf(Layout layout, const FigureStyle& asked, Height contentHeight, Paint paint) {
    FigureStyle style = asked;
    if constexpr (std::is_same_v<Layout, ChartFigure>) style = chartStyle(layout, asked);
    const double height = style.fixedHeightMm > 0.0 ? style.fixedHeightMm : wholePointsMm(contentHeight(layout, style));
    return {style, height, [layout = std::move(layout), paint](FigureCanvas& canvas) { paint(canvas, layout); }};
}

// The group figure and the heat map: both drawn from the minute grid at their bin size.
template <typename LayOut, typename Height, typename Paint>
std::optional<PaintPlan> planFromGrid(const FigureRequest& request, long long binMinutes, const FigureStyle& style,
                                      Dialogs& dialogs, LayOut layOut, Height contentHeight, Paint paint) {
    auto source = loadFigureSource(request.acquisitionFolder, request.programFolder, dialogs);
    if (!source) return std::nullopt;
    auto grid = figureGrid(*source, binMinutes, dialogs);
    if (!grid) return std::nullopt;
    auto layout = layOut(*source, *grid);
    if (!layout) return std::nullopt;
    return planOf(std::move(*layout), style, contentHeight, paint);
}

std::optional<PaintPlan> planActogram(const FigureRequest& request, const FigureStyle& style, Dialogs& dialogs) {
    auto grid = loadRhythmGrid(request.acquisitionFolder, request.programFolder, request.actogram.intervalMinutes, dialogs);
    if (!grid) return std::nullopt;
    if (grid->intervalCount() == 0) {
        dialogs.message("counts.bin holds no records: there is nothing to draw.");
        return std::nullopt;
    }
    auto figure = layoutActogramFigure(*grid, request.actogram, dialogs);
    if (!figure) return std::nullopt;
    return planOf(std::move(*figure), style, actogramHeightMm, paintActogram);
}

std::optional<PaintPlan> planFigure(const FigureRequest& request, const FigureStyle& style, Dialogs& dialogs) {
    switch (request.kind) {
        case FigureKind::Groups:
            return planFromGrid(
                request, request.groups.binMinutes, style, dialogs,
                [&](const FigureSource& source, const RhythmGrid& grid) {
                    return layoutGroupFigure(source, grid, request.groups, dialogs);
                },
                chartHeightMm, paintChart);
        case FigureKind::Plate:
            return planFromGrid(
                request, request.plate.binMinutes, style, dialogs,
                [&](const FigureSource& source, const RhythmGrid& grid) {
                    return layoutPlateHeatMap(source, grid, request.plate, dialogs);
                },
                heatMapHeightMm, paintHeatMap);
        case FigureKind::Actogram: return planActogram(request, style, dialogs);
        case FigureKind::Sleep:
            if (auto figure = sleepFigureOf(request.acquisitionFolder, request.programFolder, request.behaviour, dialogs)) {
                return planOf(std::move(*figure), style, chartHeightMm, paintChart);
            }
            return std::nullopt;
        case FigureKind::Periodogram:
            if (auto figure =
                    periodogramFigureOf(request.acquisitionFolder, request.programFolder, request.behaviour, dialogs)) {
                return planOf(std::move(*figure), style, chartHeightMm, paintChart);
            }
            return std::nullopt;
        case FigureKind::PeriodMap:
            if (auto map = periodMapOf(request.acquisitionFolder, request.programFolder, request.behaviour, dialogs)) {
                return planOf(std::move(*map), style, heatMapHeightMm, paintHeatMap);
            }
            return std::nullopt;
    }
    return std::nullopt;
}

// Lays the figure of `request` out and hands it to `draw`, which gives a
// failure's message or nothing; every failure on the way comes back as a message.
template <typename Draw>
FigureOutcome drawPlanned(const FigureRequest& request, Draw draw) {
    if (!qobject_cast<QGuiApplication*>(QCoreApplication::instance())) {
        return {false, "Figures are drawn with Qt's painting: start a QGuiApplication (the offscreen platform will do)."};
    }
    CollectedMessages messages;
    const FigureStyle style = styleOf(request.page);
    try {
        const std::optional<PaintPlan> plan = planFigure(request, style, messages);
        if (!plan) return {false, messages.text()};
        if (std::optional<std::string> failure = draw(*plan)) {
            messages.message(*failure, Buttons::Ok);
            return {false, messages.text()};
        }
    } catch (const std::exception& error) {
        messages.message(std::string("The figure could not be made: ") + error.what(), Buttons::Ok);
        return {false, messages.text()};
    }
    return {true, messages.text()};
}

}  // namespace

FigureOutcome writeFigure(const FigureRequest& request) {
    if (!formatOfFile(request.output)) {
        return {false, "The figure file must end in .pdf, .svg or .png: " + request.output.string()};
    }
    return drawPlanned(request, [&](const PaintPlan& plan) {
        return writeFigureFile(request.output, plan.style.widthMm, plan.heightMm, plan.style, plan.paint);
    });
}

FigurePreview previewFigure(const FigureRequest& request, double dotsPerInch) {
    FigurePreview preview;
    preview.outcome = drawPlanned(request, [&](const PaintPlan& plan) -> std::optional<std::string> {
        preview.image = paintFigureImage(plan.style.widthMm, plan.heightMm, plan.style, plan.paint, dotsPerInch);
        if (preview.image.isNull()) return "The figure is too large to show.";
        return std::nullopt;
    });
    return preview;
}

}  // namespace zorvex
