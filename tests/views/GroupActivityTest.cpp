#include "ReviewFolders.h"
#include "reports/ReportComputation.h"
#include "reports/ReportInputs.h"
#include "views/GroupActivity.h"

using namespace zorvex;
using namespace zorvex::test;

namespace {

// A 2-row, 2-column plate with `beams` beams per well: channel 4w + b is beam b of well w.
OfflineConfig plateConfig(int beams) {
    OfflineConfig config;
    config.plate.Rows = 2;
    config.plate.Columns = 2;
    config.plate.WellOfChannel.fill(-1);
    for (int well = 0; well < 4; ++well) {
        for (int beam = 0; beam < beams; ++beam) {
            config.plate.WellOfChannel[static_cast<std::size_t>(4 * well + beam)] = static_cast<std::int16_t>(well);
            config.plate.BeamOfChannel[static_cast<std::size_t>(4 * well + beam)] = static_cast<std::int16_t>(beam);
        }
    }
    config.plate.MaxWell = 3;
    config.plate.MaxBeam = static_cast<std::int16_t>(beams - 1);
    config.channelMap = channelMapOf(config.plate);
    config.channels.Group.fill(-1);
    for (auto& name : config.groups.Name) name = "Free";
    return config;
}

ActivityRecord countsAt(std::int32_t minute, std::vector<std::pair<int, std::int16_t>> counts) {
    return record(minute, std::move(counts));
}

}  // namespace

TEST(OfflineSelectors, RowsGroupsAndWellsOfAGroup) {
    OfflineConfig config = plateConfig(1);
    config.groups.Name[7] = "Mutant";
    config.channels.Group[4] = 7;   // B1
    config.channels.Group[12] = 7;  // B2
    config.channels.Group[0] = 2;   // A1
    config.groups.Name[2] = "Control";

    EXPECT_EQ(rowLetters(2), (std::vector<std::string>{"A", "B"}));
    EXPECT_EQ(groupEntries(config), (std::vector<std::string>{"002_Control", "007_Mutant", "999_Free"}));
    EXPECT_EQ(groupOfEntry("007_Mutant"), 7);
    EXPECT_EQ(groupOfEntry("999_Free"), -1);
    EXPECT_EQ(wellsOfGroup(config, 7), (std::vector<std::string>{"B1", "B2"}));
    EXPECT_EQ(wellsOfGroup(config, -1), (std::vector<std::string>{"A2"}));
    EXPECT_TRUE(wellsOfGroup(config, -2).empty());
    EXPECT_EQ(wellOfSelection(1, 1, 2), 3);
    EXPECT_EQ(selectionOfWellName("B12").rowIndex, 1);
    EXPECT_EQ(selectionOfWellName("B12").columnIndex, 11);
    EXPECT_EQ(typedBeam("1"), 1);
    EXPECT_EQ(typedBeam("-1"), -1);
}

TEST(GroupActivitySeries, BinsHoldTheMinutesUpToTheirEndAsInTheReport) {
    OfflineConfig config = plateConfig(1);
    config.channels.Group[0] = 1;
    config.channels.Group[4] = 1;
    std::vector<ActivityRecord> records;
    for (int minute = 1; minute <= 70; ++minute) records.push_back(countsAt(minute, {{0, 10}, {4, 30}}));

    GroupActivity activity = groupActivity(config, records, 0);

    // Minutes 1..30, 31..60 and 61..70.
    ASSERT_EQ(activity.shownBins, 3);
    EXPECT_EQ(activity.well[1], 300);
    EXPECT_EQ(activity.well[2], 300);
    EXPECT_EQ(activity.well[3], 100);
    EXPECT_EQ(activity.group[1], 30 * 20);
    EXPECT_EQ(activity.group[3], 10 * 20);
    EXPECT_EQ(activity.scale, 600);
}

TEST(GroupActivitySeries, SmallGroupsUseAScaleOfFiftyAndSixHoursAreShown) {
    OfflineConfig config = plateConfig(1);
    config.channels.Group[0] = 1;
    std::vector<ActivityRecord> records;
    for (int minute = 30; minute <= 600; minute += 30) records.push_back(countsAt(minute, {{0, 3}}));

    GroupActivity activity = groupActivity(config, records, 0);
    EXPECT_EQ(activity.shownBins, 12);
    EXPECT_EQ(activity.scale, 50);
    EXPECT_EQ(activity.group[12], 3);
}

TEST(GroupActivitySeries, MultiBeamWellsAverageTheirBeamsRoundingHalfToEven) {
    OfflineConfig config = plateConfig(2);
    config.channels.Group[0] = 3;  // well 0
    config.channels.Group[4] = 3;  // well 1
    // Well 0: (1 + 2) / 2 = 1.5 -> 2; well 1: (2 + 3) / 2 = 2.5 -> 2; group (2 + 2) / 2 = 2.
    std::vector<ActivityRecord> records = {countsAt(29, {{0, 1}, {1, 2}, {4, 2}, {5, 3}})};
    GroupActivity activity = groupActivity(config, records, 0);
    EXPECT_EQ(activity.shownBins, 1);
    EXPECT_EQ(activity.well[1], 2);
    EXPECT_EQ(activity.group[1], 2);
}

TEST(GroupActivitySeries, FreeWellsFormTheirOwnGroupAndNoChannelDrawsNothing) {
    OfflineConfig config = plateConfig(1);
    std::vector<ActivityRecord> records = {countsAt(29, {{0, 4}, {4, 8}, {8, 1}, {12, 3}})};

    GroupActivity free = groupActivity(config, records, 4);
    EXPECT_EQ(free.group[1], 4);  // (4 + 8 + 1 + 3) / 4
    EXPECT_EQ(free.well[1], 8);

    GroupActivity none = groupActivity(config, records, -1);
    EXPECT_EQ(none.shownBins, 0);
    EXPECT_EQ(none.scale, 50);
}

TEST(GroupActivitySeries, ChannelWhoseWellIsOutsideItsGroupHasNoWellBars) {
    OfflineConfig config = plateConfig(2);
    config.channels.Group[1] = 5;  // beam 1 of well 0; beam 0 (channel 0) stays free
    std::vector<ActivityRecord> records = {countsAt(29, {{0, 4}, {1, 6}})};
    GroupActivity activity = groupActivity(config, records, 1);
    EXPECT_EQ(activity.shownBins, 1);
    EXPECT_EQ(activity.well[1], 0);   // well 0 is not a member of group 5
    EXPECT_EQ(activity.group[1], 0);  // and group 5 has no member wells
}

// A short recording takes several records a minute. Every record belongs in
// a bin, as the report puts it there: the view used to close its last bin
// at the first record of the last minute and leave out the rest, and to sum
// rounded per-record group means, losing counts the report keeps.
TEST(GroupActivitySeries, ShortRecordingCountsEveryRecordAsTheReportDoes) {
    OfflineConfig config = plateConfig(1);
    for (int channel : {0, 4, 8}) config.channels.Group[static_cast<std::size_t>(channel)] = 1;
    std::vector<ActivityRecord> records;
    for (int n = 0; n < 12; ++n) {
        const int well = n % 3;
        records.push_back(countsAt(n / 4 + 1, {{4 * well, 1}}));  // four records in each of minutes 1, 2, 3
    }

    GroupActivity activity = groupActivity(config, records, 4);

    ReportPlate plate;
    plate.plate = config.plate;
    plate.channelGroup = config.channels.Group;
    plate.maxWell = config.plate.MaxWell;
    plate.maxBeam = config.plate.MaxBeam;
    plate.channelMap = config.channelMap;
    const LoadedSeries series = seriesOf(records);
    ReportTables tables;
    computeReport(plate, series, 30, series.span(), tables);

    ASSERT_EQ(activity.shownBins, 1);
    EXPECT_EQ(activity.well[1], tables.wellActivity[1][1]);
    EXPECT_EQ(activity.well[1], 4);
    EXPECT_EQ(activity.group[1], tables.groupAverage[1][1]);
    EXPECT_EQ(activity.group[1], 4);  // 12 counts over 3 wells
}
