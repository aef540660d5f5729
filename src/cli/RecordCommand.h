#pragma once

#include <ostream>
#include <string>
#include <vector>

#include "cli/CommandHelp.h"

namespace zorvex {

/// `zorvex-cli record --program-folder DIR [--project N] [--name TEXT]
/// [--description TEXT] [--minutes M]`: a headless acquisition on the
/// instrument of `Serial_COM`, calibrated and zeroed as in the windows, until
/// its lapse ends or SIGINT/SIGTERM/SIGHUP stops it; a lost instrument is
/// waited for. The outputs are switched off at the end.
int runRecordCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

/// What `zorvex-cli record --help` shows.
const CommandHelp& recordHelp();

}  // namespace zorvex
