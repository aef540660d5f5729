#pragma once
// The help of a zorvex-cli command and the one path of a usage error, shared
// by every command.

#include <ostream>
#include <string>
#include <vector>

#include "common/HelpText.h"

namespace zorvex {

/// The exit status of a command line that was not understood.
inline constexpr int ExitUsage = 2;

/// What `zorvex-cli help NAME`, `zorvex-cli NAME --help` and a usage error show.
struct CommandHelp {
    std::string name;     ///< "record"
    std::string summary;  ///< one line in the list of commands
    HelpText text;        ///< usage lines start with "zorvex-cli NAME"
};

/// True when the words after the command name ask for its help.
bool asksForHelp(const std::vector<std::string>& args);

/// Writes the command's full help.
void printCommandHelp(const CommandHelp& help, std::ostream& out);

/// Writes the usage lines and where to read more on `err`; returns ExitUsage.
int usageError(const CommandHelp& help, std::ostream& err);

/// The report options shared by report, recalc and wells.
std::vector<HelpEntry> reportOptionHelp();

}  // namespace zorvex
