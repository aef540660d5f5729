#include <gtest/gtest.h>

#include <tuple>

#include "views/ActogramLayout.h"

using namespace zorvex;

namespace {

constexpr int HalfHours = 30;

// Three days of half-hour intervals from 14 March 2026 `hour`:`minute`, all
// recorded, no light; wells 0 and 2 in group 2, well 1 in none, well 3 in group 5.
RhythmGrid threeDays(int hour = 14, int minute = 30) {
    RhythmGrid grid;
    grid.start = {2026, 3, 14, hour, minute, 0};
    grid.intervalMinutes = HalfHours;
    const int intervals = 3 * MinutesPerDay / HalfHours;
    grid.hasRecords.assign(intervals, true);
    grid.lightOn.assign(intervals, false);
    grid.wellCounts.assign(4, std::vector<std::int32_t>(intervals, 0));
    grid.plate.maxWell = 3;
    grid.plate.channelMap = {{0, 1, 2, 3}};
    grid.plate.channelGroup.fill(-1);
    grid.plate.channelGroup[0] = grid.plate.channelGroup[2] = 2;
    grid.plate.channelGroup[3] = 5;
    return grid;
}

// Line, start and end of a bar or shade, for comparing whole lists.
template <typename Piece>
std::vector<std::tuple<int, double, double>> placesOf(const std::vector<Piece>& pieces) {
    std::vector<std::tuple<int, double, double>> places;
    for (const Piece& piece : pieces) places.emplace_back(piece.line, piece.fromMinute, piece.toMinute);
    return places;
}

}  // namespace

TEST(ActogramLayout, ThreeDaysFromHalfPastTwoTakeFourLinesDatedByTheirLeftDay) {
    EXPECT_EQ(layoutActogram(threeDays(), {}).dayLabels, (std::vector<std::string>{"14/03", "15/03", "16/03", "17/03"}));
    RhythmGrid monthEnd = threeDays(0, 0);
    monthEnd.start.day = 31;
    // Exactly three days from midnight end at midnight: no fourth line.
    EXPECT_EQ(layoutActogram(monthEnd, {}).dayLabels, (std::vector<std::string>{"31/03", "01/04", "02/04"}));
    monthEnd.hasRecords.clear();
    EXPECT_EQ(layoutActogram(monthEnd, {1.0}).lineCount, 0);
}

TEST(ActogramLayout, EachDayIsOnTheRightOfTheLineBeforeAndTheLeftOfItsOwn) {
    std::vector<double> values(144, 0.0);
    values[0] = 4.0;   // day 0, 14:30-15:00: no line before it
    values[87] = 8.0;  // day 2, 10:00-10:30
    const ActogramLayout layout = layoutActogram(threeDays(), values);
    using Places = std::vector<std::tuple<int, double, double>>;
    EXPECT_EQ(placesOf(layout.bars), (Places{{0, 870, 900}, {2, 600, 630}, {1, 1440 + 600, 1440 + 630}}));
    EXPECT_DOUBLE_EQ(layout.bars[0].height, 0.5);
    EXPECT_DOUBLE_EQ(layout.bars[2].height, 1.0);

    values.assign(144, 0.0);
    values[19] = 3.0;  // from 14:07: 23:37 to 00:07, split at midnight
    EXPECT_EQ(placesOf(layoutActogram(threeDays(14, 7), values).bars),
              (Places{{0, 1417, 1440}, {1, 0, 7}, {0, 1440, 1447}}));
}

TEST(ActogramLayout, OvernightLightIsShadedInPiecesSplitAtMidnight) {
    RhythmGrid grid = threeDays();
    // Daily hours 21 to 9: on from 21:00 through midnight to 09:00.
    for (int k = 0; k < grid.intervalCount(); ++k) {
        const int hour = ((14 * 60 + 30 + k * HalfHours) / 60) % 24;
        grid.lightOn[static_cast<std::size_t>(k)] = hour >= 21 || hour < 9;
    }
    std::vector<std::tuple<int, double, double, bool>> firstAndLast;
    for (const ActogramShade& shade : layoutActogram(grid, {}).shades) {
        if (shade.line == 0 || shade.line == 3) firstAndLast.emplace_back(shade.line, shade.fromMinute, shade.toMinute, shade.light);
    }
    EXPECT_EQ(firstAndLast, (std::vector<std::tuple<int, double, double, bool>>{
                                {0, 870, 1260, false}, {0, 1260, 1440, true}, {0, 1440, 1980, true},
                                {0, 1980, 2700, false}, {0, 2700, 2880, true}, {3, 0, 540, true}, {3, 540, 870, false}}));
}

TEST(ActogramLayout, GapsHaveNeitherBarsNorShadesNorWeightInTheScale) {
    RhythmGrid grid = threeDays();
    std::vector<double> values(144, 2.0);
    values[30] = 4.0;
    values[20] = 0.0;
    for (std::size_t k = 1; k < 19; ++k) {
        grid.hasRecords[k] = false;
        values[k] = 50.0;  // no record fell there
    }
    const ActogramLayout layout = layoutActogram(grid, values);

    EXPECT_DOUBLE_EQ(layout.largestValue, 4.0);
    // Day 0 keeps only its first interval; the 125 later ones appear twice, but for the one at zero.
    EXPECT_EQ(layout.bars.size(), 1u + 2u * 124u);
    EXPECT_DOUBLE_EQ(layout.bars[0].toMinute, 900.0);
    for (const auto& shade : layout.shades) {
        EXPECT_FALSE(shade.line == 0 && shade.fromMinute < 1440.0 && shade.toMinute > 900.0) << shade.fromMinute;
    }
    for (const auto& bar : layout.bars) EXPECT_TRUE(bar.height == 0.5 || bar.height == 1.0) << bar.height;

    const ActogramLayout still = layoutActogram(grid, std::vector<double>(144, 0.0));
    EXPECT_TRUE(still.bars.empty());
    EXPECT_DOUBLE_EQ(still.largestValue, 0.0);
}

TEST(ActogramLayout, GroupMeanAveragesTheWellsOfTheSelectedWellsGroup) {
    RhythmGrid grid = threeDays();
    grid.wellCounts[0][5] = 3;
    grid.wellCounts[2][5] = 6;
    grid.wellCounts[3][5] = 100;  // another group

    const auto mean = groupMeanActivity(grid, 2);
    ASSERT_TRUE(mean);
    EXPECT_EQ(mean->group, 2);
    EXPECT_EQ(mean->wellCount, 2);
    EXPECT_DOUBLE_EQ(mean->values[5], 4.5);
    EXPECT_FALSE(groupMeanActivity(grid, 1));  // no group
    EXPECT_FALSE(groupMeanActivity(grid, 4));  // outside the plate
    EXPECT_EQ(wellActivity(grid, 3)[5], 100.0);
}
