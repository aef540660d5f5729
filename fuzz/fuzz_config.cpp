// config.dat: any bytes load to values inside their ranges, or to the defaults.
#include <cstdint>
#include <cstdlib>

#include "FuzzInput.h"
#include "ScriptedDialogs.h"
#include "store/ProgramConfig.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    auto& folder = zorvex::fuzz::scratch();
    folder.clear();
    folder.write(zorvex::ConfigFileName, std::string_view(reinterpret_cast<const char*>(data), size));
    zorvex::ProgramConfig config;
    zorvex::test::ScriptedDialogs dialogs;
    zorvex::loadConfig(config, folder.path(), dialogs);
    const bool inRange = config.Actual_Project_Number >= 0 && config.Last_Project >= config.Actual_Project_Number &&
                         config.Serial_COM >= 1 && config.Serial_COM <= 16 && config.Restart_Time == 0;
    if (!inRange) std::abort();
    // What the program writes, it reads back unchanged and without a message.
    zorvex::ProgramConfig again;
    const std::size_t shown = dialogs.shown.size();
    if (!zorvex::writeConfigFile(config, folder.path())) std::abort();
    zorvex::loadConfig(again, folder.path(), dialogs);
    if (!(again == config) || dialogs.shown.size() != shown) std::abort();
    return 0;
}
