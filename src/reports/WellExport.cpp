#include "reports/WellExport.h"

#include "common/Files.h"
#include "common/Numbers.h"
#include "common/Text.h"
#include "reports/Report.h"

namespace zorvex {

namespace {

constexpr std::size_t StampLength = 13;

// "dd/mm/yyyy hh:mm" with the separators the instrument's locale uses.
std::string stepDate(const DateTime& when) {
    return formatDigits(when.day, 2) + "/" + formatDigits(when.month, 2) + "/" + formatDigits(when.year, 4) + " " +
           formatDigits(when.hour, 2) + ":" + formatDigits(when.minute, 2);
}

}  // namespace

DateTime acquisitionStart(const std::string& folderName, const DateTime& fallback) {
    if (folderName.size() != StampLength) return fallback;
    return parseTimeStamp(folderName).value_or(fallback);
}

std::string wellFileName(int well, const std::string& wellName) {
    return formatDigits(well, 3) + "_" + wellName + ".txt";
}

std::vector<std::filesystem::path> exportWells(const std::filesystem::path& acquisitionFolder,
                                               const std::filesystem::path& programFolder, long long binMinutes,
                                               Dialogs& dialogs, Host& host) {
    std::vector<std::filesystem::path> written;
    if (dialogs.message("Do you like to Export 384 text files?", Buttons::YesNo) != Answer::Yes) return written;
    auto data = loadReportData(acquisitionFolder, programFolder, dialogs);
    if (!data) return written;
    const auto& [plate, series] = *data;
    BinSize binSize;
    ReportTables tables = computeTables(plate, series, binMinutes, dialogs, binSize);
    if (tables.binMinutes < 1) {
        dialogs.message("Report Error");
        return written;
    }
    const DateTime start = acquisitionStart(acquisitionFolder.filename().string(), host.now());
    // Rows and dates follow the bin size the values were binned with, so every line's value belongs to its date.
    const std::int32_t steps = toInt32(static_cast<double>(series.span()) / tables.binMinutes);
    for (int w = 0; w <= plate.maxWell; ++w) {
        if (plate.beamZeroChannel(w) < 0) {
            dialogs.message("Report Error");
            return written;
        }
        std::string text;
        for (std::int32_t k = 1; k <= steps && k < static_cast<std::int32_t>(tables.wellActivity.size()); ++k) {
            text += stepDate(addMinutes(start, static_cast<double>(tables.binMinutes) * k)) + " " +
                    std::to_string(tables.wellActivity[static_cast<std::size_t>(k)][static_cast<std::size_t>(w)]) +
                    "\r\n";
        }
        std::filesystem::path file = acquisitionFolder / wellFileName(w, wellName(plate.plate, w));
        if (!writeFile(file, text)) {
            dialogs.message("Report Error");
            return written;
        }
        written.push_back(file);
    }
    return written;
}

}  // namespace zorvex
