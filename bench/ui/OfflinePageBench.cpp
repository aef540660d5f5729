// The offline window's page of raw signal: loading page 1 of an acquisition
// of six real-time files (55 dumps, 21 MB), drawing its channel signal view,
// and the whole path an operator waits for: opening the acquisition from the
// list and showing its channel view. The files are read from the page cache
// after the first iteration.

#include <benchmark/benchmark.h>

#include <QApplication>
#include <cstdlib>
#include <memory>

#include "AcquisitionBuilder.h"
#include "ManualHost.h"
#include "ScriptedDialogs.h"
#include "TempFolder.h"
#include "acquisition/NewProgramFolder.h"
#include "store/ProgramFolderInit.h"
#include "ui/offline/Frm_offline.h"
#include "ui/offline/OfflineDrawing.h"
#include "views/PageBuffer.h"

namespace zorvex {
namespace {

constexpr const char* AcquisitionName = "14032026_0930";
constexpr int RawFiles = 6;

// A program folder whose demo project holds one acquisition with six real-time files.
struct BenchFolder {
    test::TempFolder folder;
    std::filesystem::path acquisition;

    BenchFolder() {
        if (initProgramFolder(folder.path(), findDataFolder())) std::abort();
        test::AcquisitionBuilder builder(folder / "p00001" / AcquisitionName);
        builder.plate("z96f").writeSideFiles();
        std::vector<ActivityRecord> records;
        for (int bin = 0; bin < RawFiles * DumpsPerRealTimeFile; ++bin) records.push_back(test::record(bin + 1, {}));
        builder.append(records).appendDumps(0, RawFiles * DumpsPerRealTimeFile - 1);
        acquisition = builder.folder();
    }
};

BenchFolder& benchFolder() {
    static BenchFolder folder;
    return folder;
}

void BM_LoadPageOne(benchmark::State& state) {
    const BenchFolder& bench = benchFolder();
    PageBuffer page;
    for (auto _ : state) {
        page.allocate(500);
        for (int file = 0; file < FilesPerPage; ++file) page.loadFile(bench.acquisition, file, file);
        benchmark::DoNotOptimize(page.samples(0, 0));
    }
    state.counters["MB"] = static_cast<double>(page.bytes()) / 1e6;
}
BENCHMARK(BM_LoadPageOne)->Unit(benchmark::kMillisecond);

// Beams per well: 2 on z96f, 4 on z96flat, 32 on z6.
void BM_DrawChannelSignal(benchmark::State& state) {
    const BenchFolder& bench = benchFolder();
    PageBuffer page;
    page.allocate(500);
    for (int file = 0; file < FilesPerPage; ++file) page.loadFile(bench.acquisition, file, file);
    std::vector<WellBeam> beams;
    for (int beam = 0; beam < state.range(0); ++beam) beams.push_back({beam, beam});
    PlotSurface surface;
    surface.resize(720, 660);
    for (auto _ : state) {
        drawChannelSignal(surface, page, 1, beams, static_cast<int>(state.range(0)) - 1);
        benchmark::DoNotOptimize(surface.image().constBits());
    }
}
BENCHMARK(BM_DrawChannelSignal)->Arg(2)->Arg(4)->Arg(32)->Unit(benchmark::kMillisecond);

void BM_OpenAcquisitionAndShowChannelSignal(benchmark::State& state) {
    const BenchFolder& bench = benchFolder();
    test::ScriptedDialogs dialogs;
    test::ManualHost host;
    Frm_offline window(bench.folder.path(), dialogs, host);
    window.resize(1280, 800);
    window.show();
    QApplication::processEvents();
    window.Listpj->setCurrentRow(0);
    emit window.Listpj->itemDoubleClicked(window.Listpj->currentItem());
    for (auto _ : state) {
        window.Listpj->setCurrentRow(0);
        emit window.Listpj->itemDoubleClicked(window.Listpj->currentItem());
        window.cmdchannels->click();
        QApplication::processEvents();
    }
    state.counters["files"] = window.realTimeFiles();
}
BENCHMARK(BM_OpenAcquisitionAndShowChannelSignal)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace zorvex

int main(int argc, char** argv) {
    ::setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QApplication application(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
