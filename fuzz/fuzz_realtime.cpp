// Real-time files decoded in memory: any dump read holds the file's samples,
// and the activity calculation of the recount runs on whatever a dump holds.
#include <cstdint>
#include <cstdlib>

#include "FuzzInput.h"
#include "ReaderChecks.h"
#include "acquisition/DataFiles.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace zorvex;
    // Four leading bytes choose RT_Buffer, the bin, the method and the SNR
    // factor; the files 0.bin to 2.bin follow.
    if (size < 4) return 0;
    const fuzz::RealTimeChoice choice = fuzz::realTimeChoice(data);
    auto parts = fuzz::splitParts(data + 4, size - 4, 3);
    for (const std::string& file : parts) {
        const int dumps = realTimeDumpsIn(file.size(), choice.rtBuffer);
        if (dumps < 0 || dumps > DumpsPerRealTimeFile) std::abort();
    }
    const auto fileNumber = static_cast<std::size_t>(choice.bin / DumpsPerRealTimeFile);
    if (fileNumber >= parts.size()) return 0;  // 3.bin is missing
    const std::string& file = parts[fileNumber];
    auto frame = decodeRealTimeDump(file, choice.bin % DumpsPerRealTimeFile, choice.rtBuffer);
    if (frame) fuzz::checkDump(*frame, file, choice);
    return 0;
}
