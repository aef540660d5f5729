// Command frames on the wire, byte for byte, against the simulated instrument.

#include <gtest/gtest.h>

#include "ManualHost.h"
#include "ScriptedDialogs.h"
#include "SimulatedInstrument.h"
#include "TempFolder.h"
#include "device/COM_Module.h"

using namespace zorvex;
using test::frameBytes;
using test::SimulatedInstrument;

namespace {

constexpr int Com = 4;

class DeviceOnPty : public ::testing::Test {
protected:
    void SetUp() override {
        PortMap map = test::missingDevices(folder.path());
        map.setDevice(Com, sim.path());
        comm = std::make_unique<ModCOMM>(map);
        ASSERT_EQ(comm->CommOpen(Com, "COM4", PortSettingsText), 0);
    }
    std::string lastFrame() const { return frameBytes(sim.instrument.recentFrames().back()); }
    int framesLike(const std::string& wire) const {
        int count = 0;
        for (const sim::Frame& frame : sim.instrument.recentFrames()) count += frameBytes(frame) == wire;
        return count;
    }

    test::TempFolder folder;
    SimulatedInstrument sim;
    std::unique_ptr<ModCOMM> comm;
    test::ManualHost host;
    test::ScriptedDialogs dialogs;
};

}  // namespace

TEST(CommandFrame, IsStartModeCodeArgumentEndEachOneByte) {
    EXPECT_EQ(CommandFrame::make(16, 5, 0).wire(), std::string("\xFF\x00\x10\x05\xF0", 5));
    EXPECT_EQ(CommandFrame::make(0x148, 0x100, 0x81).wire(), std::string("\xFF\x81\x48\x00\xF0", 5));
}

TEST(ProbeValue, IsFirstTimes255PlusSecond) {
    EXPECT_EQ(probeValue(""), -1);
    EXPECT_EQ(probeValue(std::string("\x00\x0F", 2)), 15);
    EXPECT_EQ(probeValue("\x01"), 255);
    EXPECT_EQ(probeValue("\x01\x02"), 257);
}

TEST_F(DeviceOnPty, SetOutputsFrameArrivesExactly) {
    EXPECT_FALSE(DeviceSend(*comm, Com, RequestSetOutputs, 5, ModeRequest));
    ASSERT_TRUE(test::waitForFrames(sim.instrument, 1));
    EXPECT_EQ(lastFrame(), std::string("\xFF\x00\x10\x05\xF0", 5));
    EXPECT_EQ(sim.instrument.outputState(), 5);
}

TEST_F(DeviceOnPty, FactoryRegisterQueryAnswersTheRegisterValue) {
    EXPECT_EQ(DeviceQuery(*comm, Com, RequestFactoryRegister, 130, ModeRequest), 25);
    EXPECT_EQ(lastFrame(), std::string("\xFF\x00\x20\x82\xF0", 5));
    EXPECT_EQ(DeviceQuery(*comm, Com, RequestFactoryRegister, 133, ModeRequest), 219);
}

TEST_F(DeviceOnPty, ChannelWriteAddressesEachBankAndIsEchoed) {
    EXPECT_EQ(WriteChannelSetting(*comm, Com, host, dialogs, 200, 3, 2), 1);
    EXPECT_EQ(framesLike(std::string("\xFF\x81\x48\x43\xF0", 5)), 9);
    EXPECT_EQ(sim.instrument.channelSetting(200), 0x43);
    EXPECT_EQ(sim.instrument.channelSetting(72), sim::PowerOnSetting);

    EXPECT_EQ(WriteChannelSetting(*comm, Com, host, dialogs, 127, 7, 7), 1);
    EXPECT_EQ(lastFrame(), std::string("\xFF\x80\x7F\xE7\xF0", 5));
    EXPECT_EQ(WriteChannelSetting(*comm, Com, host, dialogs, 128, 1, 0), 1);
    EXPECT_EQ(lastFrame(), std::string("\xFF\x81\x00\x01\xF0", 5));
    EXPECT_EQ(sim.instrument.channelSetting(128), 1);
    EXPECT_EQ(WriteChannelSetting(*comm, Com, host, dialogs, 383, 2, 3), 1);
    EXPECT_EQ(sim.instrument.channelSetting(383), 3 * 32 + 2);
    EXPECT_TRUE(dialogs.shown.empty());
    EXPECT_EQ(host.elapsedMs, 0);
}

TEST_F(DeviceOnPty, ChannelWriteResynchronisesAfterAMissedEcho) {
    int channelFrames = 0;
    sim.instrument.setReplyFilter([&channelFrames](const sim::Frame& frame) {
        return frame[1] == ModeWriteHigh && ++channelFrames == 9;
    });
    EXPECT_EQ(WriteChannelSetting(*comm, Com, host, dialogs, 200, 3, 2), 1);
    EXPECT_EQ(framesLike(std::string("\xFF\x81\x48\x43\xF0", 5)), 18);
    EXPECT_EQ(framesLike(std::string("\xFF\x00\x21\x00\xF0", 5)), 1);
    EXPECT_EQ(host.elapsedMs, 100 + 100 + 9 * 50);
    EXPECT_TRUE(dialogs.shown.empty());
}

TEST_F(DeviceOnPty, ChannelWriteGivesUpAfterThreePassesWithItsMessage) {
    sim.server.disconnect();
    EXPECT_EQ(WriteChannelSetting(*comm, Com, host, dialogs, 200, 3, 2), -1);
    ASSERT_EQ(dialogs.shown.size(), 1u);
    EXPECT_EQ(dialogs.shown[0], "Ops...Data Writing ERROR: reg(200)... Check COM and Try again");
    EXPECT_EQ(host.elapsedMs, 2 * (100 + 100 + 9 * 50));
}

TEST_F(DeviceOnPty, FactoryRegisterWriteIsStoredAndEchoed) {
    EXPECT_EQ(writeFactoryRegister(*comm, Com, host, dialogs, 132, 11), 1);
    EXPECT_EQ(lastFrame(), std::string("\xFF\x80\x84\x0B\xF0", 5));
    EXPECT_EQ(sim.instrument.factoryRegisters()[4], 11);
    EXPECT_EQ(DeviceQuery(*comm, Com, RequestFactoryRegister, 132, ModeRequest), 11);
}

TEST_F(DeviceOnPty, ProbeWithTwoBytesGivesTheirValue) {
    sim.instrument.setProbeReply(std::string("\x00\x0F", 2));
    EXPECT_EQ(ProbeDevice(*comm, Com, host), 15);
    EXPECT_EQ(lastFrame(), std::string("\xFF\x00\x00\x00\xF0", 5));
    // The pty refused the modem lines on the way; the probe went on regardless.
    EXPECT_EQ(comm->lastError().source, "CommSetLine (EscapeCommFunction)");
    sim.instrument.setProbeReply(sim::InstrumentConfig::probeReplyFor(200));
    EXPECT_EQ(ProbeDevice(*comm, Com, host), 200);
}

TEST_F(DeviceOnPty, ProbeWithOneByteCountsTheSecondAsZero) {
    sim.instrument.setProbeReply("\x01");
    EXPECT_EQ(ProbeDevice(*comm, Com, host), 255);
}

TEST_F(DeviceOnPty, BlocksComeCompleteOrMarkedFaulty) {
    for (int offset : SampleBlockOffsets) {
        BlockReply reply = readSampleBlock(*comm, Com, offset);
        EXPECT_EQ(reply.status, BlockStatus::Complete);
        EXPECT_EQ(lastFrame(), std::string("\xFF\x00\x30", 3) + static_cast<char>(offset) + "\xF0");
        for (std::int16_t value : reply.block.values) {
            EXPECT_GE(value, 0);
            EXPECT_LE(value, 4095);
        }
    }
    sim.instrument.setFaults({.faultyBlock = 1.0});
    EXPECT_EQ(readSampleBlock(*comm, Com, 32).status, BlockStatus::Faulty);
}
