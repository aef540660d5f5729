// Faults during a recording: a data file that cannot be appended, a noisy
// line, and an instrument that goes away.

#include <atomic>
#include <memory>

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

TEST_F(AcquisitionOnPty, SilentTickIsAGlitchButAGoneInstrumentStopsTheRunOnceKeepingItsBins) {
    ASSERT_TRUE(startNamed("Unplugged"));
    const auto folder = acquisition->folder();
    tick(20, 10);
    // One tick's four block requests go unanswered (about 10 s of read timeouts).
    auto withheld = std::make_shared<std::atomic<int>>(0);
    sim.instrument.setReplyFilter([withheld](const sim::Frame& frame) {
        return frame[2] == RequestSampleBlock && withheld->fetch_add(1) < SampleBlockCount;
    });
    tickBins(2, 10);
    ASSERT_GE(withheld->load(), SampleBlockCount);
    EXPECT_EQ(acquisition->state(), AcquisitionState::Running);
    EXPECT_TRUE(owner.lost.empty());
    EXPECT_EQ(readActivityRecords(folder).size(), 2u);

    tick(20, 10);
    sim.server.disconnect();
    // The count of silent ticks started afresh after the glitch.
    EXPECT_EQ(tick(100, 10), Acquisition::LostAfterSilentTicks);
    EXPECT_EQ(acquisition->state(), AcquisitionState::Stopped);
    EXPECT_FALSE(owner.controlsLocked);
    ASSERT_EQ(owner.lost.size(), 1u);
    EXPECT_NE(owner.lost[0].find("stopped answering on COM5 (" + sim.path() + "), so the acquisition was stopped."),
              std::string::npos)
        << owner.lost[0];
    EXPECT_NE(owner.lost[0].find("The 2 bins recorded so far are saved in " + folder.string() + "."),
              std::string::npos)
        << owner.lost[0];
    EXPECT_TRUE(dialogs.shown.empty());  // neither "Acquisition finished" nor a report
    EXPECT_TRUE(owner.reports.empty());

    // The bin in progress was dropped; the completed ones are whole.
    EXPECT_EQ(owner.bins.size(), 2u);
    EXPECT_EQ(std::filesystem::file_size(folder / "counts.bin"), 2 * ActivityRecordBytes);
    EXPECT_EQ(countRealTimeDumps(folder, 0, Buffer), 2);
    acquisition->stop();
    EXPECT_EQ(owner.lost.size(), 1u);
}

TEST_F(AcquisitionOnPty, InstrumentGoneBeforeAnyBinOrDuringAMonitorRunIsToldAsSuch) {
    ASSERT_TRUE(acquisition->start({NameSource::Given, ""}));
    tick(5, 10);
    sim.server.disconnect();
    tick(100, 10);
    ASSERT_EQ(owner.lost.size(), 1u);
    EXPECT_NE(owner.lost[0].find("so the monitor run was stopped. Check the cable"), std::string::npos) << owner.lost[0];

    // A new recording on the dead line ends before its first bin.
    owner.lost.clear();
    ASSERT_TRUE(startNamed("Too late"));
    tick(100, 10);
    EXPECT_EQ(acquisition->state(), AcquisitionState::Stopped);
    ASSERT_EQ(owner.lost.size(), 1u);
    EXPECT_NE(owner.lost[0].find("No bin was completed; " + acquisition->folder().string() + " holds no data."),
              std::string::npos)
        << owner.lost[0];
    EXPECT_FALSE(std::filesystem::exists(acquisition->folder() / "counts.bin"));
}
