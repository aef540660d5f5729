// status.dat, threshld.dat, groups.dat and chgroup.dat of one project, each
// fuzzed; the tables they fill are then written back.
#include <cstdint>
#include <cstdlib>

#include "FuzzInput.h"
#include "ScriptedDialogs.h"
#include "store/ChannelTables.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    auto parts = zorvex::fuzz::splitParts(data, size, 4);
    auto& folder = zorvex::fuzz::scratch();
    folder.clear();
    const char* names[] = {"status.dat", "threshld.dat", "groups.dat", "chgroup.dat"};
    for (int i = 0; i < 4; ++i) folder.write(names[i], parts[i]);

    zorvex::ChannelTable channels = zorvex::defaultChannelTable();
    zorvex::GroupTable groups = zorvex::defaultGroupTable();
    zorvex::test::ScriptedDialogs dialogs;
    zorvex::loadChannelFiles(channels, groups, folder.path(), 12, dialogs);

    // Whatever was loaded, the program must read back what it writes, without
    // a message, and a second save must change nothing.
    zorvex::ChannelTable channelsAgain;
    zorvex::GroupTable groupsAgain;
    for (int generation = 0; generation < 2; ++generation) {
        const bool written = generation == 0 ? zorvex::writeChannelFiles(channels, groups, folder.path())
                                             : zorvex::writeChannelFiles(channelsAgain, groupsAgain, folder.path());
        if (!written) std::abort();
        zorvex::ChannelTable readChannels;
        zorvex::GroupTable readGroups;
        zorvex::test::ScriptedDialogs quiet;
        zorvex::loadChannelFiles(readChannels, readGroups, folder.path(), 12, quiet);
        if (!quiet.shown.empty()) std::abort();
        if (generation == 1 && (!(readChannels == channelsAgain) || !(readGroups == groupsAgain))) std::abort();
        channelsAgain = readChannels;
        groupsAgain = readGroups;
    }
    return 0;
}
