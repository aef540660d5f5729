#pragma once
// A figure as asked for: which one, of which acquisition, with which options,
// for which page and into which file. Without Qt, so that the command line's
// options and the figure dialog's choices are turned into one in plain code.

#include <filesystem>

#include "views/ActogramFigure.h"
#include "views/BehaviourFigures.h"
#include "views/GroupFigure.h"
#include "views/PlateHeatMap.h"

namespace zorvex {

enum class FigureKind { Groups, Plate, Actogram, Sleep, Periodogram, PeriodMap };

/// Where a figure goes: a column of a printed page, or a presentation slide.
enum class PageSize { Column, Slide };

struct FigureRequest {
    FigureKind kind = FigureKind::Groups;
    std::filesystem::path acquisitionFolder;
    std::filesystem::path programFolder;  ///< where the plate format files are
    std::filesystem::path output;         ///< .pdf, .svg or .png
    PageSize page = PageSize::Column;
    GroupFigureOptions groups;            ///< for FigureKind::Groups
    HeatMapOptions plate;                 ///< for FigureKind::Plate
    ActogramOptions actogram;             ///< for FigureKind::Actogram
    BehaviourFigureOptions behaviour;     ///< for FigureKind::Sleep, Periodogram and PeriodMap
};

}  // namespace zorvex
