#include "reports/RhythmExport.h"

#include <array>

#include "acquisition/DataFiles.h"
#include "common/Files.h"
#include "common/Text.h"
#include "store/PlateFormat.h"

namespace zorvex {

namespace {

// CR LF as the monitors' own files end their lines; the analysis tools read both.
constexpr const char* LineEnd = "\r\n";
constexpr const char* MetadataFileName = "metadata.csv";
constexpr std::array<const char*, 12> MonthNames = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                                    "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};

std::string clockText(const DateTime& when) {
    return formatDigits(when.hour, 2) + ":" + formatDigits(when.minute, 2) + ":" + formatDigits(when.second, 2);
}

// "05 Mar 24"
std::string monitorDate(const DateTime& when) {
    return formatDigits(when.day, 2) + " " + MonthNames[static_cast<std::size_t>(when.month - 1)] + " " +
           formatDigits(when.year % 100, 2);
}

// "2024-03-05 14:30:00"
std::string isoDateTime(const DateTime& when) {
    return formatDigits(when.year, 4) + "-" + formatDigits(when.month, 2) + "-" + formatDigits(when.day, 2) + " " +
           clockText(when);
}

// Interval k is read at its end.
DateTime readingTime(const RhythmGrid& grid, int interval) {
    return addMinutes(grid.start, static_cast<double>(interval + 1) * grid.intervalMinutes);
}

bool hasChannel(const ReportPlate& plate, int well) {
    for (const auto& beamRow : plate.channelMap) {
        if (beamRow[static_cast<std::size_t>(well)] >= 0) return true;
    }
    return false;
}

std::string experimentOf(const std::filesystem::path& acquisitionFolder, const RhythmGrid& grid) {
    auto info = readExperimentInfo(acquisitionFolder);
    return info && !info->name.empty() ? info->name : timeStamp(grid.start);
}

// The folder, created when missing; nothing after a message when it is not one.
bool prepareFolder(const std::filesystem::path& folder, Dialogs& dialogs) {
    std::error_code error;
    if (std::filesystem::exists(folder, error) && !std::filesystem::is_directory(folder, error)) {
        dialogs.message("The export folder is a file: " + folder.string());
        return false;
    }
    std::filesystem::create_directories(folder, error);
    if (error || !folderExists(folder)) {
        dialogs.message("The export folder cannot be created: " + folder.string());
        return false;
    }
    return true;
}

// Monitor files of an earlier export with more wells would be read as part of this one.
void removeStaleMonitors(const std::filesystem::path& folder, int firstStale) {
    std::error_code error;
    for (int number = firstStale; fileExists(folder / monitorFileName(number)); ++number) {
        if (!std::filesystem::remove(folder / monitorFileName(number), error)) return;
    }
}

}  // namespace

std::filesystem::path rhythmFolder(const std::filesystem::path& acquisitionFolder) {
    return acquisitionFolder / "rhythm";
}

std::string monitorFileName(int number) { return "Monitor" + std::to_string(number) + ".txt"; }

int monitorFileCount(const RhythmGrid& grid) { return (grid.wellCount() + WellsPerMonitor - 1) / WellsPerMonitor; }

std::string monitorFileText(const RhythmGrid& grid, int index) {
    std::string text;
    for (int k = 0; k < grid.intervalCount(); ++k) {
        const DateTime when = readingTime(grid, k);
        const auto slot = static_cast<std::size_t>(k);
        text += std::to_string(k + 1) + "\t" + monitorDate(when) + "\t" + clockText(when) + "\t" +
                (grid.hasRecords[slot] ? "1" : "0") + "\t0\t0\t0\t0\t0\t" + (grid.lightOn[slot] ? "1" : "0");
        for (int column = 0; column < WellsPerMonitor; ++column) {
            const int well = index * WellsPerMonitor + column;
            text += "\t";
            text += well < grid.wellCount()
                        ? std::to_string(grid.wellCounts[static_cast<std::size_t>(well)][slot])
                        : "0";
        }
        text += LineEnd;
    }
    return text;
}

std::string csvField(std::string_view text) {
    if (text.find_first_of(",\"\r\n") == std::string_view::npos) return std::string(text);
    std::string quoted = "\"";
    for (char ch : text) {
        if (ch == '"') quoted += '"';
        quoted += ch;
    }
    return quoted + "\"";
}

std::string rhythmMetadataText(const RhythmGrid& grid, const std::string& experiment) {
    const std::string start = csvField(isoDateTime(grid.start));
    const std::string stop = csvField(isoDateTime(readingTime(grid, grid.intervalCount() - 1)));
    std::string text = "file,start_datetime,stop_datetime,region_id,well,group,group_name,plate,experiment";
    text += LineEnd;
    for (int well = 0; well < grid.wellCount(); ++well) {
        if (!hasChannel(grid.plate, well)) continue;
        const int group = grid.groupOfWell(well);
        const bool grouped = group >= 0 && group < ChannelSlots;
        text += monitorFileName(well / WellsPerMonitor + 1) + "," + start + "," + stop + "," +
                std::to_string(well % WellsPerMonitor + 1) + "," + csvField(wellName(grid.plate.plate, well)) + "," +
                (grouped ? std::to_string(group) : "") + "," +
                (grouped ? csvField(grid.plate.groups.Name[static_cast<std::size_t>(group)]) : "") + "," +
                csvField(grid.plate.plateName) + "," + csvField(experiment) + LineEnd;
    }
    return text;
}

std::vector<std::filesystem::path> exportRhythm(const RhythmRequest& request, Dialogs& dialogs) {
    std::vector<std::filesystem::path> written;
    auto grid = loadRhythmGrid(request.acquisitionFolder, request.programFolder, request.intervalMinutes, dialogs);
    if (!grid) return written;
    if (grid->intervalCount() == 0) {
        dialogs.message("The acquisition holds no activity records: nothing to export.");
        return written;
    }
    const std::filesystem::path folder =
        request.outFolder.empty() ? rhythmFolder(request.acquisitionFolder) : request.outFolder;
    if (!prepareFolder(folder, dialogs)) return written;

    // metadata.csv goes first and comes back last, so one present always
    // describes complete monitor files of this export.
    std::error_code ignored;
    std::filesystem::remove(folder / MetadataFileName, ignored);
    auto write = [&](const std::filesystem::path& file, const std::string& text) {
        if (!writeFile(file, text)) {
            dialogs.message("The file cannot be written: " + file.string());
            return false;
        }
        written.push_back(file);
        return true;
    };
    const int files = monitorFileCount(*grid);
    for (int index = 0; index < files; ++index) {
        if (!write(folder / monitorFileName(index + 1), monitorFileText(*grid, index))) return {};
    }
    if (!write(folder / MetadataFileName, rhythmMetadataText(*grid, experimentOf(request.acquisitionFolder, *grid)))) {
        return {};
    }
    removeStaleMonitors(folder, files + 1);
    return written;
}

}  // namespace zorvex
