#include "store/Workspace.h"

#include "common/Files.h"

namespace zorvex {

void loadProject(Workspace& workspace, int projectNumber, Dialogs& dialogs, const StatusLine& status) {
    SetupSource source{workspace.programFolder, workspace.projectFolder, projectNumber,
                       workspace.config.Actual_Project_Number};
    loadSetup(workspace.setup, source, dialogs, status);
    loadChannelFiles(workspace.channels, workspace.groups, workspace.projectFolder, projectNumber, dialogs);
    loadPlateFormatWithFallback(workspace.plate, workspace.setup.Plate_format, workspace.programFolder, dialogs);
}

bool saveProject(const Workspace& workspace) { return saveProjectInto(workspace, workspace.projectFolder); }

bool saveProjectInto(const Workspace& workspace, const std::filesystem::path& folder) {
    // A missing setup.dat (a new project) has nothing to back up.
    copyFile(folder / SetupFileName, folder / SetupBackupName, MaxRecordFileBytes);
    return writeSetupFile(workspace.setup, workspace.config.Actual_Project_Number, folder / SetupFileName) &&
           writeChannelFiles(workspace.channels, workspace.groups, folder);
}

}  // namespace zorvex
