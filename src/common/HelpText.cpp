#include "common/HelpText.h"

#include <algorithm>
#include <sstream>

namespace zorvex {

namespace {

constexpr std::size_t LineWidthChars = 79;
constexpr std::size_t IndentChars = 2;
constexpr std::size_t GapChars = 2;
// Names longer than this get their text on the next line, so one long name
// does not push every description to the right edge.
constexpr std::size_t WidestAlignedNameChars = 28;

// Words of `text` filled into lines of at most LineWidthChars; the text
// starts at `column` of a line already begun, and later lines are indented
// to `indent`.
std::string wrap(const std::string& text, std::size_t indent, std::size_t column) {
    std::istringstream words(text);
    std::string word;
    std::string out;
    bool lineEmpty = true;
    while (words >> word) {
        if (!lineEmpty && column + 1 + word.size() > LineWidthChars) {
            out += "\n" + std::string(indent, ' ');
            column = indent;
            lineEmpty = true;
        }
        if (!lineEmpty) {
            out += ' ';
            ++column;
        }
        out += word;
        column += word.size();
        lineEmpty = false;
    }
    return out + "\n";
}

}  // namespace

std::string formatUsage(const HelpText& help) {
    constexpr std::size_t LeadChars = 7;  // "Usage: " and "  or:  "
    std::string out;
    for (std::size_t i = 0; i < help.usage.size(); ++i) {
        out += (i == 0 ? "Usage: " : "  or:  ") + wrap(help.usage[i], LeadChars + IndentChars, LeadChars);
    }
    return out;
}

std::string formatHelp(const HelpText& help) {
    std::string out = formatUsage(help);
    if (!help.description.empty()) out += "\n" + wrap(help.description, 0, 0);
    for (const HelpSection& section : help.sections) {
        std::size_t widest = 0;
        for (const HelpEntry& entry : section.entries) {
            if (entry.name.size() <= WidestAlignedNameChars) widest = std::max(widest, entry.name.size());
        }
        const std::size_t textColumn = IndentChars + widest + GapChars;
        out += "\n" + section.title + "\n";
        for (const HelpEntry& entry : section.entries) {
            std::string line = std::string(IndentChars, ' ') + entry.name;
            line += line.size() + GapChars > textColumn ? "\n" + std::string(textColumn, ' ')
                                                        : std::string(textColumn - line.size(), ' ');
            out += line + wrap(entry.text, textColumn, textColumn);
        }
    }
    if (!help.footer.empty()) out += "\n" + wrap(help.footer, 0, 0);
    return out;
}

std::string versionText(std::string_view program) { return std::string(program) + " " + ZORVEX_VERSION + "\n"; }

std::string tryHelpText(std::string_view command) {
    return "Try '" + std::string(command) + " --help' for more information.\n";
}

}  // namespace zorvex
