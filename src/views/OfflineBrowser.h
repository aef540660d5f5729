#pragma once
// The offline project browser without its window: which acquisitions a
// project lists, and the one-line summaries of projects and acquisitions,
// with the repair of a missing or short setup.dat.

#include <filesystem>
#include <string>
#include <vector>

#include "platform/Dialogs.h"

namespace zorvex {

/// The acquisitions of a project folder: entries named like ddmmyyyy_hhmm
/// (eight characters, an underscore, four characters) whose folder holds
/// counts.bin, in name order; a link leading out of the project is left out.
std::vector<std::string> listAcquisitions(const std::filesystem::path& projectFolder);

/// The summary of the project stored in `folder`, numbered `projectNumber`:
/// "<Project> p00012: " + its name. A setup.dat of fewer than 6 lines is first
/// replaced by setup.bak, or by the newest acquisition folder's copy, when
/// that has more lines (with a message); otherwise ": SETUP NOT FOUND!!". A
/// setup.dat that cannot be read gives "ERROR on SETUP.DAT FILE!!!".
std::string setupSummary(const std::filesystem::path& folder, int projectNumber, Dialogs& dialogs);

/// Txt_reporte for a selected project: its setup summary, or "<Project> " +
/// name + ": " when the folder holds no setup.dat.
std::string projectSummary(const std::filesystem::path& projectFolder, const std::string& name, int projectNumber,
                           Dialogs& dialogs);

/// Txt_reporte for a selected acquisition: the setup summary of its folder,
/// CR LF, "<Subproject> " + name, and ": " + the experiment name of
/// subproj.dat when it can be read, then CR LF, "<Description> " and its
/// description when there is one.
std::string acquisitionSummary(const std::filesystem::path& acquisitionFolder, const std::string& name,
                               int projectNumber, Dialogs& dialogs);

}  // namespace zorvex
