#include <gtest/gtest.h>

#include <stdexcept>

#include "acquisition/Detection.h"

using namespace zorvex;

namespace {

constexpr int Watched = 12;  // the channel with a well in these tests
constexpr int Level = 2000;
constexpr int DipLevel = 1000;

// Plays the acquisition cycle around the detection: stores one sample per tick,
// passes the counters as the cycle keeps them (ticks since start, the interval
// counter that runs 0..DSP_Interval) and advances them afterwards.
class Cycle {
public:
    Cycle(int rtBuffer, int method, int dspInterval, bool autoZero = false)
        : frame_(rtBuffer), detection_(rtBuffer) {
        settings_.dspMethod = method;
        settings_.dspInterval = dspInterval;
        settings_.autoZero = autoZero;
        settings_.thresholds.fill(10.0);
        settings_.hasWell[Watched] = true;
    }

    /// One tick with `sample` on every channel.
    void tick(int sample) {
        for (int c = 0; c < ChannelCount; ++c) frame_.at(c, slot_) = static_cast<std::int16_t>(sample);
        const DetectionTick now{slot_, ticks_, intervalCounter_ == settings_.dspInterval};
        detection_.step(frame_, now, settings_);
        slot_ = (slot_ + 1) % frame_.rtBuffer();
        intervalCounter_ = intervalCounter_ == settings_.dspInterval ? 0 : intervalCounter_ + 1;
        ++ticks_;
    }
    void ticks(int count, int sample) {
        for (int i = 0; i < count; ++i) tick(sample);
    }
    /// Ticks until the interval counter is about to reach `position` in its interval.
    void untilIntervalPosition(int position, int sample) {
        while (intervalCounter_ != position) tick(sample);
    }

    int binCount() const { return detection_.binCounts()[Watched]; }
    int total() const { return detection_.runningTotals()[Watched]; }
    int ticksSoFar() const { return ticks_; }
    int slot() const { return slot_; }
    DetectionSettings& settings() { return settings_; }
    SampleFrame& frame() { return frame_; }
    Detection& detection() { return detection_; }

private:
    SampleFrame frame_;
    Detection detection_;
    DetectionSettings settings_;
    int slot_ = 0;
    std::int32_t ticks_ = 0;
    int intervalCounter_ = 0;
};

}  // namespace

TEST(Detection, MethodOneCountsATwentySampleDipOnce) {
    Cycle cycle(500, 1, 10);
    cycle.ticks(60, Level);
    cycle.ticks(20, DipLevel);
    cycle.ticks(60, Level);
    EXPECT_EQ(cycle.binCount(), 1);
    EXPECT_EQ(cycle.total(), 1);
    EXPECT_EQ(cycle.detection().activityMarks()[Watched], 0);
}

TEST(Detection, MethodZeroCountsThreeDipsInOneIntervalOnce) {
    Cycle cycle(500, 0, 10);
    cycle.ticks(40, Level);
    cycle.untilIntervalPosition(1, Level);
    for (int dip = 0; dip < 3; ++dip) {
        cycle.tick(DipLevel);
        cycle.tick(Level);
    }
    EXPECT_EQ(cycle.binCount(), 0) << "method 0 counts at the interval end";
    cycle.untilIntervalPosition(1, Level);
    EXPECT_EQ(cycle.binCount(), 1);
    EXPECT_EQ(cycle.detection().activityMarks()[Watched], 0);

    // The next interval with a dip counts again.
    cycle.tick(DipLevel);
    cycle.untilIntervalPosition(1, Level);
    EXPECT_EQ(cycle.binCount(), 2);
}

TEST(Detection, NothingCountsDuringTheFirstOneAndAHalfIntervals) {
    // DSP_Interval 10: counting starts once the ticks since start exceed 15.
    Cycle early(500, 1, 10);
    early.ticks(13, Level);
    early.ticks(3, DipLevel);  // ticks 13, 14, 15
    early.ticks(30, Level);
    EXPECT_EQ(early.binCount(), 0);
    EXPECT_EQ(early.total(), 0);

    Cycle justAfter(500, 1, 10);
    justAfter.ticks(16, Level);
    justAfter.ticks(3, DipLevel);  // ticks 16, 17, 18
    justAfter.ticks(30, Level);
    EXPECT_EQ(justAfter.binCount(), 1);
}

TEST(Detection, BandStartsAtTheFirstTickWithAFullWindow) {
    Cycle cycle(500, 1, 10);
    cycle.ticks(11, Level);  // ticks 0..10: nothing yet
    EXPECT_EQ(cycle.detection().lowerBand().at(Watched, 5), 0);
    cycle.tick(Level);  // tick 11 fills the earlier slots with the settled band
    for (int s = 0; s <= 11; ++s) EXPECT_EQ(cycle.detection().lowerBand().at(Watched, s), 1800) << "slot " << s;
}

TEST(Detection, ChannelWithoutWellNeverCounts) {
    Cycle cycle(500, 1, 10);
    constexpr int NoWell = Watched + 1;
    cycle.ticks(60, Level);
    for (int dip = 0; dip < 5; ++dip) {
        cycle.ticks(3, DipLevel);
        cycle.ticks(10, Level);
    }
    EXPECT_GT(cycle.binCount(), 0);
    EXPECT_EQ(cycle.detection().binCounts()[NoWell], 0);
    EXPECT_EQ(cycle.detection().runningTotals()[NoWell], 0);
    EXPECT_EQ(cycle.detection().lowerBand().at(NoWell, 30), 0);
}

TEST(Detection, BinCountRestartsAtSlotZeroAndTotalsCarryOn) {
    Cycle cycle(200, 1, 10);
    cycle.ticks(60, Level);
    cycle.ticks(3, DipLevel);
    cycle.ticks(200 - cycle.slot(), Level);  // to the end of the bin
    EXPECT_EQ(cycle.binCount(), 1);
    cycle.tick(Level);  // slot 0 of the next bin
    EXPECT_EQ(cycle.binCount(), 0);
    EXPECT_EQ(cycle.total(), 1);
}

TEST(Detection, RunningTotalStopsAtTenThousand) {
    Cycle cycle(500, 1, 10);
    cycle.ticks(60, Level);
    // A dip every other sample counts every other tick.
    while (cycle.ticksSoFar() < 60 + 2 * 10100) {
        cycle.tick(DipLevel);
        cycle.tick(Level);
    }
    EXPECT_EQ(cycle.total(), RunningTotalCap);
    EXPECT_GT(cycle.binCount(), 0);
}

TEST(Detection, MethodTwoBandIsThePlainPercentageOfTheLastTenSamples) {
    Cycle cycle(500, 2, 10);
    cycle.ticks(30, Level);
    cycle.tick(3000);
    cycle.tick(Level);
    EXPECT_EQ(cycle.detection().lowerBand().at(Watched, 31), 2700);  // 90 % of 3000, no averaging
}

TEST(Detection, CircularRuleSkipsTheLastSlotWhenSteppingBackFromSlotZero) {
    // Method 2 looks 10 slots back. From slot 1 the first slot back is the last
    // slot (199); from slot 0 it is slot 198, so the last slot is left out.
    Cycle cycle(200, 2, 10);
    cycle.ticks(199, Level);
    cycle.tick(3000);  // slot 199
    cycle.tick(Level);  // slot 0
    EXPECT_EQ(cycle.detection().lowerBand().at(Watched, 0), 1800);
    cycle.tick(Level);  // slot 1
    EXPECT_EQ(cycle.detection().lowerBand().at(Watched, 1), 2700);
}

TEST(Detection, CircularRuleAlsoPicksTheBandsAveragedAtSlotZero) {
    // A 3000 sample at slot 198 lifts the band of slot 199 to
    // (2700 + 3 x 1800) / 4 = 2025. Slot 0 averages the bands of slots 198, 197
    // and 196, not 199: (2700 + 3 x 1800) / 4 = 2025 again (with 199 it would
    // be 2081).
    Cycle cycle(200, 1, 10);
    cycle.ticks(198, Level);
    cycle.tick(3000);
    cycle.tick(Level);
    EXPECT_EQ(cycle.detection().lowerBand().at(Watched, 199), 2025);
    cycle.tick(Level);
    EXPECT_EQ(cycle.detection().lowerBand().at(Watched, 0), 2025);
}

TEST(Detection, AutoZeroAccumulatesTheBinForThePartsThreshold) {
    // Period 4 around 2000: 2000, 2020, 2000, 1980. From tick 11 on each tick
    // adds peak - valley for the slot before it: 0 at slot 11 (the envelopes
    // start at the signal), 20 at 12 and 13 once the valley 1980 is seen, then
    // 40; the level is the mean 2000.
    Cycle cycle(200, 1, 10, true);
    const int pattern[4] = {2000, 2020, 2000, 1980};
    for (int s = 0; s < 200; ++s) cycle.tick(pattern[s % 4]);
    const AutoZeroSums sums = cycle.detection().autoZeroSums(Watched);
    EXPECT_EQ(sums.samples, 189);
    EXPECT_EQ(sums.amplitude, 20 + 20 + 40 * 186);
    EXPECT_EQ(sums.level, 2000 * 189);
    EXPECT_EQ(cycle.binCount(), 0) << "under auto-zero the bin counts come from the bin end";

    RecalibrationInputs beam{true, true, 1, 0};
    const AutoZeroResult result = autoZeroThreshold(sums, 1.8, beam);
    EXPECT_EQ(result.meanAmplitude, 40);  // 7480 / 189 = 39.6
    EXPECT_EQ(result.meanLevel, 2000);
    EXPECT_DOUBLE_EQ(result.threshold, (1 - (2000.0 - 40) / 2000) * 100 * 1.8 + 1);
    EXPECT_TRUE(result.recalibrate);

    // The first two slots of the next bin start the sums afresh.
    cycle.tick(pattern[0]);
    cycle.tick(pattern[1]);
    EXPECT_EQ(cycle.detection().autoZeroSums(Watched).samples, 0);
    EXPECT_EQ(cycle.detection().autoZeroSums(Watched).amplitude, 0);
}

TEST(Detection, AutoZeroDisplayBandsFollowTheThreshold) {
    Cycle cycle(500, 1, 10, true);
    cycle.tick(Level);  // warm-up: the bands sit around the sample itself
    EXPECT_EQ(cycle.detection().lowerBand().at(Watched, 0), 1800);
    EXPECT_EQ(cycle.detection().upperBand().at(Watched, 0), 2200);
    cycle.ticks(20, Level);
    cycle.tick(3000);
    cycle.tick(Level);  // the recent maximum is 3000
    EXPECT_EQ(cycle.detection().lowerBand().at(Watched, 22), 2700);
    EXPECT_EQ(cycle.detection().upperBand().at(Watched, 22), 3300);
}

TEST(Detection, AutoZeroBinCountsComeFromTheBinEnd) {
    Cycle cycle(500, 1, 10, true);
    cycle.detection().setBinCount(Watched, 7);
    EXPECT_EQ(cycle.binCount(), 7);
    EXPECT_EQ(cycle.total(), 7);
    // 1428 bins of 7 reach 9996, still below 10000: the next one is added whole.
    for (int bin = 1; bin < 1429; ++bin) cycle.detection().setBinCount(Watched, 7);
    EXPECT_EQ(cycle.total(), 10003);
    cycle.detection().setBinCount(Watched, 7);
    EXPECT_EQ(cycle.total(), 10003);
    EXPECT_EQ(cycle.binCount(), 7);
}

TEST(Detection, ExtremeThresholdHoldsTheBandAtTheEdge) {
    Cycle cycle(500, 2, 10);
    cycle.settings().thresholds[Watched] = -2000;  // a hand-edited channel file
    cycle.ticks(20, 4095);
    EXPECT_EQ(cycle.detection().lowerBand().at(Watched, 19), 32767);
}

TEST(Detection, RejectsFramesAndSlotsOfAnotherBuffer) {
    EXPECT_THROW(Detection(4), std::invalid_argument);
    Detection detection(500);
    DetectionSettings settings;
    SampleFrame other(400);
    EXPECT_THROW(detection.step(other, DetectionTick{0, 0, false}, settings), std::invalid_argument);
    SampleFrame frame(500);
    EXPECT_THROW(detection.step(frame, DetectionTick{500, 0, false}, settings), std::invalid_argument);
}
