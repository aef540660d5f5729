#pragma once
// What the live view computes before it draws: the channel of a row, column
// and beam, the wells of the selected channel's group, the well and group
// bars, and the zoomed signal scale. Plain functions, so they are tested
// without windows.

#include <array>
#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

#include "analysis/SampleFrame.h"
#include "common/Channels.h"
#include "store/ChannelTables.h"
#include "store/PlateFormat.h"

namespace zorvex {

/// Highest zoom level of the signal plot.
constexpr int MaxZoom = 10;
/// The zoom a run starts at: zoom 0 plots raw 12-bit samples, which sit far
/// above the plot's top, so the trace would be a flat line without its dips;
/// at 4 a larva's crossing reaches half the plot's height and the noise shows.
constexpr int DefaultZoom = 4;
/// Well and group bars are drawn no taller than this.
constexpr std::int16_t BarCap = 9999;

/// Well of row letter `row` and column `column` (from 1): wells run column by column.
int wellOfRowColumn(const PlateFormat& plate, char row, int column);

/// `beam` limited to 0..MaxBeam.
int clampBeam(const PlateFormat& plate, int beam);

/// A channel chosen by row, column and beam.
struct Selection {
    int channel = 0;
    bool fellBack = false;  ///< the row and column lay outside the plate: well A1 was used
};

/// The channel of a row, column and beam; a well outside the plate falls back to A1.
Selection selectChannel(const PlateFormat& plate, char row, int column, int beam);

/// A well list entry ("B3.2") taken apart.
struct WellEntry {
    char row = 'A';
    int column = 1;
    int beam = 0;
};

/// The row letter, column and beam of a well list entry; nothing for text that is not one.
std::optional<WellEntry> parseWellEntry(std::string_view entry);

/// The wells whose beam-0 channel shares the group of `channel`, in well
/// order; none when the channel belongs to no group.
std::vector<int> memberWells(const PlateFormat& plate, const ChannelTable& channels, int channel);

/// The running totals of the beams of `well` averaged (halves to even) and
/// capped at 9999; beams the plate gives no channel are left out.
std::int16_t wellAverage(const PlateFormat& plate, const std::array<std::int16_t, ChannelCount>& totals, int well);

/// The same average over every beam of every well in `wells`.
std::int16_t groupAverage(const PlateFormat& plate, const std::array<std::int16_t, ChannelCount>& totals,
                          const std::vector<int>& wells);

/// Plot height of sample `value`: the value itself at zoom 0, otherwise
/// (value - base) x zoom + 1750, raised to 6 when below it.
double zoomY(int value, int zoom, int base);

/// Zoom base of a channel: its largest sample among slots 1..p-1 (0 when none).
std::int16_t zoomBase(const SampleFrame& frame, int channel, int p);

/// "+": one step up, at most 10.
int zoomIn(int zoom);
/// "-": one step down, at least 0.
int zoomOut(int zoom);

}  // namespace zorvex
