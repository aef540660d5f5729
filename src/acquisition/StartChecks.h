#pragma once
// The texts and checks of the start command that need no instrument: the
// name prompt, the disk-space warning for raw recording, and whether the
// folder of this minute may take a new recording.

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>

namespace zorvex {

/// Title of the name prompts.
inline constexpr const char* StartTitle = "Starting New acquisition...";

/// The name prompt; its comment line depends on both auto switches being on.
std::string namePrompt(bool autoCalibrationAndZero);

/// Free megabytes from a free-space query (rounded), -1 when it failed.
long long freeMegabytes(std::optional<std::uint64_t> freeBytes);

/// The disk warning for a raw recording of `aqLapse` minutes with `freeMb`
/// free (0.4 MB per minute): nothing when no box is due (more than 1000 MB to
/// spare and no more than 1000 MB needed).
std::optional<std::string> diskWarning(int aqLapse, long long freeMb);

/// During a raw recording: a warning when the disk, with `freeMb` free, has
/// less than 200 MB to spare after the real-time data of the `remainingMinutes`
/// still to record (0.4 MB per minute); nothing otherwise.
std::optional<std::string> lowDiskWarning(int remainingMinutes, long long freeMb);

/// True when `folder` already holds a recorded bin (counts.bin), so a second
/// recording started in the same minute would mix into it.
bool holdsRecording(const std::filesystem::path& folder);

}  // namespace zorvex
