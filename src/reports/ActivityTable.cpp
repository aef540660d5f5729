#include "reports/ActivityTable.h"

#include "common/Numbers.h"
#include "common/Text.h"
#include "reports/ExportFiles.h"
#include "store/PlateFormat.h"

namespace zorvex {

namespace {

// The line end RFC 4180 names; every CSV reader takes it.
constexpr const char* LineEnd = "\r\n";
constexpr const char* Header =
    "datetime,elapsed_min,well,row,column,beams,group,group_name,activity,light,temperature_c,status";

// "well,row,column,beams,group,group_name" of a well: "B3,B,3,2,1,Mutant".
std::string wellFields(const RhythmGrid& grid, int well) {
    const std::string name = wellName(grid.plate.plate, well);
    const int group = grid.groupOfWell(well);
    const bool grouped = group >= 0 && group < ChannelSlots;
    return name + "," + name.substr(0, 1) + "," + name.substr(1) + "," + std::to_string(grid.beamsOfWell(well)) + "," +
           (grouped ? std::to_string(group) : "") + "," +
           (grouped ? csvField(grid.plate.groups.Name[static_cast<std::size_t>(group)]) : "");
}

// Hundredths of a degree, printed without the locale's help.
std::string temperatureText(const std::optional<double>& celsius) {
    return celsius ? formatShortest(roundHalfEven(*celsius * 100.0) / 100.0) : "";
}

}  // namespace

std::filesystem::path activityTableFile(const std::filesystem::path& acquisitionFolder, int intervalMinutes) {
    return acquisitionFolder / ("activity_" + std::to_string(intervalMinutes) + "min.csv");
}

std::string activityTableText(const RhythmGrid& grid) {
    const int intervals = grid.exportedIntervals();
    // The interval's fields before and after the well's, made once for every well.
    std::vector<std::string> leading;
    std::vector<std::string> trailing;
    for (int k = 0; k < intervals; ++k) {
        const auto slot = static_cast<std::size_t>(k);
        leading.push_back(isoDateTime(grid.readingTime(k)) + "," +
                          std::to_string(static_cast<long long>(k + 1) * grid.intervalMinutes) + ",");
        trailing.push_back(std::string(",") + (grid.lightOn[slot] ? "1" : "0") + "," +
                           temperatureText(grid.temperatureC[slot]) + "," + (grid.isReading(k) ? "1" : "0") + LineEnd);
    }
    std::string text = std::string(Header) + LineEnd;
    for (int well = 0; well < grid.wellCount(); ++well) {
        if (grid.beamsOfWell(well) == 0) continue;
        const std::string fields = wellFields(grid, well) + ",";
        const auto& counts = grid.wellCounts[static_cast<std::size_t>(well)];
        for (int k = 0; k < intervals; ++k) {
            const auto slot = static_cast<std::size_t>(k);
            text += leading[slot];
            text += fields;
            if (grid.isReading(k)) text += std::to_string(counts[slot]);
            text += trailing[slot];
        }
    }
    return text;
}

std::optional<std::filesystem::path> exportActivityTable(const ActivityTableRequest& request, Dialogs& dialogs) {
    auto grid = loadExportGrid(request.acquisitionFolder, request.programFolder, request.intervalMinutes, dialogs);
    if (!grid) return std::nullopt;
    const std::filesystem::path file = request.outFile.empty()
                                           ? activityTableFile(request.acquisitionFolder, request.intervalMinutes)
                                           : request.outFile;
    if (file.has_parent_path() && !prepareExportFolder(file.parent_path(), dialogs)) return std::nullopt;
    if (!writeExportFile(file, activityTableText(*grid), dialogs)) return std::nullopt;
    return file;
}

}  // namespace zorvex
