#include "store/ChannelTables.h"

#include <algorithm>

#include "common/Files.h"
#include "common/RecordText.h"
#include "common/Text.h"
#include "store/ProjectFolders.h"

namespace zorvex {

namespace {

constexpr int DefaultGroupCount = 12;
constexpr double DefaultThreshold = 3.0;

// Reads the header as one field, then up to 385 lines of (number, value) in
// file order. `take` stores slot k's value and may refuse it; a refusal or a
// read failure fails the file.
template <typename Take>
bool readSlots(std::optional<std::string_view> bytes, Take take) {
    if (!bytes) return false;
    RecordReader in{std::string(*bytes)};
    in.skip();
    for (int slot = 0; slot < ChannelSlots && in.ok() && !in.atEnd(); ++slot) {
        in.skip();
        if (!take(in, slot) || !in.ok()) return false;
    }
    return in.ok();
}

// A threshold as the file keeps it: three decimals, read back as a number so
// that it is written in shortest form (3, 2.5, 2.718).
double fileThreshold(double threshold) { return val(formatFixed(threshold, 3)); }

template <typename Value>
std::string slotBytes(const char* header, Value value) {
    RecordWriter out;
    out.header(header);
    for (int slot = 0; slot < ChannelCount; ++slot) {
        out.integer(slot);
        value(out, slot);
        out.endLine();
    }
    return out.bytes();
}

}  // namespace

const ChannelTable& defaultChannelTable() {
    static const ChannelTable table = [] {
        ChannelTable made;
        for (int c = 0; c < ChannelCount; ++c) {
            made.Enabled[c] = true;
            made.Threshold[c] = DefaultThreshold;
            // One more before halving: blocks of 32 channels, offset by half a column.
            made.Group[c] = static_cast<std::int16_t>((c / 16 + 1) / 2);
        }
        return made;
    }();
    return table;
}

const GroupTable& defaultGroupTable() {
    static const GroupTable table = [] {
        GroupTable made;
        for (int g = 0; g < ChannelCount; ++g) {
            made.Name[g] = g < DefaultGroupCount ? "Group" + std::to_string(g) : FreeGroupName;
        }
        return made;
    }();
    return table;
}

void loadChannelFiles(ChannelTable& channels, GroupTable& groups, const std::filesystem::path& projectFolder,
                      int projectNumber, Dialogs& dialogs) {
    std::array<std::optional<std::string>, ChannelFileNames.size()> read;
    ChannelFileBytes bytes;
    for (std::size_t k = 0; k < read.size(); ++k) {
        read[k] = readFile(projectFolder / ChannelFileNames[k]);
        if (read[k]) bytes[k] = *read[k];
    }
    parseChannelFiles(channels, groups, bytes, projectNumber, dialogs);
}

void parseChannelFiles(ChannelTable& channels, GroupTable& groups, const ChannelFileBytes& files, int projectNumber,
                       Dialogs& dialogs) {
    auto fail = [&](const char* file, const char* loading) {
        dialogs.message("Error [\\p" + fiveDigits(projectNumber) + "\\" + file + "] => " + loading);
    };

    bool ok = readSlots(files[0], [&](RecordReader& in, int slot) {
        std::int16_t value = in.int16();
        if (slot < ChannelCount) channels.Enabled[slot] = value != 0;
        return true;
    });
    if (!ok) {
        fail("status.dat", "Loading default values...");
        std::copy_n(defaultChannelTable().Enabled.begin(), ChannelCount, channels.Enabled.begin());
    }

    ok = readSlots(files[1], [&](RecordReader& in, int slot) {
        channels.Threshold[slot] = in.real();
        return true;
    });
    if (!ok) {
        fail("threshld.dat", "Loading default values...");
        std::copy_n(defaultChannelTable().Threshold.begin(), ChannelCount, channels.Threshold.begin());
    }

    ok = readSlots(files[2], [&](RecordReader& in, int slot) {
        std::string name = in.text();
        if (!isPlainText(name)) return false;
        groups.Name[slot] = name;
        return true;
    });
    if (!ok) {
        fail("groups.dat", "Loading default groups...");
        std::copy_n(defaultGroupTable().Name.begin(), ChannelCount, groups.Name.begin());
    }

    ok = readSlots(files[3], [&](RecordReader& in, int slot) {
        std::int16_t group = in.int16();
        // Group numbers index the group table; anything else is damage, not a group.
        if (group < -1 || group >= ChannelSlots) return false;
        channels.Group[slot] = group;
        return true;
    });
    if (!ok) {
        fail("chgroup.dat", "Loading default groups...");
        std::copy_n(defaultChannelTable().Group.begin(), ChannelCount, channels.Group.begin());
    }
}

std::array<std::string, 4> channelFilesBytes(const ChannelTable& channels, const GroupTable& groups) {
    return {slotBytes("<Channel>, <Enabled>", [&](RecordWriter& out, int c) { out.integer(channels.Enabled[c] ? 1 : 0); }),
            slotBytes("<Channel>, <Threshold>",
                      [&](RecordWriter& out, int c) { out.real(fileThreshold(channels.Threshold[c])); }),
            slotBytes("<Group_Number>, <Group_Name>",
                      [&](RecordWriter& out, int g) { out.text(storableName(groups.Name[g])); }),
            slotBytes("<Channel>, <Group: -1=Free>", [&](RecordWriter& out, int c) { out.integer(channels.Group[c]); })};
}

bool writeChannelFiles(const ChannelTable& channels, const GroupTable& groups,
                       const std::filesystem::path& projectFolder) {
    const std::array<std::string, 4> bytes = channelFilesBytes(channels, groups);
    for (std::size_t k = 0; k < bytes.size(); ++k) {
        if (!writeFile(projectFolder / ChannelFileNames[k], bytes[k])) return false;
    }
    return true;
}

}  // namespace zorvex
