#include "cli/ReportCommand.h"

#include "cli/ReportArgs.h"

namespace zorvex {

namespace {

class ReportCommand : public Command {
public:
    ReportCommand()
        : Command({"report", "write the report of an acquisition",
                   "Writes the report of the acquisition in ACQ_FOLDER, as the report window's Generate does, into "
                   "the acquisition folder and prints its path (and the adjusted bin size when it differs).",
                   "Exit status: 0 written, 1 no report (the reason is on standard error), 2 bad usage."}) {}

    void declare(CLI::App& app) override {
        arguments_.declareSource(app);
        arguments_.declareTable(app);
    }

    int run(std::ostream& out, std::ostream& err) override {
        SystemHost host;
        ConsoleDialogs dialogs(err);
        const ReportRequest request = arguments_.request(host);
        auto outcome = generateReport(request, dialogs, host);
        if (!outcome) return ExitFailed;
        printReportOutcome(request, *outcome, out);
        return outcome->file ? ExitDone : ExitFailed;
    }

private:
    ReportArguments arguments_;
};

}  // namespace

std::unique_ptr<Command> makeReportCommand() { return std::make_unique<ReportCommand>(); }

}  // namespace zorvex
