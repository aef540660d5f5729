// The window stays usable while the instrument work runs: the start-up's port
// search and factory read go on behind the shown main window, and the
// calibration at Start lets the event loop turn between every beam it writes.
// Times are not asserted (bench/ui/StartupBench.cpp measures them); what is
// asserted is that the loop turned while the work was still going.

#include <gtest/gtest.h>

#include <QEventLoop>
#include <QTimer>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "MainProgram.h"
#include "acquisition/Acquisition.h"
#include "analysis/Calibration.h"
#include "ui/splash/Frm_Init.h"

using namespace zorvex;
using test::OnlineProgram;

namespace {

const char* const SearchRefusal =
    "The instrument is still being searched for (see the line at the bottom of the window). "
    "Please wait until it says ONLINE or OFFLINE.";

}  // namespace

TEST(MainResponsiveness, WindowShowsAndAnswersBeforeThePortSearchEnds) {
    OnlineProgram program;
    Frm_Main& window = *program.window;
    // The search's waits take real time in the event loop, as with the
    // program's own host: with its 46 waits and turns it outlasts the splash's second.
    program.host.onYield = [] {
        QEventLoop loop;
        QTimer::singleShot(50, &loop, &QEventLoop::quit);
        loop.exec();
    };
    int ticksWhileSearching = 0;
    int ticksWithWindowUp = 0;
    bool startTried = false;
    QString modeLineWhileSearching;
    // A timer of the window's own loop: it only ticks when the loop turns.
    QTimer watch;
    watch.setInterval(20);
    QObject::connect(&watch, &QTimer::timeout, [&] {
        if (!window.searchingInstrument()) return;
        ++ticksWhileSearching;
        if (!window.isVisible()) return;
        ++ticksWithWindowUp;
        if (!startTried) {
            startTried = true;
            modeLineWhileSearching = window.lbl_mode->text();
            window.CmdPlay->click();  // the operator tries Start at once
        }
    });
    watch.start();

    ASSERT_TRUE(window.startUp());
    EXPECT_TRUE(window.searchingInstrument());  // startUp() returned before the search
    ASSERT_TRUE(OnlineProgram::finishStartUp(window));
    program.host.onYield = nullptr;

    EXPECT_GT(ticksWhileSearching, 10);
    EXPECT_GT(ticksWithWindowUp, 5);
    EXPECT_TRUE(startTried);
    EXPECT_TRUE(modeLineWhileSearching.startsWith("SEARCHING for the instrument"));
    EXPECT_EQ(program.dialogs.shown, std::vector<std::string>{SearchRefusal});
    // The refused Start changed nothing; the search then ended online.
    EXPECT_EQ(window.acquisition().state(), AcquisitionState::Stopped);
    EXPECT_EQ(window.operatingMode(), OperatingMode::Online);
    EXPECT_TRUE(program.session->factory.FactoryCalValid);
    EXPECT_TRUE(window.isVisible());
    EXPECT_FALSE(window.splashWindow()->isVisible());
    EXPECT_TRUE(window.lbl_mode->text().startsWith("ONLINE on COM4"));
}

TEST(MainResponsiveness, SearchEndedBeforeTheSplashShowsTheWindowAtOnce) {
    OnlineProgram program;  // its manual clock makes the search instant
    ASSERT_TRUE(program.start());
    EXPECT_TRUE(program.window->isVisible());
    EXPECT_FALSE(program.window->splashWindow()->isVisible());
    EXPECT_FALSE(program.window->splashWindow()->Timerinicio->isActive());
    EXPECT_EQ(program.window->splashWindow()->LblNews->text(), "STARTING........... Communication OK...");
}

namespace {

// What the calibration had shown each time it let the event loop turn.
struct CalibrationTurns {
    std::vector<int> initialWrites;  ///< the beam of "Writing calibration...<beam>" at each turn
    int passTurns = 0;               ///< turns after the first "Calibrating..." line
    int writtenInPasses = 0;         ///< beams written by the passes, from the "[n]" of each line
    int loopTicks = 0;               ///< ticks of a 20 ms timer of the window's loop
};

void watchCalibration(OnlineProgram& program, CalibrationTurns& turns) {
    Frm_Main& window = *program.window;
    program.host.onYield = [&window, &turns, lastPassLine = std::string(), seenPass = false]() mutable {
        QApplication::processEvents();  // what the program's host does in a yield
        const std::string line = window.lbl_autochannel->text().toStdString();
        const std::string writing = "Writing calibration...";
        const std::string calibrating = "Calibrating... [";
        if (line.rfind(writing, 0) == 0) {
            turns.initialWrites.push_back(std::stoi(line.substr(writing.size())));
        } else if (line.rfind(calibrating, 0) == 0) {
            ++turns.passTurns;
            // A new pass's line: its number counts the beams the pass before wrote.
            if (line != lastPassLine && seenPass) turns.writtenInPasses += std::stoi(line.substr(calibrating.size()));
            seenPass = true;
            lastPassLine = line;
        } else {
            lastPassLine = line;  // "Acquiring..." between two passes
        }
    };
}

}  // namespace

TEST(MainResponsiveness, CalibrationAtStartLetsTheLoopTurnBetweenEveryBeamItWrites) {
    OnlineProgram program;
    ASSERT_TRUE(program.start());
    Frm_Main& window = *program.window;
    ASSERT_TRUE(window.options().autoCalibration);
    CalibrationTurns turns;
    watchCalibration(program, turns);
    QTimer watch;
    watch.setInterval(20);
    QObject::connect(&watch, &QTimer::timeout, [&] {
        if (!window.frm_autotext->isHidden()) ++turns.loopTicks;
    });
    watch.start();
    program.dialogs.inputs = {"Calibrated run"};

    window.CmdPlay->click();

    ASSERT_EQ(window.acquisition().state(), AcquisitionState::Running);
    // The initial write turned the loop before every one of the 384 beams, in order.
    ASSERT_EQ(turns.initialWrites.size(), static_cast<std::size_t>(ChannelCount));
    for (int beam = 0; beam < ChannelCount; ++beam) EXPECT_EQ(turns.initialWrites[static_cast<std::size_t>(beam)], beam);
    // Every pass turned it at least once a beam it wrote, and once at its end.
    EXPECT_GT(turns.writtenInPasses, 0);
    EXPECT_GT(turns.passTurns, turns.writtenInPasses);
    EXPECT_EQ(window.lbl_autochannel->text(), "AutoZero... <29>");
    EXPECT_GT(turns.loopTicks, 0);
}

namespace {

// Calls `act` with each beam the calibration's initial write is about to
// write, at the loop's turn before it; returns where the last beam is kept.
std::shared_ptr<int> onInitialWrite(OnlineProgram& program, std::function<void(int)> act) {
    auto lastBeam = std::make_shared<int>(-1);
    Frm_Main& window = *program.window;
    program.host.onYield = [&window, lastBeam, act = std::move(act)] {
        QApplication::processEvents();
        const std::string writing = "Writing calibration...";
        const std::string line = window.lbl_autochannel->text().toStdString();
        if (line.rfind(writing, 0) != 0) return;
        *lastBeam = std::stoi(line.substr(writing.size()));
        act(*lastBeam);
    };
    return lastBeam;
}

}  // namespace

TEST(MainResponsiveness, StopDuringCalibrationEndsItAtTheNextBeam) {
    OnlineProgram program;
    ASSERT_TRUE(program.start());
    Frm_Main& window = *program.window;
    auto lastBeam = onInitialWrite(program, [&](int beam) {
        if (beam == 100 && window.acquisition().state() == AcquisitionState::Running) window.CmdStop->click();
    });
    program.dialogs.inputs = {"Stopped run"};

    window.CmdPlay->click();

    EXPECT_EQ(*lastBeam, 100);  // no beam was written after the stop
    EXPECT_EQ(window.acquisition().state(), AcquisitionState::Stopped);
    EXPECT_FALSE(window.Timeradq->isActive());
    EXPECT_TRUE(window.frm_autotext->isHidden());
    // Only the name was asked: no communication error, no write error.
    EXPECT_EQ(program.dialogs.shown.size(), 1u);
    EXPECT_TRUE(window.CmdPlay->isEnabled());
}

TEST(MainResponsiveness, ExitDuringCalibrationEndsItWithoutAWriteToAClosedPort) {
    OnlineProgram program;
    ASSERT_TRUE(program.start());
    Frm_Main& window = *program.window;
    auto lastBeam = onInitialWrite(program, [&](int beam) {
        if (beam == 50 && !window.leaving()) window.close();  // the operator closes the window
    });
    program.dialogs.inputs = {"Closed run"};
    program.dialogs.answers = {Answer::No};  // not saving the project at exit

    window.CmdPlay->click();

    EXPECT_EQ(*lastBeam, 50);
    EXPECT_TRUE(window.leaving());
    EXPECT_EQ(window.acquisition().state(), AcquisitionState::Stopped);
    EXPECT_FALSE(window.Timeradq->isActive());
    EXPECT_FALSE(program.session->comm.isOpen(4));
    // The name and the exit question; no communication error after the port closed.
    ASSERT_EQ(program.dialogs.shown.size(), 2u);
    EXPECT_EQ(program.dialogs.shown[1].rfind("Update values to project", 0), 0u);
}

TEST(MainResponsiveness, PauseDuringCalibrationIsNotOfferedAndTheRunStartsWhole) {
    OnlineProgram program;
    ASSERT_TRUE(program.start());
    Frm_Main& window = *program.window;
    bool pauseOffered = false;
    onInitialWrite(program, [&](int beam) {
        if (beam != 100) return;
        pauseOffered = window.CmdPause->isEnabled();
        window.CmdPause->click();  // a click on a disabled button does nothing
    });
    program.dialogs.inputs = {"Paused run"};

    window.CmdPlay->click();

    EXPECT_FALSE(pauseOffered);
    EXPECT_EQ(window.acquisition().state(), AcquisitionState::Running);
    EXPECT_TRUE(window.Timeradq->isActive());
    EXPECT_TRUE(window.CmdPause->isEnabled());
    window.CmdStop->click();
}
