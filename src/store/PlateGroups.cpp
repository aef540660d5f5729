#include "store/PlateGroups.h"

#include <algorithm>
#include <cmath>
#include <optional>

#include "common/Numbers.h"
#include "common/Text.h"

namespace zorvex {

namespace {

constexpr int MapUnitsPerCell = 100;
constexpr double MapRight = 2400.0;
constexpr double MapBottom = 1600.0;
constexpr double MapMargin = 50.0;
constexpr int MaxBlockSide = 16;

bool isListed(const ChannelTable& channels, const PlateFormat& plate, int channel) {
    return channels.Enabled[channel] && plate.WellOfChannel[channel] >= 0;
}

// Group numbers outside the table (a hand-edited chgroup.dat) have no name
// slot and take no part in the group list.
bool isNamedGroup(int group) { return group >= 0 && group < ChannelCount; }

int wellCount(const PlateFormat& plate) { return std::max(0, plate.Rows * plate.Columns); }

std::string groupName(int group) { return "Group" + std::to_string(group); }

// A hand-edited plate file may give any pitch or offset: map units stay
// within a bound (far off the map) where the drawing's int sums cannot overflow.
constexpr double MapUnitsBound = 1.0e6;

int roundedUnits(double gridUnits) {
    const double units = roundHalfEven(gridUnits * MapUnitsPerCell);
    if (std::isnan(units)) return 0;
    return static_cast<int>(std::clamp(units, -MapUnitsBound, MapUnitsBound));
}

// Cell index along one axis; the pointer may be anywhere, so the quotient is
// bounded before it becomes an int.
int cellIndex(double position, double offset, double pitch) {
    if (!(pitch > 0.0)) return 0;
    double index = std::floor((position - offset * MapUnitsPerCell) / (pitch * MapUnitsPerCell));
    if (!(index > 0.0)) return 0;
    return static_cast<int>(std::min(index, static_cast<double>(ChannelCount)));
}

// The well a block starts from: the first from `from` on, column by column,
// that still has an enabled channel without a group; nothing when every well
// is taken. Tiling only takes channels, so no well before the last start opens again.
std::optional<int> firstOpenWell(const ChannelTable& channels, const PlateFormat& plate, int from) {
    for (int well = from; well < wellCount(plate); ++well) {
        for (int channel : channelsOfWell(plate, well)) {
            if (channels.Enabled[channel] && channels.Group[channel] == -1) return well;
        }
    }
    return std::nullopt;
}

// The channel of a well's beam, where the map and the channel's own entry agree.
std::optional<int> mappedChannel(const PlateFormat& plate, int well, int beam) {
    const int channel = plate.channelAt(well, beam);
    if (channel < 0 || channel >= ChannelCount || plate.WellOfChannel[channel] != well ||
        plate.BeamOfChannel[channel] != beam) {
        return std::nullopt;
    }
    return channel;
}

}  // namespace

std::string channelName(const PlateFormat& plate, int channel) {
    if (channel < 0 || channel >= ChannelCount || plate.WellOfChannel[channel] < 0) return "";
    return wellName(plate, plate.WellOfChannel[channel]) + "." + std::to_string(plate.BeamOfChannel[channel]);
}

std::vector<int> channelsOfWell(const PlateFormat& plate, int well) {
    std::vector<int> found;
    if (well < 0 || well > plate.MaxWell) return found;
    found.reserve(static_cast<std::size_t>(plate.MaxBeam) + 1);
    for (int beam = 0; beam <= plate.MaxBeam; ++beam) {
        if (auto channel = mappedChannel(plate, well, beam)) found.push_back(*channel);
    }
    return found;
}

int groupOfWell(const ChannelTable& channels, const PlateFormat& plate, int well) {
    // A well whose beam 0 is not mapped has no group of its own.
    const auto first = well >= 0 && well <= plate.MaxWell ? mappedChannel(plate, well, 0) : std::nullopt;
    return first ? channels.Group[*first] : -1;
}

std::vector<std::string> groupListItems(const ChannelTable& channels, GroupTable& groups) {
    std::vector<bool> inUse(ChannelCount, false);
    int highest = -1;
    for (int c = 0; c < ChannelCount; ++c) {
        int group = channels.Group[c];
        if (!isNamedGroup(group)) continue;
        inUse[group] = true;
        highest = std::max(highest, group);
    }
    std::vector<std::string> items;
    for (int g = 0; g <= highest + 1; ++g) {
        if (g < ChannelCount && inUse[g] && groups.Name[g] == FreeGroupName) groups.Name[g] = groupName(g);
        items.push_back(formatDigits(g, 3) + "_" + groups.Name[g]);
    }
    return items;
}

int groupOfItem(std::string_view item) {
    return static_cast<int>(roundHalfEven(val(item.substr(0, std::min<std::size_t>(3, item.size())))));
}

int groupItemIndex(const std::vector<std::string>& items, int group) {
    for (std::size_t i = 0; i < items.size(); ++i) {
        if (groupOfItem(items[i]) == group) return static_cast<int>(i);
    }
    return 0;
}

std::vector<int> assignedChannels(const ChannelTable& channels, const PlateFormat& plate, int group) {
    std::vector<int> listed;
    if (group < 0) return listed;
    for (int c = 0; c < ChannelCount; ++c) {
        if (channels.Group[c] == group && isListed(channels, plate, c)) listed.push_back(c);
    }
    return listed;
}

std::vector<int> freeChannels(const ChannelTable& channels, const PlateFormat& plate) {
    std::vector<int> listed;
    for (int c = 0; c < ChannelCount; ++c) {
        if (channels.Group[c] == -1 && isListed(channels, plate, c)) listed.push_back(c);
    }
    return listed;
}

std::optional<int> wellOfItem(const PlateFormat& plate, std::string_view item) {
    if (item.empty()) return std::nullopt;
    int row = item[0] - 'A';
    std::size_t dot = item.find('.');
    std::string_view columnText = item.substr(1, dot == std::string_view::npos ? dot : dot - 1);
    double column = roundHalfEven(val(columnText)) - 1;
    if (row < 0 || row >= plate.Rows || column < 0 || column >= plate.Columns) return std::nullopt;
    return plate.Rows * static_cast<int>(column) + row;
}

void setWellGroup(ChannelTable& channels, const PlateFormat& plate, int well, int group) {
    for (int channel : channelsOfWell(plate, well)) channels.Group[channel] = static_cast<std::int16_t>(group);
}

void clearGroups(ChannelTable& channels, GroupTable& groups) {
    for (int c = 0; c < ChannelCount; ++c) channels.Group[c] = -1;
    // Slot 384 too: with every well its own group it is the list's next item.
    groups.Name.fill(FreeGroupName);
}

std::vector<std::string> blockPatternItems(const PlateFormat& plate) {
    std::vector<std::string> items;
    for (int columns = 1; columns <= MaxBlockSide; ++columns) {
        if (plate.Columns < 1 || plate.Columns % columns != 0) continue;
        for (int rows = 1; rows <= MaxBlockSide; ++rows) {
            if (plate.Rows < 1 || plate.Rows % rows != 0) continue;
            items.push_back(formatDigits(rows, 2) + "x" + formatDigits(columns, 2) + " [RowsxColumn]");
        }
    }
    return items;
}

int defaultPatternIndex(std::size_t itemCount) { return itemCount > 2 ? 2 : 0; }

std::optional<BlockPattern> parseBlockPattern(std::string_view item) {
    if (item.size() < 5) return std::nullopt;
    double rows = roundHalfEven(val(item.substr(0, 2)));
    double columns = roundHalfEven(val(item.substr(3, 2)));
    if (rows < 1 || columns < 1 || rows > MaxBlockSide || columns > MaxBlockSide) return std::nullopt;
    return BlockPattern{static_cast<int>(rows), static_cast<int>(columns)};
}

void tilePlate(ChannelTable& channels, GroupTable& groups, const PlateFormat& plate, BlockPattern block) {
    clearGroups(channels, groups);
    if (block.rows < 1 || block.columns < 1 || plate.Rows < 1) return;
    const int lastGroup = plate.MaxWell / (block.rows * block.columns);
    int start = 0;
    for (int g = 0; g <= lastGroup && g < ChannelCount; ++g) {
        const std::optional<int> open = firstOpenWell(channels, plate, start);
        if (!open) return;  // a block on taken wells assigns nothing
        start = *open;
        for (int i = 0; i < block.rows; ++i) {
            for (int j = 0; j < block.columns; ++j) {
                int well = start + i + j * plate.Rows;
                if (well >= wellCount(plate)) continue;
                for (int channel : channelsOfWell(plate, well)) {
                    if (!channels.Enabled[channel] || channels.Group[channel] != -1) continue;
                    channels.Group[channel] = static_cast<std::int16_t>(g);
                    groups.Name[g] = groupName(g);
                }
            }
        }
    }
}

MapGeometry mapGeometry(const PlateFormat& plate) {
    MapGeometry map;
    map.columnPitch = roundedUnits(plate.ColumnPitch);
    map.columnOffset = roundedUnits(plate.ColumnOffset);
    map.rowPitch = roundedUnits(plate.RowPitch);
    map.rowOffset = roundedUnits(plate.RowOffset);
    map.left = plate.ColumnOffset * MapUnitsPerCell - MapMargin;
    map.top = plate.RowOffset * MapUnitsPerCell - MapMargin;
    map.right = MapRight;
    map.bottom = MapBottom;
    return map;
}

Cell cellAt(const PlateFormat& plate, double x, double y) {
    return {cellIndex(x, plate.ColumnOffset, plate.ColumnPitch), cellIndex(y, plate.RowOffset, plate.RowPitch)};
}

bool isOnPlate(const PlateFormat& plate, Cell cell) {
    return cell.column >= 0 && cell.row >= 0 && cell.column < plate.Columns && cell.row < plate.Rows;
}

int wellOfCell(const PlateFormat& plate, Cell cell) { return plate.Rows * cell.column + cell.row; }

std::vector<int> wellsBetween(const PlateFormat& plate, Cell from, Cell to) {
    std::vector<int> wells;
    for (int column = std::min(from.column, to.column); column <= std::max(from.column, to.column); ++column) {
        for (int row = std::min(from.row, to.row); row <= std::max(from.row, to.row); ++row) {
            if (isOnPlate(plate, {column, row})) wells.push_back(wellOfCell(plate, {column, row}));
        }
    }
    return wells;
}

void applyToWell(ChannelTable& channels, const PlateFormat& plate, int well, int group, MapAction action) {
    for (int channel : channelsOfWell(plate, well)) {
        if (!channels.Enabled[channel]) continue;
        std::int16_t& current = channels.Group[channel];
        switch (action) {
            case MapAction::FillFree:
                if (current == -1) current = static_cast<std::int16_t>(group);
                break;
            case MapAction::Assign: current = static_cast<std::int16_t>(group); break;
            case MapAction::Free: current = -1; break;
        }
    }
}

}  // namespace zorvex
