// Where the chart painter puts many panels and a long legend: on a page that
// prints, in columns, and in even rows.

#include <gtest/gtest.h>

#include "figures/ChartPainter.h"
#include "figures/Legend.h"

using namespace zorvex;

namespace {

ChartFigure panelsOf(int count) {
    ChartFigure figure;
    for (int i = 0; i < count; ++i) {
        ChartPanel panel;
        panel.title = "Group " + std::to_string(i + 1);
        panel.x = hourAxis(0, 24, 7, "Time from start (h)");
        panel.y = niceAxis(0, 100, 5, "Activity");
        panel.series.push_back({panel.title, groupColour(i, count), {{{0, 1, 1, 1}, {24, 2, 2, 2}}}, false});
        figure.panels.push_back(std::move(panel));
        figure.legend.push_back({panel.title, groupColour(i, count), LegendMark::Line});
    }
    return figure;
}

}  // namespace

TEST(ChartPages, PanelsWrapIntoColumnsRatherThanRunPastAPrintedPage) {
    struct Case {
        int panels;
        double widthMm;  // of the page drawn
    };
    const Case cases[] = {{1, 85}, {4, 85}, {12, 174}, {40, 174}};
    const FigureStyle column = styleOf(PageSize::Column);
    for (const Case& c : cases) {
        const ChartFigure figure = panelsOf(c.panels);
        const FigureStyle style = chartStyle(figure, column);
        EXPECT_DOUBLE_EQ(style.widthMm, c.widthMm) << c.panels << " panels";
        // A4 is 297 mm high: the figure and its caption fit within its margins.
        EXPECT_LE(chartHeightMm(figure, style), 230.0) << c.panels << " panels";
    }
    // A slide keeps its size and takes columns instead of slivers.
    const FigureStyle slide = styleOf(PageSize::Slide);
    EXPECT_DOUBLE_EQ(chartStyle(panelsOf(12), slide).widthMm, slide.widthMm);
}

TEST(ChartPages, ALegendOfManyEntriesWrapsIntoEvenColumns) {
    const ChartFigure figure = panelsOf(10);
    const LegendPlacement placement = placeLegend(figure.legend, 81, 7.5);
    ASSERT_EQ(placement.entryOrigins.size(), 10u);
    std::vector<double> columns;
    for (const QPointF& origin : placement.entryOrigins) {
        if (std::find(columns.begin(), columns.end(), origin.x()) == columns.end()) columns.push_back(origin.x());
    }
    ASSERT_GE(columns.size(), 2u);
    const double step = columns[1] - columns[0];
    for (std::size_t i = 1; i < columns.size(); ++i) EXPECT_NEAR(columns[i] - columns[i - 1], step, 1e-9);
    // Every row but the last is full.
    const double firstRow = placement.entryOrigins.front().y();
    const auto inFirstRow = std::count_if(placement.entryOrigins.begin(), placement.entryOrigins.end(),
                                          [&](const QPointF& p) { return p.y() == firstRow; });
    EXPECT_EQ(static_cast<std::size_t>(inFirstRow), columns.size());
    // A short legend stays on one line.
    EXPECT_DOUBLE_EQ(placeLegend(panelsOf(2).legend, 81, 7.5).heightMm, placeLegend(panelsOf(1).legend, 81, 7.5).heightMm);
}
