#include <gtest/gtest.h>

#include <cmath>

#include "FigureAcquisitions.h"
#include "ScriptedDialogs.h"
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
    RhythmGrid grid;
};

LoadedFigure load(const FigureFolder& folder, const std::string& stamp, long long binMinutes, ScriptedDialogs& dialogs) {
    auto source = loadFigureSource(folder.programFolder() / stamp, folder.programFolder(), dialogs);
    EXPECT_TRUE(source.has_value());
    auto grid = figureGrid(*source, binMinutes, dialogs);
    EXPECT_TRUE(grid.has_value());
    return {std::move(*source), std::move(*grid)};
}

// A group's crossings per beam in [from, to) minutes, worked out from the
// records' counts (one beam per well): mean and sample SD over its channels.
template <typename Count>
std::pair<double, double> handMeanAndSd(const std::vector<int>& channels, int step, int lastMinute, int from, int to,
                                        Count count) {
    std::vector<double> sums;
    for (int channel : channels) {
        double sum = 0;
        for (int minute = step; minute <= lastMinute; minute += step) {
            if (minute >= from && minute < to) sum += count(channel, minute);
        }
        sums.push_back(sum);
    }
    double mean = 0, squares = 0;
    for (double v : sums) mean += v / static_cast<double>(sums.size());
    for (double v : sums) squares += (v - mean) * (v - mean);
    return {mean, std::sqrt(squares / static_cast<double>(sums.size() - 1))};
}

std::vector<ChartPoint> pointsOf(const ChartSeries& series) {
    std::vector<ChartPoint> points;
    for (const auto& segment : series.segments) points.insert(points.end(), segment.begin(), segment.end());
    return points;
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

TEST(GroupFigure, EachCurveIsTheUnroundedMeanOfTheMinuteGridWithItsErrorBand) {
    FigureFolder folder;
    // Five hours of 10-minute records with none stamped 160..210: hours 2 and 3
    // are not wholly recorded, and the record at minute 300 begins a sixth.
    folder.acquisition("14032026_0930").writeSideFiles().append(figureRecords(10, 300, busy, {150, 210}));
    ScriptedDialogs dialogs;
    const LoadedFigure loaded = load(folder, "14032026_0930", 60, dialogs);
    struct Case {
        ErrorBand error;
        const char* name;
    };
    for (const Case& c : {Case{ErrorBand::StandardError, "SE"}, Case{ErrorBand::StandardDeviation, "SD"}}) {
        GroupFigureOptions options;
        options.error = c.error;
        const auto figure = layoutGroupFigure(loaded.source, loaded.grid, options, dialogs);
        ASSERT_TRUE(figure);
        const auto& series = figure->panels.at(0).series;
        ASSERT_EQ(series.size(), 2u) << "group 0 has no wells and is left out";
        for (auto [index, channels] : {std::pair{0, std::vector{0, 1}}, std::pair{1, std::vector{16, 17}}}) {
            const auto& curve = series[static_cast<std::size_t>(index)];
            ASSERT_EQ(curve.segments.size(), 2u) << "the gap breaks the curve";
            const std::vector<ChartPoint> points = pointsOf(curve);
            const std::vector<int> hours = {0, 1, 4};
            ASSERT_EQ(points.size(), hours.size());
            for (std::size_t i = 0; i < hours.size(); ++i) {
                const auto [mean, sd] = handMeanAndSd(channels, 10, 300, hours[i] * 60, hours[i] * 60 + 60, busy);
                const double error = c.error == ErrorBand::StandardError ? sd / std::sqrt(2.0) : sd;
                EXPECT_DOUBLE_EQ(points[i].x, hours[i] + 0.5) << c.name;
                EXPECT_DOUBLE_EQ(points[i].y, mean) << c.name << " hour " << hours[i];
                EXPECT_NEAR(points[i].high - points[i].y, error, 1e-9) << c.name << " hour " << hours[i];
                EXPECT_NEAR(points[i].y - points[i].low, error, 1e-9) << c.name << " hour " << hours[i];
            }
        }
        EXPECT_EQ(series[0].label, "Control (n = 2)");
        EXPECT_EQ(figure->note, std::string("Mean of wells \u00b1 ") + c.name +
                                    " per 60-min bin on the minute grid (minutes 0\u201360, 60\u2013120, \u2026); the last "
                                    "bin (1 min) left out as not whole; 2 bins with a gap in the recording left out");
    }
}

TEST(GroupFigure, ABinWithoutRecordsBreaksTheCurveAndAWindowKeepsItsBins) {
    FigureFolder folder;
    folder.acquisition("14032026_0930").writeSideFiles().append(figureRecords(10, 360, busy, {120, 240}));
    ScriptedDialogs dialogs;
    const LoadedFigure loaded = load(folder, "14032026_0930", 60, dialogs);
    GroupFigureOptions options;
    auto figure = layoutGroupFigure(loaded.source, loaded.grid, options, dialogs);
    ASSERT_TRUE(figure);
    const auto& segments = figure->panels[0].series[0].segments;
    // Records stop after minute 120 and resume at 250: hours 2 to 4 are not
    // wholly recorded.
    ASSERT_EQ(segments.size(), 2u);
    EXPECT_EQ(segments[0].size(), 2u);  // hours 0-1 and 1-2
    EXPECT_EQ(segments[1].size(), 1u);  // hour 5-6

    options.window = HourWindow{4, 6};
    options.groups = {2};
    options.smallMultiples = true;
    figure = layoutGroupFigure(loaded.source, loaded.grid, options, dialogs);
    ASSERT_TRUE(figure);
    ASSERT_EQ(figure->panels.size(), 1u);
    EXPECT_EQ(figure->panels[0].title, "Mutant (n = 2)");
    // Hour 4 is not wholly recorded: one hour is shown, in minutes.
    EXPECT_DOUBLE_EQ(figure->panels[0].x.min, 300.0);
    EXPECT_DOUBLE_EQ(figure->panels[0].series[0].segments[0].front().x, 330.0);

    options.window = HourWindow{2.2, 3.8};
    EXPECT_FALSE(layoutGroupFigure(loaded.source, loaded.grid, options, dialogs));
    options.window.reset();
    options.groups = {0};
    EXPECT_FALSE(layoutGroupFigure(loaded.source, loaded.grid, options, dialogs));
    EXPECT_EQ(dialogs.shown,
              (std::vector<std::string>{"No bin of the chosen time window is wholly recorded: choose shorter bins.",
                                        "Group 0 has no wells in this acquisition."}));
    options.window = HourWindow{3.2, 3.8};
    options.groups.clear();
    EXPECT_FALSE(layoutGroupFigure(loaded.source, loaded.grid, options, dialogs));
    EXPECT_EQ(dialogs.shown.back(), "No bin with records lies in the chosen time window.");
}

TEST(GroupFigure, SmallMultiplesShareOneYAxis) {
    FigureFolder folder;
    folder.acquisition("14032026_0930").writeSideFiles().append(figureRecords(10, 120, [](int c, int) { return c < 16 ? 2 : 40; }));
    ScriptedDialogs dialogs;
    const LoadedFigure loaded = load(folder, "14032026_0930", 60, dialogs);
    GroupFigureOptions options;
    options.smallMultiples = true;
    const auto figure = layoutGroupFigure(loaded.source, loaded.grid, options, dialogs);
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
        const auto figure = layoutGroupFigure(loaded.source, loaded.grid, options, dialogs);
        ASSERT_TRUE(figure);
        EXPECT_EQ(figure->panels[0].shaded, c.dark) << c.title;
        EXPECT_EQ(figure->panels[0].x.title, c.title);
        EXPECT_EQ(figure->legend.back().label, "Dark");
    }
    // Without a light schedule nothing is shaded and time counts from the start.
    folder.acquisition("15032026_1800").writeSideFiles().append(figureRecords(30, 600, busy));
    const LoadedFigure unlit = load(folder, "15032026_1800", 60, dialogs);
    const auto figure = layoutGroupFigure(unlit.source, unlit.grid, {}, dialogs);
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
    auto map = layoutPlateHeatMap(loaded.source, loaded.grid, options, dialogs);
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
    auto minutes = layoutPlateHeatMap(fine.source, fine.grid, options, dialogs);
    ASSERT_TRUE(minutes);
    // 10-minute records on 5-minute bins: the bins stamped 10 and 20 hold them.
    EXPECT_EQ(minutes->scale.title, "Crossings per beam, total over 10\u201325 min");

    options.value = HeatValue::MeanPerHour;
    map = layoutPlateHeatMap(loaded.source, loaded.grid, options, dialogs);
    ASSERT_TRUE(map);
    EXPECT_DOUBLE_EQ(map->wells[4].value, 165.0) << "the first hour holds the records stamped 10 to 50";
}

TEST(PlateHeatMap, DisabledAndBeamlessWellsAreMarkedAndGroupsOutlined) {
    FigureFolder folder;
    folder.acquisition("14032026_0930").enabled(17, false).writeSideFiles().append(figureRecords(10, 60, busy));
    ScriptedDialogs dialogs;
    const LoadedFigure loaded = load(folder, "14032026_0930", 60, dialogs);
    const auto map = layoutPlateHeatMap(loaded.source, loaded.grid, {}, dialogs);
    ASSERT_TRUE(map);
    std::vector<WellMark> marks;
    for (const HeatWell& well : map->wells) marks.push_back(well.mark);
    EXPECT_EQ(marks, (std::vector<WellMark>{WellMark::Measured, WellMark::Measured, WellMark::Measured, WellMark::Disabled,
                                           WellMark::Measured, WellMark::NoBeam}));
    EXPECT_EQ(map->wells[3].fill, DisabledWell);
    EXPECT_TRUE(map->roundWells);
    EXPECT_EQ(map->note, "Summed over 60-min bins on the minute grid; crossed grey: channels disabled; empty: no beam in "
                         "the well; no outline: in no group");
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
    EXPECT_FALSE(figureGrid(*source, 60, dialogs));
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

TEST(GroupFigure, ALastBinNotWholeIsLeftOutSoItShowsNoFall) {
    struct Case {
        int step;        // minutes between records
        int lastMinute;  // of the last record
        int lapse;       // programmed; records ending before it mean the run was stopped
        std::size_t points;
        std::string leftOut;  // in the note; empty when every bin is whole
    };
    // 60-minute bins. A run that reached its lapse recorded its last stamped
    // minute too: a record stamped 240 opens a fifth bin of 1 minute.
    const Case cases[] = {
        {1, 239, 240, 4, ""},
        {10, 240, 240, 4, "; the last bin (1 min) left out as not whole"},
        {10, 210, 240, 3, "; the last bin (30 min) left out as not whole"},
        {10, 240, 300, 4, "; the last bin (under 1 min) left out as not whole"},
    };
    // The same crossings in every record: a bin holding fewer minutes would read as a fall.
    const auto steady = [](int channel, int) { return channel < 16 ? 3 : 5; };
    for (const Case& c : cases) {
        FigureFolder folder;
        folder.acquisition("14032026_0930").lapse(c.lapse).writeSideFiles().append(figureRecords(c.step, c.lastMinute, steady));
        ScriptedDialogs dialogs;
        const LoadedFigure loaded = load(folder, "14032026_0930", 60, dialogs);
        const auto figure = layoutGroupFigure(loaded.source, loaded.grid, {}, dialogs);
        ASSERT_TRUE(figure);
        const std::vector<ChartPoint> points = pointsOf(figure->panels[0].series[1]);
        ASSERT_EQ(points.size(), c.points) << c.lastMinute;
        for (std::size_t hour = 0; hour < points.size(); ++hour) {
            const int from = static_cast<int>(hour) * 60;
            EXPECT_DOUBLE_EQ(points[hour].y, handMeanAndSd({16, 17}, c.step, c.lastMinute, from, from + 60, steady).first)
                << c.lastMinute << " hour " << hour;
        }
        EXPECT_DOUBLE_EQ(points.back().y, 60.0 / c.step * 5) << "the last point drawn is a whole bin";
        EXPECT_DOUBLE_EQ(figure->panels[0].x.max, static_cast<double>(c.points));
        EXPECT_EQ(figure->note, "Mean of wells \u00b1 SE per 60-min bin on the minute grid (minutes 0\u201360, "
                                "60\u2013120, \u2026)" + c.leftOut)
            << c.lastMinute;
    }
}

TEST(PlateHeatMap, AMeanPerHourDividesByTheMinutesRecorded) {
    struct Case {
        int lastMinute;
        int lapse;
        std::optional<HourWindow> window;
        double recordsPerHour;  // of a well: it counts once per record
        std::string note;
    };
    // 10-minute records in 60-minute bins; a run stopped at minute 150 holds
    // 30 minutes of its third hour, one that reached its lapse of 180 one
    // minute of its fourth.
    const Case cases[] = {
        {150, 200, std::nullopt, 15 * 60.0 / 150, "Per hour of the 150 min recorded, in 60-min bins on the minute grid"},
        {150, 200, HourWindow{2, 3}, 4 * 60.0 / 30, "Per hour of the 30 min recorded, in 60-min bins on the minute grid"},
        {180, 180, std::nullopt, 18 * 60.0 / 181, "Per hour of the 181 min recorded, in 60-min bins on the minute grid"},
        {180, 180, HourWindow{0, 2}, 11 * 60.0 / 120, "Per hour of the 120 min recorded, in 60-min bins on the minute grid"},
    };
    for (const Case& c : cases) {
        FigureFolder folder;
        folder.acquisition("14032026_0930").lapse(c.lapse).writeSideFiles().append(figureRecords(10, c.lastMinute, [](int c, int) { return c + 1; }));
        ScriptedDialogs dialogs;
        const LoadedFigure loaded = load(folder, "14032026_0930", 60, dialogs);
        HeatMapOptions options;
        options.value = HeatValue::MeanPerHour;
        options.window = c.window;
        const auto map = layoutPlateHeatMap(loaded.source, loaded.grid, options, dialogs);
        ASSERT_TRUE(map);
        EXPECT_DOUBLE_EQ(map->wells[0].value, c.recordsPerHour) << c.note;       // A1 counts 1
        EXPECT_DOUBLE_EQ(map->wells[4].value, 33 * c.recordsPerHour) << c.note;  // A3 counts 33
        EXPECT_EQ(map->note.substr(0, c.note.size()), c.note);
    }
}
