// Real-time files: any dump read back holds the file's samples, and the
// activity calculation of the recount runs on whatever a dump holds.
#include <cmath>
#include <cstdint>
#include <cstdlib>

#include "FuzzInput.h"
#include "acquisition/DataFiles.h"
#include "analysis/Analysis_Module.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    // Four leading bytes choose RT_Buffer (small, so dumps stay small), the bin,
    // the method (3 is no method) and the SNR factor; three files follow.
    if (size < 4) return 0;
    const int rtBuffer = 1 + data[0] % 24;
    const int bin = data[1] % 34;
    const int method = data[2] % 4;
    const double snr = 1.0 + data[3] / 50.0;
    auto parts = zorvex::fuzz::splitParts(data + 4, size - 4, 3);
    auto& folder = zorvex::fuzz::scratch();
    folder.clear();
    for (int n = 0; n < 3; ++n) folder.write(std::to_string(n) + ".bin", parts[static_cast<std::size_t>(n)]);

    for (int n = 0; n < 4; ++n) {
        int dumps = zorvex::countRealTimeDumps(folder.path(), n, rtBuffer);
        if (dumps < 0 || dumps > zorvex::DumpsPerRealTimeFile) std::abort();
    }
    auto frame = zorvex::readRealTimeDump(folder.path(), bin, rtBuffer);
    if (!frame) return 0;
    const std::string& file = parts[static_cast<std::size_t>(bin / zorvex::DumpsPerRealTimeFile)];
    const std::size_t dumpStart = zorvex::realTimeDumpBytes(rtBuffer) * (bin % zorvex::DumpsPerRealTimeFile);
    const std::string encoded = zorvex::encodeRealTimeDump(*frame);
    // The encoder zeroes the last slot and index 384; every sample before them must match the file.
    for (int slot = 0; slot < rtBuffer; ++slot) {
        const std::size_t at = static_cast<std::size_t>(slot) * zorvex::ChannelSlots * 2;
        if (encoded.compare(at, zorvex::ChannelCount * 2, file, dumpStart + at, zorvex::ChannelCount * 2) != 0) {
            std::abort();
        }
    }
    zorvex::Analysis_Module analysis;
    // Every channel goes through the same calculation; three rows (the
    // first, second and last) keep the run fast.
    for (int channel : {0, 1, zorvex::ChannelCount - 1}) (void)analysis.CalculateActivity(*frame, channel, snr, method);
    return 0;
}
