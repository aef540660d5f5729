#pragma once
// The figures of a screen written through the figure renderer: the
// dose-response curves, the percent-of-control curves and the plate heat
// map with the controls outlined, as PDF, SVG or PNG beside the result files.

#include <QImage>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "figures/FigureCanvas.h"
#include "figures/FigureFile.h"
#include "screening/ScreenFolder.h"
#include "views/Chart.h"

namespace zorvex {

/// Where and how the figures of a screen go.
struct ScreeningFigureRequest {
    std::filesystem::path acquisitionFolder;
    std::filesystem::path programFolder;
    std::filesystem::path outFolder;  ///< the folder of the result files
    FileFormat format = FileFormat::Pdf;
    PageSize page = PageSize::Column;
    double windowStartHours = 0;
    double windowEndHours = 0;
};

/// The figures written and what the operator should read about those that were not.
struct ScreeningFiguresOutcome {
    std::vector<std::filesystem::path> files;
    std::vector<std::string> messages;
};

/// The request of the figures of a screen into the folder its result files went to.
ScreeningFigureRequest figureRequestOf(const ScreeningRequest& request, FileFormat format);

/// Writes dose_response, percent_of_control and plate_map (with the
/// format's extension) for a screen's results; a figure without data is
/// left out with a message. Never throws; needs a QGuiApplication.
ScreeningFiguresOutcome writeScreeningFigures(const ScreeningFigureRequest& request, const ScreeningPlate& plate,
                                              const ScreeningResults& results);

/// The dose-response figure as an image `widthPixels` wide for a window;
/// a null image when no compound has curves to draw.
QImage doseResponseImage(const ScreeningResults& results, double windowStartHours, double windowEndHours,
                         int widthPixels);

/// The extension of a format: ".pdf", ".svg" or ".png".
std::string extensionOf(FileFormat format);

}  // namespace zorvex
