// The calibration step rules, and full calibration and re-adjustment driving
// the simulated instrument's beams into the window.

#include <gtest/gtest.h>

#include <algorithm>
#include <iostream>
#include <vector>

#include "SensorFixture.h"
#include "analysis/Calibration.h"
#include "common/Files.h"
#include "store/PlateFormat.h"

using namespace zorvex;

namespace {

BeamStep beamAt(int pinHole, int gain) {
    BeamStep beam;
    beam.pinHole = static_cast<std::int16_t>(pinHole);
    beam.gain = static_cast<std::int16_t>(gain);
    return beam;
}

class CalibrationOnPty : public test::SensorOnPty {
protected:
    void SetUp() override {
        SensorOnPty::SetUp();
        plate = *builtInPlate("z96f");
    }
    BeamSettings beams() { return BeamSettings{pinHole, gain, folder.path()}; }
    int settingOf(int c) const {
        const auto i = static_cast<std::size_t>(c);
        return gain[i] * 32 + pinHole[i];
    }
    bool mapped(int c) const { return plate.WellOfChannel[static_cast<std::size_t>(c)] >= 0; }
    static bool atLimit(const BeamStep& beam) {
        return (beam.pinHole == MaxPinHole && beam.gain == MaxGain) || (beam.pinHole == MinPinHole && beam.gain == 0);
    }

    int mappedCount() const {
        int count = 0;
        for (int c = 0; c < ChannelCount; ++c) count += mapped(c);
        return count;
    }

    /// Mapped beams whose undisturbed level (the median of 41 readings, which
    /// no organism's dip of at most 20 samples can move) lies outside the
    /// window while their sensitivity could still move.
    int beamsOffTheWindow() {
        std::vector<ChannelLevels> readings(41);
        for (ChannelLevels& levels : readings) readChannelLevels(*comm, Com, levels);
        int off = 0;
        for (int c = 0; c < ChannelCount; ++c) {
            if (!mapped(c)) continue;
            std::vector<std::int16_t> values;
            for (const ChannelLevels& levels : readings) values.push_back(levels[static_cast<std::size_t>(c)]);
            std::nth_element(values.begin(), values.begin() + 20, values.end());
            const std::int16_t level = values[20];
            const int noise = 6;
            const bool inside = level >= CalibrationLow - noise && level <= CalibrationHigh + noise;
            const auto i = static_cast<std::size_t>(c);
            if (!inside && !atLimit(beamAt(pinHole[i], gain[i]))) ++off;
        }
        return off;
    }

    /// calvalue.dat, the values in memory and the instrument's settings agree.
    void expectFileAndInstrumentAgree() {
        BeamTable savedPin{};
        BeamTable savedGain{};
        readCalibrationFile(folder.path(), savedPin, savedGain);
        for (int c = 0; c < ChannelCount; ++c) {
            const auto i = static_cast<std::size_t>(c);
            EXPECT_EQ(savedPin[i], pinHole[i]);
            EXPECT_EQ(savedGain[i], gain[i]);
            EXPECT_EQ(sim->instrument.channelSetting(c), settingOf(c)) << c;
        }
    }

    PlateFormat plate;
    BeamTable pinHole{};
    BeamTable gain{};
    SampleFrame frame{200};
};

/// The same on a plate without organisms, as for a blank calibration.
class CalibrationOnEmptyPlate : public CalibrationOnPty {
protected:
    void SetUp() override {
        sim::InstrumentConfig empty;
        empty.organisms = false;
        sim = std::make_unique<test::SimulatedInstrument>(empty);
        CalibrationOnPty::SetUp();
    }
};

}  // namespace

TEST(CalibrationStep, ChannelInTheWindowIsDoneAtOnce) {
    BeamStep beam = beamAt(2, 3);
    EXPECT_FALSE(stepBeam(beam, 1700));
    EXPECT_TRUE(beam.done);
    EXPECT_EQ(beam.gain, 3);
}

TEST(CalibrationStep, RaisingFromGainSevenMovesToTheNextPinHole) {
    BeamStep beam = beamAt(3, 7);
    EXPECT_TRUE(stepBeam(beam, 1000));
    EXPECT_EQ(beam.pinHole, 4);
    EXPECT_EQ(beam.gain, 0);
    EXPECT_EQ(beam.direction, 1);
}

TEST(CalibrationStep, TooLowAfterLoweringKeepsTheLoweredValue) {
    BeamStep beam = beamAt(3, 0);
    EXPECT_TRUE(stepBeam(beam, 1900));
    EXPECT_EQ(beam.pinHole, 2);
    EXPECT_EQ(beam.gain, 7);
    EXPECT_FALSE(stepBeam(beam, 1500));
    EXPECT_TRUE(beam.done);
    EXPECT_EQ(beam.pinHole, 2);
    EXPECT_EQ(beam.gain, 7);
}

TEST(CalibrationStep, OvershootAfterRaisingIsLoweredOnTheFollowingPass) {
    BeamStep beam = beamAt(2, 3);
    EXPECT_TRUE(stepBeam(beam, 1500));
    EXPECT_EQ(beam.gain, 4);
    EXPECT_TRUE(stepBeam(beam, 1900));  // written again unchanged, direction cleared
    EXPECT_EQ(beam.gain, 4);
    EXPECT_EQ(beam.direction, 0);
    EXPECT_TRUE(stepBeam(beam, 1900));
    EXPECT_EQ(beam.gain, 3);
    EXPECT_EQ(beam.direction, -1);
}

TEST(CalibrationStep, BeamAtASensitivityLimitIsDone) {
    BeamStep top = beamAt(7, 7);
    EXPECT_FALSE(stepBeam(top, 100));
    EXPECT_TRUE(top.done);
    BeamStep bottom = beamAt(1, 0);
    EXPECT_FALSE(stepBeam(bottom, 4000));
    EXPECT_TRUE(bottom.done);
    EXPECT_EQ(bottom.direction, 0);
}

TEST_F(CalibrationOnPty, OfflineIsRefused) {
    SensorLink sensors = link(false);
    EXPECT_EQ(runFullCalibration(sensors, beams(), plate, frame).end, CalibrationEnd::Refused);
    EXPECT_EQ(dialogs.shown, std::vector<std::string>{"Operation not possible in OFFLINE mode"});
    EXPECT_FALSE(fileExists(folder / CalibrationFileName));
}

TEST_F(CalibrationOnPty, FastCalibWhileStoppedWritesNothingAndSavesTheDefaults) {
    run.running = false;
    SensorLink sensors = link();
    const CalibrationOutcome outcome = runFullCalibration(sensors, beams(), plate, frame);
    EXPECT_EQ(outcome.end, CalibrationEnd::Saved);
    EXPECT_EQ(outcome.passes, 0);
    EXPECT_EQ(writes(), 0);
    EXPECT_EQ(progress.labels.front(), "Writing First Time Calibration...");
    EXPECT_EQ(progress.labels.back(), "Calibration OK");
    BeamTable savedPin{};
    BeamTable savedGain{};
    readCalibrationFile(folder.path(), savedPin, savedGain);
    for (int c = 0; c < ChannelCount; ++c) {
        const auto i = static_cast<std::size_t>(c);
        EXPECT_EQ(savedPin[i], mapped(c) ? 2 : 0) << c;
        EXPECT_EQ(savedGain[i], mapped(c) ? 3 : 0) << c;
    }
}

TEST_F(CalibrationOnPty, CalvalueThatCannotBeWrittenIsReportedNotCalledOk) {
    run.running = false;
    const std::string before = "\"<Num_Channel>, <PinHole>, <Gain> \"\r\n";
    writeFile(folder / CalibrationFileName, before);
    // The new file is written beside the old one first; a folder stands there.
    std::filesystem::create_directory(folder / (std::string(CalibrationFileName) + ".tmp"));
    SensorLink sensors = link();
    const CalibrationOutcome outcome = runFullCalibration(sensors, beams(), plate, frame);
    EXPECT_EQ(outcome.end, CalibrationEnd::NotSaved);
    EXPECT_EQ(progress.labels.back(), "Calibration NOT SAVED");
    ASSERT_EQ(dialogs.shown.size(), 1u);
    EXPECT_EQ(dialogs.shown[0], calibrationNotSavedText(folder.path()));
    EXPECT_NE(dialogs.shown[0].find((folder / CalibrationFileName).string() + " could not be written"),
              std::string::npos);
    EXPECT_EQ(readFile(folder / CalibrationFileName), before);
}

TEST_F(CalibrationOnEmptyPlate, FullCalibrationBringsEveryMappedBeamIntoTheWindowOrToALimit) {
    SensorLink sensors = link();
    const CalibrationOutcome outcome = runFullCalibration(sensors, beams(), plate, frame);
    ASSERT_EQ(outcome.end, CalibrationEnd::Saved);
    std::cout << "[ calibration ] empty plate: converged in " << outcome.passes << " passes\n";
    EXPECT_GT(outcome.passes, 1);
    EXPECT_EQ(progress.labels.back(), "Calibration OK");
    EXPECT_EQ(beamsOffTheWindow(), 0);
    expectFileAndInstrumentAgree();
}

TEST_F(CalibrationOnPty, OrganismsCrossingDuringCalibrationMisleadOnlyAFewBeams) {
    SensorLink sensors = link();
    const CalibrationOutcome outcome = runFullCalibration(sensors, beams(), plate, frame);
    ASSERT_EQ(outcome.end, CalibrationEnd::Saved);
    std::cout << "[ calibration ] with organisms: converged in " << outcome.passes << " passes\n";
    // One reading per pass decides: a beam read during an organism's dip can
    // be left off the window. That may touch a few beams, never many.
    const int misled = beamsOffTheWindow();
    std::cout << "[ calibration ] " << misled << " beams misled by a dip\n";
    EXPECT_LE(misled * 100, mappedCount() * 3);
    expectFileAndInstrumentAgree();
}

TEST_F(CalibrationOnPty, ReadjustmentLowersOnlyTheFlaggedBeamAndSetsItsFlag) {
    SensorLink sensors = link();
    ASSERT_EQ(runFullCalibration(sensors, beams(), plate, frame).end, CalibrationEnd::Saved);
    int hot = 0;
    while (!mapped(hot)) ++hot;
    const BeamTable calibratedGain = gain;
    pinHole[hot] = 7;
    gain[hot] = 7;
    ASSERT_EQ(WriteChannelSetting(*comm, Com, host, dialogs, hot, 7, 7), 1);

    std::array<bool, ChannelCount> flags;
    flags.fill(true);
    flags[hot] = false;
    const CalibrationOutcome outcome = readjustChannels(sensors, beams(), plate, flags);
    ASSERT_EQ(outcome.end, CalibrationEnd::Saved);
    EXPECT_TRUE(flags[hot]);
    EXPECT_LT(pinHole[hot] * 8 + gain[hot], 63);
    EXPECT_EQ(sim->instrument.channelSetting(hot), settingOf(hot));
    for (int c = 0; c < ChannelCount; ++c) {
        if (c == hot) continue;
        EXPECT_EQ(gain[static_cast<std::size_t>(c)], calibratedGain[static_cast<std::size_t>(c)]);
    }
    EXPECT_EQ(progress.panels.back(), "<AUTOCALIBRATION>");
    EXPECT_TRUE(std::find(progress.labels.begin(), progress.labels.end(), "Auto-Adjustment...") != progress.labels.end());
    BeamTable savedPin{};
    BeamTable savedGain{};
    readCalibrationFile(folder.path(), savedPin, savedGain);
    EXPECT_EQ(savedPin[hot], pinHole[hot]);
}

TEST_F(CalibrationOnPty, FailedWriteDuringThePassesStopsTheAcquisitionAndSavesNothing) {
    // The line goes dead once the first pass has been read.
    progress.onLabel = [this](const std::string& text) {
        if (text.starts_with("Calibrating...")) sim->server.disconnect();
    };
    SensorLink sensors = link();
    const CalibrationOutcome outcome = runFullCalibration(sensors, beams(), plate, frame);
    EXPECT_EQ(outcome.end, CalibrationEnd::WriteFailed);
    EXPECT_EQ(run.stops, 1);
    ASSERT_FALSE(dialogs.shown.empty());
    EXPECT_TRUE(dialogs.shown.back().starts_with("Ops...Data Writing ERROR: reg("));
    EXPECT_NE(progress.labels.back(), "Calibration OK");
    // Only the first-time defaults were written to the file.
    BeamTable savedPin{};
    BeamTable savedGain{};
    readCalibrationFile(folder.path(), savedPin, savedGain);
    EXPECT_EQ(savedGain[0], 3);
    EXPECT_EQ(savedGain[100], 3);
}
