#pragma once

#include <ostream>
#include <string>
#include <vector>

#include "cli/CommandHelp.h"

namespace zorvex {

/// `zorvex-cli record --program-folder DIR [--project N] [--name TEXT]
/// [--description TEXT] [--minutes M]`: a headless acquisition on the
/// instrument of `Serial_COM`, until its lapse ends, SIGINT/SIGTERM stops it or
/// the instrument stops answering (then 1, after the message on `err`).
int runRecordCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

/// What `zorvex-cli record --help` shows.
const CommandHelp& recordHelp();

}  // namespace zorvex
