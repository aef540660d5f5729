#pragma once

#include <memory>

#include "cli/Command.h"

namespace zorvex {

/// `zorvex-cli record [--program-folder DIR] [--project N] [--name TEXT]
/// [--description TEXT] [--minutes M] [--no-auto-calibration] [--no-auto-zero]
/// [--status-port PORT] [--status-bind ADDR] [--notify CMD]`:
/// a headless acquisition on the instrument of `Serial_COM`, calibrated and
/// zeroed as in the windows, until its lapse ends or SIGINT/SIGTERM/SIGHUP
/// stops it; a lost instrument is waited for. The outputs go off at the end.
/// The status page and the notify command watch it when asked for.
std::unique_ptr<Command> makeRecordCommand();

}  // namespace zorvex
