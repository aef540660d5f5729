#include "store/ProgramFolderInit.h"

#include "common/Files.h"
#include "store/ProjectFolders.h"
#include "store/Workspace.h"

namespace zorvex {

namespace {

constexpr int DemoProject = 1;

Workspace defaultProject(const std::filesystem::path& programFolder) {
    Workspace project;
    project.programFolder = programFolder;
    project.projectFolder = programFolder;
    project.config.Actual_Project_Number = 0;
    project.setup = defaultSetup(programFolder, 0);
    project.channels = defaultChannelTable();
    project.groups = defaultGroupTable();
    return project;
}

// The demo plate is a 96-well plate with each row A..H as one group of 12
// wells, both beams of a well in its row's group; channels outside the wells
// belong to no group.
Workspace demoProject(const std::filesystem::path& programFolder, std::int16_t lapseMinutes) {
    Workspace project = defaultProject(programFolder);
    project.projectFolder = projectFolderPath(programFolder, DemoProject);
    project.config.Actual_Project_Number = DemoProject;
    project.setup = defaultSetup(programFolder, DemoProject);
    project.setup.Name = DemoProjectName;
    project.setup.Plate_format = "z96f";
    project.setup.Aq_lapse = lapseMinutes;
    project.setup.Save_real = 1;
    PlateFormat plate = *builtInPlate("z96f");
    for (int c = 0; c < ChannelCount; ++c) {
        int well = plate.WellOfChannel[c];
        project.channels.Group[c] = static_cast<std::int16_t>(well >= 0 ? well % plate.Rows : -1);
    }
    for (int g = 0; g < ChannelCount; ++g) {
        project.groups.Name[g] = g < plate.Rows ? std::string("Row ") + static_cast<char>('A' + g) : FreeGroupName;
    }
    return project;
}

}  // namespace

std::optional<std::string> initProgramFolder(const std::filesystem::path& programFolder,
                                             const std::filesystem::path& dataFolder,
                                             std::int16_t demoLapseMinutes) {
    if (fileExists(programFolder / ConfigFileName)) {
        return "A program folder already exists here (" + (programFolder / ConfigFileName).string() + ")";
    }
    std::error_code error;
    std::filesystem::create_directories(programFolder / projectFolderName(DemoProject), error);
    if (error) return "Cannot create " + programFolder.string() + ": " + error.message();

    for (const KnownPlate& plate : knownPlates()) {
        std::string file = std::string(plate.name) + ".dat";
        if (!copyFile(dataFolder / file, programFolder / file, MaxRecordFileBytes)) {
            return "Cannot copy the plate file " + (dataFolder / file).string();
        }
    }
    Workspace demo = demoProject(programFolder, demoLapseMinutes);
    if (!saveProject(defaultProject(programFolder)) || !saveProject(demo)) {
        return "Cannot write the projects in " + programFolder.string();
    }
    // The configuration comes last: without it the folder is not yet a
    // program folder, so a failed init can simply be run again.
    ProgramConfig config{DemoProject, DemoProject, 4, 0};
    if (!writeConfigFile(config, programFolder)) return "Cannot write " + (programFolder / ConfigFileName).string();
    return std::nullopt;
}

}  // namespace zorvex
