// What the operator waits for at the main window, timed on the real clock
// with the real host (splash timer, pauses) and the simulated instrument on a
// pty: launch to a usable main window, the first and a later Setup open, and
// a recording's start with its auto calibration. Beside each time, the longest
// gap between two ticks of a 20 ms timer while it ran: how long the window
// stood frozen. One iteration each: a start-up takes seconds.

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QTimer>
#include <cstdlib>
#include <memory>

#include "ScriptedDialogs.h"
#include "SimulatedInstrument.h"
#include "TempFolder.h"
#include "acquisition/Acquisition.h"
#include "acquisition/NewProgramFolder.h"
#include "store/PlateFormat.h"
#include "store/ProgramFolderInit.h"
#include "ui/common/QtHost.h"
#include "ui/main/Frm_Main.h"
#include "ui/setup/Frm_setup.h"
#include "ui/splash/Frm_Init.h"

namespace zorvex {
namespace {

// The longest wait between two turns of the event loop, seen by a 20 ms timer.
class LoopWatch {
public:
    LoopWatch() {
        timer_.setInterval(20);
        QObject::connect(&timer_, &QTimer::timeout, [this] {
            const qint64 now = clock_.elapsed();
            longestGapMs_ = std::max(longestGapMs_, now - lastMs_);
            lastMs_ = now;
            ++ticks_;
        });
        clock_.start();
        timer_.start();
    }
    /// Counts the time since the last tick too, as a loop frozen up to now.
    qint64 longestGapMs() const { return std::max(longestGapMs_, clock_.elapsed() - lastMs_); }
    int ticks() const { return ticks_; }

private:
    QTimer timer_;
    QElapsedTimer clock_;
    qint64 lastMs_ = 0;
    qint64 longestGapMs_ = 0;
    int ticks_ = 0;
};

// Sees the end of a window's first paint after reset(): the window's own
// paint event comes before its children's, so it waits for the loop's next turn.
class PaintWatch : public QObject {
public:
    explicit PaintWatch(QWidget* window) { window->installEventFilter(this); }
    void reset() { painted_ = false; }
    bool done() const { return painted_; }
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Paint) painted_ = true;
        return false;
    }

private:
    bool painted_ = false;
};

struct BenchProgram {
    test::TempFolder folder;
    test::ScriptedDialogs dialogs;
    QtHost host;
    test::SimulatedInstrument instrument;
    Workspace workspace;
    std::unique_ptr<InstrumentSession> session;
    std::unique_ptr<Frm_Main> window;

    BenchProgram() {
        if (initProgramFolder(folder.path(), findDataFolder())) std::abort();
        workspace.programFolder = folder.path();
        PortMap ports = test::missingDevices(folder.path());
        ports.setDevice(4, instrument.path());
        session = std::make_unique<InstrumentSession>(ports);
    }

    void open() { window = std::make_unique<Frm_Main>(workspace, *session, dialogs, host, ""); }

    /// Runs the loop until `done`, at most `limitMs`.
    static bool runUntil(const std::function<bool()>& done, int limitMs = 30000) {
        QElapsedTimer clock;
        clock.start();
        while (!done() && clock.elapsed() < limitMs) QApplication::processEvents(QEventLoop::AllEvents, 5);
        return done();
    }

    bool usable() const { return window->isVisible() && !window->splashWindow()->isVisible(); }
    bool started() const { return usable() && window->operatingMode() == OperatingMode::Online; }
};

void BM_LaunchToUsableWindow(benchmark::State& state) {
    for (auto _ : state) {
        BenchProgram program;
        LoopWatch watch;
        QElapsedTimer clock;
        clock.start();
        // Seen from a timer of the window's loop: the search runs in that
        // loop's turns, so a check after them would see only its end.
        double usableMs = -1;
        QTimer seen;
        seen.setInterval(5);
        QObject::connect(&seen, &QTimer::timeout, [&] {
            if (usableMs < 0 && program.usable()) usableMs = static_cast<double>(clock.elapsed());
        });
        seen.start();
        program.open();
        if (!program.window->startUp()) std::abort();
        program.runUntil([&] { return program.started(); });
        if (usableMs < 0) usableMs = static_cast<double>(clock.elapsed());
        state.counters["usable_ms"] = usableMs;
        state.counters["online_ms"] = static_cast<double>(clock.elapsed());
        state.counters["longest_gap_ms"] = static_cast<double>(watch.longestGapMs());
        state.SetIterationTime(usableMs / 1000.0);
    }
}
BENCHMARK(BM_LaunchToUsableWindow)->Iterations(1)->UseManualTime()->Unit(benchmark::kMillisecond);

void BM_SetupOpen(benchmark::State& state) {
    for (auto _ : state) {
        BenchProgram program;
        program.open();
        if (!program.window->startUp() || !program.runUntil([&] { return program.started(); })) std::abort();
        if (state.range(0) == 384) {
            // A screening plate: every well of z384 its own group.
            Workspace& workspace = program.workspace;
            workspace.setup.Plate_format = "z384";
            if (!loadPlateFormat(workspace.plate, workspace.programFolder, "z384").ok) std::abort();
            for (int c = 0; c < ChannelCount; ++c) {
                workspace.channels.Group[static_cast<std::size_t>(c)] = c;
                workspace.groups.Name[static_cast<std::size_t>(c)] = "Well " + std::to_string(c);
            }
        }
        double times[2] = {0, 0};
        PaintWatch painted(program.window->setupWindow());
        for (double& time : times) {
            QElapsedTimer clock;
            clock.start();
            painted.reset();
            program.window->CmdSetup->click();
            // Until the window has painted itself once (a display maps it first).
            program.runUntil([&] { return painted.done(); }, 10000);
            time = static_cast<double>(clock.elapsed());
            program.window->setupWindow()->CmdMain->click();
            QApplication::processEvents();
        }
        state.counters["first_ms"] = times[0];
        state.counters["later_ms"] = times[1];
        state.SetIterationTime(times[0] / 1000.0);
    }
}
// Groups of the demo plate (8 rows of z96f), then one group per well of z384.
BENCHMARK(BM_SetupOpen)->Arg(8)->Arg(384)->Iterations(1)->UseManualTime()->Unit(benchmark::kMillisecond);

// A recording of the demo project: auto calibration and auto zero are on.
void BM_StartWithCalibration(benchmark::State& state) {
    for (auto _ : state) {
        BenchProgram program;
        program.open();
        if (!program.window->startUp() || !program.runUntil([&] { return program.started(); })) std::abort();
        program.dialogs.inputs.push_back("bench");
        LoopWatch watch;
        QElapsedTimer clock;
        clock.start();
        // Queued, so the loop that runs the click is the one the timer ticks in.
        QTimer::singleShot(0, program.window->CmdPlay, &QPushButton::click);
        program.runUntil([&] { return program.window->Timeradq->isActive(); });
        const double ms = static_cast<double>(clock.elapsed());
        state.counters["start_ms"] = ms;
        state.counters["longest_gap_ms"] = static_cast<double>(watch.longestGapMs());
        state.counters["loop_ticks"] = watch.ticks();
        state.SetIterationTime(ms / 1000.0);
        program.window->CmdStop->click();
    }
}
BENCHMARK(BM_StartWithCalibration)->Iterations(1)->UseManualTime()->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace zorvex

int main(int argc, char** argv) {
    ::setenv("QT_QPA_PLATFORM", "offscreen", 0);  // QT_QPA_PLATFORM=xcb times a real display
    QApplication application(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
