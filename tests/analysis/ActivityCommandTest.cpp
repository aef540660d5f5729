#include <gtest/gtest.h>

#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "ActivityFrames.h"
#include "TempFolder.h"
#include "acquisition/DataFiles.h"
#include "analysis/Analysis_Module.h"
#include "cli/Program.h"
#include "common/Files.h"

using namespace zorvex;

namespace {

struct CommandRun {
    int status = 0;
    std::vector<std::string> lines;
    std::string err;
};

CommandRun activity(const std::vector<std::string>& args) {
    std::ostringstream out;
    std::ostringstream err;
    CommandRun run;
    std::vector<std::string> words{"activity"};
    words.insert(words.end(), args.begin(), args.end());
    run.status = runZorvexCli(words, out, err);
    std::istringstream text(out.str());
    for (std::string line; std::getline(text, line);) run.lines.push_back(line);
    run.err = err.str();
    return run;
}

std::vector<int> numbersOf(const std::string& line) {
    std::istringstream text(line);
    std::vector<int> numbers;
    for (int n = 0; text >> n;) numbers.push_back(n);
    return numbers;
}

std::string joined(const SampleFrame& frame, int channel, int count) {
    std::string text;
    for (int i = 0; i < count; ++i) text += std::to_string(frame.at(channel, i)) + (i + 1 < count ? " " : "\n");
    return text;
}

// A beam row with dips, as a frame and as the text of a samples file.
SampleFrame beamFrame(int rtBuffer, unsigned seed) {
    std::mt19937 rng(seed);
    SampleFrame frame(rtBuffer);
    zorvex::test::fillSignal(frame, 0, zorvex::test::Signal::BusyBeam, rng);
    return frame;
}

}  // namespace

TEST(ActivityCommand, PrintsCountClippedSamplesAndTraceOfASamplesFile) {
    test::TempFolder folder;
    const SampleFrame frame = beamFrame(500, 3);
    ASSERT_TRUE(writeFile(folder / "row.txt", joined(frame, 0, 500)));

    const CommandRun run = activity({"--method", "1", "--snr", "1.8", "--samples", (folder / "row.txt").string()});
    ASSERT_EQ(run.status, 0) << run.err;
    ASSERT_EQ(run.lines.size(), 3u);

    SampleFrame expected = frame;
    Analysis_Module module;
    const auto count = module.CalculateActivity(expected, 0, 1.8, 1);
    ASSERT_TRUE(count.has_value());
    EXPECT_EQ(run.lines[0], std::to_string(*count));
    EXPECT_EQ(run.lines[1] + "\n", joined(expected, 0, 500));
    const std::vector<int> trace = numbersOf(run.lines[2]);
    ASSERT_EQ(trace.size(), 500u);
    for (int i = 0; i < 500; ++i) EXPECT_EQ(trace[i], module.DetectionTrace()[i]) << "entry " << i;
}

TEST(ActivityCommand, ReadsAWholeRowOfAShortBin) {
    test::TempFolder folder;
    const SampleFrame frame = beamFrame(250, 4);
    ASSERT_TRUE(writeFile(folder / "row.txt", joined(frame, 0, 251)));
    const CommandRun run = activity({"--method", "2", "--snr", "2.8", "--samples", (folder / "row.txt").string()});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(numbersOf(run.lines[1]).size(), 251u);
    EXPECT_EQ(numbersOf(run.lines[2]).size(), 500u);
}

TEST(ActivityCommand, RejectsSampleFilesItCannotUse) {
    test::TempFolder folder;
    const SampleFrame frame = beamFrame(500, 5);
    const std::string row = joined(frame, 0, 500);
    ASSERT_TRUE(writeFile(folder / "short.txt", joined(frame, 0, 200)));  // RT_Buffer 199 is below the range
    ASSERT_TRUE(writeFile(folder / "garbled.txt", "12 13 1x4 15\n"));
    ASSERT_TRUE(writeFile(folder / "wide.txt", row + " 40000\n"));
    ASSERT_TRUE(writeFile(folder / "empty.txt", ""));
    for (const char* name : {"short.txt", "garbled.txt", "wide.txt", "empty.txt", "missing.txt"}) {
        const CommandRun run = activity({"--method", "1", "--snr", "1.8", "--samples", (folder / name).string()});
        EXPECT_EQ(run.status, 1) << name;
        EXPECT_TRUE(run.lines.empty()) << name;
        EXPECT_NE(run.err.find("activity: "), std::string::npos) << name;
    }
    EXPECT_NE(activity({"--method", "1", "--snr", "1.8", "--samples", (folder / "garbled.txt").string()})
                  .err.find("sample 3 "),
              std::string::npos);
}

TEST(ActivityCommand, RejectsIncompleteOrContradictoryArguments) {
    const std::vector<std::vector<std::string>> cases = {
        {},
        {"--snr", "1.8", "--samples", "x"},
        {"--method", "3", "--snr", "1.8", "--samples", "x"},
        {"--method", "1", "--snr", "fast", "--samples", "x"},
        {"--method", "1", "--snr", "nan", "--samples", "x"},
        {"--method", "1", "--snr", "1.8"},
        {"--method", "1", "--snr", "1.8", "--samples", "x", "folder", "--record", "0", "--channel", "1"},
        {"--method", "1", "--snr", "1.8", "folder", "--record", "0"},
        {"--method", "1", "--snr", "1.8", "folder", "--record", "0", "--channel", "384"},
        {"--method", "1", "--snr", "1.8", "folder", "--record", "-1", "--channel", "3"},
        {"--method", "1", "--snr", "1.8", "--samples"},
        {"--method", "1", "--snr", "1.8", "--verbose", "yes", "--samples", "x"},
    };
    for (const auto& args : cases) {
        const CommandRun run = activity(args);
        EXPECT_EQ(run.status, 2);
        EXPECT_NE(run.err.find("Usage: zorvex-cli activity"), std::string::npos);
        EXPECT_NE(run.err.find("Try 'zorvex-cli activity --help'"), std::string::npos);
    }
}

TEST(ActivityCommand, CountsAStoredFrameOfAnAcquisition) {
    test::TempFolder folder;
    std::mt19937 rng(6);
    std::vector<SampleFrame> bins;
    for (int bin = 0; bin < 13; ++bin) {
        SampleFrame frame(500);
        for (int c = 0; c < ChannelCount; ++c) zorvex::test::fillSignal(frame, c, zorvex::test::Signal::Beam, rng);
        ASSERT_TRUE(appendRealTimeDump(folder.path(), bin / DumpsPerRealTimeFile, frame));
        bins.push_back(frame);
    }
    // Record 12 is dump 1 of file 1.bin.
    const std::string acquisition = folder.path().string();
    const CommandRun run =
        activity({"--method", "0", "--snr", "1.8", acquisition, "--record", "12", "--channel", "37"});
    ASSERT_EQ(run.status, 0) << run.err;
    SampleFrame expected = bins[12];
    Analysis_Module module;
    EXPECT_EQ(run.lines[0], std::to_string(*module.CalculateActivity(expected, 37, 1.8, 0)));
    EXPECT_EQ(run.lines[1] + "\n", joined(expected, 37, 501));

    const CommandRun missing =
        activity({"--method", "0", "--snr", "1.8", acquisition, "--record", "13", "--channel", "37"});
    EXPECT_EQ(missing.status, 1);
    EXPECT_NE(missing.err.find("record 13"), std::string::npos);
    const CommandRun noFolder =
        activity({"--method", "0", "--snr", "1.8", (folder / "nothing").string(), "--record", "0", "--channel", "1"});
    EXPECT_EQ(noFolder.status, 1);
}

TEST(ActivityCommand, ReportsAnOverflowingFrameInsteadOfACount) {
    test::TempFolder folder;
    std::string row;
    for (int i = 0; i < 500; ++i) row += (i % 50 == 10 ? "4095 " : "0 ");
    ASSERT_TRUE(writeFile(folder / "glitches.txt", row));
    const CommandRun run = activity({"--method", "1", "--snr", "1.8", "--samples", (folder / "glitches.txt").string()});
    EXPECT_EQ(run.status, 1);
    EXPECT_TRUE(run.lines.empty());
    EXPECT_NE(run.err.find("16 bits"), std::string::npos);
}
