#pragma once
// The group activity figure: one curve per group, the unrounded mean of its
// wells per bin of the exports' minute grid with a band of its standard
// error or deviation, over time from the start or zeitgeber time, the dark
// hours shaded; one panel for all groups, or one per group on shared axes.
// Bins not wholly recorded are left out, so that none reads as a fall.

#include <optional>
#include <vector>

#include "views/Chart.h"
#include "views/FigureSource.h"

namespace zorvex {

enum class ErrorBand { StandardError, StandardDeviation, None };

struct GroupFigureOptions {
    long long binMinutes = 60;           ///< as asked; adjusted as the report adjusts it
    ErrorBand error = ErrorBand::StandardError;
    std::optional<HourWindow> window;    ///< elapsed hours shown; all without one
    std::vector<int> groups;             ///< group numbers shown; every group with wells when empty
    bool smallMultiples = false;         ///< one panel per group
    bool zeitgeber = true;               ///< zeitgeber time where the light ran on daily hours
};

/// The figure of `source` on its minute grid `grid`; nothing, after a
/// message, when no asked group has wells or no wholly recorded bin with
/// records lies in the window.
std::optional<ChartFigure> layoutGroupFigure(const FigureSource& source, const RhythmGrid& grid,
                                             const GroupFigureOptions& options, Dialogs& dialogs);

}  // namespace zorvex
