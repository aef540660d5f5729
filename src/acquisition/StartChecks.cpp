#include "acquisition/StartChecks.h"

#include <algorithm>

#include "acquisition/DataFiles.h"
#include "common/Files.h"
#include "common/Numbers.h"

namespace zorvex {

namespace {
constexpr const char* CrLf = "\r\n";
constexpr long long LowSpareMb = 999;      // at or below: "LOW DISK SPACE"
constexpr long long MinimumSpareMb = 200;  // below: "NOT ENOUGH DISK SPACE"
constexpr long long LargeRecordingMb = 1000;
constexpr double BytesPerMegabyte = 1024.0 * 1024.0;
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
    return static_cast<long long>(roundHalfEven(static_cast<double>(*freeBytes) / BytesPerMegabyte));
}

double recordingMegabytesPerMinute(int rtBuffer, bool saveReal, int sampleMs) {
    const double binsPerMinute = 60000.0 / (std::max(rtBuffer, 1) * static_cast<double>(std::max(sampleMs, 1)));
    const double bytesPerBin =
        static_cast<double>(ActivityRecordBytes) + (saveReal ? static_cast<double>(realTimeDumpBytes(rtBuffer)) : 0.0);
    return binsPerMinute * bytesPerBin / BytesPerMegabyte;
}

namespace {
long long neededMegabytes(int minutes, double megabytesPerMinute) {
    return static_cast<long long>(roundHalfEven(std::max(minutes, 0) * megabytesPerMinute));
}
}  // namespace

std::optional<std::string> diskWarning(int aqLapse, double megabytesPerMinute, long long freeMb) {
    const long long required = neededMegabytes(aqLapse, megabytesPerMinute);
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

std::optional<std::string> lowDiskWarning(int remainingMinutes, double megabytesPerMinute, long long freeMb) {
    const long long required = neededMegabytes(remainingMinutes, megabytesPerMinute);
    if (freeMb - required >= MinimumSpareMb) return std::nullopt;
    return "LOW DISK SPACE: " + std::to_string(freeMb) + "MB free, and the rest of the lapse needs about " +
           std::to_string(required) +
           "MB. The acquisition goes on; free some disk space, or records that find the disk full are saved "
           "without their real-time data, and then not at all.";
}

bool holdsRecording(const std::filesystem::path& folder) { return fileExists(folder / "counts.bin"); }

}  // namespace zorvex
