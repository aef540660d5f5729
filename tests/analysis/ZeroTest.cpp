// The SNR factor and its presets, Fast ZERO on the simulated instrument, the
// bin auto zero margin and the blank reading.

#include <gtest/gtest.h>

#include "SensorFixture.h"
#include "acquisition/AutoZeroThreshold.h"
#include "analysis/Zero.h"
#include "common/Files.h"
#include "store/ProjectSetup.h"

using namespace zorvex;

namespace {

constexpr double Snr = 1.8;

class FastZeroOnPty : public test::SensorOnPty {
protected:
    SampleFrame frame{200};
    ChannelTable channels = defaultChannelTable();
};

// A row whose samples from 10 on alternate between two levels.
std::vector<std::int16_t> alternating(int sets, std::int16_t even, std::int16_t odd) {
    std::vector<std::int16_t> row(static_cast<std::size_t>(sets));
    for (int j = 0; j < sets; ++j) row[static_cast<std::size_t>(j)] = j % 2 == 0 ? even : odd;
    return row;
}

}  // namespace

TEST(SnrFactor, TypedFactorBelowTheOrganismFloorIsRaisedTo18) {
    ProjectSetup setup;
    test::ScriptedDialogs dialogs;
    const SnrBox box = typedSnr("1.2", setup, dialogs);
    EXPECT_TRUE(dialogs.shown.empty());
    EXPECT_EQ(setup.Mn[1][3], 12);
    EXPECT_EQ(setup.Mn[1][0], 2);
    EXPECT_EQ(box.text, "1.8");
    EXPECT_DOUBLE_EQ(box.factor, 1.8);
    EXPECT_TRUE(box.visible);
    EXPECT_EQ(box.caption, "> Zero SNR:");
}

TEST(SnrFactor, InvalidTextShowsTheRangeAndFallsBackTo18) {
    for (const char* typed : {"", "abc", "5.1", "1.09", "2x"}) {
        ProjectSetup setup;
        test::ScriptedDialogs dialogs;
        const SnrBox box = typedSnr(typed, setup, dialogs);
        ASSERT_EQ(dialogs.shown.size(), 1u) << typed;
        EXPECT_EQ(dialogs.shown[0], "Invalid value: 1.1 to 5.0");
        EXPECT_EQ(setup.Mn[1][3], 18);
        EXPECT_EQ(box.text, "1.8");
    }
}

TEST(SnrFactor, ValidFactorIsStoredTimesTenHalvesToEven) {
    ProjectSetup setup;
    test::ScriptedDialogs dialogs;
    const SnrBox box = typedSnr("3.25", setup, dialogs);
    EXPECT_EQ(setup.Mn[1][3], 32);
    EXPECT_EQ(box.text, "3.2");
    EXPECT_DOUBLE_EQ(box.factor, 3.2);
}

TEST(SnrFactor, OrganismPresetsHideTheBox) {
    const SnrBox elegans = applyOrganism(Organism::Elegans, "4.0");
    EXPECT_EQ(elegans.text, "1.8");
    EXPECT_FALSE(elegans.visible);
    EXPECT_EQ(elegans.caption, ">>>>");
    const SnrBox zebrafish = applyOrganism(Organism::Zebrafish, "4.0");
    EXPECT_EQ(zebrafish.text, "2.8");
    EXPECT_DOUBLE_EQ(zebrafish.factor, 2.8);
    const SnrBox custom = applyOrganism(Organism::Customized, "4.0");
    EXPECT_DOUBLE_EQ(custom.factor, 4.0);
    EXPECT_EQ(initialSnrText(0), "1.8");
    EXPECT_EQ(initialSnrText(25), "2.5");
    EXPECT_DOUBLE_EQ(startSnrFactor("1.2"), 1.8);
    EXPECT_DOUBLE_EQ(startSnrFactor("1.3"), 1.3);
}

TEST(ZeroMargins, FastZeroTakesTheEnvelopeFromSampleTen) {
    // Extremes 1000 and 1100 from sample 11 on: A = 100, M = 1050.
    const auto row = alternating(30, 1000, 1100);
    EXPECT_DOUBLE_EQ(fastZeroMargin(row.data(), 30, Snr), (1 - 950.0 / 1050) * 100 * Snr + 1);
}

TEST(ZeroMargins, LevelZeroGivesOneInFastZeroAndFTimes100PlusOneAtABinEnd) {
    const std::vector<std::int16_t> zeros(100, 0);
    EXPECT_DOUBLE_EQ(fastZeroMargin(zeros.data(), 100, Snr), 1.0);
    EXPECT_DOUBLE_EQ(binZeroMargin(0, 0, Snr), Snr * 100 + 1);
    // The cycle's bin end uses the same rule.
    EXPECT_DOUBLE_EQ(autoZeroThreshold(AutoZeroSums{}, Snr, {}).threshold, Snr * 100 + 1);
    EXPECT_DOUBLE_EQ(binZeroMargin(50, 1000, Snr), noiseMargin(50, 1000, Snr));
}

TEST_F(FastZeroOnPty, ReadsThirtySetsWithBothAutoSwitchesElseAHundred) {
    EXPECT_EQ(fastZeroSets(true, true), 30);
    EXPECT_EQ(fastZeroSets(true, false), 100);
    EXPECT_EQ(fastZeroSets(false, true), 100);
    SensorLink sensors = link();
    ASSERT_TRUE(fastZero(sensors, frame, channels, Snr, fastZeroSets(true, true)));
    EXPECT_EQ(requests(RequestSampleBlock), 4 + 30 * 4);
    EXPECT_EQ(progress.barUnits, 30);
    EXPECT_EQ(progress.labels.front(), "AutoZero Calculation .... <000>");
    EXPECT_EQ(progress.labels.back(), "AutoZero... <29>");
    EXPECT_EQ(host.yields, 30);  // one a set, so the window never waits for ten
}

TEST_F(FastZeroOnPty, QuietBeamsGetSmallMarginsFromRealBlocks) {
    SensorLink sensors = link();
    ASSERT_TRUE(fastZero(sensors, frame, channels, Snr, 100));
    for (int c = 0; c < ChannelCount; ++c) {
        EXPECT_GT(frame.at(c, 99), 0) << c;
        EXPECT_GE(channels.Threshold[static_cast<std::size_t>(c)], 1.0);
        // Noise of a few counts on a level of hundreds, with an organism's dip now and then.
        EXPECT_LT(channels.Threshold[static_cast<std::size_t>(c)], 60.0) << c;
    }
}

TEST_F(FastZeroOnPty, StoppedAcquisitionEndsAfterTheFirstSetWithThresholdsUnchanged) {
    run.running = false;
    SensorLink sensors = link();
    EXPECT_FALSE(fastZero(sensors, frame, channels, Snr, 100));
    EXPECT_EQ(requests(RequestSampleBlock), 8);
    EXPECT_EQ(channels, defaultChannelTable());
}

TEST_F(FastZeroOnPty, MissingBlocksLeaveTheBufferAsItWas) {
    sim->server.disconnect();
    for (int slot = 0; slot < 30; ++slot) frame.at(5, slot) = 777;
    SensorLink sensors = link();
    ASSERT_TRUE(fastZero(sensors, frame, channels, Snr, 30));
    EXPECT_EQ(frame.at(5, 29), 777);
    EXPECT_EQ(frame.at(6, 0), 0);
    EXPECT_DOUBLE_EQ(channels.Threshold[5], 1.0);  // a flat row
    EXPECT_TRUE(dialogs.shown.empty());
}

TEST_F(FastZeroOnPty, OfflineReadsNothingAndUsesTheBuffer) {
    const auto row = alternating(100, 1000, 1100);
    std::copy(row.begin(), row.end(), frame.row(7));
    SensorLink sensors = link(false);
    ASSERT_TRUE(fastZero(sensors, frame, channels, Snr, 100));
    EXPECT_EQ(requests(RequestSampleBlock), 0);
    EXPECT_DOUBLE_EQ(channels.Threshold[7], fastZeroMargin(row.data(), 100, Snr));
}

class BlankTest : public ::testing::Test {
protected:
    void SetUp() override {
        workspace.projectFolder = folder.path();
        workspace.channels = defaultChannelTable();
        workspace.plate.WellOfChannel.fill(0);
        workspace.setup.Threshold_Counter = 3;
    }
    /// Every mapped channel gets `value` in slot 0 and the reading takes it.
    bool sample(std::int16_t value, int channel = -1) {
        for (int c = 0; c < ChannelCount; ++c) frame.at(c, 0) = channel < 0 || c == channel ? value : 0;
        return blank.addSample(frame, 0, workspace, progress);
    }

    test::TempFolder folder;
    test::ManualHost host;
    test::RecordedProgress progress;
    Workspace workspace;
    SampleFrame frame{200};
    BlankReading blank;
};

TEST_F(BlankTest, StartMakesTheTimedFolderWithTheProjectSaved) {
    EXPECT_EQ(blank.start(workspace, host), "Setting Blank.... (3 samples)");
    EXPECT_TRUE(blank.active());
    EXPECT_EQ(blank.folder(), folder.path() / "06122026_1458");
    EXPECT_TRUE(fileExists(blank.folder() / "setup.dat"));
    EXPECT_EQ(blank.maximum(0), 0);
    EXPECT_EQ(blank.minimum(0), 10000);
}

TEST_F(BlankTest, FlatSignalGivesOneAndExtremesGiveTheFifteenPercentRule) {
    blank.start(workspace, host);
    sample(1500);
    EXPECT_DOUBLE_EQ(workspace.channels.Threshold[0], 1.0);
    sample(2000);
    // Int((1 - 1500 / 2000) x 100 x 1.15) + 1 = Int(28.75) + 1.
    EXPECT_DOUBLE_EQ(workspace.channels.Threshold[0], 29.0);
    EXPECT_DOUBLE_EQ(blankMargin(1000, 1000), 1.0);
}

TEST_F(BlankTest, AllZeroChannelKeepsItsThreshold) {
    workspace.channels.Threshold[3] = 4.5;
    blank.start(workspace, host);
    sample(0);
    sample(0);
    EXPECT_DOUBLE_EQ(workspace.channels.Threshold[3], 4.5);
}

TEST_F(BlankTest, EndsAtTheFirstChannelOnceTheCounterExceedsThresholdCounter) {
    workspace.plate.WellOfChannel[0] = -1;  // the first mapped channel is 1
    blank.start(workspace, host);
    for (int i = 0; i < 4; ++i) EXPECT_FALSE(sample(static_cast<std::int16_t>(1000 + i))) << i;
    EXPECT_TRUE(sample(900));
    EXPECT_FALSE(blank.active());
    EXPECT_EQ(progress.labels.back(), "Setting (1) OK...");
    EXPECT_EQ(blank.minimum(1), 900);
    EXPECT_EQ(blank.minimum(2), 1000);  // the reading ended before channel 2 took the fifth sample
    EXPECT_EQ(blank.maximum(0), 0);      // unmapped channels are never read
    EXPECT_FALSE(sample(100));           // ended: nothing more is taken
    EXPECT_EQ(blank.minimum(1), 900);
}
