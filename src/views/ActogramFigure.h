#pragma once
// The actogram as a figure: the offline window's double plot of one well (with
// its group's mean below it, as the window shows them), of a group's mean, or
// of every group on one page, each panel with its caption.

#include <optional>
#include <string>
#include <vector>

#include "views/ActogramLayout.h"

namespace zorvex {

enum class ActogramSubject { Well, WellAndGroup, Group, AllGroups };

struct ActogramOptions {
    ActogramSubject subject = ActogramSubject::AllGroups;
    std::string well;  ///< "B3", for the well subjects
    int group = 0;     ///< for ActogramSubject::Group
    int intervalMinutes = ActogramIntervalMinutes;
};

struct ActogramPanelLayout {
    std::string caption;
    ActogramLayout layout;
};

struct ActogramFigureLayout {
    std::vector<ActogramPanelLayout> panels;
    std::string note;  ///< what a full bar and the shading mean
};

/// The panels of `options`' subject over `grid`; nothing, after a message,
/// for a well that is not a measured well of the plate, a group without
/// wells, or a plate without groups.
std::optional<ActogramFigureLayout> layoutActogramFigure(const RhythmGrid& grid, const ActogramOptions& options,
                                                         Dialogs& dialogs);

}  // namespace zorvex
