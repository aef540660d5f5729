#include <gtest/gtest.h>

#include <sstream>

#include "ManualHost.h"
#include "RhythmFixture.h"
#include "cli/Program.h"
#include "common/Text.h"
#include "reports/ActivityTable.h"
#include "reports/Join.h"

namespace zorvex {
namespace {

using namespace test;

using RhythmExportTest = RhythmFixture;

std::vector<int> lightColumn(const std::vector<MonitorLine>& lines) {
    std::vector<int> light;
    for (const auto& line : lines) light.push_back(line.light);
    return light;
}

TEST_F(RhythmExportTest, CountsStatusAndRegularStepsAcrossAGapAndAMonthEnd) {
    // Two records in minute 0 (bins shorter than a minute), a gap at minutes
    // 3..5; minutes 2 and 6 at its edges were recorded in part: no readings.
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
        EXPECT_EQ(lines[k].status, gap || k == 2 || k == 6 ? 0 : 1);
        for (int w = 0; w < 32; ++w) {
            long expected = 0;
            if (!gap && w < 4) expected = w + 1 + static_cast<long>(k % 3);
            if (k == 0 && w == 0) expected += 10;
            if (k == 0 && w == 3) expected += 1;
            EXPECT_EQ(lines[k].counts[static_cast<std::size_t>(w)], expected) << "line " << k + 1 << " well " << w;
        }
    }
    EXPECT_NE(fileText(files[0]).find("1\t30 Apr 24\t23:59:00\t1\t"), std::string::npos);
    EXPECT_NE(fileText(files[0]).find("2\t01 May 24\t00:00:00\t1\t"), std::string::npos);
}

TEST_F(RhythmExportTest, StampsSteppingBackAnHourExportEveryMinuteOnce) {
    // An acquisition recorded before stamps came from the monotonic clock, in
    // half-minute bins: summer time ended half way through minute 89, so the
    // stamps went back an hour there.
    std::vector<ActivityRecord> records;
    for (int minute = 0; minute < 150; ++minute) {
        for (int half = 0; half < 2; ++half) {
            const bool afterTheStep = minute > 89 || (minute == 89 && half == 1);
            records.push_back(record(afterTheStep ? minute - 60 : minute, {{0, 1}, {1, static_cast<std::int16_t>(minute % 5)}}));
        }
    }
    auto folder = acquisition("27102024_0130", records);
    auto files = exportOf(folder);
    ASSERT_EQ(files.size(), 2u) << ::testing::PrintToString(dialogs.shown);
    const auto lines = readMonitorFile(files[0]);
    ASSERT_EQ(lines.size(), 150u);
    const long long start = calendarMinute(2024, 10, 27, 1, 30);
    for (std::size_t k = 0; k < lines.size(); ++k) {
        EXPECT_EQ(lines[k].minute, start + static_cast<long long>(k) + 1) << "line " << k + 1;
        EXPECT_EQ(lines[k].status, 1) << "line " << k + 1;
        // Each minute's two records once, never the repeated hour's on top.
        EXPECT_EQ(lines[k].counts[0], 2) << "line " << k + 1;
        EXPECT_EQ(lines[k].counts[1], 2 * static_cast<long>(k % 5)) << "line " << k + 1;
    }
}

TEST_F(RhythmExportTest, AStopPartWayThroughAMinuteLeavesThatMinuteOut) {
    // Ten minutes of half-minute bins; run A reached its 10-minute lapse, run B
    // was stopped by hand some seconds into minute 9 of a 30-minute lapse.
    const auto records = halfMinuteBins({{0, 9}});
    for (const auto& [stamp, lapse, lines] : {std::tuple{"05032024_1000", 10, 10u}, std::tuple{"05032024_1100", 30, 9u}}) {
        const auto folder = acquisition(stamp, records, NoLightControl, "zbeams");
        ProjectSetup setup;
        setup.Plate_format = "zbeams";
        setup.RT_Buffer = 500;
        setup.Aq_lapse = static_cast<std::int16_t>(lapse);
        writeSetupFile(setup, 1, folder / SetupFileName);
        const auto files = exportOf(folder);
        ASSERT_EQ(files.size(), 2u) << ::testing::PrintToString(dialogs.shown);
        const auto monitor = readMonitorFile(files[0]);
        EXPECT_EQ(monitor.size(), lines) << stamp;
        for (const auto& line : monitor) EXPECT_EQ(line.status, 1) << stamp;
    }
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

TEST_F(RhythmExportTest, IntervalsOfNinetyMinutesShadeTheSwitchesTheyCross) {
    // On at 15, off at 17, from 14:58: the instrument switched at the bin
    // ends after each switching time, and the shading follows it.
    auto folder = acquisition("06122026_1458", minutes(0, 299), {1, 15, 17, 0, 0, 0});
    EXPECT_EQ(loadRhythmGrid(folder, temp.path(), 90, dialogs)->lightOn,
              (std::vector<bool>{false, true, false, false}));
}

// Each line holds the counts of the well's two beams summed over its
// interval, so the 1-minute lines add up exactly to every coarser line, a
// single crossing is never rounded away, and the unfinished last interval of
// 300 recorded minutes is left out at every interval that does not divide 300.
TEST_F(RhythmExportTest, EveryIntervalUpTo59AddsUpToTheMinuteLinesAndEndsAtTheLastWholeOne) {
    const auto records = halfMinuteBins({{0, 299}});
    auto folder = acquisition("31122023_2350", records, NoLightControl, "zbeams");
    const long long start = calendarMinute(2023, 12, 31, 23, 50);
    std::vector<long> recorded(4, 0);
    for (const auto& r : records) {
        for (int c = 0; c < 8; ++c) recorded[static_cast<std::size_t>(c % 4)] += r.counts[static_cast<std::size_t>(c)];
    }

    ASSERT_EQ(exportOf(folder, 1, temp / "1").size(), 2u);
    const auto minuteLines = readMonitorFile(temp / "1" / "Monitor1.txt");
    ASSERT_EQ(minuteLines.size(), 300u);
    std::vector<long> minuteTotals(4, 0);
    bool singleCrossing = false;
    for (const auto& line : minuteLines) {
        for (std::size_t w = 0; w < 4; ++w) minuteTotals[w] += line.counts[w];
        singleCrossing = singleCrossing || line.counts[0] == 1;
    }
    EXPECT_EQ(minuteTotals, recorded);
    EXPECT_TRUE(singleCrossing) << "a lone crossing in a two-beam well shows as 1";

    for (int interval = 2; interval <= MaxRhythmIntervalMinutes; ++interval) {
        const auto out = temp / std::to_string(interval);
        ASSERT_EQ(exportOf(folder, interval, out).size(), 2u) << interval;
        const auto lines = readMonitorFile(out / "Monitor1.txt");
        ASSERT_EQ(lines.size(), static_cast<std::size_t>(300 / interval)) << interval;
        for (std::size_t k = 0; k < lines.size(); ++k) {
            EXPECT_EQ(lines[k].status, 1);
            EXPECT_EQ(lines[k].minute, start + static_cast<long long>(k + 1) * interval);
            for (std::size_t w = 0; w < 4; ++w) {
                long sum = 0;
                for (const auto& minute : minuteLines) {
                    if (minute.minute > lines[k].minute - interval && minute.minute <= lines[k].minute) {
                        sum += minute.counts[w];
                    }
                }
                EXPECT_EQ(lines[k].counts[w], sum) << "interval " << interval << " line " << k + 1 << " well " << w;
            }
        }
        EXPECT_LE(lines.back().minute, start + 300) << "no reading past the end of the recording";
        const auto metadata = readCsv(fileText(out / "metadata.csv"));
        ASSERT_EQ(metadata.size(), 5u);
        for (std::size_t r = 1; r < metadata.size(); ++r) {
            EXPECT_EQ(isoMinute(metadata[r][2]), lines.back().minute) << "stop_datetime at interval " << interval;
        }
    }
    EXPECT_TRUE(dialogs.shown.empty()) << dialogs.shown.front();
}

TEST_F(RhythmExportTest, AnHourOrMoreAtALineIsRefusedWithTheReason) {
    auto folder = acquisition("05032024_1430", minutes(0, 179));
    for (int interval : {60, 90, 1440}) {
        EXPECT_TRUE(exportOf(folder, interval).empty());
        EXPECT_EQ(dialogs.shown.back(), "Monitor files take 1 to 59 minutes per line: rhythm-analysis tools take a "
                                        "step of an hour or more for a break in the recording and refuse the file; "
                                        "make coarser bins in the analysis, from the 1-minute files.");
    }
    EXPECT_TRUE(exportOf(folder, 0).empty());
    EXPECT_EQ(dialogs.shown.back(), "The interval must be a whole number of minutes from 1 to 59.");
    EXPECT_FALSE(folderExists(folder / "rhythm"));
}

// Records that stop while the clock runs on (a pause), or the gap between two
// joined runs, cover the minutes at the gap's edges in part only, as does a
// stop by hand. A line or table row is a reading only when records cover all
// of its minutes; a whole line keeps every count of its records.
TEST_F(RhythmExportTest, APauseAJoinAndAStopPartWayLeaveNoPartlyCoveredLineAReading) {
    // One bin in a minute of half-minute bins: the minute was recorded in part.
    const auto halfMinute = [](int minute) { return halfMinuteBins({{minute, minute}}).back(); };
    const auto joined = [](std::vector<ActivityRecord> records, const std::vector<ActivityRecord>& more) {
        records.insert(records.end(), more.begin(), more.end());
        return records;
    };
    auto setLapse = [](const std::filesystem::path& folder, int lapse) {
        ProjectSetup setup;
        setup.Plate_format = "zbeams";
        setup.RT_Buffer = 500;
        setup.Aq_lapse = static_cast<std::int16_t>(lapse);
        writeSetupFile(setup, 1, folder / SetupFileName);
    };

    // Paused with the clock running half way through minute 39, resumed half
    // way through minute 50; the 90-minute lapse reached.
    const auto paused = joined(joined(halfMinuteBins({{0, 38}}), {halfMinute(39), halfMinute(50)}),
                               halfMinuteBins({{51, 89}}));
    const auto pausedFolder = acquisition("05032024_0800", paused, NoLightControl, "zbeams");
    setLapse(pausedFolder, 90);
    // Stopped by hand half way through minute 30 of a 60-minute lapse.
    const auto stopped = joined(halfMinuteBins({{0, 29}}), {halfMinute(30)});
    const auto stoppedFolder = acquisition("05032024_0900", stopped, NoLightControl, "zbeams");
    setLapse(stoppedFolder, 60);
    // Run A stopped by hand half way through minute 44 of its hour, run B
    // started at 11:00 (some seconds into the joined minute 60) and ran its hour.
    const auto runA = joined(halfMinuteBins({{0, 43}}), {halfMinute(44)});
    const auto runB = halfMinuteBins({{0, 59}});
    setLapse(acquisition("05032024_1000", runA, NoLightControl, "zbeams"), 60);
    setLapse(acquisition("05032024_1100", runB, NoLightControl, "zbeams"), 60);
    test::ManualHost host;
    host.start = {2024, 3, 6, 9, 0, 0};
    const auto joinFiles = joinAcquisitions(temp / "p00001", {"05032024_1000", "05032024_1100"}, dialogs, host);
    ASSERT_FALSE(joinFiles.empty());
    auto shiftedB = runB;
    for (auto& r : shiftedB) r.elapsedMinutes += 60;

    struct Case {
        const char* what;
        std::filesystem::path folder;
        std::vector<ActivityRecord> records;
        std::vector<std::pair<int, int>> wholeMinutes;  // recorded from start to end
    };
    const std::vector<Case> cases = {
        {"pause", pausedFolder, paused, {{0, 38}, {51, 89}}},
        {"stop", stoppedFolder, stopped, {{0, 29}}},
        {"join", joinFiles.front().parent_path(), joined(runA, shiftedB), {{0, 43}, {61, 119}}},
    };
    for (const Case& c : cases) {
        const auto whole = [&](int minute) {
            return std::any_of(c.wholeMinutes.begin(), c.wholeMinutes.end(),
                               [&](auto span) { return minute >= span.first && minute <= span.second; });
        };
        for (int interval : {1, 5, 30}) {
            SCOPED_TRACE(std::string(c.what) + ", interval " + std::to_string(interval));
            const auto out = temp / "out" / c.what / std::to_string(interval);
            ASSERT_EQ(exportOf(c.folder, interval, out).size(), 2u) << ::testing::PrintToString(dialogs.shown);
            const auto lines = readMonitorFile(out / "Monitor1.txt");
            const auto tableFile = exportActivityTable({c.folder, temp.path(), interval, out / "t.csv"}, dialogs);
            ASSERT_TRUE(tableFile) << ::testing::PrintToString(dialogs.shown);
            const auto table = readCsv(fileText(*tableFile));
            const int lastWhole = c.wholeMinutes.back().second;
            ASSERT_EQ(lines.size(), static_cast<std::size_t>((lastWhole + 1) / interval));
            ASSERT_EQ(table.size(), 1 + 4 * lines.size());
            for (int k = 0; k < static_cast<int>(lines.size()); ++k) {
                bool reading = true;
                for (int m = k * interval; m < (k + 1) * interval; ++m) reading = reading && whole(m);
                EXPECT_EQ(lines[static_cast<std::size_t>(k)].status, reading ? 1 : 0) << "line " << k + 1;
                EXPECT_EQ(table[1 + static_cast<std::size_t>(k)][11], reading ? "1" : "0") << "row " << k + 1;
                if (!reading) continue;
                long counts = 0;  // well A1: channels 0 and 4
                for (const auto& r : c.records) {
                    if (r.elapsedMinutes / interval == k) counts += r.counts[0] + r.counts[4];
                }
                EXPECT_EQ(lines[static_cast<std::size_t>(k)].counts[0], counts) << "line " << k + 1;
                EXPECT_EQ(table[1 + static_cast<std::size_t>(k)][8], std::to_string(counts)) << "row " << k + 1;
            }
        }
    }
}

// A 90-minute gap: the lines around it stay status 0, and metadata.csv gives
// each side its own rows, so a loader that refuses a jump of an hour reads
// every reading once. Gaps shorter than an hour between readings stay in one row.
TEST_F(RhythmExportTest, AGapOfAnHourOrMoreStartsNewMetadataRowsAndEveryReadingLoadsOnce) {
    auto folder = acquisition("05032024_2300", halfMinuteBins({{0, 119}, {210, 299}}), NoLightControl, "zbeams");
    const long long start = calendarMinute(2024, 3, 5, 23, 0);
    for (int interval = 1; interval <= MaxRhythmIntervalMinutes; ++interval) {
        const auto out = temp / std::to_string(interval);
        ASSERT_EQ(exportOf(folder, interval, out).size(), 2u) << interval;
        const ToolsLoad load = loadAsTheTools(out);
        expectEveryReadingOnce(load);
        // The last reading before the gap, the first after it (none when it
        // would end past the last) and the last, in minutes from the start:
        // minutes 119 and 210 at the gap's edges were recorded in part.
        const long long before = 119 / interval * interval, after = (210 / interval + 2) * interval;
        const long long last = 300 / interval * interval;
        const bool split = after <= last && after - before >= 60;
        ASSERT_EQ(load.spans.size(), split ? 2u : 1u) << interval;
        if (split) {
            const auto first = *load.spans.begin(), second = *load.spans.rbegin();
            EXPECT_EQ(first, std::make_pair(start, start + before)) << interval;
            EXPECT_EQ(second.first, start + after - interval) << "the second row starts where its interval begins";
            EXPECT_EQ(second.second, start + last);
        }
    }
}

// Time zero is the last lights-on at or before the first reading: on the day
// before when the run starts at night (across the new year here), inside the
// first interval when it holds the on hour, at the start of a pulse; the
// acquisition's start when asked, or when the light is not controlled.
TEST_F(RhythmExportTest, StartIsTheLastLightsOnBeforeTheFirstReading) {
    struct Case {
        std::string stamp;
        LightSettings light;
        int interval;
        TimeZero timeZero;
        std::string start;
    };
    const LightSettings nights = {1, 20, 8, 0, 0, 0};
    const std::vector<Case> cases = {
        {"01012024_0130", nights, 1, TimeZero::LightsOn, "2023-12-31 20:00:00"},
        {"01012024_0131", nights, 1, TimeZero::Acquisition, "2024-01-01 01:31:00"},
        {"05032024_1930", nights, 1, TimeZero::LightsOn, "2024-03-04 20:00:00"},
        {"05032024_1931", nights, 59, TimeZero::LightsOn, "2024-03-05 20:00:00"},
        {"05032024_0930", {1, 9, 21, 0, 0, 0}, 5, TimeZero::LightsOn, "2024-03-05 09:00:00"},
        {"05032024_1200", {1, 9, 21, 3, 10, 20}, 5, TimeZero::LightsOn, "2024-03-05 12:03:00"},
        {"05032024_1201", {1, 9, 21, 3, 10, 20}, 1, TimeZero::LightsOn, "2024-03-05 12:01:00"},
        {"05032024_1202", {1, 9, 9, 0, 0, 0}, 1, TimeZero::LightsOn, "2024-03-05 12:02:00"},
        {"05032024_1203", {0, 20, 8, 0, 0, 0}, 1, TimeZero::LightsOn, "2024-03-05 12:03:00"},
    };
    for (const Case& c : cases) {
        auto folder = acquisition(c.stamp, minutes(0, 119), c.light);
        ASSERT_EQ(exportOf(folder, c.interval, {}, c.timeZero).size(), 2u) << c.stamp;
        const auto rows = readCsv(fileText(folder / "rhythm" / "metadata.csv"));
        ASSERT_EQ(rows.size(), 5u);
        EXPECT_EQ(rows[1][1], c.start) << c.stamp << " at " << c.interval << " minutes";
    }
}

// The acquisition's clock follows summer time: its minutes skip the hour the
// clock skips on 31 March. Time zero is lights-on at 20:00 the evening before;
// lights-off and the next lights-on fall at 12 and 24 hours of the files' time
// as the tools read it, and the readings after the skipped hour load as rows
// of their own.
TEST_F(RhythmExportTest, LightsOnStaysTimeZeroAcrossTheSummerTimeChange) {
    // 22:00 to 01:59, then the clock jumps from 02:00 to 03:00; recorded until 21:00.
    auto folder = acquisition("30032024_2200", halfMinuteBins({{0, 239}, {300, 1379}}), {1, 20, 8, 0, 0, 0}, "zbeams");
    ASSERT_EQ(exportOf(folder, 1).size(), 2u);
    const ToolsLoad load = loadAsTheTools(folder / "rhythm");
    expectEveryReadingOnce(load);
    const long long lightsOn = calendarMinute(2024, 3, 30, 20, 0);
    ASSERT_EQ(load.spans.size(), 2u);
    EXPECT_EQ(*load.spans.begin(), std::make_pair(lightsOn, calendarMinute(2024, 3, 31, 2, 0)));
    EXPECT_EQ(*load.spans.rbegin(),
              std::make_pair(calendarMinute(2024, 3, 31, 3, 0), calendarMinute(2024, 3, 31, 21, 0)));

    // A line's light is the light at its interval's beginning, one minute before its reading.
    const auto& lines = load.files.at("Monitor1.txt");
    std::vector<long long> switches;
    for (std::size_t k = 1; k < lines.size(); ++k) {
        if (lines[k].light != lines[k - 1].light) switches.push_back(lines[k].minute - 1 - lightsOn);
    }
    EXPECT_EQ(switches, (std::vector<long long>{12 * 60, 24 * 60}));
}

TEST_F(RhythmExportTest, ShortAcquisitionGivesOneWholeLineOrNoneAndLargePlatesFillPaddedFiles) {
    auto shortRun = acquisition("05032024_1430", minutes(0, 4));
    auto lines = readMonitorFile(exportOf(shortRun, 5).at(0));
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines[0].minute, calendarMinute(2024, 3, 5, 14, 35));
    EXPECT_EQ(lines[0].counts[0], 1 + 2 + 3 + 1 + 2);
    auto shorter = acquisition("05032024_1431", minutes(0, 3));
    EXPECT_TRUE(exportOf(shorter, 5).empty());
    EXPECT_EQ(dialogs.shown.back(), "The acquisition holds no whole interval of 5 minutes: nothing to export. Choose "
                                    "a shorter interval.");

    writePlate("z96", 8, 12);
    writePlate("z384", 16, 24);
    writePlate("z40", 5, 8);
    const std::filesystem::path folder = temp / "p00001" / "05032024_1500";
    for (auto [plate, files, lastWell] : {std::tuple{"z96", 3, 95}, {"z384", 12, 383}, {"z40", 2, 39}}) {
        std::filesystem::remove(folder / "counts.bin");
        acquisition(folder.filename().string(), minutes(0, 1, 384), NoLightControl, plate);
        ASSERT_EQ(exportOf(folder).size(), static_cast<std::size_t>(files) + 1) << plate;
        auto last = readMonitorFile(folder / "rhythm" / monitorFileName(files));
        ASSERT_EQ(last.size(), 2u);
        for (int column = 0; column < 32; ++column) {
            const int well = (files - 1) * 32 + column;
            EXPECT_EQ(last[1].counts[static_cast<std::size_t>(column)], well <= lastWell ? well + 2 : 0) << plate;
        }
        EXPECT_EQ(readCsv(fileText(folder / "rhythm" / "metadata.csv")).size(), static_cast<std::size_t>(lastWell) + 2);
    }
    // The 40-well export replaced the 384-well one: no stale Monitor3..12.
    EXPECT_FALSE(fileExists(folder / "rhythm" / "Monitor3.txt"));
    EXPECT_FALSE(fileExists(folder / "rhythm" / "Monitor12.txt"));
}

TEST_F(RhythmExportTest, MetadataRowsMatchThePlatesGroups) {
    auto folder = acquisition("05032024_1430", minutes(0, 59));
    writeExperimentInfo(folder, {"Sleep, day 1", "two lines"});
    auto files = exportOf(folder, 15);
    auto rows = readCsv(fileText(files.at(1)));
    const Row header = {"file", "start_datetime", "stop_datetime", "region_id", "well", "group", "group_name",
                        "plate", "experiment", "beams"};
    ASSERT_EQ(rows.size(), 5u);
    EXPECT_EQ(rows[0], header);
    const std::vector<std::pair<std::string, std::string>> groups = {
        {"0", "Wild, type"}, {"1", "Mutant 'b'"}, {"1", "Mutant 'b'"}, {"", ""}};
    const Row wells = {"A1", "B1", "A2", "B2"};
    for (std::size_t w = 0; w < 4; ++w) {
        EXPECT_EQ(rows[w + 1], (Row{"Monitor1.txt", "2024-03-05 14:30:00", "2024-03-05 15:30:00",
                                    std::to_string(w + 1), wells[w], groups[w].first, groups[w].second, "ztest",
                                    "Sleep, day 1", "1"}));
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
    for (const char* bad : {"0", "60", "1441", "5x", ""}) {
        EXPECT_EQ(runZorvexCli({"rhythm", folder.string(), "--interval", bad, "--program-folder", program}, out, err), 2) << bad;
    }
    EXPECT_NE(err.str().find("zorvex-cli rhythm: --interval: 60 is not in 1..59: rhythm-analysis tools take a step of "
                             "an hour or more for a break in the recording and refuse the file; make coarser bins in "
                             "the analysis, from the 1-minute files\n"),
              std::string::npos)
        << err.str();
    EXPECT_EQ(runZorvexCli({"rhythm", (temp / "nowhere" / "05032024_1430").string(), "--program-folder", program}, out, err), 1);
    EXPECT_NE(err.str().find("Activity file not Found"), std::string::npos);
}

}  // namespace
}  // namespace zorvex
