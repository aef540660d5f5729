// subproj.dat: the experiment name and description of an acquisition folder.
#include <cstdint>
#include <cstdlib>

#include "FuzzInput.h"
#include "acquisition/DataFiles.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    auto& folder = zorvex::fuzz::scratch();
    folder.clear();
    folder.write("subproj.dat", std::string_view(reinterpret_cast<const char*>(data), size));
    // Once written by the program, the texts read back and stay as they are.
    if (auto info = zorvex::readExperimentInfo(folder.path())) {
        for (int generation = 0; generation < 2; ++generation) {
            if (!zorvex::writeExperimentInfo(folder.path(), *info)) std::abort();
            auto again = zorvex::readExperimentInfo(folder.path());
            if (!again || (generation == 1 && (again->name != info->name || again->description != info->description))) {
                std::abort();
            }
            info = again;
        }
    }
    return 0;
}
