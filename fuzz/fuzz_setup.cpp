// setup.dat parsed in memory: whatever loads, with its messages and
// defaults, reads back without a message once written, and a second save
// changes nothing; an acquisition folder's copy reads as it stands or not at
// all. The repair from setup.bak and the copy goes through fuzz_files.
#include <cstdint>
#include <cstdlib>

#include "FuzzInput.h"
#include "ScriptedDialogs.h"
#include "store/ProjectSetup.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace zorvex;
    // Parts as fuzz_files takes them: setup.dat, setup.bak, an acquisition
    // folder name, that folder's setup.dat.
    auto parts = fuzz::splitParts(data, size, 4);
    const SetupSource source{"/program", "/program/p00005", 5, 5};
    ProjectSetup setup;
    test::ScriptedDialogs dialogs;
    parseSetup(setup, parts[0], source, dialogs);
    (void)parseSetupAsIs(parts[3]);

    ProjectSetup again;
    for (int generation = 0; generation < 2; ++generation) {
        const std::string bytes = setupFileBytes(generation == 0 ? setup : again, 5);
        test::ScriptedDialogs quiet;
        ProjectSetup read;
        parseSetup(read, bytes, source, quiet);
        if (!quiet.shown.empty() || (generation == 1 && !(read == again))) std::abort();
        again = read;
    }
    return 0;
}
