// The instrument lost and found again: a USB adapter that resets, a cable
// knocked out for a minute or a power blip must not end a run of days. The
// run waits, tries the port every 5 s, gives the instrument back the state it
// had, and goes on sampling into the same folder.

#include <algorithm>

#include "acquisition/Acquisition.h"
#include "common/Text.h"
#include "device/COM_Module.h"
#include "device/PortSearch.h"

namespace zorvex {

namespace {

constexpr int RestoreYieldChannels = 21;  // as the calibration's first writes

std::string clockText(const DateTime& when) { return formatDigits(when.hour, 2) + ":" + formatDigits(when.minute, 2); }

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

}  // namespace

void Acquisition::instrumentLost() {
    waiting_ = true;
    lostAt_ = runClock_.now();
    silentTicks_ = 0;
    nextAttemptMs_ = host_.steadyMs() + ReconnectIntervalMs;
    session_.comm.CommClose(session_.port);
    // The bin in progress holds samples repeated since the loss: it is
    // dropped, and a fresh one starts when the instrument is back.
    slot_ = 0;
    log_.event("Instrument lost on " + comText(session_.port) + " (" + session_.comm.portMap().device(session_.port) +
               "): no sample block came back in " + std::to_string(LostAfterSilentTicks) +
               " ticks; the bin in progress is dropped");
    owner_.showInstrumentWait(waitStatus());
    owner_.tell(lostText(session_.comm.portMap(), session_.port, lostAt_, recording_, binsRecorded_, folder_));
}

std::string Acquisition::waitStatus() {
    return "Waiting for the instrument since " + clockText(lostAt_) + " (" +
           std::to_string(std::max(0LL, minutesBetween(lostAt_, runClock_.now()))) + " min)";
}

void Acquisition::waitingTick() {
    // The lapse runs on and ends at its planned time; pause and stop work as usual.
    if (state_ == AcquisitionState::Stopped) return;
    if (!(state_ == AcquisitionState::Paused && timeCounterStopped_)) timeStep();
    if (state_ == AcquisitionState::Stopped || host_.steadyMs() < nextAttemptMs_) return;
    nextAttemptMs_ = host_.steadyMs() + ReconnectIntervalMs;
    owner_.showInstrumentWait(waitStatus());
    if (!reopenInstrumentPort(session_.comm, session_.port, host_)) return;
    if (!restoreInstrument()) {
        session_.comm.CommClose(session_.port);
        if (state_ != AcquisitionState::Stopped) {
            log_.event("The instrument answered on " + comText(session_.port) +
                       " but did not take its settings back; trying again");
        }
        return;
    }
    instrumentBack();
}

bool Acquisition::restoreInstrument() {
    // A power blip resets the instrument: it gets back every beam setting the
    // run had written (none before a calibration) and the output state.
    const bool beamsWritten = std::any_of(session_.PinHole.begin(), session_.PinHole.begin() + ChannelCount,
                                          [](std::int16_t pinHole) { return pinHole != 0; });
    for (int c = 0; beamsWritten && c < ChannelCount; ++c) {
        if (c % RestoreYieldChannels == 0) {
            host_.yield();
            if (state_ == AcquisitionState::Stopped) return false;
        }
        const auto index = static_cast<std::size_t>(c);
        if (WriteChannelSetting(session_.comm, session_.port, host_, quietNotices_, c, session_.PinHole[index],
                                session_.Gain[index]) != 1) {
            return false;
        }
    }
    // The set temperature lives in the program's thermostat, which runs again
    // at the next bin end; the instrument keeps no set point of its own.
    sendOutputs();
    return true;
}

void Acquisition::instrumentBack() {
    waiting_ = false;
    const DateTime back = runClock_.now();
    // As after a resume: warm-up reads, and the detection waits for its window again.
    slot_ = 0;
    ticksSinceStart_ = 0;
    intervalCounter_ = 0;
    owner_.showInstrumentWait("");
    log_.event("Instrument back on " + comText(session_.port) + "; lost from " + clockText(lostAt_) + " to " +
               clockText(back) + "; beam settings and output state sent again");
    owner_.tell("The instrument answers again on " + comText(session_.port) + " since " + clockText(back) + "; " +
                runGoesOn(recording_) + ". Lost: " + clockText(lostAt_) + " to " + clockText(back) + ".");
}

}  // namespace zorvex
