#pragma once
// The live view of the main window: the selected channel's signal sweeping
// across `Picreal` with its detection threshold, and the activity bars of the
// channel, its well and its group on `Picact`. It draws what the acquisition
// holds; the computations are those of LiveViewModel.

#include <array>
#include <string>
#include <vector>

#include "acquisition/Acquisition.h"
#include "control/InstrumentSession.h"
#include "store/Workspace.h"
#include "ui/common/PlotSurface.h"
#include "ui/main/LiveViewModel.h"

namespace zorvex {

class LiveView {
public:
    /// Draws on `plot` (Picreal) and `panel` (Picact) from `acquisition`.
    LiveView(const Workspace& workspace, const InstrumentSession& session, const Acquisition& acquisition,
             PlotSurface* plot, PlotSurface* panel);

    int channel() const { return channel_; }
    /// Selects a channel and rebuilds its well name and group member wells.
    void setChannel(int channel);
    /// The wells of the selected channel's group.
    const std::vector<int>& memberWells() const { return memberWells_; }

    int zoom() const { return zoom_; }
    /// "+": one zoom step up with new bases, then the whole plot again.
    void zoomPlus();
    /// "-": one zoom step down (new bases unless back at 0), then the whole plot again.
    void zoomMinus();

    /// Clears the signal plot and draws its bottom bar, left marker and "Time".
    void plotFrame();
    /// Clears the activity panel and draws its title and box.
    void panelFrame();
    /// The newest three steps of the signal and the activity panel.
    void incremental();
    /// The plot frame again with every step of the selected channel up to the current position.
    void fullPlot();
    /// The channel, well and group bars, the temperature and the sample count.
    void activityPanel();

private:
    void step(int k, bool full, bool windowFlag);
    void wipeAhead(int p);
    double sampleY(int value) const;
    void recomputeBases();

    const Workspace& workspace_;
    const InstrumentSession& session_;
    const Acquisition& acquisition_;
    PlotSurface* plot_;
    PlotSurface* panel_;
    int channel_ = 0;
    std::string wellName_;
    std::vector<int> memberWells_;
    int zoom_ = DefaultZoom;
    std::array<std::int16_t, ChannelSlots> bases_{};
};

}  // namespace zorvex
