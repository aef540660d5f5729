// Renders the screening window after a screen of the plate of
// ScreenedPlate.h (vehicle, paralysed control, eight doses of a drug) at
// 1280 x 800, and two of the screen's figures as the screen writes them,
// into the folder named on the command line:
//   screening_screenshots docs/screenshots
// giving screening.png, screening-curves.png and screening-plate.png.

#include <QApplication>
#include <cstdlib>
#include <iostream>
#include <unistd.h>

#include "ManualHost.h"
#include "ScreenedPlate.h"
#include "ScriptedDialogs.h"
#include "TempFolder.h"
#include "common/Files.h"
#include "ui/report/ScreeningWindow.h"

int main(int argc, char** argv) {
    if (argc != 2) {
        std::cerr << "usage: screening_screenshots OUTPUT_FOLDER\n";
        return 2;
    }
    ::setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QApplication application(argc, argv);
    using namespace zorvex;

    const std::filesystem::path output = std::filesystem::absolute(argv[1]);
    // The folder text on screen reads "zorvex/p00001/...", relative to a scratch folder.
    test::TempFolder scratch;
    if (::chdir(scratch.path().c_str()) != 0) return 1;
    const std::filesystem::path programFolder = "zorvex";
    std::filesystem::create_directories(programFolder);
    test::ScriptedDialogs dialogs;
    test::ManualHost host;
    const std::filesystem::path acquisition = test::writeScreenedPlate(programFolder);
    ScreeningWindow window(programFolder, dialogs, host);
    window.resize(1280, 800);
    window.openOn(acquisition);
    window.txt_from->setValue(2);
    window.txt_to->setValue(4);
    window.cmb_figures->setCurrentText("PNG");
    window.cmd_screen->click();
    QApplication::processEvents();
    if (!dialogs.shown.empty()) {
        std::cerr << dialogs.shown.front() << "\n";
        return 1;
    }
    if (!window.grab().save(QString::fromStdString((output / "screening.png").string()), "PNG")) {
        std::cerr << "cannot write screening.png in " << output << "\n";
        return 1;
    }
    const std::filesystem::path results = acquisition / "screening";
    const bool copied = copyFile(results / "dose_response.png", output / "screening-curves.png") &&
                        copyFile(results / "plate_map.png", output / "screening-plate.png");
    if (!copied) std::cerr << "cannot copy the figures into " << output << "\n";
    return copied ? 0 : 1;
}
