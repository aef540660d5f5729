#pragma once

#include <ostream>
#include <string>
#include <vector>

#include "cli/CommandHelp.h"

namespace zorvex {

/// `zorvex-cli join PROJECT_FOLDER ACQ_NAME ACQ_NAME...`: joins acquisitions into a new folder, paths printed.
int runJoinCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

/// What `zorvex-cli join --help` shows.
const CommandHelp& joinHelp();

}  // namespace zorvex
