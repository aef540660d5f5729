#include "analysis/Calibration.h"

#include "common/Files.h"
#include "device/COM_Module.h"

namespace zorvex {

namespace {

constexpr int SensorRow = 1;  // Mn row 1: Organism, Enab_Cal, Enab_Zero, SNRx10
constexpr int CalibrationField = 1;
constexpr int ZeroField = 2;
constexpr int SettleMs = 50;
constexpr int LastChannel = ChannelCount - 1;

bool inWindow(std::int16_t sample) { return sample >= CalibrationLow && sample <= CalibrationHigh; }

void stop(BeamStep& beam) {
    beam.done = true;
    beam.direction = 0;
}

// One pass loop shared by the full calibration and the re-adjustment.
class CalibrationPasses {
public:
    CalibrationPasses(SensorLink& link, BeamSettings& beams) : link_(link), beams_(beams) {}

    std::array<BeamStep, ChannelCount> steps{};
    int passes = 0;

    /// Passes until every channel is done or the acquisition ends; false when
    /// a write failed (`onWriteFailure` has run).
    template <typename ReadLevels, typename OnFailure>
    bool run(ReadLevels readLevels, OnFailure onWriteFailure) {
        int written = LastChannel;
        bool finished = false;
        while (!finished && link_.run.active()) {
            ++passes;
            link_.progress.label("Acquiring...");
            discardChannelLevels(link_.comm, link_.port);
            link_.host.pauseResponsive(SettleMs);
            const ChannelLevels& levels = readLevels();
            link_.progress.label("Calibrating... [" + std::to_string(written) + "]");
            link_.progress.bar(LastChannel - written);
            finished = true;
            written = 0;
            for (int c = 0; c < ChannelCount; ++c) {
                const auto index = static_cast<std::size_t>(c);
                BeamStep& beam = steps[index];
                if (beam.done) continue;
                beam.pinHole = beams_.PinHole[index];
                beam.gain = beams_.Gain[index];
                const std::int16_t sample = levels[index];
                if (!inWindow(sample)) finished = false;
                const bool write = stepBeam(beam, sample);
                beams_.PinHole[index] = beam.pinHole;
                beams_.Gain[index] = beam.gain;
                if (!write) continue;
                ++written;
                if (!writeChannel(c)) {
                    onWriteFailure();
                    return false;
                }
                // A pass writes up to 384 beams, seconds on the wire: the
                // window turns between two, and a stop ends the pass there.
                link_.host.yield();
                if (!link_.run.active()) break;
            }
            link_.host.yield();
        }
        return true;
    }

    bool writeChannel(int channel) {
        const auto index = static_cast<std::size_t>(channel);
        return WriteChannelSetting(link_.comm, link_.port, link_.host, link_.dialogs, channel, beams_.PinHole[index],
                                   beams_.Gain[index]) == 1;
    }

    /// Unmapped channels go to 0, 0 and count as done; mapped ones at 0, 0 get PinHole 2.
    void prepare(const PlateFormat& plate) {
        for (int c = 0; c < ChannelCount; ++c) {
            const auto index = static_cast<std::size_t>(c);
            if (plate.WellOfChannel[index] < 0) {
                beams_.PinHole[index] = 0;
                beams_.Gain[index] = 0;
                steps[index].done = true;
            } else if (beams_.PinHole[index] == 0 && beams_.Gain[index] == 0) {
                beams_.PinHole[index] = DefaultPinHole;
            }
        }
    }

    CalibrationEnd save() {
        if (writeCalibrationFile(beams_.programFolder, beams_.PinHole, beams_.Gain)) {
            link_.progress.label("Calibration OK");
            return CalibrationEnd::Saved;
        }
        // The instrument holds the new settings; only the next start would
        // lose them, so the operator must know the file was not written.
        link_.progress.label("Calibration NOT SAVED");
        link_.dialogs.message(calibrationNotSavedText(beams_.programFolder));
        return CalibrationEnd::NotSaved;
    }

private:
    SensorLink& link_;
    BeamSettings& beams_;
};

}  // namespace

std::string calibrationNotSavedText(const std::filesystem::path& programFolder) {
    return "Calibration done: the beam settings are in the instrument but NOT SAVED, because " +
           (programFolder / CalibrationFileName).string() +
           " could not be written. Check the disk and the folder's permissions, then calibrate again.";
}

bool stepBeam(BeamStep& beam, std::int16_t sample) {
    if (inWindow(sample)) {
        stop(beam);
        return false;
    }
    const bool low = sample < CalibrationLow;
    if (low && beam.direction != -1) {
        if (beam.gain < MaxGain) {
            ++beam.gain;
        } else if (beam.pinHole < MaxPinHole) {
            beam.gain = 0;
            ++beam.pinHole;
        } else {
            stop(beam);  // no more headroom
        }
        if (!beam.done) beam.direction = 1;
    } else if (!low && beam.direction != 1) {
        if (beam.gain > 0) {
            --beam.gain;
        } else if (beam.pinHole > MinPinHole) {
            beam.gain = MaxGain;
            --beam.pinHole;
        } else {
            stop(beam);
        }
        if (!beam.done) beam.direction = -1;
    } else if (low) {
        stop(beam);  // it went too low after being lowered: keep the lowered value
    } else {
        beam.direction = 0;  // it overshot after being raised: the next pass lowers it
    }
    return !beam.done;
}

CalibrationOutcome runFullCalibration(SensorLink& link, BeamSettings beams, const PlateFormat& plate,
                                      SampleFrame& frame) {
    CalibrationOutcome outcome;
    if (!link.online) {
        link.dialogs.message("Operation not possible in OFFLINE mode");
        return outcome;
    }
    CalibrationPasses passes(link, beams);
    if (fileExists(beams.programFolder / CalibrationFileName)) {
        link.progress.label("Writing Calibration...");
        outcome.fileNote = readCalibrationFile(beams.programFolder, beams.PinHole, beams.Gain).note();
    } else {
        link.progress.label("Writing First Time Calibration...");
        writeDefaultCalibrationFile(beams.programFolder, beams.PinHole, beams.Gain);
    }
    passes.prepare(plate);

    for (int c = 0; c < ChannelCount && link.run.active(); ++c) {
        link.progress.label("Writing calibration..." + std::to_string(c));
        link.progress.bar(c);
        // Every beam rather than every 21st: 21 verified writes keep the window still too long.
        link.host.yield();
        if (!link.run.active()) break;
        if (!passes.writeChannel(c)) {
            link.dialogs.message("Communication error. Check COM PORT and equipment connection.");
            outcome.end = CalibrationEnd::WriteFailed;
            return outcome;
        }
    }

    ChannelLevels levels{};
    const auto readIntoFrame = [&]() -> const ChannelLevels& {
        for (int c = 0; c < ChannelCount; ++c) levels[static_cast<std::size_t>(c)] = frame.at(c, 0);
        readChannelLevels(link.comm, link.port, levels);
        for (int c = 0; c < ChannelCount; ++c) frame.at(c, 0) = levels[static_cast<std::size_t>(c)];
        return levels;
    };
    const bool ok = passes.run(readIntoFrame, [&] {
        link.run.stop();
        link.host.yield();
    });
    outcome.passes = passes.passes;
    outcome.end = ok ? passes.save() : CalibrationEnd::WriteFailed;
    return outcome;
}

CalibrationOutcome readjustChannels(SensorLink& link, BeamSettings beams, const PlateFormat& plate,
                                    std::array<bool, ChannelCount>& flags) {
    CalibrationOutcome outcome;
    outcome.end = CalibrationEnd::WriteFailed;
    try {
        CalibrationPasses passes(link, beams);
        passes.prepare(plate);
        for (std::size_t c = 0; c < flags.size(); ++c) {
            if (passes.steps[c].done) flags[c] = true;
            passes.steps[c].done = flags[c];
        }
        link.progress.showPanel(CalibrationBanner);
        link.progress.label("Auto-Adjustment...");
        link.progress.startBar(ChannelCount);

        ChannelLevels levels{};
        const auto readOwnList = [&]() -> const ChannelLevels& {
            readChannelLevels(link.comm, link.port, levels);
            return levels;
        };
        const bool ok = passes.run(readOwnList, [&] { link.progress.hidePanel(); });
        for (std::size_t c = 0; c < flags.size(); ++c) flags[c] = passes.steps[c].done;
        outcome.passes = passes.passes;
        if (ok) {
            outcome.end = passes.save();
            link.progress.hidePanel();
        }
    } catch (const std::exception&) {
        // A failure inside a bin end must not end the acquisition; the beams stay as they are.
        link.progress.hidePanel();
    }
    return outcome;
}

SensorSwitches projectSwitches(const ProjectSetup& setup) {
    SensorSwitches switches;
    switches.autoCalibration = setup.Mn[SensorRow][CalibrationField] == 1;
    switches.autoZero = setup.Mn[SensorRow][ZeroField] == 1;
    return switches;
}

void manualCalibrationOff(SensorSwitches& switches, ProjectSetup& setup) {
    setAutoCalibration(switches, setup, true);
    setAutoZero(switches, setup, true);
    switches.manual = false;
}

void manualCalibrationOn(SensorSwitches& switches) { switches.manual = true; }

void setAutoCalibration(SensorSwitches& switches, ProjectSetup& setup, bool ticked) {
    switches.autoCalibration = ticked;
    setup.Mn[SensorRow][CalibrationField] = ticked ? 1 : 0;
}

void setAutoZero(SensorSwitches& switches, ProjectSetup& setup, bool ticked) {
    switches.autoZero = ticked;
    setup.Mn[SensorRow][ZeroField] = ticked ? 1 : 0;
}

}  // namespace zorvex
