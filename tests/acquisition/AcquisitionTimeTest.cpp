// The end of the lapse, pause with and without the time counter, resume and
// stop, on the manual clock.

#include "AcquisitionFixture.h"
#include "common/Files.h"

using namespace zorvex;
using test::AcquisitionOnPty;

TEST_F(AcquisitionOnPty, LapseEndsAtTheFirstTimeStepAtOrAfterItsMinute) {
    workspace.setup.Aq_lapse = 60;
    ASSERT_TRUE(startNamed("Hour"));
    host.advanceMinutes(59.5);
    std::int64_t lastStepBelow = 0;
    int steps = owner.timeSteps;
    while (owner.timerOn) {
        tick(1, 1000);
        if (owner.timerOn && owner.timeSteps != steps) lastStepBelow = host.elapsedMs;
        steps = owner.timeSteps;
    }
    EXPECT_LT(lastStepBelow, 60 * 60000);
    EXPECT_GE(host.elapsedMs, 60 * 60000);
    EXPECT_LE(host.elapsedMs - lastStepBelow, 25 * 1000 + 2 * Acquisition::WarmUpPauseMs);
    EXPECT_EQ(acquisition->state(), AcquisitionState::Stopped);
    EXPECT_EQ(owner.told.back(), "Acquisition finished");
    ASSERT_EQ(owner.reports.size(), 1u);
    EXPECT_EQ(owner.reports[0], acquisition->folder());
    EXPECT_EQ(owner.elapsedText.substr(0, 6), "01:00:");
    EXPECT_EQ(owner.elapsedText.substr(8), " [0d]");
    EXPECT_FALSE(owner.controlsLocked);
    EXPECT_EQ(outputState() & 5, 0);
}

TEST_F(AcquisitionOnPty, MonitorRunEndsWithoutAReport) {
    workspace.setup.Aq_lapse = 1;
    ASSERT_TRUE(startNamed(""));
    host.advanceMinutes(1);
    tick(30);
    EXPECT_EQ(acquisition->state(), AcquisitionState::Stopped);
    EXPECT_TRUE(owner.reports.empty());
    EXPECT_EQ(owner.told.back(), "Acquisition finished");
}

TEST_F(AcquisitionOnPty, ElapsedTextShowsDaysBesideTheTimeOfDay) {
    workspace.setup.Aq_lapse = 3000;
    ASSERT_TRUE(startNamed("Long"));
    host.advanceMinutes(1440 + 61.5);
    tick(25);
    EXPECT_EQ(owner.elapsedText.substr(0, 6), "01:01:");
    EXPECT_EQ(owner.elapsedText.substr(8), " [1d]");
    EXPECT_NEAR(owner.progress, 100.0 * 1501 / 3000, 0.01);
}

TEST_F(AcquisitionOnPty, PauseWithFrozenCounterLeavesTenMinutesOut) {
    workspace.setup.Aq_lapse = 60;
    ASSERT_TRUE(startNamed("Frozen"));
    host.advanceMinutes(5);
    tick(25);
    EXPECT_EQ(acquisition->elapsedMinutes(), 5);
    dialogs.answers = {Answer::Yes};
    acquisition->pauseOrResume();
    EXPECT_EQ(dialogs.shown.back(), "Pause Time Counter?");
    EXPECT_EQ(acquisition->state(), AcquisitionState::Paused);
    EXPECT_FALSE(owner.timerOn);
    EXPECT_EQ(owner.panel, "<< PAUSED >>|Time Counter = OFF");
    EXPECT_TRUE(acquisition->timeCounterStopped());

    host.advanceMinutes(10);
    acquisition->pauseOrResume();
    EXPECT_EQ(acquisition->state(), AcquisitionState::Running);
    EXPECT_TRUE(owner.timerOn);
    EXPECT_TRUE(owner.panel.empty());
    tickBins(1);
    EXPECT_EQ(acquisition->elapsedMinutes(), 5);
    auto records = readActivityRecords(acquisition->folder());
    ASSERT_EQ(records.size(), 1u);
    EXPECT_EQ(records[0].elapsedMinutes, 5);
}

TEST_F(AcquisitionOnPty, PauseWithRunningCounterCountsTheTimeAndCanFinish) {
    workspace.setup.Aq_lapse = 10;
    workspace.setup.Mn[2] = {1, 9, 21, 1, 100, 100};  // one pulse of 10 minutes from the start
    ASSERT_TRUE(startNamed("Running"));
    tick(30);
    dialogs.answers = {Answer::No};
    acquisition->pauseOrResume();
    EXPECT_EQ(owner.panel, "<< PAUSED >>|Time Counter = ON");
    EXPECT_TRUE(owner.timerOn);
    const std::int64_t samples = acquisition->totalSamples();

    host.advanceMinutes(4);
    tick(1);
    EXPECT_EQ(acquisition->elapsedMinutes(), 4);
    EXPECT_TRUE(session->outputs.light);      // pulses go on while paused
    EXPECT_EQ(acquisition->totalSamples(), samples);  // but no sampling

    host.advanceMinutes(6);
    tick(1);
    EXPECT_EQ(acquisition->state(), AcquisitionState::Stopped);
    EXPECT_EQ(owner.told.back(), "Acquisition finished");
    EXPECT_EQ(owner.reports.size(), 1u);
}

TEST_F(AcquisitionOnPty, StopWhilePausedReleasesTheControlsAndSwitchesTheLightOff) {
    workspace.setup.Mn[2] = {1, 14, 15, 0, 0, 0};  // on at 14:58
    ASSERT_TRUE(startNamed("Stopped"));
    ASSERT_TRUE(session->outputs.light);
    tick(10);
    dialogs.answers = {Answer::Yes};
    acquisition->pauseOrResume();
    acquisition->stop();
    EXPECT_EQ(acquisition->state(), AcquisitionState::Stopped);
    EXPECT_FALSE(owner.controlsLocked);
    EXPECT_FALSE(owner.timerOn);
    EXPECT_TRUE(owner.panel.empty());
    EXPECT_FALSE(session->outputs.light);
    EXPECT_EQ(outputState() & 4, 0);
    EXPECT_EQ(acquisition->ticksSinceStart(), 0);
    acquisition->pauseOrResume();  // the pause button does nothing when stopped
    EXPECT_EQ(acquisition->state(), AcquisitionState::Stopped);
}

TEST_F(AcquisitionOnPty, StopKeepsTheHeatingModeAndDropsTheUnfinishedBin) {
    ASSERT_TRUE(startNamed("Partial"));
    tickBins(1, 10);
    tick(50, 10);
    session->outputs.heat = true;
    session->outputs.active = true;
    acquisition->stop();
    EXPECT_TRUE(session->outputs.heat);
    EXPECT_FALSE(session->outputs.active);
    EXPECT_EQ(readActivityRecords(acquisition->folder()).size(), 1u);
}

TEST_F(AcquisitionOnPty, CountingWaitsOneAndAHalfIntervalsAfterAResume) {
    workspace.setup.DSP_Interval = 20;
    ASSERT_TRUE(startNamed("Resume"));
    tick(120, 10);
    auto total = [&] {
        long long sum = 0;
        for (std::int16_t value : acquisition->detection().runningTotals()) sum += value;
        return sum;
    };
    dialogs.answers = {Answer::Yes};
    acquisition->pauseOrResume();
    acquisition->pauseOrResume();
    const long long atResume = total();
    tick(30, 10);  // 1.5 x 20 ticks
    EXPECT_EQ(acquisition->ticksSinceStart(), 30);
    EXPECT_EQ(total(), atResume);
    tick(150, 10);
    EXPECT_GT(total(), atResume);
}
