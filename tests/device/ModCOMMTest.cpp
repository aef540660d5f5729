// The serial layer against the simulated instrument on a real pty.

#include <fcntl.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <chrono>
#include <cstring>

#include <gtest/gtest.h>

#include "ManualHost.h"
#include "SimulatedInstrument.h"
#include "TempFolder.h"
#include "device/COM_Module.h"
#include "device/ModCOMM.h"

using namespace zorvex;
using test::SimulatedInstrument;

namespace {

constexpr int Com = 4;

class ModCOMMOnPty : public ::testing::Test {
protected:
    explicit ModCOMMOnPty(sim::InstrumentConfig config = {}) : sim(std::move(config)) {}
    PortMap portMap() {
        PortMap map = test::missingDevices(folder.path());
        map.setDevice(Com, sim.path());
        return map;
    }
    test::TempFolder folder;
    SimulatedInstrument sim;
};

// Whether the kernel still holds the tty exclusive, asked through a fresh descriptor.
int exclusiveFlag(const std::string& path) {
    int fd = ::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK);
    int flag = -1;
    if (fd >= 0) {
        ::ioctl(fd, TIOCGEXCL, &flag);
        ::close(fd);
    }
    return flag;
}

}  // namespace

TEST_F(ModCOMMOnPty, SecondOpenOfAnOpenPortAnswersPortInUse) {
    ModCOMM comm(portMap());
    ASSERT_EQ(comm.CommOpen(Com, "COM4", PortSettingsText), 0);
    EXPECT_TRUE(comm.isOpen(Com));
    EXPECT_EQ(comm.CommOpen(Com, "COM4", PortSettingsText), PortInUseError);
    EXPECT_EQ(comm.lastError().number, -1);
    EXPECT_EQ(comm.lastError().source, "CommOpen");
    EXPECT_EQ(comm.lastError().text, "Port in use.");
    EXPECT_TRUE(comm.isOpen(Com));
    std::optional<LineSettings> line = comm.lineSettings(Com);
    ASSERT_TRUE(line);
    EXPECT_EQ(line->baud, 115200);
    EXPECT_EQ(line->parity, 'N');
    EXPECT_EQ(line->dataBits, 8);
    EXPECT_EQ(line->stopBits, 1);
}

TEST_F(ModCOMMOnPty, CloseLiftsTheExclusiveHoldSoThePortOpensAgain) {
    ModCOMM comm(portMap());
    ASSERT_EQ(comm.CommOpen(Com, "COM4", PortSettingsText), 0);
    EXPECT_EQ(exclusiveFlag(sim.path()), 1);
    EXPECT_EQ(comm.CommClose(Com), 0);
    EXPECT_FALSE(comm.isOpen(Com));
    // The simulator keeps its end open, so the kernel would keep the flag.
    EXPECT_EQ(exclusiveFlag(sim.path()), 0);
    EXPECT_EQ(comm.CommOpen(Com, "COM4", PortSettingsText), 0);
}

TEST_F(ModCOMMOnPty, ClosingAPortThatIsNotOpenReturnsZero) {
    ModCOMM comm(portMap());
    EXPECT_EQ(comm.CommClose(Com), 0);
    EXPECT_EQ(comm.CommClose(16), 0);
    EXPECT_EQ(comm.lastError().number, 0);
}

TEST_F(ModCOMMOnPty, MissingDeviceFailsInCreateFileWithTheSystemText) {
    ModCOMM comm(portMap());
    EXPECT_EQ(comm.CommOpen(3, "COM3", PortSettingsText), ENOENT);
    EXPECT_EQ(comm.lastError().source, "CommOpen (CreateFile)");
    EXPECT_EQ(comm.lastError().text, "No such file or directory");
    EXPECT_FALSE(comm.isOpen(3));
}

TEST_F(ModCOMMOnPty, FailedOpenStepGivesTheDeviceBack) {
    ModCOMM comm(portMap());
    EXPECT_EQ(comm.CommOpen(Com, "COM4", "baud=12345 parity=N data=8 stop=1"), EINVAL);
    EXPECT_EQ(comm.lastError().source, "CommOpen (BuildCommDCB)");
    EXPECT_FALSE(comm.isOpen(Com));
    EXPECT_EQ(exclusiveFlag(sim.path()), 0);
    EXPECT_EQ(comm.CommOpen(Com, "COM4", PortSettingsText), 0);
}

TEST_F(ModCOMMOnPty, PortNumberOutsideTheTableIsARuntimeFailure) {
    ModCOMM comm(portMap());
    EXPECT_EQ(comm.CommWrite(17, "x"), 0);
    EXPECT_EQ(comm.lastError().source, "CommWrite");
    EXPECT_EQ(comm.CommOpen(0, "COM4", PortSettingsText), EINVAL);
    EXPECT_EQ(comm.lastError().source, "CommOpen");
    std::string data = "stale";
    EXPECT_EQ(comm.CommRead(-1, data, 2), 0);
    EXPECT_EQ(data, "");
    EXPECT_EQ(comm.lastError().source, "CommRead");
}

TEST_F(ModCOMMOnPty, BreakSetsAndClearsButLineFourFails) {
    ModCOMM comm(portMap());
    ASSERT_EQ(comm.CommOpen(Com, "COM4", PortSettingsText), 0);
    EXPECT_EQ(comm.CommSetLine(Com, LineBreak, true), 0);
    EXPECT_EQ(comm.CommSetLine(Com, LineBreak, false), 0);
    EXPECT_EQ(comm.CommSetLine(Com, 4, true), EINVAL);
    EXPECT_EQ(comm.lastError().source, "CommSetLine (EscapeCommFunction)");
    EXPECT_EQ(comm.lastError().text, std::strerror(EINVAL));
}

TEST_F(ModCOMMOnPty, PtyRefusesDtrAndRtsAndThePortStillWorks) {
    ModCOMM comm(portMap());
    ASSERT_EQ(comm.CommOpen(Com, "COM4", PortSettingsText), 0);
    EXPECT_EQ(comm.CommSetLine(Com, LineDtr, true), ENOTTY);
    EXPECT_EQ(comm.lastError().source, "CommSetLine (EscapeCommFunction)");
    EXPECT_EQ(comm.lastError().text, "Inappropriate ioctl for device");
    EXPECT_EQ(comm.CommSetLine(Com, LineRts, false), ENOTTY);
    EXPECT_EQ(DeviceQuery(comm, Com, RequestFactoryRegister, 129, ModeRequest), 6);
}

TEST_F(ModCOMMOnPty, ShortReplyDeliversWhatArrivedAndLeavesThePortClean) {
    sim.instrument.setProbeReply("\x01");
    ModCOMM comm(portMap());
    ASSERT_EQ(comm.CommOpen(Com, "COM4", PortSettingsText), 0);
    ASSERT_EQ(comm.CommWrite(Com, CommandFrame::make(RequestNull, 0, ModeRequest).wire()), 5);
    std::string data;
    EXPECT_EQ(comm.CommRead(Com, data, 2), 1);
    EXPECT_EQ(data, "\x01");
    EXPECT_EQ(DeviceQuery(comm, Com, RequestFactoryRegister, 130, ModeRequest), 25);
}

TEST_F(ModCOMMOnPty, FlushDiscardsALateReply) {
    ModCOMM comm(portMap());
    ASSERT_EQ(comm.CommOpen(Com, "COM4", PortSettingsText), 0);
    ASSERT_EQ(comm.CommWrite(Com, CommandFrame::make(RequestFactoryRegister, 129, ModeRequest).wire()), 5);
    // Wait until the reply has surely arrived, then purge it.
    ASSERT_TRUE(test::waitForFrames(sim.instrument, 1));
    ::usleep(20000);
    EXPECT_EQ(comm.CommFlush(Com), 0);
    EXPECT_EQ(DeviceQuery(comm, Com, RequestFactoryRegister, 130, ModeRequest), 25);
}

TEST_F(ModCOMMOnPty, FlushRightAfterAWriteNeverLosesTheFrame) {
    ModCOMM comm(portMap());
    ASSERT_EQ(comm.CommOpen(Com, "COM4", PortSettingsText), 0);
    constexpr int Rounds = 100;
    int completeBlocks = 0;
    for (int round = 0; round < Rounds; ++round) {
        ASSERT_FALSE(DeviceSend(comm, Com, RequestSetOutputs, round % 8, ModeRequest));
        BlockReply reply = readSampleBlock(comm, Com, SampleBlockOffsets[round % 4]);
        if (reply.status == BlockStatus::Complete) ++completeBlocks;
    }
    int setOutputs = 0;
    for (const sim::Frame& frame : sim.instrument.recentFrames()) {
        if (frame[1] == ModeRequest && frame[2] == RequestSetOutputs) ++setOutputs;
    }
    EXPECT_EQ(setOutputs, Rounds);
    EXPECT_EQ(completeBlocks, Rounds);
    EXPECT_EQ(sim.instrument.outputState(), (Rounds - 1) % 8);
}

TEST_F(ModCOMMOnPty, PulledCableFailsWritesAndReadsWithTheErrorFlags) {
    ModCOMM comm(portMap());
    ASSERT_EQ(comm.CommOpen(Com, "COM4", PortSettingsText), 0);
    sim.server.disconnect();
    EXPECT_EQ(comm.CommWrite(Com, CommandFrame::make(RequestTemperature, 0, ModeRequest).wire()), -1);
    EXPECT_EQ(comm.lastError().source, "CommWrite (WriteFile)");
    EXPECT_EQ(comm.lastError().text, std::string(std::strerror(EIO)) + "  COMM Error Flags = 0");
    std::string data;
    EXPECT_EQ(comm.CommRead(Com, data, 2), 0);
    EXPECT_EQ(comm.CommClose(Com), 0);
}

class SilentInstrument : public ModCOMMOnPty {
protected:
    static sim::InstrumentConfig silent() {
        sim::InstrumentConfig config;
        config.faults.silent = 1.0;
        return config;
    }
    SilentInstrument() : ModCOMMOnPty(silent()) {}
};

TEST_F(SilentInstrument, ReadOfASilentPortReturnsZeroAfterItsTimeouts) {
    ModCOMM comm(portMap());
    ASSERT_EQ(comm.CommOpen(Com, "COM4", PortSettingsText), 0);
    ASSERT_EQ(comm.CommWrite(Com, CommandFrame::make(RequestNull, 0, ModeRequest).wire()), 5);
    auto started = std::chrono::steady_clock::now();
    std::string data = "stale";
    EXPECT_EQ(comm.CommRead(Com, data, 2), 0);
    EXPECT_EQ(data, "");
    EXPECT_GE(std::chrono::steady_clock::now() - started, std::chrono::milliseconds(ReadCallsPerRead * ReadTotalTimeoutMs));
    EXPECT_NE(comm.lastError().source, "CommRead (ReadFile)");
}

TEST(LineSettingsText, ReadsTheInstrumentSettingsAndRefusesOthers) {
    std::optional<LineSettings> line = parseLineSettings("baud=9600 parity=e data=7 stop=2");
    ASSERT_TRUE(line);
    EXPECT_EQ(line->baud, 9600);
    EXPECT_EQ(line->parity, 'E');
    EXPECT_EQ(line->dataBits, 7);
    EXPECT_EQ(line->stopBits, 2);
    EXPECT_TRUE(parseLineSettings(PortSettingsText));
    for (const char* text : {"baud=12345", "parity=X", "parity=NN", "data=9", "data=7.5", "stop=3", "speed=1", "baud",
                             "baud="}) {
        EXPECT_FALSE(parseLineSettings(text)) << text;
    }
}
