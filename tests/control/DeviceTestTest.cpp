// The device test sequence against the simulated instrument.

#include <gtest/gtest.h>

#include <map>
#include <set>

#include "SessionOnPty.h"
#include "control/DeviceTest.h"

using namespace zorvex;

namespace {

class RecordedSurface : public DeviceTestSurface {
public:
    void drawGrid() override { ++grids; }
    void paintCell(int column, int row, int grey) override { cells[{column, row}] = grey; }
    void progress(double width) override { lastProgress = width; }
    void showHint(const std::string& text) override { hint = text; }
    void restorePanel() override { ++restores; }
    void showSummary(const DeviceTestSummary& shown) override { summary = shown; }

    int grids = 0;
    int restores = 0;
    double lastProgress = -1;
    std::string hint;
    std::map<std::pair<int, int>, int> cells;
    std::optional<DeviceTestSummary> summary;
};

class DeviceTestOnPty : public test::SessionOnSimulator {
protected:
    void SetUp() override {
        SessionOnSimulator::SetUp();
        deviceTest = std::make_unique<DeviceTest>(*session, host, dialogs, surface);
    }
    /// Runs ticks until the test ends; the number of ticks run.
    int runToEnd() {
        int ticks = 0;
        while (ticks < 200 && deviceTest->tick()) ++ticks;
        return ticks + 1;
    }
    /// Channels whose sensitivity write the instrument received.
    std::set<int> writtenChannels() const {
        std::set<int> channels;
        for (const sim::Frame& frame : sim->instrument.recentFrames()) {
            if (frame[1] == 0x80) channels.insert(frame[2]);
            if (frame[1] == 0x81) channels.insert(frame[2] + 128);
        }
        return channels;
    }

    RecordedSurface surface;
    std::unique_ptr<DeviceTest> deviceTest;
};

}  // namespace

TEST(DeviceTestSteps, ABeamPassesWhenItRoseByTheMarginFromMinimumToMaximum) {
    struct Case {
        int atMaximum;
        int atMinimum;
        bool passed;
    };
    for (const Case& c : {Case{2040, 300, true}, Case{400, 300, true}, Case{399, 300, false}, Case{300, 300, false},
                          Case{0, 0, false}, Case{-1, 300, false}, Case{2040, -1, false}}) {
        EXPECT_EQ(beamReacted(c.atMaximum, c.atMinimum), c.passed) << c.atMaximum << " over " << c.atMinimum;
    }
}

TEST(DeviceTestSteps, WritesOfTheStepTable) {
    EXPECT_EQ(deviceTestWrites(4).size(), 4u);
    EXPECT_EQ(deviceTestWrites(4)[3].gain, 7);
    EXPECT_EQ(deviceTestWrites(10).size(), 24u);
    EXPECT_EQ(deviceTestWrites(10)[1].channel, 16);
    const auto minimum = deviceTestWrites(26);
    ASSERT_EQ(minimum.size(), 6u);
    EXPECT_EQ(minimum[3].channel, 383);
    EXPECT_EQ(minimum[5].channel, 255);
    EXPECT_EQ(deviceTestWrites(105).back().channel, 383 - 15 - 11 * 16);
    EXPECT_TRUE(deviceTestWrites(9).empty());
    EXPECT_TRUE(deviceTestWrites(106).empty());
    // Steps 26..89 switch every channel to minimum exactly once.
    std::set<int> switched;
    for (int n = 26; n <= 89; ++n)
        for (const BeamWrite& write : deviceTestWrites(n)) switched.insert(write.channel);
    EXPECT_EQ(switched.size(), 384u);
}

TEST(DeviceTestSteps, GreyIsTheLevelOverEightUpTo255) {
    EXPECT_EQ(cellGrey(2040), 255);
    EXPECT_EQ(cellGrey(4095), 255);
    EXPECT_EQ(cellGrey(0), 0);
    EXPECT_EQ(cellGrey(804), 100);  // 100.5 rounds to even
    EXPECT_EQ(cellGrey(812), 102);  // 101.5 rounds to even
}

TEST_F(DeviceTestOnPty, RefusedWhileAnAcquisitionRuns) {
    EXPECT_FALSE(deviceTest->begin(true));
    EXPECT_EQ(dialogs.shown, std::vector<std::string>{"Stop acquisition before Testing"});
}

TEST_F(DeviceTestOnPty, CancelTouchesNothingAndRestoresThePanel) {
    dialogs.answers.push_back(Answer::Cancel);
    EXPECT_FALSE(deviceTest->begin(false));
    EXPECT_TRUE(dialogs.shown[0].starts_with("DEVICE TEST:\r\nLigth Microbeams will be adjusted"));
    EXPECT_EQ(surface.restores, 1);
    EXPECT_EQ(surface.grids, 0);
    EXPECT_FALSE(deviceTest->tick());
    EXPECT_TRUE(sim->instrument.recentFrames().empty());
}

TEST_F(DeviceTestOnPty, NoAtStepNineEndsAfterTheFirstFourBeamsWentOnAndOff) {
    // OK, the two notices, then No.
    dialogs.answers = {Answer::Ok, Answer::Ok, Answer::Ok, Answer::No};
    ASSERT_TRUE(deviceTest->begin(false));
    EXPECT_EQ(surface.hint, "Open and close Zorvex Door to see sensing changes");
    EXPECT_EQ(runToEnd(), 10);
    EXPECT_FALSE(deviceTest->running());
    EXPECT_EQ(dialogs.shown.back(), "OK to proceed?");
    EXPECT_EQ(writtenChannels(), (std::set<int>{0, 1, 2, 3}));
    EXPECT_EQ(writes(), 2 * 4 * 9);
    for (int c = 0; c < 4; ++c) EXPECT_EQ(sim->instrument.channelSetting(c), 0);
    EXPECT_EQ(sim->instrument.channelSetting(4), 3 * 32 + 2);  // power-on setting untouched
    EXPECT_EQ(surface.restores, 1);
}

TEST_F(DeviceTestOnPty, FullRunLeavesEveryBeamAtTwoAndTwoAndPaintsTheLevels) {
    ASSERT_TRUE(deviceTest->begin(false));
    EXPECT_EQ(runToEnd(), DeviceTestSteps);
    EXPECT_EQ(deviceTest->step(), DeviceTestSteps);
    for (int c = 0; c < ChannelCount; ++c) ASSERT_EQ(sim->instrument.channelSetting(c), 2 * 32 + 2) << c;
    EXPECT_EQ(surface.cells.size(), 384u);
    const int level = deviceTest->levels()[37];
    EXPECT_EQ(surface.cells.at({37 / 16, 37 % 16}), cellGrey(level));
    EXPECT_DOUBLE_EQ(surface.lastProgress, 120 * 0.83);
    // The summary stands in for the panel until the window uses it again.
    EXPECT_EQ(surface.restores, 0);
    ASSERT_TRUE(surface.summary.has_value());
    EXPECT_EQ(surface.summary->passed.size(), 384u);
    EXPECT_TRUE(surface.summary->failed.empty());
}

TEST_F(DeviceTestOnPty, LostLineShowsComErrorAndEnds) {
    ASSERT_TRUE(deviceTest->begin(false));
    ASSERT_TRUE(deviceTest->tick());
    sim->server.disconnect();
    EXPECT_FALSE(deviceTest->tick());
    EXPECT_EQ(dialogs.shown.back(), "COM Error");
    EXPECT_EQ(deviceTest->step(), 1);
}

TEST_F(DeviceTestOnPty, OfflineReadsNothingAndStillSteps) {
    session->mode = OperatingMode::Offline;
    ASSERT_TRUE(deviceTest->begin(false));
    EXPECT_TRUE(deviceTest->tick());
    EXPECT_EQ(surface.cells.at({0, 0}), 0);
    EXPECT_EQ(deviceTest->step(), 1);
}
