// subproj.dat: the experiment name and description of an acquisition folder.
#include <cstdint>
#include <string_view>

#include "ReadBackChecks.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    // Once written by the program, the texts read back and stay as they are.
    if (auto info = zorvex::parseExperimentInfo(std::string_view(reinterpret_cast<const char*>(data), size))) {
        zorvex::fuzz::checkExperimentInfoReadBack(*info, zorvex::parseExperimentInfo(zorvex::experimentInfoBytes(*info)));
    }
    return 0;
}
