// Renders the start-up splash (splash.png), the main window online and idle
// with the calibration buttons shown (main-idle.png), and the main window
// during a named acquisition on the simulated instrument (main-acquisition.png),
// at 1280 x 800, with the parts the guide discusses cut out of them so that
// their labels read at the guide's page width (main-controls.png,
// main-recording.png), into the folder named on the command line:
//   main_screenshot docs/screenshots
// It runs offscreen unless QT_QPA_PLATFORM names another platform (xcb under Xvfb).

#include <QApplication>
#include <QStatusBar>
#include <cstdlib>
#include <iostream>

#include "MainProgram.h"
#include "acquisition/Acquisition.h"
#include "ui/splash/Frm_Init.h"

namespace {

bool save(QWidget& widget, const QString& folder, const char* name) {
    QApplication::processEvents();
    if (widget.grab().save(folder + "/" + name, "PNG")) return true;
    std::cerr << "main_screenshot: cannot write " << name << " in " << folder.toStdString() << "\n";
    return false;
}

// The part of `window` that holds `parts`, with a little room round them;
// down to the window's bottom edge (its status line) when `toBottom`.
bool saveCrop(QWidget& window, std::initializer_list<QWidget*> parts, bool toBottom, const QString& folder,
              const char* name) {
    constexpr int RoomPixels = 6;
    QRect area;
    for (QWidget* part : parts) area |= QRect(part->mapTo(&window, QPoint(0, 0)), part->size());
    if (toBottom) area.setBottom(window.height());
    area = area.adjusted(-RoomPixels, -RoomPixels, RoomPixels, RoomPixels).intersected(window.rect());
    QApplication::processEvents();
    if (window.grab(area).save(folder + "/" + name, "PNG")) return true;
    std::cerr << "main_screenshot: cannot write " << name << " in " << folder.toStdString() << "\n";
    return false;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::cerr << "usage: main_screenshot OUTPUT_FOLDER\n";
        return 2;
    }
    ::setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QApplication application(argc, argv);
    using namespace zorvex;
    const QString output = QString::fromLocal8Bit(argv[1]);

    Frm_Init splash;
    splash.showNews("STARTING........... Opening Communication Port...");
    if (!save(splash, output, "splash.png")) return 1;

    test::OnlineProgram program("", [](ProjectSetup& setup) {
        setup.RT_Buffer = 400;
        setup.Aq_lapse = 600;
        setup.Menu1_Cal = 1;
        setup.Menu2_Light = 1;
        setup.Menu3_Temp = 1;
    });
    if (!program.start()) {
        std::cerr << "main_screenshot: the simulated instrument was not found\n";
        return 1;
    }
    Frm_Main& window = *program.window;
    window.resize(1280, 800);
    // Manual calibration with both automatic steps off shows Fast CALIB, Fast ZERO and Read Blank.
    window.mncal_on->trigger();
    window.mnCalibra->trigger();
    window.mnZero->trigger();
    window.lbl_mode->setText("ONLINE on COM4 (/dev/ttyUSB3)");  // the default device, not this run's pty
    if (!save(window, output, "main-idle.png")) return 1;
    if (!saveCrop(window, {window.frm_mn1, window.frm_mn2, window.frm_mn3, window.combo_minutes}, false, output,
                  "main-controls.png")) {
        return 1;
    }
    window.mncal_off->trigger();

    window.Txt_description->setPlainText("Zebrafish larvae, 7 dpf, one per well; 14 h light / 10 h dark.");
    window.combogrup->setCurrentIndex(1);
    emit window.combogrup->activated(1);
    QListWidgetItem well("B3.0");
    emit window.lstgrup->itemActivated(&well);
    program.dialogs.inputs = {"Larvae day 1"};
    window.CmdPlay->click();
    // Two bins closed and the sweep half way through the third: every part of the view is drawn.
    const bool running = program.runUntil([&] {
        return window.acquisition().binsClosed() >= 2 && window.acquisition().slot() > 200;
    });
    // A zoomed view of the last part of the sweep, 47 minutes into the lapse.
    program.host.advanceMinutes(47);
    for (int step = 0; step < 8; ++step) window.Cmdzoom_plus->click();
    program.runUntil([&] { return window.acquisition().slot() > 300; });
    window.Timeradq->stop();
    if (!running) {
        std::cerr << "main_screenshot: the acquisition did not run\n";
        return 1;
    }
    // The status line names the default program folder, not this run's temporary one.
    QString status = window.statusBar()->currentMessage();
    status.replace(QString::fromStdString(program.folder.path().string()), "~/.local/share/zorvex");
    window.statusBar()->showMessage(status);
    window.lbl_mode->setText("ONLINE on COM4 (/dev/ttyUSB3)");
    if (!save(window, output, "main-acquisition.png")) return 1;
    // The activity panel, the buttons under it and the start of the status line.
    return saveCrop(window, {window.Picact, window.CmdPlay, window.Cmdreport}, true, output, "main-recording.png")
               ? 0
               : 1;
}
