#pragma once

#include <filesystem>

namespace zorvex {

/// The folder of the data files a new program folder is filled from:
/// $ZORVEX_DATA_DIR, else share/zorvex/data beside an installed program,
/// else the source tree the program was built from.
std::filesystem::path findDataFolder();

}  // namespace zorvex
