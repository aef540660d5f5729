// Report and recalculation inputs that are not what their names promise: a
// counts.bin far larger than any acquisition writes, real-time and counts
// "files" that are folders, group names of every kind in the report text.
#include <gtest/gtest.h>

#include <filesystem>

#include "AcquisitionBuilder.h"
#include "ManualHost.h"
#include "ScriptedDialogs.h"
#include "TempFolder.h"
#include "reports/Join.h"
#include "reports/Recalculation.h"
#include "reports/Report.h"

namespace zorvex {
namespace {

namespace fs = std::filesystem;
using test::record;

class HostileReportInput : public ::testing::Test {
protected:
    void SetUp() override {
        test::writePlateFile(temp.path(), "ztest", 1, 2, {{0, 0}, {1, 0}});
        builder.group(0, "Mutant \"a\", line\r\nb").channelGroup(0, 0).channelGroup(1, 0).writeSideFiles();
    }
    ReportRequest request() const { return {builder.folder(), temp.path(), 60, {}}; }

    test::TempFolder temp;
    test::AcquisitionBuilder builder{temp / "p00001" / "06122026_1458"};
    test::ScriptedDialogs dialogs;
    test::ManualHost host;
};

TEST_F(HostileReportInput, TenGigabyteCountsFileIsRefusedNotReportedAsEmpty) {
    const fs::path counts = builder.folder() / "counts.bin";
    ASSERT_TRUE(writeFile(counts, ""));
    fs::resize_file(counts, std::uintmax_t{10} << 30);
    EXPECT_FALSE(generateReport(request(), dialogs, host));
    EXPECT_EQ(dialogs.shown, std::vector<std::string>{"Report Error"});
    EXPECT_FALSE(fileExists(builder.folder() / "report.csv"));
}

TEST_F(HostileReportInput, JoinRefusesACountsFileTooLargeToReadInsteadOfDroppingIt) {
    builder.append({record(30, {{0, 4}})});
    test::AcquisitionBuilder huge(temp / "p00001" / "07122026_0900");
    huge.writeSideFiles();
    ASSERT_TRUE(writeFile(huge.folder() / "counts.bin", ""));
    fs::resize_file(huge.folder() / "counts.bin", std::uintmax_t{10} << 30);
    host.start = {2026, 12, 8, 10, 0, 0};
    auto written = joinAcquisitions(temp / "p00001", {"06122026_1458", "07122026_0900"}, dialogs, host);
    EXPECT_TRUE(written.empty());
    ASSERT_EQ(dialogs.shown.size(), 2U);
    EXPECT_EQ(dialogs.shown[1], "Join Error: cannot read " + (huge.folder() / "counts.bin").string());
    EXPECT_FALSE(fileExists(temp / "p00001" / "08122026_1000" / "counts.bin"));
}

TEST_F(HostileReportInput, CountsFileThatIsAFolderIsNotFound) {
    fs::create_directory(builder.folder() / "counts.bin");
    EXPECT_FALSE(generateReport(request(), dialogs, host));
    EXPECT_EQ(dialogs.shown, std::vector<std::string>{"Activity file not Found"});
}

TEST_F(HostileReportInput, RealTimeFileThatIsAFolderIsNotRealTimeData) {
    builder.append({record(30, {{0, 4}})});
    fs::create_directory(realTimeFilePath(builder.folder(), 0));
    RecalcSettings settings;
    settings.replace = true;
    EXPECT_FALSE(recalculate(request(), settings, dialogs, host));
    EXPECT_EQ(dialogs.shown, std::vector<std::string>{"Real Time Data Not Found"});
    EXPECT_EQ(readActivityRecords(builder.folder()).size(), 1U);
}

TEST_F(HostileReportInput, GroupNameWithQuotesAndLineBreaksStaysOneQuotedLabel) {
    builder.append({record(30, {{0, 4}, {1, 6}}), record(60, {{0, 2}})});
    auto outcome = generateReport(request(), dialogs, host);
    ASSERT_TRUE(outcome && outcome->file);
    const std::string text = readFile(*outcome->file).value_or("");
    EXPECT_NE(text.find("\"000_Mutant 'a', line b\""), std::string::npos);
    EXPECT_TRUE(dialogs.shown.empty());
}

}  // namespace
}  // namespace zorvex
