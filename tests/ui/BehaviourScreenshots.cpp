// Renders the behaviour window on two synthetic 96-well plates at 1280 x 800,
// and the three figures of sleep and rhythm, into the folder named on the
// command line:
//   behaviour_screenshots docs/screenshots
// giving behaviour-sleep.png (4 days under lights 9 to 21), behaviour-rhythm.png
// (6 days in the dark, wild type at 24 h, the mutant at 25.5 h),
// figure-sleep.png, figure-periodogram.png and figure-period-map.png.

#include <QApplication>
#include <cmath>
#include <cstdlib>
#include <iostream>
#include <numbers>
#include <random>
#include <unistd.h>

#include "AcquisitionBuilder.h"
#include "ManualHost.h"
#include "ScriptedDialogs.h"
#include "TempFolder.h"
#include "figures/Figures.h"
#include "ui/report/BehaviourWindow.h"

namespace {

using namespace zorvex;

constexpr int Rows = 8;
constexpr int Columns = 12;

// Wells of columns 1 to 6 are group 1 "Wild type", the others group 2 "per mutant".
std::filesystem::path plate(const std::filesystem::path& programFolder, const std::string& stamp, bool lights, int days) {
    std::vector<std::pair<int, int>> wells;
    for (int w = 0; w < Rows * Columns; ++w) wells.emplace_back(w, 0);
    test::writePlateFile(programFolder, "zdemo96", Rows, Columns, wells);
    test::AcquisitionBuilder builder(programFolder / "p00001" / stamp);
    builder.plate("zdemo96").allEnabled().group(1, "Wild type").group(2, "per mutant");
    for (int w = 0; w < Rows * Columns; ++w) builder.channelGroup(w, w / Rows < Columns / 2 ? 1 : 2);
    if (lights) builder.dailyLight(9, 21);
    builder.writeSideFiles();
    std::mt19937 random(lights ? 1 : 2);
    std::vector<ActivityRecord> records;
    for (int m = 0; m < days * 1440; ++m) {
        ActivityRecord record;
        record.elapsedMinutes = m;
        record.temperatureTenths = 265;
        const double clock = std::fmod(8.0 + m / 60.0, 24.0);
        for (int w = 0; w < Rows * Columns; ++w) {
            const bool mutant = w / Rows >= Columns / 2;
            double rate = 0;
            if (lights) {
                rate = clock >= 9 && clock < 21 ? (mutant ? 2.0 : 2.5) : (mutant ? 0.45 : 0.25);
            } else {
                const double period = mutant ? 25.5 : 24.0;
                rate = 1.3 * (1 + 0.9 * std::cos(2 * std::numbers::pi * (m / 60.0 - 6.0) / period));
            }
            record.counts[static_cast<std::size_t>(w)] = static_cast<std::int16_t>(std::poisson_distribution<int>(rate)(random));
        }
        records.push_back(record);
    }
    builder.append(records);
    return builder.folder();
}

bool shoot(QWidget& window, const std::filesystem::path& file) {
    QApplication::processEvents();
    if (window.grab().save(QString::fromStdString(file.string()), "PNG")) return true;
    std::cerr << "cannot write " << file << "\n";
    return false;
}

bool figure(FigureKind kind, const std::filesystem::path& acquisition, const std::filesystem::path& programFolder,
            const std::filesystem::path& file) {
    FigureRequest request;
    request.kind = kind;
    request.acquisitionFolder = acquisition;
    request.programFolder = programFolder;
    request.output = file;
    const FigureOutcome outcome = writeFigure(request);
    if (!outcome.written) std::cerr << outcome.message << "\n";
    return outcome.written;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::cerr << "usage: behaviour_screenshots OUTPUT_FOLDER\n";
        return 2;
    }
    ::setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QApplication application(argc, argv);
    const std::filesystem::path output = std::filesystem::absolute(argv[1]);
    // The folder text on screen reads "zorvex/p00001/...", relative to a scratch folder.
    test::TempFolder scratch;
    if (::chdir(scratch.path().c_str()) != 0) return 1;
    const std::filesystem::path programFolder = "zorvex";
    std::filesystem::create_directories(programFolder);
    const auto daylight = plate(programFolder, "02032026_0800", true, 4);
    const auto dark = plate(programFolder, "09032026_0800", false, 6);

    test::ScriptedDialogs dialogs;
    test::ManualHost host;
    BehaviourWindow window(programFolder, dialogs, host);
    window.resize(1280, 800);
    window.show();
    window.openOn(daylight);
    window.cmd_sleep->click();
    bool done = shoot(window, output / "behaviour-sleep.png");
    window.openOn(dark);
    window.tab_behaviour->setCurrentIndex(1);
    window.cmd_periods->click();
    done = shoot(window, output / "behaviour-rhythm.png") && done;
    for (const std::string& message : dialogs.shown) std::cerr << message << "\n";
    done = figure(FigureKind::Sleep, daylight, programFolder, output / "figure-sleep.png") && done;
    done = figure(FigureKind::Periodogram, dark, programFolder, output / "figure-periodogram.png") && done;
    done = figure(FigureKind::PeriodMap, dark, programFolder, output / "figure-period-map.png") && done;
    return done && dialogs.shown.empty() ? 0 : 1;
}
