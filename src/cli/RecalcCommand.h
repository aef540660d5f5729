#pragma once

#include <ostream>
#include <string>
#include <vector>

#include "cli/CommandHelp.h"

namespace zorvex {

/// `zorvex-cli recalc ACQ_FOLDER --method 0|1|2 --snr F (--hours H | --replace) [report options]`:
/// recounts from the real-time files, then writes the report and prints the paths.
int runRecalcCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

/// What `zorvex-cli recalc --help` shows.
const CommandHelp& recalcHelp();

}  // namespace zorvex
