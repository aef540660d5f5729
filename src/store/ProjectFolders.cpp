#include "store/ProjectFolders.h"

#include "common/Files.h"
#include "common/Text.h"

namespace zorvex {

std::string fiveDigits(int projectNumber) { return formatDigits(projectNumber, 5); }

std::string projectFolderName(int projectNumber) { return "p" + fiveDigits(projectNumber); }

std::filesystem::path projectFolderPath(const std::filesystem::path& programFolder, int projectNumber) {
    if (projectNumber < 1) return programFolder;
    return programFolder / projectFolderName(projectNumber);
}

namespace {
// The stamp ddmmyyyy_hhmm as the number yyyymmddhhmm, so that a larger number
// is a later start; -1 for names that are not stamps.
long long stampOrder(const std::string& name) {
    if (name.size() != 13 || name.find('_') != 8) return -1;
    std::string ordered = name.substr(4, 4) + name.substr(2, 2) + name.substr(0, 2) + name.substr(9, 4);
    if (ordered.find_first_not_of("0123456789") != std::string::npos) return -1;
    return std::stoll(ordered);
}
}  // namespace

std::string newestAcquisitionFolder(const std::filesystem::path& folder) {
    std::string newest;
    long long newestOrder = 0;
    std::error_code error;
    // The error_code forms throughout: a folder that vanishes or cannot be read just yields "".
    for (std::filesystem::directory_iterator it(folder, error), end; !error && it != end; it.increment(error)) {
        std::error_code kindError;
        // A link to somewhere outside the project folder is no acquisition of it.
        if (!it->is_directory(kindError) || !staysInside(it->path(), folder)) continue;
        std::string name = it->path().filename().string();
        long long order = stampOrder(name);
        if (order > newestOrder) {
            newestOrder = order;
            newest = name;
        }
    }
    return error ? "" : newest;
}

bool isPlainText(std::string_view text) {
    for (char c : text) {
        auto byte = static_cast<unsigned char>(c);
        if ((byte < 0x20 && c != '\t') || byte == 0x7F) return false;
    }
    return true;
}

std::string storableName(std::string_view name) {
    std::string stored;
    stored.reserve(name.size());
    for (std::size_t i = 0; i < name.size(); ++i) {
        char c = name[i];
        if (c == '"') {
            stored += '\'';
        } else if (c == '\r' || c == '\n') {
            stored += ' ';
            if (c == '\r' && i + 1 < name.size() && name[i + 1] == '\n') ++i;
        } else {
            stored += c;
        }
    }
    return stored;
}

bool copyProjectSideFiles(const std::filesystem::path& projectFolder, const std::filesystem::path& folder) {
    const std::filesystem::path groupInfo = projectFolder / GroupInfoFileName;
    return !fileExists(groupInfo) || copyFile(groupInfo, folder / GroupInfoFileName, MaxRecordFileBytes);
}

}  // namespace zorvex
