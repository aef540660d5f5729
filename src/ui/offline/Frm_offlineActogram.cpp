// The actogram view of the offline window: the selected well's activity and
// its group's mean, double-plotted over the acquisition's light and dark.

#include "common/Text.h"
#include "views/ActogramLayout.h"
#include "ui/offline/Frm_offline.h"
#include "ui/offline/OfflineDrawing.h"

namespace zorvex {

namespace {

QString fullBarText(const ActogramLayout& layout) {
    if (layout.largestValue <= 0.0) return "   (no activity)";
    return QString("   (full bar: %1 crossings per well / %2 min)").arg(layout.largestValue, 0, 'g', 4).arg(ActogramIntervalMinutes);
}

}  // namespace

const RhythmGrid* Frm_offline::actogramGrid() {
    // Read once per opened acquisition, failure included: a redraw on resize
    // must not repeat the loader's message.
    if (actogramFolder_ != acquisitionPath_) {
        actogramFolder_ = acquisitionPath_;
        actogramGrid_ = loadRhythmGrid(acquisitionPath_, programFolder_, ActogramIntervalMinutes, dialogs_);
    }
    return actogramGrid_ ? &*actogramGrid_ : nullptr;
}

void Frm_offline::showActogram() {
    setViewCaptions(ViewMode::Actogram);
    const RhythmGrid* grid = actogramGrid();
    if (!grid) {
        Picreal->clear();
        return;
    }
    const int well = selectedWell();
    const std::optional<GroupMeanActivity> group = groupMeanActivity(*grid, well);
    std::vector<ActogramPanel> panels;
    ActogramLayout wellLayout = layoutActogram(*grid, wellActivity(*grid, well));
    QString wellCaption = "Well " + selectedWellLabel() + fullBarText(wellLayout);
    if (!group) wellCaption += "   - in no group: no group mean";
    panels.push_back({wellCaption, std::move(wellLayout)});
    if (group) {
        ActogramLayout groupLayout = layoutActogram(*grid, group->values);
        const auto& names = grid->plate.groups.Name;
        const std::string name = group->group < static_cast<int>(names.size()) ? names[static_cast<std::size_t>(group->group)] : "";
        const QString groupCaption = QString("Group %1_%2: mean of %3 wells")
                                         .arg(QString::fromStdString(formatDigits(group->group, 3)))
                                         .arg(QString::fromStdString(name))
                                         .arg(group->wellCount) +
                                     fullBarText(groupLayout);
        panels.push_back({groupCaption, std::move(groupLayout)});
    }
    drawActograms(*Picreal, panels);
}

}  // namespace zorvex
