// config.dat: any bytes load to values inside their ranges, or to the defaults.
#include <cstdint>
#include <string_view>

#include "ReadBackChecks.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    zorvex::ProgramConfig config;
    zorvex::test::ScriptedDialogs dialogs;
    zorvex::parseConfig(config, std::string_view(reinterpret_cast<const char*>(data), size), dialogs);
    zorvex::fuzz::checkConfig(config);
    // What the program writes, it reads back unchanged and without a message.
    zorvex::ProgramConfig again;
    zorvex::test::ScriptedDialogs quiet;
    zorvex::parseConfig(again, zorvex::configFileBytes(config), quiet);
    zorvex::fuzz::checkConfigReadBack(config, again, quiet);
    return 0;
}
