#include "views/ActogramFigure.h"

#include <set>

#include "common/Numbers.h"
#include "common/Text.h"
#include "views/FigureSource.h"

namespace zorvex {

namespace {

// "full bar 123 counts": each panel is scaled to its own largest interval.
std::string fullBar(const ActogramLayout& layout) {
    if (layout.largestValue <= 0.0) return "no activity";
    return "full bar " + formatShortest(roundHalfEven(layout.largestValue * 10.0) / 10.0) + " counts";
}

ActogramPanelLayout groupPanel(const RhythmGrid& grid, const GroupMeanActivity& mean) {
    ActogramLayout layout = layoutActogram(grid, mean.values);
    std::string caption = groupName(grid.plate, mean.group) + ": mean of " + std::to_string(mean.wellCount) +
                          (mean.wellCount == 1 ? " well" : " wells") + ", " + fullBar(layout);
    return {std::move(caption), std::move(layout)};
}

}  // namespace

std::optional<ActogramFigureLayout> layoutActogramFigure(const RhythmGrid& grid, const ActogramOptions& options,
                                                         Dialogs& dialogs) {
    ActogramFigureLayout figure;
    figure.note = "Each line shows two days, the second repeated on the next line; counts per " +
                  std::to_string(grid.intervalMinutes) + " min; grey: dark, yellow: light";
    switch (options.subject) {
        case ActogramSubject::Well: {
            if (options.well < 0 || options.well >= grid.wellCount() || grid.plate.beamZeroChannel(options.well) < 0) {
                dialogs.message("The well is not a measured well of the plate.");
                return std::nullopt;
            }
            ActogramLayout layout = layoutActogram(grid, wellActivity(grid, options.well));
            std::string caption = "Well " + wellName(grid.plate.plate, options.well);
            const int group = grid.groupOfWell(options.well);
            caption += " (" + (group < 0 ? std::string("no group") : groupName(grid.plate, group)) + "), " + fullBar(layout);
            figure.panels.push_back({std::move(caption), std::move(layout)});
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
