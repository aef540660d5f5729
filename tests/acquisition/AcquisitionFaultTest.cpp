// Faults during a recording: a data file that cannot be appended, a noisy
// line, and an instrument that goes away.

#include <atomic>
#include <memory>

#include "AcquisitionFixture.h"
#include "common/Files.h"

using namespace zorvex;
using test::AcquisitionOnPty;

namespace {
// The run's events.log, whole.
std::string eventsLog(const std::filesystem::path& folder) { return readFile(folder / "events.log").value_or(""); }
}  // namespace

TEST_F(AcquisitionOnPty, FailedAppendLosesThatBinOnlyAndTellsOnce) {
    ASSERT_TRUE(startNamed("Disk"));
    const auto folder = acquisition->folder();
    tickBins(1, 10);
    // counts.bin cannot be appended while a folder stands in its way.
    std::filesystem::rename(folder / "counts.bin", folder / "kept.bin");
    std::filesystem::create_directory(folder / "counts.bin");
    tickBins(3, 10);
    EXPECT_EQ(acquisition->state(), AcquisitionState::Running);
    ASSERT_EQ(owner.told.size(), 1u);
    EXPECT_EQ(owner.told[0].rfind("Data writing ERROR: a record could not be saved in ", 0), 0u);
    EXPECT_TRUE(dialogs.shown.empty());  // nothing waited inside a tick
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
    EXPECT_EQ(owner.told.size(), 1u);
    // Every lost bin and the recovery are in the run's story.
    const std::string events = eventsLog(folder);
    EXPECT_NE(events.find("Data writing ERROR: record 2 (minute "), std::string::npos) << events;
    EXPECT_NE(events.find("Data writing ERROR: record 3 (minute "), std::string::npos) << events;
    EXPECT_NE(events.find("Record 4 saved: records are saved again"), std::string::npos) << events;
}

TEST_F(AcquisitionOnPty, ADiskThatFillsKeepsEveryCountRecordAndTellsTheMissingRealTimeData) {
    ASSERT_TRUE(startNamed("Full"));
    const auto folder = acquisition->folder();
    tickBins(1, 10);
    // Room for a few count records and half a dump.
    host.disk.fillAfter(program.path(), 3 * ActivityRecordBytes + realTimeDumpBytes(Buffer) / 2);
    tickBins(4, 10);
    host.disk.folder.reset();  // room again
    tickBins(5, 10);

    ASSERT_EQ(owner.bins.size(), 5u);
    for (const auto& bin : owner.bins) EXPECT_TRUE(bin.recorded) << "record " << bin.bin;
    EXPECT_EQ(readActivityRecords(folder).size(), 5u);
    // Records 2 to 4 have no real-time data; record 5's dump keeps its place.
    EXPECT_TRUE(readRealTimeDump(folder, 0, Buffer).has_value());
    for (int place = 1; place <= 3; ++place) EXPECT_FALSE(readRealTimeDump(folder, place, Buffer)) << place;
    EXPECT_TRUE(readRealTimeDump(folder, 4, Buffer).has_value());
    EXPECT_EQ(std::filesystem::file_size(realTimeFilePath(folder, 0)), 5 * realTimeDumpBytes(Buffer));

    const std::string events = eventsLog(folder);
    for (int record = 2; record <= 4; ++record) {
        EXPECT_NE(events.find("Missing real-time data: record " + std::to_string(record) +
                              " (minute 0) is saved without its real-time data (No space left on device)"),
                  std::string::npos)
            << events;
    }
    EXPECT_NE(events.find("Record 5 saved with its real-time data again"), std::string::npos) << events;
    ASSERT_EQ(owner.told.size(), 1u);
    EXPECT_EQ(owner.told[0].rfind("Data writing ERROR: the real-time data of a record could not be saved in ", 0), 0u);
    EXPECT_TRUE(dialogs.shown.empty());
}

TEST_F(AcquisitionOnPty, DiskSpaceRunningLowDuringTheRunIsToldOnceAndTheRunGoesOn) {
    ASSERT_TRUE(startNamed("Filling"));
    const auto folder = acquisition->folder();
    tickBins(1, 10);
    EXPECT_TRUE(owner.told.empty());
    host.freeBytes = 3ULL * 1024 * 1024;  // less than the spare kept for the rest of the lapse
    tickBins(3, 10);

    EXPECT_EQ(acquisition->state(), AcquisitionState::Running);
    ASSERT_EQ(owner.told.size(), 1u);
    EXPECT_EQ(owner.told[0].rfind("LOW DISK SPACE: 3MB free, and the rest of the lapse needs about ", 0), 0u)
        << owner.told[0];
    ASSERT_EQ(owner.notified.size(), 1u);
    EXPECT_EQ(owner.notified[0].first, RunEvent::DiskLow);
    EXPECT_NE(eventsLog(folder).find(owner.told[0]), std::string::npos);
    EXPECT_EQ(readActivityRecords(folder).size(), 3u);
    EXPECT_TRUE(dialogs.shown.empty());
}

TEST_F(AcquisitionOnPty, AFailingCloseUndoesTheRecordAndItsDumpSoBothStayPaired) {
    ASSERT_TRUE(startNamed("Share"));
    const auto folder = acquisition->folder();
    tickBins(1, 10);
    // The dump closes well; the share reports a delayed write error at the record's close.
    host.disk.closesBeforeFailure = 1;
    host.disk.failingCloses = 1;
    tickBins(2, 10);
    EXPECT_FALSE(owner.bins[1].recorded);
    EXPECT_EQ(readActivityRecords(folder).size(), 1u);
    EXPECT_EQ(countRealTimeDumps(folder, 0, Buffer), 1);

    tickBins(3, 10);
    EXPECT_TRUE(owner.bins[2].recorded);
    EXPECT_EQ(readFile(folder / "counts.bin")->size(), 2 * ActivityRecordBytes);
    EXPECT_EQ(std::filesystem::file_size(realTimeFilePath(folder, 0)), 2 * realTimeDumpBytes(Buffer));
    EXPECT_NE(eventsLog(folder).find("record 2 (minute 0) could not be saved (Input/output error)"),
              std::string::npos);
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

TEST_F(AcquisitionOnPty, FaultyBlocksAreSummedUpInEventsLog) {
    sim.instrument.setFaults({0, 0.1, 0, 0});
    ASSERT_TRUE(startNamed("Noisy"));
    tickBins(2, 10);
    acquisition->stop();
    const std::string events = eventsLog(acquisition->folder());
    const auto line = events.find("Sample blocks not read whole: block ");
    ASSERT_NE(line, std::string::npos) << events;
    EXPECT_NE(events.find(" faulty, in 2 of 2 records", line), std::string::npos) << events;
    EXPECT_LT(line, events.find("Stop: 2 records closed, 2 saved"));
}

TEST_F(AcquisitionOnPty, SilentTickIsAGlitchButAGoneInstrumentIsWaitedForAndGetsItsStateBack) {
    test::PluggableInstrument adapter(program.path() / "ttyUSB4");
    useInstrumentAt(adapter.path());
    // As a calibration of this run left them: these go back after a power cycle.
    session->PinHole.fill(3);
    session->Gain.fill(5);
    ASSERT_TRUE(startNamed("Unplugged"));
    const auto folder = acquisition->folder();
    session->outputs = {true, true, true};
    session->pendingSend = true;
    tick(20, 10);
    // One tick's four block requests go unanswered (about 10 s of read timeouts).
    auto withheld = std::make_shared<std::atomic<int>>(0);
    adapter.instrument.setReplyFilter([withheld](const sim::Frame& frame) {
        return frame[2] == RequestSampleBlock && withheld->fetch_add(1) < SampleBlockCount;
    });
    tickBins(2, 10);
    ASSERT_GE(withheld->load(), SampleBlockCount);
    EXPECT_TRUE(owner.told.empty());
    EXPECT_EQ(readActivityRecords(folder).size(), 2u);

    tick(20, 10);
    adapter.unplug();
    // The count of silent ticks started afresh after the glitch.
    tick(Acquisition::LostAfterSilentTicks, 10);
    ASSERT_TRUE(acquisition->waitingForInstrument());
    EXPECT_EQ(acquisition->state(), AcquisitionState::Running);
    ASSERT_EQ(owner.told.size(), 1u);
    EXPECT_NE(owner.told[0].find("stopped answering on COM5 (" + adapter.path() + ") at 14:5"), std::string::npos)
        << owner.told[0];
    EXPECT_NE(owner.told[0].find("The 2 records saved so far are in " + folder.string() + "."),
              std::string::npos)
        << owner.told[0];
    EXPECT_EQ(owner.waitStatus.rfind("Waiting for the instrument since 14:5", 0), 0u) << owner.waitStatus;

    // A minute without the instrument: no sample, so no bin; the clock runs on.
    const int minuteBefore = acquisition->elapsedMinutes();
    EXPECT_EQ(tick(600, 100), 600);
    EXPECT_EQ(owner.bins.size(), 2u);
    EXPECT_GE(acquisition->elapsedMinutes(), minuteBefore + 1);
    EXPECT_EQ(owner.waitStatus.find("(1 min)") != std::string::npos, true) << owner.waitStatus;

    adapter.plugIn();  // after a power cycle: outputs off, beams at their power-on setting
    const auto framesBefore = adapter.instrument.recentFrames().size();
    tick(Acquisition::ReconnectIntervalMs / 100 + 1, 100);
    ASSERT_FALSE(acquisition->waitingForInstrument());
    EXPECT_GT(framesBefore + 1024, adapter.instrument.recentFrames().size());
    for (int c : {0, 127, 128, 383}) EXPECT_EQ(adapter.instrument.channelSetting(c), 5 * 32 + 3) << c;
    DeviceQuery(session->comm, Com, RequestTemperature, 0, ModeRequest);  // its reply follows the outputs
    EXPECT_EQ(adapter.instrument.outputState(), outputStateCode(session->outputs));
    EXPECT_TRUE(session->outputs.light);
    ASSERT_EQ(owner.told.size(), 2u);
    EXPECT_EQ(owner.told[1].rfind("The instrument answers again on COM5 since ", 0), 0u) << owner.told[1];
    EXPECT_NE(owner.told[1].find("; recording goes on. Lost: 14:5"), std::string::npos) << owner.told[1];
    EXPECT_TRUE(owner.waitStatus.empty());

    // A fresh bin starts at the return; records and dumps stay paired and
    // the records' minutes show the gap.
    tickBins(4, 10);
    const auto records = readActivityRecords(folder);
    ASSERT_EQ(records.size(), 4u);
    EXPECT_EQ(countRealTimeDumps(folder, 0, Buffer), 4);
    EXPECT_GE(records[2].elapsedMinutes - records[1].elapsedMinutes, 1);
    const std::string events = eventsLog(folder);
    EXPECT_NE(events.find("Instrument lost on COM5"), std::string::npos) << events;
    EXPECT_NE(events.find("Instrument back on COM5"), std::string::npos) << events;
}

TEST_F(AcquisitionOnPty, WhileWaitingPauseStopAndTheEndOfTheLapseWorkAsUsual) {
    test::PluggableInstrument adapter(program.path() / "ttyUSB4");
    useInstrumentAt(adapter.path());
    ASSERT_TRUE(acquisition->start({NameSource::Given, ""}));
    tick(5, 10);
    adapter.unplug();
    tick(Acquisition::LostAfterSilentTicks, 10);
    ASSERT_EQ(owner.told.size(), 1u);
    EXPECT_NE(owner.told[0].find("the monitor run goes on when it answers"), std::string::npos) << owner.told[0];
    dialogs.answers = {Answer::Yes};
    acquisition->pauseOrResume();
    EXPECT_EQ(acquisition->state(), AcquisitionState::Paused);
    acquisition->pauseOrResume();
    EXPECT_TRUE(acquisition->waitingForInstrument());
    acquisition->stop();
    EXPECT_EQ(acquisition->state(), AcquisitionState::Stopped);
    // Stopped, the program still looks for the instrument and shows it lost.
    EXPECT_TRUE(acquisition->waitingForInstrument());
    EXPECT_TRUE(owner.timerOn);
    EXPECT_FALSE(owner.waitStatus.empty());
    adapter.plugIn();
    tick(Acquisition::ReconnectIntervalMs / 10 + 1, 10);
    ASSERT_FALSE(acquisition->waitingForInstrument());
    EXPECT_TRUE(owner.waitStatus.empty());
    EXPECT_FALSE(owner.timerOn);
    EXPECT_NE(owner.told.back().find("; Start works again. Lost: "), std::string::npos) << owner.told.back();

    // A recording started on the dead line waits from its first ticks, and
    // its lapse still ends at the planned time.
    adapter.unplug();
    owner.told.clear();
    workspace.setup.Aq_lapse = 2;
    ASSERT_TRUE(startNamed("Too late"));
    tick(Acquisition::LostAfterSilentTicks, 10);
    ASSERT_EQ(owner.told.size(), 1u);
    EXPECT_NE(owner.told[0].find("No record was completed yet; " + acquisition->folder().string()), std::string::npos)
        << owner.told[0];
    host.advanceMinutes(3);
    tick(1, 10);
    EXPECT_EQ(acquisition->state(), AcquisitionState::Stopped);
    EXPECT_EQ(owner.told.back(), "Acquisition finished");
    EXPECT_FALSE(std::filesystem::exists(acquisition->folder() / "counts.bin"));
    const std::string events = eventsLog(acquisition->folder());
    EXPECT_NE(events.find("End of the lapse (2 min)"), std::string::npos) << events;
}
