#include "ui/main/LiveView.h"

#include <QFontMetrics>
#include <algorithm>

#include "common/Text.h"
#include "ui/main/LiveViewModel.h"

namespace zorvex {

namespace {

const QColor SignalColour(0xFF, 0x00, 0x00);
const QColor BandColours[2] = {QColor(0x00, 0x00, 0xFF), QColor(0x00, 0xFF, 0x00)};
const QColor BarGrey(128, 128, 128);

constexpr double PlotLeft = -60;
constexpr double PlotRightMargin = 20;
constexpr double PlotBottom = -250;
constexpr double PlotTop = 2040;
constexpr double PanelLow = -30;
constexpr double PanelHigh = 300;
constexpr int FirstDrawnSlot = 6;       // nothing is drawn before this position
constexpr int IncrementalBandFloor = 1;  // the newest steps draw any band above 0
constexpr int FullBandFloor = 6;         // the redraw skips the bands still settling

constexpr double BarWidth = 30;

// "CH66 Activity" heads the panel on its own line under the top line, clear
// of the well and group captions along the axis.
void drawTitle(PlotSurface* panel, int channel) {
    const double line = panel->toUser(QPointF(0, 0)).y() - panel->toUser(QPointF(0, QFontMetrics(panel->font()).height())).y();
    panel->text(10, PanelHigh - line, QString("CH%1 Activity").arg(channel), Qt::black);
}

// One activity bar: an outline from the axis to `value`, filled grey inside.
void drawBar(PlotSurface* panel, double left, int value) {
    panel->box(left, 0, left + BarWidth, value, Qt::black);
    if (value - 1 > 3) panel->filledBox(left + 1, 3, left + BarWidth - 1, value - 1, BarGrey);
}

}  // namespace

LiveView::LiveView(const Workspace& workspace, const InstrumentSession& session, const Acquisition& acquisition,
                   PlotSurface* plot, PlotSurface* panel)
    : workspace_(workspace), session_(session), acquisition_(acquisition), plot_(plot), panel_(panel) {}

void LiveView::setChannel(int channel) {
    channel_ = std::clamp(channel, 0, ChannelCount - 1);
    wellName_ = wellName(workspace_.plate, workspace_.plate.WellOfChannel[static_cast<std::size_t>(channel_)]);
    memberWells_ = zorvex::memberWells(workspace_.plate, workspace_.channels, channel_);
}

void LiveView::zoomPlus() {
    zoom_ = zoomIn(zoom_);
    recomputeBases();
    fullPlot();
}

void LiveView::zoomMinus() {
    zoom_ = zoomOut(zoom_);
    if (zoom_ != 0) recomputeBases();
    fullPlot();
}

void LiveView::recomputeBases() {
    const int p = acquisition_.slot();
    for (int c = 0; c < ChannelCount; ++c) {
        bases_[static_cast<std::size_t>(c)] = zoomBase(acquisition_.frame(), c, p);
    }
}

double LiveView::sampleY(int value) const {
    return zoomY(value, zoom_, bases_[static_cast<std::size_t>(channel_)]);
}

void LiveView::plotFrame() {
    const int buffer = acquisition_.frame().rtBuffer();
    plot_->setScale(PlotLeft, PlotTop, buffer + PlotRightMargin, PlotBottom);
    plot_->clear();
    plot_->filledBox(0, 0, buffer, 10, Qt::black);
    plot_->filledBox(0, 0, 5, 2000, Qt::black);
    plot_->text(buffer / 2.0, -65, "Time", Qt::black);
}

void LiveView::panelFrame() {
    panel_->setScale(PanelLow, PanelHigh, PanelHigh, PanelLow);
    panel_->clear();
    drawTitle(panel_, channel_);
    panel_->box(0, 0, 255, 255, BarGrey);
}

void LiveView::step(int k, bool full, bool windowFlag) {
    const SampleFrame& frame = acquisition_.frame();
    if (k < 1 || k > frame.rtBuffer()) return;
    plot_->line(k - 1, sampleY(frame.at(channel_, k - 1)), k, sampleY(frame.at(channel_, k)), SignalColour);
    const SampleFrame& band = acquisition_.detection().lowerBand();
    const int level = band.at(channel_, k);
    if (level >= (full ? FullBandFloor : IncrementalBandFloor)) {
        plot_->line(k - 1, sampleY(band.at(channel_, k - 1)), k, sampleY(level), BandColours[windowFlag ? 1 : 0]);
    }
}

void LiveView::wipeAhead(int p) {
    plot_->filledBox(p, 21, p + 6, 2048, Qt::white);
    plot_->filledBox(0, 0, 5, 2000, Qt::black);
}

void LiveView::incremental() {
    activityPanel();
    const int p = acquisition_.slot();
    if (p < FirstDrawnSlot) return;
    for (int k = p - 3; k <= p - 1; ++k) step(k, false, acquisition_.windowFlag());
    wipeAhead(p);
}

void LiveView::fullPlot() {
    plotFrame();
    const int p = acquisition_.slot();
    if (p < FirstDrawnSlot) return;
    // The flag flips every DSP_Interval + 1 ticks; counted back from the
    // current one, so the redraw shows the windows as the sweep did.
    const int window = std::max<int>(workspace_.setup.DSP_Interval, 0) + 1;
    const bool now = acquisition_.windowFlag();
    for (int k = 1; k <= p; ++k) step(k, true, now != (((p - k) / window) % 2 == 1));
    wipeAhead(p);
}

void LiveView::activityPanel() {
    panel_->setScale(PanelLow, PanelHigh, PanelHigh, PanelLow);
    panel_->clear();
    panel_->filledBox(0, 0, 2, 255, Qt::black);
    panel_->filledBox(0, 0, 255, 2, Qt::black);
    drawTitle(panel_, channel_);

    const auto& totals = acquisition_.detection().runningTotals();
    const int total = totals[static_cast<std::size_t>(channel_)];
    drawBar(panel_, 10, total);
    panel_->text(20, 250, QString::number(total), Qt::black);

    const int group = workspace_.channels.Group[static_cast<std::size_t>(channel_)];
    if (group >= 0) {
        const int well = workspace_.plate.WellOfChannel[static_cast<std::size_t>(channel_)];
        const int wellValue = wellAverage(workspace_.plate, totals, well);
        drawBar(panel_, 80, wellValue);
        panel_->text(80, -5, QString::fromStdString("Well " + wellName_), Qt::black);
        panel_->text(80, 250, QString::number(wellValue), Qt::black);

        const int groupValue = groupAverage(workspace_.plate, totals, memberWells_);
        drawBar(panel_, 140, groupValue);
        const std::string& name = workspace_.groups.Name[static_cast<std::size_t>(group)];
        panel_->text(140, -5, QString::fromStdString("G" + std::to_string(group) + "_" + name), Qt::black);
        panel_->text(140, 250, QString::number(groupValue), Qt::black);
    }
    panel_->text(250, 300, QString::fromStdString("T=" + formatFixed(session_.temperature, 1) + "*C"), Qt::black);
    panel_->text(-30, 300, QString("NSamp=%1").arg(acquisition_.totalSamples()), Qt::black);
}

}  // namespace zorvex
