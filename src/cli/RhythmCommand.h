#pragma once

#include <ostream>
#include <string>
#include <vector>

#include "cli/CommandHelp.h"

namespace zorvex {

/// `zorvex-cli rhythm ACQ_FOLDER [--interval MIN] [--out DIR] [--program-folder DIR]`:
/// monitor files and metadata.csv for rhythm analysis, paths printed.
int runRhythmCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

/// What `zorvex-cli rhythm --help` shows.
const CommandHelp& rhythmHelp();

}  // namespace zorvex
