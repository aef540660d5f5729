#include "ui/report/Frm_Report.h"

#include <QApplication>
#include <QButtonGroup>
#include <QCloseEvent>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QMenuBar>
#include <QStatusBar>
#include <QVBoxLayout>
#include <algorithm>
#include <limits>
#include <optional>
#include <thread>

#include "common/Files.h"
#include "common/Numbers.h"
#include "common/Text.h"
#include "reports/ActivityTable.h"
#include "reports/Recalculation.h"
#include "reports/RhythmExport.h"
#include "reports/WellExport.h"
#include "ui/common/ElidedLabel.h"
#include "ui/common/WrittenNotice.h"
#include "ui/report/BinSizeBox.h"
#include "ui/report/FigureDialog.h"
#include "ui/report/BehaviourWindow.h"
#include "ui/report/ScreeningWindow.h"
#include "views/ChannelSignal.h"

namespace zorvex {

namespace {

constexpr const char* Methods[] = {"0_Threshold+Binary (Old Method.w/filters)", "1_Threshold Avrg (Default.Agar&liquid)",
                                   "2_uOrganism (Motility Index)"};
// SNR factors the organisms start from, in the order of the organism list.
constexpr std::array<double, 2> OrganismSnr = {1.8, 2.8};
constexpr const char* Organisms[] = {"C elegans(>L4)", "Zebrafish(Larvae)"};
constexpr int ShortestLapseMinutes = 5;
constexpr int ReleaseYields = 1000;
// A typed bin size beyond any 16-bit minute count is as wrong as 32768.
constexpr double LargestTypedBin = 1e9;

// The minutes per line asked of the operator (offered 1 to `most`): nothing
// on Cancel, 0 for a text that is no positive whole number. The export
// refuses what it cannot take, with its own message.
std::optional<int> askMinutes(Dialogs& dialogs, const std::string& lines, int most) {
    const std::string typed =
        dialogs.input("Minutes per " + lines + " (1 to " + std::to_string(most) + "):", "1");
    if (typed.empty()) return std::nullopt;
    const double minutes = val(typed);
    const bool whole = isNumeric(typed) && minutes == wholePart(minutes);
    return whole && minutes >= 1 && minutes <= std::numeric_limits<int>::max() ? static_cast<int>(minutes) : 0;
}

// The wait cursor for as long as it lives.
class WaitCursor {
public:
    WaitCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~WaitCursor() { QApplication::restoreOverrideCursor(); }
    WaitCursor(const WaitCursor&) = delete;
    WaitCursor& operator=(const WaitCursor&) = delete;
};

QPushButton* namedButton(const char* name, const char* caption, QWidget* parent) {
    auto* button = new QPushButton(caption, parent);
    button->setObjectName(name);
    return button;
}

template <typename Widget>
Widget* named(Widget* widget, const QString& name) {
    widget->setObjectName(name);
    return widget;
}

}  // namespace

Frm_Report::Frm_Report(const std::filesystem::path& programFolder, Dialogs& dialogs, Host& host, QWidget* parent)
    : QMainWindow(parent), programFolder_(programFolder), dialogs_(dialogs), host_(host) {
    setObjectName("Frm_Report");
    setWindowTitle("Report Output");
    buildMenu();
    auto* central = new QWidget(this);
    auto* layout = new QVBoxLayout(central);
    layout->addWidget(buildReportControls());
    layout->addWidget(buildRecalculationFrame());
    setCentralWidget(central);
    buildStatusLine();
    setGrown(false);
}

void Frm_Report::buildStatusLine() {
    lbl_status = named(new ElidedLabel(statusBar()), "lbl_status");
    statusBar()->addWidget(lbl_status, 1);
    // Every notice goes to the label, which elides a long path in the middle
    // instead of cutting it at the window's edge.
    connect(statusBar(), &QStatusBar::messageChanged, this, [this](const QString& message) {
        if (message.isEmpty()) return;
        lbl_status->setFullText(message);
        statusBar()->clearMessage();
    });
}

void Frm_Report::buildMenu() {
    mnadvance = named(menuBar()->addMenu("Advanced"), "mnadvance");
    mnrecalculate = named(mnadvance->addAction("Analyze Raw Data"), "mnrecalculate");
    mncircadian = named(mnadvance->addAction("1 file/well Report"), "mncircadian");
    mnrhythm = named(mnadvance->addAction("Export for rhythm analysis..."), "mnrhythm");
    mntable = named(mnadvance->addAction("Export activity table..."), "mntable");
    connect(mnrecalculate, &QAction::triggered, this, &Frm_Report::showRecalculation);
    connect(mncircadian, &QAction::triggered, this, &Frm_Report::exportPerWell);
    connect(mnrhythm, &QAction::triggered, this, &Frm_Report::exportForRhythm);
    connect(mntable, &QAction::triggered, this, &Frm_Report::exportTable);
}

QWidget* Frm_Report::buildReportControls() {
    auto* area = new QWidget(this);
    auto* layout = new QVBoxLayout(area);
    layout->setContentsMargins(0, 0, 0, 0);
    auto* fileRow = new QHBoxLayout;
    Txt_inputfile = named(new QLineEdit("p00001", area), "Txt_inputfile");
    Txt_inputfile->setMinimumWidth(420);
    fileRow->addWidget(Txt_inputfile, 1);
    fileRow->addWidget(new QLabel("Bin size (min):", area));
    Cmb_binsize = binSizeBox("Cmb_binsize", area);
    Cmb_binsize->setEditText("60");
    fileRow->addWidget(Cmb_binsize);
    layout->addLayout(fileRow);

    auto* options = new QHBoxLayout;
    auto* statistics = new QGroupBox("Group Statistics:", area);
    auto* statisticsLayout = new QVBoxLayout(statistics);
    const std::array<const char*, 5> statisticCaptions = {"Average", "Median", "Std Error", "Std Dev", "\"N\""};
    const std::array<bool, 5> statisticChecked = {true, false, true, false, true};
    for (std::size_t i = 0; i < Chk_statistic.size(); ++i) {
        Chk_statistic[i] = named(new QCheckBox(statisticCaptions[i], statistics), QString("Chk_statistic_%1").arg(i));
        Chk_statistic[i]->setChecked(statisticChecked[i]);
        statisticsLayout->addWidget(Chk_statistic[i]);
    }
    options->addWidget(statistics);

    auto* output = new QGroupBox("Output format:", area);
    auto* outputLayout = new QVBoxLayout(output);
    const std::array<const char*, 3> outputCaptions = {"Rows", "List", "Array"};
    for (std::size_t i = 0; i < Option_output.size(); ++i) {
        Option_output[i] = named(new QRadioButton(outputCaptions[i], output), QString("Option_output_%1").arg(i));
        outputLayout->addWidget(Option_output[i]);
    }
    Option_output[0]->setChecked(true);
    outputLayout->addStretch();
    options->addWidget(output);

    auto* report = new QGroupBox("Report Options:", area);
    auto* reportLayout = new QVBoxLayout(report);
    const std::array<const char*, 2> reportCaptions = {"Excel [.csv]", "Text [.txt]"};
    for (std::size_t i = 0; i < Option_report.size(); ++i) {
        Option_report[i] = named(new QRadioButton(reportCaptions[i], report), QString("Option_report_%1").arg(i));
        reportLayout->addWidget(Option_report[i]);
    }
    Option_report[0]->setChecked(true);
    auto* spacerRow = new QHBoxLayout;
    spacerRow->addWidget(new QLabel("spacer:", report));
    txt_customspacer = named(new QLineEdit(QString::fromStdString(host_.listSeparator()), report), "txt_customspacer");
    txt_customspacer->setMaximumWidth(60);
    spacerRow->addWidget(txt_customspacer);
    spacerRow->addStretch();
    reportLayout->addLayout(spacerRow);
    reportLayout->addStretch();
    options->addWidget(report);

    auto* buttons = new QVBoxLayout;
    Cmd_generate = namedButton("Cmd_generate", "Generate...", area);
    Cmd_cancel = namedButton("Cmd_cancel", "Cancel", area);
    buttons->addWidget(Cmd_generate);
    buttons->addWidget(Cmd_cancel);
    Cmd_figures = namedButton("Cmd_figures", "Figures...", area);
    buttons->addWidget(Cmd_figures);
    Cmd_screening = namedButton("Cmd_screening", "Screening...", area);
    buttons->addWidget(Cmd_screening);
    Cmd_behaviour = namedButton("Cmd_behaviour", "Behaviour...", area);
    buttons->addWidget(Cmd_behaviour);
    buttons->addStretch();
    options->addLayout(buttons);
    layout->addLayout(options);

    for (QRadioButton* option : Option_report) {
        connect(option, &QRadioButton::clicked, this, [this] {
            txt_customspacer->setText(Option_report[0]->isChecked() ? QString::fromStdString(host_.listSeparator())
                                                                     : QString(" "));
        });
    }
    connect(Cmd_generate, &QPushButton::clicked, this, &Frm_Report::generate);
    connect(Cmd_cancel, &QPushButton::clicked, this, &Frm_Report::cancel);
    connect(Cmd_figures, &QPushButton::clicked, this, &Frm_Report::showFigures);
    connect(Cmd_screening, &QPushButton::clicked, this, [this] {
        if (!screening_) screening_ = new ScreeningWindow(programFolder_, dialogs_, host_, this);
        screening_->openOn(folder());
    });
    connect(Cmd_behaviour, &QPushButton::clicked, this, [this] {
        if (!behaviour_) behaviour_ = new BehaviourWindow(programFolder_, dialogs_, host_, this);
        behaviour_->openOn(folder());
    });
    return area;
}

QWidget* Frm_Report::buildRecalculationFrame() {
    Frame_run = named(new QGroupBox("Raw data processing:", this), "Frame_run");
    auto* layout = new QVBoxLayout(Frame_run);
    layout->addWidget(new QLabel("Re-Calculate from Real time Data:", Frame_run));
    auto* form = new QFormLayout;
    Cmb_dspmethod = named(new QComboBox(Frame_run), "Cmb_dspmethod");
    for (const char* method : Methods) Cmb_dspmethod->addItem(method);
    form->addRow("Method:", Cmb_dspmethod);
    Cmb_organism = named(new QComboBox(Frame_run), "Cmb_organism");
    for (const char* organism : Organisms) Cmb_organism->addItem(organism);
    form->addRow("Organism:", Cmb_organism);
    frmtxt_threshold = named(new QLineEdit(Frame_run), "frmtxt_threshold");
    form->addRow("Threshold:", frmtxt_threshold);
    frmtxt_datalapse = named(new QLineEdit("1", Frame_run), "frmtxt_datalapse");
    form->addRow("Data lapse (hours):", frmtxt_datalapse);
    Chk_replacedata = named(new QCheckBox("Replace old data", Frame_run), "Chk_replacedata");
    form->addRow(Chk_replacedata);
    layout->addLayout(form);
    auto* buttons = new QHBoxLayout;
    cmd_runframe = namedButton("cmd_runframe", "RUN", Frame_run);
    cmd_stopframe = namedButton("cmd_stopframe", "STOP", Frame_run);
    frmlbl_status = named(new QLabel("Block xx/xx", Frame_run), "frmlbl_status");
    buttons->addWidget(cmd_runframe);
    buttons->addWidget(cmd_stopframe);
    buttons->addWidget(frmlbl_status, 1);
    layout->addLayout(buttons);

    auto presetOrganism = [this](int index) {
        if (index >= 0 && index < static_cast<int>(OrganismSnr.size())) {
            frmtxt_threshold->setText(QString::fromStdString(snrText(OrganismSnr[static_cast<std::size_t>(index)])));
        }
    };
    // Choosing the organism already shown restores its threshold too.
    connect(Cmb_organism, &QComboBox::activated, this, presetOrganism);
    Cmb_organism->setCurrentIndex(0);
    presetOrganism(0);
    connect(frmtxt_threshold, &QLineEdit::editingFinished, this, &Frm_Report::checkThreshold);
    connect(Chk_replacedata, &QCheckBox::toggled, this, [this](bool on) { frmtxt_datalapse->setEnabled(!on); });
    connect(cmd_runframe, &QPushButton::clicked, this, &Frm_Report::run);
    connect(cmd_stopframe, &QPushButton::clicked, this, [this] { stopRequested_ = true; });
    return Frame_run;
}

void Frm_Report::setGrown(bool grown) {
    Frame_run->setVisible(grown);
    // The compact view is as high as the report controls need; growing adds the frame.
    centralWidget()->adjustSize();
    adjustSize();
}

bool Frm_Report::holdsActivity(const std::filesystem::path& acquisitionFolder) {
    return !acquisitionFolder.empty() && fileExists(acquisitionFolder / "counts.bin");
}

bool Frm_Report::openOn(const std::filesystem::path& acquisitionFolder, const QString& binSizeText) {
    if (!holdsActivity(acquisitionFolder)) {
        dialogs_.message("Activity file not Found");
        return false;
    }
    // A running recalculation keeps its folder; the window only comes forward.
    if (!running_) {
        // What the line said was about the acquisition shown before.
        if (acquisitionFolder != folder()) lbl_status->setFullText("");
        Cmb_binsize->setEditText(binSizeText);
        Txt_inputfile->setText(QString::fromStdString(acquisitionFolder.string()));
    }
    show();
    raise();
    return true;
}

void Frm_Report::cancel() {
    // Leaving the window ends a recount in progress as STOP does: nothing saved.
    stopRequested_ = true;
    hide();
    setGrown(false);
}

void Frm_Report::closeEvent(QCloseEvent* event) {
    cancel();
    event->accept();
}

std::filesystem::path Frm_Report::folder() const { return Txt_inputfile->text().toStdString(); }

std::optional<long long> Frm_Report::typedBinMinutes() {
    const std::string text = Cmb_binsize->currentText().toStdString();
    // A typing slip must not become a report of another bin size: the text stays for mending.
    if (!isNumeric(text)) {
        dialogs_.message("Report Calculation Error");
        return std::nullopt;
    }
    double typed = std::clamp(val(text), -LargestTypedBin, LargestTypedBin);
    return static_cast<long long>(roundHalfEven(typed));
}

ReportRequest Frm_Report::request(long long binMinutes) const {
    ReportRequest request;
    request.acquisitionFolder = folder();
    request.programFolder = programFolder_;
    request.binMinutes = binMinutes;
    ReportOptions& options = request.options;
    for (std::size_t i = 0; i < Option_output.size(); ++i) {
        if (Option_output[i]->isChecked()) options.layout = static_cast<ReportLayout>(i);
    }
    options.extension = Option_report[0]->isChecked() ? ".csv" : ".txt";
    options.spacer = txt_customspacer->text().toStdString();
    options.stdError = Chk_statistic[2]->isChecked();
    options.stdDev = Chk_statistic[3]->isChecked();
    options.wellsPerGroup = Chk_statistic[4]->isChecked();
    return request;
}

void Frm_Report::showOutcome(const ReportOutcome& outcome) {
    // The box shows the bin size the report used, whatever was typed.
    if (outcome.binSize.minutes != 0) Cmb_binsize->setEditText(QString::number(outcome.binSize.minutes));
    if (!outcome.file) return;
    releaseWrittenFile(host_);
    openWritten(statusBar(), host_, "Report written", *outcome.file);
}

void Frm_Report::generate() {
    if (running_) return;
    const std::optional<long long> binMinutes = typedBinMinutes();
    if (!binMinutes) return;
    if (auto outcome = generateReport(request(*binMinutes), dialogs_, host_)) showOutcome(*outcome);
}

void Frm_Report::showRecalculation() {
    if (!fileExists(folder() / "0.bin")) {
        dialogs_.message("Real Time Data Not Found");
        return;
    }
    setGrown(true);
}

void Frm_Report::checkThreshold() {
    const std::string typed = frmtxt_threshold->text().toStdString();
    const double snr = snrFactor(typed);
    if (snr != val(typed)) frmtxt_threshold->setText(QString::fromStdString(snrText(snr)));
}

void Frm_Report::run() {
    if (running_) return;
    std::optional<long long> binMinutes = typedBinMinutes();
    if (!binMinutes) return;
    frmlbl_status->show();
    stopRequested_ = false;
    checkThreshold();
    RecalcSettings settings;
    settings.method = Cmb_dspmethod->currentIndex();
    settings.snr = val(frmtxt_threshold->text().toStdString());
    settings.replace = Chk_replacedata->isChecked();
    settings.hours = val(frmtxt_datalapse->text().toStdString());
    settings.threads = static_cast<int>(std::max(1U, std::thread::hardware_concurrency()));
    // The box shows the lapse the run honours, so the two never disagree.
    if (!settings.replace && roundHalfEven(settings.hours * 60.0) < ShortestLapseMinutes) {
        settings.hours = ShortestLapseMinutes / 60.0;
        frmtxt_datalapse->setText(QString::fromStdString(formatFixed(settings.hours, 2)));
    }
    if (*binMinutes < 1) {  // as the report does: a minute at least
        binMinutes = 1;
        Cmb_binsize->setEditText("1");
    }

    running_ = true;
    cmd_runframe->setEnabled(false);
    Cmd_generate->setEnabled(false);
    RecalcHooks hooks;
    hooks.status = [this](const std::string& text) { frmlbl_status->setText(QString::fromStdString(text)); };
    hooks.stopRequested = [this] { return stopRequested_; };
    std::optional<RecalcOutcome> outcome = recalculate(request(*binMinutes), settings, dialogs_, host_, hooks);
    running_ = false;
    cmd_runframe->setEnabled(true);
    Cmd_generate->setEnabled(true);
    if (outcome && outcome->report) showOutcome(*outcome->report);
}

void Frm_Report::exportPerWell() {
    if (running_) return;
    const std::optional<long long> binMinutes = typedBinMinutes();
    if (!binMinutes) return;
    const std::filesystem::path acquisition = folder();
    const std::vector<std::filesystem::path> written = exportWells(acquisition, programFolder_, *binMinutes, dialogs_, host_);
    if (written.empty()) return;
    openWritten(statusBar(), host_, QString("%1 well files written in").arg(written.size()), acquisition);
    for (int i = 0; i < ReleaseYields; ++i) host_.yield();
}

void Frm_Report::exportForRhythm() {
    if (running_) return;
    const auto minutes = askMinutes(dialogs_, "line of the monitor files", MaxRhythmIntervalMinutes);
    if (!minutes) return;
    RhythmRequest request;
    request.acquisitionFolder = folder();
    request.programFolder = programFolder_;
    request.intervalMinutes = *minutes;
    bool written = false;
    {
        WaitCursor wait;
        written = !exportRhythm(request, dialogs_).empty();
    }
    if (written) openWritten(statusBar(), host_, "Rhythm files written in", rhythmFolder(request.acquisitionFolder));
}

void Frm_Report::exportTable() {
    if (running_) return;
    const auto minutes = askMinutes(dialogs_, "row of the activity table", MaxTableIntervalMinutes);
    if (!minutes) return;
    ActivityTableRequest request;
    request.acquisitionFolder = folder();
    request.programFolder = programFolder_;
    request.intervalMinutes = *minutes;
    std::optional<std::filesystem::path> file;
    {
        WaitCursor wait;
        file = exportActivityTable(request, dialogs_);
    }
    // The folder, not the table: a long table is more than a spreadsheet takes.
    if (file) {
        openWritten(statusBar(), host_,
                    "Activity table " + QString::fromStdString(file->filename().string()) + " written in",
                    file->parent_path());
    }
}

void Frm_Report::showFigures() {
    if (!figures_) figures_ = new FigureDialog(programFolder_, dialogs_, this);
    figures_->openOn(folder(), Cmb_binsize->currentText());
}

}  // namespace zorvex
