#include <gtest/gtest.h>

#include <algorithm>
#include <optional>
#include <utility>
#include <random>
#include <stdexcept>
#include <vector>

#include "ActivityFrames.h"
#include "ActivityReference.h"
#include "analysis/Analysis_Module.h"

using namespace zorvex;
using zorvex::test::AllSignals;
using zorvex::test::fillSignal;
using zorvex::test::referenceActivity;
using zorvex::test::ReferenceTrace;
using zorvex::test::Signal;

namespace {

constexpr int Channel = 7;

std::vector<std::int16_t> rowOf(const SampleFrame& frame, int channel) {
    return {frame.row(channel), frame.row(channel) + frame.slotCount()};
}

SampleFrame frameWith(const std::vector<int>& samples, int rtBuffer = 500) {
    SampleFrame frame(rtBuffer);
    for (int i = 0; i < static_cast<int>(samples.size()); ++i) {
        frame.at(Channel, i) = static_cast<std::int16_t>(samples[i]);
    }
    return frame;
}

SampleFrame constantFrame(int value, int rtBuffer = 500) {
    return frameWith(std::vector<int>(rtBuffer, value), rtBuffer);
}

// Runs the module and the reference on copies of one frame, expects the same
// count, overflow verdict, clipped row and trace, and hands back the count.
void expectSameAsReference(const SampleFrame& frame, double snr, int method, Analysis_Module& module,
                           ReferenceTrace& referenceTrace, std::optional<std::int16_t>& count) {
    SampleFrame produced = frame;
    SampleFrame expected = frame;
    count = module.CalculateActivity(produced, Channel, snr, method);
    const auto reference = referenceActivity(expected, Channel, snr, method, referenceTrace);
    ASSERT_EQ(!count.has_value(), reference.overflow) << "method " << method << " snr " << snr;
    if (count) {
        ASSERT_EQ(*count, reference.count) << "method " << method << " snr " << snr;
    }
    ASSERT_EQ(rowOf(produced, Channel), rowOf(expected, Channel)) << "method " << method;
    ASSERT_EQ(module.DetectionTrace(), referenceTrace) << "method " << method;
}

// A beam level with one-count noise (2000, 2010, ...) and flat dips to 1000.
std::vector<int> noisyLevelWithDips(const std::vector<std::pair<int, int>>& dips) {
    std::vector<int> samples(500);
    for (int i = 0; i < 500; ++i) samples[i] = i % 2 == 0 ? 2000 : 2010;
    for (auto [first, last] : dips) {
        for (int i = first; i <= last; ++i) samples[i] = 1000;
    }
    return samples;
}

}  // namespace

TEST(CalculateActivity, MatchesPlainTranscriptionOnRandomAndPathologicalFrames) {
    std::mt19937 rng(20240611);
    Analysis_Module module;
    ReferenceTrace referenceTrace{};
    int overflows = 0;
    int counted = 0;
    for (int round = 0; round < 60; ++round) {
        for (Signal kind : AllSignals) {
            const int lengthChoice = round % 6;
            const int rtBuffer = lengthChoice == 0   ? std::uniform_int_distribution<int>(200, 499)(rng)
                                 : lengthChoice == 1 ? 800
                                                     : 500;
            SampleFrame frame(rtBuffer);
            fillSignal(frame, Channel, kind, rng);
            const double snr = std::uniform_real_distribution<double>(1.1, 6.0)(rng);
            // One module and one reference trace throughout: entries a call leaves
            // alone must keep what earlier calls wrote, on both sides.
            for (int method = 0; method <= 3; ++method) {
                std::optional<std::int16_t> count;
                ASSERT_NO_FATAL_FAILURE(expectSameAsReference(frame, snr, method, module, referenceTrace, count));
                if (!count) ++overflows;
                if (count && *count > 0) ++counted;
            }
        }
    }
    // The mix must exercise both outcomes, or the comparison proves little.
    EXPECT_GT(overflows, 100);
    EXPECT_GT(counted, 500);
}

TEST(CalculateActivity, ConstantSignalClipsNothingAndCountsNothing) {
    for (int method = 0; method <= 2; ++method) {
        Analysis_Module module;
        SampleFrame frame = constantFrame(2000);
        const auto before = rowOf(frame, Channel);
        EXPECT_EQ(module.CalculateActivity(frame, Channel, 1.8, method), 0) << "method " << method;
        EXPECT_EQ(rowOf(frame, Channel), before);
        if (method < 2) {
            // K2 = 1: the first entries sit 1.75 % under the level, the rest creep up below it.
            EXPECT_EQ(module.DetectionTrace()[0], 1965);
            EXPECT_TRUE(std::all_of(module.DetectionTrace().begin(), module.DetectionTrace().begin() + 500,
                                    [](std::int16_t d) { return d >= 1965 && d < 2000; }));
        }
    }
}

TEST(CalculateActivity, AllZeroChannelCountsNothingWithZeroTracesButMethodTwoSitsAtMinusFive) {
    for (int method = 0; method <= 2; ++method) {
        Analysis_Module module;
        SampleFrame frame = constantFrame(0);
        EXPECT_EQ(module.CalculateActivity(frame, Channel, 1.8, method), 0);
        EXPECT_EQ(rowOf(frame, Channel), rowOf(constantFrame(0), Channel));
        const auto& trace = module.DetectionTrace();
        if (method < 2) {
            EXPECT_TRUE(std::all_of(trace.begin(), trace.end(), [](std::int16_t d) { return d == 0; }));
        } else {
            // The algorithm holds over the edge-case list: N(0 - T) with T raised to 5.
            EXPECT_EQ(trace[0], 0);
            EXPECT_TRUE(std::all_of(trace.begin() + 1, trace.begin() + 500, [](std::int16_t d) { return d == -5; }));
        }
    }
}

TEST(CalculateActivity, SingleSpikeIsClippedAndTheFrameKeepsTheClippedValue) {
    std::vector<int> samples(500);
    for (int i = 0; i < 500; ++i) samples[i] = 2000 + (i % 3);
    samples[250] = 4095;
    SampleFrame frame = frameWith(samples);
    Analysis_Module module;
    ASSERT_TRUE(module.CalculateActivity(frame, Channel, 1.8, 1).has_value());
    EXPECT_LT(frame.at(Channel, 250), 2100);
    EXPECT_GE(frame.at(Channel, 250), 2000);
    EXPECT_EQ(frame.at(Channel, 249), samples[249]);
    EXPECT_EQ(frame.at(Channel, 251), samples[251]);
}

TEST(CalculateActivity, EvaluatesEveryExpressionLeftToRight) {
    // s(1..126) flat at 150, then 100/200 alternating: A1 = 75, M1 = 150, so with
    // F = 4 K1 = 201 exactly, and W(0) = 150. (K1 + 100) x W / 100 = 451.5 -> 452;
    // taking / 100 first would give 451. s(0) is far above and is cut to C(0).
    std::vector<int> samples(500, 150);
    samples[0] = 30000;
    for (int i = 127; i < 500; ++i) samples[i] = (i - 127) % 2 == 0 ? 100 : 200;
    SampleFrame frame = frameWith(samples);
    Analysis_Module module;
    ASSERT_TRUE(module.CalculateActivity(frame, Channel, 4.0, 1).has_value());
    EXPECT_EQ(frame.at(Channel, 0), 452);

    // 500/0 alternating from s(0) = 500: pass 2 starts at s(2) = 500, so W = 500,
    // and A2 = 499 > M2 = 251 gives K2 = F + 1 = 4.4 with F = 3.4.
    // (100 - 1.75 x K2) / 100 x W is just under 461.5 and gives 461; multiplying
    // before dividing would land on 461.5 and give 462.
    for (int i = 0; i < 500; ++i) samples[i] = i % 2 == 0 ? 500 : 0;
    SampleFrame alternating = frameWith(samples);
    ASSERT_TRUE(module.CalculateActivity(alternating, Channel, 3.4, 1).has_value());
    EXPECT_EQ(module.DetectionTrace()[0], 461);
}

TEST(CalculateActivity, MethodZeroCountsAtMostSixteenAndNeverTheLastNineteenSamples) {
    std::vector<std::pair<int, int>> everyTenSamples;
    for (int i = 5; i < 500; i += 10) everyTenSamples.emplace_back(i, i + 2);
    SampleFrame busy = frameWith(noisyLevelWithDips(everyTenSamples));
    Analysis_Module module;
    EXPECT_EQ(module.CalculateActivity(busy, Channel, 1.8, 0), 16);

    SampleFrame late = frameWith(noisyLevelWithDips({{481, 499}}));
    EXPECT_EQ(module.CalculateActivity(late, Channel, 1.8, 0), 0);
    SampleFrame earlier = frameWith(noisyLevelWithDips({{461, 479}}));
    EXPECT_EQ(module.CalculateActivity(earlier, Channel, 1.8, 0), 1);
}

TEST(CalculateActivity, MethodOneCountsALongDipOnceAndATouchDoesNotRearm) {
    // Flat plateaus make no strict extremes, so the envelopes stay at the level and
    // the detection trace is that of a constant frame whatever the dips are.
    Analysis_Module module;
    SampleFrame level = constantFrame(2000);
    ASSERT_TRUE(module.CalculateActivity(level, Channel, 1.8, 1).has_value());
    const std::int16_t threshold = module.DetectionTrace()[125];
    ASSERT_EQ(module.DetectionTrace()[120], threshold);
    ASSERT_EQ(module.DetectionTrace()[129], threshold);

    auto twoDips = [&](int between) {
        std::vector<int> samples(500, 2000);
        for (int i = 100; i < 120; ++i) samples[i] = 1000;
        for (int i = 120; i < 130; ++i) samples[i] = between;
        for (int i = 130; i < 150; ++i) samples[i] = 1000;
        return frameWith(samples);
    };
    SampleFrame touching = twoDips(threshold);
    EXPECT_EQ(module.CalculateActivity(touching, Channel, 1.8, 1), 1);
    SampleFrame rising = twoDips(threshold + 1);
    EXPECT_EQ(module.CalculateActivity(rising, Channel, 1.8, 1), 2);

    std::vector<int> longDip(500, 2000);
    for (int i = 100; i < 400; ++i) longDip[i] = 1000;
    SampleFrame longFrame = frameWith(longDip);
    EXPECT_EQ(module.CalculateActivity(longFrame, Channel, 1.8, 1), 1);
}

TEST(CalculateActivity, MethodTwoCountsEqualStepsAtRunTenAgain) {
    // Zeros every 49 samples keep the moving minimum, and so the baseline, at
    // exactly 0: the smoothed signal is the plain 10-sample mean. Around 210 it
    // dips one step (at w = 200), then rises 11 steps in a row to the 2500
    // plateau, reaching run length 10 at w = 211 and staying there over the equal
    // steps until the zero at 245 enters the window at w = 236: 211..235 count.
    std::vector<int> samples(500, 1000);
    for (int i = 0; i < 500; i += 49) samples[i] = 0;
    samples[209] = 800;
    samples[210] = 1500;
    for (int i = 211; i < 245; ++i) samples[i] = 2500;
    SampleFrame frame = frameWith(samples);
    Analysis_Module module;
    EXPECT_EQ(module.CalculateActivity(frame, Channel, 3.0, 2), 25);
    EXPECT_EQ(rowOf(frame, Channel), rowOf(frameWith(samples), Channel));
}

TEST(CalculateActivity, TraceEntriesACallDoesNotWriteKeepEarlierValues) {
    Analysis_Module module;
    SampleFrame first = constantFrame(1500);
    ASSERT_TRUE(module.CalculateActivity(first, Channel, 1.8, 0).has_value());
    const auto trace = module.DetectionTrace();
    ASSERT_NE(trace[0], 0);

    // Method 3 clips but counts nothing and writes no trace.
    std::vector<int> samples(500, 3000);
    samples[300] = 4095;
    SampleFrame spiked = frameWith(samples);
    EXPECT_EQ(module.CalculateActivity(spiked, Channel, 1.8, 3), 0);
    EXPECT_EQ(module.DetectionTrace(), trace);
    EXPECT_LT(spiked.at(Channel, 300), 4095);

    // Method 2 writes entries 1..499 only.
    SampleFrame dark = constantFrame(0);
    ASSERT_TRUE(module.CalculateActivity(dark, Channel, 1.8, 2).has_value());
    EXPECT_EQ(module.DetectionTrace()[0], trace[0]);
    EXPECT_EQ(module.DetectionTrace()[1], -5);
    EXPECT_EQ(module.DetectionTrace()[500], 0);
}

TEST(CalculateActivity, ShortBinIsReadAsIfItsLastSampleWentOn) {
    std::mt19937 rng(7);
    for (int rtBuffer : {200, 321, 499}) {
        SampleFrame shortFrame(rtBuffer);
        fillSignal(shortFrame, Channel, Signal::BusyBeam, rng);
        SampleFrame fullFrame(500);
        for (int i = 0; i < 500; ++i) fullFrame.at(Channel, i) = shortFrame.at(Channel, std::min(i, rtBuffer - 1));
        for (int method = 0; method <= 2; ++method) {
            Analysis_Module shortModule;
            Analysis_Module fullModule;
            SampleFrame analysedShort = shortFrame;
            SampleFrame analysedFull = fullFrame;
            const auto shortCount = shortModule.CalculateActivity(analysedShort, Channel, 1.8, method);
            ASSERT_TRUE(shortCount.has_value());
            EXPECT_EQ(shortCount, fullModule.CalculateActivity(analysedFull, Channel, 1.8, method));
            EXPECT_EQ(shortModule.DetectionTrace(), fullModule.DetectionTrace());
            for (int i = 0; i < rtBuffer; ++i) ASSERT_EQ(analysedShort.at(Channel, i), analysedFull.at(Channel, i));
            EXPECT_EQ(analysedShort.at(Channel, rtBuffer), 0) << "the never-written slot stays untouched";
        }
    }
}

TEST(CalculateActivity, SixteenBitOverflowIsReportedAndLeavesRowAndTraceAlone) {
    // A dark channel with a full-scale glitch every 50 samples: the noise margin
    // explodes and the clip trace leaves the 16-bit range.
    std::vector<int> samples(500, 0);
    for (int i = 10; i < 500; i += 50) samples[i] = 4095;
    Analysis_Module module;
    SampleFrame earlier = constantFrame(1500);
    ASSERT_TRUE(module.CalculateActivity(earlier, Channel, 1.8, 1).has_value());
    const auto trace = module.DetectionTrace();

    // Peaks of 10000 over valleys of -30000: the clip trace fits, but the mean
    // envelope gap of 40000 does not fit the 16-bit amplitude threshold.
    std::vector<int> wideSwing(500);
    for (int i = 0; i < 500; ++i) wideSwing[i] = i % 2 == 1 ? 10000 : -30000;

    for (const auto& overflowing : {samples, wideSwing}) {
        for (int method = 0; method <= 3; ++method) {
            SampleFrame frame = frameWith(overflowing);
            EXPECT_FALSE(module.CalculateActivity(frame, Channel, 1.8, method).has_value()) << "method " << method;
            EXPECT_EQ(rowOf(frame, Channel), rowOf(frameWith(overflowing), Channel));
            EXPECT_EQ(module.DetectionTrace(), trace);
        }
    }
}

TEST(CalculateActivity, RejectsARowOutsideTheFrame) {
    Analysis_Module module;
    SampleFrame frame;
    EXPECT_THROW(module.CalculateActivity(frame, -1, 1.8, 1), std::out_of_range);
    EXPECT_THROW(module.CalculateActivity(frame, ChannelSlots, 1.8, 1), std::out_of_range);
}
