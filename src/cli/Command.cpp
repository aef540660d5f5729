#include "cli/Command.h"

namespace zorvex {

CLI::Option* addAcquisitionFolder(CLI::App& app, std::filesystem::path& folder) {
    return app.add_option("ACQ_FOLDER", folder, "the acquisition folder")->required()->type_name("");
}

CLI::Option* addProgramFolder(CLI::App& app, std::optional<std::filesystem::path>& folder) {
    return app
        .add_option("--program-folder", folder,
                    "program folder with the plate files (default: $ZORVEX_HOME, else ~/.local/share/zorvex)")
        ->type_name("DIR");
}

}  // namespace zorvex
