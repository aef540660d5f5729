#include <gtest/gtest.h>

#include <chrono>
#include <map>
#include <sstream>

#include "AcquisitionBuilder.h"
#include "ScriptedDialogs.h"
#include "TempFolder.h"
#include "cli/Program.h"
#include "control/LightSchedule.h"
#include "reports/ReportComputation.h"
#include "reports/RhythmExport.h"

namespace zorvex {
namespace {

using test::record;
using Row = std::vector<std::string>;

// One line of a monitor file as the column description defines it.
struct MonitorLine {
    long index = 0;
    long long minute = 0;  ///< reading time in minutes since 1970
    int seconds = 0;
    int status = 0;
    int light = 0;
    std::vector<long> counts;  ///< columns 11..42
    Row unused;                ///< columns 5..9
};

Row split(const std::string& text, char separator) {
    Row fields;
    std::string field;
    std::istringstream in(text);
    while (std::getline(in, field, separator)) fields.push_back(field);
    if (!text.empty() && text.back() == separator) fields.emplace_back();
    return fields;
}

long long calendarMinute(int year, int month, int day, int hour, int minute) {
    using namespace std::chrono;
    sys_days date{std::chrono::year{year} / month / day};
    return duration_cast<minutes>(date.time_since_epoch()).count() + hour * 60LL + minute;
}

// Reads a monitor file from its column description alone.
std::vector<MonitorLine> readMonitorFile(const std::filesystem::path& file) {
    static const Row months = {"Jan", "Feb", "Mar", "Apr", "May", "Jun", "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
    std::vector<MonitorLine> lines;
    Row texts = split(readFile(file).value_or(""), '\n');
    if (!texts.empty() && texts.back().empty()) texts.pop_back();  // after the last line end
    for (std::string line : texts) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        Row fields = split(line, '\t');
        EXPECT_EQ(fields.size(), 42u) << line;
        if (fields.size() != 42) return lines;
        Row date = split(fields[1], ' ');
        Row time = split(fields[2], ':');
        EXPECT_EQ(date.size(), 3u);
        EXPECT_EQ(time.size(), 3u);
        const auto month = std::find(months.begin(), months.end(), date[1]) - months.begin() + 1;
        EXPECT_LE(month, 12) << fields[1];
        MonitorLine parsed;
        parsed.index = std::stol(fields[0]);
        parsed.minute = calendarMinute(2000 + std::stoi(date[2]), static_cast<int>(month), std::stoi(date[0]),
                                       std::stoi(time[0]), std::stoi(time[1]));
        parsed.seconds = std::stoi(time[2]);
        parsed.status = std::stoi(fields[3]);
        parsed.unused.assign(fields.begin() + 4, fields.begin() + 9);
        parsed.light = std::stoi(fields[9]);
        for (std::size_t c = 10; c < 42; ++c) parsed.counts.push_back(std::stol(fields[c]));
        lines.push_back(parsed);
    }
    return lines;
}

// RFC 4180 records: quoted fields may hold commas, doubled quotes and line breaks.
std::vector<Row> readCsv(const std::string& text) {
    std::vector<Row> rows(1, Row(1));
    bool quoted = false;
    for (std::size_t i = 0; i < text.size(); ++i) {
        char ch = text[i];
        if (quoted && ch == '"' && i + 1 < text.size() && text[i + 1] == '"') {
            rows.back().back() += '"';
            ++i;
        } else if (ch == '"') {
            quoted = !quoted;
        } else if (!quoted && ch == ',') {
            rows.back().emplace_back();
        } else if (!quoted && ch == '\r' && i + 1 < text.size() && text[i + 1] == '\n') {
            ++i;
            rows.emplace_back(1);
        } else {
            rows.back().back() += ch;
        }
    }
    if (rows.back() == Row(1)) rows.pop_back();
    return rows;
}

class RhythmExportTest : public ::testing::Test {
protected:
    // Plate "ztest" of 2x2 single-beam wells on channels 0..3, and square
    // plates of `wells` wells for the larger cases.
    void SetUp() override { writePlate("ztest", 2, 2); }

    void writePlate(const std::string& name, int rows, int columns) {
        std::vector<std::pair<int, int>> wells;
        for (int w = 0; w < rows * columns; ++w) wells.emplace_back(w, 0);
        test::writePlateFile(temp.path(), name, rows, columns, wells);
    }

    // An acquisition folder whose setup copy holds the light row `light`.
    std::filesystem::path acquisition(const std::string& stamp, const std::vector<ActivityRecord>& records,
                                      std::array<std::int16_t, 6> light = {0, 9, 21, 0, 0, 0},
                                      const std::string& plate = "ztest") {
        test::AcquisitionBuilder builder(temp / "p00001" / stamp);
        builder.plate(plate).group(0, "Wild, type").group(1, "Mutant 'b'").channelGroup(0, 0).channelGroup(1, 1);
        builder.channelGroup(2, 1).writeSideFiles().append(records);
        ProjectSetup setup;
        setup.Plate_format = plate;
        setup.RT_Buffer = 500;
        setup.Mn[LightRow] = light;
        writeSetupFile(setup, 1, builder.folder() / SetupFileName);
        return builder.folder();
    }

    std::vector<std::filesystem::path> exportOf(const std::filesystem::path& folder, int interval = 1) {
        return exportRhythm({folder, temp.path(), interval, {}}, dialogs);
    }

    // Records at each minute of [first, last] with channel c counting c + 1 + minute % 3.
    static std::vector<ActivityRecord> minutes(int first, int last, int channels = 4) {
        std::vector<ActivityRecord> records;
        for (int m = first; m <= last; ++m) {
            ActivityRecord r = record(m, {});
            for (int c = 0; c < channels; ++c) r.counts[static_cast<std::size_t>(c)] = static_cast<std::int16_t>(c + 1 + m % 3);
            records.push_back(r);
        }
        return records;
    }

    static std::vector<int> lightColumn(const std::vector<MonitorLine>& lines) {
        std::vector<int> light;
        for (const auto& line : lines) light.push_back(line.light);
        return light;
    }

    test::TempFolder temp;
    test::ScriptedDialogs dialogs;
};

TEST_F(RhythmExportTest, CountsStatusAndRegularStepsAcrossAGapAndAMonthEnd) {
    // Two records in minute 0 (bins shorter than a minute), a gap at minutes 3..5.
    std::vector<ActivityRecord> records = minutes(0, 2);
    records.insert(records.begin(), record(0, {{0, 10}, {3, 1}}));
    for (const auto& r : minutes(6, 7)) records.push_back(r);
    auto folder = acquisition("30042024_2358", records);
    auto files = exportOf(folder);
    ASSERT_EQ(files.size(), 2u);
    EXPECT_EQ(files[0], folder / "rhythm" / "Monitor1.txt");
    EXPECT_EQ(files[1], folder / "rhythm" / "metadata.csv");
    EXPECT_TRUE(dialogs.shown.empty());

    auto lines = readMonitorFile(files[0]);
    ASSERT_EQ(lines.size(), 8u);
    const long long start = calendarMinute(2024, 4, 30, 23, 58);
    for (std::size_t k = 0; k < lines.size(); ++k) {
        EXPECT_EQ(lines[k].index, static_cast<long>(k + 1));
        EXPECT_EQ(lines[k].minute, start + static_cast<long long>(k) + 1) << "no jump or repeat at line " << k + 1;
        EXPECT_EQ(lines[k].seconds, 0);
        EXPECT_EQ(lines[k].unused, Row(5, "0"));
        const bool gap = k >= 3 && k <= 5;
        EXPECT_EQ(lines[k].status, gap ? 0 : 1);
        for (int w = 0; w < 32; ++w) {
            long expected = 0;
            if (!gap && w < 4) expected = w + 1 + static_cast<long>(k % 3);
            if (k == 0 && w == 0) expected += 10;
            if (k == 0 && w == 3) expected += 1;
            EXPECT_EQ(lines[k].counts[static_cast<std::size_t>(w)], expected) << "line " << k + 1 << " well " << w;
        }
    }
    EXPECT_NE(readFile(files[0])->find("1\t30 Apr 24\t23:59:00\t1\t"), std::string::npos);
    EXPECT_NE(readFile(files[0])->find("2\t01 May 24\t00:00:00\t1\t"), std::string::npos);
}

TEST_F(RhythmExportTest, LightFollowsHoursAcrossMidnightPulsesAndStaysOffWithoutControl) {
    // On at 0, off at 23: on at the start (22:58), off from 23:00, on again from midnight.
    auto hours = acquisition("31122023_2258", minutes(0, 64), {1, 0, 23, 0, 0, 0});
    auto lines = readMonitorFile(exportOf(hours).at(0));
    ASSERT_EQ(lines.size(), 65u);
    for (std::size_t k = 0; k < lines.size(); ++k) {
        EXPECT_EQ(lines[k].light, k < 2 || k >= 62 ? 1 : 0) << "interval " << k;
    }
    EXPECT_EQ(lines[62].minute, calendarMinute(2024, 1, 1, 0, 1));

    // Three pulses of 1.0 on and 2.0 off from the start; the train ends off and stays so.
    auto pulses = acquisition("05032024_1200", minutes(0, 11), {1, 9, 21, 3, 10, 20});
    EXPECT_EQ(lightColumn(readMonitorFile(exportOf(pulses).at(0))),
              (std::vector<int>{1, 0, 0, 1, 0, 0, 1, 0, 0, 0, 0, 0}));
    // Intervals of 3 minutes all start in an on part; the finished train still leaves the light off.
    EXPECT_EQ(loadRhythmGrid(pulses, temp.path(), 3, dialogs)->lightOn, (std::vector<bool>{true, true, true, false}));

    // Hours that would switch it on, but light control off.
    auto off = acquisition("05032024_1201", minutes(0, 3), {0, 0, 23, 0, 0, 0});
    EXPECT_EQ(lightColumn(readMonitorFile(exportOf(off).at(0))), (std::vector<int>{0, 0, 0, 0}));
}

TEST_F(RhythmExportTest, IntervalsOfFiveMinutesHoldTheReportsWellActivity) {
    // Two beams per well: the well activity is the report computation's.
    std::vector<std::pair<int, int>> beams;
    for (int c = 0; c < 8; ++c) beams.emplace_back(c % 4, c / 4);
    test::writePlateFile(temp.path(), "zbeams", 2, 2, beams);
    std::vector<ActivityRecord> records;
    for (int m : {1, 2, 3, 4, 6, 7, 8, 9, 11, 12, 13}) {
        ActivityRecord r = record(m, {});
        for (int c = 0; c < 8; ++c) r.counts[static_cast<std::size_t>(c)] = static_cast<std::int16_t>((m * 7 + c * 3) % 11);
        records.push_back(r);
    }
    auto folder = acquisition("31122023_2350", records, {0, 9, 21, 0, 0, 0}, "zbeams");
    auto grid = loadRhythmGrid(folder, temp.path(), 5, dialogs);
    ASSERT_TRUE(grid);
    auto plate = loadReportPlate(folder, temp.path(), dialogs);
    ReportTables tables;
    computeReport(*plate, seriesOf(records), 5, 15, tables);

    auto lines = readMonitorFile(exportOf(folder, 5).at(0));
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(lines[2].minute, calendarMinute(2024, 1, 1, 0, 5));
    for (std::size_t k = 0; k < 3; ++k) {
        EXPECT_EQ(lines[k].minute - lines[0].minute, static_cast<long long>(k) * 5);
        for (int w = 0; w < 4; ++w) {
            EXPECT_EQ(lines[k].counts[static_cast<std::size_t>(w)], tables.wellActivity[k + 1][static_cast<std::size_t>(w)]);
            EXPECT_EQ(grid->wellCounts[static_cast<std::size_t>(w)][k], tables.wellActivity[k + 1][static_cast<std::size_t>(w)]);
        }
    }
}

TEST_F(RhythmExportTest, ShortAcquisitionGivesOneLineAndLargePlatesFillPaddedFiles) {
    auto shortRun = acquisition("05032024_1430", minutes(0, 2));
    auto lines = readMonitorFile(exportOf(shortRun, 5).at(0));
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines[0].minute, calendarMinute(2024, 3, 5, 14, 35));
    EXPECT_EQ(lines[0].counts[0], 1 + 2 + 3);

    writePlate("z96", 8, 12);
    writePlate("z384", 16, 24);
    writePlate("z40", 5, 8);
    const std::filesystem::path folder = temp / "p00001" / "05032024_1500";
    for (auto [plate, files, lastWell] : {std::tuple{"z96", 3, 95}, {"z384", 12, 383}, {"z40", 2, 39}}) {
        std::filesystem::remove(folder / "counts.bin");
        acquisition(folder.filename().string(), minutes(0, 1, 384), {0, 9, 21, 0, 0, 0}, plate);
        ASSERT_EQ(exportOf(folder).size(), static_cast<std::size_t>(files) + 1) << plate;
        auto last = readMonitorFile(folder / "rhythm" / monitorFileName(files));
        ASSERT_EQ(last.size(), 2u);
        for (int column = 0; column < 32; ++column) {
            const int well = (files - 1) * 32 + column;
            EXPECT_EQ(last[1].counts[static_cast<std::size_t>(column)], well <= lastWell ? well + 2 : 0) << plate;
        }
        EXPECT_EQ(readCsv(*readFile(folder / "rhythm" / "metadata.csv")).size(), static_cast<std::size_t>(lastWell) + 2);
    }
    // The 40-well export replaced the 384-well one: no stale Monitor3..12.
    EXPECT_FALSE(fileExists(folder / "rhythm" / "Monitor3.txt"));
    EXPECT_FALSE(fileExists(folder / "rhythm" / "Monitor12.txt"));
}

TEST_F(RhythmExportTest, MetadataRowsMatchThePlatesGroups) {
    auto folder = acquisition("05032024_1430", minutes(0, 59));
    writeExperimentInfo(folder, {"Sleep, day 1", "two lines"});
    auto files = exportOf(folder, 15);
    auto rows = readCsv(*readFile(files.at(1)));
    const Row header = {"file", "start_datetime", "stop_datetime", "region_id", "well", "group", "group_name",
                        "plate", "experiment"};
    ASSERT_EQ(rows.size(), 5u);
    EXPECT_EQ(rows[0], header);
    const std::vector<std::pair<std::string, std::string>> groups = {
        {"0", "Wild, type"}, {"1", "Mutant 'b'"}, {"1", "Mutant 'b'"}, {"", ""}};
    const Row wells = {"A1", "B1", "A2", "B2"};
    for (std::size_t w = 0; w < 4; ++w) {
        EXPECT_EQ(rows[w + 1], (Row{"Monitor1.txt", "2024-03-05 14:30:00", "2024-03-05 15:30:00",
                                    std::to_string(w + 1), wells[w], groups[w].first, groups[w].second, "ztest",
                                    "Sleep, day 1"}));
    }
    EXPECT_EQ(csvField("say \"hi\"\r\nnow"), "\"say \"\"hi\"\"\r\nnow\"");
    EXPECT_EQ(csvField("plain"), "plain");
}

TEST_F(RhythmExportTest, UnreadableInputsAndFoldersGiveAMessageAndNoFiles) {
    auto empty = acquisition("05032024_1430", {});
    writeFile(empty / "counts.bin", "");
    EXPECT_TRUE(exportOf(empty).empty());
    EXPECT_EQ(dialogs.shown.back(), "The acquisition holds no activity records: nothing to export.");

    auto damaged = acquisition("05032024_1431", minutes(0, 3));
    writeFile(damaged / SetupFileName, readFile(damaged / SetupFileName)->substr(0, 300));
    EXPECT_TRUE(exportOf(damaged).empty());
    EXPECT_EQ(dialogs.shown.back(), "Setup file not found or damaged: " + (damaged / SetupFileName).string());
    writeFile(damaged / SetupFileName, std::string(5000, '\x01'));
    EXPECT_TRUE(exportOf(damaged).empty());
    EXPECT_EQ(dialogs.shown.back(), "Setup file not found or damaged: " + (damaged / SetupFileName).string());
    EXPECT_FALSE(folderExists(damaged / "rhythm"));

    auto wrongName = acquisition("latest", minutes(0, 3));
    EXPECT_TRUE(exportOf(wrongName).empty());
    EXPECT_EQ(dialogs.shown.back(), "The folder name is not an acquisition start (ddmmyyyy_hhmm): " + wrongName.string());

    auto good = acquisition("05032024_1432", minutes(0, 3));
    writeFile(temp / "afile", "x");
    EXPECT_TRUE(exportRhythm({good, temp.path(), 1, temp / "afile"}, dialogs).empty());
    EXPECT_EQ(dialogs.shown.back(), "The export folder is a file: " + (temp / "afile").string());
    EXPECT_EQ(exportRhythm({good, temp.path(), 1, temp / "a" / "b"}, dialogs).size(), 2u);

    auto garbled = acquisition("05032024_1433", {record(0, {}), record(2000000000, {})});
    EXPECT_TRUE(exportOf(garbled).empty());
    EXPECT_FALSE(folderExists(garbled / "rhythm"));
}

TEST_F(RhythmExportTest, CommandWritesIntoTheGivenFolderAndRefusesBadIntervals) {
    auto folder = acquisition("05032024_1430", minutes(0, 9));
    std::ostringstream out, err;
    const std::string program = temp.path().string();
    EXPECT_EQ(runZorvexCli({"rhythm", folder.string() + "/", "--interval", "5", "--out", (temp / "out").string(),
                                "--program-folder", program}, out, err), 0) << err.str();
    EXPECT_EQ(out.str(), (temp / "out" / "Monitor1.txt").string() + "\n" + (temp / "out" / "metadata.csv").string() + "\n");
    EXPECT_EQ(readMonitorFile(temp / "out" / "Monitor1.txt").size(), 2u);
    for (const char* bad : {"0", "1441", "5x", ""}) {
        EXPECT_EQ(runZorvexCli({"rhythm", folder.string(), "--interval", bad, "--program-folder", program}, out, err), 2) << bad;
    }
    EXPECT_EQ(runZorvexCli({"rhythm", (temp / "nowhere" / "05032024_1430").string(), "--program-folder", program}, out, err), 1);
    EXPECT_NE(err.str().find("Activity file not Found"), std::string::npos);
}

}  // namespace
}  // namespace zorvex
