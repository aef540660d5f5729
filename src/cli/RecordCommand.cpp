#include "cli/RecordCommand.h"

#include <charconv>
#include <csignal>
#include <optional>

#include "acquisition/Acquisition.h"
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

extern "C" void requestStop(int) { stopRequested = 1; }

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

// The acquisition's owner on a console: the timer is a flag the loop below
// reads, each bin is one line, the report is written, not shown, and a lost
// instrument goes to the error stream.
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
    void instrumentLost(const std::string& message) override {
        err_ << message << std::endl;
        lost = true;
    }
    int intervalMs() const { return intervalMs_; }

    bool timerOn = false;
    bool recording = false;
    bool lost = false;  ///< the run ended because the instrument stopped answering

private:
    const Workspace& workspace_;
    Dialogs& dialogs_;
    Host& host_;
    std::ostream& out_;
    std::ostream& err_;
    int intervalMs_ = Acquisition::TimerIntervalMs;
};

// Drives the ticks at the timer's interval, as the window's timer would,
// until the acquisition stops by itself or a signal asks for the stop command.
void runTimer(Acquisition& acquisition, ConsoleOwner& owner, Host& host) {
    std::int64_t due = host.steadyMs();
    while (acquisition.state() != AcquisitionState::Stopped) {
        if (stopRequested) {
            acquisition.stop();
            break;
        }
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
         "acquisition of the current project (or --project N) as the main window's Start does. It runs until the "
         "project's lapse ends or SIGINT/SIGTERM (Ctrl-C) stops it, writes the report at the end of the lapse, and "
         "prints the acquisition folder. Messages go to standard error; questions take their first answer.",
         {{"Options:",
           {{"--program-folder DIR", "program folder (default: $ZORVEX_HOME, else ~/.local/share/zorvex)"},
            {"--project N", "project number, 0 to 32767 (default: the one in config.dat)"},
            {"--name TEXT", "experiment name (default \"Autorun project\"); an empty name is a monitor run"},
            {"--description TEXT", "experiment description"},
            {"--minutes M", "lapse of this run in minutes, 1 to 32767 (default: the project's)"}}}},
         "Exit status: 0 done, 1 no start (no configuration, or the start was refused) or the instrument stopped "
         "answering (the bins recorded so far are kept), 2 bad usage."}};
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
    if (auto found = parsed->options.find("description"); found != parsed->options.end()) {
        options.description = found->second;
    }
    // This run only: the setup copy in the acquisition folder records it,
    // the project's own setup.dat is not rewritten.
    if (minutes) workspace.setup.Aq_lapse = static_cast<std::int16_t>(*minutes);

    InstrumentSession session(readPortMap(workspace.programFolder));
    connectInstrument(workspace, session, dialogs, host, [&err](const std::string& text) { err << text << "\n"; });

    ConsoleOwner owner(workspace, dialogs, host, out, err);
    Acquisition acquisition(workspace, session, options, dialogs, host, owner);
    StartRequest request{NameSource::Autorun, ""};
    if (auto found = parsed->options.find("name"); found != parsed->options.end()) {
        request = {NameSource::Given, found->second};
    }
    stopRequested = 0;
    auto previousInt = std::signal(SIGINT, requestStop);
    auto previousTerm = std::signal(SIGTERM, requestStop);
    const bool started = acquisition.start(request);
    owner.recording = acquisition.recording();
    if (started) runTimer(acquisition, owner, host);
    std::signal(SIGINT, previousInt);
    std::signal(SIGTERM, previousTerm);
    if (!started) return 1;

    if (acquisition.recording()) {
        out << "Acquisition folder: " << acquisition.folder().string() << "\n";
    } else {
        out << "Monitor run: nothing was recorded\n";
    }
    return owner.lost ? 1 : 0;
}

}  // namespace zorvex
