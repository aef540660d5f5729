#include "reports/ActivityTable.h"

#include "common/Files.h"
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

// The fields of each interval before and after the well's, made once for every well.
struct IntervalFields {
    std::vector<std::string> leading;   ///< "datetime,elapsed_min,"
    std::vector<std::string> trailing;  ///< ",light,temperature_c,status" and the line end

    explicit IntervalFields(const RhythmGrid& grid) {
        for (int k = 0; k < grid.exportedIntervals(); ++k) {
            const auto slot = static_cast<std::size_t>(k);
            leading.push_back(isoDateTime(grid.readingTime(k)) + "," +
                              std::to_string(static_cast<long long>(k + 1) * grid.intervalMinutes) + ",");
            trailing.push_back(std::string(",") + (grid.lightOn[slot] ? "1" : "0") + "," +
                               temperatureText(grid.temperatureC[slot]) + "," + (grid.isReading(k) ? "1" : "0") +
                               LineEnd);
        }
    }
};

// The rows of one well, in time order.
std::string wellRows(const RhythmGrid& grid, int well, const IntervalFields& intervals) {
    const std::string fields = wellFields(grid, well) + ",";
    const auto& counts = grid.wellCounts[static_cast<std::size_t>(well)];
    std::string rows;
    for (std::size_t k = 0; k < intervals.leading.size(); ++k) {
        rows += intervals.leading[k];
        rows += fields;
        if (grid.isReading(static_cast<int>(k))) rows += std::to_string(counts[k]);
        rows += intervals.trailing[k];
    }
    return rows;
}

}  // namespace

std::filesystem::path activityTableFile(const std::filesystem::path& acquisitionFolder, int intervalMinutes) {
    return acquisitionFolder / ("activity_" + std::to_string(intervalMinutes) + "min.csv");
}

std::optional<std::filesystem::path> exportActivityTable(const ActivityTableRequest& request, Dialogs& dialogs) {
    auto grid = loadExportGrid(request.acquisitionFolder, request.programFolder, request.intervalMinutes, dialogs);
    if (!grid) return std::nullopt;
    const std::filesystem::path file = request.outFile.empty()
                                           ? activityTableFile(request.acquisitionFolder, request.intervalMinutes)
                                           : request.outFile;
    if (file.has_parent_path() && !prepareExportFolder(file.parent_path(), dialogs)) return std::nullopt;

    // Written a well at a time: a week of 384 wells in 1-minute rows is some
    // 200 MB of text.
    FileReplacement table(file);
    bool written = table.append(std::string(Header) + LineEnd);
    const IntervalFields intervals(*grid);
    for (int well = 0; well < grid->wellCount() && written; ++well) {
        if (grid->beamsOfWell(well) > 0) written = table.append(wellRows(*grid, well, intervals));
    }
    if (!written || !table.commit()) {
        fileNotWritten(file, dialogs);
        return std::nullopt;
    }
    return file;
}

}  // namespace zorvex
