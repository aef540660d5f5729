#include "cli/RecalcCommand.h"

#include "cli/ReportArgs.h"
#include "common/Text.h"
#include "reports/Recalculation.h"

namespace zorvex {

namespace {

constexpr double LowestSnr = 1.1;
constexpr double HighestSnr = 6.0;

int usage(std::ostream& err) {
    err << "usage: zorvex-cli recalc ACQ_FOLDER --method 0|1|2 --snr F (--hours H | --replace) [report options]\n";
    return 2;
}

// A number typed in full: "1.5" but not "1.5x" or "".
std::optional<double> number(const std::string& text) {
    if (text.empty() || text.find_first_not_of("0123456789.+-") != std::string::npos) return std::nullopt;
    return val(text);
}

}  // namespace

int runRecalcCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    std::set<std::string> names = reportOptionNames();
    names.insert({"method", "snr", "hours"});
    auto parsed = parseArgs(args, names, {"replace"}, err);
    if (!parsed || parsed->positional.size() != 1) return usage(err);
    const auto& options = parsed->options;
    bool replace = parsed->flags.count("replace") != 0;
    if (options.count("method") == 0 || options.count("snr") == 0 || replace == (options.count("hours") != 0)) {
        return usage(err);
    }
    RecalcSettings settings;
    settings.replace = replace;
    const std::string& methodText = options.at("method");
    if (methodText != "0" && methodText != "1" && methodText != "2") {
        err << "--method is 0, 1 or 2\n";
        return 2;
    }
    settings.method = methodText[0] - '0';
    auto snr = number(options.at("snr"));
    if (!snr || *snr < LowestSnr || *snr > HighestSnr) {
        err << "--snr is a number from 1.1 to 6\n";
        return 2;
    }
    settings.snr = *snr;
    if (!replace) {
        auto hours = number(options.at("hours"));
        if (!hours || *hours < 0) {
            err << "--hours is a number of hours\n";
            return 2;
        }
        settings.hours = *hours;
    }
    SystemHost host;
    auto request = reportRequestFrom(*parsed, parsed->positional[0], host, err);
    if (!request) return 2;
    ConsoleDialogs dialogs(err);
    auto outcome = recalculate(*request, settings, dialogs, host);
    if (!outcome || !outcome->report) return 1;
    if (replace) out << (request->acquisitionFolder / "counts.bin").string() << "\n";
    printReportOutcome(*request, *outcome->report, out);
    return outcome->report->file ? 0 : 1;
}

}  // namespace zorvex
