#pragma once
// A new program folder's store content: the configuration, the plate files,
// the default project 0 and a demo project, all loadable without a single
// repair message.

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>

namespace zorvex {

/// Name of the demo project p00001.
inline constexpr const char* DemoProjectName = "Demo";

/// Length of the demo project's acquisitions unless init is asked otherwise.
inline constexpr std::int16_t DemoLapseMinutes = 10;

/// Fills `programFolder` (created when missing): config.dat (1, 1, 4, 0), the
/// seven plate files copied from `dataFolder`, project 0 "Default" in the
/// folder itself and project 1 "Demo" (z96f, `demoLapseMinutes`, raw signal
/// saved, one group per plate row A..H of 12 wells). Refuses when config.dat
/// already exists. Returns the reason when it failed, nothing on success.
std::optional<std::string> initProgramFolder(const std::filesystem::path& programFolder,
                                             const std::filesystem::path& dataFolder,
                                             std::int16_t demoLapseMinutes = DemoLapseMinutes);

}  // namespace zorvex
