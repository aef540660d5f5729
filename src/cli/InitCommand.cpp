#include "cli/InitCommand.h"

#include "cli/DataFolder.h"
#include "device/PortMap.h"
#include "store/ProgramFolderInit.h"

namespace zorvex {

int runInitCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    if (args.size() != 1) {
        err << "usage: zorvex-cli init DIR\n";
        return 2;
    }
    std::filesystem::path folder = std::filesystem::absolute(args[0]);
    if (auto failure = initProgramFolder(folder, findDataFolder())) {
        err << "zorvex-cli init: " << *failure << "\n";
        return 1;
    }
    if (!writeDefaultPortMap(folder)) {
        err << "zorvex-cli init: cannot write comports.dat in " << folder.string() << "\n";
        return 1;
    }
    out << "Program folder ready: " << folder.string() << "\n";
    return 0;
}

}  // namespace zorvex
