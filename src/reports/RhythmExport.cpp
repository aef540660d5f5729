#include "reports/RhythmExport.h"

#include <array>

#include "acquisition/DataFiles.h"
#include "common/Files.h"
#include "common/Text.h"
#include "reports/ExportFiles.h"
#include "store/PlateFormat.h"

namespace zorvex {

namespace {

// CR LF as the monitors' own files end their lines; the analysis tools read both.
constexpr const char* LineEnd = "\r\n";
constexpr const char* MetadataFileName = "metadata.csv";
constexpr int MinutesPerHour = 60;
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

// Readings of intervals first..last with no step of an hour or more between
// them: what one row of metadata.csv may span.
struct Stretch {
    int first = 0;
    int last = 0;
};

std::vector<Stretch> readingStretches(const RhythmGrid& grid) {
    std::vector<Stretch> stretches;
    for (int k = 0; k < grid.exportedIntervals(); ++k) {
        if (!grid.isReading(k)) continue;
        if (stretches.empty() || (k - stretches.back().last) * grid.intervalMinutes >= MinutesPerHour) {
            stretches.push_back({k, k});
        } else {
            stretches.back().last = k;
        }
    }
    return stretches;
}

// Time zero of a stretch. A later one starts where its first interval begins:
// anything earlier would reach back over the gap into the stretch before.
DateTime stretchStart(const RhythmGrid& grid, const Stretch& stretch, bool first, TimeZero timeZero) {
    if (!first) return grid.readingTime(stretch.first - 1);
    if (timeZero == TimeZero::LightsOn) {
        if (auto lightsOn = lastLightsOn(grid, grid.readingTime(stretch.first))) return *lightsOn;
    }
    return grid.start;
}

std::string experimentOf(const std::filesystem::path& acquisitionFolder, const RhythmGrid& grid) {
    auto info = readExperimentInfo(acquisitionFolder);
    return info && !info->name.empty() ? info->name : timeStamp(grid.start);
}

// Monitor files of an earlier export with more wells would be read as part of this one.
void removeStaleMonitors(const std::filesystem::path& folder, int firstStale) {
    std::error_code error;
    for (int number = firstStale; fileExists(folder / monitorFileName(number)); ++number) {
        if (!std::filesystem::remove(folder / monitorFileName(number), error)) return;
    }
}

// Nothing when the interval suits the tools; otherwise what to tell the operator.
std::optional<std::string> intervalProblem(int intervalMinutes) {
    if (intervalMinutes > MaxRhythmIntervalMinutes) {
        return "Monitor files take 1 to " + std::to_string(MaxRhythmIntervalMinutes) +
               " minutes per line: " + RhythmIntervalLimitReason + ".";
    }
    if (intervalMinutes < 1) {
        return "The interval must be a whole number of minutes from 1 to " +
               std::to_string(MaxRhythmIntervalMinutes) + ".";
    }
    return std::nullopt;
}

}  // namespace

std::filesystem::path rhythmFolder(const std::filesystem::path& acquisitionFolder) {
    return acquisitionFolder / "rhythm";
}

std::string monitorFileName(int number) { return "Monitor" + std::to_string(number) + ".txt"; }

int monitorFileCount(const RhythmGrid& grid) { return (grid.wellCount() + WellsPerMonitor - 1) / WellsPerMonitor; }

std::string monitorFileText(const RhythmGrid& grid, int index) {
    std::string text;
    for (int k = 0; k < grid.exportedIntervals(); ++k) {
        const DateTime when = grid.readingTime(k);
        const bool reading = grid.isReading(k);
        text += std::to_string(k + 1) + "\t" + monitorDate(when) + "\t" + clockText(when) + "\t" +
                (reading ? "1" : "0") + "\t0\t0\t0\t0\t0\t" + (grid.lightOn[static_cast<std::size_t>(k)] ? "1" : "0");
        for (int column = 0; column < WellsPerMonitor; ++column) {
            const int well = index * WellsPerMonitor + column;
            text += "\t";
            text += well < grid.wellCount()
                        ? std::to_string(grid.wellCounts[static_cast<std::size_t>(well)][static_cast<std::size_t>(k)])
                        : "0";
        }
        text += LineEnd;
    }
    return text;
}

std::string rhythmMetadataText(const RhythmGrid& grid, const std::string& experiment, TimeZero timeZero) {
    std::string text = "file,start_datetime,stop_datetime,region_id,well,group,group_name,plate,experiment,beams";
    text += LineEnd;
    const std::vector<Stretch> stretches = readingStretches(grid);
    for (std::size_t s = 0; s < stretches.size(); ++s) {
        const std::string span = csvField(isoDateTime(stretchStart(grid, stretches[s], s == 0, timeZero))) + "," +
                                 csvField(isoDateTime(grid.readingTime(stretches[s].last)));
        for (int well = 0; well < grid.wellCount(); ++well) {
            const int beams = grid.beamsOfWell(well);
            if (beams == 0) continue;
            const int group = grid.groupOfWell(well);
            const bool grouped = group >= 0 && group < ChannelSlots;
            text += monitorFileName(well / WellsPerMonitor + 1) + "," + span + "," +
                    std::to_string(well % WellsPerMonitor + 1) + "," + csvField(wellName(grid.plate.plate, well)) +
                    "," + (grouped ? std::to_string(group) : "") + "," +
                    (grouped ? csvField(grid.plate.groups.Name[static_cast<std::size_t>(group)]) : "") + "," +
                    csvField(grid.plate.plateName) + "," + csvField(experiment) + "," + std::to_string(beams) +
                    LineEnd;
        }
    }
    return text;
}

std::vector<std::filesystem::path> exportRhythm(const RhythmRequest& request, Dialogs& dialogs) {
    if (auto problem = intervalProblem(request.intervalMinutes)) {
        dialogs.message(*problem);
        return {};
    }
    auto grid = loadExportGrid(request.acquisitionFolder, request.programFolder, request.intervalMinutes, dialogs);
    if (!grid) return {};
    const std::filesystem::path folder =
        request.outFolder.empty() ? rhythmFolder(request.acquisitionFolder) : request.outFolder;
    if (!prepareExportFolder(folder, dialogs)) return {};

    // metadata.csv goes first and comes back last, so one present always
    // describes complete monitor files of this export.
    std::error_code ignored;
    std::filesystem::remove(folder / MetadataFileName, ignored);
    std::vector<std::filesystem::path> written;
    auto write = [&](const std::filesystem::path& file, const std::string& text) {
        if (!writeExportFile(file, text, dialogs)) return false;
        written.push_back(file);
        return true;
    };
    const int files = monitorFileCount(*grid);
    for (int index = 0; index < files; ++index) {
        if (!write(folder / monitorFileName(index + 1), monitorFileText(*grid, index))) return {};
    }
    const std::string experiment = experimentOf(request.acquisitionFolder, *grid);
    if (!write(folder / MetadataFileName, rhythmMetadataText(*grid, experiment, request.timeZero))) return {};
    removeStaleMonitors(folder, files + 1);
    return written;
}

}  // namespace zorvex
