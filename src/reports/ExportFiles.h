#pragma once
// Where the exports write: folders made when missing, and each file written
// whole or not at all, with a message naming what failed.

#include <filesystem>
#include <string_view>

#include "platform/Dialogs.h"

namespace zorvex {

/// The folder, created when missing; false after a message when it is a file
/// or cannot be created.
bool prepareExportFolder(const std::filesystem::path& folder, Dialogs& dialogs);

/// Says that `file` could not be written; returns false.
bool fileNotWritten(const std::filesystem::path& file, Dialogs& dialogs);

/// Writes `text` to `file` (beside it first, then renamed); false after a message.
bool writeExportFile(const std::filesystem::path& file, std::string_view text, Dialogs& dialogs);

}  // namespace zorvex
