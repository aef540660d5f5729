// The actogram view of the offline window on a three-day acquisition with its
// light from 9 to 21.

#include <gtest/gtest.h>

#include "OfflineWindow.h"
#include "control/LightSchedule.h"
#include "ui/offline/OfflineDrawing.h"

using namespace zorvex;
using namespace zorvex::test;

namespace {

constexpr const char* ThreeDays = "14032026_1430";
constexpr int StartMinuteOfDay = 14 * 60 + 30;

bool darkAt(int elapsedMinutes) {
    const int hour = (StartMinuteOfDay + elapsedMinutes) / 60 % 24;
    return hour < 9 || hour >= 21;
}

// Three days of 5-minute bins in which every channel moves only in the dark,
// with one busy bin at 01:00 of day 2 setting the scale.
void writeThreeDays(const OfflineWindow& offline) {
    AcquisitionBuilder builder = offline.acquisition(ThreeDays, "z96f", 0);
    ProjectSetup setup = defaultSetup(offline.folder.path(), 1);
    setup.Plate_format = "z96f";
    setup.Mn[LightRow] = {1, 9, 21, 0, 0, 0};
    writeSetupFile(setup, 1, builder.folder() / SetupFileName);
    const int busy = 2 * MinutesPerDay + 60 - StartMinuteOfDay;
    std::vector<ActivityRecord> records;
    for (int minute = 5; minute <= 3 * MinutesPerDay; minute += 5) {
        ActivityRecord r;
        r.elapsedMinutes = minute;
        const std::int16_t count = minute == busy ? 200 : darkAt(minute) ? static_cast<std::int16_t>(3 + minute % 4) : 0;
        r.counts.fill(count);
        records.push_back(r);
    }
    builder.append(records);
}

// Bars crossing the picture's column at `minute` of the line: a shade pixel
// with two black pixels under it is the top of a bar.
int barTopsAt(const PlotSurface& picture, double minute) {
    const QImage& image = picture.image();
    const int x = static_cast<int>(picture.toPixel(minute, 0).x());
    int tops = 0;
    for (int y = 0; y + 2 < image.height(); ++y) {
        const QColor colour = image.pixelColor(x, y);
        const bool shade = colour == ActogramLightShade || colour == ActogramDarkShade;
        tops += shade && image.pixelColor(x, y + 1) == Qt::black && image.pixelColor(x, y + 2) == Qt::black;
    }
    return tops;
}

int pixelsInColumn(const PlotSurface& picture, double minute, const QColor& colour) {
    const QImage& image = picture.image();
    const int x = static_cast<int>(picture.toPixel(minute, 0).x());
    int count = 0;
    for (int y = 0; y < image.height(); ++y) count += image.pixelColor(x, y) == colour;
    return count;
}

}  // namespace

TEST(ActogramWindow, ActivityInTheDarkIsDoublePlottedForTheWellAndItsGroupAndSavedAsBmp) {
    OfflineWindow offline;
    writeThreeDays(offline);
    offline.openAcquisition(ThreeDays);
    Frm_offline& window = *offline.window;
    offline.doubleClick(window.lstgrup, "A1");  // group 1 "Control"
    window.cmdactogram->click();

    EXPECT_EQ(window.viewMode(), Frm_offline::ViewMode::Actogram);
    EXPECT_EQ(window.cmdactogram->text(), "[Actogram]");
    EXPECT_EQ(window.Cmd_leegroups->text(), "Group Activity");
    EXPECT_EQ(window.cmdchannels->text(), "Channel Signal");
    EXPECT_TRUE(offline.dialogs.shown.empty());
    // 02:15 of days 1 to 3 on the right of lines 0 to 2, in both actograms.
    const double nightRight = MinutesPerDay + 135.0;
    EXPECT_EQ(barTopsAt(*window.Picreal, nightRight), 6);
    // 13:15: lit and still.
    const double noonRight = MinutesPerDay + 795.0;
    EXPECT_EQ(barTopsAt(*window.Picreal, noonRight), 0);
    EXPECT_GT(pixelsInColumn(*window.Picreal, noonRight, ActogramLightShade), 0);
    EXPECT_EQ(pixelsInColumn(*window.Picreal, noonRight, ActogramDarkShade), 0);
    EXPECT_GT(pixelsInColumn(*window.Picreal, nightRight, ActogramDarkShade), 0);

    // A well of no group: only its own actogram.
    window.combogrup->setCurrentIndex(window.combogrup->count() - 1);  // "999_Free"
    offline.doubleClick(window.lstgrup, "C1");
    EXPECT_EQ(window.viewMode(), Frm_offline::ViewMode::Actogram);
    EXPECT_EQ(barTopsAt(*window.Picreal, nightRight), 3);

    window.bmpexporta->trigger();
    const std::filesystem::path image = offline.folder / "image1.bmp";
    ASSERT_EQ(offline.host.opened, std::vector<std::filesystem::path>{image});
    EXPECT_EQ(QImage(QString::fromStdString(image.string())).convertToFormat(QImage::Format_RGB32),
              window.Picreal->image());

    window.Cmd_leegroups->click();
    EXPECT_EQ(window.cmdactogram->text(), "Actogram");
    EXPECT_EQ(window.Cmd_leegroups->text(), "[Group Activity]");
}

TEST(ActogramWindow, AnUnreadableFolderIsReportedOnceAndLeavesThePictureBlank) {
    OfflineWindow offline;
    AcquisitionBuilder(offline.project() / ThreeDays).append({record(5, {{0, 4}})});  // no setup copy
    offline.openAcquisition(ThreeDays);
    Frm_offline& window = *offline.window;
    const std::size_t before = offline.dialogs.shown.size();

    window.cmdactogram->click();
    window.resize(1100, 700);  // redraws the view
    QApplication::processEvents();
    window.cmdactogram->click();

    ASSERT_EQ(offline.dialogs.shown.size(), before + 1);
    EXPECT_NE(offline.dialogs.shown.back().find("setup.dat"), std::string::npos) << offline.dialogs.shown.back();
    EXPECT_EQ(offline.pixelsOf(Qt::white), window.Picreal->width() * window.Picreal->height());
}
