#pragma once
// zorvex-cli as a whole: the list of commands, `help COMMAND`, and the one
// reading of the command line before a command runs.

#include <ostream>
#include <string>
#include <vector>

namespace zorvex {

/// Runs zorvex-cli on `args` (the words after the program name): the command
/// they name, or the help or version asked for. Returns the exit status: 0
/// done, 1 failed, 2 bad usage.
int runZorvexCli(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

}  // namespace zorvex
