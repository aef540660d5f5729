// Lines and shapes cut at a rectangle by geometry.

#include <gtest/gtest.h>

#include "figures/Clipping.h"

using namespace zorvex;

namespace {
const QRectF Box(0, 0, 10, 10);
}

TEST(Clipping, ASegmentKeepsOnlyItsPartInsideTheRectangle) {
    struct Case {
        QLineF segment;
        std::optional<QLineF> inside;
    };
    const Case cases[] = {
        {{2, 2, 8, 8}, QLineF(2, 2, 8, 8)},           // wholly inside
        {{-5, 5, 15, 5}, QLineF(0, 5, 10, 5)},        // across both sides
        {{5, 5, 5, 20}, QLineF(5, 5, 5, 10)},         // out through the bottom
        {{-5, -5, -1, 20}, std::nullopt},             // wholly left
        {{11, 0, 11, 10}, std::nullopt},              // parallel, outside
        {{-2, 8, 8, -2}, QLineF(0, 6, 6, 0)},         // across a corner
    };
    for (const Case& c : cases) {
        const auto inside = clipSegment(c.segment, Box);
        ASSERT_EQ(inside.has_value(), c.inside.has_value()) << c.segment.x1() << "," << c.segment.y1();
        if (inside) {
            EXPECT_EQ(inside->p1(), c.inside->p1());
            EXPECT_EQ(inside->p2(), c.inside->p2());
        }
    }
}

TEST(Clipping, ALineThatLeavesAndComesBackIsDrawnInTwoRuns) {
    // Down below the bottom and back up, as a fitted curve can dip below the x axis.
    const std::vector<QPointF> curve = {{1, 5}, {3, 15}, {5, 15}, {7, 5}, {9, 5}};
    const auto runs = clipPolyline(curve, Box);
    ASSERT_EQ(runs.size(), 2u);
    EXPECT_EQ(runs[0], (std::vector<QPointF>{{1, 5}, {2, 10}}));
    EXPECT_EQ(runs[1], (std::vector<QPointF>{{6, 10}, {7, 5}, {9, 5}}));
    EXPECT_TRUE(clipPolyline({{20, 20}, {30, 30}}, Box).empty());
}

TEST(Clipping, ABandBelowTheAxisIsCutAtIt) {
    // A band from y 5 to 15 across the box: the part inside is 0..10 by 5..10.
    const std::vector<QPointF> band = {{0, 5}, {10, 5}, {10, 15}, {0, 15}};
    const std::vector<QPointF> cut = clipPolygon(band, Box);
    ASSERT_EQ(cut.size(), 4u);
    for (const QPointF& p : cut) {
        EXPECT_TRUE(Box.contains(p)) << p.x() << "," << p.y();
        EXPECT_GE(p.y(), 5.0);
    }
    EXPECT_TRUE(clipPolygon({{20, 20}, {30, 20}, {30, 30}}, Box).empty());
}
