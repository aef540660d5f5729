#include "ui/report/BehaviourWindow.h"

#include <QApplication>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QVBoxLayout>
#include <algorithm>

#include "behaviour/Sleep.h"
#include "figures/BehaviourImages.h"
#include "views/FigureSource.h"

namespace zorvex {

namespace {

constexpr double LongestWindowHours = 100000.0;
const QStringList SleepColumns = {"Group", "Day", "Phase", "Wells", "Sleep (min)", "Bouts", "Mean bout (min)",
                                  "Latency (min)", "Waking activity (counts/min)"};
const QStringList PeriodColumns = {"Group", "Wells", "Rhythmic wells", "Period (h)"};
// Width over height of the figures as a page column draws them.
constexpr double SleepAspect = 0.9;
constexpr double ChartAspect = 1.15;
constexpr const char* PicturePlaceholder = "The figures appear here once the analysis has run.";

template <typename Widget>
Widget* named(Widget* widget, const char* name) {
    widget->setObjectName(name);
    return widget;
}

QDoubleSpinBox* numberBox(const char* name, double low, double high, int decimals, double value, QWidget* parent) {
    auto* box = named(new QDoubleSpinBox(parent), name);
    box->setRange(low, high);
    box->setDecimals(decimals);
    box->setValue(value);
    return box;
}

QTableWidget* tableOf(const char* name, const QStringList& columns, QWidget* parent) {
    auto* table = named(new QTableWidget(0, static_cast<int>(columns.size()), parent), name);
    table->setHorizontalHeaderLabels(columns);
    table->verticalHeader()->hide();
    table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    return table;
}

QLabel* pictureOf(const char* name, QWidget* parent) {
    auto* picture = named(new QLabel(PicturePlaceholder, parent), name);
    picture->setAlignment(Qt::AlignCenter);
    picture->setWordWrap(true);
    picture->setMinimumSize(320, 200);
    picture->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Ignored);
    return picture;
}

// "12.3 ± 0.4", rounded for reading only; the files keep every digit.
QString estimateText(const GroupEstimate& estimate, int decimals) {
    if (!estimate.mean) return "";
    QString text = QString::number(*estimate.mean, 'f', decimals);
    if (estimate.se) text += " \u00b1 " + QString::number(*estimate.se, 'f', decimals);
    return text;
}

void fillRow(QTableWidget* table, int row, const QStringList& cells) {
    for (int column = 0; column < cells.size(); ++column) table->setItem(row, column, new QTableWidgetItem(cells[column]));
}

// The width a figure of `aspect` (width over height) may take and still fit the picture.
int fittingWidth(const QLabel* picture, double aspect) {
    return std::min(picture->width(), static_cast<int>(picture->height() * aspect));
}

void showImage(QLabel* picture, const QImage& image, const char* none) {
    if (image.isNull()) {
        picture->setText(none);
    } else {
        picture->setPixmap(QPixmap::fromImage(image));
    }
}

}  // namespace

BehaviourWindow::BehaviourWindow(const std::filesystem::path& programFolder, Dialogs& dialogs, Host& host,
                                 QWidget* parent)
    : QMainWindow(parent), programFolder_(programFolder), dialogs_(dialogs), host_(host) {
    setObjectName("BehaviourWindow");
    setWindowTitle("Behaviour: sleep and circadian rhythm");
    auto* central = new QWidget(this);
    auto* layout = new QVBoxLayout(central);
    auto* top = new QFormLayout;
    lbl_folder = named(new QLabel(central), "lbl_folder");
    lbl_folder->setWordWrap(true);
    top->addRow("Acquisition:", lbl_folder);
    auto* hours = new QHBoxLayout;
    txt_from = numberBox("txt_from", 0, LongestWindowHours, 2, 0, central);
    txt_to = numberBox("txt_to", 0, LongestWindowHours, 2, 0, central);
    txt_from->setSuffix(" h");
    txt_to->setSuffix(" h");
    txt_to->setSpecialValueText("end");
    for (QWidget* widget : {static_cast<QWidget*>(new QLabel("from", central)), static_cast<QWidget*>(txt_from),
                            static_cast<QWidget*>(new QLabel("to", central)), static_cast<QWidget*>(txt_to),
                            static_cast<QWidget*>(new QLabel("after the start (\"end\": the whole recording)", central))}) {
        hours->addWidget(widget);
    }
    hours->addStretch();
    top->addRow("Time window:", hours);
    layout->addLayout(top);
    tab_behaviour = named(new QTabWidget(central), "tab_behaviour");
    tab_behaviour->addTab(buildSleepTab(), "Sleep");
    tab_behaviour->addTab(buildRhythmTab(), "Rhythm");
    layout->addWidget(tab_behaviour, 1);
    txt_messages = named(new QPlainTextEdit(central), "txt_messages");
    txt_messages->setReadOnly(true);
    txt_messages->setMaximumHeight(70);
    layout->addWidget(txt_messages);
    cmd_openfolder = named(new QPushButton("Open results folder", central), "cmd_openfolder");
    cmd_openfolder->setEnabled(false);
    layout->addWidget(cmd_openfolder, 0, Qt::AlignLeft);
    connect(cmd_openfolder, &QPushButton::clicked, this, [this] { host_.openDocument(resultsFolder_); });
    connect(tab_behaviour, &QTabWidget::currentChanged, this, [this] { showPictures(); });
    setCentralWidget(central);
    resize(1240, 760);
}

QWidget* BehaviourWindow::buildSleepTab() {
    auto* tab = new QWidget(this);
    auto* layout = new QHBoxLayout(tab);
    auto* left = new QVBoxLayout;
    auto* form = new QFormLayout;
    txt_inactive = named(new QSpinBox(tab), "txt_inactive");
    txt_inactive->setRange(0, MaxInactiveMinutes);
    txt_inactive->setSpecialValueText("the organism's (1 for zebrafish larvae, 5 otherwise)");
    txt_inactive->setSuffix(" min");
    form->addRow("A bout is at least:", txt_inactive);
    form->addRow(new QLabel("of minutes without a count; a minute without a reading ends a run.", tab));
    cmd_sleep = named(new QPushButton("Find sleep", tab), "cmd_sleep");
    form->addRow(cmd_sleep);
    left->addLayout(form);
    tbl_sleep = tableOf("tbl_sleep", SleepColumns, tab);
    left->addWidget(tbl_sleep, 1);
    layout->addLayout(left, 1);
    pic_sleep = pictureOf("pic_sleep", tab);
    layout->addWidget(pic_sleep, 1);
    connect(cmd_sleep, &QPushButton::clicked, this, &BehaviourWindow::findSleep);
    return tab;
}

QWidget* BehaviourWindow::buildRhythmTab() {
    auto* tab = new QWidget(this);
    auto* layout = new QHBoxLayout(tab);
    auto* left = new QVBoxLayout;
    auto* form = new QFormLayout;
    const PeriodogramOptions defaults;
    txt_resample = named(new QSpinBox(tab), "txt_resample");
    txt_resample->setRange(1, MinutesPerDay);
    txt_resample->setValue(defaults.resampleMinutes);
    txt_resample->setSuffix(" min");
    form->addRow("Bins of:", txt_resample);
    auto* periods = new QHBoxLayout;
    txt_periodfrom = numberBox("txt_periodfrom", 0.1, 1000, 1, defaults.fromHours, tab);
    txt_periodto = numberBox("txt_periodto", 0.1, 1000, 1, defaults.toHours, tab);
    txt_step = numberBox("txt_step", 0.01, 24, 2, defaults.stepHours, tab);
    for (QDoubleSpinBox* box : {txt_periodfrom, txt_periodto, txt_step}) box->setSuffix(" h");
    periods->addWidget(txt_periodfrom);
    periods->addWidget(new QLabel("to", tab));
    periods->addWidget(txt_periodto);
    periods->addWidget(new QLabel("step", tab));
    periods->addWidget(txt_step);
    form->addRow("Periods:", periods);
    cmb_method = named(new QComboBox(tab), "cmb_method");
    cmb_method->addItems({"Chi-square (Sokolove and Bushell)", "Lomb-Scargle"});
    form->addRow("Periodogram:", cmb_method);
    txt_alpha = numberBox("txt_alpha", 0.0001, 0.5, 4, defaults.alpha, tab);
    form->addRow("Alpha:", txt_alpha);
    cmd_periods = named(new QPushButton("Find periods", tab), "cmd_periods");
    form->addRow(cmd_periods);
    left->addLayout(form);
    tbl_periods = tableOf("tbl_periods", PeriodColumns, tab);
    left->addWidget(tbl_periods, 1);
    layout->addLayout(left, 1);
    auto* pictures = new QVBoxLayout;
    pic_periodogram = pictureOf("pic_periodogram", tab);
    pic_periodmap = pictureOf("pic_periodmap", tab);
    pictures->addWidget(pic_periodogram, 1);
    pictures->addWidget(pic_periodmap, 1);
    layout->addLayout(pictures, 1);
    connect(cmd_periods, &QPushButton::clicked, this, &BehaviourWindow::findPeriods);
    return tab;
}

void BehaviourWindow::openOn(const std::filesystem::path& acquisitionFolder) {
    if (acquisitionFolder != folder_) {
        folder_ = acquisitionFolder;
        lbl_folder->setText(QString::fromStdString(folder_.string()));
        txt_from->setValue(0);
        txt_to->setValue(0);
        grid_.reset();
        sleep_.reset();
        periods_.reset();
        tbl_sleep->setRowCount(0);
        tbl_periods->setRowCount(0);
        for (QLabel* picture : {pic_sleep, pic_periodogram, pic_periodmap}) picture->setText(PicturePlaceholder);
        txt_messages->clear();
        cmd_openfolder->setEnabled(false);
    }
    show();
    raise();
}

std::optional<ElapsedWindow> BehaviourWindow::window() const {
    if (txt_from->value() == 0 && txt_to->value() == 0) return std::nullopt;
    return ElapsedWindow{txt_from->value(), txt_to->value() == 0 ? LongestWindowHours : txt_to->value()};
}

void BehaviourWindow::showFiles(const std::vector<std::filesystem::path>& files,
                                const std::vector<std::string>& messages) {
    QString text;
    for (const std::string& message : messages) text += QString::fromStdString(message) + "\n";
    if (files.empty()) {
        txt_messages->setPlainText(text + "Nothing was written.");
        // Told in the window's own box: the analysis runs on a stored acquisition.
        dialogs_.message("The analysis could not be made:\n" + text.trimmed().toStdString());
        return;
    }
    resultsFolder_ = files.front().parent_path();
    QString names;
    for (const auto& file : files) names += (names.isEmpty() ? "" : ", ") + QString::fromStdString(file.filename().string());
    txt_messages->setPlainText(text + QString("Written in %1: %2").arg(QString::fromStdString(resultsFolder_.string()), names));
    cmd_openfolder->setEnabled(true);
}

void BehaviourWindow::findSleep() {
    std::vector<std::string> messages;
    MessageList collected(messages);
    SleepRequest request{folder_, programFolder_, std::nullopt, window(), {}};
    if (txt_inactive->value() > 0) request.inactiveMinutes = txt_inactive->value();
    QApplication::setOverrideCursor(Qt::WaitCursor);
    SleepOutcome outcome = runSleep(request, collected);
    QApplication::restoreOverrideCursor();
    showFiles(outcome.files, messages);
    if (!outcome.results) return;
    grid_ = std::move(outcome.grid);
    sleep_ = std::move(outcome.results);
    showSleep();
}

void BehaviourWindow::findPeriods() {
    std::vector<std::string> messages;
    MessageList collected(messages);
    PeriodRequest request{folder_, programFolder_, window(), {}, {}};
    request.options.resampleMinutes = txt_resample->value();
    request.options.fromHours = txt_periodfrom->value();
    request.options.toHours = txt_periodto->value();
    request.options.stepHours = txt_step->value();
    request.options.method = cmb_method->currentIndex() == 1 ? PeriodMethod::LombScargle : PeriodMethod::ChiSquare;
    request.options.alpha = txt_alpha->value();
    QApplication::setOverrideCursor(Qt::WaitCursor);
    PeriodOutcome outcome = runPeriods(request, collected);
    QApplication::restoreOverrideCursor();
    showFiles(outcome.files, messages);
    if (!outcome.results) return;
    grid_ = std::move(outcome.grid);
    periods_ = std::move(outcome.results);
    showPeriods();
}

void BehaviourWindow::showSleep() {
    tbl_sleep->setRowCount(static_cast<int>(sleep_->groups.size()));
    for (int row = 0; row < tbl_sleep->rowCount(); ++row) {
        const GroupPhaseSleep& group = sleep_->groups[static_cast<std::size_t>(row)];
        fillRow(tbl_sleep, row,
                {QString::fromStdString(groupName(grid_->plate, group.group)), QString::number(group.day),
                 QString::fromStdString(std::string(phaseName(group.phase))), QString::number(group.wells),
                 estimateText(group.sleepMinutes, 1), estimateText(group.bouts, 1),
                 estimateText(group.meanBoutMinutes, 1), estimateText(group.latencyMinutes, 1),
                 estimateText(group.wakingActivity, 2)});
    }
    showPictures();
}

void BehaviourWindow::showPeriods() {
    tbl_periods->setRowCount(static_cast<int>(periods_->groups.size()));
    for (int row = 0; row < tbl_periods->rowCount(); ++row) {
        const GroupPeriod& group = periods_->groups[static_cast<std::size_t>(row)];
        fillRow(tbl_periods, row,
                {QString::fromStdString(groupName(grid_->plate, group.group)), QString::number(group.wells),
                 QString::number(group.rhythmicWells), estimateText(group.periodHours, 2)});
    }
    showPictures();
}

void BehaviourWindow::showPictures() {
    if (grid_ && sleep_) showImage(pic_sleep, sleepImage(*grid_, *sleep_, fittingWidth(pic_sleep, SleepAspect)), PicturePlaceholder);
    if (grid_ && periods_) {
        showImage(pic_periodogram, periodogramImage(*grid_, *periods_, fittingWidth(pic_periodogram, ChartAspect)),
                  "No well's activity varies over the window: there is no periodogram to draw.");
        showImage(pic_periodmap, periodMapImage(*grid_, *periods_, fittingWidth(pic_periodmap, ChartAspect)), PicturePlaceholder);
    }
}

void BehaviourWindow::resizeEvent(QResizeEvent* event) {
    QMainWindow::resizeEvent(event);
    showPictures();
}

}  // namespace zorvex
