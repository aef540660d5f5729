#pragma once
// The one entry point the command line and the windows call: figure K of an
// acquisition folder, with its options, written to a PDF, SVG or PNG file.

#include <filesystem>
#include <string>

#include "figures/FigureCanvas.h"
#include "views/ActogramFigure.h"
#include "views/GroupFigure.h"
#include "views/PlateHeatMap.h"

namespace zorvex {

enum class FigureKind { Groups, Plate, Actogram };

struct FigureRequest {
    FigureKind kind = FigureKind::Groups;
    std::filesystem::path acquisitionFolder;
    std::filesystem::path programFolder;  ///< where the plate format files are
    std::filesystem::path output;         ///< .pdf, .svg or .png
    PageSize page = PageSize::Column;
    GroupFigureOptions groups;            ///< for FigureKind::Groups
    HeatMapOptions plate;                 ///< for FigureKind::Plate
    ActogramOptions actogram;             ///< for FigureKind::Actogram
};

struct FigureOutcome {
    bool written = false;
    /// Why nothing was written; for a written figure, what the reading said
    /// on the way (an incomplete last record, a missing side file), else empty.
    std::string message;
};

/// Reads the acquisition, lays the figure out and writes it. Never throws;
/// every failure comes back as a message. Needs a QGuiApplication (the
/// offscreen platform serves where there is no display).
FigureOutcome writeFigure(const FigureRequest& request);

}  // namespace zorvex
