#include <gtest/gtest.h>

#include <cmath>
#include <map>
#include <sstream>

#include "FigureAcquisitions.h"
#include "ManualHost.h"
#include "ScriptedDialogs.h"
#include "reports/Report.h"
#include "views/ActogramFigure.h"
#include "views/GroupFigure.h"
#include "views/PlateHeatMap.h"

using namespace zorvex;
using namespace zorvex::test;

namespace {

// A count that differs between wells and bins, so a mean or SD cannot come out right by chance.
int busy(int channel, int minute) { return (channel * 7 + minute * 3) % 23 + channel / 16; }

struct LoadedFigure {
    FigureSource source;
    ReportTables tables;
};

LoadedFigure load(const FigureFolder& folder, const std::string& stamp, long long binMinutes, ScriptedDialogs& dialogs) {
    auto source = loadFigureSource(folder.programFolder() / stamp, folder.programFolder(), dialogs);
    EXPECT_TRUE(source.has_value());
    auto tables = figureTables(*source, binMinutes, dialogs);
    EXPECT_TRUE(tables.has_value());
    return {std::move(*source), std::move(*tables)};
}

// One group section of a Rows report: group label -> values, and the bin labels in minutes.
struct ReportSection {
    std::vector<double> minutes;
    std::map<std::string, std::vector<double>> groups;
};

ReportSection readSection(const std::string& report, const std::string& title) {
    ReportSection section;
    std::istringstream lines(report);
    std::string line;
    while (std::getline(lines, line) && line.find(title) == std::string::npos) {}
    auto fields = [](std::string text) {
        if (!text.empty() && text.back() == '\r') text.pop_back();
        std::vector<std::string> parts;
        std::stringstream stream(text);
        for (std::string part; std::getline(stream, part, ',');) parts.push_back(part);
        return parts;
    };
    std::getline(lines, line);
    const auto header = fields(line);
    for (std::size_t i = 1; i < header.size(); ++i) section.minutes.push_back(std::stod(header[i]));
    while (std::getline(lines, line) && fields(line).size() > 1) {
        const auto row = fields(line);
        for (std::size_t i = 1; i < row.size(); ++i) section.groups[row[0]].push_back(std::stod(row[i]));
    }
    return section;
}

}  // namespace

TEST(FigureAxes, TicksFallOnRoundValuesCoveringTheData) {
    struct Case {
        double low, high;
        double min, max;
        std::vector<std::string> labels;
    };
    const Case cases[] = {
        {0, 137, 0, 150, {"0", "50", "100", "150"}},
        {0, 100, 0, 100, {"0", "20", "40", "60", "80", "100"}},
        {0, 0.83, 0, 1, {"0.0", "0.2", "0.4", "0.6", "0.8", "1.0"}},  // one number of decimals on an axis
        {0, 0, 0, 1, {"0.0", "0.2", "0.4", "0.6", "0.8", "1.0"}},     // nothing moved: still an axis
        {-3.5, 12, -5, 15, {"-5", "0", "5", "10", "15"}},
    };
    for (const Case& c : cases) {
        const Axis axis = niceAxis(c.low, c.high, 5, "Counts");
        EXPECT_DOUBLE_EQ(axis.min, c.min) << c.high;
        EXPECT_DOUBLE_EQ(axis.max, c.max) << c.high;
        EXPECT_EQ(axis.labels, c.labels) << c.high;
    }
}

TEST(FigureAxes, HourTicksStepByHoursOrDaysWithinTheRange) {
    struct Case {
        double low, high;
        std::vector<std::string> labels;
    };
    const Case cases[] = {
        {0, 168, {"0", "24", "48", "72", "96", "120", "144", "168"}},  // a week: days
        {0, 72, {"0", "12", "24", "36", "48", "60", "72"}},
        {12, 36, {"12", "16", "20", "24", "28", "32", "36"}},      // zeitgeber time from ZT12
        {0.5, 6.5, {"1", "2", "3", "4", "5", "6"}},
        {0, 0.17, {"0.00", "0.05", "0.10", "0.15"}},                   // ten minutes: decimal steps
    };
    for (const Case& c : cases) {
        const Axis axis = hourAxis(c.low, c.high, 7, "Time (h)");
        EXPECT_EQ(axis.labels, c.labels) << c.high;
        EXPECT_DOUBLE_EQ(axis.min, c.low);
        EXPECT_DOUBLE_EQ(axis.max, c.high);
    }
}

TEST(FigureColours, GroupsTakeOkabeItoUpToEightThenThePerceptualScale) {
    std::vector<Rgb> eight;
    for (int i = 0; i < 8; ++i) eight.push_back(groupColour(i, 8));
    EXPECT_EQ(eight.front(), (Rgb{0, 114, 178}));
    EXPECT_EQ(groupColour(0, 2), eight.front());
    std::vector<Rgb> twelve;
    for (int i = 0; i < 12; ++i) twelve.push_back(groupColour(i, 12));
    EXPECT_EQ(twelve.front(), scaleColour(0.0));
    for (auto* colours : {&eight, &twelve}) {
        for (std::size_t i = 0; i < colours->size(); ++i) {
            for (std::size_t j = i + 1; j < colours->size(); ++j) EXPECT_NE((*colours)[i], (*colours)[j]) << i << " " << j;
        }
    }
    // Neighbours of a dose series lie far apart on the scale.
    for (std::size_t i = 1; i < twelve.size(); ++i) {
        const Rgb a = twelve[i - 1], b = twelve[i];
        EXPECT_GT(std::hypot(a.red - b.red, a.green - b.green, a.blue - b.blue), 80.0) << i;
    }
    EXPECT_EQ(scaleColour(0.0), (Rgb{68, 1, 84}));
    EXPECT_EQ(scaleColour(1.0), (Rgb{253, 231, 37}));
    EXPECT_EQ(scaleColour(0.45), (Rgb{38, 133, 141}));
}

TEST(FigureColours, OutlinesTakeNoColourOfTheActivityScale) {
    auto distance = [](Rgb a, Rgb b) {
        return std::hypot(a.red - b.red, a.green - b.green, a.blue - b.blue);
    };
    for (int i = 0; i < OutlineColours; ++i) {
        for (int step = 0; step <= 100; ++step) {
            EXPECT_GT(distance(outlineColour(i), scaleColour(step / 100.0)), 60.0) << "outline " << i << " at " << step << " %";
        }
        for (int j = i + 1; j < OutlineColours; ++j) EXPECT_NE(outlineColour(i), outlineColour(j));
    }
    EXPECT_EQ(outlineColour(OutlineColours), outlineColour(0));
}

TEST(GroupFigure, EachCurveIsTheReportsGroupMeanAndItsBandTheReportsErrorBinForBin) {
    FigureFolder folder;
    // Five hours of 10-minute records with no records in hours 3 and 4's first half.
    folder.acquisition("14032026_0930").writeSideFiles().append(figureRecords(10, 300, busy, {150, 210}));
    ScriptedDialogs dialogs;
    ManualHost host;
    ReportRequest request{folder.programFolder() / "14032026_0930", folder.programFolder(), 60, {}};
    request.options.stdError = request.options.stdDev = true;
    ASSERT_TRUE(generateReport(request, dialogs, host));
    const auto report = readFile(request.acquisitionFolder / "report.csv");
    ASSERT_TRUE(report);
    const ReportSection means = readSection(*report, "Average Activity Counts");
    ASSERT_EQ(means.minutes, (std::vector<double>{60, 120, 180, 240, 300}));

    const LoadedFigure loaded = load(folder, "14032026_0930", 60, dialogs);
    for (auto [error, title] : {std::pair{ErrorBand::StandardError, "Standard Error"}, std::pair{ErrorBand::StandardDeviation, "Standard Deviation"}}) {
        GroupFigureOptions options;
        options.error = error;
        const auto figure = layoutGroupFigure(loaded.source, loaded.tables, options, dialogs);
        ASSERT_TRUE(figure);
        const ReportSection errors = readSection(*report, title);
        const auto& series = figure->panels.at(0).series;
        ASSERT_EQ(series.size(), 2u) << "group 0 has no wells and is left out";
        for (auto [index, label] : {std::pair{0, "\"001_Control\""}, std::pair{1, "\"002_Mutant\""}}) {
            std::vector<ChartPoint> points;
            for (const auto& segment : series[static_cast<std::size_t>(index)].segments) points.insert(points.end(), segment.begin(), segment.end());
            ASSERT_EQ(points.size(), means.minutes.size()) << label;
            for (std::size_t b = 0; b < points.size(); ++b) {
                EXPECT_DOUBLE_EQ(points[b].x, (means.minutes[b] - 30.0) / 60.0) << label << " bin " << b;
                // The figure draws the unrounded mean and error; the report rounds each
                // well and then its group's mean and SD to whole crossings.
                const auto group = static_cast<std::size_t>(index + 1), bin = static_cast<std::size_t>(b + 1);
                EXPECT_DOUBLE_EQ(points[b].y, loaded.tables.groupMeanExact[bin][group]) << label << " bin " << b;
                EXPECT_NEAR(points[b].y, means.groups.at(label)[b], 1.0) << label << " bin " << b;
                EXPECT_NEAR(points[b].high - points[b].y, errors.groups.at(label)[b], 1.0) << title << " " << label << " bin " << b;
                EXPECT_NEAR(points[b].y - points[b].low, points[b].high - points[b].y, 1e-9);
            }
        }
        EXPECT_EQ(series[0].label, "Control (n = 2)");
    }
}

TEST(GroupFigure, ABinWithoutRecordsBreaksTheCurveAndAWindowKeepsItsBins) {
    FigureFolder folder;
    folder.acquisition("14032026_0930").writeSideFiles().append(figureRecords(10, 360, busy, {120, 240}));
    ScriptedDialogs dialogs;
    const LoadedFigure loaded = load(folder, "14032026_0930", 60, dialogs);
    GroupFigureOptions options;
    auto figure = layoutGroupFigure(loaded.source, loaded.tables, options, dialogs);
    ASSERT_TRUE(figure);
    const auto& segments = figure->panels[0].series[0].segments;
    ASSERT_EQ(segments.size(), 2u);
    EXPECT_EQ(segments[0].size(), 2u);  // hours 0-1 and 1-2
    EXPECT_EQ(segments[1].size(), 2u);  // hours 4-5 and 5-6

    options.window = HourWindow{4, 6};
    options.groups = {2};
    options.smallMultiples = true;
    figure = layoutGroupFigure(loaded.source, loaded.tables, options, dialogs);
    ASSERT_TRUE(figure);
    ASSERT_EQ(figure->panels.size(), 1u);
    EXPECT_EQ(figure->panels[0].title, "Mutant (n = 2)");
    EXPECT_DOUBLE_EQ(figure->panels[0].x.min, 4.0);
    EXPECT_DOUBLE_EQ(figure->panels[0].series[0].segments[0].front().x, 4.5);

    options.window = HourWindow{2.2, 3.8};
    EXPECT_FALSE(layoutGroupFigure(loaded.source, loaded.tables, options, dialogs));
    options.window.reset();
    options.groups = {0};
    EXPECT_FALSE(layoutGroupFigure(loaded.source, loaded.tables, options, dialogs));
    EXPECT_EQ(dialogs.shown, (std::vector<std::string>{"No bin with records lies in the chosen time window.",
                                                       "Group 0 has no wells in this acquisition."}));
}

TEST(GroupFigure, SmallMultiplesShareOneYAxis) {
    FigureFolder folder;
    folder.acquisition("14032026_0930").writeSideFiles().append(figureRecords(10, 120, [](int c, int) { return c < 16 ? 2 : 40; }));
    ScriptedDialogs dialogs;
    const LoadedFigure loaded = load(folder, "14032026_0930", 60, dialogs);
    GroupFigureOptions options;
    options.smallMultiples = true;
    const auto figure = layoutGroupFigure(loaded.source, loaded.tables, options, dialogs);
    ASSERT_TRUE(figure);
    ASSERT_EQ(figure->panels.size(), 2u);
    EXPECT_EQ(figure->panels[0].y.labels, figure->panels[1].y.labels);
    EXPECT_GE(figure->panels[0].y.max, 240.0);  // the Mutant's 6 x 40 per hour sets both
    EXPECT_EQ(figure->legend.size(), 2u);
}

TEST(GroupFigure, DarkShadingFollowsTheLightScheduleAcrossMidnight) {
    struct Case {
        bool zeitgeber;
        std::vector<XSpan> dark;
        std::string title;
    };
    // Lights on 08:00, off 20:00; the run starts at 18:00 and lasts 30 hours:
    // dark from 20:00 to 08:00 (hours 2 to 14 of the run, ZT 12 to 24), and
    // again from 20:00 of the next day (hour 26, ZT 36) to the end.
    const Case cases[] = {
        {false, {{2, 14}, {26, 30}}, "Time from start (h)"},
        {true, {{12, 24}, {36, 40}}, "Zeitgeber time (h)"},
    };
    FigureFolder folder;
    folder.acquisition("14032026_1800").dailyLight(8, 20).writeSideFiles().append(figureRecords(30, 1800, busy));
    ScriptedDialogs dialogs;
    const LoadedFigure loaded = load(folder, "14032026_1800", 60, dialogs);
    for (const Case& c : cases) {
        GroupFigureOptions options;
        options.zeitgeber = c.zeitgeber;
        const auto figure = layoutGroupFigure(loaded.source, loaded.tables, options, dialogs);
        ASSERT_TRUE(figure);
        EXPECT_EQ(figure->panels[0].shaded, c.dark) << c.title;
        EXPECT_EQ(figure->panels[0].x.title, c.title);
        EXPECT_EQ(figure->legend.back().label, "Dark");
    }
    // Without a light schedule nothing is shaded and time counts from the start.
    folder.acquisition("15032026_1800").writeSideFiles().append(figureRecords(30, 600, busy));
    const LoadedFigure unlit = load(folder, "15032026_1800", 60, dialogs);
    const auto figure = layoutGroupFigure(unlit.source, unlit.tables, {}, dialogs);
    ASSERT_TRUE(figure);
    EXPECT_TRUE(figure->panels[0].shaded.empty());
    EXPECT_EQ(figure->panels[0].x.title, "Time from start (h)");
}

TEST(PlateHeatMap, ColoursFollowTheWellActivitiesOverTheWindow) {
    FigureFolder folder;
    // Channel c counts c + 1 per 10-minute record: A1 1, B1 2, A2 17, B2 18, A3 33.
    folder.acquisition("14032026_0930").writeSideFiles().append(figureRecords(10, 240, [](int c, int) { return c + 1; }));
    ScriptedDialogs dialogs;
    const LoadedFigure loaded = load(folder, "14032026_0930", 60, dialogs);
    HeatMapOptions options;
    options.window = HourWindow{1, 3};
    auto map = layoutPlateHeatMap(loaded.source, loaded.tables, options, dialogs);
    ASSERT_TRUE(map);
    ASSERT_EQ(map->wells.size(), 6u);
    std::vector<double> totals;
    for (const HeatWell& well : map->wells) totals.push_back(well.value);
    EXPECT_EQ(totals, (std::vector<double>{12, 24, 204, 216, 396, 0})) << "two hours of six records";
    EXPECT_DOUBLE_EQ(map->scale.max, 400.0);
    for (const HeatWell& well : map->wells) {
        if (well.mark == WellMark::Measured) {
            EXPECT_EQ(well.fill, scaleColour(well.value / 400.0)) << well.well;
        }
    }
    EXPECT_EQ(map->scale.title, "Crossings per beam, total over 1\u20133 h");
    // Bins of minutes: a span under two hours is told in minutes.
    const LoadedFigure fine = load(folder, "14032026_0930", 5, dialogs);
    options.window = HourWindow{0.0, 0.5};
    auto minutes = layoutPlateHeatMap(fine.source, fine.tables, options, dialogs);
    ASSERT_TRUE(minutes);
    EXPECT_EQ(minutes->scale.title, "Crossings per beam, total over 5\u201330 min");

    options.value = HeatValue::MeanPerHour;
    map = layoutPlateHeatMap(loaded.source, loaded.tables, options, dialogs);
    ASSERT_TRUE(map);
    EXPECT_DOUBLE_EQ(map->wells[4].value, 198.0);
}

TEST(PlateHeatMap, DisabledAndBeamlessWellsAreMarkedAndGroupsOutlined) {
    FigureFolder folder;
    folder.acquisition("14032026_0930").enabled(17, false).writeSideFiles().append(figureRecords(10, 60, busy));
    ScriptedDialogs dialogs;
    const LoadedFigure loaded = load(folder, "14032026_0930", 60, dialogs);
    const auto map = layoutPlateHeatMap(loaded.source, loaded.tables, {}, dialogs);
    ASSERT_TRUE(map);
    std::vector<WellMark> marks;
    for (const HeatWell& well : map->wells) marks.push_back(well.mark);
    EXPECT_EQ(marks, (std::vector<WellMark>{WellMark::Measured, WellMark::Measured, WellMark::Measured, WellMark::Disabled,
                                           WellMark::Measured, WellMark::NoBeam}));
    EXPECT_EQ(map->wells[3].fill, DisabledWell);
    EXPECT_TRUE(map->roundWells);
    EXPECT_EQ(map->note, "crossed grey: channels disabled; empty: no beam in the well; no outline: in no group");
    ASSERT_EQ(map->outlines.size(), 2u);
    // Control holds column 1 (A1, B1): its border is the column's four sides.
    EXPECT_EQ(map->outlines[0].edges, (std::vector<CellEdge>{{0, 0, 1, 0}, {0, 0, 0, 1}, {1, 0, 1, 1}, {0, 2, 1, 2},
                                                              {0, 1, 0, 2}, {1, 1, 1, 2}}));
    EXPECT_EQ(map->legend[0].label, "Control");
    EXPECT_EQ(map->legend[1].colour, groupColour(1, 2));
    EXPECT_TRUE(hasSquareWells("Z384"));
    EXPECT_FALSE(hasSquareWells("z96f"));
}

TEST(FigureSource, AnAcquisitionWithoutRecordsGivesAMessage) {
    FigureFolder folder;
    folder.acquisition("14032026_0930").writeSideFiles();
    writeFile(folder.programFolder() / "14032026_0930" / "counts.bin", "");
    ScriptedDialogs dialogs;
    auto source = loadFigureSource(folder.programFolder() / "14032026_0930", folder.programFolder(), dialogs);
    ASSERT_TRUE(source);
    EXPECT_FALSE(figureTables(*source, 60, dialogs));
    EXPECT_EQ(dialogs.shown, (std::vector<std::string>{"counts.bin holds no records: there is nothing to draw."}));
}

TEST(ActogramFigure, AWellWithOrWithoutItsGroupAGroupOrEveryGroupOnOnePage) {
    FigureFolder folder;
    folder.acquisition("14032026_0930").dailyLight(8, 20).writeSideFiles().append(figureRecords(30, 2 * 1440, busy));
    ScriptedDialogs dialogs;
    auto grid = loadRhythmGrid(folder.programFolder() / "14032026_0930", folder.programFolder(), 30, dialogs);
    ASSERT_TRUE(grid);

    ActogramOptions options;
    auto figure = layoutActogramFigure(*grid, options, dialogs);
    ASSERT_TRUE(figure);
    ASSERT_EQ(figure->panels.size(), 2u);
    EXPECT_EQ(figure->panels[0].caption.rfind("Control: mean of 2 wells, full bar ", 0), 0u) << figure->panels[0].caption;
    const auto control = groupMeanOf(*grid, 1);
    ASSERT_TRUE(control);
    EXPECT_EQ(figure->panels[0].layout.bars.size(), layoutActogram(*grid, control->values).bars.size());
    EXPECT_EQ(figure->panels[0].layout.lineCount, 3);

    struct WellCase {
        ActogramSubject subject;
        const char* well;
        std::vector<std::string> captions;  // their beginnings
    };
    const WellCase wells[] = {
        {ActogramSubject::Well, "A3", {"Well A3 (no group), full bar "}},
        {ActogramSubject::WellAndGroup, "A3", {"Well A3 (no group), full bar "}},
        {ActogramSubject::Well, "b2", {"Well B2 (Mutant), full bar "}},
        {ActogramSubject::WellAndGroup, "B2", {"Well B2 (Mutant), full bar ", "Mutant: mean of 2 wells, full bar "}},
    };
    for (const WellCase& c : wells) {
        options.subject = c.subject;
        options.well = c.well;
        figure = layoutActogramFigure(*grid, options, dialogs);
        ASSERT_TRUE(figure) << c.well;
        ASSERT_EQ(figure->panels.size(), c.captions.size()) << c.well;
        for (std::size_t i = 0; i < c.captions.size(); ++i) {
            EXPECT_EQ(figure->panels[i].caption.rfind(c.captions[i], 0), 0u) << figure->panels[i].caption;
        }
    }
    EXPECT_EQ(figure->panels[1].layout.bars.size(), layoutActogram(*grid, groupMeanOf(*grid, 2)->values).bars.size());

    options.subject = ActogramSubject::Well;
    for (const char* notMeasured : {"B3", "C1", "A4", "A", ""}) {  // B3 has no beam; the plate is 2 x 3
        options.well = notMeasured;
        EXPECT_FALSE(layoutActogramFigure(*grid, options, dialogs)) << notMeasured;
    }
    options.subject = ActogramSubject::Group;
    options.group = 3;
    EXPECT_FALSE(layoutActogramFigure(*grid, options, dialogs));
    EXPECT_EQ(dialogs.shown, (std::vector<std::string>{
                                 "Well B3 is not a measured well of the plate.", "Well C1 is not a measured well of the plate.",
                                 "Well A4 is not a measured well of the plate.", "Well A is not a measured well of the plate.",
                                 "Name the well of the actogram, such as B3.", "Group 3 has no wells in this acquisition."}));
}

TEST(GroupFigure, ALastBinNotWholeIsLeftOutAndTheNoteSaysHowBinsAreCounted) {
    struct Case {
        int lastMinute;
        std::size_t points;  // per curve
        bool leftOut;
    };
    // 60-minute bins: 210 minutes make four bins of which the last holds 30 minutes.
    const Case cases[] = {{240, 4, false}, {210, 3, true}};
    for (const Case& c : cases) {
        FigureFolder folder;
        folder.acquisition("14032026_0930").writeSideFiles().append(figureRecords(10, c.lastMinute, busy));
        ScriptedDialogs dialogs;
        const LoadedFigure loaded = load(folder, "14032026_0930", 60, dialogs);
        const auto figure = layoutGroupFigure(loaded.source, loaded.tables, {}, dialogs);
        ASSERT_TRUE(figure);
        EXPECT_EQ(figure->panels[0].series[0].segments.front().size(), c.points) << c.lastMinute;
        EXPECT_NE(figure->note.find("per 60-min bin as the report bins them (minutes 0\u201360, 61\u2013120, \u2026)"),
                  std::string::npos)
            << figure->note;
        EXPECT_EQ(figure->note.find("the last bin, minutes 181\u2013210, is not whole and is left out") != std::string::npos,
                  c.leftOut)
            << figure->note;
    }
}
