#include "views/OfflineBrowser.h"

#include <algorithm>

#include "acquisition/DataFiles.h"
#include "common/Files.h"
#include "common/RecordText.h"
#include "store/ProjectFolders.h"
#include "store/ProjectSetup.h"

namespace zorvex {

namespace {

constexpr std::size_t StampLength = 13;
constexpr std::size_t StampSeparator = 8;
constexpr int ShortestSetupLines = 6;

// The folder name pattern ????????_????: any characters around the underscore.
bool isStampName(const std::string& name) {
    return name.size() == StampLength && name[StampSeparator] == '_';
}

std::string projectTitle(int projectNumber) { return "<Project> p" + fiveDigits(projectNumber) + ": "; }

// A copy with more than 5 lines put over setup.dat; its line count, or 0.
int recoverFrom(const std::filesystem::path& copy, const std::filesystem::path& setupFile) {
    if (!fileExists(copy)) return 0;
    int lines = countLines(copy);
    if (lines < ShortestSetupLines || !copyFile(copy, setupFile, MaxRecordFileBytes)) return 0;
    return lines;
}

}  // namespace

std::vector<std::string> listAcquisitions(const std::filesystem::path& projectFolder) {
    std::vector<std::string> names;
    std::error_code error;
    for (std::filesystem::directory_iterator it(projectFolder, error), end; !error && it != end; it.increment(error)) {
        std::string name = it->path().filename().string();
        // A link that leads out of the project is no acquisition of it.
        if (isStampName(name) && fileExists(it->path() / "counts.bin") &&
            staysInside(it->path() / "counts.bin", projectFolder)) {
            names.push_back(name);
        }
    }
    std::sort(names.begin(), names.end());
    return names;
}

std::string setupSummary(const std::filesystem::path& folder, int projectNumber, Dialogs& dialogs) {
    const std::filesystem::path setupFile = folder / SetupFileName;
    int lines = fileExists(setupFile) ? countLines(setupFile) : 0;
    if (lines < ShortestSetupLines) {
        if (fileExists(folder / SetupBackupName)) {
            if (int recovered = recoverFrom(folder / SetupBackupName, setupFile)) {
                lines = recovered;
                dialogs.message("Error reading Setup.dat -> recovered from Setup.bak");
            }
        } else if (std::string newest = newestAcquisitionFolder(folder); !newest.empty()) {
            if (int recovered = recoverFrom(folder / newest / SetupFileName, setupFile)) {
                lines = recovered;
                dialogs.message("Error reading Setup.dat -> recovered from " + (folder / newest).string());
            }
        }
        if (lines < ShortestSetupLines) return projectTitle(projectNumber) + "SETUP NOT FOUND!!";
    }
    auto bytes = readFile(setupFile);
    if (!bytes) return "ERROR on SETUP.DAT FILE!!!";
    RecordReader in(std::move(*bytes));
    in.skipLine();
    in.skip();
    std::string name = in.text();
    in.skip();
    in.skip();
    if (!in.ok() || !isPlainText(name)) return "ERROR on SETUP.DAT FILE!!!";
    return projectTitle(projectNumber) + name;
}

std::string projectSummary(const std::filesystem::path& projectFolder, const std::string& name, int projectNumber,
                           Dialogs& dialogs) {
    if (!fileExists(projectFolder / SetupFileName)) return "<Project> " + name + ": ";
    return setupSummary(projectFolder, projectNumber, dialogs);
}

std::string acquisitionSummary(const std::filesystem::path& acquisitionFolder, const std::string& name,
                               int projectNumber, Dialogs& dialogs) {
    std::string text = setupSummary(acquisitionFolder, projectNumber, dialogs) + "\r\n<Subproject> " + name;
    if (auto info = readExperimentInfo(acquisitionFolder)) {
        text += ": " + info->name;
        if (!info->description.empty()) text += "\r\n<Description> " + info->description;
    }
    return text;
}

}  // namespace zorvex
