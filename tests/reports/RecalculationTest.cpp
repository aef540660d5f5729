#include <gtest/gtest.h>

#include <sstream>

#include "AcquisitionBuilder.h"
#include "ManualHost.h"
#include "ScriptedDialogs.h"
#include "TempFolder.h"
#include "analysis/Analysis_Module.h"
#include "cli/Program.h"
#include "common/Numbers.h"
#include "reports/Recalculation.h"

namespace zorvex {
namespace {

using test::record;

constexpr int RtBuffer = 120;  // not the default 500: the dump size must come from the setup copy

// Wells A1, B1, A2, B2 on channels 0, 1, 16, 17; channel 3 is beam 1 of
// well 4, which has no beam 0, so it is never counted.
class RecalculationTest : public ::testing::Test {
protected:
    void SetUp() override {
        std::vector<std::pair<int, int>> wells(18, {-1, 0});
        wells[0] = {0, 0};
        wells[1] = {1, 0};
        wells[3] = {4, 1};
        wells[16] = {2, 0};
        wells[17] = {3, 0};
        test::writePlateFile(temp.path(), "ztest", 2, 3, wells);
    }

    std::filesystem::path build(const std::string& name, int records, int lastDump) {
        test::AcquisitionBuilder builder(temp / name);
        builder.rtBuffer(RtBuffer).group(0, "Control").channelGroup(0, 0).channelGroup(16, 0).writeSideFiles();
        std::vector<ActivityRecord> stored;
        for (int i = 0; i < records; ++i) stored.push_back(record(30 * (i + 1), {{0, 999}, {2, 7}, {3, 5}}, 250));
        builder.append(stored).appendDumps(0, lastDump);
        return builder.folder();
    }

    ReportRequest request(const std::filesystem::path& folder) const {
        ReportRequest r;
        r.acquisitionFolder = folder;
        r.programFolder = temp.path();
        return r;
    }

    static std::array<std::int16_t, ChannelCount> expectedCounts(int bin, const RecalcSettings& settings) {
        SampleFrame frame = test::generatedFrame(bin, RtBuffer);
        Analysis_Module analysis;
        std::array<std::int16_t, ChannelCount> counts{};
        for (int c : {0, 1, 16, 17}) {
            counts[static_cast<std::size_t>(c)] = analysis.CalculateActivity(frame, c, settings.snr, settings.method).value_or(0);
        }
        return counts;
    }

    static std::string bytes(const std::filesystem::path& path) { return readFile(path, 1 << 30).value_or("<missing>"); }

    test::TempFolder temp;
    test::ScriptedDialogs dialogs;
    test::ManualHost host;
};

TEST_F(RecalculationTest, ReplaceRewritesEveryRecordInPlace) {
    auto folder = build("acq", 13, 12);
    RecalcSettings settings{1, 2.0, 1.0, true, 2};
    auto sizeBefore = std::filesystem::file_size(folder / "counts.bin");
    auto outcome = recalculate(request(folder), settings, dialogs, host);
    ASSERT_TRUE(outcome && outcome->report && outcome->report->file);
    EXPECT_EQ(outcome->recounted, 13);
    EXPECT_EQ(std::filesystem::file_size(folder / "counts.bin"), sizeBefore);
    auto records = readActivityRecords(folder);
    ASSERT_EQ(records.size(), 13u);
    bool anyActivity = false;
    for (int i = 0; i < 13; ++i) {
        EXPECT_EQ(records[static_cast<std::size_t>(i)].elapsedMinutes, 30 * (i + 1));
        EXPECT_EQ(records[static_cast<std::size_t>(i)].temperatureTenths, 250);
        // Record 11 comes from block 0 of 1.bin, record 10 from block 10 of 0.bin.
        EXPECT_EQ(records[static_cast<std::size_t>(i)].counts, expectedCounts(i, settings)) << "record " << i;
        anyActivity = anyActivity || records[static_cast<std::size_t>(i)].counts[0] != 0;
    }
    EXPECT_TRUE(anyActivity);
    // The report made afterwards from the rewritten file is the recalculation's report.
    std::string recalcReport = bytes(*outcome->report->file);
    auto again = generateReport(request(folder), dialogs, host);
    ASSERT_TRUE(again && again->file);
    EXPECT_EQ(bytes(*again->file), recalcReport);
    EXPECT_TRUE(dialogs.shown.empty());
}

TEST_F(RecalculationTest, TwoThreadsGiveTheSameResultsAsOne) {
    auto one = build("one", 14, 13);
    auto two = build("two", 14, 13);
    RecalcSettings settings{2, 1.8, 1.0, true, 1};
    ASSERT_TRUE(recalculate(request(one), settings, dialogs, host));
    settings.threads = 2;
    ASSERT_TRUE(recalculate(request(two), settings, dialogs, host));
    EXPECT_EQ(bytes(one / "counts.bin"), bytes(two / "counts.bin"));
    std::string reportOne = bytes(one / "report.csv");
    std::string reportTwo = bytes(two / "report.csv");
    EXPECT_EQ(reportOne.substr(reportOne.find("<<<")), reportTwo.substr(reportTwo.find("<<<")));
}

TEST_F(RecalculationTest, HourLimitRecountsUpToTheFirstRecordAtTheLimit) {
    auto folder = build("acq", 6, 5);
    std::string before = bytes(folder / "counts.bin");
    std::vector<std::string> statuses;
    RecalcHooks hooks{[&](const std::string& text) { statuses.push_back(text); }, {}};
    auto outcome = recalculate(request(folder), {0, 1.8, 1.0, false, 2}, dialogs, host, hooks);
    ASSERT_TRUE(outcome && outcome->report);
    EXPECT_EQ(outcome->recounted, 2);  // minutes 30 and 60
    EXPECT_EQ(bytes(folder / "counts.bin"), before);
    ASSERT_FALSE(statuses.empty());
    EXPECT_EQ(statuses.front(), "Block 0/3");  // N counts up to the first minute beyond 60
    EXPECT_EQ(statuses.back(), "Block 2/3");
    std::string report = bytes(*outcome->report->file);
    EXPECT_NE(report.find("Time[m],60,\r\n#Samples,2,\r\n"), std::string::npos) << report;
}

TEST_F(RecalculationTest, RecordWithoutRawBlockKeepsItsRecordedCountsSaysSoAndCreatesNoFile) {
    auto folder = build("acq", 13, 10);
    const auto before = readActivityRecords(folder);
    auto outcome = recalculate(request(folder), {1, 1.8, 0, true, 2}, dialogs, host);
    ASSERT_TRUE(outcome && outcome->report);
    auto records = readActivityRecords(folder);
    // Zeros would read as a plate without movement; the live counts are the only ones there are.
    EXPECT_EQ(records[11].counts, before[11].counts);
    EXPECT_EQ(records[12].counts, before[12].counts);
    EXPECT_EQ(records[10].counts, expectedCounts(10, {1, 1.8, 0, true, 2}));
    EXPECT_EQ(outcome->recounted, 11);
    EXPECT_EQ(outcome->withoutRawData, (std::vector<int>{11, 12}));
    EXPECT_EQ(dialogs.shown, std::vector<std::string>{"2 records have no real-time data (not written, see events.log) "
                                                      "and keep the counts recorded during the acquisition: record 12-13"});
    EXPECT_FALSE(fileExists(folder / "1.bin"));
}

TEST_F(RecalculationTest, DumpsThatCouldNotBeWrittenAreSkippedAndTheRestStayPaired) {
    auto folder = build("gaps", 6, -1);
    // Dumps 1, 2 and 4 found the disk full: the others sit at their places.
    const RecalcSettings settings{1, 1.8, 0, true, 2};
    for (int bin : {0, 3, 5}) ASSERT_TRUE(writeRealTimeDump(folder, bin, test::generatedFrame(bin, RtBuffer)));
    const auto before = readActivityRecords(folder);
    auto outcome = recalculate(request(folder), settings, dialogs, host);
    ASSERT_TRUE(outcome && outcome->report);
    const auto records = readActivityRecords(folder);
    for (int bin : {0, 3, 5}) EXPECT_EQ(records[bin].counts, expectedCounts(bin, settings)) << bin;
    for (int bin : {1, 2, 4}) EXPECT_EQ(records[bin].counts, before[bin].counts) << bin;
    ASSERT_EQ(dialogs.shown.size(), 1u);
    EXPECT_NE(dialogs.shown[0].find("3 records have no real-time data"), std::string::npos);
    EXPECT_NE(dialogs.shown[0].find(": record 2-3, 5"), std::string::npos) << dialogs.shown[0];
}

TEST_F(RecalculationTest, StopLeavesEverythingUnchanged) {
    auto folder = build("acq", 12, 11);
    std::string before = bytes(folder / "counts.bin");
    RecalcHooks hooks{{}, [] { return true; }};
    auto outcome = recalculate(request(folder), {1, 1.8, 0, true, 2}, dialogs, host, hooks);
    ASSERT_TRUE(outcome);
    EXPECT_TRUE(outcome->stopped);
    EXPECT_FALSE(outcome->report);
    EXPECT_EQ(bytes(folder / "counts.bin"), before);
    EXPECT_FALSE(fileExists(folder / "report.csv"));
}

TEST_F(RecalculationTest, ARefusedOrFailedReplaceLeavesTheRecordsAsTheyWere) {
    struct Case {
        const char* what;
        RecalcSettings settings;
        void (*spoil)(const std::filesystem::path& folder);
        const char* message;
    };
    const Case cases[] = {
        {"counts.bin gone", {1, 1.8, 0, true, 2},
         [](const std::filesystem::path& folder) { std::filesystem::rename(folder / "counts.bin", folder / "kept.bin"); },
         "Activity file not Found"},
        {"an hour limit beyond 16 bits of minutes", {1, 1.8, 1000.0, false, 2}, [](const std::filesystem::path&) {},
         "Report Error"},
        // The new counts are written beside and renamed: a folder in the way fails the write.
        {"the rewritten counts cannot be written", {1, 1.8, 0, true, 2},
         [](const std::filesystem::path& folder) { std::filesystem::create_directory(folder / "counts.bin.tmp"); },
         "Report Error"},
    };
    for (const Case& c : cases) {
        const auto folder = build(std::string("acq ") + c.what, 4, 3);
        const std::string before = bytes(folder / "counts.bin");
        c.spoil(folder);
        dialogs.shown.clear();
        const auto outcome = recalculate(request(folder), c.settings, dialogs, host);
        EXPECT_FALSE(outcome && outcome->report) << c.what;
        EXPECT_EQ(dialogs.shown.back(), c.message) << c.what;
        const auto kept = fileExists(folder / "kept.bin") ? folder / "kept.bin" : folder / "counts.bin";
        EXPECT_EQ(bytes(kept), before) << c.what;
        EXPECT_FALSE(fileExists(folder / "report.csv")) << c.what;
    }
}

TEST_F(RecalculationTest, RecordLimitFollowsTheLapseAndReplace) {
    EXPECT_EQ(recordLimitMinutes({0, 1.8, 1.0, true, 2}), 32000);
    EXPECT_EQ(recordLimitMinutes({0, 1.8, 1.0, false, 2}), 60);
    EXPECT_EQ(recordLimitMinutes({0, 1.8, 0.0375, false, 2}), 5);  // 2.25 minutes
    EXPECT_EQ(recordLimitMinutes({0, 1.8, 0.1375, false, 2}), 8);  // 8.25
    EXPECT_THROW(recordLimitMinutes({0, 1.8, 1000.0, false, 2}), OverflowError);
}

TEST_F(RecalculationTest, MissingRealTimeDataAndCommandOptions) {
    auto folder = build("acq", 2, -1);
    EXPECT_FALSE(recalculate(request(folder), {}, dialogs, host));
    EXPECT_EQ(dialogs.shown, std::vector<std::string>{"Real Time Data Not Found"});
    std::ostringstream out;
    std::ostringstream err;
    EXPECT_EQ(runZorvexCli({"recalc", folder.string(), "--method", "1", "--snr", "1.8"}, out, err), 2);
    EXPECT_EQ(runZorvexCli({"recalc", folder.string(), "--method", "3", "--snr", "1.8", "--replace"}, out, err), 2);
    EXPECT_EQ(runZorvexCli({"recalc", folder.string(), "--method", "1", "--snr", "0.5", "--replace"}, out, err), 2);
    auto good = build("good", 3, 2);
    EXPECT_EQ(runZorvexCli({"recalc", good.string(), "--method", "1", "--snr", "1.8", "--replace", "--program-folder",
                                temp.path().string()},
                               out, err),
              0)
        << err.str();
    EXPECT_EQ(out.str(), (good / "counts.bin").string() + "\n" + (good / "report.csv").string() + "\n");
}

}  // namespace
}  // namespace zorvex
