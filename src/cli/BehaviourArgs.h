#pragma once
// The options the sleep and periodogram commands share: the window of hours
// and the folder of the files.

#include <optional>
#include <string>

#include "behaviour/BehaviourGrid.h"
#include "cli/Command.h"

namespace zorvex {

/// --window H1-H2, checked as the figure dialog checks it.
CLI::Option* addBehaviourWindow(CLI::App& app, std::optional<std::string>& window);

/// The window typed, or nothing for the whole recording.
std::optional<ElapsedWindow> behaviourWindowOf(const std::optional<std::string>& window);

/// --out DIR, the folder of the files.
CLI::Option* addBehaviourOut(CLI::App& app, std::filesystem::path& folder);

}  // namespace zorvex
