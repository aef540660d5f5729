#include "ui/main/SetupPanel.h"

namespace zorvex {

namespace {
const QColor LightYellow(0xFF, 0xFF, 0xC0);  // C0FFFF as blue-green-red
const QColor BarColour(0x00, 0x00, 0xFF);
}  // namespace

void SetupPanel::attach(QGroupBox* panel, QLabel* banner, QLabel* line, PlotSurface* bar) {
    panel_ = panel;
    banner_ = banner;
    line_ = line;
    bar_ = bar;
}

void SetupPanel::showPanel(const std::string& banner) {
    banner_->setText(QString::fromStdString(banner));
    panel_->show();
}

void SetupPanel::hidePanel() { panel_->hide(); }

void SetupPanel::label(const std::string& text) {
    line_->setText(QString::fromStdString(text));
    line_->repaint();
}

void SetupPanel::startBar(int units) {
    bar_->setScale(0, 1, units, 0);
    bar_->setBackground(LightYellow);
    bar_->clear();
}

void SetupPanel::bar(int position) { bar_->filledBox(0, 0, position, 1, BarColour); }

}  // namespace zorvex
