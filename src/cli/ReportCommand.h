#pragma once

#include <ostream>
#include <string>
#include <vector>

#include "cli/CommandHelp.h"

namespace zorvex {

/// `zorvex-cli report ACQ_FOLDER [report options]`: writes the acquisition's report and prints its path.
int runReportCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

/// What `zorvex-cli report --help` shows.
const CommandHelp& reportHelp();

}  // namespace zorvex
