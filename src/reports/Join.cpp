#include "reports/Join.h"

#include <algorithm>
#include <limits>
#include <numeric>

#include "acquisition/DataFiles.h"
#include "common/DateTime.h"
#include "common/Files.h"
#include "common/Numbers.h"
#include "reports/WellExport.h"

namespace zorvex {

namespace {


// The setup copy and channel files a report of the joined folder needs.
constexpr const char* SideFiles[] = {"setup.dat", "setup.bak", "status.dat", "threshld.dat", "groups.dat", "chgroup.dat"};

}  // namespace

std::vector<std::int32_t> joinOffsets(const std::vector<DateTime>& starts) {
    std::vector<std::int32_t> offsets;
    if (starts.empty()) return offsets;
    double earliest = std::numeric_limits<double>::max();
    for (const auto& start : starts) earliest = std::min(earliest, toSerialDays(start));
    for (const auto& start : starts) offsets.push_back(toInt32((toSerialDays(start) - earliest) * MinutesPerDay));
    return offsets;
}

std::vector<std::filesystem::path> joinAcquisitions(const std::filesystem::path& projectFolder,
                                                    const std::vector<std::string>& names, Dialogs& dialogs,
                                                    Host& host) {
    std::vector<std::filesystem::path> written;
    std::string question = "Would you like to Join:\r\n";
    for (const auto& name : names) question += name + "\r\n";
    question += " ?";
    if (dialogs.message(question, Buttons::OkCancel) != Answer::Ok || names.size() < 2) return written;

    const DateTime now = host.now();
    std::vector<DateTime> starts;
    for (const auto& name : names) starts.push_back(acquisitionStart(name, now));
    std::string text = "Data Block: ";
    for (const auto& name : names) text += name + " + ";

    const std::filesystem::path target = acquisitionFolderPath(projectFolder, now);
    // Joining twice in one minute, or into a recording of this minute, would overwrite data.
    if (fileExists(target / "counts.bin")) {
        dialogs.message("The acquisition folder " + target.filename().string() +
                        " already holds recorded data; join again in a minute.");
        return written;
    }
    // A mistyped name would otherwise join as an empty acquisition and the join would look done.
    for (const auto& name : names) {
        if (!folderExists(projectFolder / name)) {
            dialogs.message("Join Error: there is no acquisition folder " + (projectFolder / name).string());
            return written;
        }
    }
    // A counts.bin too large to read would otherwise join as if empty, and its records would be lost.
    for (const auto& name : names) {
        const std::filesystem::path file = projectFolder / name / "counts.bin";
        std::error_code sizeError;
        const auto bytes = std::filesystem::file_size(file, sizeError);
        if (!sizeError && bytes > MaxActivityFileBytes) {
            dialogs.message("Join Error: cannot read " + file.string());
            return written;
        }
    }
    std::string counts;
    try {
        const std::vector<std::int32_t> offsets = joinOffsets(starts);
        // In the order of their starts, whatever the list order: a reader takes
        // a minute that steps back for a restart or a clock change, so records
        // of an earlier start after a later one would land after it.
        std::vector<std::size_t> order(names.size());
        std::iota(order.begin(), order.end(), std::size_t{0});
        std::stable_sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) { return offsets[a] < offsets[b]; });
        for (std::size_t i : order) {
            for (ActivityRecord record : readActivityRecords(projectFolder / names[i])) {
                record.elapsedMinutes = toInt32(static_cast<double>(record.elapsedMinutes) + offsets[i]);
                counts += encodeActivityRecord(record);
            }
        }
    } catch (const OverflowError&) {
        dialogs.message("Join Error: a shifted minute does not fit the records.");
        return written;
    }
    std::error_code error;
    std::filesystem::create_directories(target, error);
    if (!writeExperimentInfo(target, {text, "Joint Files"})) {
        dialogs.message("Join Error: cannot write " + (target / "subproj.dat").string());
        return written;
    }
    written.push_back(target / "subproj.dat");
    // Written whole, so no stale record of an earlier file can follow the joined ones.
    if (!writeFile(target / "counts.bin", counts)) {
        dialogs.message("Join Error: cannot write " + (target / "counts.bin").string());
        return written;
    }
    written.push_back(target / "counts.bin");
    for (const char* side : SideFiles) {
        std::filesystem::path source = projectFolder / names.front() / side;
        if (fileExists(source) && copyFile(source, target / side)) written.push_back(target / side);
    }
    return written;
}

}  // namespace zorvex
