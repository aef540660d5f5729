#include "cli/RecordCommand.h"

#include <csignal>
#include <functional>
#include <optional>
#include <set>

#include "acquisition/Acquisition.h"
#include "acquisition/BeamSetup.h"
#include "acquisition/Startup.h"
#include "platform/LoggedDialogs.h"
#include "cli/ReportArgs.h"
#include "common/Files.h"
#include "common/Text.h"
#include "device/PortMap.h"
#include "platform/ProgramFolder.h"
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
// reads, each bin is one line, the report is written, not shown, and what
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
        out_ << "bin " << summary.bin + 1 << " minute " << summary.elapsedMinutes << " temperature "
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
    int intervalMs() const { return intervalMs_; }

    bool timerOn = false;
    bool recording = false;

private:
    const Workspace& workspace_;
    Dialogs& dialogs_;
    Host& host_;
    std::ostream& out_;
    std::ostream& err_;
    int intervalMs_ = Acquisition::TimerIntervalMs;
};

// The console's host: a signal is honoured at the next yield, so the
// calibration, the zero level and a restore of the instrument stop at once
// instead of at their end.
class SignalHost : public SystemHost {
public:
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
            host.pause(owner.intervalMs());
            continue;
        }
        acquisition.tick();
        due += owner.intervalMs();
        const std::int64_t wait = due - host.steadyMs();
        if (wait > 0) {
            host.pause(static_cast<int>(wait));
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
};

int RecordCommand::run(std::ostream& out, std::ostream& err) {
    SignalHost host;
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
    const StartRequest request =
        name_ ? StartRequest{NameSource::Given, *name_} : StartRequest{NameSource::Autorun, ""};
    stopRequested = 0;
    host.onSignal = [&acquisition] {
        if (acquisition.state() == AcquisitionState::Stopped) return;
        acquisition.log().event(signalName(stopRequested) + " received: the acquisition is stopped");
        acquisition.stop();
    };
    auto previousInt = std::signal(SIGINT, requestStop);
    auto previousTerm = std::signal(SIGTERM, requestStop);
    auto previousHup = std::signal(SIGHUP, requestStop);
    const bool started = acquisition.start(request);
    owner.recording = acquisition.recording();
    if (started) runTimer(acquisition, owner, host);
    // However the run ended, the instrument is left with its outputs off.
    acquisition.shutDown(stopRequested ? signalName(stopRequested) : "end of zorvex-cli record");
    std::signal(SIGINT, previousInt);
    std::signal(SIGTERM, previousTerm);
    std::signal(SIGHUP, previousHup);
    host.onSignal = nullptr;
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
