#include "views/ActogramFigure.h"

#include <set>

#include "common/Numbers.h"
#include "common/Text.h"
#include "views/FigureSource.h"

namespace zorvex {

namespace {

// "full bar 123 crossings per well": each panel is scaled to its own largest interval.
std::string fullBar(const ActogramLayout& layout) {
    if (layout.largestValue <= 0.0) return "no activity";
    return "full bar " + formatShortest(roundHalfEven(layout.largestValue * 10.0) / 10.0) + " crossings per well";
}

ActogramPanelLayout groupPanel(const RhythmGrid& grid, const GroupMeanActivity& mean) {
    ActogramLayout layout = layoutActogram(grid, mean.values);
    std::string caption = groupName(grid.plate, mean.group) + ": mean of " + std::to_string(mean.wellCount) +
                          (mean.wellCount == 1 ? " well" : " wells") + ", " + fullBar(layout);
    return {std::move(caption), std::move(layout)};
}

ActogramPanelLayout wellPanel(const RhythmGrid& grid, int well) {
    ActogramLayout layout = layoutActogram(grid, wellActivity(grid, well));
    const int group = grid.groupOfWell(well);
    std::string caption = "Well " + wellName(grid.plate.plate, well) + " (" +
                          (group < 0 ? std::string("no group") : groupName(grid.plate, group)) + "), " + fullBar(layout);
    return {std::move(caption), std::move(layout)};
}

}  // namespace

std::optional<ActogramFigureLayout> layoutActogramFigure(const RhythmGrid& grid, const ActogramOptions& options,
                                                         Dialogs& dialogs) {
    ActogramFigureLayout figure;
    figure.note = "Each line shows two days, the second repeated on the next line; crossings per well per " +
                  std::to_string(grid.intervalMinutes) + " min; grey: dark, yellow: light";
    switch (options.subject) {
        case ActogramSubject::Well:
        case ActogramSubject::WellAndGroup: {
            const std::optional<int> well = wellOfName(grid.plate.plate, options.well);
            if (!well || *well >= grid.wellCount() || grid.plate.beamZeroChannel(*well) < 0) {
                dialogs.message(options.well.empty() ? std::string("Name the well of the actogram, such as B3.")
                                                     : "Well " + options.well + " is not a measured well of the plate.");
                return std::nullopt;
            }
            figure.panels.push_back(wellPanel(grid, *well));
            if (options.subject != ActogramSubject::WellAndGroup) break;
            if (const auto mean = groupMeanActivity(grid, *well)) figure.panels.push_back(groupPanel(grid, *mean));
            break;
        }
        case ActogramSubject::Group: {
            const auto mean = groupMeanOf(grid, options.group);
            if (!mean) {
                dialogs.message("Group " + std::to_string(options.group) + " has no wells in this acquisition.");
                return std::nullopt;
            }
            figure.panels.push_back(groupPanel(grid, *mean));
            break;
        }
        case ActogramSubject::AllGroups: {
            std::set<int> groups;
            for (int well = 0; well < grid.wellCount(); ++well) {
                if (grid.groupOfWell(well) >= 0) groups.insert(grid.groupOfWell(well));
            }
            if (groups.empty()) {
                dialogs.message("No well of the acquisition is in a group: there is no group actogram to draw.");
                return std::nullopt;
            }
            for (int group : groups) figure.panels.push_back(groupPanel(grid, *groupMeanOf(grid, group)));
            break;
        }
    }
    return figure;
}

}  // namespace zorvex
