#pragma once
// The instrument's factory registers 128..135 kept in a file, so a restarted
// simulator remembers a calibration written to it.

#include <array>
#include <cstdint>
#include <filesystem>
#include <optional>

namespace zorvex::sim {

constexpr int FactoryRegisterFirst = 128;
constexpr int FactoryRegisterTotal = 8;
using FactoryBytes = std::array<std::uint8_t, FactoryRegisterTotal>;

/// A valid calibration: marker 0, June '25, offset +1.0, slope 0.219.
constexpr FactoryBytes DefaultFactoryRegisters{0, 6, 25, 0, 10, 219, 0, 0};

/// The registers stored in `file`; nothing when it is missing or not a
/// complete list of registers 128..135 with values 0..255.
std::optional<FactoryBytes> loadFactoryState(const std::filesystem::path& file);

/// Stores the registers (header "<Register>, <Value>", one line each).
bool saveFactoryState(const std::filesystem::path& file, const FactoryBytes& registers);

}  // namespace zorvex::sim
