// Faults during a recording: a data file that cannot be appended, a noisy
// line, and an instrument that goes away.

#include "AcquisitionFixture.h"
#include "common/Files.h"

using namespace zorvex;
using test::AcquisitionOnPty;

TEST_F(AcquisitionOnPty, FailedAppendLosesThatBinOnlyAndTellsOnce) {
    ASSERT_TRUE(startNamed("Disk"));
    const auto folder = acquisition->folder();
    tickBins(1, 10);
    // counts.bin cannot be appended while a folder stands in its way.
    std::filesystem::rename(folder / "counts.bin", folder / "kept.bin");
    std::filesystem::create_directory(folder / "counts.bin");
    tickBins(3, 10);
    EXPECT_EQ(acquisition->state(), AcquisitionState::Running);
    ASSERT_EQ(dialogs.shown.size(), 1u);
    EXPECT_EQ(dialogs.shown[0].rfind("Data writing ERROR: a bin could not be saved in ", 0), 0u);
    EXPECT_FALSE(owner.bins[1].recorded);
    EXPECT_FALSE(owner.bins[2].recorded);
    // The dumps of the lost bins were taken back, so dump k still pairs with record k.
    EXPECT_EQ(countRealTimeDumps(folder, 0, Buffer), 1);

    std::filesystem::remove(folder / "counts.bin");
    std::filesystem::rename(folder / "kept.bin", folder / "counts.bin");
    tickBins(4, 10);
    EXPECT_TRUE(owner.bins[3].recorded);
    EXPECT_EQ(readActivityRecords(folder).size(), 2u);
    EXPECT_EQ(countRealTimeDumps(folder, 0, Buffer), 2);
    EXPECT_EQ(dialogs.shown.size(), 1u);
}

TEST_F(AcquisitionOnPty, CorruptBlocksStillRecordEveryBin) {
    // Corrupt blocks arrive whole; short and silent replies cost the read
    // timeouts and are covered one by one elsewhere.
    sim.instrument.setFaults({0, 0.05, 0, 0});
    ASSERT_TRUE(startNamed("Noisy"));
    tickBins(2, 10);
    EXPECT_EQ(readActivityRecords(acquisition->folder()).size(), 2u);
    EXPECT_EQ(countRealTimeDumps(acquisition->folder(), 0, Buffer), 2);
    EXPECT_TRUE(dialogs.shown.empty());
}

TEST_F(AcquisitionOnPty, InstrumentGoneMidRunNeitherCrashesNorHangs) {
    workspace.setup.Aq_lapse = 1;
    ASSERT_TRUE(startNamed("Unplugged"));
    tick(20, 10);
    sim.server.disconnect();
    const std::int64_t before = host.steadyMs();
    tickBins(1, 300);
    EXPECT_EQ(owner.bins.size(), 1u);
    while (owner.timerOn) tick(1, 1000);
    EXPECT_EQ(acquisition->state(), AcquisitionState::Stopped);
    EXPECT_EQ(dialogs.shown.back(), "Acquisition finished");
    EXPECT_GT(host.steadyMs(), before);
    EXPECT_EQ(readActivityRecords(acquisition->folder()).size(), 1u);
}
