// The report's inputs parsed from bytes in memory give the report their
// files give, and a plate's .bak stands in however its name is cased.
#include <gtest/gtest.h>

#include "AcquisitionBuilder.h"
#include "ManualHost.h"
#include "ScriptedDialogs.h"
#include "TempFolder.h"
#include "reports/Report.h"

namespace zorvex {
namespace {

using test::record;

class ReportFromBytesTest : public ::testing::Test {
protected:
    void SetUp() override {
        test::writePlateFile(temp.path(), "ztest", 2, 2, test::twoByTwoWells());
        test::AcquisitionBuilder(folder())
            .group(0, "Control").group(1, "Mutant")
            .channelGroup(0, 1).channelGroup(1, 1).channelGroup(16, 0)
            .writeSideFiles()
            .append({record(20, {{0, 5}, {1, 3}, {16, 7}}, 250), record(50, {{0, 1}, {16, 2}}, 600),
                     record(170, {{1, 4}}, 253)});
    }

    std::filesystem::path folder() const { return temp / "p00001" / "06122026_1458"; }

    std::string read(const std::filesystem::path& file) { return readFile(file, MaxActivityFileBytes).value(); }

    // The report's text of loaded data, as produceReport makes it.
    std::string textOf(const std::pair<ReportPlate, LoadedSeries>& data) {
        BinSize binSize;
        ReportTables tables = computeTables(data.first, data.second, 60, dialogs, binSize);
        return reportText(data.first, tables, ReportOptions{}, host.now(), folder().string());
    }

    test::TempFolder temp;
    test::ScriptedDialogs dialogs;
    test::ManualHost host;
};

TEST_F(ReportFromBytesTest, BytesGiveTheReportTheFilesGive) {
    const std::string setup = read(folder() / SetupFileName);
    const std::string groups = read(folder() / "groups.dat");
    const std::string channelGroups = read(folder() / "chgroup.dat");
    const std::string status = read(folder() / "status.dat");
    const std::string plate = read(temp / "ztest.dat");
    const std::string counts = read(folder() / "counts.bin");
    ReportFiles files{setup, {status, std::nullopt, groups, channelGroups}, plate, std::nullopt, counts};

    auto fromFiles = loadReportData(folder(), temp.path(), dialogs);
    auto fromBytes = parseReportData(files, folder(), dialogs);
    ASSERT_TRUE(fromFiles && fromBytes);
    EXPECT_EQ(fromBytes->second.minutes, (std::vector<std::int32_t>{20, 50, 170}));
    EXPECT_EQ(fromBytes->first.groups.Name[1], "Mutant");
    EXPECT_EQ(textOf(*fromBytes), textOf(*fromFiles));
    // threshld.dat is missing from the files: its message, nothing else.
    std::filesystem::remove(folder() / "threshld.dat");
    dialogs.shown.clear();
    ASSERT_TRUE(loadReportData(folder(), temp.path(), dialogs));
    const auto fromFilesShown = dialogs.shown;
    dialogs.shown.clear();
    ASSERT_TRUE(parseReportData(files, folder(), dialogs));
    EXPECT_EQ(dialogs.shown, fromFilesShown);
    EXPECT_EQ(dialogs.shown.size(), 1u);
}

TEST_F(ReportFromBytesTest, EachMissingInputStopsWithItsMessage) {
    const std::string setup = read(folder() / SetupFileName);
    const std::string plate = read(temp / "ztest.dat");
    const std::string counts = read(folder() / "counts.bin");
    const std::string cutSetup = setup.substr(0, 40);
    const std::string cutPlate = plate.substr(0, 60);
    const std::string noSetup = "Setup file not found or damaged: " + (folder() / SetupFileName).string();
    const struct {
        ReportFiles files;
        std::string message;
    } cases[] = {
        {{setup, {}, plate, std::nullopt, std::nullopt}, "Activity file not Found"},
        {{std::nullopt, {}, plate, std::nullopt, counts}, noSetup},
        {{cutSetup, {}, plate, std::nullopt, counts}, noSetup},
        {{setup, {}, cutPlate, std::nullopt, counts}, "Multiwell Configuration File ztest.dat or .bak not found"},
    };
    for (const auto& [files, message] : cases) {
        dialogs.shown.clear();
        EXPECT_FALSE(parseReportData(files, folder(), dialogs)) << message;
        ASSERT_FALSE(dialogs.shown.empty()) << message;
        EXPECT_EQ(dialogs.shown.back(), message);
    }
}

TEST_F(ReportFromBytesTest, PlateBackupOfAnyCaseStandsInForADamagedPlateFile) {
    const std::string plate = read(temp / "ztest.dat");
    writeFile(temp / "ZTest.BAK", plate);
    writeFile(temp / "ztest.dat", plate.substr(0, 60));
    PlateFormat loaded;
    ASSERT_TRUE(loadPlateOrBackup(loaded, temp.path(), "ztest"));
    PlateFormat expected;
    ASSERT_TRUE(parsePlateFormat(expected, plate).ok);
    EXPECT_EQ(loaded, expected);
    // A name that leads out of the program folder reads no backup.
    writeFile(temp / "p00001" / "zout.bak", plate);
    EXPECT_FALSE(loadPlateOrBackup(loaded, temp.path(), "p00001/zout"));
}

}  // namespace
}  // namespace zorvex
