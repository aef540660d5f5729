#include "ui/setup/SetupRules.h"

#include <algorithm>
#include <cmath>

#include "common/Files.h"
#include "common/Numbers.h"
#include "common/Text.h"
#include "store/ProjectFolders.h"
#include "store/ProjectSetup.h"

namespace zorvex {

namespace {
constexpr int LastProjectNumber = 31999;
constexpr std::int16_t MaxLapseMinutes = 32000;
constexpr std::int16_t ShortLapseMinutes = 2;
constexpr std::int16_t MinBufferSamples = 200;
constexpr std::int16_t MaxBufferSamples = 10000;
constexpr std::size_t ProjectNameLength = 6;
constexpr std::size_t ProjectDigits = 5;
constexpr std::size_t MaxTypedDigits = 5;  // a 16-bit setting

double clampedTo16Bits(double value) {
    if (std::isnan(value)) return 0.0;
    return std::clamp(value, -32768.0, 32767.0);
}

BoxValue corrected(std::int16_t value) { return {value, std::to_string(value)}; }
}  // namespace

std::optional<std::string> wholeNumberProblem(std::string_view caption, std::string_view text) {
    const std::string_view digits = text.substr(!text.empty() && text[0] == '-' ? 1 : 0);
    const bool whole = !digits.empty() && digits.size() <= MaxTypedDigits &&
                       std::all_of(digits.begin(), digits.end(), [](char c) { return c >= '0' && c <= '9'; });
    if (whole) return std::nullopt;
    if (text.empty()) return std::string(caption) + " is empty: type a whole number";
    return std::string(caption) + ": \"" + std::string(text) + "\" is not a whole number";
}

std::int16_t typedInt16(std::string_view text) { return toInt16(clampedTo16Bits(val(text))); }

BoxValue anyInt16(std::string_view text) {
    double typed = val(text);
    std::int16_t value = typedInt16(text);
    if (typed != clampedTo16Bits(typed)) return corrected(value);
    return {value, std::nullopt};
}

BoxValue lapseMinutes(std::string_view text) {
    std::int16_t value = typedInt16(text);
    if (value >= MaxLapseMinutes) return corrected(MaxLapseMinutes);
    if (value <= 0) return corrected(ShortLapseMinutes);
    return {value, std::nullopt};
}

BoxValue bufferSamples(std::string_view text) {
    std::int16_t value = typedInt16(text);
    if (value < MinBufferSamples || value > MaxBufferSamples) return corrected(MinBufferSamples);
    return {value, std::nullopt};
}

std::int16_t nextProjectNumber(int lastProject) {
    if (lastProject > LastProjectNumber) lastProject = 0;
    return static_cast<std::int16_t>(std::max(lastProject, 0) + 1);
}

std::vector<std::string> listProjectNames(const std::filesystem::path& programFolder) {
    std::vector<std::string> names;
    std::error_code error;
    for (std::filesystem::directory_iterator it(programFolder, error), end; !error && it != end; it.increment(error)) {
        std::string name = it->path().filename().string();
        if (name.size() == ProjectNameLength && (name[0] == 'p' || name[0] == 'P') &&
            name.find('.') == std::string::npos && staysInside(it->path(), programFolder)) {
            names.push_back(name);
        }
    }
    std::sort(names.begin(), names.end());
    return names;
}

double groupLabelTop(double top, double bottom, double textHeight, double dotRadius, double fallbackDrop) {
    constexpr double BeamPitch = 100.0;
    double gapStart = top;
    for (double dot = std::floor((top - dotRadius - BeamPitch / 2) / BeamPitch) * BeamPitch + BeamPitch / 2;
         dot - dotRadius < bottom; dot += BeamPitch) {
        if (dot + dotRadius <= top) continue;
        if (dot - dotRadius - gapStart >= textHeight) return gapStart + (dot - dotRadius - gapStart - textHeight) / 2;
        gapStart = std::max(gapStart, dot + dotRadius);
    }
    if (bottom - gapStart >= textHeight) return gapStart + (bottom - gapStart - textHeight) / 2;
    return top + fallbackDrop;
}

std::string projectListEntry(const std::filesystem::path& programFolder, const std::string& folderName) {
    const std::optional<SetupAsIs> read = readSetupAsIs(programFolder / folderName / SetupFileName);
    const std::string name = read ? std::string(trimBlanks(read->setup.Name)) : std::string();
    return name.empty() ? folderName : name + " (" + folderName + ")";
}

std::int16_t projectNumberOfName(std::string_view name) {
    return typedInt16(name.substr(name.size() > ProjectDigits ? name.size() - ProjectDigits : 0));
}

std::optional<std::string> typedName(std::string_view text) {
    std::string name = storableName(text);
    std::string_view trimmed = trimBlanks(name);
    if (trimmed.empty()) return std::nullopt;
    return std::string(trimmed);
}

}  // namespace zorvex
