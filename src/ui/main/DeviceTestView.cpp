#include "ui/main/DeviceTestView.h"

#include <QStringList>

#include "ui/main/LiveView.h"

namespace zorvex {

namespace {
constexpr int GridColumns = 24;
constexpr int GridRows = 16;
constexpr double CellSize = 100;
constexpr double GridMargin = -75;
constexpr double GridRight = 2400;
constexpr double GridTop = 1600;
constexpr double MarkRadius = 5;
constexpr int LabelPixels = 8;  ///< 24 column numbers share the panel's 330 pixels
const QColor GridRed(0xFF, 0x00, 0x00);
const QColor MarkBlue(0x00, 0x00, 0xFF);
const QColor ProgressBlue(0x00, 0x00, 0xFF);
const QColor PassedGreen(0x30, 0xB0, 0x30);
const QColor FailedRed(0xE0, 0x20, 0x20);
constexpr std::size_t ListedFailures = 24;

// "CH77 (N5)": the channel and its cell of the grid, row letter and column number.
QString channelCell(int channel) {
    return QString("CH%1 (%2%3)").arg(channel).arg(QChar('A' + channel % GridRows)).arg(channel / GridRows + 1);
}
}  // namespace

DeviceTestView::DeviceTestView(PlotSurface* panel, PlotSurface* timeBar, QLabel* hint, LiveView& live)
    : panel_(panel), timeBar_(timeBar), hint_(hint), live_(live), panelFont_(panel->font()) {}

void DeviceTestView::drawGrid() {
    panel_->setScale(GridMargin, GridTop, GridRight, GridMargin);
    panel_->clear();
    QFont small = panelFont_;
    small.setPixelSize(LabelPixels);
    panel_->setFont(small);
    // Labels sit in the margins: numbers under the columns, letters left of the rows.
    for (int column = 0; column < GridColumns; ++column) {
        panel_->text(column * CellSize + 25, -5, QString::number(column + 1), GridRed);
    }
    for (int row = 0; row < GridRows; ++row) {
        panel_->text(-60, row * CellSize + 75, QString(QChar('A' + row)), GridRed);
    }
    for (int column = 0; column < GridColumns; ++column) {
        for (int row = 0; row < GridRows; ++row) outlineCell(column, row);
    }
}

void DeviceTestView::paintCell(int column, int row, int grey) {
    const double x = column * CellSize;
    const double y = row * CellSize;
    panel_->filledBox(x, y, x + CellSize, y + CellSize, QColor(grey, grey, grey));
    outlineCell(column, row);
}

void DeviceTestView::outlineCell(int column, int row) {
    const double x = column * CellSize;
    const double y = row * CellSize;
    panel_->box(x, y, x + CellSize, y + CellSize, GridRed);
    panel_->circle(x + CellSize / 2, y + CellSize / 2, MarkRadius, MarkBlue);
}

void DeviceTestView::progress(double width) {
    timeBar_->clear();
    timeBar_->filledBox(0, 0, width, 100, ProgressBlue);
}

void DeviceTestView::showHint(const std::string& text) {
    hint_->setText(QString::fromStdString(text));
    hint_->show();
}

void DeviceTestView::showSummary(const DeviceTestSummary& summary) {
    drawGrid();
    for (const auto& [channels, colour] : {std::pair{&summary.passed, PassedGreen}, std::pair{&summary.failed, FailedRed}}) {
        for (int channel : *channels) {
            const double x = (channel / GridRows) * CellSize;
            const double y = (channel % GridRows) * CellSize;
            panel_->filledBox(x, y, x + CellSize, y + CellSize, colour);
            panel_->box(x, y, x + CellSize, y + CellSize, GridRed);
        }
    }
    QString text = QString("Device test: %1 beams passed, %2 failed").arg(summary.passed.size()).arg(summary.failed.size());
    if (!summary.failed.empty()) {
        QStringList cells;
        for (std::size_t i = 0; i < summary.failed.size() && i < ListedFailures; ++i) cells << channelCell(summary.failed[i]);
        if (summary.failed.size() > ListedFailures) cells << "...";
        text += ": " + cells.join(", ");
    }
    hint_->setWordWrap(true);
    hint_->setText(text);
    hint_->show();
}

void DeviceTestView::restorePanel() {
    panel_->setFont(panelFont_);
    live_.panelFrame();
    hint_->hide();
}

}  // namespace zorvex
