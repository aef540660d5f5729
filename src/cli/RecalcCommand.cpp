#include "cli/RecalcCommand.h"

#include <cmath>

#include "analysis/Analysis_Module.h"
#include "cli/ReportArgs.h"
#include "reports/Recalculation.h"

namespace zorvex {

namespace {

constexpr double LowestSnr = 1.1;
constexpr double HighestSnr = 6.0;

class RecalcCommand : public Command {
public:
    RecalcCommand()
        : Command({"recalc", "recount from real-time data, then report",
                   "Counts the activity of the acquisition in ACQ_FOLDER again from its real-time files with another "
                   "method and SNR factor (the report window's Advanced > Analyze Raw Data), then writes the report "
                   "and prints the paths. Without --replace the new counts go to a report of the first H hours only "
                   "and counts.bin is kept; with --replace counts.bin is rewritten from the whole recording.",
                   "Exit status: 0 done, 1 failed (the reason is on standard error), 2 bad usage."}) {}

    void declare(CLI::App& app) override {
        app.add_option("--method", settings_.method, "0 threshold and binary, 1 threshold average, 2 motility index")
            ->required()
            ->type_name("0|1|2")
            ->check(wholeNumberIn(DspThresholdBinary, DspMotilityIndex));
        app.add_option("--snr", settings_.snr, "SNR factor, 1.1 to 6 (C elegans 1.8, zebrafish 2.8)")
            ->required()
            ->type_name("F")
            ->check(numberIn(LowestSnr, HighestSnr));
        CLI::Option* hours = app.add_option("--hours", settings_.hours, "recount the first H hours into a report only")
                                 ->type_name("H")
                                 ->check(numberIn(0, HUGE_VAL));
        app.add_flag("--replace", settings_.replace, "recount everything and replace counts.bin")->excludes(hours);
        app.callback([hours, this] {
            if (hours->count() == 0 && !settings_.replace) throw CLI::RequiredError("--hours H or --replace");
        });
        arguments_.declareSource(app);
        arguments_.declareTable(app);
    }

    int run(std::ostream& out, std::ostream& err) override {
        SystemHost host;
        ConsoleDialogs dialogs(err);
        const ReportRequest request = arguments_.request(host);
        auto outcome = recalculate(request, settings_, dialogs, host);
        if (!outcome || !outcome->report) return ExitFailed;
        if (settings_.replace) out << (request.acquisitionFolder / "counts.bin").string() << "\n";
        printReportOutcome(request, *outcome->report, out);
        return outcome->report->file ? ExitDone : ExitFailed;
    }

private:
    ReportArguments arguments_;
    RecalcSettings settings_;
};

}  // namespace

std::unique_ptr<Command> makeRecalcCommand() { return std::make_unique<RecalcCommand>(); }

}  // namespace zorvex
