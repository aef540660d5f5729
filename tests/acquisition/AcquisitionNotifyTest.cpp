// The events a run passes on for the notify command: each told message with
// its kind, and one event for each way a run ends.

#include "AcquisitionFixture.h"

using namespace zorvex;
using test::AcquisitionOnPty;

namespace {
using Notified = std::vector<std::pair<RunEvent, std::string>>;
}  // namespace

TEST_F(AcquisitionOnPty, EndOfLapseIsOneEventNotAlsoAStop) {
    workspace.setup.Aq_lapse = 1;
    ASSERT_TRUE(startNamed("Lapse"));
    tick(100000, 1000);
    ASSERT_EQ(acquisition->state(), AcquisitionState::Stopped);
    EXPECT_EQ(owner.notified, (Notified{{RunEvent::LapseEnd, "Acquisition finished"}}));
}

TEST_F(AcquisitionOnPty, OperatorsStopIsAnEventWithTheBinsSaved) {
    ASSERT_TRUE(startNamed("Stopped"));
    tickBins(2, 10);
    acquisition->stop();
    EXPECT_EQ(owner.notified, (Notified{{RunEvent::Stop, "Stop: 2 records closed, 2 saved"}}));
    acquisition->stop();  // stopping again stops nothing
    EXPECT_EQ(owner.notified.size(), 1u);
}

TEST_F(AcquisitionOnPty, ExitDuringARunIsOneEvent) {
    ASSERT_TRUE(startNamed("Closed"));
    tick(10, 10);
    acquisition->shutDown("window closed");
    EXPECT_EQ(owner.notified,
              (Notified{{RunEvent::Exit, "Program exit (window closed): the acquisition is stopped"}}));
}

TEST_F(AcquisitionOnPty, LossAndReturnAreEventsWithTheToldTexts) {
    test::PluggableInstrument adapter(program.path() / "ttyUSB4");
    useInstrumentAt(adapter.path());
    ASSERT_TRUE(startNamed("Unplugged"));
    tick(20, 10);
    adapter.unplug();
    tick(Acquisition::LostAfterSilentTicks, 10);
    ASSERT_TRUE(acquisition->waitingForInstrument());
    adapter.plugIn();
    tick(Acquisition::ReconnectIntervalMs / 100 + 1, 100);
    ASSERT_FALSE(acquisition->waitingForInstrument());
    ASSERT_EQ(owner.told.size(), 2u);
    EXPECT_EQ(owner.notified,
              (Notified{{RunEvent::InstrumentLost, owner.told[0]}, {RunEvent::InstrumentBack, owner.told[1]}}));
}

TEST_F(AcquisitionOnPty, WriteErrorIsAnEventOnceAsItIsToldOnce) {
    ASSERT_TRUE(startNamed("Disk"));
    const auto folder = acquisition->folder();
    tickBins(1, 10);
    std::filesystem::rename(folder / "counts.bin", folder / "kept.bin");
    std::filesystem::create_directory(folder / "counts.bin");
    tickBins(3, 10);
    ASSERT_EQ(owner.told.size(), 1u);
    EXPECT_EQ(owner.notified, (Notified{{RunEvent::WriteError, owner.told[0]}}));
}
