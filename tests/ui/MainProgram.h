#pragma once
// The main window on a fresh program folder with the simulated instrument on
// a pty, and pixel counts for checking what its surfaces drew.

#include <QApplication>
#include <QElapsedTimer>
#include <functional>
#include <memory>
#include <stdexcept>

#include "ManualHost.h"
#include "ScriptedDialogs.h"
#include "SimulatedInstrument.h"
#include "TempFolder.h"
#include "acquisition/NewProgramFolder.h"
#include "device/COM_Module.h"
#include "store/ProgramFolderInit.h"
#include "store/ProjectFolders.h"
#include "ui/main/Frm_Main.h"

namespace zorvex::test {

/// How long a window test lets the event loop turn for something that should
/// happen: a bound on a hang, not a speed, so it holds on a debug build with
/// coverage counters on a loaded machine.
constexpr int WaitLimitMs = 60000;

/// The program on a fresh program folder (demo project 1 on z96f) with the
/// simulated instrument on COM4; `adjust` edits project 1 before start-up.
struct OnlineProgram {
    TempFolder folder;
    ScriptedDialogs dialogs;
    ManualHost host;
    PluggableInstrument instrument{folder / "ttyUSB4"};  // a pulled pty's number is soon another's
    Workspace workspace;
    std::unique_ptr<InstrumentSession> session;
    std::unique_ptr<Frm_Main> window;

    explicit OnlineProgram(const std::string& commandLine = "",
                           const std::function<void(ProjectSetup&)>& adjust = {}) {
        if (auto failure = initProgramFolder(folder.path(), findDataFolder())) throw std::runtime_error(*failure);
        if (adjust) {
            Workspace project;
            project.programFolder = folder.path();
            project.config.Actual_Project_Number = 1;
            project.projectFolder = projectFolderPath(folder.path(), 1);
            loadProject(project, 1, dialogs);
            adjust(project.setup);
            if (!saveProject(project)) throw std::runtime_error("project 1 not saved");
            dialogs.shown.clear();
        }
        openWindow(commandLine);
    }

    /// The program ended (port closed, nothing saved) and started again on
    /// the same folder and instrument; call start() next.
    void restart() {
        session->comm.CommClose(session->port);
        window.reset();
        workspace = Workspace{};
        openWindow("");
    }

    void openWindow(const std::string& commandLine) {
        workspace.programFolder = folder.path();
        PortMap ports = missingDevices(folder.path());
        ports.setDevice(4, instrument.path());
        // As the program reads it at start-up and again at each try after a loss.
        if (!writePortMap(folder.path(), ports)) throw std::runtime_error("comports.dat not written");
        session = std::make_unique<InstrumentSession>(ports);
        window = std::make_unique<Frm_Main>(workspace, *session, dialogs, host, commandLine);
    }

    bool start() {
        return window->startUp() && finishStartUp(*window) && window->operatingMode() == OperatingMode::Online;
    }

    /// Runs the event loop until the start-up's search has ended and its
    /// window shows (at most the wait limit); false when it did not.
    static bool finishStartUp(const Frm_Main& main) {
        QElapsedTimer clock;
        clock.start();
        while (!main.startUpDone() && clock.elapsed() < WaitLimitMs) QApplication::processEvents();
        return main.startUpDone();
    }

    /// Lets the acquisition timer run flat out until `done` or the wait limit passes.
    bool runUntil(const std::function<bool()>& done) {
        window->Timeradq->setInterval(0);
        QElapsedTimer clock;
        clock.start();
        while (!done() && clock.elapsed() < WaitLimitMs) QApplication::processEvents();
        return done();
    }

    /// The output state the instrument last received.
    int outputState() {
        DeviceQuery(session->comm, session->port, RequestTemperature, 0, ModeRequest);
        return instrument.instrument.outputState();
    }

    /// Leaves a box as the operator does.
    static void type(QLineEdit* box, const QString& text) {
        box->setText(text);
        emit box->editingFinished();
    }
};

inline bool isRed(QRgb pixel) { return qRed(pixel) > 200 && qGreen(pixel) < 60 && qBlue(pixel) < 60; }
inline bool isGrey(QRgb pixel) { return qRed(pixel) == 128 && qGreen(pixel) == 128 && qBlue(pixel) == 128; }

inline int countPixels(const QImage& image, bool (*match)(QRgb)) {
    int count = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) count += match(image.pixel(x, y)) ? 1 : 0;
    }
    return count;
}

}  // namespace zorvex::test
