#include <gtest/gtest.h>

#include <sstream>

#include "AcquisitionBuilder.h"
#include "ManualHost.h"
#include "ScriptedDialogs.h"
#include "TempFolder.h"
#include "cli/Program.h"
#include "reports/Report.h"

namespace zorvex {
namespace {

using test::record;

std::string crlf(const std::vector<std::string>& lines) {
    std::string text;
    for (const auto& line : lines) text += line + "\r\n";
    return text;
}

std::string emptyLines(int count) {
    std::string text;
    for (int i = 0; i < count; ++i) text += "\r\n";
    return text;
}

// Wells A1 (ch 0) and B1 (ch 1) in group 1 "Mutant", A2 (ch 16) in group 0
// "Control", B2 (ch 17) free; channel 2 counts but sits in no well. Records
// at minutes 20 and 50 fill bin 60, bin 120 stays empty, 170 and 180 fill
// bin 180. Hand-checked: group 1 averages 7.5 -> 8 and 5, SD 2 and 7, SE
// 1.4 and 4.9; temperatures 250/2 -> 12.5 and 253/2 = 126.5 -> 12.6.
class ReportFileTest : public ::testing::Test {
protected:
    void SetUp() override {
        test::writePlateFile(temp.path(), "ztest", 2, 2, test::twoByTwoWells());
        test::AcquisitionBuilder(folder())
            .group(0, "Control").group(1, "Mutant")
            .channelGroup(0, 1).channelGroup(1, 1).channelGroup(16, 0)
            .writeSideFiles()
            .append({record(20, {{0, 5}, {1, 3}, {16, 7}, {17, 2}, {2, 99}}, 250),
                     record(50, {{0, 1}, {1, 6}, {16, 0}, {17, 4}}, 600),
                     record(170, {{0, 10}, {1, 0}, {16, 2}, {17, 1}}, 253),
                     record(180, {}, 0)});
    }

    std::filesystem::path folder() const { return temp / "p00001" / "06122026_1458"; }

    ReportRequest request(ReportLayout layout, const std::string& extension, const std::string& spacer) const {
        ReportRequest r;
        r.acquisitionFolder = folder();
        r.programFolder = temp.path();
        r.options.layout = layout;
        r.options.extension = extension;
        r.options.spacer = spacer;
        return r;
    }

    std::string header(const std::string& sp) const {
        return crlf({"\"DATE:\"" + sp + "\"06/12/2026 14:58:00\"", "\"FILE:\"" + sp + "\"" + folder().string() + "\"", ""});
    }

    static std::string fileText(const std::filesystem::path& path) { return readFile(path).value_or("<missing>"); }

    test::TempFolder temp;
    test::ScriptedDialogs dialogs;
    test::ManualHost host;
};

const std::string RowsBody = crlf({
    "\"<<<<<< Group Activity: Average Activity Counts per Data Interval>>>>>>\"",
    "Group/Time[m],60,180",
    "\"000_Control\",7,2",
    "\"001_Mutant\",8,5",
    "",
    "\"<<<<<< Group Activity: Standard Error >>>>>>\"",
    "Group/Time[m],60,180",
    "\"000_Control\",0.0,0.0",
    "\"001_Mutant\",1.4,4.9",
    "",
    "\"<<<<<< Group Activity: Standard Deviation >>>>>>\"",
    "Group/Time[m],60,180",
    "\"000_Control\",0.0,0.0",
    "\"001_Mutant\",2.0,7.0",
    "",
    "\"<<<<<< Group Activity: Number of wells/group >>>>>>\"",
    "Group/Time[m],60,180",
    "\"000_Control\",1,1",
    "\"001_Mutant\",2,2",
    "",
    "\"<<<<<< Number of Samples per Acquisition Interval [1unit=500values] >>>>>>\"",
    "Time[m],60,180,",
    "#Samples,2,2,",
    "",
    "\"<<<<<< Average Temperature [\xB0" "C] >>>>>>\"",
    "Time[m],60,180,",
    "Temp[\xB0" "C],12.5,12.6,",
    "",
    "\"<<<<<< Well Activity >>>>>>\"",
    "Well,Group/Time[m],60,180",
    "A1,\"001_Mutant\",6,10",
    "B1,\"001_Mutant\",9,0",
    "A2,\"000_Control\",7,2",
    "B2,\"999_Free\",6,1",
    "",
    "\"<<<<<< Channel Activity >>>>>>\"",
    "Channel,Well,Group/Time[m],60,180",
    "CH0,A1.0,\"001_Mutant\",6,10",
    "CH1,B1.0,\"001_Mutant\",9,0",
    "CH16,A2.0,\"000_Control\",7,2",
    "CH17,B2.0,\"999_Free\",6,1",
});

TEST_F(ReportFileTest, RowsLayoutWritesEveryChosenSectionInOrder) {
    ReportRequest r = request(ReportLayout::Rows, ".csv", ",");
    r.options.stdDev = true;
    auto outcome = generateReport(r, dialogs, host);
    ASSERT_TRUE(outcome && outcome->file);
    EXPECT_EQ(*outcome->file, folder() / "report.csv");
    EXPECT_EQ(fileText(*outcome->file), header(",") + RowsBody);
    EXPECT_TRUE(dialogs.shown.empty());
    EXPECT_TRUE(host.opened.empty());
}

TEST_F(ReportFileTest, ListLayoutWithSpaceSpacerAndNoStandardError) {
    ReportRequest r = request(ReportLayout::List, ".txt", " ");
    r.options.stdError = false;
    r.options.wellsPerGroup = false;
    auto outcome = generateReport(r, dialogs, host);
    ASSERT_TRUE(outcome && outcome->file);
    EXPECT_EQ(*outcome->file, folder() / "report.txt");
    std::string expected = header(" ") + crlf({
        "\"<<<<<< Group Activity: Average Activity Counts per Data Interval>>>>>>\"",
        "Time Group Value",
        "",
        "60 \"000_Control\" 7",
        "180 \"000_Control\" 2",
        "",
        "60 \"001_Mutant\" 8",
        "180 \"001_Mutant\" 5",
        "",
        "\"<<<<<< Number of Samples per Acquisition Interval [1unit=500values] >>>>>>\"",
        "Time #Samples",
        "",
        "60 2",
        "180 2",
        "",
        "\"<<<<<< Average Temperature [\xB0" "C] >>>>>>\"",
        "Time Avrg_Temp[\xB0" "C]",
        "",
        "60 12.5",
        "180 12.6",
        "",
        "\"<<<<<< Well Activity >>>>>>\"",
        "Time Well Group Value",
        "",
        "60 A1 \"001_Mutant\" 6",
        "180 A1 \"001_Mutant\" 10",
        "",
        "60 B1 \"001_Mutant\" 9",
        "180 B1 \"001_Mutant\" 0",
        "",
        "60 A2 \"000_Control\" 7",
        "180 A2 \"000_Control\" 2",
        "",
        "60 B2 \"999_Free\" 6",
        "180 B2 \"999_Free\" 1",
        "",
        "\"<<<<<< Channel Activity >>>>>>\"",
        "Time Channel Well Group Value",
        "",
        "60 CH0 A1.0 \"001_Mutant\" 6",
        "180 CH0 A1.0 \"001_Mutant\" 10",
        "",
        "60 CH1 B1.0 \"001_Mutant\" 9",
        "180 CH1 B1.0 \"001_Mutant\" 0",
    }) + emptyLines(15) + crlf({
        "60 CH16 A2.0 \"000_Control\" 7",
        "180 CH16 A2.0 \"000_Control\" 2",
        "",
        "60 CH17 B2.0 \"999_Free\" 6",
        "180 CH17 B2.0 \"999_Free\" 1",
    }) + emptyLines(367);
    EXPECT_EQ(fileText(*outcome->file), expected);
}

TEST_F(ReportFileTest, ArrayLayoutWritesOnlyTheChannelGrids) {
    auto outcome = generateReport(request(ReportLayout::Array, ".csv", ";"), dialogs, host);
    ASSERT_TRUE(outcome && outcome->file);
    std::string dashes22;
    for (int k = 0; k < 22; ++k) dashes22 += ";-";
    std::string columns = "Row/Column;";
    for (int k = 1; k <= 24; ++k) columns += std::to_string(k) + ";";
    auto grid = [&](const std::string& label, const std::string& rowA, const std::string& rowB) {
        std::vector<std::string> lines = {"Time_Block[m];" + label, columns, "A;" + rowA + dashes22,
                                          "B;" + rowB + dashes22};
        for (char r = 'C'; r <= 'P'; ++r) lines.push_back(std::string(1, r) + ";-;-" + dashes22);
        lines.push_back("");
        return crlf(lines);
    };
    std::string expected = header(";") + emptyLines(2) + crlf({"ARRAY OUTPUT FORMAT"}) + grid("60", "6;7", "9;6") +
                           grid("180", "10;2", "0;1");
    EXPECT_EQ(fileText(*outcome->file), expected);
}

TEST_F(ReportFileTest, TakenReportNameMovesToNextNumber) {
    std::filesystem::create_directory(folder() / "report.csv");
    std::filesystem::create_directory(folder() / "report_1.csv");
    auto outcome = generateReport(request(ReportLayout::Rows, ".csv", ","), dialogs, host);
    ASSERT_TRUE(outcome && outcome->file);
    EXPECT_EQ(*outcome->file, folder() / "report_2.csv");
    EXPECT_EQ(fileText(*outcome->file).substr(0, 10), "\"DATE:\",\"0");
}

TEST_F(ReportFileTest, NoCreatableNameEndsWithReportError) {
    ReportPlate plate = *loadReportPlate(folder(), temp.path(), dialogs);
    LoadedSeries series = *loadSeries(folder(), dialogs);
    ReportRequest r = request(ReportLayout::Rows, ".csv", ",");
    r.acquisitionFolder = temp / "gone";
    ReportOutcome outcome = produceReport(plate, series, r, dialogs, host);
    EXPECT_FALSE(outcome.file);
    EXPECT_EQ(dialogs.shown, std::vector<std::string>{"Report Error"});
}

TEST_F(ReportFileTest, CalculationFaultStillWritesTheReport) {
    test::AcquisitionBuilder(folder()).append({record(33000, {{0, 1}})});
    ReportRequest r = request(ReportLayout::Rows, ".csv", ",");
    r.binMinutes = 1440;
    auto outcome = generateReport(r, dialogs, host);
    ASSERT_TRUE(outcome && outcome->file);
    EXPECT_EQ(dialogs.shown, std::vector<std::string>{"Report Calculation Error"});
    EXPECT_NE(fileText(*outcome->file).find("#Samples,4,\r\n"), std::string::npos);
}

TEST_F(ReportFileTest, MissingInputsStopWithTheirMessages) {
    ReportRequest r = request(ReportLayout::Rows, ".csv", ",");
    r.acquisitionFolder = temp / "p00001" / "elsewhere";
    std::filesystem::create_directories(r.acquisitionFolder);
    EXPECT_FALSE(generateReport(r, dialogs, host));
    test::AcquisitionBuilder(r.acquisitionFolder).append({record(10, {})});
    EXPECT_FALSE(generateReport(r, dialogs, host));
    std::filesystem::remove(temp / "ztest.dat");
    EXPECT_FALSE(generateReport(request(ReportLayout::Rows, ".csv", ","), dialogs, host));
    ASSERT_EQ(dialogs.shown.size(), 3u);
    EXPECT_EQ(dialogs.shown[0], "Activity file not Found");
    EXPECT_NE(dialogs.shown[1].find("setup.dat"), std::string::npos);
    EXPECT_EQ(dialogs.shown[2], "Multiwell Configuration File ztest.dat or .bak not found");
    EXPECT_FALSE(fileExists(folder() / "report.csv"));
}

TEST_F(ReportFileTest, PlateBackupStandsInForMissingPlateFile) {
    std::filesystem::rename(temp / "ztest.dat", temp / "ztest.bak");
    ReportRequest r = request(ReportLayout::Rows, ".csv", ",");
    r.options.stdDev = true;
    auto outcome = generateReport(r, dialogs, host);
    ASSERT_TRUE(outcome && outcome->file);
    EXPECT_EQ(fileText(*outcome->file), header(",") + RowsBody);
}

TEST_F(ReportFileTest, TrailingPartialRecordIsLeftOutWithAMessage) {
    appendFile(folder() / "counts.bin", std::string(100, '\x7f'));
    ReportRequest r = request(ReportLayout::Rows, ".csv", ",");
    r.options.stdDev = true;
    auto outcome = generateReport(r, dialogs, host);
    ASSERT_TRUE(outcome && outcome->file);
    EXPECT_EQ(fileText(*outcome->file), header(",") + RowsBody);
    ASSERT_EQ(dialogs.shown.size(), 1u);
    EXPECT_NE(dialogs.shown[0].find("incomplete record"), std::string::npos);
}

TEST_F(ReportFileTest, CommandWritesTheSameBytesAndPrintsThePath) {
    std::ostringstream out;
    std::ostringstream err;
    int status = runZorvexCli({"report", folder().string(), "--program-folder", temp.path().string(), "--std-dev", "on",
                                   "--spacer", ","},
                                  out, err);
    EXPECT_EQ(status, 0) << err.str();
    EXPECT_EQ(out.str(), (folder() / "report.csv").string() + "\n");
    std::string written = fileText(folder() / "report.csv");
    std::string afterDate = written.substr(written.find("\r\n") + 2);
    std::string expected = header(",") + RowsBody;
    EXPECT_EQ(afterDate, expected.substr(expected.find("\r\n") + 2));
}

TEST_F(ReportFileTest, CommandReportsAdjustedBinAndRefusesBadOptions) {
    std::ostringstream out;
    std::ostringstream err;
    EXPECT_EQ(runZorvexCli({"report", folder().string(), "--program-folder", temp.path().string(), "--bin", "240",
                                "--format", "txt"},
                               out, err),
              0);
    EXPECT_EQ(out.str(), "Bin size adjusted to 180 minutes\n" + (folder() / "report.txt").string() + "\n");
    EXPECT_NE(fileText(folder() / "report.txt").find("Group/Time[m] 180\r\n"), std::string::npos);
    EXPECT_EQ(runZorvexCli({"report", folder().string(), "--layout", "grid"}, out, err), 2);
    EXPECT_EQ(runZorvexCli({"report", folder().string(), "--bin", "ten"}, out, err), 2);
    EXPECT_EQ(runZorvexCli({"report"}, out, err), 2);
}

}  // namespace
}  // namespace zorvex
