#pragma once

#include <memory>

#include "cli/Command.h"

namespace zorvex {

/// `zorvex-cli wells ACQ_FOLDER [--program-folder DIR] [--bin MIN]`: one file per well, paths printed.
std::unique_ptr<Command> makeWellsCommand();

}  // namespace zorvex
