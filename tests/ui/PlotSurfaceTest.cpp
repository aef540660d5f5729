#include <gtest/gtest.h>

#include <QApplication>
#include <QMouseEvent>

#include "TempFolder.h"
#include "ui/common/PlotSurface.h"

using namespace zorvex;

namespace {

struct Surface {
    PlotSurface plot;
    explicit Surface(int width = 200, int height = 100) {
        plot.resize(width, height);
        plot.show();
        QApplication::processEvents();
    }
    QColor at(double x, double y) const {
        QPoint pixel = plot.toPixel(x, y).toPoint();
        return plot.image().pixelColor(pixel);
    }
};

}  // namespace

TEST(PlotSurface, ScaleWithYUpPutsTheTopEdgeFirst) {
    Surface surface;
    surface.plot.setScale(0, 10, 100, 0);
    EXPECT_EQ(surface.plot.toPixel(0, 10), QPointF(0, 0));
    EXPECT_EQ(surface.plot.toPixel(100, 0), QPointF(200, 100));
    EXPECT_EQ(surface.plot.toPixel(50, 2.5), QPointF(100, 75));
    EXPECT_EQ(surface.plot.toUser(QPointF(100, 75)), QPointF(50, 2.5));

    surface.plot.setScale(-50, -100, 150, 100);  // y down
    EXPECT_EQ(surface.plot.toPixel(-50, -100), QPointF(0, 0));
    EXPECT_EQ(surface.plot.toPixel(50, 0), QPointF(100, 50));
}

TEST(PlotSurface, KeptAspectCentresThePicture) {
    Surface surface(300, 100);
    surface.plot.setKeepAspect(true);
    surface.plot.setScale(0, 0, 100, 100);
    EXPECT_EQ(surface.plot.toPixel(0, 0), QPointF(100, 0));
    EXPECT_EQ(surface.plot.toPixel(100, 100), QPointF(200, 100));
}

TEST(PlotSurface, DrawingStaysUntilCleared) {
    Surface surface;
    surface.plot.setScale(0, 0, 200, 100);
    surface.plot.filledBox(10, 10, 50, 50, Qt::red);
    surface.plot.line(0, 80, 199, 80, Qt::blue);
    surface.plot.box(100, 10, 150, 60, Qt::green);
    surface.plot.text(160, 10, "G1", Qt::black);
    EXPECT_EQ(surface.at(30, 30), QColor(Qt::red));
    EXPECT_EQ(surface.at(120, 80), QColor(Qt::blue));
    EXPECT_EQ(surface.at(100, 30), QColor(Qt::green));
    EXPECT_EQ(surface.at(149, 30), QColor(Qt::green));
    EXPECT_EQ(surface.at(120, 30), QColor(Qt::white));
    int inked = 0;
    for (int x = 160; x < 190; ++x) {
        for (int y = 10; y < 30; ++y) inked += surface.at(x, y) != QColor(Qt::white);
    }
    EXPECT_GT(inked, 10);

    surface.plot.setOutline(QRectF(QPointF(0, 0), QPointF(100, 100)));
    EXPECT_EQ(surface.at(0, 50), QColor(Qt::white));  // the outline is not drawn into the image

    surface.plot.clear();
    EXPECT_EQ(surface.at(30, 30), QColor(Qt::white));
}

TEST(PlotSurface, CirclesUseTheXUnitForTheirRadius) {
    Surface surface;
    surface.plot.setScale(0, 0, 100, 100);  // 2 pixels per unit across, 1 down
    surface.plot.circle(50, 50, 10, Qt::black);
    EXPECT_NE(surface.at(40, 50), QColor(Qt::white));  // 20 pixels left
    EXPECT_NE(surface.at(50, 30), QColor(Qt::white));  // 20 pixels up
    EXPECT_EQ(surface.at(50, 50), QColor(Qt::white));
}

TEST(PlotSurface, SavedBitmapReadsBackTheSamePixels) {
    test::TempFolder folder;
    Surface surface;
    surface.plot.setScale(0, 0, 200, 100);
    surface.plot.filledBox(0, 0, 100, 100, QColor(10, 200, 30));
    const QString path = QString::fromStdString((folder / "plot.bmp").string());
    ASSERT_TRUE(surface.plot.saveBmp(path));
    QImage saved(path);
    ASSERT_EQ(saved.size(), QSize(200, 100));
    EXPECT_EQ(saved.pixelColor(50, 50), QColor(10, 200, 30));
    EXPECT_EQ(saved.pixelColor(150, 50), QColor(Qt::white));
    EXPECT_FALSE(surface.plot.saveBmp(QString::fromStdString((folder / "missing" / "plot.bmp").string())));
}

TEST(PlotSurface, PointerIsReportedInUserCoordinates) {
    Surface surface;
    surface.plot.setScale(0, 10, 100, 0);
    std::vector<QPointF> pressed;
    std::vector<Qt::MouseButton> buttons;
    QObject::connect(&surface.plot, &PlotSurface::pressed, [&](double x, double y, Qt::MouseButton button) {
        pressed.emplace_back(x, y);
        buttons.push_back(button);
    });
    QMouseEvent press(QEvent::MouseButtonPress, QPointF(100, 25), QPointF(100, 25), Qt::RightButton, Qt::RightButton,
                      Qt::NoModifier);
    QApplication::sendEvent(&surface.plot, &press);
    ASSERT_EQ(pressed.size(), 1u);
    EXPECT_EQ(pressed[0], QPointF(50, 7.5));
    EXPECT_EQ(buttons[0], Qt::RightButton);
}

TEST(PlotSurface, ResizingClearsAndAsksForANewDrawing) {
    Surface surface;
    surface.plot.filledBox(0, 0, 1, 1, Qt::red);
    int redraws = 0;
    QObject::connect(&surface.plot, &PlotSurface::resized, [&] { ++redraws; });
    surface.plot.resize(400, 300);
    QApplication::processEvents();
    EXPECT_EQ(redraws, 1);
    EXPECT_EQ(surface.plot.image().size(), QSize(400, 300));
    EXPECT_EQ(surface.plot.image().pixelColor(10, 10), QColor(Qt::white));
}
