#pragma once
// Where projects and their acquisitions live inside the program folder, and
// how operator-typed names are made safe for the record files.

#include <filesystem>
#include <string>
#include <string_view>

namespace zorvex {

/// Project number in five digits with leading zeros, as folder names and
/// messages write it (12 -> "00012").
std::string fiveDigits(int projectNumber);

/// Folder name of project n: "p" + five digits (12 -> "p00012").
std::string projectFolderName(int projectNumber);

/// Folder of project n: the program folder itself below 1 (the default
/// project 0), else the program folder's "pNNNNN" subfolder.
std::filesystem::path projectFolderPath(const std::filesystem::path& programFolder, int projectNumber);

/// The project's group annotations (compound, concentration, unit, role of
/// each group), kept beside groups.dat; screening reads and writes it.
inline constexpr const char* GroupInfoFileName = "groupinfo.csv";

/// Copies the project files the store does not write from its records
/// (groupinfo.csv) from `projectFolder` into `folder`, as an acquisition
/// keeps them; true when the project has none or each was copied.
bool copyProjectSideFiles(const std::filesystem::path& projectFolder, const std::filesystem::path& folder);

/// The ddmmyyyy_hhmm subfolder of `folder` with the latest date and time, or ""
/// when there is none or the folder cannot be listed.
std::string newestAcquisitionFolder(const std::filesystem::path& folder);

/// False when `text` holds control characters other than tab: names in the
/// files never do, so such bytes mark a damaged file.
bool isPlainText(std::string_view text);

/// A name as it may be stored in a record file: a double quote becomes a single
/// quote and each line break (CR LF, CR or LF) a space, since the files have no
/// escapes and a quote or line end would cut the record.
std::string storableName(std::string_view name);

}  // namespace zorvex
