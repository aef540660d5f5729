#pragma once

#include <ostream>
#include <string>
#include <vector>

namespace zorvex {

/// `zorvex-cli init DIR`: makes a new program folder ready to start.
int runInitCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

}  // namespace zorvex
