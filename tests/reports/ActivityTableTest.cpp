// The activity table read back by a plain RFC 4180 reader written here, on a
// plate of two beams per well with a gap, and held against the raw records
// and the monitor files of the same interval.

#include <gtest/gtest.h>

#include <cmath>
#include <regex>
#include <sstream>

#include "RhythmFixture.h"
#include "cli/Program.h"
#include "reports/ActivityTable.h"

namespace zorvex {
namespace {

using namespace test;

using ActivityTableTest = RhythmFixture;

const Row TableHeader = {"datetime", "elapsed_min", "well",     "row",   "column",        "beams",
                         "group",    "group_name",  "activity", "light", "temperature_c", "status"};

TEST_F(ActivityTableTest, RowsPerWellAndIntervalAddUpToTheRecordsAndTheMonitorFiles) {
    // Minutes 0..59 and 80..119: intervals 12..15 of 5 minutes are a gap, and
    // 11 and 16 at its edges, recorded in part, are no readings. The light is
    // on from midnight to one o'clock (intervals 6..17).
    const auto records = halfMinuteBins({{0, 59}, {80, 119}});
    auto folder = acquisition("05032024_2330", records, {1, 0, 1, 0, 0, 0}, "zbeams");
    const auto table = temp / "tables" / "plate 1.csv";
    std::ostringstream out, err;
    ASSERT_EQ(runZorvexCli({"export", folder.string(), "--interval=5", "--out=" + table.string(),
                            "--program-folder=" + temp.path().string()},
                           out, err),
              0)
        << err.str();
    EXPECT_EQ(out.str(), table.string() + "\n");

    const auto rows = readCsv(fileText(table));
    ASSERT_EQ(rows.size(), 1u + 4 * 24);
    EXPECT_EQ(rows[0], TableHeader);
    ASSERT_EQ(exportOf(folder, 5).size(), 2u);
    const auto monitor = readMonitorFile(folder / "rhythm" / "Monitor1.txt");
    ASSERT_EQ(monitor.size(), 24u);

    const long long start = calendarMinute(2024, 3, 5, 23, 30);
    const std::vector<Row> wells = {{"A1", "A", "1", "0", "Wild, type"},
                                    {"B1", "B", "1", "1", "Mutant 'b'"},
                                    {"A2", "A", "2", "1", "Mutant 'b'"},
                                    {"B2", "B", "2", "", ""}};
    const std::regex decimal("[0-9]+(\\.[0-9]{1,2})?");
    std::vector<long> tableTotals(4, 0), monitorTotals(4, 0), recordTotals(4, 0);
    for (std::size_t w = 0; w < 4; ++w) {
        for (std::size_t k = 0; k < 24; ++k) {
            const Row& row = rows[1 + w * 24 + k];
            ASSERT_EQ(row.size(), TableHeader.size());
            const int elapsed = std::stoi(row[1]);
            EXPECT_EQ(elapsed, static_cast<int>(k + 1) * 5);
            EXPECT_EQ(isoMinute(row[0]), start + elapsed);
            EXPECT_EQ(Row(row.begin() + 2, row.begin() + 8),
                      (Row{wells[w][0], wells[w][1], wells[w][2], "2", wells[w][3], wells[w][4]}));
            const bool gap = k >= 12 && k <= 15;
            const bool reading = !gap && k != 11 && k != 16;
            EXPECT_EQ(row[11], reading ? "1" : "0");
            EXPECT_EQ(row[9], k >= 6 && k <= 17 ? "1" : "0");

            // The interval's records: summed counts of the well's two beams, mean of the temperatures.
            long counts = 0;
            double tenths = 0;
            int readings = 0;
            for (const auto& r : records) {
                if (r.elapsedMinutes / 5 != static_cast<int>(k)) continue;
                counts += r.counts[w] + r.counts[w + 4];
                tenths += r.temperatureTenths;
                ++readings;
            }
            if (reading) recordTotals[w] += counts;
            EXPECT_EQ(row[8], reading ? std::to_string(counts) : "") << row[2] << " at " << row[0];
            if (gap) {
                EXPECT_EQ(row[10], "");
            } else {
                EXPECT_TRUE(std::regex_match(row[10], decimal)) << row[10];
                EXPECT_NEAR(std::stod(row[10]), tenths / readings / 10.0, 0.005 + 1e-9);
                if (reading) tableTotals[w] += std::stol(row[8]);
            }
            // The monitor line of the same interval says the same.
            EXPECT_EQ(monitor[k].minute, start + elapsed);
            EXPECT_EQ(std::to_string(monitor[k].status), row[11]);
            EXPECT_EQ(std::to_string(monitor[k].light), row[9]);
            if (reading) monitorTotals[w] += monitor[k].counts[w];
        }
    }
    EXPECT_EQ(tableTotals, recordTotals);
    EXPECT_EQ(tableTotals, monitorTotals);
}

TEST_F(ActivityTableTest, WritesBesideTheAcquisitionByDefaultAndSaysWhyNot) {
    auto folder = acquisition("05032024_1430", minutes(0, 29));
    auto file = exportActivityTable({folder, temp.path(), 15, {}}, dialogs);
    ASSERT_TRUE(file);
    EXPECT_EQ(*file, folder / "activity_15min.csv");
    EXPECT_EQ(readCsv(fileText(*file)).size(), 1u + 4 * 2);

    EXPECT_FALSE(exportActivityTable({folder, temp.path(), 60, {}}, dialogs));
    EXPECT_EQ(dialogs.shown.back(), "The acquisition holds no whole interval of 60 minutes: nothing to export. Choose "
                                    "a shorter interval.");
    EXPECT_FALSE(exportActivityTable({folder, temp.path(), 1441, {}}, dialogs));
    EXPECT_EQ(dialogs.shown.back(), "The interval must be a whole number of minutes from 1 to 1440.");
    std::filesystem::create_directories(temp / "taken.csv");
    EXPECT_FALSE(exportActivityTable({folder, temp.path(), 5, temp / "taken.csv"}, dialogs));
    EXPECT_EQ(dialogs.shown.back(), "The file cannot be written: " + (temp / "taken.csv").string());
    EXPECT_FALSE(fileExists(folder / "activity_60min.csv"));
}

}  // namespace
}  // namespace zorvex
