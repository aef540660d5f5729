#include "cli/ReportArgs.h"

#include <charconv>

#include "platform/ProgramFolder.h"

namespace zorvex {

namespace {

std::optional<bool> onOff(const std::string& text) {
    if (text == "on") return true;
    if (text == "off") return false;
    return std::nullopt;
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

std::optional<ParsedArgs> parseArgs(const std::vector<std::string>& args, const std::set<std::string>& valueNames,
                                    const std::set<std::string>& flagNames, std::ostream& err) {
    ParsedArgs parsed;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& word = args[i];
        if (word.rfind("--", 0) != 0) {
            parsed.positional.push_back(word);
            continue;
        }
        std::string name = word.substr(2);
        if (flagNames.count(name) != 0) {
            parsed.flags.insert(name);
        } else if (valueNames.count(name) == 0) {
            err << "unknown option " << word << "\n";
            return std::nullopt;
        } else if (i + 1 >= args.size()) {
            err << "option " << word << " needs a value\n";
            return std::nullopt;
        } else {
            parsed.options[name] = args[++i];
        }
    }
    return parsed;
}

const std::set<std::string>& reportOptionNames() {
    static const std::set<std::string> names = {"program-folder", "bin",     "layout",  "format",
                                                "spacer",         "std-error", "std-dev", "wells-per-group"};
    return names;
}

std::optional<ReportRequest> reportRequestFrom(const ParsedArgs& parsed, const std::filesystem::path& folder,
                                               Host& host, std::ostream& err) {
    ReportRequest request;
    request.acquisitionFolder = folder;
    auto option = [&](const std::string& name) -> std::optional<std::string> {
        auto found = parsed.options.find(name);
        if (found == parsed.options.end()) return std::nullopt;
        return found->second;
    };
    auto programFolder = option("program-folder");
    request.programFolder = resolveProgramFolder(programFolder ? std::optional<std::filesystem::path>(*programFolder)
                                                               : std::nullopt);
    if (auto bin = option("bin")) {
        long long minutes = 0;
        auto [end, error] = std::from_chars(bin->data(), bin->data() + bin->size(), minutes);
        if (error != std::errc() || end != bin->data() + bin->size()) {
            err << "--bin needs a whole number of minutes\n";
            return std::nullopt;
        }
        request.binMinutes = minutes;
    }
    ReportOptions& options = request.options;
    std::string layout = option("layout").value_or("rows");
    if (layout == "rows") options.layout = ReportLayout::Rows;
    else if (layout == "list") options.layout = ReportLayout::List;
    else if (layout == "array") options.layout = ReportLayout::Array;
    else {
        err << "--layout is rows, list or array\n";
        return std::nullopt;
    }
    std::string format = option("format").value_or("csv");
    if (format != "csv" && format != "txt") {
        err << "--format is csv or txt\n";
        return std::nullopt;
    }
    options.extension = "." + format;
    // As the window does: the locale's list separator for csv, a space for text.
    options.spacer = option("spacer").value_or(format == "csv" ? host.listSeparator() : " ");
    const std::pair<const char*, bool*> switches[] = {
        {"std-error", &options.stdError}, {"std-dev", &options.stdDev}, {"wells-per-group", &options.wellsPerGroup}};
    for (const auto& [name, target] : switches) {
        auto text = option(name);
        if (!text) continue;
        auto value = onOff(*text);
        if (!value) {
            err << "--" << name << " is on or off\n";
            return std::nullopt;
        }
        *target = *value;
    }
    return request;
}

void printReportOutcome(const ReportRequest& request, const ReportOutcome& outcome, std::ostream& out) {
    if (outcome.binSize.minutes != 0 && outcome.binSize.minutes != request.binMinutes) {
        out << "Bin size adjusted to " << outcome.binSize.minutes << " minutes\n";
    }
    if (outcome.file) out << outcome.file->string() << "\n";
}

}  // namespace zorvex
