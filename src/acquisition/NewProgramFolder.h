#pragma once
// A new program folder made from the data files of this installation (or of
// the build tree): the store's content, the port map and the guide. Both
// 'zorvex-cli init' and the first start of the windows make one.

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>

#include "store/ProgramFolderInit.h"

namespace zorvex {

/// The folder of the data files a new program folder is filled from:
/// $ZORVEX_DATA_DIR, else share/zorvex beside the bin folder of an installed
/// program, else (in a build with build-tree data) the source tree's data/.
std::filesystem::path findDataFolder();

/// Makes `folder` a new program folder: config.dat, comports.dat, the plate
/// files, projects 0 and 1 (the demo, `demoLapseMinutes` long) and the guide
/// when this build has one. The reason when it failed, nothing when done.
std::optional<std::string> makeProgramFolder(const std::filesystem::path& folder,
                                             std::int16_t demoLapseMinutes = DemoLapseMinutes);

}  // namespace zorvex
