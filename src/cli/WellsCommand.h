#pragma once

#include <ostream>
#include <string>
#include <vector>

namespace zorvex {

/// `zorvex-cli wells ACQ_FOLDER [--program-folder DIR] [--bin MIN]`: one file per well, paths printed.
int runWellsCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

}  // namespace zorvex
