#include <gtest/gtest.h>

#include <cmath>
#include <sstream>
#include <tuple>

#include "AcquisitionBuilder.h"
#include "ManualHost.h"
#include "ScriptedDialogs.h"
#include "TempFolder.h"
#include "common/Files.h"
#include "reports/Report.h"
#include "reports/WellExport.h"

namespace zorvex {
namespace {

using test::record;

// A 2 x 2 plate of multi-beam wells: A1 on channels 0-1, B1 on 2-5, A2 on
// 6-7, B2 on 8-11. Group 1 holds the two-beam wells, group 2 the four-beam ones.
const std::vector<int> BeamsOfWell = {2, 4, 2, 4};
constexpr int BinMinutes = 60;
constexpr int LastMinute = 120;

int firstChannel(int well) {
    int channel = 0;
    for (int w = 0; w < well; ++w) channel += BeamsOfWell[static_cast<std::size_t>(w)];
    return channel;
}

// Rounds numerator / denominator half to even in integers, so the expected
// values owe nothing to the floating-point path of the program.
std::int32_t roundedRatio(long long numerator, long long denominator) {
    long long whole = numerator / denominator, rest = numerator % denominator;
    if (2 * rest > denominator || (2 * rest == denominator && whole % 2 != 0)) ++whole;
    return static_cast<std::int32_t>(whole);
}

// One crossing in every record of every well, on a beam that moves round the
// well; well A2 has a second one in every third record.
std::vector<ActivityRecord> sparseRecords() {
    std::vector<ActivityRecord> records;
    for (int minute = 0; minute <= LastMinute; ++minute) {
        std::vector<std::pair<int, std::int16_t>> counts;
        for (int well = 0; well < 4; ++well) {
            const int beams = BeamsOfWell[static_cast<std::size_t>(well)];
            counts.emplace_back(firstChannel(well) + minute % beams, 1);
        }
        if (minute % 3 == 0) counts.emplace_back(firstChannel(2), 1);
        records.push_back(record(minute, counts));
    }
    return records;
}

// The crossings of each well in each report bin of 60 minutes (the first bin
// holds minutes 0 to 60, the second 61 to 120).
std::vector<std::vector<long long>> crossingsPerBin(const std::vector<ActivityRecord>& records) {
    std::vector<std::vector<long long>> crossings(3, std::vector<long long>(4, 0));
    for (const ActivityRecord& r : records) {
        const std::size_t bin = r.elapsedMinutes <= BinMinutes ? 1 : 2;
        for (int well = 0; well < 4; ++well) {
            for (int beam = 0; beam < BeamsOfWell[static_cast<std::size_t>(well)]; ++beam) {
                crossings[bin][static_cast<std::size_t>(well)] += r.counts[static_cast<std::size_t>(firstChannel(well) + beam)];
            }
        }
    }
    return crossings;
}

class SparseCrossingsTest : public ::testing::Test {
protected:
    void SetUp() override {
        std::vector<std::pair<int, int>> wells;
        for (int well = 0; well < 4; ++well) {
            for (int beam = 0; beam < BeamsOfWell[static_cast<std::size_t>(well)]; ++beam) wells.emplace_back(well, beam);
        }
        test::writePlateFile(temp.path(), "ztest", 2, 2, wells);
        host.start = {2024, 3, 5, 14, 30, 0};
        folder = temp / "p00001" / "05032024_1430";
        test::AcquisitionBuilder(folder)
            .group(1, "Two beams").group(2, "Four beams")
            .channelGroup(firstChannel(0), 1).channelGroup(firstChannel(2), 1)
            .channelGroup(firstChannel(1), 2).channelGroup(firstChannel(3), 2)
            .writeSideFiles()
            .append(sparseRecords());
    }

    test::TempFolder temp;
    test::ScriptedDialogs dialogs;
    test::ManualHost host;
    std::filesystem::path folder;
};

TEST_F(SparseCrossingsTest, EveryCrossingCountsInWellsGroupsAndWellFiles) {
    auto data = loadReportData(folder, temp.path(), dialogs);
    ASSERT_TRUE(data.has_value());
    BinSize binSize;
    const ReportTables tables = computeTables(data->first, data->second, BinMinutes, dialogs, binSize);
    ASSERT_TRUE(dialogs.shown.empty());
    const auto crossings = crossingsPerBin(sparseRecords());

    std::vector<std::ostringstream> expectedFiles(4);
    for (std::size_t bin = 1; bin <= 2; ++bin) {
        std::vector<std::int32_t> rounded(4);
        for (std::size_t well = 0; well < 4; ++well) {
            rounded[well] = roundedRatio(crossings[bin][well], BeamsOfWell[well]);
            EXPECT_EQ(tables.wellActivity[bin][well], rounded[well]) << "bin " << bin << " well " << well;
            EXPECT_DOUBLE_EQ(tables.wellActivityExact[bin][well],
                             static_cast<double>(crossings[bin][well]) / BeamsOfWell[well]);
            expectedFiles[well] << "05/03/2024 " << (bin == 1 ? "15:30 " : "16:30 ") << rounded[well] << "\r\n";
        }
        // Group 1 = A1, A2; group 2 = B1, B2; the files' group means are of the rounded wells.
        for (const auto& [group, a, b] : {std::tuple{1, 0, 2}, std::tuple{2, 1, 3}}) {
            const auto g = static_cast<std::size_t>(group);
            EXPECT_EQ(tables.groupAverage[bin][g], roundedRatio(rounded[a] + rounded[b], 2));
            const double exactA = static_cast<double>(crossings[bin][a]) / BeamsOfWell[a];
            const double exactB = static_cast<double>(crossings[bin][b]) / BeamsOfWell[b];
            EXPECT_NEAR(tables.groupMeanExact[bin][g], (exactA + exactB) / 2, 1e-12);
            EXPECT_NEAR(tables.groupSdExact[bin][g], std::abs(exactA - exactB) / std::sqrt(2.0), 1e-12);
        }
    }
    // Rounding every record's mean would have kept the four-beam wells at 0 for ever.
    EXPECT_GT(tables.wellActivity[1][1], 10);

    const auto files = exportWells(folder, temp.path(), BinMinutes, dialogs, host);
    ASSERT_EQ(files.size(), 4u);
    for (std::size_t well = 0; well < 4; ++well) {
        EXPECT_EQ(readFile(files[well]).value_or("<missing>"), expectedFiles[well].str()) << files[well];
    }
}

}  // namespace
}  // namespace zorvex
