#include "acquisition/Acquisition.h"

namespace zorvex {

namespace {
constexpr int YieldsAroundPurge = 10;
constexpr int PurgePauseMs = 5;
constexpr int DefaultBuffer = 500;
}  // namespace

SensorSetup& noSensorSetup() {
    static SensorSetup none;
    return none;
}

Acquisition::Acquisition(Workspace& workspace, InstrumentSession& session, AcquisitionOptions& options,
                         Dialogs& dialogs, Host& host, AcquisitionOwner& owner, EventLog& log, SensorSetup& sensors)
    : workspace_(workspace),
      session_(session),
      options_(options),
      dialogs_(dialogs),
      host_(host),
      owner_(owner),
      log_(log),
      sensors_(sensors),
      frame_(DefaultBuffer),
      detection_(DefaultBuffer) {}

void Acquisition::pauseOrResume() {
    // A pause in the middle of the start's calibration would leave the run
    // paused with its timer never started.
    if (settingUp_) return;
    if (state_ == AcquisitionState::Running) {
        pause();
    } else if (state_ == AcquisitionState::Paused) {
        resume();
    }
}

void Acquisition::pause() {
    const Answer answer = dialogs_.message("Pause Time Counter?", Buttons::YesNo);
    // The question's own event loop keeps the timer going: the lapse may have
    // ended (or Stop been pressed) before the answer came.
    if (state_ != AcquisitionState::Running) return;
    if (answer == Answer::Yes) {
        owner_.setTimer(waiting_, TimerIntervalMs);  // a lost instrument is still looked for
        state_ = AcquisitionState::Paused;
        elapsedAtPauseMs_ = host_.steadyMs() - counterStartMs_;
        timeCounterStopped_ = true;
        owner_.showPanel("<< PAUSED >>", "Time Counter = OFF");
        log_.event("Pause, time counter stopped");
    } else {
        // The timer runs on and its ticks only keep the time (see tick()).
        timeCounterStopped_ = false;
        state_ = AcquisitionState::Paused;
        owner_.showPanel("<< PAUSED >>", "Time Counter = ON");
        log_.event("Pause, time counter running");
    }
}

void Acquisition::resume() {
    if (timeCounterStopped_) counterStartMs_ = host_.steadyMs() - elapsedAtPauseMs_;
    ticksSinceStart_ = 0;
    detection_.forgetPendingMarks();
    owner_.setTimer(true, TimerIntervalMs);
    state_ = AcquisitionState::Running;
    timeCounterStopped_ = false;
    owner_.hidePanel();
    log_.event("Resume");
}

void Acquisition::startBlankReading() {
    ticksSinceStart_ = 0;
    totalSamples_ = 0;
    slot_ = 0;
    detection_ = Detection(frame_.rtBuffer());
    owner_.redraw(LiveRedraw::ChannelList);
    if (recording_) log_.event("Read Blank: the recording ends here; its records so far are kept");
    recording_ = false;
    owner_.blankReadingStarted(blank_.start(workspace_, host_));
    log_.event("Blank reading started (" + std::to_string(workspace_.setup.Threshold_Counter) + " samples), project saved in " +
               blank_.folder().string());
    owner_.setTimer(true, TimerIntervalMs);
}

void Acquisition::stop() {
    owner_.stopDeviceTest();
    if (blank_.active()) {
        blank_.cancel();
        owner_.blankReadingEnded();
        log_.event("Blank reading cancelled");
    }
    if (state_ != AcquisitionState::Stopped) {
        state_ = AcquisitionState::Stopped;
        tellBlockFaults();  // the part hour since the latest summary
        owner_.lockControls(false);
        const std::string stopped = "Stop: " + std::to_string(binsClosed_) + " records closed, " +
                                    std::to_string(binsRecorded_) + " saved";
        log_.event(stopped);
        if (!stopTold_) owner_.notify(RunEvent::Stop, stopped);
        log_.closeRunLog();
    }
    // While the instrument is lost the timer goes on looking for it, and it
    // gets its outputs off when it answers.
    owner_.setTimer(waiting_, TimerIntervalMs);
    owner_.hidePanel();
    session_.outputs.active = false;
    session_.outputs.light = false;
    sendOutputs();
    purgePort(PurgePauseMs);
    ticksSinceStart_ = 0;
    stopTold_ = false;
    resendPending_ = false;
}

void Acquisition::shutDown(const std::string& reason) {
    const bool active = state_ != AcquisitionState::Stopped || blank_.active();
    const std::string text = "Program exit (" + reason + ")" + (active ? ": the acquisition is stopped" : "");
    log_.event(text);
    if (!log_.runLogPath().empty()) log_.program(text);
    stopTold_ = true;  // the exit says it
    if (waiting_) exitWhileLost();
    if (active) stop();
    stopTold_ = false;
    owner_.notify(RunEvent::Exit, text);
    if (session_.online() && session_.comm.isOpen(session_.port)) {
        session_.outputs = InstrumentState{};
        sendOutputs();
        session_.comm.CommClose(session_.port);
    }
}

void Acquisition::sendOutputs() {
    session_.sendOutputs();
    owner_.showOutputs(session_.outputs);
}

void Acquisition::purgePort(int pauseMs) {
    for (int i = 0; i < YieldsAroundPurge; ++i) host_.yield();
    if (session_.online()) session_.comm.CommFlush(session_.port);
    if (pauseMs > 0) host_.pause(pauseMs);
    for (int i = 0; i < YieldsAroundPurge; ++i) host_.yield();
}

}  // namespace zorvex
