#pragma once
// The texts and checks of the start command that need no instrument: the
// name prompt, the disk-space warnings of a recording, and whether the
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

/// Megabytes a recording writes a minute: a count record and, with
/// `saveReal`, a dump of `rtBuffer` samples for every bin, a bin being
/// `rtBuffer` samples taken every `sampleMs` (the timer's interval, the
/// fastest the cycle goes, so the need is never underestimated).
double recordingMegabytesPerMinute(int rtBuffer, bool saveReal, int sampleMs);

/// The disk warning for a raw recording of `aqLapse` minutes writing
/// `megabytesPerMinute` with `freeMb` free: nothing when no box is due (more
/// than 1000 MB to spare and no more than 1000 MB needed).
std::optional<std::string> diskWarning(int aqLapse, double megabytesPerMinute, long long freeMb);

/// During a recording: a warning when the disk, with `freeMb` free, has less
/// than 200 MB to spare after the `remainingMinutes` still to record at
/// `megabytesPerMinute`; nothing otherwise.
std::optional<std::string> lowDiskWarning(int remainingMinutes, double megabytesPerMinute, long long freeMb);

/// True when `folder` already holds a recorded bin (counts.bin), so a second
/// recording started in the same minute would mix into it.
bool holdsRecording(const std::filesystem::path& folder);

}  // namespace zorvex
