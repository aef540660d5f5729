// calvalue.dat parsed in memory: any bytes give beam settings inside the
// calibration ranges (or the 0, 0 of a beam outside the plate). Writing them
// back and reading them again goes through fuzz_files.
#include <cstdint>

#include "FuzzInput.h"
#include "ReaderChecks.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace zorvex;
    BeamTable pinHole{};
    BeamTable gain{};
    fuzz::fillDefaultCalibration(pinHole, gain);
    // No bytes stand for a missing file, as in fuzz_files.
    CalibrationFileRead read;
    if (size > 0) read = parseCalibrationFile(std::string_view(reinterpret_cast<const char*>(data), size), pinHole, gain);
    fuzz::checkCalibrationRead(read, pinHole, gain);
    return 0;
}
