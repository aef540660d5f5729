// setup.dat parsed in memory: whatever loads, with its messages and
// defaults, reads back without a message once written, and saving what was
// read back writes the same bytes; an acquisition folder's copy reads as it
// stands or not at all. The repair from setup.bak and the copy goes through
// fuzz_files.
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

    const std::string written = setupFileBytes(setup, 5);
    test::ScriptedDialogs quiet;
    ProjectSetup read;
    parseSetup(read, written, source, quiet);
    if (!quiet.shown.empty() || setupFileBytes(read, 5) != written) std::abort();
    return 0;
}
