#include <gtest/gtest.h>

#include <optional>
#include <random>
#include <stdexcept>
#include <string>
#include <vector>

#include "ActivityFrames.h"
#include "analysis/ActivityLanes.h"
#include "analysis/Analysis_Module.h"

using namespace zorvex;
using zorvex::test::AllSignals;
using zorvex::test::fillSignal;
using zorvex::test::Signal;

namespace {

using Counts = std::vector<std::optional<std::int16_t>>;

std::vector<std::int16_t> samplesOf(const SampleFrame& frame) {
    return {frame.row(0), frame.row(0) + static_cast<std::size_t>(ChannelSlots) * frame.slotCount()};
}

// The one-channel routine, channel after channel: what the batch must match.
Counts oneByOne(Analysis_Module& module, SampleFrame& frame, const std::vector<int>& channels, double snr,
                int method) {
    Counts counts;
    for (int channel : channels) counts.push_back(module.CalculateActivity(frame, channel, snr, method));
    return counts;
}

// Runs both on copies of `frame` with modules that start from the same trace;
// expects the same counts, verdicts, rows and trace. Returns the counts.
Counts expectBatchAsOneByOne(const SampleFrame& frame, const std::vector<int>& channels, double snr, int method,
                             const Analysis_Module& start) {
    Analysis_Module single = start;
    Analysis_Module batch = start;
    SampleFrame expected = frame;
    SampleFrame produced = frame;
    const Counts want = oneByOne(single, expected, channels, snr, method);
    const Counts got = batch.CalculateActivities(produced, channels, snr, method);
    EXPECT_EQ(got, want) << "method " << method << " snr " << snr;
    EXPECT_EQ(samplesOf(produced), samplesOf(expected)) << "method " << method;
    EXPECT_EQ(batch.DetectionTrace(), single.DetectionTrace()) << "method " << method;
    return want;
}

// Every channel a random signal of any kind, so lanes of one block differ.
SampleFrame mixedFrame(int rtBuffer, std::mt19937& rng) {
    SampleFrame frame(rtBuffer);
    for (int c = 0; c < ChannelSlots; ++c) {
        fillSignal(frame, c, AllSignals[std::uniform_int_distribution<std::size_t>(0, AllSignals.size() - 1)(rng)], rng);
    }
    return frame;
}

std::vector<int> allChannels() {
    std::vector<int> channels(ChannelCount);
    for (int c = 0; c < ChannelCount; ++c) channels[static_cast<std::size_t>(c)] = c;
    return channels;
}

// A random run of channels in random order, repeats and slot 384 included.
std::vector<int> randomChannels(std::mt19937& rng) {
    std::vector<int> channels(std::uniform_int_distribution<std::size_t>(1, 40)(rng));
    for (int& channel : channels) channel = std::uniform_int_distribution<int>(0, ChannelSlots - 1)(rng);
    return channels;
}

// A module whose trace earlier calls filled, so entries a method does not write show.
Analysis_Module usedModule(std::mt19937& rng) {
    Analysis_Module module;
    SampleFrame frame(500);
    fillSignal(frame, 0, Signal::BusyBeam, rng);
    module.CalculateActivity(frame, 0, 1.5, DspThresholdBinary);
    return module;
}

// Runs `check` with every instruction set this processor has, then goes back to the best.
template <typename Check>
void withEveryLaneSet(Check check) {
    const std::vector<LaneSet> sets = supportedLaneSets();
    for (LaneSet set : sets) {
        SCOPED_TRACE("instruction set " + std::to_string(static_cast<int>(set)));
        useLaneSet(set);
        check();
    }
    useLaneSet(sets.back());
}

}  // namespace

TEST(CalculateActivities, MatchesTheOneChannelRoutineOnMixedFrames) {
    struct Case {
        int rtBuffer;
        int frames;
    };
    // Full bins, short bins, a bin of one sample and a buffer longer than analysed.
    const Case cases[] = {{500, 6}, {200, 2}, {457, 2}, {1, 1}, {31, 1}, {800, 1}};
    std::mt19937 rng(3030);
    int overflows = 0;
    int counted = 0;
    for (const Case& c : cases) {
        for (int n = 0; n < c.frames; ++n) {
            const SampleFrame frame = mixedFrame(c.rtBuffer, rng);
            const Analysis_Module start = usedModule(rng);
            const double snr = std::uniform_real_distribution<double>(1.1, 6.0)(rng);
            withEveryLaneSet([&] {
                for (int method = 0; method <= 3; ++method) {
                    const Counts counts = expectBatchAsOneByOne(frame, allChannels(), snr, method, start);
                    for (const auto& count : counts) {
                        overflows += !count;
                        counted += count && *count > 0;
                    }
                }
            });
        }
    }
    // Both outcomes must occur, or the comparison proves little.
    EXPECT_GT(overflows, 500);
    EXPECT_GT(counted, 2000);
}

TEST(CalculateActivities, LeavesTheTraceOfTheLastSuccessWhateverChannelsAreAsked) {
    std::mt19937 rng(3031);
    for (int round = 0; round < 150; ++round) {
        const SampleFrame frame = mixedFrame(round % 5 == 0 ? 333 : 500, rng);
        const Analysis_Module start = usedModule(rng);
        const double snr = std::uniform_real_distribution<double>(1.1, 6.0)(rng);
        const std::vector<int> channels = randomChannels(rng);
        withEveryLaneSet([&] { expectBatchAsOneByOne(frame, channels, snr, round % 3, start); });
    }
}

TEST(CalculateActivities, OverflowingLastChannelKeepsTheEarlierTrace) {
    std::mt19937 rng(3032);
    SampleFrame frame(500);
    for (int c = 0; c < 9; ++c) fillSignal(frame, c, Signal::Beam, rng);
    // Full-scale 16-bit values overflow the clip trace's sums.
    for (int i = 0; i < 500; ++i) frame.at(9, i) = static_cast<std::int16_t>(i % 2 == 0 ? 32767 : -32768);
    for (int method = 0; method <= 2; ++method) {
        const Counts counts = expectBatchAsOneByOne(frame, {0, 1, 2, 3, 4, 5, 6, 7, 8, 9}, 2.0, method, {});
        EXPECT_FALSE(counts.back().has_value()) << "method " << method;
    }
}

TEST(CalculateActivities, ExtremeRowsInEveryLane) {
    // Rows the fast steps do not cover sit beside ordinary ones in one block.
    const std::vector<std::vector<int>> rows = {
        {0},         {32767},  {-32768}, {4095, 0}, {-1, 1},    {10922, -10922},
        {32767, 0},  {1, 2, 3}, {100},   {3000, 2990, 3010}, {-32768, 32767}, {12000},
    };
    for (int method = 0; method <= 2; ++method) {
        SampleFrame frame(500);
        std::vector<int> channels;
        for (std::size_t r = 0; r < rows.size(); ++r) {
            const int channel = static_cast<int>(r) * 3;
            channels.push_back(channel);
            for (int i = 0; i < 500; ++i) {
                frame.at(channel, i) = static_cast<std::int16_t>(rows[r][static_cast<std::size_t>(i) % rows[r].size()]);
            }
        }
        withEveryLaneSet([&] {
            for (double snr : {1.0, 1.8, 6.0, 40.0}) expectBatchAsOneByOne(frame, channels, snr, method, {});
        });
    }
}

TEST(CalculateActivities, EdgeRowsInEveryLanePositionAndBinLength) {
    struct Edge {
        const char* name;
        int (*sample)(int i);
    };
    const Edge edges[] = {
        {"all zero", [](int) { return 0; }},
        {"saturated high", [](int) { return 32767; }},
        {"saturated low", [](int) { return -32768; }},
        {"saturated both ways", [](int i) { return i % 2 == 0 ? 32767 : -32768; }},
        // Envelope windows of 15 peaks at one value and 15 at the next: means that are exact halves.
        {"halves in the window means", [](int i) { return 2000 + 2 * (i % 2) + (i / 15) % 2; }},
        {"trace about the safe limit", [](int i) { return 10900 + 40 * (i % 2) + (i / 7) % 3; }},
        {"beam with a full-scale dip", [](int i) { return i == 250 ? -32768 : 3000 + (i * 37) % 11; }},
    };
    std::mt19937 rng(3034);
    int overflows = 0;
    for (const Edge& edge : edges) {
        for (int rtBuffer : {500, 499, 257, 9, 1}) {
            for (int position = 0; position < 8; ++position) {
                SampleFrame frame(rtBuffer);
                std::vector<int> channels;
                for (int c = 0; c < 16; ++c) {
                    channels.push_back(c);
                    fillSignal(frame, c, Signal::Beam, rng);
                }
                for (int i = 0; i < rtBuffer; ++i) frame.at(position, i) = static_cast<std::int16_t>(edge.sample(i));
                SCOPED_TRACE(std::string(edge.name) + ", " + std::to_string(rtBuffer) + " samples, lane " +
                             std::to_string(position));
                withEveryLaneSet([&] {
                    for (int method = 0; method <= 3; ++method) {
                        const Counts counts = expectBatchAsOneByOne(frame, channels, 1.8, method, {});
                        overflows += !counts[static_cast<std::size_t>(position)];
                    }
                });
            }
        }
    }
    EXPECT_GT(overflows, 0);
}

TEST(CalculateActivities, RejectsARowOutsideTheFrameBeforeTouchingAny) {
    std::mt19937 rng(3033);
    SampleFrame frame = mixedFrame(500, rng);
    const std::vector<std::int16_t> before = samplesOf(frame);
    Analysis_Module module;
    EXPECT_THROW(module.CalculateActivities(frame, std::vector<int>{0, 1, ChannelSlots}, 2.0, 0), std::out_of_range);
    EXPECT_THROW(module.CalculateActivities(frame, std::vector<int>{-1}, 2.0, 0), std::out_of_range);
    EXPECT_EQ(samplesOf(frame), before);
}
