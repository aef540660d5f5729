#include "reports/ExportFiles.h"

#include <string>

#include "common/Files.h"

namespace zorvex {

bool prepareExportFolder(const std::filesystem::path& folder, Dialogs& dialogs) {
    std::error_code error;
    if (std::filesystem::exists(folder, error) && !std::filesystem::is_directory(folder, error)) {
        dialogs.message("The export folder is a file: " + folder.string());
        return false;
    }
    std::filesystem::create_directories(folder, error);
    if (error || !folderExists(folder)) {
        dialogs.message("The export folder cannot be created: " + folder.string());
        return false;
    }
    return true;
}

bool fileNotWritten(const std::filesystem::path& file, Dialogs& dialogs) {
    dialogs.message("The file cannot be written: " + file.string());
    return false;
}

bool writeExportFile(const std::filesystem::path& file, std::string_view text, Dialogs& dialogs) {
    return writeFile(file, text) || fileNotWritten(file, dialogs);
}

}  // namespace zorvex
