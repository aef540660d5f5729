// Figures of the offline window's views: the right-click menu saves the group
// view as the group activity figure of the group it shows, and the actogram
// view as the actogram of the chosen well and its group's mean.

#include <QStatusBar>

#include "store/PlateFormat.h"
#include "ui/offline/Frm_offline.h"
#include "views/FigureChoices.h"
#include "views/GroupActivity.h"

namespace zorvex {

void Frm_offline::addFigureEntry() {
    figureexporta = mnexporta->addAction("Save figure as PDF/SVG/PNG...");
    figureexporta->setObjectName("figureexporta");
    // The raw signal is no figure of the acquisition: the entry waits for the other two views.
    connect(mnexporta, &QMenu::aboutToShow, this, [this] {
        figureexporta->setEnabled(!acquisitionPath_.empty() && viewMode_ != ViewMode::ChannelSignal);
    });
    connect(figureexporta, &QAction::triggered, this, &Frm_offline::saveFigure);
}

void Frm_offline::saveFigure() {
    if (acquisitionPath_.empty() || viewMode_ == ViewMode::ChannelSignal) return;
    FigureChoices chosen;
    if (viewMode_ == ViewMode::Actogram) {
        chosen.kind = FigureKind::Actogram;
        chosen.subject = ActogramSubject::WellAndGroup;
        chosen.well = wellName(config_.plate, selectedWell());
    } else {
        chosen.kind = FigureKind::Groups;
        chosen.binMinutes = GroupBinMinutes;
        // The group the view shows; every group for a well in none.
        const int group = config_.groupOfChannel(selectedChannel_);
        if (group >= 0) chosen.groups = {group};
    }
    const std::filesystem::path suggested = freeFigureFile(acquisitionPath_, chosen.kind, ".pdf");
    const QString file = askFigureFile(this, QString::fromStdString(suggested.string()));
    if (file.isEmpty()) return;
    const SavedFigure saved = zorvex::saveFigure(figureRequestOf(chosen, acquisitionPath_, programFolder_, {}), file, ".pdf");
    statusBar()->showMessage(saved.notice);
    if (!saved.written) dialogs_.message(saved.notice.toStdString());
}

}  // namespace zorvex
