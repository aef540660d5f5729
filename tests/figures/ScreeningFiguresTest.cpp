// The figures of a screen of the plate of ScreenedPlate.h: what each lays
// out, and the three files written through the renderer.

#include <gtest/gtest.h>

#include "ScreenedPlate.h"
#include "ScriptedDialogs.h"
#include "TempFolder.h"
#include "common/Files.h"
#include "figures/ScreeningFigures.h"
#include "views/ScreeningFigures.h"

namespace zorvex {
namespace {

class ScreeningFigures : public ::testing::Test {
protected:
    ScreeningFigures() {
        folder = test::writeScreenedPlate(temp.path());
        request.acquisitionFolder = folder;
        request.programFolder = temp.path();
        request.windowStartHours = 2;
        request.windowEndHours = 4;
        outcome = screenAcquisition(request);
    }

    test::TempFolder temp;
    std::filesystem::path folder;
    ScreeningRequest request;
    ScreeningOutcome outcome;
};

TEST_F(ScreeningFigures, TheHeatMapOutlinesEachControlColumnAndNamesTheOutlier) {
    ASSERT_TRUE(outcome.results) << outcome.messages.front();
    test::ScriptedDialogs dialogs;
    auto source = loadFigureSource(folder, temp.path(), dialogs);
    ASSERT_TRUE(source);
    const PlateHeatMapLayout map = layoutScreeningHeatMap(source->plate, *outcome.plate, *outcome.results, {2, 4});
    ASSERT_EQ(map.outlines.size(), 2u);
    // A column of eight wells: eight sides left and right, one at each end.
    for (const GroupOutline& outline : map.outlines) EXPECT_EQ(outline.edges.size(), 18u);
    EXPECT_EQ(map.outlines[1].edges.front(), (CellEdge{1, 0, 2, 0}));  // the positives: column 2 from its top
    EXPECT_EQ(map.legend[0].label, "Negative control");
    EXPECT_EQ(map.legend[1].label, "Positive control");
    // The vehicle at 100 % is the top of the scale; a paralysed well at 10 % near its bottom.
    EXPECT_DOUBLE_EQ(map.wells[0].value, 100.0);
    EXPECT_DOUBLE_EQ(map.wells[static_cast<std::size_t>(test::ScreenRows)].value, 10.0);
    EXPECT_EQ(map.scale.title, "Activity, % of negative control, 2\u20134 h");
    EXPECT_NE(map.note.find("ringed: outliers (outside the 99.9 % prediction interval of the rest of their group): H2"), std::string::npos)
        << map.note;
    // H2 (column 2, row H) alone is ringed on the plate.
    for (const HeatWell& well : map.wells) EXPECT_EQ(well.outlier, well.column == 1 && well.row == 7) << well.well;
}

TEST_F(ScreeningFigures, PercentOfControlFollowsEachGroupBinByBin) {
    ASSERT_TRUE(outcome.results);
    test::ScriptedDialogs dialogs;
    auto source = loadFigureSource(folder, temp.path(), dialogs);
    ASSERT_TRUE(source);
    const auto figure = layoutPercentOfControl(*source, *outcome.plate, *outcome.results);
    ASSERT_TRUE(figure);
    const ChartPanel& panel = figure->panels.front();
    ASSERT_EQ(panel.series.size(), 10u);
    EXPECT_EQ(panel.series[0].label, "DMSO 0.1 %");
    EXPECT_EQ(panel.series[2].label, "Drug 0.01 uM");
    for (const ChartPoint& point : panel.series[0].segments.front()) EXPECT_DOUBLE_EQ(point.y, 100.0);
    // Hour 3 of the paralysed group: every minute treated, 10 of the vehicle's 100 (H2's 40 in the mean).
    const ChartPoint& treated = panel.series[1].segments.front()[2];
    EXPECT_DOUBLE_EQ(treated.x, 2.5);
    EXPECT_DOUBLE_EQ(treated.y, (7 * 10 + 40) / 8.0);
    EXPECT_GT(treated.high, treated.y);
    EXPECT_EQ(panel.y.title, "Activity (% of negative control)");
}

TEST_F(ScreeningFigures, EachFigureIsWrittenInTheAskedFormatBesideTheResults) {
    ASSERT_TRUE(outcome.results);
    for (FileFormat format : {FileFormat::Pdf, FileFormat::Svg, FileFormat::Png}) {
        const ScreeningFiguresOutcome figures =
            writeScreeningFigures(figureRequestOf(request, format), *outcome.plate, *outcome.results);
        EXPECT_TRUE(figures.messages.empty()) << figures.messages.front();
        const std::string extension = extensionOf(format);
        const std::vector<std::filesystem::path> expected = {folder / "screening" / ("dose_response" + extension),
                                                             folder / "screening" / ("percent_of_control" + extension),
                                                             folder / "screening" / ("plate_map" + extension)};
        EXPECT_EQ(figures.files, expected);
        for (const auto& file : expected) EXPECT_GT(readFile(file).value_or("").size(), 1000u) << file;
    }
    const std::string svg = readFile(folder / "screening" / "dose_response.svg").value_or("");
    EXPECT_NE(svg.find("IC50"), std::string::npos);
    EXPECT_NE(svg.find("Concentration (uM)"), std::string::npos);
    EXPECT_FALSE(doseResponseImage(*outcome.results, 2, 4, 800).isNull());
}

}  // namespace
}  // namespace zorvex
