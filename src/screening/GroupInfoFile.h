#pragma once
// groupinfo.csv, the project file of group annotations beside groups.dat:
// UTF-8, RFC 4180, CR LF (LF read too), header
// group,name,compound,concentration,unit,role.

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "screening/GroupAnnotation.h"
#include "store/ChannelTables.h"
#include "store/ProjectFolders.h"

namespace zorvex {

/// Largest groupinfo.csv read: far more than 385 groups' rows ever take.
constexpr std::size_t MaxGroupInfoBytes = 1024 * 1024;

/// What a read of groupinfo.csv gave.
struct GroupInfoRead {
    bool found = false;  ///< the file exists
    GroupAnnotations annotations;
    std::vector<std::string> messages;  ///< one per line left out, naming the file and the line
};

/// The annotations of a groupinfo.csv text; every line that does not fit is
/// left out with its message, a wrong header leaves out the whole text.
GroupInfoRead parseGroupInfo(std::string_view text);

/// Reads <folder>/groupinfo.csv; not found, without a message, when it is missing.
GroupInfoRead readGroupInfo(const std::filesystem::path& folder);

/// The text of groupinfo.csv: the header and one row per annotation in group
/// order, its name taken from `groups`.
std::string groupInfoText(const GroupAnnotations& annotations, const GroupTable& groups);

/// Writes <folder>/groupinfo.csv beside and renames it over the old one; false when it cannot.
bool writeGroupInfo(const std::filesystem::path& folder, const GroupAnnotations& annotations,
                    const GroupTable& groups);

}  // namespace zorvex
