#include "cli/ReportArgs.h"

#include <limits>

#include "platform/ProgramFolder.h"

namespace zorvex {

namespace {

CLI::Option* addOnOff(CLI::App& app, const std::string& name, bool& value, const std::string& description) {
    // Checked as words first: the library alone would also take yes, 1, enable...
    return app.add_option(name, value, description)->type_name("on|off")->check(oneOf({"on", "off"}));
}

}  // namespace

Answer ConsoleDialogs::message(const std::string& text, Buttons buttons) {
    err_ << text << "\n";
    return buttons == Buttons::YesNo || buttons == Buttons::YesNoCancel ? Answer::Yes : Answer::Ok;
}

std::string ConsoleDialogs::input(const std::string& prompt, const std::string&) {
    err_ << prompt << "\n";
    return "";
}

void ReportArguments::declareSource(CLI::App& app) {
    addAcquisitionFolder(app, acquisitionFolder);
    addProgramFolder(app, programFolder);
    app.add_option("--bin", binMinutes, "bin size in minutes (default 60); adjusted to a multiple of the recorded bins")
        ->type_name("MIN")
        ->check(wholeNumberIn(std::numeric_limits<long long>::min(), std::numeric_limits<long long>::max()));
}

void ReportArguments::declareTable(CLI::App& app) {
    app.add_option("--layout", layout, "table layout (default rows)")
        ->type_name("rows|list|array")
        ->check(oneOf({"rows", "list", "array"}));
    app.add_option("--format", format, "file type (default csv)")->type_name("csv|txt")->check(oneOf({"csv", "txt"}));
    app.add_option("--spacer", spacer,
                   "column separator (default: the locale's list separator for csv, a space for txt)")
        ->type_name("TEXT");
    addOnOff(app, "--std-error", stdError, "standard error rows (default on)");
    addOnOff(app, "--std-dev", stdDev, "standard deviation rows (default off)");
    addOnOff(app, "--wells-per-group", wellsPerGroup, "the \"N\" rows: wells counted in each group (default on)");
}

ReportRequest ReportArguments::request(Host& host) const {
    ReportRequest request;
    request.acquisitionFolder = acquisitionFolder;
    request.programFolder = resolveProgramFolder(programFolder);
    request.binMinutes = binMinutes;
    ReportOptions& options = request.options;
    options.layout = layout == "list"    ? ReportLayout::List
                     : layout == "array" ? ReportLayout::Array
                                         : ReportLayout::Rows;
    options.extension = "." + format;
    options.spacer = spacer.value_or(format == "csv" ? host.listSeparator() : " ");
    options.stdError = stdError;
    options.stdDev = stdDev;
    options.wellsPerGroup = wellsPerGroup;
    return request;
}

void printReportOutcome(const ReportRequest& request, const ReportOutcome& outcome, std::ostream& out) {
    if (outcome.binSize.minutes != 0 && outcome.binSize.minutes != request.binMinutes) {
        out << "Bin size adjusted to " << outcome.binSize.minutes << " minutes\n";
    }
    if (outcome.file) out << outcome.file->string() << "\n";
}

}  // namespace zorvex
