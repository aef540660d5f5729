#pragma once

#include <memory>

#include "cli/Command.h"

namespace zorvex {

/// `zorvex-cli rhythm ACQ_FOLDER [--interval MIN] [--out DIR] [--program-folder DIR]`:
/// monitor files and metadata.csv for rhythm analysis, paths printed.
std::unique_ptr<Command> makeRhythmCommand();

}  // namespace zorvex
