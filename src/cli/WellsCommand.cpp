#include "cli/WellsCommand.h"

#include "cli/ReportArgs.h"
#include "reports/WellExport.h"

namespace zorvex {

namespace {

class WellsCommand : public Command {
public:
    WellsCommand()
        : Command({"wells", "write one activity file per well",
                   "Writes one text file of activity per well of the acquisition in ACQ_FOLDER (the report window's "
                   "Advanced > 1 file/well Report) and prints their paths. The export question is answered Yes.",
                   "Exit status: 0 written, 1 nothing written, 2 bad usage."}) {}

    void declare(CLI::App& app) override { arguments_.declareSource(app); }

    int run(std::ostream& out, std::ostream& err) override {
        SystemHost host;
        ConsoleDialogs dialogs(err);
        const ReportRequest request = arguments_.request(host);
        auto files = exportWells(request.acquisitionFolder, request.programFolder, request.binMinutes, dialogs, host);
        for (const auto& file : files) out << file.string() << "\n";
        return files.empty() ? ExitFailed : ExitDone;
    }

private:
    ReportArguments arguments_;
};

}  // namespace

std::unique_ptr<Command> makeWellsCommand() { return std::make_unique<WellsCommand>(); }

}  // namespace zorvex
