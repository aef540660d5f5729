#include "store/ProgramConfig.h"

#include "common/Files.h"
#include "common/RecordText.h"

namespace zorvex {

namespace {
constexpr const char* ConfigHeader = "Config: <Actual_Project_Number>, <Last_Project>,<Serial_COM>,<Restart_Time>";
}  // namespace

void loadConfig(ProgramConfig& config, const std::filesystem::path& programFolder, Dialogs& dialogs) {
    const std::optional<std::string> bytes = readFile(programFolder / ConfigFileName);
    parseConfig(config, bytes, dialogs);
}

void parseConfig(ProgramConfig& config, std::optional<std::string_view> bytes, Dialogs& dialogs) {
    bool ok = bytes.has_value();
    if (ok) {
        RecordReader in{std::string(*bytes)};
        in.skip();
        ProgramConfig read;
        read.Actual_Project_Number = in.int16();
        read.Last_Project = in.int16();
        read.Serial_COM = in.int16();
        read.Restart_Time = in.int16();
        ok = in.ok();
        if (ok) {
            config = read;
            if (config.Actual_Project_Number < 0) config.Actual_Project_Number = 0;
            if (config.Actual_Project_Number > config.Last_Project) config.Last_Project = config.Actual_Project_Number;
            if (config.Serial_COM < 1) config.Serial_COM = 1;
            if (config.Serial_COM > 16) config.Serial_COM = 16;
        }
    }
    if (!ok) {
        dialogs.message("Error opening config File >>>> Loading DEFAULT configuration...");
        config.Actual_Project_Number = 1;
        config.Last_Project = 1;
        config.Serial_COM = 4;
    }
    config.Restart_Time = 0;
}

std::string configFileBytes(const ProgramConfig& config) {
    RecordWriter out;
    out.header(ConfigHeader);
    out.integer(config.Actual_Project_Number)
        .integer(config.Last_Project)
        .integer(config.Serial_COM)
        .integer(config.Restart_Time)
        .endLine();
    return out.bytes();
}

bool writeConfigFile(const ProgramConfig& config, const std::filesystem::path& programFolder) {
    return writeFile(programFolder / ConfigFileName, configFileBytes(config));
}

bool saveConfig(const ProgramConfig& config, const std::filesystem::path& programFolder, Dialogs& dialogs) {
    if (writeConfigFile(config, programFolder)) return true;
    dialogs.message("<Error Saving Config File>");
    return false;
}

}  // namespace zorvex
