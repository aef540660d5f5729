// What keeps an unattended run safe in the main window: messages from the
// acquisition cycle shown without stopping it, the waiting state while the
// instrument is lost, Read Blank's question, and the shut-down at exit.

#include <QVBoxLayout>

#include "acquisition/Acquisition.h"
#include "status/RunWatch.h"
#include "ui/main/Frm_Main.h"
#include "ui/main/NoticesWindow.h"

namespace zorvex {

void Frm_Main::buildWaitingLabel() {
    lbl_waiting = new QLabel(lblcalibrando->parentWidget());
    lbl_waiting->setObjectName("lbl_waiting");
    lbl_waiting->setStyleSheet("QLabel { color: red; font-weight: bold; }");
    lbl_waiting->setWordWrap(true);
    if (auto* layout = qobject_cast<QVBoxLayout*>(lblcalibrando->parentWidget()->layout())) {
        layout->insertWidget(layout->indexOf(lblcalibrando), lbl_waiting);
    }
    lbl_waiting->hide();
}

void Frm_Main::tell(const std::string& message) {
    // A list, not a box: a box's own event loop would run the next ticks inside
    // this one, and a flapping link would stack them. The cycle has logged it.
    notices_->tell(acquisition_->runClock().now(), message, acquisition_->waitingForInstrument());
}

void Frm_Main::notify(RunEvent event, const std::string& message) { watch_->notify(event, message); }

void Frm_Main::binClosed(const BinSummary& summary) { watch_->binClosed(summary); }

void Frm_Main::instrumentAnswers() { notices_->instrumentAnswers(acquisition_->runClock().now()); }

void Frm_Main::showInstrumentWait(const std::string& status) {
    watch_->instrumentWait(status);
    const bool waiting = !status.empty();
    lbl_waiting->setText(QString::fromStdString(status));
    lbl_waiting->setVisible(waiting);
    Txt_time->setStyleSheet(waiting ? "QLineEdit { color: red; }" : "");
    if (!waiting) {
        showOperatingMode();
        return;
    }
    // The mode line is where the eye looks for the link; it must not say ONLINE meanwhile.
    lbl_mode->setText(QString("INSTRUMENT LOST on COM%1 - trying again every %2 s")
                          .arg(workspace_.config.Serial_COM)
                          .arg(Acquisition::ReconnectIntervalMs / 1000));
    lbl_mode->setStyleSheet("font-weight: bold; padding: 0 6px; color: #c00000;");
}

void Frm_Main::onReadBlank() {
    if (refuseWhileSearching()) return;
    const Acquisition& run = *acquisition_;
    if (run.recording() && run.state() != AcquisitionState::Stopped &&
        dialogs_.message("Reading the blank ends the recording of " + run.experimentName() + ". Go on?",
                         Buttons::YesNo) != Answer::Yes) {
        return;
    }
    acquisition_->startBlankReading();
}

void Frm_Main::shutDown(const std::string& reason) {
    leaving_ = true;
    Timer_test->stop();
    acquisition_->shutDown(reason);
    Timeradq->stop();
    watch_->finish();
}

}  // namespace zorvex
