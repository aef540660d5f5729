#include "cli/RecordCommand.h"

#include <QEventLoop>
#include <QTimer>
#include <csignal>
#include <memory>
#include <functional>
#include <optional>
#include <set>

#include "acquisition/Acquisition.h"
#include "acquisition/BeamSetup.h"
#include "acquisition/Startup.h"
#include "platform/FastClockHost.h"
#include "platform/LoggedDialogs.h"
#include "cli/ReportArgs.h"
#include "common/Files.h"
#include "common/Text.h"
#include "device/PortMap.h"
#include "figures/OffscreenGui.h"
#include "platform/ProgramFolder.h"
#include "status/RunWatch.h"
#include "store/ProgramConfig.h"

namespace zorvex {

namespace {

constexpr long long ReportBinMinutes = 30;  // the main window's bin-size box at start-up

volatile std::sig_atomic_t stopRequested = 0;

extern "C" void requestStop(int number) { stopRequested = number; }

std::string signalName(int number) {
    return number == SIGTERM ? "SIGTERM" : number == SIGHUP ? "SIGHUP" : "SIGINT";
}

// The calibration and zero progress on stderr: the first line of each kind
// of step ("Writing calibration", "Calibrating", "AutoZero") under each
// banner, not one per beam or pass.
class ConsoleProgress : public SetupProgress {
public:
    explicit ConsoleProgress(std::ostream& err) : err_(err) {}
    void showPanel(const std::string& banner) override {
        stepsShown_.clear();
        err_ << banner << std::endl;
    }
    void label(const std::string& text) override {
        if (!stepsShown_.insert(text.substr(0, text.find_first_of(".[<(0123456789"))).second) return;
        err_ << text << std::endl;
    }

private:
    std::ostream& err_;
    std::set<std::string> stepsShown_;
};

// The acquisition's owner on a console: the timer is a flag the loop below
// reads, each record is one line, the report is written, not shown, and what
// the cycle has to tell goes to the error stream without waiting.
class ConsoleOwner : public AcquisitionOwner {
public:
    ConsoleOwner(const Workspace& workspace, Dialogs& dialogs, Host& host, std::ostream& out, std::ostream& err)
        : workspace_(workspace), dialogs_(dialogs), host_(host), out_(out), err_(err) {}

    void setTimer(bool enabled, int intervalMs) override {
        timerOn = enabled;
        intervalMs_ = intervalMs;
    }
    void binClosed(const BinSummary& summary) override {
        if (watch != nullptr) watch->binClosed(summary);
        out_ << "record " << summary.bin + 1 << " minute " << summary.elapsedMinutes << " temperature "
             << formatFixed(summary.temperature, 1) << " counts " << summary.totalCount;
        if (recording && !summary.recorded) out_ << " (not saved)";
        out_ << std::endl;
    }
    void openReport(const std::filesystem::path& folder) override {
        ReportRequest request;
        request.acquisitionFolder = folder;
        request.programFolder = workspace_.programFolder;
        request.binMinutes = ReportBinMinutes;
        request.options.spacer = host_.listSeparator();
        auto outcome = generateReport(request, dialogs_, host_);
        if (outcome && outcome->file) out_ << "Report: " << outcome->file->string() << "\n";
    }
    void tell(const std::string& message) override { err_ << message << std::endl; }
    void notify(RunEvent event, const std::string& message) override {
        if (watch != nullptr) watch->notify(event, message);
    }
    void showInstrumentWait(const std::string& status) override {
        if (watch != nullptr) watch->instrumentWait(status);
    }
    int intervalMs() const { return intervalMs_; }

    bool timerOn = false;
    bool recording = false;
    RunWatch* watch = nullptr;  ///< the status page and notify command, when asked for

private:
    const Workspace& workspace_;
    Dialogs& dialogs_;
    Host& host_;
    std::ostream& out_;
    std::ostream& err_;
    int intervalMs_ = Acquisition::TimerIntervalMs;
};

// Waits `ms`; while the run is watched, the status page and the notify
// command's processes are served meanwhile, between two ticks.
void waitBetweenTicks(Host& host, RunWatch* watch, int ms) {
    if (watch == nullptr) {
        host.pause(ms);
        return;
    }
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
}

// The console's host: a signal is honoured at the next yield, so the
// calibration, the zero level and a restore of the instrument stop at once
// instead of at their end.
template <class Clock>
class SignalHost : public Clock {
public:
    using Clock::Clock;
    void yield() override {
        if (stopRequested && onSignal) onSignal();
    }
    std::function<void()> onSignal;
};

// Drives the ticks at the timer's interval, as the window's timer would,
// until the acquisition stops by itself or a signal asks to end the program.
void runTimer(Acquisition& acquisition, ConsoleOwner& owner, Host& host) {
    std::int64_t due = host.steadyMs();
    while (acquisition.state() != AcquisitionState::Stopped) {
        if (stopRequested) break;  // the caller shuts down
        if (!owner.timerOn) {
            waitBetweenTicks(host, owner.watch, owner.intervalMs());
            continue;
        }
        if (owner.watch != nullptr) owner.watch->tickStarting();
        acquisition.tick();
        if (owner.watch != nullptr) owner.watch->tickEnded();
        due += owner.intervalMs();
        const std::int64_t wait = due - host.steadyMs();
        if (wait > 0) {
            waitBetweenTicks(host, owner.watch, static_cast<int>(wait));
        } else {
            due = host.steadyMs();  // a slow tick: the timer does not catch up
        }
    }
}

class RecordCommand : public Command {
public:
    RecordCommand()
        : Command({"record", "record an acquisition from the instrument",
                   "Starts the program without windows on the instrument of the configured COM port, and records an "
                   "acquisition of the current project (or --project N) as the main window's Start does, with its "
                   "calibration of the beams and zero level. It runs until the project's lapse ends or "
                   "SIGINT/SIGTERM/SIGHUP (Ctrl-C) stops it, waits for the instrument when it stops answering, "
                   "writes the report at the end of the lapse, switches the outputs off and prints the acquisition "
                   "folder. Messages and the calibration's progress go to standard error; questions take their "
                   "first answer. Each recording's story is in events.log in its folder.",
                   "Exit status: 0 done (the lapse completed, or a signal stopped the run), 1 no start (no "
                   "configuration, or the start was refused), 2 bad usage."}) {}

    void declare(CLI::App& app) override {
        addProgramFolder(app, programFolder_);
        app.add_option("--project", project_, "project number, 0 to 32767 (default: the one in config.dat)")
            ->type_name("N")
            ->check(wholeNumberIn(0, 32767));
        app.add_option("--name", name_,
                       "experiment name (default \"Autorun project\"); an empty name is a monitor run")
            ->type_name("TEXT");
        app.add_option("--description", description_, "experiment description")->type_name("TEXT");
        app.add_option("--minutes", minutes_, "lapse of this run in minutes, 1 to 32767 (default: the project's)")
            ->type_name("M")
            ->check(wholeNumberIn(1, 32767));
        app.add_flag("--no-auto-calibration", noAutoCalibration_, "do not calibrate the beams at the start");
        app.add_flag("--no-auto-zero", noAutoZero_, "do not read the zero level at the start");
        app.add_option("--clock-rate", clockRate_,
                       "run the clock R times as fast (default 1), so that a lapse of M minutes takes M / R: for "
                       "tests and demonstrations on zorvex-sim only, an instrument samples at its own pace")
            ->type_name("R")
            ->check(numberIn(FastClockHost::MinRate, FastClockHost::MaxRate));
        app.add_option("--status-port", statusPort_,
                       "serve the read-only status page on this port, 1 to 65535; 0 for none (default: status.ini "
                       "of the program folder, where the windows' Settings keep it)")
            ->type_name("PORT")
            ->check(wholeNumberIn(0, 65535));
        app.add_option("--status-bind", statusBind_,
                       "the address the status page listens on (default 127.0.0.1, this computer only; any other "
                       "asks for the token in status.token)")
            ->type_name("ADDR");
        app.add_option("--notify", notify_,
                       "a command run for every event the run tells (instrument lost and back, write errors, disk "
                       "low, end, stop, exit), with ZORVEX_EVENT, ZORVEX_TIME, ZORVEX_MESSAGE, ZORVEX_ACQUISITION "
                       "and ZORVEX_PROJECT in its environment; \"\" for none")
            ->type_name("CMD");
    }

    int run(std::ostream& out, std::ostream& err) override;

private:
    std::optional<std::filesystem::path> programFolder_;
    std::optional<std::int16_t> project_;
    std::optional<std::string> name_;
    std::optional<std::string> description_;
    std::optional<std::int16_t> minutes_;
    bool noAutoCalibration_ = false;
    bool noAutoZero_ = false;
    double clockRate_ = 1;
    std::optional<int> statusPort_;
    std::optional<std::string> statusBind_;
    std::optional<std::string> notify_;
};

// The program folder's settings with this command line's on top.
StatusSettings watchSettings(const std::filesystem::path& programFolder, const std::optional<int>& port,
                             const std::optional<std::string>& bind, const std::optional<std::string>& notify) {
    StatusSettings settings = loadStatusSettings(programFolder);
    if (port) settings.port = *port;
    if (bind) settings.bindAddress = *bind;
    if (notify) settings.notifyCommand = *notify;
    return settings;
}

int RecordCommand::run(std::ostream& out, std::ostream& err) {
    SignalHost<FastClockHost> fastHost(clockRate_);
    SignalHost<SystemHost> systemHost;
    Host& host = clockRate_ == 1 ? static_cast<Host&>(systemHost) : fastHost;
    ConsoleDialogs console(err);
    Workspace workspace;
    workspace.programFolder = resolveProgramFolder(programFolder_);
    if (!fileExists(workspace.programFolder / ConfigFileName)) {
        err << "Config file not found: Check correct software installation\n";
        return ExitFailed;
    }
    EventLog log(host);
    log.openProgramLog(workspace.programFolder);
    log.program("zorvex-cli record in " + workspace.programFolder.string());
    LoggedDialogs dialogs(console, log);
    loadConfiguration(workspace, dialogs);
    if (project_) {
        workspace.config.Actual_Project_Number = *project_;
        workspace.projectFolder = chooseProjectFolder(workspace.programFolder, workspace.config.Actual_Project_Number);
    }
    loadProject(workspace, workspace.config.Actual_Project_Number, dialogs);
    AcquisitionOptions options = startupOptions(workspace.setup);
    // The windows' start-up runs the "OFF" item of "Manual_Calibration", which
    // turns both switches on; the flags then turn them off for this run (and
    // its setup copy).
    SensorSwitches switches = projectSwitches(workspace.setup);
    manualCalibrationOff(switches, workspace.setup);
    if (noAutoCalibration_) setAutoCalibration(switches, workspace.setup, false);
    if (noAutoZero_) setAutoZero(switches, workspace.setup, false);
    options.autoCalibration = switches.autoCalibration;
    options.autoZero = switches.autoZero;
    if (description_) options.description = *description_;
    // This run only: the setup copy in the acquisition folder records it,
    // the project's own setup.dat is not rewritten.
    if (minutes_) workspace.setup.Aq_lapse = *minutes_;

    InstrumentSession session(readPortMap(workspace.programFolder));
    connectInstrument(workspace, session, dialogs, host, [&err, &log](const std::string& text) {
        log.program(text);
        err << text << "\n";
    });

    ConsoleOwner owner(workspace, dialogs, host, out, err);
    ConsoleProgress progress(err);
    BeamSetup beams(workspace, session, options, dialogs, host, progress);
    Acquisition acquisition(workspace, session, options, dialogs, host, owner, log, beams);
    const StatusSettings watched = watchSettings(workspace.programFolder, statusPort_, statusBind_, notify_);
    std::unique_ptr<OffscreenGui> gui;
    std::unique_ptr<RunWatch> watch;
    if (watched.port != 0 || !watched.notifyCommand.empty()) {
        gui = std::make_unique<OffscreenGui>();  // the page's figures are painted
        watch = std::make_unique<RunWatch>(acquisition, workspace, session, log, host);
        if (auto failure = watch->apply(watched)) {
            log.program(*failure);
            err << *failure << "\n";
        } else if (watch->port() != 0) {
            err << "Status page: http://" << watched.bindAddress << ":" << watch->port() << "/\n";
        }
        owner.watch = watch.get();
    }
    const StartRequest request =
        name_ ? StartRequest{NameSource::Given, *name_} : StartRequest{NameSource::Autorun, ""};
    stopRequested = 0;
    const auto stopOnSignal = [&acquisition] {
        if (acquisition.state() == AcquisitionState::Stopped) return;
        acquisition.log().event(signalName(stopRequested) + " received: the acquisition is stopped");
        acquisition.stop();
    };
    fastHost.onSignal = stopOnSignal;
    systemHost.onSignal = stopOnSignal;
    auto previousInt = std::signal(SIGINT, requestStop);
    auto previousTerm = std::signal(SIGTERM, requestStop);
    auto previousHup = std::signal(SIGHUP, requestStop);
    const bool started = acquisition.start(request);
    owner.recording = acquisition.recording();
    if (started && watch) watch->runStarted();
    if (started) runTimer(acquisition, owner, host);
    // However the run ended, the instrument is left with its outputs off.
    acquisition.shutDown(stopRequested ? signalName(stopRequested) : "end of zorvex-cli record");
    if (watch) watch->finish();  // the exit's own notice still goes out
    std::signal(SIGINT, previousInt);
    std::signal(SIGTERM, previousTerm);
    std::signal(SIGHUP, previousHup);
    fastHost.onSignal = nullptr;
    systemHost.onSignal = nullptr;
    if (!started && !stopRequested) return ExitFailed;

    if (acquisition.recording()) {
        out << "Acquisition folder: " << acquisition.folder().string() << "\n";
    } else {
        out << "Monitor run: nothing was recorded\n";
    }
    return ExitDone;
}

}  // namespace

std::unique_ptr<Command> makeRecordCommand() { return std::make_unique<RecordCommand>(); }

}  // namespace zorvex
