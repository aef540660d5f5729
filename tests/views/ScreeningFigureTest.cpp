#include <gtest/gtest.h>

#include <cmath>

#include "views/ScreeningFigures.h"

namespace zorvex {
namespace {

TEST(LogAxis, DecadesCoverTheDataLabelledByTheirValue) {
    struct Case {
        double low, high;
        double min, max;
        std::vector<std::string> labels;
        std::size_t minorTicks;
    };
    const Case cases[] = {
        {0.3, 30, 0.1, 100, {"0.1", "1", "10", "100"}, 3 * 8},  // few decades: 2..9 times each
        {0.005, 100, 0.001, 100, {"0.001", "0.01", "0.1", "1", "10", "100"}, 0},
        {1, 1, 1, 10, {"1", "10"}, 8},                          // one concentration: still a decade
        {1e-9, 1e3, 1e-9, 1e3, {"1e-9", "1e-7", "1e-5", "0.001", "0.1", "10", "1000"}, 6},  // every second decade
        {0, 5, 0.1, 10, {"0.1", "1", "10"}, 2 * 8},             // no logarithm of 0: a default range
    };
    for (const Case& c : cases) {
        const Axis axis = logAxis(c.low, c.high, 6, "Concentration (uM)");
        EXPECT_EQ(axis.scale, AxisScale::Log10);
        EXPECT_DOUBLE_EQ(axis.min, c.min) << c.low;
        EXPECT_DOUBLE_EQ(axis.max, c.max) << c.low;
        EXPECT_EQ(axis.labels, c.labels) << c.low;
        EXPECT_EQ(axis.minorTicks.size(), c.minorTicks) << c.low;
    }
    const Axis decades = logAxis(0.01, 100, 6, "");
    EXPECT_DOUBLE_EQ(axisFraction(decades, 1.0), 0.5);
    EXPECT_NEAR(axisFraction(decades, 0.1), 0.25, 1e-12);
    EXPECT_DOUBLE_EQ(axisFraction(niceAxis(0, 100, 5, ""), 25), 0.25);
}

CompoundResult compound(const std::string& name, const std::string& unit, std::vector<double> doses, ScreenStatus status) {
    CompoundResult result;
    result.compound = name;
    result.unit = unit;
    result.fit.status = status;
    result.fit.curve = {5, 95, 2, 1};
    result.fit.ic50Low = 1.5;
    result.fit.ic50High = 2.7;
    result.ic50 = {status, 2, 1.5, 2.7, 0.1};
    for (double dose : doses) result.points.push_back({dose, curveResponse(result.fit.curve, dose)});
    return result;
}

TEST(DoseResponseFigure, ACurveAndItsMarkedIc50PerFittedCompoundOnePanelPerUnit) {
    ScreeningResults results;
    results.compounds = {compound("A", "uM", {0.1, 1, 10, 100}, ScreenStatus::Ok),
                         compound("B", "uM", {0.5, 5, 50}, ScreenStatus::NoConvergence),
                         compound("C", "mg/L", {1, 10}, ScreenStatus::TooFewConcentrations),
                         compound("D", "uM", {}, ScreenStatus::TooFewWells)};  // no wells: nothing to draw
    const auto figure = layoutDoseResponse(results, {20, 24});
    ASSERT_TRUE(figure);
    ASSERT_EQ(figure->panels.size(), 2u);
    EXPECT_FALSE(figure->sharedX);  // each unit labels its own axis
    const ChartPanel& micromolar = figure->panels[0];
    EXPECT_EQ(micromolar.title, "A, B");
    EXPECT_EQ(micromolar.x.title, "Concentration (uM)");
    EXPECT_DOUBLE_EQ(micromolar.x.min, 0.1);
    EXPECT_DOUBLE_EQ(micromolar.x.max, 100);
    EXPECT_EQ(figure->panels[1].x.title, "Concentration (mg/L)");
    EXPECT_EQ(micromolar.y.title, "Activity (% of negative control)");
    // A: its wells, its curve; B: its wells only.
    ASSERT_EQ(micromolar.series.size(), 3u);
    EXPECT_EQ(micromolar.series[0].segments.size(), 4u);
    const auto& curve = micromolar.series[1].segments.front();
    for (const ChartPoint& point : curve) EXPECT_NEAR(point.y, curveResponse(results.compounds[0].fit.curve, point.x), 1e-9);
    EXPECT_DOUBLE_EQ(curve.front().x, 0.1);
    EXPECT_NEAR(curve.back().x, 100, 1e-9);
    ASSERT_EQ(micromolar.markers.size(), 1u);
    EXPECT_DOUBLE_EQ(micromolar.markers[0].x, 2);
    EXPECT_DOUBLE_EQ(micromolar.markers[0].y, 50);
    EXPECT_DOUBLE_EQ(micromolar.markers[0].low, 1.5);
    EXPECT_DOUBLE_EQ(micromolar.markers[0].high, 2.7);
    ASSERT_EQ(figure->legend.size(), 3u);
    EXPECT_EQ(figure->legend[0].label, "A: IC50 2 uM (1.5\u20132.7)");
    EXPECT_EQ(figure->legend[1].label, "B: no convergence");
    EXPECT_NE(figure->legend[0].colour, figure->legend[1].colour);

    results.normalisation = Normalisation::None;
    EXPECT_EQ(layoutDoseResponse(results, {20, 24})->panels[0].y.title, "Activity (crossings per beam, 20\u201324 h)");
    results.compounds = {results.compounds[3]};
    EXPECT_FALSE(layoutDoseResponse(results, {20, 24}));
}

}  // namespace
}  // namespace zorvex
