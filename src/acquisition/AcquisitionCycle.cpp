// The timer tick: samples, detection, the bin close and the time step.

#include <cmath>
#include <limits>
#include <vector>

#include "acquisition/Acquisition.h"
#include "acquisition/AutoZeroThreshold.h"
#include "acquisition/StartChecks.h"
#include "common/DateTime.h"
#include "common/Numbers.h"
#include "common/Text.h"
#include "control/LightSchedule.h"
#include "control/Temperature.h"
#include "device/COM_Module.h"

namespace zorvex {

namespace {

constexpr long long SecondsPerDay = 86400;
constexpr int LiveRedrawTicks = 1;  // the activity view is redrawn when more ticks than this have passed

// "hh:mm:ss [Nd]" of an elapsed time in days.
std::string elapsedText(double days) {
    const long long seconds = std::llround(std::max(days, 0.0) * SecondsPerDay);
    const long long inDay = seconds % SecondsPerDay;
    return formatDigits(inDay / 3600, 2) + ":" + formatDigits(inDay / 60 % 60, 2) + ":" +
           formatDigits(inDay % 60, 2) + " [" + std::to_string(seconds / SecondsPerDay) + "d]";
}

}  // namespace

void Acquisition::tick() {
    try {
        if (waiting_) {
            waitingTick();
        } else if (state_ == AcquisitionState::Running) {
            runningTick();
        } else if (state_ == AcquisitionState::Paused && !timeCounterStopped_) {
            timeStep();
        }
    } catch (const std::exception& failure) {
        tickFailed(failure.what());
    }
}

void Acquisition::tickFailed(const std::string& what) {
    // The tick is dropped as a whole and the next one starts afresh; a
    // failure that comes back (at every bin end, say) is told once.
    ++failedTicks_;
    log_.event("A tick failed: " + what);
    if (failedTicks_ < TellAfterFailedTicks || tickFailureShown_) return;
    tickFailureShown_ = true;
    const std::string told =
        "The acquisition cycle failed " + std::to_string(failedTicks_) + " times (" + what +
        "). It goes on; each failure is written to " +
        (log_.runLogPath().empty() ? std::string(ProgramLogFileName) : log_.runLogPath().string()) + ".";
    owner_.tell(told);
    owner_.notify(RunEvent::CycleFailing, told);
}

void Acquisition::runningTick() {
    const ProjectSetup& setup = workspace_.setup;
    readBlocks();
    if (silentTicks_ >= LostAfterSilentTicks) {
        instrumentLost();
        return;
    }
    noteUnanswered();
    resendStep();
    if (ticksSinceStart_ == setup.DSP_Interval) owner_.redraw(LiveRedraw::FullPlot);

    refreshDetectionSettings();
    if (blank_.active() && !options_.autoZero) {
        // The blank accumulation takes the place of counting (the plate is empty).
        blankSample();
    } else {
        detection_.step(frame_, DetectionTick{slot_, ticksSinceStart_, intervalCounter_ == setup.DSP_Interval},
                        detectionSettings_);
    }
    if (displayCounter_ > LiveRedrawTicks) {
        owner_.redraw(LiveRedraw::Incremental);
        displayCounter_ = 0;
    }

    ++totalSamples_;
    if (++slot_ == frame_.rtBuffer()) {
        slot_ = 0;
        closeBin();
        if (state_ != AcquisitionState::Running) return;
    }
    if (slot_ % TimeStepSamples == 0) {
        timeStep();
        if (state_ == AcquisitionState::Stopped) return;
    }

    ++displayCounter_;
    if (intervalCounter_ >= setup.DSP_Interval) {
        intervalCounter_ = 0;
        windowFlag_ = !windowFlag_;
    } else {
        ++intervalCounter_;
    }
    ++ticksSinceStart_;
}

namespace {
// The blank reading's label goes to the owner's `lblcalibrando`.
class BlankNews : public SetupProgress {
public:
    explicit BlankNews(AcquisitionOwner& owner) : owner_(owner) {}
    void label(const std::string& text) override { owner_.blankReadingNews(text); }

private:
    AcquisitionOwner& owner_;
};
}  // namespace

void Acquisition::blankSample() {
    BlankNews news(owner_);
    if (!blank_.addSample(frame_, slot_, workspace_, news)) return;
    owner_.setTimer(false, TimerIntervalMs);
    owner_.blankReadingEnded();
    log_.event("Blank reading done: thresholds set from " + std::to_string(workspace_.setup.Threshold_Counter) +
               " samples");
}

void Acquisition::readBlocks() {
    unanswered_ = false;
    if (!session_.online()) return;
    if (slot_ < 2 || ticksSinceStart_ < 2) {
        // The first exchanges after a start or a bin change are discarded: the
        // instrument answers them with stale samples.
        for (int offset : SampleBlockOffsets) {
            unanswered_ = !readSampleBlock(session_.comm, session_.port, offset).replied || unanswered_;
        }
        host_.pause(WarmUpPauseMs);
    }
    bool answered = false;
    for (std::size_t block = 0; block < SampleBlockOffsets.size(); ++block) {
        const int offset = SampleBlockOffsets[block];
        const BlockReply reply = readSampleBlock(session_.comm, session_.port, offset);
        answered = answered || reply.status != BlockStatus::Missing;
        unanswered_ = unanswered_ || !reply.replied;
        const bool complete = reply.status == BlockStatus::Complete;
        // After a return, slots before a block's first complete reply take
        // that reply, never the samples left from before the loss.
        const int from = complete && staleBlocks_[block] ? 0 : slot_;
        if (complete) staleBlocks_[block] = false;
        blockFaults_.add(offset, reply.status);
        for (int index = 0; index < SampleBlockValues; ++index) {
            const int channel = blockChannel(offset, index);
            if (complete) {
                const std::int16_t value = reply.block.values[static_cast<std::size_t>(index)];
                for (int s = from; s <= slot_; ++s) frame_.at(channel, s) = value;
            } else if (slot_ > 1) {
                frame_.at(channel, slot_) = frame_.at(channel, slot_ - 1);
            }
        }
    }
    silentTicks_ = answered ? 0 : silentTicks_ + 1;
}

void Acquisition::refreshDetectionSettings() {
    const ProjectSetup& setup = workspace_.setup;
    detectionSettings_.dspMethod = setup.DSP_Method;
    detectionSettings_.dspInterval = setup.DSP_Interval;
    detectionSettings_.autoZero = options_.autoZero;
    for (int c = 0; c < ChannelCount; ++c) {
        const auto index = static_cast<std::size_t>(c);
        detectionSettings_.thresholds[index] = workspace_.channels.Threshold[index];
        detectionSettings_.hasWell[index] = workspace_.plate.WellOfChannel[index] >= 0;
    }
}

void Acquisition::closeBin() {
    const double degrees = readTemperature(session_);
    followSchedule(degrees);
    sendOutputs();
    if (options_.autoZero) autoZeroBinEnd();

    blockFaults_.closeRecord();
    if (runClock_.elapsedMs() >= nextBlockReportMs_) {
        tellBlockFaults();
        nextBlockReportMs_ += BlockReportIntervalMs;
    }

    BinSummary summary;
    summary.bin = binsClosed_++;
    summary.elapsedMinutes = elapsedMinutes_;
    summary.temperature = degrees;
    for (std::int16_t count : detection_.binCounts()) summary.totalCount += count;
    if (recording_) {
        summary.recorded = recordBin(degrees);
        checkDiskSpace();
    }
    owner_.binClosed(summary);
}

void Acquisition::autoZeroBinEnd() {
    std::array<bool, ChannelCount> marked{};
    bool anyMarked = false;
    std::vector<int> counted;
    for (int c = 0; c < ChannelCount; ++c) {
        const auto index = static_cast<std::size_t>(c);
        if (workspace_.plate.WellOfChannel[index] < 0) continue;
        const RecalibrationInputs beam{options_.autoCalibration, recording_, session_.Gain[index],
                                       session_.PinHole[index]};
        const AutoZeroResult result = autoZeroThreshold(detection_.autoZeroSums(c), options_.snrFactor, beam);
        workspace_.channels.Threshold[index] = result.threshold;
        marked[index] = result.recalibrate;
        anyMarked = anyMarked || result.recalibrate;
        counted.push_back(c);
    }
    // The bin's channels are counted together, several at once in vector lanes.
    const auto counts =
        analysis_.CalculateActivities(frame_, counted, options_.snrFactor, workspace_.setup.DSP_Method);
    for (std::size_t n = 0; n < counted.size(); ++n) detection_.setBinCount(counted[n], counts[n].value_or(0));
    if (anyMarked) sensors_.recalibrate(*this, marked);
}

bool Acquisition::recordBin(double degrees) {
    ActivityRecord record;
    record.elapsedMinutes = elapsedMinutes_;
    record.counts = detection_.binCounts();
    record.temperatureTenths = temperatureTenths(degrees);

    // Dump k pairs with record k by its place in the real-time files. The
    // dump is written first and taken back when its record cannot be; a
    // record whose dump alone could not be written is kept, leaving a gap
    // that readers skip.
    const int place = binsRecorded_;
    const bool saveReal = workspace_.setup.Save_real == 1;
    DiskWrites& disk = host_.diskWrites();
    const bool dumped = saveReal && writeRealTimeDump(folder_, place, frame_, disk);
    const std::string dumpError = saveReal && !dumped ? lastSystemError() : "";
    if (!appendActivityRecord(folder_, record, disk)) {
        const std::string recordError = lastSystemError();
        if (dumped && !removeRealTimeDump(folder_, place, frame_.rtBuffer())) {
            log_.event("Record " + std::to_string(binsClosed_) + ": its real-time data could not be taken back (" +
                       lastSystemError() + "); later records may pair with the wrong real-time data");
        }
        recordLost(recordError);
        return false;
    }
    if (writeFailing_) log_.event("Record " + std::to_string(binsClosed_) + " saved: records are saved again");
    writeFailing_ = false;
    if (saveReal && !dumped) {
        dumpLost(dumpError);
    } else if (dumpFailing_) {
        dumpFailing_ = false;
        log_.event("Record " + std::to_string(binsClosed_) + " saved with its real-time data again");
    }
    files_.advance();
    ++binsRecorded_;
    return true;
}

void Acquisition::recordLost(const std::string& why) {
    writeFailing_ = true;
    log_.event("Data writing ERROR: record " + std::to_string(binsClosed_) + " (minute " +
               std::to_string(elapsedMinutes_) + ") could not be saved (" + why + ")");
    if (writeFailureShown_) return;
    writeFailureShown_ = true;
    const std::string told = "Data writing ERROR: a record could not be saved in " + folder_.string() + " (" + why +
                             "). The acquisition goes on; check the disk.";
    owner_.tell(told);
    owner_.notify(RunEvent::WriteError, told);
}

void Acquisition::dumpLost(const std::string& why) {
    dumpFailing_ = true;
    log_.event("Missing real-time data: record " + std::to_string(binsClosed_) + " (minute " +
               std::to_string(elapsedMinutes_) + ") is saved without its real-time data (" + why + ")");
    if (dumpFailureShown_) return;
    dumpFailureShown_ = true;
    const std::string told = "Data writing ERROR: the real-time data of a record could not be saved in " +
                             folder_.string() + " (" + why + "). Its counts are kept and the acquisition goes on; check the disk.";
    owner_.tell(told);
    owner_.notify(RunEvent::WriteError, told);
}

double Acquisition::megabytesPerMinute() const {
    const ProjectSetup& setup = workspace_.setup;
    return recordingMegabytesPerMinute(setup.RT_Buffer, setup.Save_real == 1, TimerIntervalMs);
}

void Acquisition::checkDiskSpace() {
    if (diskWarningShown_) return;
    const long long freeMb = freeMegabytes(host_.freeDiskBytes(folder_));
    if (auto warning = lowDiskWarning(workspace_.setup.Aq_lapse - elapsedMinutes_, megabytesPerMinute(), freeMb)) {
        diskWarningShown_ = true;
        log_.event(*warning);
        owner_.tell(*warning);
        owner_.notify(RunEvent::DiskLow, *warning);
    }
}

void Acquisition::timeStep() {
    checkWallClock();
    const auto elapsedMs = static_cast<double>(std::max<std::int64_t>(host_.steadyMs() - counterStartMs_, 0));
    const double elapsedDays = elapsedMs / (SecondsPerDay * 1000.0);
    const double minutes = elapsedMs / 60000.0;
    elapsedMinutes_ = static_cast<std::int32_t>(
        std::clamp(wholePart(minutes), 0.0, static_cast<double>(std::numeric_limits<std::int32_t>::max())));
    const int lapse = workspace_.setup.Aq_lapse;
    if (elapsedMinutes_ >= lapse) {
        owner_.showElapsed(elapsedText(elapsedDays), 100.0);
        finish();
        return;
    }
    owner_.showElapsed(elapsedText(elapsedDays), 100.0 * elapsedMinutes_ / lapse);

    const LightSchedule schedule = lightSchedule(workspace_.setup);
    if (schedule.enabled && schedule.pulseCount >= 1) {
        if (auto light = pulseLight(schedule, minutes)) session_.outputs.light = *light;
        sendOutputs();
    }
    if (session_.pendingSend) {
        session_.pendingSend = false;
        sendOutputs();
    }
}

void Acquisition::tellBlockFaults() {
    if (auto line = blockFaults_.takeLine()) log_.event(*line);
}

void Acquisition::checkWallClock() {
    const auto moved = runClock_.wallClockMoveMinutes();
    if (!moved) return;
    log_.event("The computer's clock moved " + std::to_string(std::llabs(*moved)) + " min " +
               (*moved > 0 ? "forward" : "back") +
               " (a daylight-saving change or a correction); this run's times go on from its start at " +
               logStamp(runClock_.start()));
}

void Acquisition::finish() {
    owner_.setTimer(false, TimerIntervalMs);
    session_.outputs.active = false;
    session_.outputs.light = false;
    sendOutputs();
    log_.event("End of the lapse (" + std::to_string(workspace_.setup.Aq_lapse) + " min)");
    if (recording_) owner_.openReport(folder_);
    owner_.tell("Acquisition finished");
    owner_.notify(RunEvent::LapseEnd, "Acquisition finished");
    stopTold_ = true;
    stop();
}

}  // namespace zorvex
