#pragma once

#include <memory>

#include "cli/Command.h"

namespace zorvex {

/// `zorvex-cli screen ACQ_FOLDER --window H1-H2 [--normalise control|none]
/// [--bin MIN] [--figures pdf|svg|png] [--out DIR] [--program-folder DIR]`:
/// the screen's result files and figures, paths printed.
std::unique_ptr<Command> makeScreenCommand();

}  // namespace zorvex
