#pragma once
// The main window's status panel (`frm_autotext`) as the zero and calibration
// procedures report their progress to it: banner, channel line and the bar
// on `picturecal`.

#include <QGroupBox>
#include <QLabel>

#include "analysis/SensorLink.h"
#include "ui/common/PlotSurface.h"

namespace zorvex {

class SetupPanel : public SetupProgress {
public:
    /// The panel's widgets are set once the window has built them.
    void attach(QGroupBox* panel, QLabel* banner, QLabel* line, PlotSurface* bar);

    void showPanel(const std::string& banner) override;
    void hidePanel() override;
    void label(const std::string& text) override;
    void startBar(int units) override;
    void bar(int position) override;

private:
    QGroupBox* panel_ = nullptr;
    QLabel* banner_ = nullptr;
    QLabel* line_ = nullptr;
    PlotSurface* bar_ = nullptr;
};

}  // namespace zorvex
