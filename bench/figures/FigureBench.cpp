// Writing the group activity figure of a 7-day acquisition, the report's
// benchmark acquisition, at 5-minute bins: reading, the report tables, the
// layout and the painting, as PDF (the target) and as PNG and SVG.

#include <benchmark/benchmark.h>

#include <QGuiApplication>
#include <cstdlib>

#include "WeekAcquisition.h"
#include "figures/Figures.h"

namespace zorvex {
namespace {

void BM_WeekGroupFigure(benchmark::State& state, const char* extension) {
    test::TempFolder temp;
    auto builder = bench::weekAcquisition(temp, "week");
    FigureRequest request;
    request.kind = FigureKind::Groups;
    request.acquisitionFolder = builder.folder();
    request.programFolder = temp.path();
    request.output = temp / (std::string("groups") + extension);
    request.groups.binMinutes = state.range(0);
    // The GUI application, its fonts and the acquisition's bytes, before any figure.
    state.counters["before_MB"] = bench::peakMegabytes();
    for (auto _ : state) {
        const FigureOutcome outcome = writeFigure(request);
        if (!outcome.written) state.SkipWithError(outcome.message.c_str());
    }
    state.counters["peak_MB"] = bench::peakMegabytes();
    state.counters["file_kB"] = static_cast<double>(std::filesystem::file_size(request.output)) / 1024.0;
}
BENCHMARK_CAPTURE(BM_WeekGroupFigure, pdf, ".pdf")->Arg(5)->Arg(60)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_WeekGroupFigure, svg, ".svg")->Arg(5)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_WeekGroupFigure, png, ".png")->Arg(5)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace zorvex

int main(int argc, char** argv) {
    ::setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QGuiApplication application(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
