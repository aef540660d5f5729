#include "figures/Figures.h"

#include <QGuiApplication>
#include <exception>
#include <optional>

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

// Lays the asked figure out; the painter and page height it needs, or nothing after a message.
struct PaintPlan {
    double heightMm = 0.0;
    PaintFigure paint;
};

std::optional<PaintPlan> planGroups(const FigureRequest& request, const FigureStyle& style, Dialogs& dialogs) {
    auto source = loadFigureSource(request.acquisitionFolder, request.programFolder, dialogs);
    if (!source) return std::nullopt;
    auto tables = figureTables(*source, request.groups.binMinutes, dialogs);
    if (!tables) return std::nullopt;
    auto chart = layoutGroupFigure(*source, *tables, request.groups, dialogs);
    if (!chart) return std::nullopt;
    const double height = chartHeightMm(*chart, style);
    return PaintPlan{height, [chart = std::move(*chart), height](FigureCanvas& canvas) { paintChart(canvas, chart, height); }};
}

std::optional<PaintPlan> planPlate(const FigureRequest& request, const FigureStyle& style, Dialogs& dialogs) {
    auto source = loadFigureSource(request.acquisitionFolder, request.programFolder, dialogs);
    if (!source) return std::nullopt;
    auto tables = figureTables(*source, request.plate.binMinutes, dialogs);
    if (!tables) return std::nullopt;
    auto map = layoutPlateHeatMap(*source, *tables, request.plate, dialogs);
    if (!map) return std::nullopt;
    const double height = heatMapHeightMm(*map, style);
    return PaintPlan{height, [map = std::move(*map), height](FigureCanvas& canvas) { paintHeatMap(canvas, map, height); }};
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
    const double height = actogramHeightMm(*figure, style);
    return PaintPlan{height, [figure = std::move(*figure), height](FigureCanvas& canvas) { paintActogram(canvas, figure, height); }};
}

}  // namespace

FigureOutcome writeFigure(const FigureRequest& request) {
    if (!qobject_cast<QGuiApplication*>(QCoreApplication::instance())) {
        return {false, "Figures are drawn with Qt's painting: start a QGuiApplication (the offscreen platform will do)."};
    }
    if (!formatOfFile(request.output)) {
        return {false, "The figure file must end in .pdf, .svg or .png: " + request.output.string()};
    }
    CollectedMessages messages;
    const FigureStyle style = styleOf(request.page);
    try {
        std::optional<PaintPlan> plan;
        switch (request.kind) {
            case FigureKind::Groups: plan = planGroups(request, style, messages); break;
            case FigureKind::Plate: plan = planPlate(request, style, messages); break;
            case FigureKind::Actogram: plan = planActogram(request, style, messages); break;
        }
        if (!plan) return {false, messages.text()};
        if (auto failure = writeFigureFile(request.output, style.widthMm, plan->heightMm, style, plan->paint)) {
            messages.message(*failure, Buttons::Ok);
            return {false, messages.text()};
        }
    } catch (const std::exception& error) {
        messages.message(std::string("The figure could not be made: ") + error.what(), Buttons::Ok);
        return {false, messages.text()};
    }
    return {true, messages.text()};
}

}  // namespace zorvex
