#pragma once

#include <memory>

#include "cli/Command.h"

namespace zorvex {

/// `zorvex-cli init [--short-demo] DIR`: makes a new program folder ready to start.
std::unique_ptr<Command> makeInitCommand();

}  // namespace zorvex
