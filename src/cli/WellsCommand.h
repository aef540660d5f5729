#pragma once

#include <ostream>
#include <string>
#include <vector>

#include "cli/CommandHelp.h"

namespace zorvex {

/// `zorvex-cli wells ACQ_FOLDER [--program-folder DIR] [--bin MIN]`: one file per well, paths printed.
int runWellsCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

/// What `zorvex-cli wells --help` shows.
const CommandHelp& wellsHelp();

}  // namespace zorvex
