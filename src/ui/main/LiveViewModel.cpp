#include "ui/main/LiveViewModel.h"

#include <algorithm>
#include <cctype>

#include "common/Numbers.h"
#include "common/Text.h"
#include "store/PlateGroups.h"

namespace zorvex {

namespace {

constexpr double ZoomTop = 1750;  // where the recent maximum sits when zoomed
constexpr double ZoomFloor = 6;

// Sum and number of the running totals of the beams of `wells`.
std::int16_t averageOver(const PlateFormat& plate, const std::array<std::int16_t, ChannelCount>& totals,
                         const std::vector<int>& wells) {
    long long sum = 0;
    long long beams = 0;
    for (int well : wells) {
        for (int channel : channelsOfWell(plate, well)) {
            if (channel < 0 || channel >= ChannelCount) continue;
            sum += totals[static_cast<std::size_t>(channel)];
            ++beams;
        }
    }
    if (beams == 0) return 0;
    const double average = roundHalfEven(static_cast<double>(sum) / static_cast<double>(beams));
    return static_cast<std::int16_t>(std::min<double>(average, BarCap));
}

}  // namespace

int wellOfRowColumn(const PlateFormat& plate, char row, int column) {
    return (column - 1) * plate.Rows + (row - 'A');
}

int clampBeam(const PlateFormat& plate, int beam) { return std::clamp(beam, 0, static_cast<int>(plate.MaxBeam)); }

Selection selectChannel(const PlateFormat& plate, char row, int column, int beam) {
    Selection selection;
    int well = wellOfRowColumn(plate, row, column);
    if (well < 0 || well >= plate.Columns * plate.Rows) {
        well = 0;
        selection.fellBack = true;
    }
    selection.channel = plate.channelAt(well, clampBeam(plate, beam));
    return selection;
}

std::optional<WellEntry> parseWellEntry(std::string_view entry) {
    entry = trimBlanks(entry);
    const auto dot = entry.find('.');
    if (entry.size() < 4 || dot == std::string_view::npos || dot < 2) return std::nullopt;
    const char row = static_cast<char>(std::toupper(static_cast<unsigned char>(entry[0])));
    const std::string_view column = entry.substr(1, dot - 1);
    const std::string_view beam = entry.substr(dot + 1);
    auto digits = [](std::string_view text) {
        return !text.empty() && text.size() <= 3 &&
               std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
    };
    if (row < 'A' || row > 'Z' || !digits(column) || !digits(beam)) return std::nullopt;
    return WellEntry{row, static_cast<int>(val(column)), static_cast<int>(val(beam))};
}

std::vector<int> memberWells(const PlateFormat& plate, const ChannelTable& channels, int channel) {
    std::vector<int> wells;
    if (channel < 0 || channel >= ChannelCount) return wells;
    const std::int16_t group = channels.Group[static_cast<std::size_t>(channel)];
    if (group < 0) return wells;
    for (int well = 0; well <= plate.MaxWell; ++well) {
        // A well whose beam 0 no channel claims would otherwise stand for channel 0.
        const std::vector<int> beams = channelsOfWell(plate, well);
        if (!beams.empty() && channels.Group[static_cast<std::size_t>(beams.front())] == group) wells.push_back(well);
    }
    return wells;
}

std::int16_t wellAverage(const PlateFormat& plate, const std::array<std::int16_t, ChannelCount>& totals, int well) {
    return averageOver(plate, totals, {well});
}

std::int16_t groupAverage(const PlateFormat& plate, const std::array<std::int16_t, ChannelCount>& totals,
                          const std::vector<int>& wells) {
    return averageOver(plate, totals, wells);
}

double zoomY(int value, int zoom, int base) {
    if (zoom <= 0) return value;
    return std::max(static_cast<double>(value - base) * zoom + ZoomTop, ZoomFloor);
}

std::int16_t zoomBase(const SampleFrame& frame, int channel, int p) {
    std::int16_t base = 0;
    const int last = std::min(p - 1, frame.rtBuffer());
    for (int slot = 1; slot <= last; ++slot) base = std::max(base, frame.at(channel, slot));
    return base;
}

int zoomIn(int zoom) { return std::min(zoom + 1, MaxZoom); }

int zoomOut(int zoom) { return std::max(zoom - 1, 0); }

}  // namespace zorvex
