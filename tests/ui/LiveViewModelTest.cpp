#include <gtest/gtest.h>

#include "store/PlateGroups.h"
#include "ui/main/LiveViewModel.h"
#include "ui/main/PanelRules.h"

using namespace zorvex;

namespace {

PlateFormat plate96() { return *builtInPlate("z96f"); }

}  // namespace

TEST(LiveZoom, RawValuesAtZoomZeroAndMagnifiedBelowTheBase) {
    EXPECT_DOUBLE_EQ(zoomY(1790, 0, 1800), 1790);
    EXPECT_DOUBLE_EQ(zoomY(1790, 10, 1800), 1650);
    EXPECT_DOUBLE_EQ(zoomY(1800, 3, 1800), 1750);
    EXPECT_DOUBLE_EQ(zoomY(100, 10, 1800), 6);  // deep dips stay on the plot
}

TEST(LiveZoom, StepsStopAtZeroAndTen) {
    EXPECT_EQ(zoomOut(1), 0);
    EXPECT_EQ(zoomOut(0), 0);
    EXPECT_EQ(zoomIn(9), 10);
    EXPECT_EQ(zoomIn(10), 10);
}

TEST(LiveZoom, BaseIsTheLargestSampleBeforeThePosition) {
    SampleFrame frame(20);
    frame.at(7, 0) = 4000;  // slot 0 is not part of the base
    frame.at(7, 3) = 1500;
    frame.at(7, 5) = 1800;
    frame.at(7, 9) = 2000;  // at the position itself: not yet taken
    EXPECT_EQ(zoomBase(frame, 7, 9), 1800);
    EXPECT_EQ(zoomBase(frame, 7, 1), 0);
}

TEST(LiveSelection, RowAndColumnGiveTheWellColumnByColumn) {
    const PlateFormat plate = plate96();
    EXPECT_EQ(wellOfRowColumn(plate, 'A', 1), 0);
    EXPECT_EQ(wellOfRowColumn(plate, 'B', 3), 17);
    const Selection selection = selectChannel(plate, 'B', 3, 1);
    EXPECT_FALSE(selection.fellBack);
    EXPECT_EQ(plate.WellOfChannel[static_cast<std::size_t>(selection.channel)], 17);
    EXPECT_EQ(plate.BeamOfChannel[static_cast<std::size_t>(selection.channel)], 1);
}

TEST(LiveSelection, OutsideThePlateFallsBackToA1AndBeamsAreClamped) {
    const PlateFormat plate = plate96();
    const Selection outside = selectChannel(plate, 'Z', 12, 0);
    EXPECT_TRUE(outside.fellBack);
    EXPECT_EQ(outside.channel, plate.channelAt(0, 0));
    EXPECT_EQ(selectChannel(plate, 'A', 1, 9).channel, plate.channelAt(0, plate.MaxBeam));
}

TEST(LiveSelection, WellEntryB32GivesRowColumnAndBeam) {
    const auto entry = parseWellEntry("B3.2");
    ASSERT_TRUE(entry);
    EXPECT_EQ(entry->row, 'B');
    EXPECT_EQ(entry->column, 3);
    EXPECT_EQ(entry->beam, 2);
    const auto wide = parseWellEntry("P24.0");
    ASSERT_TRUE(wide);
    EXPECT_EQ(wide->column, 24);
    for (const char* garbled : {"", "B", "B3", "B.2", "33.1", "B3.x", "B3.", "Bx3.1"}) {
        EXPECT_FALSE(parseWellEntry(garbled)) << garbled;
    }
}

TEST(LiveGroups, MemberWellsShareTheBeamZeroGroup) {
    const PlateFormat plate = plate96();
    ChannelTable channels = defaultChannelTable();
    for (auto& group : channels.Group) group = -1;
    for (int well : {2, 5, 40}) setWellGroup(channels, plate, well, 4);
    const int channel = plate.channelAt(5, 1);
    EXPECT_EQ(memberWells(plate, channels, channel), (std::vector<int>{2, 5, 40}));
    EXPECT_TRUE(memberWells(plate, channels, plate.channelAt(0, 0)).empty());  // no group
}

TEST(LiveGroups, WellAndGroupAveragesRoundHalfToEvenAndCapAt9999) {
    const PlateFormat plate = plate96();
    std::array<std::int16_t, ChannelCount> totals{};
    ASSERT_EQ(plate.MaxBeam, 1);  // two beams per well
    totals[static_cast<std::size_t>(plate.channelAt(3, 0))] = 11;
    totals[static_cast<std::size_t>(plate.channelAt(3, 1))] = 10;  // 21 / 2 = 10.5 -> 10
    EXPECT_EQ(wellAverage(plate, totals, 3), 10);
    totals[static_cast<std::size_t>(plate.channelAt(3, 0))] = 13;  // 23 / 2 = 11.5 -> 12
    EXPECT_EQ(wellAverage(plate, totals, 3), 12);
    // Well 4 is silent: the group's 4 beams average 23 / 4 = 5.75 -> 6.
    EXPECT_EQ(groupAverage(plate, totals, {3, 4}), 6);

    for (int beam = 0; beam <= plate.MaxBeam; ++beam) {
        totals[static_cast<std::size_t>(plate.channelAt(7, beam))] = 10005;
    }
    EXPECT_EQ(wellAverage(plate, totals, 7), 9999);
    EXPECT_EQ(groupAverage(plate, totals, {7}), 9999);
    EXPECT_EQ(groupAverage(plate, totals, {}), 0);
}

TEST(OrganismBox, StoredTypesShowTheirTexts) {
    EXPECT_EQ(organismText(0), "C elegans(>L4)");
    EXPECT_EQ(organismText(1), "Zebrafish(larvae)");  // not the list entry's capital L
    EXPECT_EQ(organismText(2), "Customized");
    EXPECT_EQ(organismText(8), "size 0.1-1mm");
    EXPECT_FALSE(organismText(3));
    EXPECT_FALSE(organismText(-1));
}
