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
                         Dialogs& dialogs, Host& host, AcquisitionOwner& owner, SensorSetup& sensors)
    : workspace_(workspace),
      session_(session),
      options_(options),
      dialogs_(dialogs),
      host_(host),
      owner_(owner),
      sensors_(sensors),
      frame_(DefaultBuffer),
      detection_(DefaultBuffer) {}

void Acquisition::pauseOrResume() {
    if (state_ == AcquisitionState::Running) {
        pause();
    } else if (state_ == AcquisitionState::Paused) {
        resume();
    }
}

void Acquisition::pause() {
    if (dialogs_.message("Pause Time Counter?", Buttons::YesNo) == Answer::Yes) {
        owner_.setTimer(false, TimerIntervalMs);
        state_ = AcquisitionState::Paused;
        elapsedAtPauseDays_ = nowDays() - startDays_;
        timeCounterStopped_ = true;
        owner_.showPanel("<< PAUSED >>", "Time Counter = OFF");
    } else {
        // The timer runs on and its ticks only keep the time (see tick()).
        timeCounterStopped_ = false;
        state_ = AcquisitionState::Paused;
        owner_.showPanel("<< PAUSED >>", "Time Counter = ON");
    }
}

void Acquisition::resume() {
    if (timeCounterStopped_) startDays_ = nowDays() - elapsedAtPauseDays_;
    ticksSinceStart_ = 0;
    owner_.setTimer(true, TimerIntervalMs);
    state_ = AcquisitionState::Running;
    timeCounterStopped_ = false;
    owner_.hidePanel();
}

void Acquisition::startBlankReading() {
    ticksSinceStart_ = 0;
    totalSamples_ = 0;
    slot_ = 0;
    detection_ = Detection(frame_.rtBuffer());
    owner_.redraw(LiveRedraw::ChannelList);
    recording_ = false;
    owner_.blankReadingStarted(blank_.start(workspace_, host_));
    owner_.setTimer(true, TimerIntervalMs);
}

void Acquisition::stop() {
    owner_.stopDeviceTest();
    if (blank_.active()) {
        blank_.cancel();
        owner_.blankReadingEnded();
    }
    if (state_ != AcquisitionState::Stopped) {
        state_ = AcquisitionState::Stopped;
        owner_.lockControls(false);
    }
    owner_.setTimer(false, TimerIntervalMs);
    owner_.hidePanel();
    session_.outputs.active = false;
    session_.outputs.light = false;
    sendOutputs();
    purgePort(PurgePauseMs);
    ticksSinceStart_ = 0;
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

double Acquisition::nowDays() { return toSerialDays(host_.now()); }

}  // namespace zorvex
