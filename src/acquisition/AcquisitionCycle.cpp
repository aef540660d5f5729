// The timer tick: samples, detection, the bin close and the time step.

#include <cmath>
#include <limits>

#include "acquisition/Acquisition.h"
#include "acquisition/AutoZeroThreshold.h"
#include "common/DateTime.h"
#include "common/Numbers.h"
#include "common/Text.h"
#include "control/LightSchedule.h"
#include "control/Temperature.h"
#include "device/COM_Module.h"

namespace zorvex {

namespace fs = std::filesystem;

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

// Size of a file before an append, to undo it; 0 when it does not exist yet.
std::uintmax_t sizeBefore(const fs::path& file) {
    std::error_code error;
    const std::uintmax_t size = fs::file_size(file, error);
    return error ? 0 : size;
}

// What the operator is told when the instrument stops answering.
std::string instrumentLostText(const PortMap& ports, int port, bool recording, int binsRecorded,
                               const fs::path& folder) {
    std::string text = "The instrument stopped answering on COM" + std::to_string(port) + " (" +
                       ports.device(port) + "), so the " + (recording ? "acquisition" : "monitor run") +
                       " was stopped. ";
    if (recording && binsRecorded == 0) {
        text += "No bin was completed; " + folder.string() + " holds no data. ";
    } else if (recording) {
        text += "The " + (binsRecorded == 1 ? std::string("bin") : std::to_string(binsRecorded) + " bins") +
                " recorded so far " + (binsRecorded == 1 ? "is" : "are") + " saved in " + folder.string() + ". ";
    }
    return text + "Check the cable and the power of the instrument, then start the program again.";
}

}  // namespace

void Acquisition::tick() {
    try {
        if (state_ == AcquisitionState::Running) {
            runningTick();
        } else if (state_ == AcquisitionState::Paused && !timeCounterStopped_) {
            timeStep();
        }
    } catch (const std::exception&) {
        // A failed tick is dropped as a whole; the next one starts afresh.
    }
}

void Acquisition::runningTick() {
    const ProjectSetup& setup = workspace_.setup;
    readBlocks();
    if (silentTicks_ >= LostAfterSilentTicks) {
        instrumentLost();
        return;
    }
    if (ticksSinceStart_ == setup.DSP_Interval) owner_.redraw(LiveRedraw::FullPlot);

    refreshDetectionSettings();
    detection_.step(frame_, DetectionTick{slot_, ticksSinceStart_, intervalCounter_ == setup.DSP_Interval},
                    detectionSettings_);
    if (blank_.active() && !options_.autoZero) blankSample();
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
}

void Acquisition::readBlocks() {
    if (!session_.online()) return;
    if (slot_ < 2 || ticksSinceStart_ < 2) {
        // The first exchanges after a start or a bin change are discarded: the
        // instrument answers them with stale samples.
        for (int offset : SampleBlockOffsets) readSampleBlock(session_.comm, session_.port, offset);
        host_.pause(WarmUpPauseMs);
    }
    bool answered = false;
    for (int offset : SampleBlockOffsets) {
        const BlockReply reply = readSampleBlock(session_.comm, session_.port, offset);
        answered = answered || reply.status != BlockStatus::Missing;
        for (int index = 0; index < SampleBlockValues; ++index) {
            const int channel = blockChannel(offset, index);
            if (reply.status == BlockStatus::Complete) {
                frame_.at(channel, slot_) = reply.block.values[static_cast<std::size_t>(index)];
            } else if (slot_ > 1) {
                frame_.at(channel, slot_) = frame_.at(channel, slot_ - 1);
            }
        }
    }
    silentTicks_ = answered ? 0 : silentTicks_ + 1;
}

void Acquisition::instrumentLost() {
    // Going on would fill the files with held samples counted as no activity,
    // for days if nobody looks; the bin in progress is dropped like at any stop.
    stop();
    owner_.instrumentLost(instrumentLostText(session_.comm.portMap(), session_.port, recording_, binsRecorded_,
                                             folder_));
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
    const ProjectSetup& setup = workspace_.setup;
    const double degrees = readTemperature(session_);
    runThermostat(session_.outputs, degrees, session_.setTemperature, temperatureControlEnabled(setup));
    applyLightHours(session_.outputs, lightSchedule(setup), host_.now().hour);
    sendOutputs();
    if (options_.autoZero) autoZeroBinEnd();

    BinSummary summary;
    summary.bin = binsClosed_++;
    summary.elapsedMinutes = elapsedMinutes_;
    summary.temperature = degrees;
    for (std::int16_t count : detection_.binCounts()) summary.totalCount += count;
    if (recording_) summary.recorded = recordBin(degrees);
    owner_.binClosed(summary);
}

void Acquisition::autoZeroBinEnd() {
    std::array<bool, ChannelCount> marked{};
    bool anyMarked = false;
    for (int c = 0; c < ChannelCount; ++c) {
        const auto index = static_cast<std::size_t>(c);
        if (workspace_.plate.WellOfChannel[index] < 0) continue;
        const RecalibrationInputs beam{options_.autoCalibration, recording_, session_.Gain[index],
                                       session_.PinHole[index]};
        const AutoZeroResult result = autoZeroThreshold(detection_.autoZeroSums(c), options_.snrFactor, beam);
        workspace_.channels.Threshold[index] = result.threshold;
        marked[index] = result.recalibrate;
        anyMarked = anyMarked || result.recalibrate;
        const auto count =
            analysis_.CalculateActivity(frame_, c, options_.snrFactor, workspace_.setup.DSP_Method);
        detection_.setBinCount(c, count.value_or(0));
    }
    if (anyMarked) sensors_.recalibrate(*this, marked);
}

bool Acquisition::recordBin(double degrees) {
    ActivityRecord record;
    record.elapsedMinutes = elapsedMinutes_;
    record.counts = detection_.binCounts();
    record.temperatureTenths = temperatureTenths(degrees);

    // A bin is written whole or not at all: its dump and its record share the
    // bin's number, and the readers pair them by position.
    const bool saveReal = workspace_.setup.Save_real == 1;
    const fs::path dumpFile = realTimeFilePath(folder_, files_.fileNumber);
    const std::uintmax_t dumpSize = sizeBefore(dumpFile);
    bool written = !saveReal || appendRealTimeDump(folder_, files_.fileNumber, frame_);
    if (written && !appendActivityRecord(folder_, record)) {
        written = false;
        std::error_code ignored;
        if (saveReal) fs::resize_file(dumpFile, dumpSize, ignored);
    }
    if (written) {
        files_.advance();
        ++binsRecorded_;
    } else if (!writeFailureShown_) {
        writeFailureShown_ = true;
        dialogs_.message("Data writing ERROR: a bin could not be saved in " + folder_.string() +
                         ". The acquisition goes on; check the disk.");
    }
    return written;
}

void Acquisition::timeStep() {
    const double elapsedDays = nowDays() - startDays_;
    const double minutes = elapsedDays * MinutesPerDay;
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

void Acquisition::finish() {
    owner_.setTimer(false, TimerIntervalMs);
    session_.outputs.active = false;
    session_.outputs.light = false;
    sendOutputs();
    if (recording_) owner_.openReport(folder_);
    dialogs_.message("Acquisition finished");
    stop();
}

}  // namespace zorvex
