#include "cli/SleepCommand.h"

#include "behaviour/SleepFiles.h"
#include "cli/BehaviourArgs.h"
#include "cli/ReportArgs.h"
#include "platform/ProgramFolder.h"

namespace zorvex {

namespace {

class SleepCommand : public Command {
public:
    SleepCommand()
        : Command({"sleep", "find sleep bouts and summarise sleep per well and group",
                   "Reads the acquisition in ACQ_FOLDER on the 1-minute grid of the rhythm and table exports (the "
                   "counts of each well's beams summed per minute). A minute is inactive when its count is 0; a "
                   "sleep bout is a run of at least N inactive minutes, and every minute of it is asleep. A minute "
                   "without a reading ends a run; a run cut by the start or the end of the recording (or of the "
                   "window) counts when it reaches N inside it.\n\n"
                   "Writes sleep_bouts.csv (every bout), sleep_summary.csv (per well, day and light phase: minutes "
                   "with readings, minutes asleep, bouts, mean bout length, latency from the phase's start to its "
                   "first bout, and counts per minute awake) and sleep_groups.csv (the mean and SE of each group's "
                   "wells). Days begin at lights-on; light and dark come from the acquisition's own schedule, one "
                   "phase \"all\" without one. A bout counts in the phase it begins in; its minutes count as asleep "
                   "in the phase each falls in. Prints the files written.",
                   "Exit status: 0 written, 1 nothing written (the reason on standard error), 2 bad usage."}) {}

    void declare(CLI::App& app) override {
        addAcquisitionFolder(app, request_.acquisitionFolder);
        app.add_option("--inactive-minutes", inactive_,
                       "N, inactive minutes that make a bout, 1 to " + std::to_string(MaxInactiveMinutes) +
                           " (default: 1 for zebrafish larvae, 5 for other organisms)")
            ->type_name("N")
            ->check(wholeNumberIn(1, MaxInactiveMinutes));
        addBehaviourWindow(app, window_);
        addBehaviourOut(app, request_.outFolder);
        addProgramFolder(app, programFolder_);
    }

    int run(std::ostream& out, std::ostream& err) override {
        request_.programFolder = resolveProgramFolder(programFolder_);
        request_.inactiveMinutes = inactive_;
        request_.window = behaviourWindowOf(window_);
        ConsoleDialogs dialogs(err);
        const SleepOutcome outcome = runSleep(request_, dialogs);
        for (const auto& file : outcome.files) out << file.string() << "\n";
        return outcome.files.size() == 3 ? ExitDone : ExitFailed;
    }

private:
    SleepRequest request_;
    std::optional<int> inactive_;
    std::optional<std::string> window_;
    std::optional<std::filesystem::path> programFolder_;
};

}  // namespace

std::unique_ptr<Command> makeSleepCommand() { return std::make_unique<SleepCommand>(); }

}  // namespace zorvex
