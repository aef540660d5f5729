#include "analysis/CalibrationFile.h"

#include <algorithm>
#include <optional>

#include "common/Files.h"
#include "common/RecordText.h"

namespace zorvex {

namespace {

constexpr const char* CalibrationHeader = "<Num_Channel>, <PinHole>, <Gain> ";

// Brings one value into [low, high]; counts a change.
std::int16_t limited(std::int16_t value, std::int16_t low, std::int16_t high, int& count) {
    const std::int16_t result = std::clamp(value, low, high);
    count += result != value;
    return result;
}

}  // namespace

std::string CalibrationFileRead::note() const {
    std::string text;
    if (garbled) text = std::string(CalibrationFileName) + ": unreadable after line " + std::to_string(lines + 1) + ".";
    if (limited > 0) {
        if (!text.empty()) text += " ";
        text += std::string(CalibrationFileName) + ": " + std::to_string(limited) +
                " values outside the calibration ranges were limited.";
    }
    return text;
}

std::string calibrationFileBytes(const BeamTable& pinHole, const BeamTable& gain) {
    RecordWriter writer;
    writer.header(CalibrationHeader);
    for (int c = 0; c < ChannelCount; ++c) {
        const auto index = static_cast<std::size_t>(c);
        writer.integer(c).integer(pinHole[index]).integer(gain[index]).endLine();
    }
    return writer.bytes();
}

bool writeCalibrationFile(const std::filesystem::path& programFolder, const BeamTable& pinHole,
                          const BeamTable& gain) {
    return writeFile(programFolder / CalibrationFileName, calibrationFileBytes(pinHole, gain));
}

bool writeDefaultCalibrationFile(const std::filesystem::path& programFolder, BeamTable& pinHole, BeamTable& gain) {
    for (int c = 0; c < ChannelCount; ++c) {
        pinHole[static_cast<std::size_t>(c)] = DefaultPinHole;
        gain[static_cast<std::size_t>(c)] = DefaultGain;
    }
    return writeCalibrationFile(programFolder, pinHole, gain);
}

CalibrationFileRead readCalibrationFile(const std::filesystem::path& programFolder, BeamTable& pinHole,
                                        BeamTable& gain) {
    std::optional<std::string> bytes = readFile(programFolder / CalibrationFileName);
    if (!bytes) return {};
    return parseCalibrationFile(*bytes, pinHole, gain);
}

CalibrationFileRead parseCalibrationFile(std::string_view bytes, BeamTable& pinHole, BeamTable& gain) {
    CalibrationFileRead result;
    result.found = true;
    RecordReader reader{std::string(bytes)};
    reader.skip();
    for (std::size_t k = 0; k < ChannelSlots && !reader.atEnd(); ++k) {
        reader.skip();
        std::int16_t hole = reader.int16();
        std::int16_t beamGain = reader.int16();
        if (!reader.ok()) {
            result.garbled = true;
            break;
        }
        if (hole != 0 || beamGain != 0) {
            hole = limited(hole, MinPinHole, MaxPinHole, result.limited);
            beamGain = limited(beamGain, 0, MaxGain, result.limited);
        }
        pinHole[k] = hole;
        gain[k] = beamGain;
        ++result.lines;
    }
    return result;
}

}  // namespace zorvex
