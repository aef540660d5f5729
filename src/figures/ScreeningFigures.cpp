#include "figures/ScreeningFigures.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <exception>
#include <type_traits>

#include "figures/ChartPainter.h"
#include "figures/HeatMapPainter.h"
#include "views/ScreeningFigures.h"

namespace zorvex {

namespace {

constexpr double MmPerInch = 25.4;

template <typename Layout, typename Height, typename Paint>
void writeOne(const std::filesystem::path& file, const Layout& layout, const FigureStyle& asked, Height contentHeight,
              Paint paint, ScreeningFiguresOutcome& outcome) {
    FigureStyle style = asked;
    if constexpr (std::is_same_v<Layout, ChartFigure>) style = chartStyle(layout, asked);
    const double height = style.fixedHeightMm > 0.0 ? style.fixedHeightMm : contentHeight(layout, style);
    const auto failure =
        writeFigureFile(file, style.widthMm, height, style, [&](FigureCanvas& canvas) { paint(canvas, layout); });
    if (failure) {
        outcome.messages.push_back(*failure);
    } else {
        outcome.files.push_back(file);
    }
}

HourWindow windowOf(double fromHours, double toHours) { return {fromHours, toHours}; }

void writeAll(const ScreeningFigureRequest& request, const ScreeningPlate& plate, const ScreeningResults& results,
              ScreeningFiguresOutcome& outcome) {
    const FigureStyle style = styleOf(request.page);
    const std::string extension = extensionOf(request.format);
    const HourWindow window = windowOf(request.windowStartHours, request.windowEndHours);
    if (auto curves = layoutDoseResponse(results, window)) {
        writeOne(request.outFolder / ("dose_response" + extension), *curves, style, chartHeightMm, paintChart, outcome);
    } else {
        outcome.messages.push_back("No compound has wells with a concentration above 0: there is no dose-response "
                                   "figure.");
    }
    MessageList dialogs(outcome.messages);
    const auto source = loadFigureSource(request.acquisitionFolder, request.programFolder, dialogs);
    if (!source) return;
    if (auto percent = layoutPercentOfControl(*source, plate, results)) {
        writeOne(request.outFolder / ("percent_of_control" + extension), *percent, style, chartHeightMm, paintChart,
                 outcome);
    } else {
        outcome.messages.push_back("No bin has a negative control with activity: there is no percent-of-control "
                                   "figure.");
    }
    const PlateHeatMapLayout map = layoutScreeningHeatMap(source->plate, plate, results, window);
    writeOne(request.outFolder / ("plate_map" + extension), map, style, heatMapHeightMm, paintHeatMap, outcome);
}

}  // namespace

std::string extensionOf(FileFormat format) {
    switch (format) {
        case FileFormat::Pdf: return ".pdf";
        case FileFormat::Svg: return ".svg";
        case FileFormat::Png: return ".png";
    }
    return ".pdf";
}

ScreeningFigureRequest figureRequestOf(const ScreeningRequest& request, FileFormat format) {
    ScreeningFigureRequest figures;
    figures.acquisitionFolder = request.acquisitionFolder;
    figures.programFolder = request.programFolder;
    figures.outFolder = request.outFolder.empty() ? screeningFolder(request.acquisitionFolder) : request.outFolder;
    figures.format = format;
    figures.windowStartHours = request.windowStartHours;
    figures.windowEndHours = request.windowEndHours;
    return figures;
}

ScreeningFiguresOutcome writeScreeningFigures(const ScreeningFigureRequest& request, const ScreeningPlate& plate,
                                              const ScreeningResults& results) {
    ScreeningFiguresOutcome outcome;
    if (!qobject_cast<QGuiApplication*>(QCoreApplication::instance())) {
        outcome.messages.push_back("Figures are drawn with Qt's painting: start a QGuiApplication (the offscreen "
                                   "platform will do).");
        return outcome;
    }
    try {
        writeAll(request, plate, results, outcome);
    } catch (const std::exception& error) {
        outcome.messages.push_back(std::string("The figures could not be made: ") + error.what());
    }
    return outcome;
}

QImage doseResponseImage(const ScreeningResults& results, double windowStartHours, double windowEndHours,
                         int widthPixels) {
    const auto curves = layoutDoseResponse(results, windowOf(windowStartHours, windowEndHours));
    if (!curves || widthPixels <= 0) return {};
    const FigureStyle style = styleOf(PageSize::Slide);
    return paintFigureImage(style.widthMm, style.fixedHeightMm, style,
                            [&](FigureCanvas& canvas) { paintChart(canvas, *curves); },
                            widthPixels / (style.widthMm / MmPerInch));
}

}  // namespace zorvex
