// The report of an acquisition folder whose counts.bin, setup copy, group
// files and plate file are all fuzzed, with a fuzzed bin size and layout.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "FuzzInput.h"
#include "ManualHost.h"
#include "ScriptedDialogs.h"
#include "reports/Report.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    // Parts: setup.dat, groups.dat, chgroup.dat, the plate file zf.dat, the
    // settings (a layout byte, then the bin size as 32 bits), counts.bin.
    auto parts = zorvex::fuzz::splitParts(data, size, 6);
    auto& folder = zorvex::fuzz::scratch();
    folder.clear();
    const std::string acquisition = "p00003/01022023_1015/";
    folder.write(acquisition + "setup.dat", parts[0]);
    folder.write(acquisition + "groups.dat", parts[1]);
    folder.write(acquisition + "chgroup.dat", parts[2]);
    folder.write("zf.dat", parts[3]);
    folder.write(acquisition + "counts.bin", parts[5]);

    zorvex::ReportRequest request;
    request.acquisitionFolder = folder.path() / acquisition;
    request.programFolder = folder.path();
    const std::string& settings = parts[4];
    const int layout = settings.empty() ? 0 : static_cast<unsigned char>(settings[0]) % 3;
    std::int32_t binMinutes = 60;
    if (settings.size() >= 5) {
        binMinutes = static_cast<std::int32_t>(static_cast<std::uint32_t>(static_cast<unsigned char>(settings[1])) |
                                               static_cast<std::uint32_t>(static_cast<unsigned char>(settings[2])) << 8 |
                                               static_cast<std::uint32_t>(static_cast<unsigned char>(settings[3])) << 16 |
                                               static_cast<std::uint32_t>(static_cast<unsigned char>(settings[4])) << 24);
    }
    request.binMinutes = binMinutes;
    request.options.layout = static_cast<zorvex::ReportLayout>(layout);
    request.options.stdDev = layout != 1;

    zorvex::test::ScriptedDialogs dialogs;
    zorvex::test::ManualHost host;
    auto loaded = zorvex::loadReportData(request.acquisitionFolder, request.programFolder, dialogs);
    if (!loaded) return 0;
    const auto& [plate, series] = *loaded;
    zorvex::BinSize binSize;
    const std::size_t shown = dialogs.shown.size();
    const zorvex::ReportTables tables = zorvex::computeTables(plate, series, request.binMinutes, dialogs, binSize);
    // A computation that raised no error placed every record in some bin.
    if (dialogs.shown.size() == shown) {
        long long placed = 0;
        for (std::int32_t records : tables.recordsPerBin) placed += records;
        if (placed != static_cast<long long>(series.minutes.size())) std::abort();
    }
    (void)zorvex::produceReport(plate, series, request, dialogs, host);
    return 0;
}
