// Numbers in captions and time axes as people read them.

#include <gtest/gtest.h>

#include "FigureAcquisitions.h"
#include "ScriptedDialogs.h"
#include "views/GroupFigure.h"
#include "views/PlateHeatMap.h"

using namespace zorvex;
using namespace zorvex::test;

TEST(FigureText, NumbersAreRoundedForPeopleOnce) {
    const std::pair<double, const char*> cases[] = {
        {1.9999999999999996, "2"}, {0.0666666666666667, "0.0667"}, {4.0, "4"},   {1440.0, "1440"},
        {12.345, "12.3"},          {99.96, "100"},                 {0.0, "0"},   {-2.5, "-2.5"},
    };
    for (auto [value, text] : cases) EXPECT_EQ(readableNumber(value), text) << value;
}

TEST(FigureText, SpansUnderTwoHoursAreToldInMinutes) {
    struct Case {
        double from, to;
        const char* text;
    };
    const Case cases[] = {
        {0, 0.0666666666666667, "0\u20134 min"},
        {0.5, 1.5, "30\u201390 min"},
        {0, 2, "0\u20132 h"},
        {12.5, 36, "12.5\u201336 h"},
    };
    for (const Case& c : cases) EXPECT_EQ(spanText(c.from, c.to), c.text);
}

TEST(FigureText, AShortRunIsDrawnInMinutesAndZeitgeberTimeStartsAgainAtLightsOn) {
    // Twenty minutes from 07:57, lights on at 08:00: zeitgeber time 23.95 h to 0.28 h.
    FigureFolder folder;
    folder.acquisition("14032026_0757").dailyLight(8, 20).writeSideFiles().append(figureRecords(2, 20, [](int, int) { return 5; }));
    ScriptedDialogs dialogs;
    auto source = loadFigureSource(folder.programFolder() / "14032026_0757", folder.programFolder(), dialogs);
    ASSERT_TRUE(source);
    auto grid = figureGrid(*source, 2, dialogs);
    ASSERT_TRUE(grid);
    struct Case {
        bool zeitgeber;
        const char* title;
        std::vector<std::string> labels;
        double firstX;  // the middle of the first bin with records, minutes 2 to 4
    };
    const Case cases[] = {
        {false, "Time from start (min)", {"5", "10", "15", "20"}, 3.0},
        {true, "Zeitgeber time (min)", {"0", "5", "10", "15"}, 1437.0 + 3.0},
    };
    for (const Case& c : cases) {
        GroupFigureOptions options;
        options.binMinutes = 2;
        options.zeitgeber = c.zeitgeber;
        const auto figure = layoutGroupFigure(*source, *grid, options, dialogs);
        ASSERT_TRUE(figure);
        const Axis& x = figure->panels[0].x;
        EXPECT_EQ(x.title, c.title);
        EXPECT_EQ(x.labels, c.labels) << c.title;
        EXPECT_DOUBLE_EQ(figure->panels[0].series[0].segments[0].front().x, c.firstX) << c.title;
    }
    HeatMapOptions heat;
    heat.binMinutes = 2;
    const auto map = layoutPlateHeatMap(*source, *grid, heat, dialogs);
    ASSERT_TRUE(map);
    // Its last record, stamped 20, ran into minute 21.
    EXPECT_NE(map->scale.title.find("2\u201321 min"), std::string::npos) << map->scale.title;
}
