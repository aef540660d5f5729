#pragma once

#include <memory>

#include "cli/Command.h"

namespace zorvex {

/// `zorvex-cli periodogram ACQ_FOLDER [--window H1-H2] [--resample MIN] [--periods A-B] [--step H]
/// [--method chi-square|lomb-scargle] [--alpha A] [--out DIR] [--program-folder DIR]`:
/// the periodogram and period of every well and group, paths printed.
std::unique_ptr<Command> makePeriodogramCommand();

}  // namespace zorvex
