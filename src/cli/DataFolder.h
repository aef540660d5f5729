#pragma once

#include <filesystem>

namespace zorvex {

/// The folder of the data files a new program folder is filled from:
/// $ZORVEX_DATA_DIR, else share/zorvex beside the bin folder of an installed
/// program, else (in a build with build-tree data) the source tree's data/.
std::filesystem::path findDataFolder();

}  // namespace zorvex
