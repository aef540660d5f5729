#include <gtest/gtest.h>

#include "BeamModel.h"
#include "DosePlate.h"

using namespace zorvex::sim;

namespace {
constexpr int WindowLow = 1638;
constexpr int WindowHigh = 1843;

// Samples clearly below the undisturbed level: the organism is in the beam.
int dippedSamples(BeamModel& beams, int channel, bool lightOn, int samples) {
    int dipped = 0;
    for (int i = 0; i < samples; ++i) dipped += beams.nextSample(channel, lightOn) < 0.95 * beams.level(channel);
    return dipped;
}
}  // namespace

TEST(BeamModel, EveryBeamCanBeCalibratedIntoTheWindow) {
    for (std::uint64_t seed : {1ULL, 2ULL, 99ULL}) {
        BeamModel beams(seed);
        for (int channel = 0; channel < BeamCount; ++channel) {
            bool reachable = false;
            // Calibration moves pin-hole 1..7 and gain 0..7: steps 8..63.
            for (int step = 8; step <= 63 && !reachable; ++step) {
                double level = beams.level(channel, step);
                reachable = level >= WindowLow && level <= WindowHigh;
            }
            EXPECT_TRUE(reachable) << "seed " << seed << " channel " << channel;
        }
    }
}

TEST(BeamModel, LevelRisesAFewPercentPerSensitivityStep) {
    BeamModel beams(1);
    double ratio = beams.level(10, 20) / beams.level(10, 19);
    EXPECT_GT(ratio, 1.01);
    EXPECT_LT(ratio, 1.10);
    beams.setSetting(10, 7 * 32 + 3);  // gain 7, pin-hole 3: step 31
    EXPECT_DOUBLE_EQ(beams.level(10), beams.level(10, 31));
}

TEST(BeamModel, ReadingsStayNearTheLevelWithinTwelveBits) {
    BeamModel beams(3);
    beams.setSetting(0, 31);  // pin-hole 31: far above full scale
    for (int i = 0; i < 200; ++i) {
        int value = beams.nextSample(0, false);
        EXPECT_LE(value, MaxRawLevel);
        EXPECT_GT(value, 0);
    }
    int quiet = 0;
    for (int i = 0; i < 2000; ++i) {
        int value = beams.nextSample(5, false);
        quiet += std::abs(value - beams.level(5)) <= 10;
    }
    EXPECT_GT(quiet, 1800);
}

TEST(BeamModel, ActivityGrowsAcrossTheColumnsAndWithLight) {
    BeamModel beams(5);
    const int firstColumn = 3, lastColumn = 23 * 16 + 3;
    int darkLeft = dippedSamples(beams, firstColumn, false, 40000);
    int darkRight = dippedSamples(beams, lastColumn, false, 40000);
    int lightRight = dippedSamples(beams, lastColumn, true, 40000);
    EXPECT_GT(darkLeft, 0);
    EXPECT_GT(darkRight, 2 * darkLeft);
    EXPECT_GT(lightRight, darkRight * 3 / 2);
}

TEST(BeamModel, AnEmptyPlateIsNeverCrossed) {
    BeamModel beams(3, false);
    EXPECT_EQ(dippedSamples(beams, 383, true, 5000), 0);
}

TEST(BeamModel, TheDosePlateFollowsItsLogLogisticCurveColumnPairByColumnPair) {
    BeamModel dosed(5, true, true);
    struct Column {
        int plateColumn;
        double concentrationUm;
        double activity;
    };
    // Column 7 holds 100 / 3^4 = 1.23 uM, near the IC50 of 1 uM.
    const std::vector<Column> columns = {{1, 0.0, 1.0},
                                         {2, 100.0 / 19683.0, 1.0 / (1.0 + 100.0 / 19683.0)},
                                         {7, 100.0 / 81.0, 1.0 / (1.0 + 100.0 / 81.0)},
                                         {11, 100.0, 1.0 / 101.0},
                                         {12, 0.0, PositiveControlActivity}};
    const double vehicleRate = dosed.crossingRate(0, false);
    for (const Column& column : columns) {
        const int firstChannel = (column.plateColumn - 1) * 32;
        for (int channel : {firstChannel, firstChannel + 15, firstChannel + 16, firstChannel + 31}) {
            EXPECT_EQ(dosePlateColumn(channel), column.plateColumn) << channel;
            EXPECT_NEAR(dosed.crossingRate(channel, false) / vehicleRate, column.activity, 1e-12) << channel;
            EXPECT_DOUBLE_EQ(dosed.crossingRate(channel, true), 2 * dosed.crossingRate(channel, false));
        }
        EXPECT_NEAR(doseConcentrationUm(column.plateColumn), column.concentrationUm, 1e-12);
    }
    EXPECT_GT(dippedSamples(dosed, 0, false, 40000), 20 * dippedSamples(dosed, 11 * 32, false, 40000));
}
