#pragma once
// "1 file/well Report": one text file per well with a dated activity line
// per bin, for rhythm analysis in other tools.

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "common/DateTime.h"
#include "platform/Dialogs.h"
#include "platform/Host.h"

namespace zorvex {

/// Start of an acquisition from its folder name ddmmyyyy_hhmm; `fallback`
/// (the current time) for any other name.
DateTime acquisitionStart(const std::string& folderName, const DateTime& fallback);

/// File name of well `well`: "005_" + well name + ".txt".
std::string wellFileName(int well, const std::string& wellName);

/// Asks "Do you like to Export 384 text files?", then writes one file per
/// well 0..MaxWell into the acquisition folder, step k of n = K / J (half to
/// even) dated start + J x k minutes. Returns the files written; a well
/// without a beam-0 channel or a file that cannot be written ends it with
/// "Report Error" (earlier files stay).
std::vector<std::filesystem::path> exportWells(const std::filesystem::path& acquisitionFolder,
                                               const std::filesystem::path& programFolder, long long binMinutes,
                                               Dialogs& dialogs, Host& host);

}  // namespace zorvex
