#pragma once
// The program-wide records of the current project, owned in one place and
// handed by reference to the windows and the command line, and the two
// whole-project operations that load and save them.

#include <filesystem>

#include "platform/Dialogs.h"
#include "store/ChannelTables.h"
#include "store/PlateFormat.h"
#include "store/ProgramConfig.h"
#include "store/ProjectSetup.h"

namespace zorvex {

/// Everything the store knows about the program folder and its current project.
struct Workspace {
    std::filesystem::path programFolder;
    ProgramConfig config;
    std::filesystem::path projectFolder;  ///< no trailing separator
    ProjectSetup setup;
    ChannelTable channels;
    GroupTable groups;
    PlateFormat plate;
};

/// Loads project n from `projectFolder`, which must already name its folder:
/// setup.dat with its repair, then status.dat, threshld.dat, groups.dat,
/// chgroup.dat, then the plate format with its fallback. `status` receives the
/// start-up window's status text (the identity warning).
void loadProject(Workspace& workspace, int projectNumber, Dialogs& dialogs, const StatusLine& status = {});

/// Saves the project into `projectFolder`: setup.dat copied to setup.bak, then
/// setup.dat (Num_proj from Actual_Project_Number), status.dat, threshld.dat,
/// groups.dat and chgroup.dat. False when a file could not be written.
bool saveProject(const Workspace& workspace);

/// The same save into another folder (an acquisition folder keeps a copy of
/// the project as it was at the start).
bool saveProjectInto(const Workspace& workspace, const std::filesystem::path& folder);

}  // namespace zorvex
