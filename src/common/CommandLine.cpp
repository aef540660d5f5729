#include "common/CommandLine.h"

#include <charconv>
#include <cmath>
#include <memory>
#include <sstream>

#include "common/Text.h"

namespace zorvex {

namespace {

constexpr std::size_t LineWidthChars = 79;
constexpr std::size_t TextColumnChars = 30;   // where option texts start, the library's default
constexpr std::size_t UsageIndentChars = 9;   // continuation lines of a long usage, under its first word

// The words of `text` in lines of at most `width` characters; a longer word
// stands on a line of its own.
std::vector<std::string> fillLines(const std::string& text, std::size_t width) {
    std::istringstream words(text);
    std::vector<std::string> lines;
    for (std::string word; words >> word;) {
        if (lines.empty() || lines.back().size() + 1 + word.size() > width) {
            lines.push_back(word);
        } else {
            lines.back() += " " + word;
        }
    }
    return lines;
}

std::string joinLines(const std::vector<std::string>& lines, const std::string& separator) {
    std::string out;
    for (std::size_t i = 0; i < lines.size(); ++i) out += (i == 0 ? "" : separator) + lines[i];
    return out;
}

// Paragraphs (separated by a blank line) filled to the line width, a blank line between them.
std::string paragraphs(const std::string& text) {
    std::string out;
    std::size_t at = 0;
    while (at < text.size()) {
        std::size_t end = text.find("\n\n", at);
        if (end == std::string::npos) end = text.size();
        const auto lines = fillLines(text.substr(at, end - at), LineWidthChars);
        if (!lines.empty()) out += (out.empty() ? "" : "\n") + joinLines(lines, "\n") + "\n";
        at = end + 2;
    }
    return out;
}

// An entry's text in lines that fit right of the text column; the library
// indents the lines after a line break to that column.
std::string entryText(const std::string& text) {
    return joinLines(fillLines(text, LineWidthChars - TextColumnChars), "\n");
}

// The library's layout with the usage first, as command-line programs
// conventionally start their help, and every text filled to 79 columns.
class ProgramFormatter : public CLI::Formatter {
public:
    ProgramFormatter() {
        label("SUBCOMMAND", "COMMAND");
        label("Positionals", "Arguments");
        column_width(TextColumnChars);
    }

    std::string make_help(const CLI::App* app, std::string name, CLI::AppFormatMode mode) const override {
        std::string out = make_usage(app, name);
        const std::string description = make_description(app);
        if (!description.empty()) out += "\n" + description;
        out += make_positionals(app) + make_groups(app, mode) + make_subcommands(app, mode);
        const std::string footer = make_footer(app);
        if (!footer.empty()) out += "\n" + footer;
        return out;
    }

    std::string make_usage(const CLI::App* app, std::string name) const override {
        const auto lines = fillLines(CLI::Formatter::make_usage(app, name), LineWidthChars - UsageIndentChars);
        return joinLines(lines, "\n" + std::string(UsageIndentChars, ' ')) + "\n";
    }

    std::string make_description(const CLI::App* app) const override { return paragraphs(app->get_description()); }

    std::string make_footer(const CLI::App* app) const override { return paragraphs(app->get_footer()); }

    std::string make_option_desc(const CLI::Option* option) const override {
        return entryText(option->get_description());
    }

    std::string make_subcommand(const CLI::App* command) const override {
        std::ostringstream out;
        CLI::detail::format_help(out, command->get_name(), entryText(command->get_description()), column_width_);
        return out.str();
    }
};

const std::shared_ptr<ProgramFormatter>& programFormatter() {
    static const auto formatter = std::make_shared<ProgramFormatter>();
    return formatter;
}

// "zorvex-cli rhythm": the program's name and the commands down to `app`.
std::string fullName(const CLI::App& app) {
    const CLI::App* parent = app.get_parent();
    return parent ? fullName(*parent) + " " + app.get_name() : app.get_name();
}

// The program and the commands the words reached, outermost first.
std::vector<const CLI::App*> reachedApps(const CLI::App& app) {
    std::vector<const CLI::App*> chain{&app};
    while (!chain.back()->get_subcommands().empty()) chain.push_back(chain.back()->get_subcommands().front());
    return chain;
}

// Where the command line went wrong and how to say it: the first word that no
// option took is named plainly; otherwise the library's message stands.
int reportParseError(const CLI::App& app, const CLI::ParseError& error, std::ostream& err) {
    const auto chain = reachedApps(app);
    for (const CLI::App* at : chain) {
        const std::vector<std::string> left = at->remaining();
        if (left.empty()) continue;
        const std::string& word = left.front();
        if (word.size() > 1 && word[0] == '-') {
            return usageError(*at, "unknown option '" + word.substr(0, word.find('=')) + "'", err);
        }
        if (!at->get_subcommands({}).empty()) return usageError(*at, "unknown command '" + word + "'", err);
        return usageError(*at, "unexpected argument '" + word + "'", err);
    }
    return usageError(*chain.back(), error.what(), err);
}

// The value as a message quotes it; an empty one would vanish.
std::string shown(const std::string& text) { return text.empty() ? "''" : text; }

}  // namespace

void setUpProgram(CLI::App& app) {
    app.formatter(programFormatter());
    app.set_help_flag("-h,--help", "show this help and exit");
    app.set_version_flag("--version", app.get_name() + " " + ZORVEX_VERSION, "show the version and exit");
}

std::optional<int> parseCommandLine(CLI::App& app, const std::vector<std::string>& args, std::ostream& out,
                                    std::ostream& err) {
    std::vector<std::string> lastFirst(args.rbegin(), args.rend());  // the order CLI11 consumes
    try {
        app.parse(lastFirst);
    } catch (const CLI::CallForHelp&) {
        out << helpText(*reachedApps(app).back());
        return ExitDone;
    } catch (const CLI::CallForVersion& version) {
        out << version.what() << "\n";
        return ExitDone;
    } catch (const CLI::ParseError& error) {
        return reportParseError(app, error, err);
    }
    return std::nullopt;
}

int usageError(const CLI::App& app, const std::string& problem, std::ostream& err) {
    const std::string name = fullName(app);
    err << name << ": " << problem << "\n"
        << programFormatter()->make_usage(&app, name) << "Try '" << name << " --help' for more information.\n";
    return ExitUsage;
}

std::string helpText(const CLI::App& app) {
    return programFormatter()->make_help(&app, fullName(app), CLI::AppFormatMode::Normal);
}

CLI::Validator wholeNumberIn(long long low, long long high, const std::string& whyNotAbove) {
    return CLI::Validator(
        [low, high, whyNotAbove](std::string& text) -> std::string {
            long long value = 0;
            const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
            const bool whole = !text.empty() && end == text.data() + text.size();
            if (!whole || (error != std::errc() && error != std::errc::result_out_of_range)) {
                return shown(text) + " is not a whole number";
            }
            if (error != std::errc() || value < low || value > high) {
                const bool above = error != std::errc() ? text[0] != '-' : value > high;
                return text + " is not in " + std::to_string(low) + ".." + std::to_string(high) +
                       (above && !whyNotAbove.empty() ? ": " + whyNotAbove : "");
            }
            text = std::to_string(value);  // the library would read "010" as octal
            return "";
        },
        "");
}

CLI::Validator numberIn(double low, double high) {
    return CLI::Validator(
        [low, high](std::string& text) -> std::string {
            double value = 0;
            const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
            if (text.empty() || error != std::errc() || end != text.data() + text.size() || !std::isfinite(value)) {
                return shown(text) + " is not a number";
            }
            if (value >= low && value <= high) return "";
            return text + (std::isinf(high) ? " is below " + formatShortest(low)
                                            : " is not in " + formatShortest(low) + ".." + formatShortest(high));
        },
        "");
}

CLI::Validator oneOf(std::vector<std::string> words) {
    return CLI::Validator(
        [words](std::string& text) -> std::string {
            for (const std::string& word : words) {
                if (text == word) return "";
            }
            std::string choices;
            for (std::size_t i = 0; i < words.size(); ++i) {
                choices += (i == 0 ? "" : i + 1 == words.size() ? " or " : ", ") + words[i];
            }
            return shown(text) + " is not " + choices;
        },
        "");
}

}  // namespace zorvex
