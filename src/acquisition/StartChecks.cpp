#include "acquisition/StartChecks.h"

#include <algorithm>

#include "common/Files.h"
#include "common/Numbers.h"

namespace zorvex {

namespace {
constexpr const char* CrLf = "\r\n";
constexpr long long LowSpareMb = 999;      // at or below: "LOW DISK SPACE"
constexpr long long MinimumSpareMb = 200;  // below: "NOT ENOUGH DISK SPACE"
constexpr long long LargeRecordingMb = 1000;
}  // namespace

std::string namePrompt(bool autoCalibrationAndZero) {
    std::string prompt;
    for (const char* line : {"*************************************************",
                             "***   Enter a Name for this Experiment  ***",
                             "*************************************************", "Comments:", "~~~~~~~"}) {
        prompt += line;
        prompt += CrLf;
    }
    prompt += autoCalibrationAndZero ? "> Auto Calibration is ON: Use experimental Microplate Direclty."
                                     : "> Auto Calibration is OFF: Remember to read Blank.";
    prompt += CrLf;
    prompt += "> To go into Monitor_mode (no calculation/recording) keep experiment name empty.";
    return prompt;
}

long long freeMegabytes(std::optional<std::uint64_t> freeBytes) {
    if (!freeBytes) return -1;
    return static_cast<long long>(roundHalfEven(static_cast<double>(*freeBytes) / 1024.0 / 1024.0));
}

namespace {
// 0.4 MB a minute, counted in whole tenths so that halves round exactly.
long long realTimeMegabytes(int minutes) { return static_cast<long long>(roundHalfEven(minutes * 4 / 10.0)); }
}  // namespace

std::optional<std::string> diskWarning(int aqLapse, long long freeMb) {
    const long long required = realTimeMegabytes(aqLapse);
    std::string text = "Programmed Acquisition lapse = " + std::to_string(aqLapse) +
                       "minutes & RealTime_recording=YES" + CrLf + "Required Disk space for RealTime Saving = " +
                       std::to_string(required) + "MB" + CrLf + "Current Disk Space=" + std::to_string(freeMb) +
                       "MB" + CrLf;
    const long long spare = freeMb - required;
    bool lineAdded = false;
    if (spare <= LowSpareMb) {
        text += std::string("LOW DISK SPACE") + CrLf;
        lineAdded = true;
    }
    if (spare < MinimumSpareMb) {
        text += std::string("NOT ENOUGH DISK SPACE") + CrLf +
                " (Please, Increase Disk Space Availablility or Deselect Realtime recording)";
        lineAdded = true;
    }
    if (required <= LargeRecordingMb && !lineAdded) return std::nullopt;
    return "WARNING:" + std::string(CrLf) + text + CrLf + "PROCEED?";
}

std::optional<std::string> lowDiskWarning(int remainingMinutes, long long freeMb) {
    const long long required = realTimeMegabytes(std::max(remainingMinutes, 0));
    if (freeMb - required >= MinimumSpareMb) return std::nullopt;
    return "LOW DISK SPACE: " + std::to_string(freeMb) + "MB free, and the rest of the lapse needs about " +
           std::to_string(required) +
           "MB for its real-time data. The acquisition goes on; free some disk space, or bins that find the disk "
           "full are lost.";
}

bool holdsRecording(const std::filesystem::path& folder) { return fileExists(folder / "counts.bin"); }

}  // namespace zorvex
