#pragma once
// What the operator set for watching runs from elsewhere: the status page's
// port and address and the notify command. Kept in the program folder as
// status.ini; the page is off until a port is given.

#include <filesystem>
#include <string>

namespace zorvex {

inline constexpr const char* StatusSettingsFileName = "status.ini";
inline constexpr const char* LoopbackAddress = "127.0.0.1";

struct StatusSettings {
    int port = 0;                               ///< 0: no status page
    std::string bindAddress = LoopbackAddress;  ///< the address the page listens on
    std::string notifyCommand;                  ///< empty: nobody is notified
};

/// The settings of `programFolder`; the defaults where the file or a value is missing or unusable.
StatusSettings loadStatusSettings(const std::filesystem::path& programFolder);

/// Writes status.ini (beside, then renamed); false when it cannot be written.
bool saveStatusSettings(const StatusSettings& settings, const std::filesystem::path& programFolder);

/// Nothing when `settings` can be used, else what is wrong ("Status port: 70000 is not in 1..65535").
std::string checkStatusSettings(const StatusSettings& settings);

/// True for an address of this computer only (127.0.0.0/8, ::1).
bool isLoopback(const std::string& address);

}  // namespace zorvex
