#pragma once
// The figures of sleep and rhythm, laid out without painting: sleep minutes
// per hour of each group over time with the dark shaded, each group's sleep
// per light phase (a point per well and the mean), each group's mean
// periodogram with the threshold, and the plate coloured by period.

#include <filesystem>
#include <optional>

#include "behaviour/PeriodFiles.h"
#include "behaviour/SleepFiles.h"
#include "views/Chart.h"
#include "views/PlateHeatMap.h"

namespace zorvex {

/// The choices of the sleep and rhythm figures, as on the command line.
struct BehaviourFigureOptions {
    std::optional<int> inactiveMinutes;  ///< the organism's without one
    std::optional<ElapsedWindow> window;
    PeriodogramOptions periodogram;
};

/// Sleep over time (top) and per light phase (bottom) of each group, or of
/// all wells where no well is in a group.
ChartFigure layoutSleepFigure(const RhythmGrid& grid, const SleepResults& results);

/// Each group's mean periodogram with its SE and the threshold; nothing
/// when no well has a power.
std::optional<ChartFigure> layoutPeriodogramFigure(const RhythmGrid& grid, const PeriodResults& results);

/// The plate as it lies, each rhythmic well coloured by its period, the
/// arrhythmic ones pale, the groups outlined.
PlateHeatMapLayout layoutPeriodMap(const RhythmGrid& grid, const PeriodResults& results);

/// The sleep figure of an acquisition; nothing after a message when it cannot be analysed.
std::optional<ChartFigure> sleepFigureOf(const std::filesystem::path& acquisitionFolder,
                                         const std::filesystem::path& programFolder,
                                         const BehaviourFigureOptions& options, Dialogs& dialogs);

/// The periodogram figure of an acquisition; nothing after a message.
std::optional<ChartFigure> periodogramFigureOf(const std::filesystem::path& acquisitionFolder,
                                               const std::filesystem::path& programFolder,
                                               const BehaviourFigureOptions& options, Dialogs& dialogs);

/// The period map of an acquisition; nothing after a message.
std::optional<PlateHeatMapLayout> periodMapOf(const std::filesystem::path& acquisitionFolder,
                                              const std::filesystem::path& programFolder,
                                              const BehaviourFigureOptions& options, Dialogs& dialogs);

}  // namespace zorvex
