// The instrument lost and found again: a USB adapter that resets, a cable
// knocked out for a minute or a power blip must not end a run of days. The
// run waits, tries the port every 5 s, gives the instrument back the state it
// had, and goes on sampling into the same folder. A blip too short to count
// as a loss still costs the instrument its settings, so any request left
// without a reply sends them again, a few beams a tick.

#include <algorithm>

#include "acquisition/Acquisition.h"
#include "common/Files.h"
#include "common/Text.h"
#include "control/LightSchedule.h"
#include "control/Temperature.h"
#include "device/COM_Module.h"
#include "device/FactoryCalibration.h"
#include "device/PortSearch.h"

namespace zorvex {

namespace {

constexpr int RestoreYieldChannels = 21;  // as the calibration's first writes

std::string clockText(const DateTime& when) { return formatDigits(when.hour, 2) + ":" + formatDigits(when.minute, 2); }

std::string secondsText(const DateTime& when) { return clockText(when) + ":" + formatDigits(when.second, 2); }

std::string comText(int port) { return "COM" + std::to_string(port); }

std::string runGoesOn(bool recording) { return recording ? "recording goes on" : "the monitor run goes on"; }

// What the operator is told when the instrument stops answering.
std::string lostText(const PortMap& ports, int port, const DateTime& at, bool recording, int binsRecorded,
                     const std::filesystem::path& folder) {
    std::string text = "The instrument stopped answering on " + comText(port) + " (" + ports.device(port) + ") at " +
                       clockText(at) + ". The program tries to reach it every " +
                       std::to_string(Acquisition::ReconnectIntervalMs / 1000) + " s and " + runGoesOn(recording) +
                       " when it answers; no sample is taken meanwhile. ";
    if (recording && binsRecorded == 0) {
        text += "No record was completed yet; " + folder.string() + " holds no data so far. ";
    } else if (recording) {
        text += "The " + (binsRecorded == 1 ? std::string("record") : std::to_string(binsRecorded) + " records") +
                " saved so far " + (binsRecorded == 1 ? "is" : "are") + " in " + folder.string() + ". ";
    }
    return text + "Check the cable and the power of the instrument.";
}

// Registers read at a return against those of start-up: a register either
// reading could not settle proves nothing.
bool sameRegisters(const FactoryRegisters& before, const FactoryRegisters& now) {
    for (std::size_t i = 0; i < before.size(); ++i) {
        if (before[i] >= 0 && now[i] >= 0 && before[i] != now[i]) return false;
    }
    return true;
}

}  // namespace

void Acquisition::instrumentLost() {
    waiting_ = true;
    lostAt_ = runClock_.now();
    silentTicks_ = 0;
    resendPending_ = false;
    nextAttemptMs_ = host_.steadyMs() + ReconnectIntervalMs;
    session_.comm.CommClose(session_.port);
    // The bin in progress holds samples repeated since the loss: it is
    // dropped, and a fresh one starts when the instrument is back.
    slot_ = 0;
    log_.event("Instrument lost on " + comText(session_.port) + " (" + session_.comm.portMap().device(session_.port) +
               "): no sample block came back in " + std::to_string(LostAfterSilentTicks) +
               " ticks; the bin in progress is dropped");
    owner_.showInstrumentWait(waitStatus());
    const std::string told = lostText(session_.comm.portMap(), session_.port, lostAt_, recording_, binsRecorded_, folder_);
    owner_.tell(told);
    owner_.notify(RunEvent::InstrumentLost, told);
}

std::string Acquisition::waitStatus() {
    return "Waiting for the instrument since " + clockText(lostAt_) + " (" +
           std::to_string(std::max(0LL, minutesBetween(lostAt_, runClock_.now()))) + " min)";
}

bool Acquisition::refuseWhileLost(const std::string& what) {
    if (!waiting_) return false;
    dialogs_.message("The instrument on " + comText(session_.port) + " does not answer since " + clockText(lostAt_) +
                     ". " + what + " is possible once it answers again; the program keeps looking for it.");
    return true;
}

void Acquisition::waitingTick() {
    // The lapse runs on and ends at its planned time; pause and stop work as
    // usual, and after a stop the search goes on until the instrument answers.
    if (state_ == AcquisitionState::Running || (state_ == AcquisitionState::Paused && !timeCounterStopped_)) {
        timeStep();
    }
    if (!waiting_ || host_.steadyMs() < nextAttemptMs_) return;
    nextAttemptMs_ = host_.steadyMs() + ReconnectIntervalMs;
    owner_.showInstrumentWait(waitStatus());
    if (reachInstrument() != Reach::Same) return;
    if (!restoreInstrument()) {
        session_.comm.CommClose(session_.port);
        log_.event("The instrument answered on " + comText(session_.port) +
                   " but did not take its settings back; trying again");
        return;
    }
    instrumentBack();
}

Acquisition::Reach Acquisition::reachInstrument() {
    // A corrected comports.dat takes effect at the next try, without a restart.
    if (fileExists(workspace_.programFolder / PortMapFileName)) {
        session_.comm.setPortMap(readPortMap(workspace_.programFolder));
    }
    if (!reopenInstrumentPort(session_.comm, session_.port, host_)) return Reach::NoAnswer;
    if (!session_.factoryRegisters) return Reach::Same;
    FactoryRegisters registers{};
    try {
        registers = readFactoryRegisters(session_.comm, session_.port, host_);
    } catch (const std::exception&) {
        registers.fill(-1);
    }
    if (std::find(registers.begin(), registers.end(), -1) == registers.end() &&
        sameRegisters(*session_.factoryRegisters, registers)) {
        return Reach::Same;
    }
    session_.comm.CommClose(session_.port);
    if (std::find(registers.begin(), registers.end(), -1) != registers.end()) return Reach::NoAnswer;
    // Two readers on one computer whose adapters swapped names after a hub
    // reset: the other instrument must not get this run's settings.
    const std::string text = "Another instrument answers on " + comText(session_.port) + " (" +
                             session_.comm.portMap().device(session_.port) +
                             "): its factory registers differ from those read at start-up. Nothing was sent to it; "
                             "the program keeps looking for the instrument of this run. Check comports.dat and the "
                             "cables.";
    log_.event(text);
    if (!otherInstrumentTold_) owner_.tell(text);
    otherInstrumentTold_ = true;
    return Reach::OtherInstrument;
}

void Acquisition::loadBeamsToSend() {
    // A run that wrote no beam settings started from calvalue.dat's (or the
    // defaults a first calibration writes): the instrument must not stay at
    // its power-on settings after a restart.
    const bool runWrote = std::any_of(session_.PinHole.begin(), session_.PinHole.begin() + ChannelCount,
                                      [](std::int16_t pinHole) { return pinHole != 0; });
    beamsToSend_ = BeamTables{};
    if (runWrote) {
        beamsToSend_ = {session_.PinHole, session_.Gain, "this run's calibration"};
        return;
    }
    beamsToSend_.pinHole.fill(DefaultPinHole);
    beamsToSend_.gain.fill(DefaultGain);
    beamsToSend_.source = "the default";
    if (fileExists(workspace_.programFolder / CalibrationFileName) &&
        readCalibrationFile(workspace_.programFolder, beamsToSend_.pinHole, beamsToSend_.gain).found) {
        beamsToSend_.source = "calvalue.dat";
    }
}

bool Acquisition::writeBeams(int from, int to) {
    for (int c = from; c < to; ++c) {
        const auto index = static_cast<std::size_t>(c);
        if (WriteChannelSetting(session_.comm, session_.port, host_, quietNotices_, c, beamsToSend_.pinHole[index],
                                beamsToSend_.gain[index]) != 1) {
            return false;
        }
    }
    return true;
}

bool Acquisition::restoreInstrument() {
    loadBeamsToSend();
    for (int c = 0; c < ChannelCount; c += RestoreYieldChannels) {
        host_.yield();
        if (!waiting_) return false;  // shut down meanwhile
        if (!writeBeams(c, std::min(c + RestoreYieldChannels, ChannelCount))) return false;
    }
    // The outputs are those the schedule gives now, from a fresh temperature:
    // the state before the loss may be hours old.
    if (state_ != AcquisitionState::Stopped) followSchedule(readTemperature(session_));
    sendOutputs();
    return true;
}

void Acquisition::followSchedule(double degrees) {
    runThermostat(session_.outputs, degrees, session_.setTemperature, temperatureControlEnabled(workspace_.setup));
    const DateTime now = runClock_.now();
    applyLightSwitches(session_.outputs, lightSchedule(workspace_.setup), lightCheckedAt_, now);
    lightCheckedAt_ = now;
}

void Acquisition::instrumentBack() {
    waiting_ = false;
    otherInstrumentTold_ = false;
    const DateTime back = runClock_.now();
    // As after a resume: warm-up reads, and the detection waits for its window again.
    slot_ = 0;
    ticksSinceStart_ = 0;
    intervalCounter_ = 0;
    detection_.forgetPendingMarks();
    staleBlocks_.fill(true);
    owner_.showInstrumentWait("");
    owner_.instrumentAnswers();
    const bool running = state_ != AcquisitionState::Stopped;
    log_.event("Instrument back on " + comText(session_.port) + "; lost from " + clockText(lostAt_) + " to " +
               clockText(back) + "; beam settings of " + beamsToSend_.source + " and output state " +
               std::to_string(outputStateCode(session_.outputs)) + " sent again");
    const std::string told = "The instrument answers again on " + comText(session_.port) + " since " +
                             clockText(back) + "; " +
                             (running ? runGoesOn(recording_) : std::string("Start works again")) + ". Lost: " +
                             clockText(lostAt_) + " to " + clockText(back) + ".";
    owner_.tell(told);
    owner_.notify(RunEvent::InstrumentBack, told);
    if (!running) owner_.setTimer(false, TimerIntervalMs);
}

void Acquisition::noteUnanswered() {
    // Any request left without a reply may have been a blip: the restarted
    // instrument would record the rest of the run at its power-on settings.
    if (!unanswered_) return;
    if (!resendPending_) unansweredAt_ = runClock_.now();
    resendPending_ = true;
    resendNext_ = 0;
    loadBeamsToSend();
}

void Acquisition::resendStep() {
    if (!resendPending_ || unanswered_) return;
    const int to = std::min(resendNext_ + ResendChannelsPerTick, ChannelCount);
    if (!writeBeams(resendNext_, to)) return;  // the next tick tries the same beams again
    resendNext_ = to;
    if (resendNext_ < ChannelCount) return;
    resendPending_ = false;
    sendOutputs();
    log_.event("No answer at " + secondsText(unansweredAt_) + "; beam settings of " + beamsToSend_.source +
               " and outputs sent again");
}

void Acquisition::exitWhileLost() {
    waiting_ = false;
    session_.outputs = InstrumentState{};
    const bool reached = reachInstrument() == Reach::Same;
    if (reached) {
        sendOutputs();
        session_.comm.CommClose(session_.port);
    } else {
        owner_.showOutputs(session_.outputs);
    }
    const std::string text =
        "Program exit while the instrument was lost: " +
        (reached ? "it answered on " + comText(session_.port) + " and its outputs were switched off"
                 : "it could not be reached on " + comText(session_.port) +
                       ", so its light and heating may still be on");
    // A run stopped while waiting has closed its events.log; this line belongs to it.
    const bool reopened = log_.runLogPath().empty() && recording_ && log_.openRunLog(folder_, runClock_);
    log_.event(text);
    if (!log_.runLogPath().empty()) log_.program(text);
    if (reopened) log_.closeRunLog();
}

}  // namespace zorvex
