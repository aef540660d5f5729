#include <gtest/gtest.h>

#include <stdexcept>

#include "AcquisitionBuilder.h"
#include "ScriptedDialogs.h"
#include "TempFolder.h"
#include "common/Numbers.h"
#include "reports/ReportComputation.h"

namespace zorvex {
namespace {

using test::record;

// A 2 x 2 plate: A1 = channel 0, B1 = 1, A2 = 16, B2 = 17; the two-beam
// variant adds channel 2 as beam 1 of A1.
class ReportComputationTest : public ::testing::Test {
protected:
    ReportPlate loadPlate(bool twoBeams = false) {
        std::vector<std::pair<int, int>> wells = test::twoByTwoWells();
        if (twoBeams) wells[2] = {0, 1};
        test::writePlateFile(temp.path(), "ztest", 2, 2, wells);
        test::AcquisitionBuilder(temp / "acq")
            .group(0, "Control").group(1, "Mutant").group(2, "Empty")
            .channelGroup(0, 1).channelGroup(1, 1).channelGroup(16, 0).channelGroup(20, 2)
            .writeSideFiles();
        auto plate = loadReportPlate(temp / "acq", temp.path(), dialogs);
        EXPECT_TRUE(plate.has_value());
        return *plate;
    }

    static LoadedSeries series(const std::vector<ActivityRecord>& records) { return seriesOf(records); }

    ReportTables compute(const ReportPlate& plate, const LoadedSeries& loaded, long long binMinutes) {
        ReportTables tables;
        computeReport(plate, loaded, adjustBinSize(binMinutes, loaded.span()).minutes, loaded.span(), tables);
        return tables;
    }

    test::TempFolder temp;
    test::ScriptedDialogs dialogs;
};

TEST_F(ReportComputationTest, RestartedMinuteCountUnwrapsIntoNextDay) {
    EXPECT_EQ(unwrapMinutes({1430, 1435, 5, 10}), (std::vector<std::int32_t>{1430, 1435, 1445, 1450}));
    // A drop of 1000 or less is no restart: the records continue from the last minute.
    EXPECT_EQ(unwrapMinutes({2000, 1000, 999}), (std::vector<std::int32_t>{2000, 2000, 2000}));
    EXPECT_EQ(unwrapMinutes({2000, 999}), (std::vector<std::int32_t>{2000, 2439}));
    EXPECT_THROW(unwrapMinutes({INT32_MAX, 5, INT32_MAX - 10}), OverflowError);
    // A garbled stamp far below the last one continues from it, without overflow on the way.
    EXPECT_EQ(unwrapMinutes({INT32_MAX - 100, INT32_MIN + 5}), (std::vector<std::int32_t>{INT32_MAX - 100, INT32_MAX - 100}));
}

TEST_F(ReportComputationTest, BinSizeAdjustsForTinySizesAndShortRuns) {
    EXPECT_EQ(adjustBinSize(60, 20).minutes, 21);
    EXPECT_EQ(adjustBinSize(120, 100).minutes, 90);
    EXPECT_EQ(adjustBinSize(1, 500).minutes, 1);  // one-minute bins as asked
    EXPECT_EQ(adjustBinSize(0, 500).minutes, 1);
    EXPECT_EQ(adjustBinSize(60, 59).minutes, 60);
    EXPECT_THROW(adjustBinSize(40000, 50000), OverflowError);
}

TEST_F(ReportComputationTest, ReportedBinsRoundHalfToEven) {
    EXPECT_EQ(reportedBinCount(150, 60), 2);
    EXPECT_EQ(reportedBinCount(210, 60), 4);
    EXPECT_EQ(reportedBinCount(20, 60), 1);
    EXPECT_EQ(reportedBinCount(180, 60), 3);
}

TEST_F(ReportComputationTest, RecordsFallIntoBinsByTheirEndMinute) {
    ReportPlate plate = loadPlate();
    auto tables = compute(plate, series({record(60, {{0, 1}}), record(120, {{0, 2}}), record(180, {{0, 4}})}), 60);
    EXPECT_EQ(tables.binCount, 3);
    EXPECT_EQ(tables.reportedBins(), (std::vector<std::int32_t>{1, 2, 3}));
    EXPECT_EQ(tables.channelSum[1][0], 1);
    EXPECT_EQ(tables.channelSum[2][0], 2);
    EXPECT_EQ(tables.channelSum[3][0], 4);
    EXPECT_EQ(tables.recordsPerBin[2], 1);
}

TEST_F(ReportComputationTest, BinPastTheRoundedCountIsNotReported) {
    ReportPlate plate = loadPlate();
    auto tables = compute(plate, series({record(30, {{0, 1}}), record(121, {{0, 2}}), record(150, {{0, 3}})}), 60);
    EXPECT_EQ(tables.binCount, 2);
    EXPECT_EQ(tables.reportedBins(), (std::vector<std::int32_t>{1}));
    EXPECT_EQ(tables.channelSum[3][0], 5);
}

TEST_F(ReportComputationTest, EarlierMinuteAfterLaterOneStaysInTheLaterBin) {
    ReportPlate plate = loadPlate();
    auto tables = compute(plate, series({record(170, {{0, 1}}), record(50, {{0, 2}}), record(240, {})}), 60);
    EXPECT_FALSE(tables.hasData[1]);
    EXPECT_EQ(tables.channelSum[3][0], 3);
}

TEST_F(ReportComputationTest, TemperatureAveragesValidValuesOverAllRecords) {
    ReportPlate plate = loadPlate();
    auto tables = compute(plate,
                          series({record(10, {}, 250), record(20, {}, 0), record(30, {}, 250), record(40, {}, 600),
                                  record(70, {}, 9), record(80, {}, 501), record(90, {}, 253), record(100, {}, 0), record(130, {}, 0),
                                  record(131, {}, 600), record(170, {}, 0)}),
                          60);
    EXPECT_EQ(tables.temperatureTenths[1], 125);
    EXPECT_EQ(tables.temperatureTenths[2], 63);  // 253 / 4
    EXPECT_TRUE(tables.hasData[3]);
    EXPECT_EQ(tables.temperatureTenths[3], 0);
}

TEST_F(ReportComputationTest, MultiBeamWellSumsExactMeansAndRoundsOnceABin) {
    ReportPlate plate = loadPlate(true);
    auto tables = compute(plate, series({record(10, {{0, 3}, {2, 4}}), record(20, {{0, 1}, {2, 2}}), record(60, {})}), 60);
    // 3.5 + 1.5 = 5 exactly; rounding each record's mean would have given 6.
    EXPECT_EQ(tables.wellActivity[1][0], 5);
    EXPECT_DOUBLE_EQ(tables.wellActivityExact[1][0], 5.0);
    EXPECT_EQ(tables.wellActivity[1][1], 0);
}

TEST_F(ReportComputationTest, GroupStatisticsRoundAtEveryStep) {
    ReportPlate plate = loadPlate();
    auto tables = compute(plate, series({record(60, {{0, 6}, {1, 9}, {16, 7}, {17, 100}})}), 60);
    EXPECT_EQ(tables.maxGroup, 2);
    EXPECT_EQ(tables.groupAverage[1][1], 8);  // 7.5 -> 8
    EXPECT_EQ(tables.groupSd[1][1], 2);       // sqrt(4 + 1) -> 2
    EXPECT_EQ(tables.wellsPerGroup[1], 2);
    EXPECT_EQ(tables.groupAverage[1][0], 7);
    EXPECT_EQ(tables.groupSd[1][0], 0);
    EXPECT_EQ(tables.wellsPerGroup[0], 1);
    // Group 2's only channel sits in no well: the group has no members.
    EXPECT_EQ(tables.wellsPerGroup[2], 0);
    EXPECT_EQ(tables.groupAverage[1][2], 0);
}

TEST_F(ReportComputationTest, StampsSteppingBackContinueFromTheLastMinuteWithinTheTables) {
    ReportPlate plate = loadPlate();
    // Minutes 1430, 5, 100, 3 once unwrapped to 1430, 1445, 1540, 1443 and put
    // the last record past the tables (span 1443, P = 24, bin 26). In
    // recording order the last continues at 1540: span 1540, P = 26, bin 26.
    LoadedSeries loaded = series({record(1430, {}), record(5, {}), record(100, {}), record(3, {{0, 1}})});
    EXPECT_EQ(loaded.minutes, (std::vector<std::int32_t>{1430, 1445, 1540, 1540}));
    ReportTables tables;
    ASSERT_NO_THROW(computeReport(plate, loaded, 60, loaded.span(), tables));
    EXPECT_EQ(tables.binCount, 26);
    EXPECT_EQ(tables.channelSum[26][0], 1);
}

TEST_F(ReportComputationTest, BinEndBeyond16BitsIsACalculationFaultKeepingEarlierRecords) {
    ReportPlate plate = loadPlate();
    LoadedSeries loaded = series({record(60, {{0, 5}}), record(33000, {{0, 1}})});
    ReportTables tables;
    EXPECT_THROW(computeReport(plate, loaded, 1440, loaded.span(), tables), OverflowError);
    EXPECT_EQ(tables.channelSum[1][0], 5);
    EXPECT_EQ(tables.reportedBins(), (std::vector<std::int32_t>{1}));
}

}  // namespace
}  // namespace zorvex
