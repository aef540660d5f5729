// The program's own cost of talking to the instrument: decoding a block, and a
// tick's four block exchanges over a pty against the in-process simulator. The
// wire at 115200 baud needs about 17 ms per exchange; the program's CPU time
// per exchange should be small against that.

#include <time.h>

#include <benchmark/benchmark.h>

#include <memory>

#include "Instrument.h"
#include "PtyServer.h"
#include "device/COM_Module.h"

namespace {

using namespace zorvex;

constexpr int Com = 1;
constexpr double BitsPerByte = 10.0;  // start, 8 data, stop
constexpr double BaudRate = 115200.0;
constexpr double TickWireSeconds = SampleBlockCount * (5 + SampleBlockBytes) * BitsPerByte / BaudRate;

double threadCpuSeconds() {
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return now.tv_sec + now.tv_nsec * 1e-9;
}

/// The in-process simulator served on a pty, with the program's port open on it.
struct LinkToSimulator {
    sim::Instrument instrument{{}};
    sim::PtyServer server{instrument};
    std::unique_ptr<ModCOMM> comm;

    bool open(benchmark::State& state) {
        server.start();
        PortMap map;
        map.setDevice(Com, server.devicePath());
        comm = std::make_unique<ModCOMM>(map);
        if (comm->CommOpen(Com, "COM1", PortSettingsText) == 0) return true;
        state.SkipWithError("cannot open the simulator's pty");
        return false;
    }
};

void BM_DecodeSampleBlock(benchmark::State& state) {
    sim::Instrument instrument({});
    std::string block = instrument.receive(CommandFrame::make(RequestSampleBlock, 32, ModeRequest).wire(), 0);
    for (auto _ : state) {
        std::optional<SampleBlock> decoded = decodeSampleBlock(block);
        benchmark::DoNotOptimize(decoded);
    }
    state.SetBytesProcessed(state.iterations() * SampleBlockBytes);
}
BENCHMARK(BM_DecodeSampleBlock);

void BM_TickFourBlockExchanges(benchmark::State& state) {
    LinkToSimulator link;
    if (!link.open(state)) return;
    ModCOMM& comm = *link.comm;
    int missing = 0;
    double cpuStart = threadCpuSeconds();
    for (auto _ : state) {
        for (int offset : SampleBlockOffsets) {
            BlockReply reply = readSampleBlock(comm, Com, offset);
            missing += reply.status != BlockStatus::Complete;
            benchmark::DoNotOptimize(reply);
        }
    }
    double cpuPerTick = (threadCpuSeconds() - cpuStart) / static_cast<double>(state.iterations());
    state.counters["wire_ms"] = TickWireSeconds * 1e3;
    state.counters["cpu_per_wire"] = cpuPerTick / TickWireSeconds;
    state.counters["missing_blocks"] = missing;
}
BENCHMARK(BM_TickFourBlockExchanges)->Unit(benchmark::kMicrosecond);

void BM_TemperatureQuery(benchmark::State& state) {
    LinkToSimulator link;
    if (!link.open(state)) return;
    ModCOMM& comm = *link.comm;
    for (auto _ : state) benchmark::DoNotOptimize(DeviceQuery(comm, Com, RequestTemperature, 0, ModeRequest));
}
BENCHMARK(BM_TemperatureQuery)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
