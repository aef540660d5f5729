#include <gtest/gtest.h>

#include <sstream>

#include "AcquisitionBuilder.h"
#include "ManualHost.h"
#include "ScriptedDialogs.h"
#include "TempFolder.h"
#include "cli/Program.h"
#include "reports/Join.h"
#include "reports/Report.h"
#include "reports/WellExport.h"

namespace zorvex {
namespace {

using test::record;

class WellExportJoinTest : public ::testing::Test {
protected:
    void SetUp() override {
        test::writePlateFile(temp.path(), "ztest", 2, 2, test::twoByTwoWells());
        host.start = {2024, 3, 6, 9, 0, 0};
    }

    test::AcquisitionBuilder acquisition(const std::string& name) {
        test::AcquisitionBuilder builder(temp / "p00001" / name);
        builder.group(1, "Control").channelGroup(0, 1).writeSideFiles();
        return builder;
    }

    static std::vector<ActivityRecord> minutes(int first, int last, std::int16_t count) {
        std::vector<ActivityRecord> records;
        for (int m = first; m <= last; ++m) records.push_back(record(m, {{0, count}, {16, 1}}));
        return records;
    }

    static std::string text(const std::filesystem::path& path) { return readFile(path).value_or("<missing>"); }

    test::TempFolder temp;
    test::ScriptedDialogs dialogs;
    test::ManualHost host;
};

TEST_F(WellExportJoinTest, WellFilesAreDatedFromTheFolderName) {
    auto folder = acquisition("05032024_1430").append({record(30, {{0, 4}}), record(60, {{0, 5}, {1, 2}}),
                                                       record(90, {{0, 6}})}).folder();
    auto files = exportWells(folder, temp.path(), 30, dialogs, host);
    ASSERT_EQ(files.size(), 4u);
    EXPECT_EQ(files[0], folder / "000_A1.txt");
    EXPECT_EQ(files[3], folder / "003_B2.txt");
    EXPECT_EQ(text(folder / "000_A1.txt"), "05/03/2024 15:00 4\r\n05/03/2024 15:30 5\r\n05/03/2024 16:00 6\r\n");
    EXPECT_EQ(text(folder / "001_B1.txt"), "05/03/2024 15:00 0\r\n05/03/2024 15:30 2\r\n05/03/2024 16:00 0\r\n");
    EXPECT_EQ(dialogs.shown, std::vector<std::string>{"Do you like to Export 384 text files?"});
}

TEST_F(WellExportJoinTest, StepCountRoundsHalfToEvenAndFollowsTheBinSize) {
    auto folder = acquisition("05032024_1430").append({record(75, {{0, 1}})}).folder();
    exportWells(folder, temp.path(), 30, dialogs, host);
    EXPECT_EQ(text(folder / "000_A1.txt"), "05/03/2024 15:00 0\r\n05/03/2024 15:30 0\r\n");
    acquisition("05032024_1430").append({record(105, {{0, 1}})});
    exportWells(folder, temp.path(), 30, dialogs, host);
    EXPECT_EQ(text(folder / "000_A1.txt"),
              "05/03/2024 15:00 0\r\n05/03/2024 15:30 0\r\n05/03/2024 16:00 1\r\n05/03/2024 16:30 1\r\n");
    exportWells(folder, temp.path(), 60, dialogs, host);
    EXPECT_EQ(text(folder / "000_A1.txt"), "05/03/2024 15:30 0\r\n05/03/2024 16:30 2\r\n");
}

TEST_F(WellExportJoinTest, OtherFolderNamesAreDatedFromNowAndNoAnswerWritesNothing) {
    auto folder = acquisition("imported").append({record(30, {{0, 7}})}).folder();
    dialogs.answers = {Answer::No};
    EXPECT_TRUE(exportWells(folder, temp.path(), 30, dialogs, host).empty());
    EXPECT_FALSE(fileExists(folder / "000_A1.txt"));
    exportWells(folder, temp.path(), 30, dialogs, host);
    EXPECT_EQ(text(folder / "000_A1.txt"), "06/03/2024 09:30 7\r\n");
}

TEST_F(WellExportJoinTest, WellWithoutBeamZeroStopsTheExportKeepingEarlierFiles) {
    std::vector<std::pair<int, int>> wells(18, {-1, 0});
    wells[0] = {0, 0};
    wells[1] = {1, 1};
    test::writePlateFile(temp.path(), "ztest", 2, 1, wells);
    auto folder = acquisition("05032024_1430").append({record(30, {{0, 7}})}).folder();
    auto files = exportWells(folder, temp.path(), 30, dialogs, host);
    EXPECT_EQ(files, std::vector<std::filesystem::path>{folder / "000_A1.txt"});
    EXPECT_EQ(dialogs.shown.back(), "Report Error");
}

TEST_F(WellExportJoinTest, JoinShiftsEachAcquisitionByItsOwnStart) {
    acquisition("05032024_1200").append(minutes(1, 60, 2));
    acquisition("05032024_1000").append(minutes(1, 60, 1));
    auto files = joinAcquisitions(temp / "p00001", {"05032024_1200", "05032024_1000"}, dialogs, host);
    std::filesystem::path target = temp / "p00001" / "06032024_0900";
    ASSERT_GE(files.size(), 2u);
    EXPECT_EQ(files[0], target / "subproj.dat");
    EXPECT_EQ(files[1], target / "counts.bin");
    // Chosen later first, the records still come in the order of the starts.
    auto records = readActivityRecords(target);
    ASSERT_EQ(records.size(), 120u);
    EXPECT_EQ(records[0].elapsedMinutes, 1);
    EXPECT_EQ(records[0].counts[0], 1);
    EXPECT_EQ(records[60].elapsedMinutes, 121);
    EXPECT_EQ(records[119].elapsedMinutes, 180);
    EXPECT_EQ(records[119].counts[0], 2);
    auto info = readExperimentInfo(target);
    ASSERT_TRUE(info);
    EXPECT_EQ(info->name, "Data Block: 05032024_1200 + 05032024_1000 + ");
    EXPECT_EQ(info->description, "Joint Files");
    EXPECT_EQ(dialogs.shown[0], "Would you like to Join:\r\n05032024_1200\r\n05032024_1000\r\n ?");
    EXPECT_EQ(text(target / "chgroup.dat"), text(temp / "p00001" / "05032024_1200" / "chgroup.dat"));
}

TEST_F(WellExportJoinTest, JoinedFolderCanBeReportedInEitherListOrder) {
    acquisition("05032024_1000").append(minutes(1, 60, 1));
    acquisition("05032024_1200").append(minutes(1, 60, 2));
    for (const auto& names : {std::vector<std::string>{"05032024_1000", "05032024_1200"},
                              std::vector<std::string>{"05032024_1200", "05032024_1000"}}) {
        const auto joined = temp / "p00001" / "06032024_0900";
        std::filesystem::remove_all(joined);
        joinAcquisitions(temp / "p00001", names, dialogs, host);
        ReportRequest request;
        request.acquisitionFolder = joined;
        request.programFolder = temp.path();
        auto outcome = generateReport(request, dialogs, host);
        ASSERT_TRUE(outcome && outcome->file) << names[0];
        // Bin 120 holds no record and is left out.
        EXPECT_NE(text(*outcome->file).find("Well,Group/Time[m],60,180\r\nA1,\"001_Control\",60,120\r\n"),
                  std::string::npos)
            << names[0] << ": " << text(*outcome->file);
    }
}

TEST_F(WellExportJoinTest, NameOfAnotherFormIsPlacedAtTheTimeOfTheJoin) {
    acquisition("05032024_1000").append(minutes(1, 2, 1));
    acquisition("resumed").append(minutes(1, 2, 1));
    joinAcquisitions(temp / "p00001", {"resumed", "05032024_1000"}, dialogs, host);
    auto records = readActivityRecords(temp / "p00001" / "06032024_0900");
    ASSERT_EQ(records.size(), 4u);
    EXPECT_EQ(records[0].elapsedMinutes, 1);
    EXPECT_EQ(records[2].elapsedMinutes, 1 + 23 * 60);
    EXPECT_EQ(joinOffsets({{2024, 3, 5, 12, 0, 0}, {2024, 3, 5, 10, 0, 0}}), (std::vector<std::int32_t>{120, 0}));
}

TEST_F(WellExportJoinTest, AJoinThatCannotWriteItsRecordsSaysSoAndListsOnlyWhatWasWritten) {
    acquisition("05032024_1000").append(minutes(1, 2, 1));
    acquisition("05032024_1200").append(minutes(1, 2, 1));
    const auto target = temp / "p00001" / "06032024_0900";
    std::filesystem::create_directories(target / "counts.bin.tmp");  // in the way of the write beside
    const auto files = joinAcquisitions(temp / "p00001", {"05032024_1000", "05032024_1200"}, dialogs, host);
    EXPECT_EQ(files, std::vector<std::filesystem::path>{target / "subproj.dat"});
    EXPECT_EQ(dialogs.shown.back(), "Join Error: cannot write " + (target / "counts.bin").string());
    EXPECT_FALSE(fileExists(target / "counts.bin"));
}

TEST_F(WellExportJoinTest, JoinRefusesAFolderThatAlreadyHoldsRecords) {
    acquisition("05032024_1000").append(minutes(1, 2, 1));
    acquisition("05032024_1200").append(minutes(1, 2, 1));
    auto existing = acquisition("06032024_0900").append(minutes(1, 5, 9)).folder();
    std::string before = text(existing / "counts.bin");
    EXPECT_TRUE(joinAcquisitions(temp / "p00001", {"05032024_1000", "05032024_1200"}, dialogs, host).empty());
    EXPECT_EQ(text(existing / "counts.bin"), before);
    EXPECT_NE(dialogs.shown.back().find("already holds recorded data"), std::string::npos);
}

TEST_F(WellExportJoinTest, AMissingAcquisitionIsNamedAndNothingIsWritten) {
    acquisition("05032024_1000").append(minutes(1, 2, 1));
    const auto entriesIn = [&] { return std::distance(std::filesystem::directory_iterator(temp / "p00001"), {}); };
    const auto before = entriesIn();
    std::ostringstream out;
    std::ostringstream err;
    EXPECT_EQ(runZorvexCli({"join", (temp / "p00001").string(), "05032024_1000", "05032024_1300"}, out, err), 1);
    EXPECT_NE(err.str().find("there is no acquisition folder"), std::string::npos) << err.str();
    EXPECT_NE(err.str().find("05032024_1300"), std::string::npos);
    EXPECT_EQ(entriesIn(), before) << "the join made a folder";
}

TEST_F(WellExportJoinTest, CancelOrASingleAcquisitionWritesNothing) {
    acquisition("05032024_1000").append(minutes(1, 2, 1));
    acquisition("05032024_1200").append(minutes(1, 2, 1));
    dialogs.answers = {Answer::Cancel};
    EXPECT_TRUE(joinAcquisitions(temp / "p00001", {"05032024_1000", "05032024_1200"}, dialogs, host).empty());
    EXPECT_TRUE(joinAcquisitions(temp / "p00001", {"05032024_1000"}, dialogs, host).empty());
    EXPECT_FALSE(folderExists(temp / "p00001" / "06032024_0900"));
    std::ostringstream out;
    std::ostringstream err;
    EXPECT_EQ(runZorvexCli({"join", (temp / "p00001").string(), "05032024_1000"}, out, err), 2);
}

}  // namespace
}  // namespace zorvex
