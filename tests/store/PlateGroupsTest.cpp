#include <gtest/gtest.h>

#include <cmath>

#include "StoreFiles.h"
#include "TempFolder.h"
#include "store/PlateGroups.h"

using namespace zorvex;
using namespace zorvex::test;

namespace {

struct Project {
    PlateFormat plate;
    ChannelTable channels = defaultChannelTable();
    GroupTable groups = defaultGroupTable();

    explicit Project(const char* plateName) : plate(*builtInPlate(plateName)) { clearGroups(channels, groups); }

    std::vector<int> wellsOf(int group) const {
        std::vector<int> wells;
        for (int well = 0; well < plate.Rows * plate.Columns; ++well) {
            if (channels.Group[channelsOfWell(plate, well).front()] == group) wells.push_back(well);
        }
        return wells;
    }
};

std::vector<std::string> names(const PlateFormat& plate, const std::vector<int>& channels) {
    std::vector<std::string> listed;
    for (int channel : channels) listed.push_back(channelName(plate, channel));
    return listed;
}

}  // namespace

TEST(PlateGroups, ChannelsAreNamedByWellAndBeam) {
    PlateFormat plate = *builtInPlate("z96f");
    EXPECT_EQ(channelName(plate, 18), "B1.1");
    EXPECT_EQ(channelName(plate, 2), "B1.0");
    EXPECT_EQ(channelName(plate, 382), "H12.1");
    EXPECT_EQ(channelName(plate, 1), "");
    EXPECT_EQ(wellOfItem(plate, "B1.1"), 1);
    EXPECT_EQ(wellOfItem(plate, "H12.0"), 95);
    EXPECT_EQ(wellOfItem(plate, "A13.0"), std::nullopt);
    EXPECT_EQ(wellOfItem(plate, "I1.0"), std::nullopt);
    EXPECT_EQ(wellOfItem(plate, "a1.0"), std::nullopt);
    EXPECT_EQ(wellOfItem(plate, ""), std::nullopt);
}

TEST(PlateGroups, MovingAFreeWellTakesBothBeamsIntoTheGroup) {
    Project project("z96f");
    project.channels.Enabled[48] = false;  // A2.1: enabled channels only are listed
    std::vector<std::string> free = names(project.plate, freeChannels(project.channels, project.plate));
    EXPECT_EQ(free.size(), 191u);
    EXPECT_EQ(free[9], "B1.1");
    EXPECT_EQ(std::count(free.begin(), free.end(), "A2.1"), 0);

    setWellGroup(project.channels, project.plate, *wellOfItem(project.plate, "B1.1"), 3);

    EXPECT_EQ(project.channels.Group[2], 3);
    EXPECT_EQ(project.channels.Group[18], 3);
    EXPECT_EQ(names(project.plate, assignedChannels(project.channels, project.plate, 3)),
              (std::vector<std::string>{"B1.0", "B1.1"}));
    free = names(project.plate, freeChannels(project.channels, project.plate));
    EXPECT_EQ(std::count(free.begin(), free.end(), "B1.0") + std::count(free.begin(), free.end(), "B1.1"), 0);
    EXPECT_TRUE(assignedChannels(project.channels, project.plate, -1).empty());

    setWellGroup(project.channels, project.plate, 1, -1);
    EXPECT_EQ(project.channels.Group[18], -1);
}

TEST(PlateGroups, UnclaimedBeamSlotsNeverStandForChannelZero) {
    // Well 1 has beams 0 and 2 only, so its slot for beam 1 holds 0.
    PlateFormat plate;
    plate.Rows = 2;
    plate.Columns = 1;
    plate.RowPitch = plate.ColumnPitch = 1.0;
    plate.WellOfChannel.fill(-1);
    plate.BeamOfChannel.fill(0);
    plate.WellOfChannel[0] = 0;
    plate.WellOfChannel[5] = 1;
    plate.WellOfChannel[6] = 1;
    plate.BeamOfChannel[6] = 2;
    plate.MaxWell = 1;
    plate.MaxBeam = 2;
    ASSERT_TRUE(buildChannelMap(plate));
    ASSERT_EQ(plate.channelAt(1, 1), 0);

    ChannelTable channels = defaultChannelTable();
    channels.Group.fill(-1);
    EXPECT_EQ(channelsOfWell(plate, 1), (std::vector<int>{5, 6}));
    setWellGroup(channels, plate, 1, 4);
    EXPECT_EQ(channels.Group[0], -1);
    EXPECT_EQ(channels.Group[5], 4);
    EXPECT_EQ(channels.Group[6], 4);
    EXPECT_EQ(groupOfWell(channels, plate, 1), 4);
    EXPECT_EQ(groupOfWell(channels, plate, 0), -1);
}

TEST(PlateGroups, GroupListRunsToOnePastTheHighestGroupInUse) {
    Project project("z96f");
    std::vector<std::string> items = groupListItems(project.channels, project.groups);
    EXPECT_EQ(items, (std::vector<std::string>{"000_Free"}));

    project.groups.Name[0] = "Control";
    setWellGroup(project.channels, project.plate, 0, 0);
    setWellGroup(project.channels, project.plate, 1, 2);
    project.channels.Group[1] = 500;  // out of the table: ignored, never indexed
    items = groupListItems(project.channels, project.groups);
    EXPECT_EQ(items, (std::vector<std::string>{"000_Control", "001_Free", "002_Group2", "003_Free"}));
    EXPECT_EQ(project.groups.Name[2], "Group2");
    EXPECT_EQ(project.groups.Name[1], "Free");

    EXPECT_EQ(groupOfItem("003_Control"), 3);
    EXPECT_EQ(groupItemIndex(items, 2), 2);
    EXPECT_EQ(groupItemIndex(items, 9), 0);
}

TEST(PlateGroups, TwoByTwoTilingFillsDownwardsThenRight) {
    Project project("z96f");
    tilePlate(project.channels, project.groups, project.plate, *parseBlockPattern("02x02 [RowsxColumn]"));

    EXPECT_EQ(project.wellsOf(0), (std::vector<int>{0, 1, 8, 9}));      // A1, B1, A2, B2
    EXPECT_EQ(project.wellsOf(1), (std::vector<int>{2, 3, 10, 11}));    // C1, D1, C2, D2
    EXPECT_EQ(project.wellsOf(4), (std::vector<int>{16, 17, 24, 25}));  // A3, B3, A4, B4
    for (int g = 0; g < 24; ++g) {
        EXPECT_EQ(assignedChannels(project.channels, project.plate, g).size(), 8u) << g;
        EXPECT_EQ(project.groups.Name[g], "Group" + std::to_string(g));
    }
    EXPECT_EQ(project.groups.Name[24], "Free");
    std::vector<std::string> items = groupListItems(project.channels, project.groups);
    ASSERT_EQ(items.size(), 25u);
    EXPECT_EQ(items.front(), "000_Group0");
    EXPECT_EQ(items.back(), "024_Free");
    EXPECT_TRUE(freeChannels(project.channels, project.plate).empty());
}

TEST(PlateGroups, TilingPassesOverADisabledBeam) {
    Project project("z96u");
    project.channels.Enabled[0] = false;  // A1's only beam
    tilePlate(project.channels, project.groups, project.plate, {1, 1});
    EXPECT_EQ(project.channels.Group[0], -1);
    EXPECT_EQ(project.channels.Group[2], 0);  // B1 opens the tiling
    EXPECT_EQ(project.wellsOf(94), (std::vector<int>{95}));
    EXPECT_TRUE(freeChannels(project.channels, project.plate).empty());
}

TEST(PlateGroups, BlockPatternsDivideThePlate) {
    PlateFormat plate = *builtInPlate("z96f");
    std::vector<std::string> items = blockPatternItems(plate);
    ASSERT_EQ(items.size(), 24u);  // 6 column counts by 4 row counts
    EXPECT_EQ(items[0], "01x01 [RowsxColumn]");
    EXPECT_EQ(items[2], "04x01 [RowsxColumn]");
    EXPECT_EQ(items[5], "02x02 [RowsxColumn]");
    EXPECT_EQ(items.back(), "08x12 [RowsxColumn]");
    EXPECT_EQ(defaultPatternIndex(items.size()), 2);
    EXPECT_EQ(defaultPatternIndex(2), 0);
    EXPECT_EQ(defaultPatternIndex(1), 0);

    PlateFormat single = plate;
    single.Rows = 1;
    single.Columns = 17;  // prime and above the largest block side
    EXPECT_EQ(blockPatternItems(single), (std::vector<std::string>{"01x01 [RowsxColumn]"}));

    auto block = parseBlockPattern("02x03 [RowsxColumn]");
    ASSERT_TRUE(block);
    EXPECT_EQ(block->rows, 2);
    EXPECT_EQ(block->columns, 3);
    EXPECT_FALSE(parseBlockPattern("00x03"));
    EXPECT_FALSE(parseBlockPattern("ab"));
}

TEST(PlateGroups, MapPointsFallInTheirWellCells) {
    PlateFormat plate = *builtInPlate("z96u");
    MapGeometry map = mapGeometry(plate);
    EXPECT_EQ(map.columnPitch, 200);
    EXPECT_EQ(map.columnOffset, -50);
    EXPECT_EQ(map.rowOffset, -50);
    EXPECT_DOUBLE_EQ(map.left, -100.0);
    EXPECT_DOUBLE_EQ(map.top, -100.0);
    EXPECT_DOUBLE_EQ(map.right, 2400.0);
    EXPECT_DOUBLE_EQ(map.bottom, 1600.0);

    // Channel 0's beam centre (50, 50) lies in A1, which spans -50 to 150.
    EXPECT_EQ(cellAt(plate, 50, 50), (Cell{0, 0}));
    EXPECT_EQ(cellAt(plate, 151, 149), (Cell{1, 0}));
    EXPECT_EQ(cellAt(plate, -90, -90), (Cell{0, 0}));          // left of the plate counts as 0
    EXPECT_EQ(wellOfCell(plate, cellAt(plate, 250, 160)), 9);  // B2
    EXPECT_TRUE(isOnPlate(plate, {11, 7}));
    EXPECT_FALSE(isOnPlate(plate, cellAt(plate, 2380, 50)));
    EXPECT_FALSE(isOnPlate(plate, cellAt(plate, 50, 1590)));
    EXPECT_FALSE(isOnPlate(plate, cellAt(plate, 1e300, 50)));

    PlateFormat odd = *builtInPlate("z96f");
    odd.ColumnPitch = 2.905;
    odd.ColumnOffset = 0.4;
    EXPECT_EQ(mapGeometry(odd).columnPitch, 290);
    EXPECT_EQ(mapGeometry(odd).columnOffset, 40);
    EXPECT_EQ(cellAt(odd, 330.3, 0).column, 0);  // the hit test keeps the unrounded pitch
    EXPECT_EQ(cellAt(odd, 331, 0).column, 1);

    // Offsets and pitches of a hand-edited file that no int holds.
    odd.ColumnOffset = 8.9e12;
    odd.RowPitch = -1e300;
    odd.RowOffset = std::nan("");
    EXPECT_EQ(mapGeometry(odd).columnOffset, 1'000'000);
    EXPECT_EQ(mapGeometry(odd).rowPitch, -1'000'000);
    EXPECT_EQ(mapGeometry(odd).rowOffset, 0);
}

TEST(PlateGroups, RectangleOfCellsIncludesBothCorners) {
    PlateFormat plate = *builtInPlate("z96f");
    EXPECT_EQ(wellsBetween(plate, {1, 2}, {0, 0}), (std::vector<int>{0, 1, 2, 8, 9, 10}));
    EXPECT_EQ(wellsBetween(plate, {3, 3}, {3, 3}), (std::vector<int>{27}));
    EXPECT_EQ(wellsBetween(plate, {11, 7}, {13, 7}), (std::vector<int>{95}));
}

TEST(PlateGroups, MapActionsTouchOnlyEnabledChannels) {
    Project project("z96f");
    project.channels.Group[0] = 1;  // A1.0 in group 1, A1.1 free
    applyToWell(project.channels, project.plate, 0, 2, MapAction::FillFree);
    EXPECT_EQ(project.channels.Group[0], 1);
    EXPECT_EQ(project.channels.Group[16], 2);

    project.channels.Enabled[16] = false;
    applyToWell(project.channels, project.plate, 0, 5, MapAction::Assign);
    EXPECT_EQ(project.channels.Group[0], 5);
    EXPECT_EQ(project.channels.Group[16], 2);

    applyToWell(project.channels, project.plate, 0, 5, MapAction::Free);
    EXPECT_EQ(project.channels.Group[0], -1);
    EXPECT_EQ(project.channels.Group[16], 2);
}

TEST(PlateGroups, ClearingFreesEveryChannelAndName) {
    Project project("z384");
    tilePlate(project.channels, project.groups, project.plate, {1, 1});
    EXPECT_EQ(project.channels.Group[383], 383);
    EXPECT_EQ(groupListItems(project.channels, project.groups).back(), "384_Free");
    clearGroups(project.channels, project.groups);
    EXPECT_TRUE(std::all_of(project.channels.Group.begin(), project.channels.Group.begin() + ChannelCount,
                            [](std::int16_t group) { return group == -1; }));
    EXPECT_EQ(project.groups.Name[383], "Free");
}

TEST(PlateList, PlateFilesAreFoundWhateverTheirCase) {
    TempFolder program;
    for (const char* file : {"z384.dat", "z96f.dat", "Z96U.DAT", "zeta.txt", "a96.dat", "z96f.DAT"}) {
        putFile(program / file, "x");
    }
    std::filesystem::create_directory(program / "zfolder.dat");
    EXPECT_EQ(listPlateNames(program.path()), (std::vector<std::string>{"z384", "z96f", "z96u"}));
    EXPECT_EQ(findPlateFile(program.path(), "z96u"), program / "Z96U.DAT");
    EXPECT_EQ(findPlateFile(program.path(), "z384"), program / "z384.dat");
    EXPECT_FALSE(findPlateFile(program.path(), "z24"));
    EXPECT_FALSE(findPlateFile(program.path(), "../z384"));
    EXPECT_FALSE(findPlateFile(program.path(), "zfolder"));
}
