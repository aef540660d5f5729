#pragma once
// The per-channel project files beside setup.dat: status.dat (enabled),
// threshld.dat (detection threshold), groups.dat (group names) and
// chgroup.dat (group of each channel). Each holds a header and 384 lines.

#include <array>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

#include "common/Channels.h"
#include "platform/Dialogs.h"

namespace zorvex {

/// Per-channel settings of the current project.
struct ChannelTable {
    std::array<bool, ChannelSlots> Enabled{};
    std::array<double, ChannelSlots> Threshold{};     ///< detection threshold in percent
    std::array<std::int16_t, ChannelSlots> Group{};   ///< group number, -1 = no group ("Free")

    friend bool operator==(const ChannelTable&, const ChannelTable&) = default;
};

/// Group number to name; "Free" marks an unused group.
struct GroupTable {
    std::array<std::string, ChannelSlots> Name;

    friend bool operator==(const GroupTable&, const GroupTable&) = default;
};

/// Name of an unused group slot.
inline constexpr const char* FreeGroupName = "Free";

/// The readers' defaults for channels 0..383: enabled, threshold 3.0, channel
/// c in group (c / 16 + 1) / 2; slot 384 stays empty.
const ChannelTable& defaultChannelTable();

/// The readers' default names: groups 0..11 Group0..Group11, 12..383 "Free".
const GroupTable& defaultGroupTable();

/// Reads status.dat, threshld.dat, groups.dat and chgroup.dat of
/// `projectFolder` in that order; a file that fails shows its message (naming
/// project n) and gives its defaults, and the others are still read.
void loadChannelFiles(ChannelTable& channels, GroupTable& groups, const std::filesystem::path& projectFolder,
                      int projectNumber, Dialogs& dialogs);

/// The four files in the order they are read and written.
inline constexpr std::array<const char*, 4> ChannelFileNames = {"status.dat", "threshld.dat", "groups.dat",
                                                                 "chgroup.dat"};

/// The bytes of each of the four files, in ChannelFileNames order; nothing
/// where a file is missing or unreadable.
using ChannelFileBytes = std::array<std::optional<std::string_view>, 4>;

/// loadChannelFiles on bytes already read.
void parseChannelFiles(ChannelTable& channels, GroupTable& groups, const ChannelFileBytes& files, int projectNumber,
                       Dialogs& dialogs);

/// The bytes of the four files as writeChannelFiles writes them, in ChannelFileNames order.
std::array<std::string, 4> channelFilesBytes(const ChannelTable& channels, const GroupTable& groups);

/// Writes the four files (385 lines each) into `projectFolder`; stops and
/// returns false at the first file that cannot be written.
bool writeChannelFiles(const ChannelTable& channels, const GroupTable& groups,
                       const std::filesystem::path& projectFolder);

}  // namespace zorvex
