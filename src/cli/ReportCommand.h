#pragma once

#include <memory>

#include "cli/Command.h"

namespace zorvex {

/// `zorvex-cli report ACQ_FOLDER [report options]`: writes the acquisition's report and prints its path.
std::unique_ptr<Command> makeReportCommand();

}  // namespace zorvex
