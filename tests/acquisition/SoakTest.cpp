// A long recording on an instrument that sends faulty blocks, ticked as fast
// as the pty allows: every bin is recorded, counts.bin and the real-time files
// stay whole and agree bin for bin, and the memory in use does not grow.
#include <gtest/gtest.h>

#include <malloc.h>

#include <cstdlib>

#include "AcquisitionFixture.h"
#include "acquisition/DataFiles.h"

#if defined(__SANITIZE_ADDRESS__)
// From the sanitizer runtime; GCC ships no header for it.
extern "C" std::size_t __sanitizer_get_current_allocated_bytes();
#endif

namespace zorvex {
namespace {

// Heap bytes in use: the allocator's own count, so the sanitizer's quarantine
// of freed blocks does not read as growth.
std::size_t heapInUse() {
#if defined(__SANITIZE_ADDRESS__)
    return __sanitizer_get_current_allocated_bytes();
#else
    return mallinfo2().uordblks;
#endif
}

// ZORVEX_SOAK_BINS runs a longer soak by hand; 500 is what the suite runs.
int soakBins() {
    const char* text = std::getenv("ZORVEX_SOAK_BINS");
    return text != nullptr && std::atoi(text) > 0 ? std::atoi(text) : 500;
}

class Soak : public test::AcquisitionOnPty {};

TEST_F(Soak, EveryBinOfALongFaultyRunIsRecordedWholeWithoutMemoryGrowth) {
    const int bins = soakBins();
    sim::Faults faults;
    faults.faultyBlock = 0.05;
    sim.instrument.setFaults(faults);
    workspace.setup.Aq_lapse = 32000;
    ASSERT_TRUE(startNamed("Soak"));

    tickBins(20);
    const std::size_t settled = heapInUse();
    tickBins(bins);
    const std::size_t after = heapInUse();
    ASSERT_EQ(static_cast<int>(owner.bins.size()), bins);
    EXPECT_LT(after, settled + 1024 * 1024) << "heap grew from " << settled << " to " << after << " bytes";

    for (const BinSummary& bin : owner.bins) ASSERT_TRUE(bin.recorded) << "bin " << bin.bin;
    const std::filesystem::path folder = acquisition->folder();
    const auto records = readActivityRecords(folder);
    ASSERT_EQ(static_cast<int>(records.size()), bins);
    EXPECT_EQ(std::filesystem::file_size(folder / "counts.bin"), static_cast<std::uintmax_t>(bins) * ActivityRecordBytes);
    for (std::size_t k = 1; k < records.size(); ++k) {
        ASSERT_GE(records[k].elapsedMinutes, records[k - 1].elapsedMinutes) << "record " << k;
    }
    // Bin k's dump is dump k mod 11 of file k div 11: full files, then the rest.
    const int files = (bins + DumpsPerRealTimeFile - 1) / DumpsPerRealTimeFile;
    for (int n = 0; n < files; ++n) {
        const int expected = n + 1 < files ? DumpsPerRealTimeFile : bins - n * DumpsPerRealTimeFile;
        EXPECT_EQ(std::filesystem::file_size(realTimeFilePath(folder, n)),
                  static_cast<std::uintmax_t>(expected) * realTimeDumpBytes(Buffer))
            << n << ".bin";
    }
    EXPECT_FALSE(std::filesystem::exists(realTimeFilePath(folder, files)));
    ASSERT_TRUE(readRealTimeDump(folder, bins - 1, Buffer));
    EXPECT_TRUE(dialogs.shown.empty()) << dialogs.shown.front();
}

}  // namespace
}  // namespace zorvex
