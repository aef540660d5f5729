#pragma once
// Biological replicate groups drawn on the plate: the lists the setup editor
// shows, moving wells between groups, tiling the plate into blocks, and the
// plate map's geometry and hit test. Everything works in place on the
// program-wide channel, group and plate records.

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "store/ChannelTables.h"
#include "store/PlateFormat.h"

namespace zorvex {

/// Channel c as its well name and beam index ("B1.1"); "" for a channel in no well.
std::string channelName(const PlateFormat& plate, int channel);

/// The channels of a well, beam by beam; map entries that no channel claims
/// (a well with fewer beams than the plate's most) are left out, so they
/// never stand for channel 0.
std::vector<int> channelsOfWell(const PlateFormat& plate, int well);

/// Group of a well as reports count it, that of its beam-0 channel; -1 when
/// the well has no beam-0 channel or it is in no group.
int groupOfWell(const ChannelTable& channels, const PlateFormat& plate, int well);

/// The group list items, group number in three digits + "_" + name, from 0 to
/// one past the highest group in use; a used group still named "Free" is
/// renamed "Group" + number first.
std::vector<std::string> groupListItems(const ChannelTable& channels, GroupTable& groups);

/// The group number of a group list item: the value of its first three characters.
int groupOfItem(std::string_view item);

/// Index of the item of `group` in `items`; 0 when there is none.
int groupItemIndex(const std::vector<std::string>& items, int group);

/// The enabled channels in a well whose group is `group`, in channel order;
/// none for a negative group.
std::vector<int> assignedChannels(const ChannelTable& channels, const PlateFormat& plate, int group);

/// The enabled channels in a well that belong to no group, in channel order.
std::vector<int> freeChannels(const ChannelTable& channels, const PlateFormat& plate);

/// The well a list item names ("B1.1" is well 1 on an 8-row plate); nothing
/// when the text names no well of the plate.
std::optional<int> wellOfItem(const PlateFormat& plate, std::string_view item);

/// Puts every channel of `well` into `group`; -1 takes them out of any group.
void setWellGroup(ChannelTable& channels, const PlateFormat& plate, int well, int group);

/// Takes every channel out of its group and names every group slot "Free".
void clearGroups(ChannelTable& channels, GroupTable& groups);

/// A block of wells, `rows` high and `columns` wide.
struct BlockPattern {
    int rows = 1;
    int columns = 1;
};

/// The block pattern items "RRxCC [RowsxColumn]" for blocks of up to 16 by 16
/// wells that divide the plate, by column count, then row count.
std::vector<std::string> blockPatternItems(const PlateFormat& plate);

/// The item selected after filling the pattern list: the third, or the first
/// when there are fewer than three.
int defaultPatternIndex(std::size_t itemCount);

/// The block of a pattern item (rows from characters 1-2, columns from 4-5);
/// nothing for a block of no wells.
std::optional<BlockPattern> parseBlockPattern(std::string_view item);

/// Tiles the plate: clears every group, then fills blocks downwards first and
/// then to the right, group 0 in the first block, and names each group that
/// receives channels "Group" + number.
void tilePlate(ChannelTable& channels, GroupTable& groups, const PlateFormat& plate, BlockPattern block);

/// The plate map's user coordinates: 100 units per grid cell.
struct MapGeometry {
    int columnPitch = 0;                              ///< ColumnPitch x 100, rounded
    int columnOffset = 0;                             ///< ColumnOffset x 100, rounded
    int rowPitch = 0;                                 ///< RowPitch x 100, rounded
    int rowOffset = 0;                                ///< RowOffset x 100, rounded
    double left = 0, top = 0, right = 0, bottom = 0;  ///< the picture's extent, y down
};

/// The map geometry of a plate.
MapGeometry mapGeometry(const PlateFormat& plate);

/// A well position on the map: plate column and row.
struct Cell {
    int column = 0;
    int row = 0;
    friend bool operator==(const Cell&, const Cell&) = default;
};

/// The cell under a map point, from the unrounded pitches and offsets;
/// negative coordinates count as 0.
Cell cellAt(const PlateFormat& plate, double x, double y);

/// Whether a cell is a well of the plate.
bool isOnPlate(const PlateFormat& plate, Cell cell);

/// Well number of a cell: Rows x column + row.
int wellOfCell(const PlateFormat& plate, Cell cell);

/// The wells of the rectangle spanned by two cells, both included, column by column.
std::vector<int> wellsBetween(const PlateFormat& plate, Cell from, Cell to);

/// What a mouse press or release on the map does to a well's enabled channels.
enum class MapAction {
    FillFree,  ///< left press: channels without a group join the selected group
    Assign,    ///< left release: every channel joins the selected group
    Free,      ///< right press or release: every channel leaves its group
};

/// Applies a map action to the enabled channels of a well.
void applyToWell(ChannelTable& channels, const PlateFormat& plate, int well, int group, MapAction action);

}  // namespace zorvex
