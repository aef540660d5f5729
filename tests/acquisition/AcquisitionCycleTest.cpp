// The acquisition cycle on the simulated instrument: samples, bins, records,
// the thermostat and the light at bin ends and time steps.

#include "AcquisitionFixture.h"
#include "common/Files.h"

#include <cmath>

using namespace zorvex;
using test::AcquisitionOnPty;

namespace {

bool slotsEqual(const SampleFrame& frame, int slot, int previous, int firstChannel, int lastChannel) {
    for (int c = firstChannel; c <= lastChannel; ++c) {
        if (frame.at(c, slot) != frame.at(c, previous)) return false;
    }
    return true;
}

int channelsDiffering(const SampleFrame& frame, int slot, int previous) {
    int count = 0;
    for (int c = 0; c < ChannelCount; ++c) count += frame.at(c, slot) != frame.at(c, previous);
    return count;
}

}  // namespace

TEST_F(AcquisitionOnPty, ThreeBinsGiveThreeRecordsAndThreeDumps) {
    ASSERT_TRUE(startNamed("Three"));
    tickBins(3, 300);
    acquisition->stop();
    const auto folder = acquisition->folder();
    auto records = readActivityRecords(folder);
    ASSERT_EQ(records.size(), 3u);
    EXPECT_EQ(readFile(folder / "counts.bin")->size(), 3 * ActivityRecordBytes);
    EXPECT_EQ(countRealTimeDumps(folder, 0, Buffer), 3);
    EXPECT_EQ(readFile(realTimeFilePath(folder, 0))->size(), 3 * realTimeDumpBytes(Buffer));
    // 200 ticks of 0.3 s: each record carries the minute of the time step 25 samples before its bin end.
    EXPECT_EQ(records[0].elapsedMinutes, 0);
    EXPECT_EQ(records[1].elapsedMinutes, 1);
    EXPECT_EQ(records[2].elapsedMinutes, 2);
    for (const auto& record : records) {
        EXPECT_GT(record.temperatureTenths, 100);
        EXPECT_LT(record.temperatureTenths, 380);
    }
    EXPECT_EQ(owner.bins.size(), 3u);
    EXPECT_TRUE(owner.bins[2].recorded);
    EXPECT_EQ(acquisition->fileCounters().dumpsInFile, 3);
}

TEST_F(AcquisitionOnPty, ShortReplyAtSlotSevenRepeatsSlotSix) {
    ASSERT_TRUE(startNamed("Short"));
    tick(7, 10);
    ASSERT_EQ(acquisition->slot(), 7);
    sim.instrument.setFaults({1.0, 0, 0, 0});  // every block loses its last byte: 191 bytes
    tick(1, 10);
    sim.instrument.setFaults({});
    tick(1, 10);
    const SampleFrame& frame = acquisition->frame();
    EXPECT_TRUE(slotsEqual(frame, 7, 6, 0, ChannelCount - 1));
    EXPECT_GT(channelsDiffering(frame, 8, 7), ChannelCount / 2);
}

TEST_F(AcquisitionOnPty, MissingBlockRepeatsOnlyItsNinetySixChannels) {
    ASSERT_TRUE(startNamed("Missing"));
    tick(7, 10);
    sim.instrument.setReplyFilter([](const sim::Frame& f) { return f[2] == RequestSampleBlock && f[3] == 32; });
    tick(1, 10);
    sim.instrument.setReplyFilter(nullptr);
    const SampleFrame& frame = acquisition->frame();
    for (int j = 0; j < 32; ++j) {
        for (int bank = 0; bank < 3; ++bank) {
            const int c = 32 + j + 128 * bank;
            EXPECT_EQ(frame.at(c, 7), frame.at(c, 6)) << c;
        }
    }
    EXPECT_GT(channelsDiffering(frame, 7, 6), ChannelCount / 3);
}

TEST_F(AcquisitionOnPty, BinCountsComeFromTheDetectionWithoutAutoZero) {
    ASSERT_TRUE(startNamed("Counts"));
    tickBins(2, 10);
    auto records = readActivityRecords(acquisition->folder());
    ASSERT_EQ(records.size(), 2u);
    long long total = 0;
    for (int c = 0; c < ChannelCount; ++c) {
        const auto index = static_cast<std::size_t>(c);
        if (workspace.plate.WellOfChannel[index] < 0) {
            EXPECT_EQ(records[1].counts[index], 0) << c;
        }
        total += records[1].counts[index];
    }
    EXPECT_GT(total, 0);  // the simulated organisms cross the beams
    EXPECT_EQ(total, owner.bins[1].totalCount);
}

namespace {

class MarkedChannels : public SensorSetup {
public:
    void recalibrate(Acquisition&, const std::array<bool, ChannelCount>& marked) override {
        ++calls;
        for (bool flag : marked) count += flag;
    }
    int calls = 0;
    int count = 0;
};

}  // namespace

TEST_F(AcquisitionOnPty, FailingTicksAreLoggedEachAndToldOnce) {
    // Something reached from every bin end fails: that tick is dropped each time.
    class FailingOwner : public test::RecordingOwner {
    public:
        void binClosed(const BinSummary&) override { throw std::runtime_error("beam table unreadable"); }
    } failing;
    acquisition = std::make_unique<Acquisition>(workspace, *session, options, dialogs, host, failing, log);
    ASSERT_TRUE(startNamed("Failing"));
    const auto failuresLogged = [&] {
        const std::string events = readFile(acquisition->folder() / "events.log").value_or("");
        int lines = 0;
        for (std::size_t at = 0; (at = events.find("A tick failed: beam table unreadable", at)) != std::string::npos; ++at) {
            ++lines;
        }
        return lines;
    };
    const auto ticks = [&](int count) {
        for (int i = 0; i < count; ++i) {
            host.elapsedMs += 10;
            acquisition->tick();
        }
    };
    ticks((Acquisition::TellAfterFailedTicks - 1) * Buffer);
    EXPECT_EQ(failuresLogged(), Acquisition::TellAfterFailedTicks - 1);
    EXPECT_TRUE(failing.told.empty());
    ticks(2 * Buffer);
    EXPECT_EQ(acquisition->state(), AcquisitionState::Running);
    EXPECT_EQ(failuresLogged(), Acquisition::TellAfterFailedTicks + 1);
    ASSERT_EQ(failing.told.size(), 1u);
    EXPECT_EQ(failing.told[0].rfind("The acquisition cycle failed 3 times (beam table unreadable). It goes on;", 0), 0u)
        << failing.told[0];
    // Each bin reached counts.bin before the failure.
    EXPECT_EQ(readActivityRecords(acquisition->folder()).size(), static_cast<std::size_t>(failuresLogged()));
}

TEST_F(AcquisitionOnPty, AutoZeroRecomputesThresholdsAndCountsFromTheBuffer) {
    MarkedChannels sensorsSeen;
    options.autoZero = true;
    options.autoCalibration = true;
    session->Gain.fill(3);
    session->PinHole.fill(2);
    acquisition = std::make_unique<Acquisition>(workspace, *session, options, dialogs, host, owner, log, sensorsSeen);
    const ChannelTable before = workspace.channels;
    ASSERT_TRUE(startNamed("Zeroed"));
    tickBins(1, 10);
    int changed = 0;
    int saturated = 0;
    for (int c = 0; c < ChannelCount; ++c) {
        const auto index = static_cast<std::size_t>(c);
        if (workspace.plate.WellOfChannel[index] < 0) {
            EXPECT_EQ(workspace.channels.Threshold[index], before.Threshold[index]);
            continue;
        }
        EXPECT_GE(workspace.channels.Threshold[index], 1.0);
        changed += workspace.channels.Threshold[index] != before.Threshold[index];
        // The bin's sums stay until the next tick starts a new bin.
        const AutoZeroSums& sums = acquisition->detection().autoZeroSums(c);
        saturated += sums.samples > 0 && std::llround(static_cast<double>(sums.level) / sums.samples) > 1944;
    }
    EXPECT_GT(changed, 0);
    EXPECT_EQ(sensorsSeen.calls, saturated > 0 ? 1 : 0);
    EXPECT_EQ(sensorsSeen.count, saturated);
    EXPECT_EQ(readActivityRecords(acquisition->folder()).size(), 1u);
}

TEST_F(AcquisitionOnPty, ThermostatHeatsAColdPlateAtTheBinEnd) {
    workspace.setup.Mn[3] = {1, 300, 0, 0, 0, 0};  // set 30.0, the room is about 22
    ASSERT_TRUE(startNamed("Heat"));
    tickBins(1, 10);
    EXPECT_TRUE(session->outputs.heat);
    EXPECT_TRUE(session->outputs.active);
    EXPECT_EQ(outputState() & 3, 3);
}

TEST_F(AcquisitionOnPty, MissingTemperatureReplyKeepsTheElementOff) {
    workspace.setup.Mn[3] = {1, 300, 0, 0, 0, 0};
    ASSERT_TRUE(startNamed("NoReply"));
    sim.instrument.setReplyFilter([](const sim::Frame& f) { return f[2] == RequestTemperature; });
    tickBins(1, 10);
    EXPECT_FALSE(session->outputs.active);
    auto records = readActivityRecords(acquisition->folder());
    ASSERT_EQ(records.size(), 1u);
    EXPECT_EQ(records[0].temperatureTenths, temperatureTenths(DefaultTempOffset - DefaultTempSlope));
}

TEST_F(AcquisitionOnPty, OnHourForcesTheLightOnAtTheBinEnd) {
    workspace.setup.Mn[2] = {1, 15, 21, 0, 0, 0};
    ASSERT_TRUE(startNamed("Hours"));  // 14:58: off
    EXPECT_FALSE(session->outputs.light);
    host.advanceMinutes(3);  // 15:01
    tickBins(1, 10);
    EXPECT_TRUE(session->outputs.light);
    EXPECT_EQ(outputState() & 4, 4);
}

TEST_F(AcquisitionOnPty, PulsesOneOnTwoOffThreeTimes) {
    workspace.setup.Mn[2] = {1, 9, 21, 3, 10, 20};
    ASSERT_TRUE(startNamed("Pulses"));
    auto lightAtMinute = [&](double minute) {
        // Ticks of 1 ms: the next time step sees (almost exactly) this minute.
        host.elapsedMs = static_cast<std::int64_t>(minute * 60000);
        const int steps = owner.timeSteps;
        while (owner.timeSteps == steps) tick(1, 1);
        return session->outputs.light;
    };
    EXPECT_TRUE(lightAtMinute(0.5));
    EXPECT_FALSE(lightAtMinute(1.5));
    EXPECT_TRUE(lightAtMinute(3.2));
    EXPECT_FALSE(lightAtMinute(5.0));
    EXPECT_TRUE(lightAtMinute(6.9));
    EXPECT_EQ(outputState() & 4, 4);
    EXPECT_FALSE(lightAtMinute(7.5));
    session->outputs.light = true;  // after the train a manual change stays
    EXPECT_TRUE(lightAtMinute(9.5));
}

TEST_F(AcquisitionOnPty, LightButtonDuringTheRunIsSentAtTheNextTimeStep) {
    ASSERT_TRUE(startNamed("Manual"));
    tick(3, 10);
    session->outputs.light = true;
    session->outputsChanged(acquisition->state() == AcquisitionState::Running);
    EXPECT_TRUE(session->pendingSend);
    EXPECT_EQ(outputState() & 4, 0);
    tick(25, 10);
    EXPECT_FALSE(session->pendingSend);
    EXPECT_EQ(outputState() & 4, 4);
}

TEST_F(AcquisitionOnPty, LiveViewIsRedrawnEverySecondTickAndOnceInFullAfterTheWindowFills) {
    ASSERT_TRUE(startNamed("Live"));
    owner.redraws.clear();
    tick(40, 10);
    int incremental = 0, full = 0;
    for (LiveRedraw what : owner.redraws) {
        incremental += what == LiveRedraw::Incremental;
        full += what == LiveRedraw::FullPlot;
    }
    EXPECT_EQ(full, 1);
    EXPECT_GE(incremental, 12);
    EXPECT_LE(incremental, 20);
}

TEST_F(AcquisitionOnPty, BinClosingSoonAfterAResumeHoldsOnlyItsOwnCounts) {
    ASSERT_TRUE(startNamed("Wrap"));
    tick(Buffer - 5, 10);
    dialogs.answers = {Answer::Yes};
    acquisition->pauseOrResume();
    acquisition->pauseOrResume();
    // Bin 1 closes 5 ticks after the resume and bin 2 starts while the
    // detection still waits for its window: it must start empty all the same.
    tickBins(1, 10);
    tick(1, 10);
    for (std::int16_t count : acquisition->detection().binCounts()) ASSERT_EQ(count, 0);
    tickBins(2, 10);
    const auto records = readActivityRecords(acquisition->folder());
    ASSERT_EQ(records.size(), 2u);
    const auto& totals = acquisition->detection().runningTotals();
    long long counted = 0;
    for (int c = 0; c < ChannelCount; ++c) {
        const auto index = static_cast<std::size_t>(c);
        ASSERT_EQ(records[0].counts[index] + records[1].counts[index], totals[index]) << "channel " << c;
        counted += totals[index];
    }
    EXPECT_GT(counted, 0);
}
