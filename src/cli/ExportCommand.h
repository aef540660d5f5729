#pragma once

#include <memory>

#include "cli/Command.h"

namespace zorvex {

/// `zorvex-cli export ACQ_FOLDER [--interval MIN] [--out FILE] [--program-folder DIR]`:
/// the activity table, its path printed.
std::unique_ptr<Command> makeExportCommand();

}  // namespace zorvex
