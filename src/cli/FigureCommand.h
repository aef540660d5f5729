#pragma once

#include <memory>

#include "cli/Command.h"

namespace zorvex {

/// `zorvex-cli figure ACQ_FOLDER --kind groups|plate|actogram --out FILE [...]`:
/// a figure of the acquisition as PDF, SVG or PNG, without a display; its path printed.
std::unique_ptr<Command> makeFigureCommand();

}  // namespace zorvex
