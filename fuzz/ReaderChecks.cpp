#include "ReaderChecks.h"

#include <climits>
#include <cstdlib>
#include <exception>

#include "acquisition/DataFiles.h"
#include "analysis/Analysis_Module.h"
#include "reports/ReportComputation.h"
#include "store/PlateGroups.h"

namespace zorvex::fuzz {

void checkPlateMap(const PlateFormat& plate) {
    const std::size_t cells =
        (static_cast<std::size_t>(plate.MaxWell) + 1) * (static_cast<std::size_t>(plate.MaxBeam) + 1);
    if (plate.MaxWell > MaxPlateIndex || plate.MaxBeam > MaxPlateIndex || plate.ChannelMap.size() != cells) {
        std::abort();
    }
}

void exercisePlate(const PlateFormat& plate, std::string_view itemText) {
    ChannelTable channels = defaultChannelTable();
    GroupTable groups = defaultGroupTable();
    // The first and last wells and channels stand for all: a plate of 384
    // beams per well makes every full sweep cost 150,000 lookups.
    for (int well : {0, static_cast<int>(plate.MaxWell), plate.MaxWell + 1}) {
        (void)channelsOfWell(plate, well);
        (void)wellName(plate, well);
    }
    for (int c : {0, ChannelCount - 1}) (void)channelName(plate, c);
    if (auto well = wellOfItem(plate, itemText)) (void)channelsOfWell(plate, *well);
    auto items = blockPatternItems(plate);
    if (!items.empty()) {
        if (auto block = parseBlockPattern(items[defaultPatternIndex(items.size())])) {
            tilePlate(channels, groups, plate, *block);
        }
    }
    (void)groupListItems(channels, groups);
    (void)freeChannels(channels, plate);
    MapGeometry geometry = mapGeometry(plate);
    Cell first = cellAt(plate, geometry.left, geometry.top);
    Cell last = cellAt(plate, geometry.right, geometry.bottom);
    for (int well : wellsBetween(plate, first, last)) applyToWell(channels, plate, well, 1, MapAction::Assign);
    if (isOnPlate(plate, last)) setWellGroup(channels, plate, wellOfCell(plate, last), -1);
}

void fillDefaultCalibration(BeamTable& pinHole, BeamTable& gain) {
    pinHole.fill(DefaultPinHole);
    gain.fill(DefaultGain);
}

namespace {

bool inRange(std::int16_t pinHole, std::int16_t gain) {
    if (pinHole == 0 && gain == 0) return true;
    return pinHole >= MinPinHole && pinHole <= MaxPinHole && gain >= 0 && gain <= MaxGain;
}

}  // namespace

void checkCalibrationRead(const CalibrationFileRead& read, const BeamTable& pinHole, const BeamTable& gain) {
    (void)read.note();
    if (read.lines < 0 || read.lines > ChannelSlots || (!read.found && read.lines != 0)) std::abort();
    for (std::size_t k = 0; k < ChannelSlots; ++k) {
        const bool taken = static_cast<int>(k) < read.lines;
        if (taken ? !inRange(pinHole[k], gain[k]) : (pinHole[k] != DefaultPinHole || gain[k] != DefaultGain)) {
            std::abort();
        }
    }
}

void checkCalibrationReadBack(const CalibrationFileRead& again, const BeamTable& pinHole, const BeamTable& gain,
                              const BeamTable& pinHoleAgain, const BeamTable& gainAgain) {
    if (!again.found || again.lines != ChannelCount || !again.note().empty()) std::abort();
    for (std::size_t k = 0; k < ChannelCount; ++k) {
        if (pinHoleAgain[k] != pinHole[k] || gainAgain[k] != gain[k]) std::abort();
    }
}

RealTimeChoice realTimeChoice(const std::uint8_t* data) {
    constexpr int rows[] = {0, 1, ChannelCount - 1};
    return {1 + data[0] % 24, data[1] % 34, data[2] % 4, rows[data[2] / 4 % 3], 1.0 + data[3] / 50.0};
}

void checkDump(SampleFrame& frame, const std::string& file, const RealTimeChoice& choice) {
    const std::size_t dumpStart =
        realTimeDumpBytes(choice.rtBuffer) * static_cast<std::size_t>(choice.bin % DumpsPerRealTimeFile);
    // Slot by slot, 385 little-endian 16-bit values of which the first 384 are the channels.
    for (int slot = 0; slot < choice.rtBuffer; ++slot) {
        for (int channel = 0; channel < ChannelCount; ++channel) {
            const std::size_t at = dumpStart + (static_cast<std::size_t>(slot) * ChannelSlots + channel) * 2;
            const auto low = static_cast<unsigned char>(file[at]);
            const auto high = static_cast<unsigned char>(file[at + 1]);
            if (frame.at(channel, slot) != static_cast<std::int16_t>(low | high << 8)) std::abort();
        }
    }
    Analysis_Module analysis;
    // Every channel goes through the same calculation; one row (the first,
    // second or last) an input keeps the run fast.
    (void)analysis.CalculateActivity(frame, choice.row, choice.snr, choice.method);
}

ReportRequest reportRequest(const std::string& settings) {
    ReportRequest request;
    const int layout = settings.empty() ? 0 : static_cast<unsigned char>(settings[0]) % 3;
    std::uint32_t binMinutes = 60;
    if (settings.size() >= 5) {
        binMinutes = 0;
        for (int k = 4; k >= 1; --k) binMinutes = binMinutes << 8 | static_cast<unsigned char>(settings[k]);
    }
    request.binMinutes = static_cast<std::int32_t>(binMinutes);
    request.options.layout = static_cast<ReportLayout>(layout);
    request.options.stdDev = layout != 1;
    return request;
}

namespace {

// The tables hold bins x wells: thousands of bins of a 384-well plate cost
// hundreds of megabytes and a second an input, and a dozen bins already
// take every path the computation has.
// Bin counts past 16 bits are refused before anything is allocated, so they
// still run.
constexpr std::int32_t AffordableBins = 16;

bool affordable(const LoadedSeries& series, const ReportRequest& request) {
    try {
        const BinSize binSize = adjustBinSize(request.binMinutes, series.span());
        const std::int32_t bins = reportedBinCount(series.span(), binSize.minutes);
        return bins <= AffordableBins || bins >= INT16_MAX;
    } catch (const std::exception&) {
        return true;
    }
}

}  // namespace

std::optional<ReportTables> checkReportTables(const ReportPlate& plate, const LoadedSeries& series,
                                              const ReportRequest& request, test::ScriptedDialogs& dialogs) {
    if (!affordable(series, request)) return std::nullopt;
    BinSize binSize;
    const std::size_t shown = dialogs.shown.size();
    ReportTables tables = computeTables(plate, series, request.binMinutes, dialogs, binSize);
    // A computation that raised no error placed every record in some bin.
    if (dialogs.shown.size() == shown) {
        long long placed = 0;
        for (std::int32_t records : tables.recordsPerBin) placed += records;
        if (placed != static_cast<long long>(series.minutes.size())) std::abort();
    }
    return tables;
}

}  // namespace zorvex::fuzz
