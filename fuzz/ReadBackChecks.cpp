#include "ReadBackChecks.h"

#include <cstdlib>

#include "common/Numbers.h"

namespace zorvex::fuzz {

void checkConfig(const ProgramConfig& config) {
    const bool inRange = config.Actual_Project_Number >= 0 && config.Last_Project >= config.Actual_Project_Number &&
                         config.Serial_COM >= 1 && config.Serial_COM <= 16 && config.Restart_Time == 0;
    if (!inRange) std::abort();
}

void checkConfigReadBack(const ProgramConfig& config, const ProgramConfig& again, const test::ScriptedDialogs& quiet) {
    if (!(again == config) || !quiet.shown.empty()) std::abort();
}

void exercisePortMap(const PortMap& map, std::string_view portName) {
    (void)resolvePortName(map, portName);
    for (int com = 0; com <= PortCount + 1; ++com) (void)map.device(com);
}

void checkExperimentInfoReadBack(const ExperimentInfo& info, const std::optional<ExperimentInfo>& again) {
    if (!again || experimentInfoBytes(*again) != experimentInfoBytes(info)) std::abort();
}

GroupTable groupNamesOf(const GroupAnnotations& annotations) {
    GroupTable names;
    for (const auto& [group, annotation] : annotations) names.Name[static_cast<std::size_t>(group)] = annotation.name;
    return names;
}

void checkGroupInfoReadBack(const GroupInfoRead& read, const GroupInfoRead& again) {
    if (again.annotations != read.annotations || !again.messages.empty()) std::abort();
}

void checkActivityRecords(std::string_view bytes, const std::vector<ActivityRecord>& records) {
    if (records.size() != bytes.size() / ActivityRecordBytes) std::abort();
    std::string encoded;
    for (const auto& record : records) encoded += encodeActivityRecord(record);
    if (bytes.substr(0, encoded.size()) != encoded) std::abort();
}

void checkSeries(const std::function<std::optional<LoadedSeries>()>& load, std::size_t records) {
    std::optional<LoadedSeries> series;
    try {
        series = load();
    } catch (const OverflowError&) {
        return;
    }
    if (series && (series->minutes.size() != records || series->counts.size() != records ||
                   series->temperatureTenths.size() != records)) {
        std::abort();
    }
}

}  // namespace zorvex::fuzz
