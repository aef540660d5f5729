// counts.bin: every whole record decodes and encodes back to the same bytes;
// the report's series parser takes any file.
#include <cstdint>
#include <string_view>

#include "ReadBackChecks.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const auto records = zorvex::decodeActivityRecords(bytes);
    zorvex::fuzz::checkActivityRecords(bytes, records);
    zorvex::test::ScriptedDialogs dialogs;
    zorvex::fuzz::checkSeries([&] { return zorvex::parseSeries(bytes, dialogs); }, records.size());
    return 0;
}
