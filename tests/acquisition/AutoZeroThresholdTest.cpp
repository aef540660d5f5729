#include <gtest/gtest.h>

#include "acquisition/AutoZeroThreshold.h"

using namespace zorvex;

namespace {

AutoZeroSums sumsOf(std::int64_t amplitude, std::int64_t level, std::int32_t samples) {
    return AutoZeroSums{amplitude, level, samples};
}

}  // namespace

TEST(AutoZeroThreshold, MarginIsTheRippleShareOfTheLevelTimesTheFactor) {
    const AutoZeroResult result = autoZeroThreshold(sumsOf(50 * 400, 2500 * 400, 400), 2.0, {});
    EXPECT_EQ(result.meanAmplitude, 50);
    EXPECT_EQ(result.meanLevel, 2500);
    EXPECT_DOUBLE_EQ(result.threshold, (1 - (2500.0 - 50) / 2500) * 100 * 2.0 + 1);
}

TEST(AutoZeroThreshold, MeansRoundHalvesToEven) {
    // 5 / 2 = 2.5 -> 2 and 7 / 2 = 3.5 -> 4.
    const AutoZeroResult result = autoZeroThreshold(sumsOf(5, 7, 2), 1.8, {});
    EXPECT_EQ(result.meanAmplitude, 2);
    EXPECT_EQ(result.meanLevel, 4);
}

TEST(AutoZeroThreshold, DarkNoisyOrEmptyChannelsGetTheFullFactor) {
    const double full = 1.8 * 100 + 1;
    EXPECT_DOUBLE_EQ(autoZeroThreshold(sumsOf(0, 0, 400), 1.8, {}).threshold, full);       // level 0
    EXPECT_DOUBLE_EQ(autoZeroThreshold(sumsOf(800, 400, 400), 1.8, {}).threshold, full);   // ripple above level
    EXPECT_DOUBLE_EQ(autoZeroThreshold(sumsOf(400, 400, 400), 1.8, {}).threshold, full);   // ripple equal to level
    EXPECT_DOUBLE_EQ(autoZeroThreshold(sumsOf(0, 0, 0), 1.8, {}).threshold, full);         // nothing accumulated
}

TEST(AutoZeroThreshold, ConstantSignalGetsTheFloorOfOne) {
    EXPECT_DOUBLE_EQ(autoZeroThreshold(sumsOf(0, 2000 * 300, 300), 1.8, {}).threshold, 1.0);
}

TEST(AutoZeroThreshold, RecalibratesABrightChannelOnlyWhenRecordingWithAutoCalibration) {
    const AutoZeroSums bright = sumsOf(0, 1945 * 100, 100);
    const AutoZeroSums limit = sumsOf(0, 1944 * 100, 100);
    EXPECT_TRUE(autoZeroThreshold(bright, 1.8, {true, true, 3, 0}).recalibrate);
    EXPECT_TRUE(autoZeroThreshold(bright, 1.8, {true, true, 0, 2}).recalibrate);
    EXPECT_FALSE(autoZeroThreshold(bright, 1.8, {true, true, 0, 1}).recalibrate) << "gain 0, pin-hole 1";
    EXPECT_FALSE(autoZeroThreshold(bright, 1.8, {false, true, 3, 0}).recalibrate);
    EXPECT_FALSE(autoZeroThreshold(bright, 1.8, {true, false, 3, 0}).recalibrate);
    EXPECT_FALSE(autoZeroThreshold(limit, 1.8, {true, true, 3, 0}).recalibrate);
}
