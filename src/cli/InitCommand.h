#pragma once

#include <ostream>
#include <string>
#include <vector>

#include "cli/CommandHelp.h"

namespace zorvex {

/// `zorvex-cli init DIR`: makes a new program folder ready to start.
int runInitCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

/// What `zorvex-cli init --help` shows.
const CommandHelp& initHelp();

}  // namespace zorvex
