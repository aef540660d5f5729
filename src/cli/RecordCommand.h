#pragma once

#include <memory>

#include "cli/Command.h"

namespace zorvex {

/// `zorvex-cli record [--program-folder DIR] [--project N] [--name TEXT]
/// [--description TEXT] [--minutes M]`: a headless acquisition on the
/// instrument of `Serial_COM`, until its lapse ends, SIGINT/SIGTERM stops it or
/// the instrument stops answering (then 1, after the message on `err`).
std::unique_ptr<Command> makeRecordCommand();

}  // namespace zorvex
