#include "cli/Command.h"

namespace zorvex {

CLI::Option* addAcquisitionFolder(CLI::App& app, std::filesystem::path& folder) {
    return app.add_option("ACQ_FOLDER", folder, "the acquisition folder")->required()->type_name("");
}

CLI::Option* addIntervalMinutes(CLI::App& app, int& minutes, const std::string& unit, int maxMinutes,
                                const std::string& whyNotAbove) {
    return app
        .add_option("--interval", minutes,
                    "minutes per " + unit + ", 1 to " + std::to_string(maxMinutes) + " (default " +
                        std::to_string(minutes) + ")")
        ->type_name("MIN")
        ->check(wholeNumberIn(1, maxMinutes, whyNotAbove));
}

CLI::Option* addProgramFolder(CLI::App& app, std::optional<std::filesystem::path>& folder) {
    return app
        .add_option("--program-folder", folder,
                    "program folder with the plate files (default: $ZORVEX_HOME, else ~/.local/share/zorvex)")
        ->type_name("DIR");
}

}  // namespace zorvex
