#pragma once
// The decisions of the program's start-up that need no window: the autorun
// request of the command line and the choice of the project folder.

#include <cstdint>
#include <filesystem>
#include <string_view>

#include "control/InstrumentSession.h"
#include "platform/Dialogs.h"
#include "platform/Host.h"
#include "store/Workspace.h"

namespace zorvex {

/// True when the trimmed command line is exactly "/RUN", "/run" or "/Run".
bool isAutorunRequest(std::string_view commandLine);

/// The folder of the current project: <program>/pNNNNN when that folder exists
/// and the number is above 0; otherwise the program folder itself, and the
/// number becomes 0 (the default project).
std::filesystem::path chooseProjectFolder(const std::filesystem::path& programFolder,
                                          std::int16_t& actualProjectNumber);

/// Reads config.dat and chooses the current project's folder (the default
/// project when its folder is missing).
void loadConfiguration(Workspace& workspace, Dialogs& dialogs);

/// Finds the instrument from `Serial_COM` on, keeps its port open, saves a
/// port typed at the prompt, decides the operating mode and, online, reads
/// the factory temperature calibration. `status` receives the progress texts.
/// The session stays offline until the end, so nothing else uses the port
/// while `host` lets other events run during the search's waits.
void connectInstrument(Workspace& workspace, InstrumentSession& session, Dialogs& dialogs, Host& host,
                       const StatusLine& status);

}  // namespace zorvex
