#pragma once
// "Join...": several acquisitions of a project merged into one new
// acquisition folder whose counts.bin puts all their records on one time axis.

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "common/DateTime.h"
#include "platform/Dialogs.h"
#include "platform/Host.h"

namespace zorvex {

/// Minutes of each start after the earliest of them, rounded half to even.
std::vector<std::int32_t> joinOffsets(const std::vector<DateTime>& starts);

/// Joins the acquisitions `names` of `projectFolder` after the operator
/// confirms: a new folder named by the current minute with subproj.dat, the
/// records with shifted minutes in the order of their starts, and the side files and
/// setup copy of the first acquisition. Returns the files written; nothing
/// is written on Cancel, with fewer than two names, or (after a message)
/// when the folder of this minute already holds a counts.bin.
std::vector<std::filesystem::path> joinAcquisitions(const std::filesystem::path& projectFolder,
                                                    const std::vector<std::string>& names, Dialogs& dialogs,
                                                    Host& host);

}  // namespace zorvex
