// counts.bin: every whole record decodes and encodes back to the same bytes;
// the report's series loader takes any file.
#include <cstdint>
#include <cstdlib>

#include "FuzzInput.h"
#include "ScriptedDialogs.h"
#include "acquisition/DataFiles.h"
#include "common/Numbers.h"
#include "reports/ReportInputs.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::string bytes(reinterpret_cast<const char*>(data), size);
    auto records = zorvex::decodeActivityRecords(bytes);
    if (records.size() != size / zorvex::ActivityRecordBytes) std::abort();
    std::string encoded;
    for (const auto& record : records) encoded += zorvex::encodeActivityRecord(record);
    if (bytes.compare(0, encoded.size(), encoded) != 0) std::abort();

    auto& folder = zorvex::fuzz::scratch();
    folder.clear();
    folder.write("counts.bin", bytes);
    zorvex::test::ScriptedDialogs dialogs;
    try {
        (void)zorvex::loadSeries(folder.path(), dialogs);
    } catch (const zorvex::OverflowError&) {
        // Documented: minutes that cannot be unwrapped in 32 bits; the report shows "Report Error".
    }
    return 0;
}
