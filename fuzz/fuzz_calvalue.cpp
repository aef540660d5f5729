// calvalue.dat: any bytes give beam settings inside the calibration ranges
// (or the 0, 0 of a beam outside the plate), and what is written reads back.
#include <cstdint>
#include <cstdlib>

#include "FuzzInput.h"
#include "analysis/CalibrationFile.h"

namespace {

// The settings a program keeps until a file says otherwise.
void fillDefaults(zorvex::BeamTable& pinHole, zorvex::BeamTable& gain) {
    pinHole.fill(zorvex::DefaultPinHole);
    gain.fill(zorvex::DefaultGain);
}

bool inRange(std::int16_t pinHole, std::int16_t gain) {
    if (pinHole == 0 && gain == 0) return true;
    return pinHole >= zorvex::MinPinHole && pinHole <= zorvex::MaxPinHole && gain >= 0 && gain <= zorvex::MaxGain;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace zorvex;
    auto& folder = fuzz::scratch();
    folder.clear();
    folder.write(CalibrationFileName, std::string_view(reinterpret_cast<const char*>(data), size));
    BeamTable pinHole{};
    BeamTable gain{};
    fillDefaults(pinHole, gain);
    const CalibrationFileRead read = readCalibrationFile(folder.path(), pinHole, gain);
    (void)read.note();
    if (read.lines < 0 || read.lines > ChannelSlots || (!read.found && read.lines != 0)) std::abort();
    for (std::size_t k = 0; k < ChannelSlots; ++k) {
        const bool taken = static_cast<int>(k) < read.lines;
        if (taken ? !inRange(pinHole[k], gain[k]) : (pinHole[k] != DefaultPinHole || gain[k] != DefaultGain)) {
            std::abort();
        }
    }
    // What the program writes, it reads back whole, unchanged and without a note.
    if (!writeCalibrationFile(folder.path(), pinHole, gain)) std::abort();
    BeamTable pinHoleAgain{};
    BeamTable gainAgain{};
    fillDefaults(pinHoleAgain, gainAgain);
    const CalibrationFileRead again = readCalibrationFile(folder.path(), pinHoleAgain, gainAgain);
    if (!again.found || again.lines != ChannelCount || !again.note().empty()) std::abort();
    for (std::size_t k = 0; k < ChannelCount; ++k) {
        if (pinHoleAgain[k] != pinHole[k] || gainAgain[k] != gain[k]) std::abort();
    }
    return 0;
}
