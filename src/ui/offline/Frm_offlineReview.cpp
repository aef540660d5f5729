// The opened acquisition in the offline window: its pages of raw signal, the
// selectors, the two views, the re-analysis and the exports.

#include <QStatusBar>
#include <algorithm>

#include "acquisition/DataFiles.h"
#include "common/Files.h"
#include "common/Text.h"
#include "views/AsciiExport.h"
#include "views/ChannelSignal.h"
#include "ui/offline/Frm_offline.h"
#include "views/GroupActivity.h"
#include "ui/common/WrittenNotice.h"
#include "ui/offline/OfflineDrawing.h"

namespace zorvex {

namespace {

constexpr int InfoRuleLength = 64;
constexpr int PageProgressSteps = 4;
constexpr const char* ImageExportName = "image1.bmp";

QString pageText(int page, int pages) { return QString("%1/%2").arg(page).arg(pages); }

}  // namespace

void Frm_offline::openAcquisition() {
    QListWidgetItem* item = Listpj->currentItem();
    if (!item || loading_) return;
    const std::string name = item->text().toStdString();
    browsePath_ = browseProjectPath_ / name;
    acquisitionPath_ = browsePath_;
    realTimeFiles_ = countRealTimeFiles(acquisitionPath_);
    currentPage_ = 1;
    pageCount_ = pageCount(realTimeFiles_);
    Txtpage->setText(pageText(1, pageCount_));
    {
        QSignalBlocker quiet(scrollpage);
        scrollpage->setRange(1, std::max(1, pageCount_));
        scrollpage->setValue(1);
    }
    // The configuration comes first: its RT_Buffer sizes the dumps of the page.
    loadOfflineConfig(config_, acquisitionPath_, programFolder_, browseProjectNumber_, dialogs_);
    page_.allocate(config_.setup.RT_Buffer);
    actogramFolder_.clear();  // read again by the next actogram
    clearProgress(*Pic_status);
    loadPage(1, std::min(realTimeFiles_, PageProgressSteps));
    for (QPushButton* button : {cmdchannels, cmdactogram, Cmd_analyze, Cmd_report, Cmd_leegroups}) button->setEnabled(true);
    refillSelectors();

    std::string info = "\r\n" + std::string(InfoRuleLength, '.') + "\r\n[" + config_.setup.Plate_format +
                       "]   [Acq.Lapse=" + std::to_string(config_.setup.Aq_lapse) + "min]\r\n[Groups: \r\n";
    for (int i = 0; i < combogrup->count(); ++i) {
        // Piece by piece: a literal + temporary string trips a false -Wrestrict in GCC 12.
        info += "<";
        info += combogrup->itemText(i).toStdString();
        info += "> ";
    }
    info += "]";
    QString shown = Txt_reporte->toPlainText() + QString::fromStdString(info).replace("\r\n", "\n");
    Txt_reporte->setPlainText(shown);
    // The marked view shows this acquisition at once, never the one before.
    redrawView();
}

void Frm_offline::loadPage(int page, int progressSteps) {
    if (acquisitionPath_.empty()) return;
    if (!page_.allocated()) page_.allocate(config_.setup.RT_Buffer);
    loading_ = true;
    page_.startPage();
    const std::vector<int> files = pageFileNumbers(page, realTimeFiles_);
    for (std::size_t k = 0; k < files.size(); ++k) {
        drawProgress(*Pic_status, progressSteps > 0 ? static_cast<double>(k) / progressSteps : 1.0);
        // Events run between files, so the window answers during a load; a
        // release meanwhile (Main, close) ends the load.
        host_.yield();
        if (!page_.allocated()) break;
        page_.loadFile(acquisitionPath_, files[k], static_cast<int>(k));
    }
    loading_ = false;
    if (page_.allocated() && !page_.missingSlots().empty()) {
        std::vector<int> records;
        for (int slot : page_.missingSlots()) records.push_back(recordOfSlot(page, slot));
        statusBar()->showMessage(QString::fromStdString(
            "No real-time data for record " + recordNumbersText(records) +
            ": it could not be written during the run (see Events...); its traces are flat"));
    }
}

void Frm_offline::ensurePageLoaded() {
    if (!page_.allocated()) loadPage(currentPage_, PageProgressSteps);
}

void Frm_offline::refillSelectors() {
    const int rows = config_.plate.Rows;
    if (rows < 1) return;
    {
        QSignalBlocker quietRows(Combofila);
        QSignalBlocker quietColumns(Combocol);
        QSignalBlocker quietGroups(combogrup);
        Combofila->clear();
        for (const std::string& letter : rowLetters(rows)) Combofila->addItem(QString::fromStdString(letter));
        Combocol->clear();
        for (int column = 1; column <= config_.plate.Columns; ++column) Combocol->addItem(QString::number(column));
        combogrup->clear();
        for (const std::string& entry : groupEntries(config_)) combogrup->addItem(QString::fromStdString(entry));
        Combofila->setCurrentIndex(0);
        Combocol->setCurrentIndex(0);
        combogrup->setCurrentIndex(0);
    }
    showChannel();
    showGroupWells();
}

void Frm_offline::showChannel() {
    const int well = wellOfSelection(Combofila->currentIndex(), Combocol->currentIndex(), config_.plate.Rows);
    selectedChannel_ = config_.channelAt(typedBeam(txtsub->text().toStdString()), well);
    lblcanal->setText(QString::number(selectedChannel_));
}

int Frm_offline::selectedWell() const {
    if (selectedChannel_ < 0 || selectedChannel_ >= ChannelCount) return -1;
    return config_.plate.WellOfChannel[static_cast<std::size_t>(selectedChannel_)];
}

// The well's name and channel, as the views caption it: "C3 [36]".
QString Frm_offline::selectedWellLabel() const {
    return Combofila->currentText() + Combocol->currentText() + QString(" [%1]").arg(selectedChannel_);
}

void Frm_offline::showGroupWells() {
    const int group = groupOfEntry(combogrup->currentText().toStdString());
    lstgrup->clear();
    for (const std::string& well : wellsOfGroup(config_, group)) lstgrup->addItem(QString::fromStdString(well));
}

void Frm_offline::chooseWell(QListWidgetItem* item) {
    if (!item || item->text().isEmpty()) return;
    txtsub->setText("0");
    WellSelection selection = selectionOfWellName(item->text().toStdString());
    {
        QSignalBlocker quietRows(Combofila);
        QSignalBlocker quietColumns(Combocol);
        Combofila->setCurrentIndex(selection.rowIndex);
        Combocol->setCurrentIndex(selection.columnIndex);
    }
    showChannel();
    redrawView();
}

void Frm_offline::redrawView() {
    if (acquisitionPath_.empty() || loading_) return;
    switch (viewMode_) {
    case ViewMode::ChannelSignal: showChannelSignal(); break;
    case ViewMode::Actogram: showActogram(); break;
    case ViewMode::GroupActivity: showGroupActivity(); break;
    }
}

void Frm_offline::setViewCaptions(ViewMode mode) {
    // The brackets mark the active view.
    auto caption = [mode](ViewMode view, const QString& name) { return mode == view ? "[" + name + "]" : name; };
    cmdchannels->setText(caption(ViewMode::ChannelSignal, "Channel Signal"));
    Cmd_leegroups->setText(caption(ViewMode::GroupActivity, "Group Activity"));
    cmdactogram->setText(caption(ViewMode::Actogram, "Actogram"));
    viewMode_ = mode;
}

void Frm_offline::showGroupActivity() {
    setViewCaptions(ViewMode::GroupActivity);
    std::optional<GroupActivity> activity = groupActivityOf(config_, acquisitionPath_, selectedChannel_);
    if (!activity) {
        dialogs_.message("Activity file not Found");
        return;
    }
    drawGroupActivity(*Picreal, *activity, selectedWellLabel(), combogrup->currentText());
}

void Frm_offline::showChannelSignal() {
    setViewCaptions(ViewMode::ChannelSignal);
    if (realTimeFiles_ < 1) return;
    ensurePageLoaded();
    drawChannelSignal(*Picreal, page_, currentPage_, beamsOfWell(config_, selectedWell()), config_.plate.MaxBeam);
}

void Frm_offline::analyze() {
    const std::string typed = frmtxt_threshold->text().toStdString();
    const double snr = snrFactor(typed);
    if (snr != val(typed)) frmtxt_threshold->setText(QString::fromStdString(snrText(snr)));
    const int method = analysisMethod(cmb_modeanalisis->currentText().toStdString());
    setViewCaptions(ViewMode::ChannelSignal);
    if (realTimeFiles_ < 1) return;
    // Drawn over a fresh channel view of the page, never over another picture.
    showChannelSignal();
    const std::vector<WellBeam> beams = beamsOfWell(config_, selectedWell());
    PageReanalysis reanalysis = reanalysePage(page_, currentPage_, beams, snr, method, storedMinutes(acquisitionPath_));
    drawReanalysis(*Picreal, reanalysis, beams, config_.plate.MaxBeam, page_.samplesPerBlock());
}

void Frm_offline::changePage(int page) {
    if (loading_ || viewMode_ != ViewMode::ChannelSignal) {
        QSignalBlocker quiet(scrollpage);
        scrollpage->setValue(currentPage_);
        return;
    }
    Txtpage->setText(pageText(page, pageCount_));
    currentPage_ = page;
    clearProgress(*Pic_status);
    loadPage(page, PageProgressSteps);
    showChannelSignal();
}

void Frm_offline::exportAscii() {
    if (viewMode_ != ViewMode::ChannelSignal || realTimeFiles_ < 1) return;
    ensurePageLoaded();
    AsciiExportHead head{config_.setup.Name, acquisitionPath_.string(), Combofila->currentText().toStdString(),
                         Combocol->currentText().toStdString(), Txtpage->text().toStdString(), currentPage_};
    const std::filesystem::path file = programFolder_ / AsciiExportName;
    if (writeFile(file, asciiExportBytes(head, beamsOfWell(config_, selectedWell()), page_))) {
        openWritten(statusBar(), host_, "Exported", file);
    } else {
        showWritten(statusBar(), "Could not write the export", file);
    }
}

void Frm_offline::exportBmp() {
    const std::filesystem::path file = programFolder_ / ImageExportName;
    if (Picreal->saveBmp(QString::fromStdString(file.string()))) {
        openWritten(statusBar(), host_, "Exported", file);
    } else {
        showWritten(statusBar(), "Could not write the export", file);
    }
}

}  // namespace zorvex
