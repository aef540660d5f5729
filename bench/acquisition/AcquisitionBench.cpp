// The program's own CPU time in the acquisition cycle with all 384 channels
// in wells: an ordinary tick (four block exchanges with the simulator on a
// pty, storing, detection), and a tick that closes a bin (temperature,
// outputs, auto-zero thresholds and the activity calculation of every
// channel, the dump and the record appended). The time is the benchmark
// thread's CPU time, so waiting for the wire does not count; at 115200 baud
// the four exchanges of a tick take about 68 ms on the wire.

#include <benchmark/benchmark.h>

#include <memory>

#include "ManualHost.h"
#include "SimulatedInstrument.h"
#include "TempFolder.h"
#include "acquisition/Acquisition.h"
#include "device/COM_Module.h"
#include "store/ProjectFolders.h"

namespace {

using namespace zorvex;

constexpr int Com = 1;
constexpr double TickWireMs = SampleBlockCount * (5 + SampleBlockBytes) * 10.0 / 115200.0 * 1e3;

class SilentDialogs : public Dialogs {
public:
    Answer message(const std::string&, Buttons) override { return Answer::Ok; }
    std::string input(const std::string&, const std::string&) override { return ""; }
};

// A recording of project 1 on the z384 plate, running on the simulator.
struct Bench {
    explicit Bench(int rtBuffer) {
        workspace.programFolder = folder.path();
        workspace.config.Actual_Project_Number = 1;
        workspace.projectFolder = projectFolderPath(folder.path(), 1);
        std::filesystem::create_directories(workspace.projectFolder);
        workspace.setup = defaultSetup(folder.path(), 1);
        workspace.setup.RT_Buffer = static_cast<std::int16_t>(rtBuffer);
        workspace.setup.Aq_lapse = 32000;
        workspace.channels = defaultChannelTable();
        workspace.groups = defaultGroupTable();
        workspace.plate = *builtInPlate("z384");
        options.autoZero = true;

        PortMap map;
        map.setDevice(Com, sim.path());
        session = std::make_unique<InstrumentSession>(map);
        session->port = Com;
        opened = session->comm.CommOpen(Com, "COM1", PortSettingsText) == 0;
        acquisition = std::make_unique<Acquisition>(workspace, *session, options, dialogs, host, owner, log);
        started = opened && acquisition->start({NameSource::Given, "bench"});
    }

    void tick() {
        host.elapsedMs += 70;
        acquisition->tick();
    }

    /// False, with the benchmark skipped, when the acquisition did not start.
    bool ready(benchmark::State& state) const {
        if (!started) state.SkipWithError("cannot start on the simulator's pty");
        return started;
    }

    test::TempFolder folder;
    test::SimulatedInstrument sim;
    Workspace workspace;
    std::unique_ptr<InstrumentSession> session;
    AcquisitionOptions options;
    SilentDialogs dialogs;
    test::ManualHost host;
    EventLog log{host};
    AcquisitionOwner owner;
    std::unique_ptr<Acquisition> acquisition;
    bool opened = false;
    bool started = false;
};

void BM_Tick(benchmark::State& state) {
    Bench bench(static_cast<int>(state.range(0)));
    if (!bench.ready(state)) return;
    const int lastSlot = bench.workspace.setup.RT_Buffer - 1;
    for (auto _ : state) {
        if (bench.acquisition->slot() == lastSlot || bench.acquisition->slot() < 2) {
            // Bin closes and the warm-up reads after them are measured apart.
            state.PauseTiming();
            while (bench.acquisition->slot() == lastSlot || bench.acquisition->slot() < 2) bench.tick();
            state.ResumeTiming();
        }
        bench.tick();
    }
    state.counters["wire_ms"] = TickWireMs;
}
BENCHMARK(BM_Tick)->Arg(500)->Unit(benchmark::kMicrosecond);

void BM_BinClose(benchmark::State& state) {
    Bench bench(static_cast<int>(state.range(0)));
    if (!bench.ready(state)) return;
    const int lastSlot = bench.workspace.setup.RT_Buffer - 1;
    for (auto _ : state) {
        state.PauseTiming();
        while (bench.acquisition->slot() != lastSlot) bench.tick();
        state.ResumeTiming();
        bench.tick();  // the bin's last sample, then its close
    }
    state.counters["bins"] = bench.acquisition->binsClosed();
}
BENCHMARK(BM_BinClose)->Arg(500)->Arg(200)->Iterations(20)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
