#pragma once
// The offline window's own copy of a stored folder's configuration: the setup
// values, channel tables and plate of a project or acquisition folder. Review
// reads it apart from the program-wide records, so looking at old data never
// changes the current project.

#include <cstdint>
#include <filesystem>
#include <vector>

#include "platform/Dialogs.h"
#include "store/ChannelTables.h"
#include "store/PlateFormat.h"
#include "store/ProjectSetup.h"

namespace zorvex {

/// A stored folder's configuration as the offline views use it.
struct OfflineConfig {
    ProjectSetup setup;  ///< lines 1 to 6 of setup.dat; the later lines are not read
    ChannelTable channels;
    GroupTable groups;
    PlateFormat plate;
    std::vector<std::vector<std::int16_t>> channelMap;  ///< [beam][well], -1 where no channel sits

    /// Channel of beam `beam` of well `well`; -1 for none or outside the map.
    int channelAt(int beam, int well) const;
    /// Group of channel `channel`; -2 (below every group) for no channel.
    int groupOfChannel(int channel) const;
};

/// Loads the configuration stored in `folder`. A folder without setup.dat
/// leaves `config` as it was (false). An unreadable setup.dat shows "ERROR on
/// SETUP.DAT FILE!!!" and leaves it as well. A damaged channel or group file
/// takes the store's message and defaults (naming project `projectNumber`); a
/// plate missing as .dat and .bak shows "Multiwell Configuration File ...
/// not found" and keeps the previous plate.
bool loadOfflineConfig(OfflineConfig& config, const std::filesystem::path& folder,
                       const std::filesystem::path& programFolder, int projectNumber, Dialogs& dialogs);

}  // namespace zorvex
