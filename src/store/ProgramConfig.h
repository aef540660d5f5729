#pragma once
// config.dat: the few values that outlive any one project (current and last
// project number, serial port). Written whole; read once at start-up.

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

#include "platform/Dialogs.h"

namespace zorvex {

/// The configuration file of the program folder.
inline constexpr const char* ConfigFileName = "config.dat";

/// The program configuration, in file order.
struct ProgramConfig {
    std::int16_t Actual_Project_Number = 0;
    std::int16_t Last_Project = 0;
    std::int16_t Serial_COM = 0;
    std::int16_t Restart_Time = 0;  ///< carried in the file only; always 0 after a load

    friend bool operator==(const ProgramConfig&, const ProgramConfig&) = default;
};

/// Fills `config` from config.dat of `programFolder`; on any read failure shows
/// the default-configuration message and loads 1, 1, 4.
void loadConfig(ProgramConfig& config, const std::filesystem::path& programFolder, Dialogs& dialogs);

/// loadConfig on the bytes of config.dat (nothing: missing or unreadable).
void parseConfig(ProgramConfig& config, std::optional<std::string_view> bytes, Dialogs& dialogs);

/// The bytes of config.dat as writeConfigFile writes them: header line, then the four values.
std::string configFileBytes(const ProgramConfig& config);

/// Rewrites config.dat (header line, then the four values); false on failure.
bool writeConfigFile(const ProgramConfig& config, const std::filesystem::path& programFolder);

/// Rewrites config.dat; on failure shows "<Error Saving Config File>" and
/// returns false, keeping the values in memory.
bool saveConfig(const ProgramConfig& config, const std::filesystem::path& programFolder, Dialogs& dialogs);

}  // namespace zorvex
