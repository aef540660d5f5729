// What the instrument is given back after a blip or a loss: its beam
// settings, the outputs the schedule gives now, and nothing at all when
// another instrument answers; and what Stop, Pause and the exit do meanwhile.

#include <atomic>
#include <chrono>
#include <memory>
#include <thread>

#include "AcquisitionFixture.h"
#include "analysis/CalibrationFile.h"
#include "common/Files.h"
#include "control/LightSchedule.h"
#include "device/FactoryCalibration.h"

using namespace zorvex;
using test::AcquisitionOnPty;

namespace {

constexpr int LightBit = 4;

std::string eventsLog(const std::filesystem::path& folder) { return readFile(folder / "events.log").value_or(""); }

class InstrumentReturn : public AcquisitionOnPty {
protected:
    void SetUp() override {
        AcquisitionOnPty::SetUp();
        adapter = std::make_unique<test::PluggableInstrument>(program.path() / "ttyUSB4");
        useInstrumentAt(adapter->path());
        workspace.setup.Aq_lapse = 10000;
    }

    /// Daily light from `onHour` to `offHour`; the clock starts at 14:58.
    void lightHours(std::int16_t onHour, std::int16_t offHour) {
        workspace.setup.Mn[LightRow] = {1, onHour, offHour, 0, 0, 0};
    }

    /// The adapter pulled until the run waits, `minutes` away, then back after a power cycle.
    void outage(double minutes) {
        adapter->unplug();
        tick(Acquisition::LostAfterSilentTicks, 10);
        ASSERT_TRUE(acquisition->waitingForInstrument());
        host.advanceMinutes(minutes);
        adapter->plugIn();
        tick(Acquisition::ReconnectIntervalMs / 100 + 1, 100);
    }

    int adapterOutputs() {
        DeviceQuery(session->comm, Com, RequestTemperature, 0, ModeRequest);  // its reply follows the outputs
        return adapter->instrument.outputState();
    }

    std::unique_ptr<test::PluggableInstrument> adapter;
};

TEST_F(InstrumentReturn, ABlipBelowTheLossLimitGetsTheBeamsAndOutputsBackAndIsLogged) {
    lightHours(14, 21);  // on at the start
    session->PinHole.fill(3);
    session->Gain.fill(5);
    ASSERT_TRUE(startNamed("Blip"));
    tick(20, 10);
    ASSERT_EQ(adapterOutputs() & LightBit, LightBit);
    adapter->instrument.blip(adapter->seconds(), 0.6);
    for (int i = 0; i < 100 && eventsLog(acquisition->folder()).find("No answer at") == std::string::npos; ++i) {
        tick(1, 10);
    }
    EXPECT_FALSE(acquisition->waitingForInstrument());
    for (int c : {0, 31, 32, 200, 383}) EXPECT_EQ(adapter->instrument.channelSetting(c), 5 * 32 + 3) << c;
    EXPECT_EQ(adapterOutputs(), outputStateCode(session->outputs));
    EXPECT_TRUE(session->outputs.light);
    const std::string events = eventsLog(acquisition->folder());
    EXPECT_NE(events.find("No answer at 14:5"), std::string::npos) << events;
    EXPECT_NE(events.find("; beam settings of this run's calibration and outputs sent again"), std::string::npos)
        << events;
    EXPECT_TRUE(owner.told.empty());
}

TEST_F(InstrumentReturn, AnOutageAcrossTheOnHourEndsWithTheLightOn) {
    lightHours(15, 21);  // off at 14:58
    ASSERT_TRUE(startNamed("Outage"));
    tick(20, 10);
    ASSERT_EQ(adapterOutputs() & LightBit, 0);
    outage(10);  // back at about 15:08: nothing was switched while away
    ASSERT_FALSE(acquisition->waitingForInstrument());
    EXPECT_EQ(adapterOutputs() & LightBit, LightBit);
    EXPECT_TRUE(session->outputs.light);
}

TEST_F(InstrumentReturn, BinsOfNinetyMinutesSwitchTheLightOnTime) {
    lightHours(15, 17);
    ASSERT_TRUE(startNamed("Long bins"));
    const int msPerTick = 90 * 60000 / Buffer;
    tickBins(1, msPerTick);  // 14:58 to about 16:28, across 15:00
    EXPECT_EQ(adapterOutputs() & LightBit, LightBit);
    tickBins(2, msPerTick);  // to about 17:58, across 17:00
    EXPECT_EQ(adapterOutputs() & LightBit, 0);
    session->outputs.light = true;  // a manual change holds until the next switching time
    session->pendingSend = true;
    tickBins(3, msPerTick);  // to about 19:28: nothing crossed
    EXPECT_EQ(adapterOutputs() & LightBit, LightBit);
}

TEST_F(InstrumentReturn, WithoutACalibrationTheReturnSendsCalvalueAndTheLogSaysSo) {
    BeamTable pinHole{}, gain{};
    pinHole.fill(5);
    gain.fill(4);
    ASSERT_TRUE(writeCalibrationFile(program.path(), pinHole, gain));
    ASSERT_TRUE(startNamed("Uncalibrated"));
    tick(20, 10);
    outage(1);
    ASSERT_FALSE(acquisition->waitingForInstrument());
    for (int c : {0, 191, 383}) EXPECT_EQ(adapter->instrument.channelSetting(c), 4 * 32 + 5) << c;
    const std::string events = eventsLog(acquisition->folder());
    EXPECT_NE(events.find("beam settings of calvalue.dat and output state "), std::string::npos) << events;
}

TEST_F(InstrumentReturn, SlotsBeforeABlocksFirstReplyAfterAReturnHoldNoSampleFromBeforeTheLoss) {
    ASSERT_TRUE(startNamed("Stale"));
    tick(20, 10);
    // After the return the first block goes unanswered for two ticks (each with its warm-up read).
    auto withheld = std::make_shared<std::atomic<int>>(0);
    adapter->instrument.setReplyFilter([withheld](const sim::Frame& frame) {
        return frame[2] == RequestSampleBlock && frame[3] == 0 && withheld->fetch_add(1) < 4;
    });
    withheld->store(1000);  // nothing withheld until the outage is over
    adapter->unplug();
    tick(Acquisition::LostAfterSilentTicks, 10);
    ASSERT_TRUE(acquisition->waitingForInstrument());
    // Samples of the bin before the loss stay in the buffer's first slots.
    const std::int16_t before = acquisition->frame().at(0, 0);
    host.advanceMinutes(1);
    withheld->store(0);
    adapter->plugIn();
    tick(Acquisition::ReconnectIntervalMs / 100 + 1, 100);
    ASSERT_FALSE(acquisition->waitingForInstrument());
    while (acquisition->slot() < 3) tick(1, 10);
    ASSERT_GE(withheld->load(), 4);
    const std::int16_t first = acquisition->frame().at(0, 2);  // the block's first reply
    for (int slot : {0, 1}) {
        EXPECT_EQ(acquisition->frame().at(0, slot), first) << "slot " << slot << ", before the loss " << before;
    }
}

TEST_F(InstrumentReturn, AnotherInstrumentAtTheReturnIsNotConfiguredAndACorrectedPortMapIsRead) {
    FactoryRegisters registers = readFactoryRegisters(session->comm, Com, host);
    registers[4] ^= 1;  // the instrument of this run had another offset
    session->factoryRegisters = registers;
    session->PinHole.fill(3);
    session->Gain.fill(5);
    ASSERT_TRUE(startNamed("Swapped"));
    tick(20, 10);
    outage(1);
    tick(3 * Acquisition::ReconnectIntervalMs / 100, 100);
    EXPECT_TRUE(acquisition->waitingForInstrument());
    EXPECT_EQ(adapter->instrument.channelSetting(0), 3 * 32 + 2);  // still at power-on
    EXPECT_EQ(adapter->instrument.outputState(), 0);
    ASSERT_EQ(owner.told.size(), 2u);  // the loss, then the other instrument once
    EXPECT_EQ(owner.told[1].rfind("Another instrument answers on COM5 (" + adapter->path() + ")", 0), 0u)
        << owner.told[1];

    // The right instrument turns up under another name, and comports.dat is corrected.
    test::PluggableInstrument right(program.path() / "ttyUSB7",
                                    [&] {
                                        sim::InstrumentConfig config;
                                        for (std::size_t i = 0; i < registers.size(); ++i) {
                                            config.factoryRegisters[i] = static_cast<std::uint8_t>(registers[i]);
                                        }
                                        return config;
                                    }());
    PortMap map = session->comm.portMap();
    map.setDevice(Com, right.path());
    ASSERT_TRUE(writePortMap(program.path(), map));
    tick(Acquisition::ReconnectIntervalMs / 100 + 1, 100);
    ASSERT_FALSE(acquisition->waitingForInstrument());
    EXPECT_EQ(right.instrument.channelSetting(0), 5 * 32 + 3);
    EXPECT_EQ(adapter->instrument.channelSetting(0), 3 * 32 + 2);
}

TEST_F(InstrumentReturn, ExitWhileLostSwitchesTheOutputsOffWhenItCanAndSaysWhetherItCould) {
    ASSERT_TRUE(startNamed("Exit"));
    const auto folder = acquisition->folder();
    session->outputs = {true, true, true};
    session->pendingSend = true;
    tick(20, 10);
    adapter->unplug();
    tick(Acquisition::LostAfterSilentTicks, 10);
    acquisition->stop();  // the run ends while waiting; the program still looks
    acquisition->shutDown("SIGTERM");
    EXPECT_NE(eventsLog(folder).find("Program exit while the instrument was lost: it could not be reached on COM5, "
                                     "so its light and heating may still be on"),
              std::string::npos)
        << eventsLog(folder);

    // Once more, with the instrument back but not yet found again.
    adapter->plugIn();
    useInstrumentAt(adapter->path());
    ASSERT_TRUE(startNamed("Exit2"));
    const auto second = acquisition->folder();
    tick(20, 10);
    session->outputs = {true, true, true};
    session->pendingSend = true;
    tick(Acquisition::TimeStepSamples, 10);
    ASSERT_EQ(adapterOutputs(), 7);
    adapter->unplug();
    tick(Acquisition::LostAfterSilentTicks, 10);
    adapter->plugIn(false);  // the adapter reappears with the instrument still on
    acquisition->shutDown("window closed");
    // The port is closed behind the last frame: give the pty's thread time to take it.
    for (int i = 0; i < 200 && adapter->instrument.outputState() != 0; ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    EXPECT_EQ(adapter->instrument.outputState(), 0);
    EXPECT_NE(eventsLog(second).find("Program exit while the instrument was lost: it answered on COM5 and its outputs "
                                     "were switched off"),
              std::string::npos)
        << eventsLog(second);
}

TEST_F(InstrumentReturn, StartAndPauseAfterTheRunEndedUnderneath) {
    ASSERT_TRUE(startNamed("Refused"));
    tick(20, 10);
    adapter->unplug();
    tick(Acquisition::LostAfterSilentTicks, 10);
    acquisition->stop();
    EXPECT_FALSE(startNamed("Too soon"));
    ASSERT_FALSE(dialogs.shown.empty());
    EXPECT_NE(dialogs.shown.back().find("Start is possible once it answers again"), std::string::npos)
        << dialogs.shown.back();
    adapter->plugIn();
    tick(Acquisition::ReconnectIntervalMs / 100 + 1, 100);
    ASSERT_FALSE(acquisition->waitingForInstrument());
    EXPECT_EQ(adapterOutputs(), 0);

    // The question's own event loop lets the lapse end before it is answered.
    workspace.setup.Aq_lapse = 1;
    ASSERT_TRUE(startNamed("Ends underneath"));
    dialogs.answers = {Answer::Yes};
    dialogs.whileShown = [&](const std::string&) {
        host.advanceMinutes(2);
        const int ticks = 2 * Acquisition::TimeStepSamples;
        for (int i = 0; i < ticks && acquisition->state() != AcquisitionState::Stopped; ++i) acquisition->tick();
    };
    acquisition->pauseOrResume();
    dialogs.whileShown = nullptr;
    EXPECT_EQ(acquisition->state(), AcquisitionState::Stopped);
    EXPECT_FALSE(acquisition->timeCounterStopped());
    EXPECT_TRUE(owner.panel.empty());
    host.advanceMinutes(1);  // a new folder minute
    EXPECT_TRUE(startNamed("Again"));
}

}  // namespace
