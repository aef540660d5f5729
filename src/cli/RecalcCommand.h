#pragma once

#include <memory>

#include "cli/Command.h"

namespace zorvex {

/// `zorvex-cli recalc ACQ_FOLDER --method 0|1|2 --snr F (--hours H | --replace) [report options]`:
/// recounts from the real-time files, then writes the report and prints the paths.
std::unique_ptr<Command> makeRecalcCommand();

}  // namespace zorvex
