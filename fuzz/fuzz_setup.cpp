// setup.dat with its repair: a damaged setup.dat of project 5 beside a fuzzed
// setup.bak and a fuzzed copy in an acquisition folder of a fuzzed name.
#include <cstdint>
#include <cstdlib>

#include "FuzzInput.h"
#include "ScriptedDialogs.h"
#include "store/ProjectFolders.h"
#include "store/ProjectSetup.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    // Parts: setup.dat, setup.bak, acquisition folder name, its setup.dat.
    auto parts = zorvex::fuzz::splitParts(data, size, 4);
    auto& folder = zorvex::fuzz::scratch();
    folder.clear();
    const std::string project = zorvex::projectFolderName(5);
    std::filesystem::create_directories(folder.path() / project);
    folder.write(project + "/setup.dat", parts[0]);
    folder.write(project + "/setup.bak", parts[1]);
    std::string acquisition = parts[2];
    const bool plainName = !acquisition.empty() && acquisition.size() < 200 && acquisition != "." &&
                           acquisition != ".." && acquisition.find_first_of(std::string("/\0", 2)) == std::string::npos;
    if (!plainName) acquisition = "01022023_1015";
    folder.write(project + "/" + acquisition + "/setup.dat", parts[3]);

    zorvex::ProjectSetup setup;
    zorvex::SetupSource source{folder.path(), folder.path() / project, 5, 5};
    zorvex::test::ScriptedDialogs dialogs;
    zorvex::loadSetup(setup, source, dialogs);

    // Whatever was loaded, the program must read back what it writes, without
    // a message, and a second save must change nothing.
    const std::filesystem::path file = folder.path() / project / zorvex::SetupFileName;
    zorvex::ProjectSetup again;
    for (int generation = 0; generation < 2; ++generation) {
        if (!zorvex::writeSetupFile(generation == 0 ? setup : again, 5, file)) std::abort();
        zorvex::test::ScriptedDialogs quiet;
        zorvex::ProjectSetup read;
        zorvex::loadSetup(read, source, quiet);
        if (!quiet.shown.empty() || (generation == 1 && !(read == again))) std::abort();
        again = read;
    }
    return 0;
}
