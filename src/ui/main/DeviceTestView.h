#pragma once
// The device test's drawing on the main window: the 24 x 16 grid of grey
// cells on the activity panel, the progress bar on the time bar and the hint
// label; at the end the normal activity panel comes back.

#include <QLabel>

#include "control/DeviceTest.h"
#include "ui/common/PlotSurface.h"

namespace zorvex {

class LiveView;

class DeviceTestView : public DeviceTestSurface {
public:
    /// Draws on `panel` (Picact) and `timeBar` (picturetime), hints in `hint`
    /// (lbl_autostart); `live` redraws the activity panel's frame.
    DeviceTestView(PlotSurface* panel, PlotSurface* timeBar, QLabel* hint, LiveView& live);

    void drawGrid() override;
    void paintCell(int column, int row, int grey) override;
    void progress(double width) override;
    void showHint(const std::string& text) override;
    void restorePanel() override;
    void showSummary(const DeviceTestSummary& summary) override;

private:
    void outlineCell(int column, int row);

    PlotSurface* panel_;
    PlotSurface* timeBar_;
    QLabel* hint_;
    LiveView& live_;
    QFont panelFont_;
};

}  // namespace zorvex
