#include "ui/report/ScreeningWindow.h"

#include <QApplication>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QResizeEvent>
#include <QVBoxLayout>
#include <cmath>

#include "figures/ScreeningFigures.h"
#include "reports/ReportInputs.h"
#include "screening/CsvRecords.h"
#include "views/ScreeningFigures.h"

namespace zorvex {

namespace {

constexpr double LongestWindowHours = 100000.0;
constexpr int HourDecimals = 2;
const QStringList ResultColumns = {"Compound", "IC50", "95 % interval", "Hill", "Top", "Bottom", "R\u00b2", "Wells",
                                   "Status"};
constexpr FileFormat Formats[] = {FileFormat::Pdf, FileFormat::Svg, FileFormat::Png};
constexpr const char* CurvesPlaceholder = "The dose-response curves appear here after a screen.";

template <typename Widget>
Widget* named(Widget* widget, const char* name) {
    widget->setObjectName(name);
    return widget;
}

QDoubleSpinBox* hourBox(const char* name, QWidget* parent) {
    auto* box = named(new QDoubleSpinBox(parent), name);
    box->setRange(0, LongestWindowHours);
    box->setDecimals(HourDecimals);
    box->setSuffix(" h");
    return box;
}

// The hours recorded, rounded up to the boxes' decimals; 0 when the counts cannot be read.
double recordedHours(const std::filesystem::path& folder) {
    std::vector<std::string> ignored;
    MessageList quiet(ignored);
    const auto series = loadSeries(folder, quiet);
    if (!series || series->minutes.empty()) return 0;
    const double scale = std::pow(10.0, HourDecimals);
    return std::ceil((series->span() + 1) / 60.0 * scale) / scale;
}

QString number(double value) { return QString::fromStdString(significantText(value)); }

QString qualityText(const ScreeningPlate& plate, const ScreeningResults& results) {
    const PlateQuality& quality = results.quality;
    QString text = QString("Plate quality: %1").arg(QString::fromStdString(std::string(qualityStatusText(quality.status))));
    if (quality.zPrime) text += QString(", Z' = %1").arg(number(*quality.zPrime));
    if (quality.signalToBackground) text += QString(", signal-to-background %1").arg(number(*quality.signalToBackground));
    text += QString(" (%1 negative, %2 positive control wells)").arg(quality.negativeWells).arg(quality.positiveWells);
    QString outliers;
    for (std::size_t i : results.outliers) outliers += " " + QString::fromStdString(plate.wells[i].name);
    text += outliers.isEmpty() ? QString("; no outliers.") : "; outliers:" + outliers + ".";
    return text;
}

}  // namespace

ScreeningWindow::ScreeningWindow(const std::filesystem::path& programFolder, Dialogs& dialogs, Host& host, QWidget* parent)
    : QMainWindow(parent), programFolder_(programFolder), dialogs_(dialogs), host_(host) {
    setObjectName("ScreeningWindow");
    setWindowTitle("Screening");
    auto* central = new QWidget(this);
    auto* layout = new QHBoxLayout(central);
    auto* left = new QVBoxLayout;
    left->addWidget(buildSettings());
    left->addWidget(buildResults(), 1);
    layout->addLayout(left, 1);
    pic_curves = named(new QLabel(central), "pic_curves");
    pic_curves->setAlignment(Qt::AlignCenter);
    pic_curves->setWordWrap(true);
    pic_curves->setMinimumSize(480, 300);
    pic_curves->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Ignored);
    pic_curves->setText(CurvesPlaceholder);
    layout->addWidget(pic_curves, 1);
    setCentralWidget(central);
    resize(1240, 720);
}

QWidget* ScreeningWindow::buildSettings() {
    auto* box = new QGroupBox("Screen", this);
    auto* form = new QFormLayout(box);
    lbl_folder = named(new QLabel(box), "lbl_folder");
    lbl_folder->setWordWrap(true);
    form->addRow("Acquisition:", lbl_folder);
    auto* window = new QHBoxLayout;
    txt_from = hourBox("txt_from", box);
    txt_to = hourBox("txt_to", box);
    window->addWidget(new QLabel("from", box));
    window->addWidget(txt_from);
    window->addWidget(new QLabel("to", box));
    window->addWidget(txt_to);
    window->addWidget(new QLabel("after the start (the end excluded)", box));
    window->addStretch();
    form->addRow("Time window:", window);
    cmb_normalise = named(new QComboBox(box), "cmb_normalise");
    cmb_normalise->addItems({"Percent of the negative controls", "Counts as recorded"});
    form->addRow("Responses:", cmb_normalise);
    cmb_fit = named(new QComboBox(box), "cmb_fit");
    cmb_fit->addItems({"Relative: midpoint between the fitted plateaus", "Absolute: 50 % of the negative controls"});
    form->addRow("IC50:", cmb_fit);
    // An absolute IC50 is a level of percent of control: it has no meaning for counts.
    connect(cmb_normalise, &QComboBox::currentIndexChanged, this, [this](int index) {
        if (index != 0) cmb_fit->setCurrentIndex(0);
        cmb_fit->setEnabled(index == 0);
    });
    cmb_figures = named(new QComboBox(box), "cmb_figures");
    cmb_figures->addItems({"PDF", "SVG", "PNG"});
    form->addRow("Figures:", cmb_figures);
    cmd_screen = named(new QPushButton("Run screen", box), "cmd_screen");
    form->addRow(cmd_screen);
    connect(cmd_screen, &QPushButton::clicked, this, &ScreeningWindow::run);
    return box;
}

QWidget* ScreeningWindow::buildResults() {
    auto* area = new QWidget(this);
    auto* layout = new QVBoxLayout(area);
    layout->setContentsMargins(0, 0, 0, 0);
    tbl_results = named(new QTableWidget(0, static_cast<int>(ResultColumns.size()), area), "tbl_results");
    tbl_results->setHorizontalHeaderLabels(ResultColumns);
    tbl_results->verticalHeader()->hide();
    tbl_results->setEditTriggers(QAbstractItemView::NoEditTriggers);
    tbl_results->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    tbl_results->horizontalHeader()->setStretchLastSection(true);
    layout->addWidget(tbl_results, 2);
    lbl_quality = named(new QLabel(area), "lbl_quality");
    lbl_quality->setWordWrap(true);
    layout->addWidget(lbl_quality);
    txt_messages = named(new QPlainTextEdit(area), "txt_messages");
    txt_messages->setReadOnly(true);
    layout->addWidget(txt_messages, 1);
    cmd_openfolder = named(new QPushButton("Open results folder", area), "cmd_openfolder");
    cmd_openfolder->setEnabled(false);
    layout->addWidget(cmd_openfolder, 0, Qt::AlignLeft);
    connect(cmd_openfolder, &QPushButton::clicked, this, [this] { host_.openDocument(resultsFolder_); });
    return area;
}

void ScreeningWindow::openOn(const std::filesystem::path& acquisitionFolder) {
    if (acquisitionFolder != folder_) {
        folder_ = acquisitionFolder;
        lbl_folder->setText(QString::fromStdString(folder_.string()));
        txt_from->setValue(0);
        txt_to->setValue(recordedHours(folder_));
        results_.reset();
        tbl_results->setRowCount(0);
        lbl_quality->clear();
        txt_messages->clear();
        pic_curves->setText(CurvesPlaceholder);
        cmd_openfolder->setEnabled(false);
    }
    show();
    raise();
}

void ScreeningWindow::run() {
    ScreeningRequest request;
    request.acquisitionFolder = folder_;
    request.programFolder = programFolder_;
    request.windowStartHours = txt_from->value();
    request.windowEndHours = txt_to->value();
    request.normalisation = cmb_normalise->currentIndex() == 0 ? Normalisation::Control : Normalisation::None;
    request.ic50Kind = cmb_fit->currentIndex() == 1 ? Ic50Kind::Absolute : Ic50Kind::Relative;
    cmd_screen->setEnabled(false);
    QApplication::setOverrideCursor(Qt::WaitCursor);
    ScreeningOutcome outcome = screenAcquisition(request);
    if (!outcome.files.empty()) {
        const auto format = Formats[std::max(cmb_figures->currentIndex(), 0)];
        const ScreeningFiguresOutcome figures =
            writeScreeningFigures(figureRequestOf(request, format), *outcome.plate, *outcome.results);
        outcome.messages.insert(outcome.messages.end(), figures.messages.begin(), figures.messages.end());
        outcome.files.insert(outcome.files.end(), figures.files.begin(), figures.files.end());
    }
    QApplication::restoreOverrideCursor();
    cmd_screen->setEnabled(true);
    showResults(outcome);
}

void ScreeningWindow::showResults(const ScreeningOutcome& outcome) {
    QString messages;
    for (const std::string& message : outcome.messages) messages += QString::fromStdString(message) + "\n";
    if (outcome.files.empty()) {
        results_.reset();
        tbl_results->setRowCount(0);
        lbl_quality->clear();
        pic_curves->setText(CurvesPlaceholder);
        txt_messages->setPlainText(messages + "Nothing was written.");
        cmd_openfolder->setEnabled(false);
        dialogs_.message("The screen could not be made:\n" + messages.trimmed().toStdString());
        return;
    }
    results_ = outcome.results;
    resultsWindow_ = {txt_from->value(), txt_to->value()};
    const ScreeningResults& results = *outcome.results;
    tbl_results->setRowCount(static_cast<int>(results.compounds.size()));
    for (int row = 0; row < static_cast<int>(results.compounds.size()); ++row) {
        const CompoundResult& compound = results.compounds[static_cast<std::size_t>(row)];
        const DoseFit& fit = compound.fit;
        const bool ok = compound.ic50.status == ScreenStatus::Ok;
        const QString unit = compound.unit.empty() ? "" : " " + QString::fromStdString(compound.unit);
        const QStringList cells = {
            QString::fromStdString(compound.compound),
            ok ? number(compound.ic50.ic50) + unit : "",
            ok ? number(compound.ic50.low) + "\u2013" + number(compound.ic50.high) : "",
            ok ? number(fit.curve.hill) : "",
            ok ? number(fit.curve.top) : "",
            ok ? number(fit.curve.bottom) : "",
            ok ? number(fit.r2) : "",
            QString::number(compound.points.size()),
            QString::fromStdString(ic50StatusText(fit, compound.ic50, compound.unit))};
        for (int column = 0; column < cells.size(); ++column) {
            tbl_results->setItem(row, column, new QTableWidgetItem(cells[column]));
        }
    }
    lbl_quality->setText(qualityText(*outcome.plate, results));
    resultsFolder_ = outcome.files.front().parent_path();
    messages += QString("%1 files written in %2").arg(outcome.files.size()).arg(QString::fromStdString(resultsFolder_.string()));
    txt_messages->setPlainText(messages);
    cmd_openfolder->setEnabled(true);
    showCurves();
}

void ScreeningWindow::showCurves() {
    if (!results_) return;
    const QImage image = doseResponseImage(*results_, resultsWindow_.first, resultsWindow_.second, pic_curves->width());
    if (image.isNull()) {
        pic_curves->setText("No compound has wells with a concentration above 0: there are no curves to draw.");
        return;
    }
    pic_curves->setPixmap(QPixmap::fromImage(image));
}

void ScreeningWindow::resizeEvent(QResizeEvent* event) {
    QMainWindow::resizeEvent(event);
    showCurves();
}

}  // namespace zorvex
