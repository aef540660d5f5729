// The report of an acquisition whose counts.bin, setup copy, group files and
// plate file are all fuzzed, with a fuzzed bin size and layout, parsed and
// computed in memory; the report's text is made but not written.
#include <cstdint>
#include <exception>

#include "FuzzInput.h"
#include "ManualHost.h"
#include "ReaderChecks.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace zorvex;
    // Parts: setup.dat, groups.dat, chgroup.dat, the plate file, the
    // settings (a layout byte, then the bin size as 32 bits), counts.bin.
    auto parts = fuzz::splitParts(data, size, 6);
    ReportFiles files;
    files.setupCopy = fuzz::fileOf(parts[0]);
    files.channelFiles[2] = fuzz::fileOf(parts[1]);
    files.channelFiles[3] = fuzz::fileOf(parts[2]);
    // Whatever plate the setup copy names is the fuzzed one.
    files.plate = fuzz::fileOf(parts[3]);
    files.counts = fuzz::fileOf(parts[5]);
    const ReportRequest request = fuzz::reportRequest(parts[4]);
    const std::filesystem::path folder = "/program/p00003/01022023_1015";

    test::ScriptedDialogs dialogs;
    auto loaded = parseReportData(files, folder, dialogs);
    if (!loaded) return 0;
    const auto tables = fuzz::checkReportTables(loaded->first, loaded->second, request, dialogs);
    if (!tables) return 0;
    test::ManualHost host;
    try {
        (void)reportText(loaded->first, *tables, request.options, host.now(), folder.string());
    } catch (const std::exception&) {
        // produceReport turns this into "Report Error"
    }
    return 0;
}
