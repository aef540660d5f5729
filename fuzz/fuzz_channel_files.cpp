// status.dat, threshld.dat, groups.dat and chgroup.dat of one project, each
// fuzzed and parsed in memory; the tables they fill are then written back.
#include <cstdint>
#include <cstdlib>

#include "FuzzInput.h"
#include "ScriptedDialogs.h"
#include "store/ChannelTables.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace zorvex;
    auto parts = fuzz::splitParts(data, size, ChannelFileNames.size());
    ChannelFileBytes files;
    for (std::size_t k = 0; k < files.size(); ++k) files[k] = fuzz::fileOf(parts[k]);
    ChannelTable channels = defaultChannelTable();
    GroupTable groups = defaultGroupTable();
    test::ScriptedDialogs dialogs;
    parseChannelFiles(channels, groups, files, 12, dialogs);

    // Whatever was loaded, the program must read back what it writes, without
    // a message, and a second save must change nothing.
    ChannelTable channelsAgain;
    GroupTable groupsAgain;
    for (int generation = 0; generation < 2; ++generation) {
        const auto written = generation == 0 ? channelFilesBytes(channels, groups)
                                             : channelFilesBytes(channelsAgain, groupsAgain);
        ChannelFileBytes writtenFiles;
        for (std::size_t k = 0; k < written.size(); ++k) writtenFiles[k] = written[k];
        ChannelTable readChannels;
        GroupTable readGroups;
        test::ScriptedDialogs quiet;
        parseChannelFiles(readChannels, readGroups, writtenFiles, 12, quiet);
        if (!quiet.shown.empty()) std::abort();
        if (generation == 1 && (!(readChannels == channelsAgain) || !(readGroups == groupsAgain))) std::abort();
        channelsAgain = readChannels;
        groupsAgain = readGroups;
    }
    return 0;
}
