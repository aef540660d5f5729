#include "cli/RecordCommand.h"

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

class RecordCommand : public Command {
public:
    RecordCommand()
        : Command({"record", "record an acquisition from the instrument",
                   "Starts the program without windows on the instrument of the configured COM port, and records an "
                   "acquisition of the current project (or --project N) as the main window's Start does. It runs "
                   "until the project's lapse ends or SIGINT/SIGTERM (Ctrl-C) stops it, writes the report at the end "
                   "of the lapse, and prints the acquisition folder. Messages go to standard error; questions take "
                   "their first answer.",
                   "Exit status: 0 done, 1 no start (no configuration, or the start was refused) or the instrument "
                   "stopped answering (the bins recorded so far are kept), 2 bad usage."}) {}

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
    }

    int run(std::ostream& out, std::ostream& err) override;

private:
    std::optional<std::filesystem::path> programFolder_;
    std::optional<std::int16_t> project_;
    std::optional<std::string> name_;
    std::optional<std::string> description_;
    std::optional<std::int16_t> minutes_;
};

int RecordCommand::run(std::ostream& out, std::ostream& err) {
    SystemHost host;
    ConsoleDialogs dialogs(err);
    Workspace workspace;
    workspace.programFolder = resolveProgramFolder(programFolder_);
    if (!fileExists(workspace.programFolder / ConfigFileName)) {
        err << "Config file not found: Check correct software installation\n";
        return ExitFailed;
    }
    loadConfiguration(workspace, dialogs);
    if (project_) {
        workspace.config.Actual_Project_Number = *project_;
        workspace.projectFolder = chooseProjectFolder(workspace.programFolder, workspace.config.Actual_Project_Number);
    }
    loadProject(workspace, workspace.config.Actual_Project_Number, dialogs);
    AcquisitionOptions options = startupOptions(workspace.setup);
    if (description_) options.description = *description_;
    // This run only: the setup copy in the acquisition folder records it,
    // the project's own setup.dat is not rewritten.
    if (minutes_) workspace.setup.Aq_lapse = *minutes_;

    InstrumentSession session(readPortMap(workspace.programFolder));
    connectInstrument(workspace, session, dialogs, host, [&err](const std::string& text) { err << text << "\n"; });

    ConsoleOwner owner(workspace, dialogs, host, out, err);
    Acquisition acquisition(workspace, session, options, dialogs, host, owner);
    const StartRequest request =
        name_ ? StartRequest{NameSource::Given, *name_} : StartRequest{NameSource::Autorun, ""};
    stopRequested = 0;
    auto previousInt = std::signal(SIGINT, requestStop);
    auto previousTerm = std::signal(SIGTERM, requestStop);
    const bool started = acquisition.start(request);
    owner.recording = acquisition.recording();
    if (started) runTimer(acquisition, owner, host);
    std::signal(SIGINT, previousInt);
    std::signal(SIGTERM, previousTerm);
    if (!started) return ExitFailed;

    if (acquisition.recording()) {
        out << "Acquisition folder: " << acquisition.folder().string() << "\n";
    } else {
        out << "Monitor run: nothing was recorded\n";
    }
    return owner.lost ? ExitFailed : ExitDone;
}

}  // namespace

std::unique_ptr<Command> makeRecordCommand() { return std::make_unique<RecordCommand>(); }

}  // namespace zorvex
