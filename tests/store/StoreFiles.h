#pragma once
// Small helpers of the store tests: whole files in and out, and the kinds of
// damaged content every reader must survive.

#include <filesystem>
#include <string>
#include <utility>
#include <vector>

#include "ScriptedDialogs.h"
#include "common/Files.h"
#include "store/ProjectFolders.h"
#include "store/ProjectSetup.h"

namespace zorvex::test {

inline void putFile(const std::filesystem::path& path, const std::string& bytes) {
    std::filesystem::create_directories(path.parent_path());
    writeFile(path, bytes);
}

inline std::string fileBytes(const std::filesystem::path& path) { return readFile(path).value_or("<missing>"); }

/// Joins lines with CR LF, each line ended.
inline std::string crlf(const std::vector<std::string>& lines) {
    std::string bytes;
    for (const auto& line : lines) bytes += line + "\r\n";
    return bytes;
}

/// The first `count` lines of `bytes`, each with its CR LF.
inline std::string firstLines(const std::string& bytes, int count) {
    std::size_t end = 0;
    for (int line = 0; line < count; ++line) end = bytes.find("\r\n", end) + 2;
    return bytes.substr(0, end);
}

/// Contents that no reader may take for a file of its own, with a label.
inline std::vector<std::pair<std::string, std::string>> damagedContents() {
    std::string garbage;
    for (int i = 0; i < 4096; ++i) garbage += static_cast<char>((i * 7919 + 13) % 256);
    return {{"empty", ""}, {"binary", garbage}, {"huge", std::string(MaxRecordFileBytes + 1, '1')}};
}

/// A setup of project 5 that differs from the defaults in every line group.
inline ProjectSetup sampleSetup(const std::filesystem::path& programFolder) {
    ProjectSetup setup = defaultSetup(programFolder, 5);
    setup.Num_proj = "5";
    setup.Name = "Larvae, 28 C";
    setup.Plate_format = "z24";
    setup.Aq_lapse = 1440;
    setup.RT_Buffer = 1000;
    setup.Save_real = 0;
    setup.Menu2_Light = 1;
    setup.Mn[2] = {1, 8, 20, 3, 15, 45};
    setup.Mn[6] = {-1, 2, 3, 4, 5, 32767};
    return setup;
}

/// Loads setup.dat of project n of `programFolder` over `setup`, as the project load does.
inline ProjectSetup loadSetupOf(const std::filesystem::path& programFolder, int n, ScriptedDialogs& dialogs,
                                ProjectSetup setup = {}) {
    loadSetup(setup, SetupSource{programFolder, projectFolderPath(programFolder, n), n, n}, dialogs);
    return setup;
}

}  // namespace zorvex::test
