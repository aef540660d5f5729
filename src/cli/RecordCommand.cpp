#include "cli/RecordCommand.h"

#include <charconv>
#include <csignal>
#include <optional>

#include "acquisition/Acquisition.h"
#include "acquisition/BeamSetup.h"
#include "acquisition/Startup.h"
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

// Reads option `name` into `value` when given; false after a message when it
// is not a whole number within `low`..`high`.
bool numberOption(const ParsedArgs& parsed, const std::string& name, int low, int high, std::optional<int>& value,
                  std::ostream& err) {
    auto found = parsed.options.find(name);
    if (found == parsed.options.end()) return true;
    const std::string& text = found->second;
    int number = 0;
    auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), number);
    if (error != std::errc() || end != text.data() + text.size() || number < low || number > high) {
        err << "invalid value for --" << name << ": " << text << " (" << low << " to " << high << ")\n";
        return false;
    }
    value = number;
    return true;
}

// The calibration and zero progress on stderr: one line whenever the kind of
// step changes ("Writing calibration", "Calibrating", "AutoZero"), not one
// per beam or pass.
class ConsoleProgress : public SetupProgress {
public:
    explicit ConsoleProgress(std::ostream& err) : err_(err) {}
    void showPanel(const std::string& banner) override { err_ << banner << std::endl; }
    void label(const std::string& text) override {
        const std::string step = text.substr(0, text.find_first_of(".[<(0123456789"));
        if (step == lastStep_) return;
        lastStep_ = step;
        err_ << text << std::endl;
    }

private:
    std::ostream& err_;
    std::string lastStep_;
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

}  // namespace

const CommandHelp& recordHelp() {
    static const CommandHelp help{
        "record",
        "record an acquisition from the instrument",
        {{"zorvex-cli record [--program-folder DIR] [OPTION]..."},
         "Starts the program without windows on the instrument of the configured COM port, and records an "
         "acquisition of the current project (or --project N) as the main window's Start does, with its "
         "calibration and zero. It runs until the project's lapse ends or SIGINT/SIGTERM/SIGHUP (Ctrl-C) stops it, "
         "waits for the instrument when it stops answering, writes the report at the end of the lapse, switches "
         "the outputs off and prints the acquisition folder. Messages go to standard error; questions take their "
         "first answer.",
         {{"Options:",
           {{"--program-folder DIR", "program folder (default: $ZORVEX_HOME, else ~/.local/share/zorvex)"},
            {"--project N", "project number, 0 to 32767 (default: the one in config.dat)"},
            {"--name TEXT", "experiment name (default \"Autorun project\"); an empty name is a monitor run"},
            {"--description TEXT", "experiment description"},
            {"--minutes M", "lapse of this run in minutes, 1 to 32767 (default: the project's)"}}}},
         "Exit status: 0 done (the lapse completed, or a signal stopped the run), 1 no start (no configuration, or "
         "the start was refused), 2 bad usage."}};
    return help;
}

int runRecordCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    auto parsed = parseArgs(args, {"program-folder", "project", "name", "description", "minutes"}, {}, err);
    if (!parsed || !parsed->positional.empty()) return usageError(recordHelp(), err);
    std::optional<int> project;
    std::optional<int> minutes;
    if (!numberOption(*parsed, "project", 0, 32767, project, err) ||
        !numberOption(*parsed, "minutes", 1, 32767, minutes, err)) {
        return usageError(recordHelp(), err);
    }

    SystemHost host;
    ConsoleDialogs dialogs(err);
    Workspace workspace;
    std::optional<std::filesystem::path> folderOption;
    if (auto found = parsed->options.find("program-folder"); found != parsed->options.end()) {
        folderOption = found->second;
    }
    workspace.programFolder = resolveProgramFolder(folderOption);
    if (!fileExists(workspace.programFolder / ConfigFileName)) {
        err << "Config file not found: Check correct software installation\n";
        return 1;
    }
    loadConfiguration(workspace, dialogs);
    if (project) {
        workspace.config.Actual_Project_Number = static_cast<std::int16_t>(*project);
        workspace.projectFolder = chooseProjectFolder(workspace.programFolder, workspace.config.Actual_Project_Number);
    }
    loadProject(workspace, workspace.config.Actual_Project_Number, dialogs);
    AcquisitionOptions options = startupOptions(workspace.setup);
    // The windows' start-up runs the "OFF" item of "Manual_Calibration": a
    // recording calibrates and zeroes as it would there.
    SensorSwitches switches = projectSwitches(workspace.setup);
    manualCalibrationOff(switches, workspace.setup);
    options.autoCalibration = switches.autoCalibration;
    options.autoZero = switches.autoZero;
    if (auto found = parsed->options.find("description"); found != parsed->options.end()) {
        options.description = found->second;
    }
    // This run only: the setup copy in the acquisition folder records it,
    // the project's own setup.dat is not rewritten.
    if (minutes) workspace.setup.Aq_lapse = static_cast<std::int16_t>(*minutes);

    EventLog log(host);
    log.openProgramLog(workspace.programFolder);
    log.program("zorvex-cli record in " + workspace.programFolder.string());
    InstrumentSession session(readPortMap(workspace.programFolder));
    connectInstrument(workspace, session, dialogs, host, [&err, &log](const std::string& text) {
        log.program(text);
        err << text << "\n";
    });

    ConsoleOwner owner(workspace, dialogs, host, out, err);
    ConsoleProgress progress(err);
    BeamSetup beams(workspace, session, options, dialogs, host, progress);
    Acquisition acquisition(workspace, session, options, dialogs, host, owner, log, beams);
    StartRequest request{NameSource::Autorun, ""};
    if (auto found = parsed->options.find("name"); found != parsed->options.end()) {
        request = {NameSource::Given, found->second};
    }
    stopRequested = 0;
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
    if (!started) return 1;

    if (acquisition.recording()) {
        out << "Acquisition folder: " << acquisition.folder().string() << "\n";
    } else {
        out << "Monitor run: nothing was recorded\n";
    }
    return 0;
}

}  // namespace zorvex
