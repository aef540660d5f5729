// status.dat, threshld.dat, groups.dat and chgroup.dat of one project, each
// fuzzed and parsed in memory: whatever loads is a table the program can use.
// Writing it back and reading it again goes through fuzz_files.
#include <cmath>
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
    // Group numbers index the group table and thresholds are numbers.
    for (int c = 0; c < ChannelCount; ++c) {
        if (channels.Group[c] < -1 || channels.Group[c] >= ChannelSlots || !std::isfinite(channels.Threshold[c])) {
            std::abort();
        }
    }
    return 0;
}
