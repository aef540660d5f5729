// The acquisition side of the main window: its buttons and timer, what the
// acquisition asks of its owner, and the live view's channel selectors.

#include <QStatusBar>

#include "acquisition/Acquisition.h"
#include "status/RunWatch.h"
#include "acquisition/BeamSetup.h"
#include "common/Text.h"
#include "store/PlateGroups.h"
#include "ui/main/Frm_Main.h"
#include "ui/main/LiveView.h"
#include "ui/main/LiveViewModel.h"
#include "ui/offline/Frm_offline.h"
#include "ui/report/Frm_Report.h"
#include "ui/setup/Frm_setup.h"

namespace zorvex {

namespace {
const QColor TimeBarColour(0x00, 0x00, 0xFF);
}  // namespace

int Frm_Main::selectedChannel() const { return live_->channel(); }

int Frm_Main::zoom() const { return live_->zoom(); }

void Frm_Main::connectAcquisition() {
    connect(Timeradq, &QTimer::timeout, this, [this] {
        watch_->tickStarting();
        acquisition_->tick();
        watch_->tickEnded();
    });
    connect(CmdPlay, &QPushButton::clicked, this, [this] {
        if (!refuseWhileSearching()) startAcquisition(StartRequest{});
    });
    connect(CmdPause, &QPushButton::clicked, this, [this] {
        acquisition_->pauseOrResume();
        showPauseState();
    });
    connect(CmdStop, &QPushButton::clicked, this, [this] {
        acquisition_->stop();
        lblcalibrando->hide();
    });
    connect(Cmdreport, &QPushButton::clicked, this, &Frm_Main::onReport);
    connect(cmd_calibra, &QPushButton::clicked, this, &Frm_Main::onFastCalibration);
    connect(Cmd_autozero, &QPushButton::clicked, this, &Frm_Main::onFastZero);
    connect(CmdOffline, &QPushButton::clicked, this, &Frm_Main::showOffline);
    connect(CmdSetup, &QPushButton::clicked, this, &Frm_Main::showSetup);

    connect(CheckRT, &QCheckBox::toggled, Framereal, &QWidget::setVisible);
    connect(Combofila, &QComboBox::activated, this, [this] { onRowOrColumn(true); });
    connect(Combocol, &QComboBox::activated, this, [this] { onRowOrColumn(false); });
    connect(txtsub, &QLineEdit::editingFinished, this, [this] {
        const int beam = txtsub->text().toInt();
        if (beam > workspace_.plate.MaxBeam) txtsub->setText(QString::number(workspace_.plate.MaxBeam));
        onRowOrColumn(false, false);  // the channel changes; the plot waits for the next redraw
    });
    connect(combogrup, &QComboBox::activated, this,
            [this] { fillWellList(groupOfItem(combogrup->currentText().toStdString())); });
    connect(lstgrup, &QListWidget::itemActivated, this, &Frm_Main::onWellEntry);
    connect(Cmdzoom_plus, &QPushButton::clicked, this, [this] {
        live_->zoomPlus();
        txtzoom->setText(QString::number(live_->zoom()));
    });
    connect(Cmdzoom_minus, &QPushButton::clicked, this, [this] {
        live_->zoomMinus();
        txtzoom->setText(QString::number(live_->zoom()));
    });
}

void Frm_Main::startAcquisition(const StartRequest& request) {
    options_.description = Txt_description->toPlainText().toStdString();
    if (acquisition_->start(request)) watch_->runStarted();
}

void Frm_Main::onReport() {
    if (acquisition_->folder().empty()) {
        dialogs_.message("No acquisition was recorded since the program started. Stored acquisitions are "
                         "reported from OffLine: choose one there, then Report.");
        return;
    }
    report_->openOn(acquisition_->folder(), combo_minutes->currentText());
}

void Frm_Main::onFastCalibration() {
    if (refuseWhileSearching()) return;
    setupPanel_.showPanel("<AUTOCALIBRATION>");
    setupPanel_.startBar(ChannelCount);
    options_.snrFactor = val(txt_snr_umbral->text().toStdString());
    beams_->calibrate(*acquisition_);
    setupPanel_.hidePanel();
}

void Frm_Main::onFastZero() {
    if (refuseWhileSearching()) return;
    frm_autotext->show();
    options_.snrFactor = val(txt_snr_umbral->text().toStdString());
    beams_->fastZeroNow(*acquisition_, options_.snrFactor);
    frm_autotext->hide();
}

void Frm_Main::fillSelectors() {
    filling_ = true;
    const PlateFormat& plate = workspace_.plate;
    Combofila->clear();
    for (int row = 0; row < plate.Rows; ++row) Combofila->addItem(QString(QChar('A' + row)));
    Combocol->clear();
    for (int column = 1; column <= plate.Columns; ++column) Combocol->addItem(QString::number(column));
    combogrup->clear();
    for (const std::string& item : groupListItems(workspace_.channels, workspace_.groups)) {
        combogrup->addItem(QString::fromStdString(item));
    }
    combogrup->setCurrentIndex(0);
    // The first group's wells are listed at once, as choosing it would list them.
    lstgrup->clear();
    if (combogrup->count() > 0) fillWellList(groupOfItem(combogrup->currentText().toStdString()));
    filling_ = false;
    onRowOrColumn(false);
    live_->panelFrame();
}

void Frm_Main::fillWellList(int group) {
    lstgrup->clear();
    for (int channel : assignedChannels(workspace_.channels, workspace_.plate, group)) {
        lstgrup->addItem(QString::fromStdString(channelName(workspace_.plate, channel)));
    }
}

void Frm_Main::onRowOrColumn(bool rowChanged, bool redraw) {
    if (filling_ || Combofila->count() == 0 || Combocol->count() == 0) return;
    const char row = Combofila->currentText().toStdString().front();
    const Selection selection =
        selectChannel(workspace_.plate, row, Combocol->currentText().toInt(), txtsub->text().toInt());
    if (selection.fellBack && rowChanged) {
        Combofila->setCurrentIndex(0);
        Combocol->setCurrentIndex(0);
    }
    showChannel(selection.channel, redraw);
}

void Frm_Main::onWellEntry(QListWidgetItem* item) {
    const auto entry = parseWellEntry(item->text().toStdString());
    if (!entry) return;
    txtsub->setText(QString::number(clampBeam(workspace_.plate, entry->beam)));
    Combofila->setCurrentText(QString(QChar(entry->row)));
    Combocol->setCurrentText(QString::number(entry->column));
    onRowOrColumn(false);
}

void Frm_Main::showChannel(int channel, bool redraw) {
    lblcanal->setText(QString::number(channel));
    live_->setChannel(channel);
    if (redraw) live_->fullPlot();
}

void Frm_Main::setTimer(bool enabled, int intervalMs) {
    Timeradq->setInterval(intervalMs);
    if (enabled) {
        Timeradq->start();
    } else {
        Timeradq->stop();
    }
}

void Frm_Main::redraw(LiveRedraw what) {
    switch (what) {
        case LiveRedraw::PlotFrame:
            live_->plotFrame();
            picturetime->clear();
            break;
        case LiveRedraw::PanelFrame:
            live_->panelFrame();
            lbl_autostart->hide();  // a device test's summary lasts until the panel is used again
            break;
        case LiveRedraw::ChannelList: live_->setChannel(live_->channel()); break;
        case LiveRedraw::FullPlot:
            if (live_->zoom() > 0) {
                // A zoomed plot takes fresh bases first, as "+" does.
                live_->zoomMinus();
                live_->zoomPlus();
            } else {
                live_->fullPlot();
            }
            break;
        case LiveRedraw::Incremental: live_->incremental(); break;
    }
}

void Frm_Main::showElapsed(const std::string& text, double percent) {
    Txt_time->setText(QString::fromStdString(text));
    picturetime->clear();
    picturetime->filledBox(0, 0, percent, 100, TimeBarColour);
}

void Frm_Main::showPanel(const std::string& banner, const std::string& detail) {
    lbl_autotext->setText(QString::fromStdString(banner));
    lbl_autochannel->setText(QString::fromStdString(detail));
    frm_autotext->show();
}

void Frm_Main::hidePanel() { frm_autotext->hide(); }

void Frm_Main::lockControls(bool running) {
    lbl_monitor->setVisible(running && !acquisition_->recording());
    if (running) {
        statusBar()->showMessage(acquisition_->recording()
                                     ? "Recording into: " + QString::fromStdString(acquisition_->folder().string())
                                     : "Monitor run: nothing is calculated or recorded");
    } else if (acquisition_->recording()) {
        const int records = acquisition_->binsRecorded();
        statusBar()->showMessage(QString("Recording stopped: %1 %2 saved in %3")
                                     .arg(records)
                                     .arg(QString(records == 1 ? "record" : "records"))
                                     .arg(QString::fromStdString(acquisition_->folder().string())));
    } else {
        statusBar()->showMessage("Monitor run stopped: nothing was recorded");
    }
    CmdPlay->setEnabled(!running);
    CmdPause->setEnabled(running && !acquisition_->settingUp());
    showPauseState();
    CmdSetup->setEnabled(!running);
    CmdOffline->setEnabled(!running);
    Cmb_organism->setEnabled(!running);
    txt_snr_umbral->setEnabled(!running);
    if (running) {
        setup_->hide();
        offline_->hide();
    }
}

void Frm_Main::showPauseState() {
    const bool paused = acquisition_->state() == AcquisitionState::Paused;
    CmdPause->setText(paused ? "Resume" : "Pause");
    if (acquisition_->waitingForInstrument()) return;  // the lost instrument's line says more
    showOperatingMode();
    // Seen from across the room: a paused run records nothing.
    if (paused) lbl_mode->setText(lbl_mode->text() + " - RUN PAUSED, nothing is sampled");
}

void Frm_Main::openSetupEditor() { showSetup(); }

void Frm_Main::openReport(const std::filesystem::path& folder) {
    // Asked from the tick at the end of the lapse: the run stops, logs and
    // unlocks first, and a folder without records is told in the notices,
    // since a box there would hold the stop until someone clicks.
    QTimer::singleShot(0, this, [this, folder] {
        if (Frm_Report::holdsActivity(folder)) {
            report_->openOn(folder, combo_minutes->currentText());
        } else {
            tell("Activity file not Found in " + folder.string() + ": no record was saved, so there is no report");
        }
    });
}

}  // namespace zorvex
