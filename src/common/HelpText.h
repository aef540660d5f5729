#pragma once
// The --help and --version texts of the programs, in one layout: a usage
// line, a paragraph, then aligned lists of options or commands.

#include <string>
#include <string_view>
#include <vector>

namespace zorvex {

/// One entry of a help list: "--seconds S" and what it does.
struct HelpEntry {
    std::string name;
    std::string text;
};

/// A titled list of entries, e.g. "Options:".
struct HelpSection {
    std::string title;
    std::vector<HelpEntry> entries;
};

/// A program's or command's help.
struct HelpText {
    std::vector<std::string> usage;  ///< each without "Usage: "
    std::string description;         ///< one paragraph, wrapped on output
    std::vector<HelpSection> sections;
    std::string footer;  ///< a closing paragraph, or empty
};

/// The help as printed: "Usage: " lines, the wrapped paragraph, the sections
/// with two-space indent and aligned descriptions, then the footer.
std::string formatHelp(const HelpText& help);

/// Just the "Usage: " lines, wrapped, as a usage error shows them.
std::string formatUsage(const HelpText& help);

/// "PROGRAM 2.5" and a newline, from the build's version.
std::string versionText(std::string_view program);

/// "Try 'COMMAND --help' for more information." and a newline.
std::string tryHelpText(std::string_view command);

}  // namespace zorvex
