#pragma once

#include <memory>

#include "cli/Command.h"

namespace zorvex {

/// `zorvex-cli join PROJECT_FOLDER ACQ_NAME ACQ_NAME...`: joins acquisitions into a new folder, paths printed.
std::unique_ptr<Command> makeJoinCommand();

}  // namespace zorvex
