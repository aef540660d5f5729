// A long recording on an instrument that sends faulty blocks, ticked as fast
// as the pty allows, with one outage of the instrument (unplugged, powered
// on again), three mains blips too short to count as a loss and one period
// of a full disk: every bin outside the full period is recorded, counts.bin
// and the real-time files stay whole and agree bin for bin, the instrument
// has its beams and outputs back after each blip, and the memory in use does
// not grow. The manual clock makes the outage's minute cost nothing.
#include <gtest/gtest.h>

#include <malloc.h>
#include <sys/resource.h>

#include <csignal>

#include <cstdlib>
#include <functional>

#include "AcquisitionFixture.h"
#include "acquisition/DataFiles.h"
#include "common/Files.h"

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

// While alive, files may not grow past 100 kB (every dump is larger): the
// disk is full as far as the recording can tell.
class FullDisk {
public:
    FullDisk() {
        ::getrlimit(RLIMIT_FSIZE, &saved_);
        previous_ = std::signal(SIGXFSZ, SIG_IGN);
        rlimit full = saved_;
        full.rlim_cur = 100 * 1024;
        ::setrlimit(RLIMIT_FSIZE, &full);
    }
    ~FullDisk() {
        ::setrlimit(RLIMIT_FSIZE, &saved_);
        std::signal(SIGXFSZ, previous_);
    }

private:
    rlimit saved_{};
    void (*previous_)(int) = nullptr;
};

class Soak : public test::AcquisitionOnPty {};

constexpr int CalibratedSetting = 6 * 32 + 4;  // gain 6, pin-hole 4: not the power-on setting
constexpr double BlipSeconds = 0.3;

// A blip of the instrument's mains from now; ticks until it has its beams
// back (or 400 ticks went by).
void blip(test::PluggableInstrument& adapter, const std::function<void()>& tickOnce) {
    adapter.instrument.blip(adapter.seconds(), BlipSeconds);
    tickOnce();  // the tick that meets the dead instrument
    for (int i = 0; i < 400 && adapter.instrument.channelSetting(ChannelCount - 1) != CalibratedSetting; ++i) {
        tickOnce();
    }
}

std::size_t occurrences(const std::string& text, const std::string& part) {
    std::size_t count = 0;
    for (std::size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) ++count;
    return count;
}

TEST_F(Soak, EveryBinOutsideAFullDiskIsRecordedWholeThroughAnOutageAndBlipsWithoutMemoryGrowth) {
    const int bins = soakBins();
    constexpr int FullBins = 5;
    test::PluggableInstrument adapter(program.path() / "ttyUSB4");
    useInstrumentAt(adapter.path());
    sim::Faults faults;
    faults.faultyBlock = 0.05;
    adapter.instrument.setFaults(faults);
    workspace.setup.Aq_lapse = 32000;
    // As a calibration of this run leaves them.
    session->PinHole.fill(4);
    session->Gain.fill(6);
    ASSERT_TRUE(startNamed("Soak"));
    const auto tickOnce = [this] { tick(1); };
    int blips = 0;

    tickBins(20);
    const std::size_t settled = heapInUse();
    tickBins(bins / 6);
    blip(adapter, tickOnce);
    ++blips;
    ASSERT_EQ(adapter.instrument.channelSetting(0), CalibratedSetting)
        << readFile(acquisition->folder() / "events.log").value_or("");
    tickBins(bins / 3);
    adapter.unplug();
    tick(Acquisition::LostAfterSilentTicks);
    ASSERT_TRUE(acquisition->waitingForInstrument());
    tick(600);  // a minute without the instrument
    adapter.plugIn();
    tick(Acquisition::ReconnectIntervalMs / 100 + 1);
    ASSERT_FALSE(acquisition->waitingForInstrument());

    tickBins(bins / 2);
    blip(adapter, tickOnce);
    ++blips;
    tickBins(2 * bins / 3);
    const int firstFull = static_cast<int>(owner.bins.size());
    {
        FullDisk full;
        tickBins(firstFull + FullBins);
    }
    tickBins(5 * bins / 6);
    blip(adapter, tickOnce);
    ++blips;
    tickBins(bins);
    const std::size_t after = heapInUse();
    ASSERT_EQ(static_cast<int>(owner.bins.size()), bins);
    EXPECT_LT(after, settled + 1024 * 1024) << "heap grew from " << settled << " to " << after << " bytes";

    for (const BinSummary& bin : owner.bins) {
        const bool inFullPeriod = bin.bin >= firstFull && bin.bin < firstFull + FullBins;
        ASSERT_EQ(bin.recorded, !inFullPeriod) << "bin " << bin.bin;
    }
    const int recorded = bins - FullBins;
    const std::filesystem::path folder = acquisition->folder();
    const auto records = readActivityRecords(folder);
    ASSERT_EQ(static_cast<int>(records.size()), recorded);
    EXPECT_EQ(std::filesystem::file_size(folder / "counts.bin"),
              static_cast<std::uintmax_t>(recorded) * ActivityRecordBytes);
    for (std::size_t k = 1; k < records.size(); ++k) {
        ASSERT_GE(records[k].elapsedMinutes, records[k - 1].elapsedMinutes) << "record " << k;
    }
    // Record k's dump is dump k mod 11 of file k div 11: full files, then the rest.
    const int files = (recorded + DumpsPerRealTimeFile - 1) / DumpsPerRealTimeFile;
    for (int n = 0; n < files; ++n) {
        const int expected = n + 1 < files ? DumpsPerRealTimeFile : recorded - n * DumpsPerRealTimeFile;
        EXPECT_EQ(std::filesystem::file_size(realTimeFilePath(folder, n)),
                  static_cast<std::uintmax_t>(expected) * realTimeDumpBytes(Buffer))
            << n << ".bin";
    }
    EXPECT_FALSE(std::filesystem::exists(realTimeFilePath(folder, files)));
    ASSERT_TRUE(readRealTimeDump(folder, recorded - 1, Buffer));
    // Each blip was noticed and put right, and the instrument ends as the run set it.
    const std::string events = readFile(folder / "events.log").value_or("");
    EXPECT_EQ(occurrences(events, "beam settings of this run's calibration and outputs sent again"),
              static_cast<std::size_t>(blips))
        << events;
    for (int c : {0, 100, 200, ChannelCount - 1}) EXPECT_EQ(adapter.instrument.channelSetting(c), CalibratedSetting);
    DeviceQuery(session->comm, Com, RequestTemperature, 0, ModeRequest);  // its reply follows the outputs
    EXPECT_EQ(adapter.instrument.outputState(), outputStateCode(session->outputs));
    // Told, never asked: the loss, the return and the first bin lost.
    EXPECT_TRUE(dialogs.shown.empty()) << dialogs.shown.front();
    ASSERT_EQ(owner.told.size(), 3u);
    EXPECT_EQ(owner.told[2].rfind("Data writing ERROR", 0), 0u) << owner.told[2];
}

}  // namespace
}  // namespace zorvex
