#include "cli/BehaviourArgs.h"

#include "views/FigureChoices.h"

namespace zorvex {

CLI::Option* addBehaviourWindow(CLI::App& app, std::optional<std::string>& window) {
    return app
        .add_option("--window", window,
                    "hours H1 to H2 from the start of the acquisition, such as 24-120 (default: the whole recording)")
        ->type_name("H1-H2")
        ->check(CLI::Validator([](std::string& text) { return readHourWindow(text).problem; }, ""));
}

std::optional<ElapsedWindow> behaviourWindowOf(const std::optional<std::string>& window) {
    if (!window) return std::nullopt;
    const auto hours = readHourWindow(*window).value;
    if (!hours) return std::nullopt;
    return ElapsedWindow{hours->fromHours, hours->toHours};
}

CLI::Option* addBehaviourOut(CLI::App& app, std::filesystem::path& folder) {
    return app.add_option("--out", folder, "folder of the files, created when missing (default ACQ_FOLDER/behaviour)")
        ->type_name("DIR");
}

}  // namespace zorvex
