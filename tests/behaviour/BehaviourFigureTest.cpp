// The sleep and rhythm figures: their layouts checked against the analysis
// they draw, and zorvex-cli figure writing each kind, read back by the
// plain figure readers.

#include <cmath>
#include <numbers>

#include "../cli/CliRun.h"
#include "BehaviourFixture.h"
#include "FigureReaders.h"
#include "views/BehaviourFigures.h"

namespace zorvex::test {
namespace {

// 2 days of a 2 x 2 plate from 08:00, lights 9 to 21: asleep at night, a few
// wells rhythmic; well B2 (group 2) flat so that the map shows an arrhythmic well.
class BehaviourFigures : public BehaviourFixture {
protected:
    void SetUp() override {
        writePlate(2, 2);
        MinuteSeries series(4, 3 * 24 * 60);
        std::mt19937 random(5);
        for (int well = 0; well < 4; ++well) {
            poissonCounts(series, well, random, [well](int m) {
                if (well == 3) return 2.0;
                return 2.0 * (1.0 + 0.95 * std::cos(2 * std::numbers::pi * (m / 60.0 - 7.0) / 24.0));
            });
        }
        folder_ = acquisition("01032026_0800", series, DaylightNineToNine, 1);
    }

    std::filesystem::path folder_;
};

TEST_F(BehaviourFigures, SleepOverTimeIsEachGroupsMeanOfItsWellsAsleepMinutesPerHour) {
    const auto analysis = analyseSleep({folder_, temp.path(), std::nullopt, std::nullopt, {}}, dialogs);
    ASSERT_TRUE(analysis);
    const auto& [grid, results] = *analysis;
    const ChartFigure figure = layoutSleepFigure(grid, results);
    ASSERT_EQ(figure.panels.size(), 2u);
    const ChartPanel& time = figure.panels[0];
    ASSERT_EQ(time.series.size(), 2u);  // groups 1 and 2
    // Hour 30 of group 1 (wells A1 and A2, the first and third): asleep minutes of each from its bouts.
    std::vector<double> asleep;
    for (std::size_t k : {0u, 2u}) {
        int minutes = 0;
        for (const SleepBout& bout : results.wells[k].bouts) {
            const int from = std::max(bout.firstMinute, 30 * 60), to = std::min(bout.firstMinute + bout.lengthMinutes, 31 * 60);
            minutes += std::max(0, to - from);
        }
        asleep.push_back(minutes);
    }
    const ChartPoint& point = time.series[0].segments.front()[30];
    EXPECT_DOUBLE_EQ(point.x, 30.5);
    EXPECT_DOUBLE_EQ(point.y, (asleep[0] + asleep[1]) / 2.0);
    EXPECT_NEAR(point.high - point.y, std::abs(asleep[0] - asleep[1]) / 2.0, 1e-12);
    // Lights off at 21:00 (13 h in) and on at 09:00 (25 h in).
    ASSERT_FALSE(time.shaded.empty());
    EXPECT_DOUBLE_EQ(time.shaded.front().from, 0.0);
    EXPECT_DOUBLE_EQ(time.shaded.front().to, 1.0);
    EXPECT_DOUBLE_EQ(time.shaded[1].from, 13.0);
    EXPECT_DOUBLE_EQ(time.shaded[1].to, 25.0);
    // Below: light and dark of each group, a point per well.
    EXPECT_EQ(figure.panels[1].x.labels, (std::vector<std::string>{"light", "dark", "light", "dark"}));
}

TEST_F(BehaviourFigures, SleepOverTimeOfARunUnderTwoHoursIsDrawnInMinutes) {
    struct Case {
        std::string stamp;
        int minutes;  // recorded
        const char* title;
        std::vector<double> middles;  // of each hour drawn, in the axis's unit
        XSpan firstDark;              // 08:00 to lights-on at 09:00
    };
    const Case cases[] = {
        {"02032026_0800", 90, "Time from start (min)", {30, 75}, {0, 60}},
        {"03032026_0800", 180, "Time from start (h)", {0.5, 1.5, 2.5}, {0, 1}},
    };
    for (const Case& c : cases) {
        MinuteSeries series(4, c.minutes);
        series.set(0, 10, 40, 0);
        const auto folder = acquisition(c.stamp, series, DaylightNineToNine, 1);
        const auto analysis = analyseSleep({folder, temp.path(), std::nullopt, std::nullopt, {}}, dialogs);
        ASSERT_TRUE(analysis) << c.stamp;
        const ChartFigure figure = layoutSleepFigure(analysis->first, analysis->second);
        const ChartPanel& time = figure.panels.at(0);
        EXPECT_EQ(time.x.title, c.title);
        EXPECT_DOUBLE_EQ(time.x.max, c.middles.size() == 2 ? 90.0 : 3.0) << c.title;
        std::vector<double> middles;
        for (const ChartPoint& point : time.series.at(0).segments.at(0)) middles.push_back(point.x);
        EXPECT_EQ(middles, c.middles) << c.title;
        ASSERT_FALSE(time.shaded.empty());
        EXPECT_EQ(time.shaded.front(), c.firstDark) << c.title;
    }
}

TEST_F(BehaviourFigures, ThePeriodMapColoursRhythmicWellsByPeriodAndLeavesTheOthersPale) {
    const auto analysis = analysePeriods({folder_, temp.path(), std::nullopt, {}, {}}, dialogs);
    ASSERT_TRUE(analysis);
    const auto& [grid, results] = *analysis;
    const PlateHeatMapLayout map = layoutPeriodMap(grid, results);
    ASSERT_EQ(map.wells.size(), 4u);
    for (std::size_t w = 0; w < 4; ++w) {
        const WellPeriodogram& well = results.wells[w];
        if (well.peak) {
            EXPECT_EQ(map.wells[w].fill, scaleColour(axisFraction(map.scale, well.powers[*well.peak].periodHours)));
        } else {
            EXPECT_EQ(map.wells[w].fill, (Rgb{236, 236, 236}));
        }
    }
    EXPECT_TRUE(results.wells[0].peak);
    EXPECT_FALSE(results.wells[3].peak) << "a flat well";
    EXPECT_NE(map.note.find("pale: arrhythmic"), std::string::npos) << map.note;
}

TEST_F(BehaviourFigures, EachKindIsWrittenByTheFigureCommand) {
    const struct {
        std::string file;
        std::vector<std::string> options;
        std::vector<std::string> shows;
    } cases[] = {
        {"sleep.svg", {"--kind", "sleep", "--inactive-minutes", "5"}, {"Sleep (min/h)", "Wild, type", "Mutant", "Dark", "at least 5 minutes"}},
        {"periodogram.svg", {"--kind", "periodogram", "--method", "lomb-scargle"}, {"Normalised power", "Period (h)", "Threshold (alpha 0.01 over 161 periods)"}},
        {"period-map.svg", {"--kind", "period-map", "--periods", "20-28", "--step", "0.5"}, {"Period (h)", "pale: arrhythmic (alpha 0.01 over 17 periods)"}},
    };
    for (const auto& one : cases) {
        std::vector<std::string> words = {"figure", folder_.string(), "--out", (temp / one.file).string(), "--program-folder", temp.path().string()};
        words.insert(words.end(), one.options.begin(), one.options.end());
        const CliRun run = cli(words);
        ASSERT_EQ(run.status, 0) << shown(words) << "\n" << run.err;
        std::string text;
        for (const std::string& line : readSvg(fileText(temp / one.file)).texts) text += line + "\n";
        for (const std::string& shownText : one.shows) EXPECT_NE(text.find(shownText), std::string::npos) << one.file << ": " << shownText << "\n" << text;
    }
    const CliRun wrong = cli({"figure", folder_.string(), "--out", (temp / "x.svg").string(), "--kind", "groups", "--alpha", "0.05"});
    EXPECT_EQ(wrong.status, 2);
    EXPECT_NE(wrong.err.find("applies to --kind periodogram or period-map only"), std::string::npos) << wrong.err;
}

}  // namespace
}  // namespace zorvex::test
