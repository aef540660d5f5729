#pragma once
// Where "COM" n lives on this host: comports.dat in the program folder lists a
// device path for each of the 16 port numbers, so an operator can point a
// port at a USB adapter, a fixed serial line or a simulator's pty.

#include <array>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace zorvex {

constexpr int PortCount = 16;                        ///< port numbers 1..16
constexpr const char* PortMapFileName = "comports.dat";
constexpr const char* PortMapHeader = "<COM>, <Device>";

/// Device path of every port number; devices[n - 1] belongs to "COM" n.
struct PortMap {
    std::array<std::string, PortCount> devices;

    /// Path of "COM" `com`; empty for a number outside 1..16.
    const std::string& device(int com) const;
    /// Points "COM" `com` at `path`; false for a number outside 1..16.
    bool setDevice(int com, std::string path);

    bool operator==(const PortMap&) const = default;
};

/// COM n on /dev/ttyUSB{n-1}, the usual place of a USB serial adapter.
PortMap defaultPortMap();

/// The map of a program folder. Without comports.dat every port keeps its
/// default; a line that is garbled ends the reading, lines before it count.
PortMap readPortMap(const std::filesystem::path& programFolder);

/// readPortMap on the bytes of a comports.dat that was found.
PortMap parsePortMap(std::string_view bytes);

/// The bytes of comports.dat: the header, then one line per port 1..16.
std::string portMapBytes(const PortMap& map);

/// Writes comports.dat (portMapBytes) into `programFolder`; false when it could not be written.
bool writePortMap(const std::filesystem::path& programFolder, const PortMap& map);

/// Writes comports.dat with the default paths (a new program folder).
bool writeDefaultPortMap(const std::filesystem::path& programFolder);

/// The device path behind a port name: "COM" n (any case) through the map,
/// any other non-empty name taken as a path itself.
std::optional<std::string> resolvePortName(const PortMap& map, std::string_view name);

}  // namespace zorvex
