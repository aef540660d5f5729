#pragma once

#include <memory>

#include "cli/Command.h"

namespace zorvex {

/// `zorvex-cli sleep ACQ_FOLDER [--inactive-minutes N] [--window H1-H2] [--out DIR] [--program-folder DIR]`:
/// sleep bouts and their summaries per well and group, paths printed.
std::unique_ptr<Command> makeSleepCommand();

}  // namespace zorvex
