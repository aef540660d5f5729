#include "acquisition/Startup.h"

#include "common/Files.h"
#include "device/PortSearch.h"
#include "common/Text.h"
#include "store/ProjectFolders.h"

namespace zorvex {

bool isAutorunRequest(std::string_view commandLine) {
    std::string_view trimmed = trimBlanks(commandLine);
    return trimmed == "/RUN" || trimmed == "/run" || trimmed == "/Run";
}

std::filesystem::path chooseProjectFolder(const std::filesystem::path& programFolder,
                                          std::int16_t& actualProjectNumber) {
    if (actualProjectNumber > 0) {
        auto folder = projectFolderPath(programFolder, actualProjectNumber);
        if (folderExists(folder)) return folder;
    }
    actualProjectNumber = 0;
    return programFolder;
}

void loadConfiguration(Workspace& workspace, Dialogs& dialogs) {
    loadConfig(workspace.config, workspace.programFolder, dialogs);
    workspace.projectFolder = chooseProjectFolder(workspace.programFolder, workspace.config.Actual_Project_Number);
}

void connectInstrument(Workspace& workspace, InstrumentSession& session, Dialogs& dialogs, Host& host,
                       const StatusLine& status) {
    // Offline until the end: the window may run other events meanwhile, and
    // none of them may talk to the port while the search and the factory read do.
    session.mode = OperatingMode::Offline;
    PortSearchResult found = searchInstrumentPort(session.comm, workspace.config.Serial_COM, dialogs, host, status);
    workspace.config.Serial_COM = static_cast<std::int16_t>(found.serialCom);
    if (found.saveConfig) saveConfig(workspace.config, workspace.programFolder, dialogs);
    session.port = found.portOpen ? found.serialCom : 0;

    if (status) status("STARTING........... Reading Factory Calibration...");
    session.factory = FactoryCalibration{};
    session.factoryRegisters.reset();
    if (found.online) {
        try {
            session.factoryRegisters = readFactoryRegisters(session.comm, session.port, host);
            session.factory = validateFactoryCalibration(*session.factoryRegisters);
        } catch (const std::exception&) {
            session.factoryRegisters.reset();  // unknown: a return is not compared
        }
    }
    session.mode = found.online ? OperatingMode::Online : OperatingMode::Offline;
}

}  // namespace zorvex
