#!/usr/bin/env python3
"""Generates the plate format files z384.dat, z96f.dat, z96u.dat, z24.dat,
z48.dat, z6.dat and z96flat.dat.

    python3 make_plates.py            # (re)write the files beside this script
    python3 make_plates.py DIR        # write them into DIR
    python3 make_plates.py --check    # exit 1 when a file here is out of date

The instrument's 384 channels form a grid of 16 rows by 24 columns: channel c
sits in grid column c // 16 and grid row c % 16, and its beam crosses the
middle of that cell, (column + 0.5, row + 0.5). A plate is given by its rows
and columns of wells, their pitch and offset in grid units; well (row r,
column k) is number k * rows + r and covers grid rows r * row_pitch +
row_offset onward and grid columns k * column_pitch + column_offset onward.

The beams of a well are the channels whose beam centres lie strictly within a
circle of the plate's radius around the centre of the well's cell, numbered
0, 1, ... in channel order; all other channels are in no well (well -1,
beam 0). The radius of each plate is chosen so that the beams per well match
the plate's description (z24: 4, z48: 1 to 3, z6: 30 to 32, z96flat: 4), and
for z384, z96u and z96f so that the maps equal the program's built-in formats.

z48 and z96flat have no fixed geometry elsewhere; chosen here:
  z48     6 x 8 wells, row pitch 2.6 from grid row 0.2, column pitch 2.9 from
          grid column 0.4 (the 48-well plate's 13 mm pitch over the 4.5 mm grid
          along the columns, centred; the rows closed up to fit 16 grid rows),
          radius 0.86: 4 wells of 1 beam, 32 of 2, 12 of 3.
  z96flat 8 x 12 wells of 2 x 2 grid cells from the grid origin, radius 0.8:
          4 beams per well, every channel in a well.

File layout (record text convention: quoted texts, comma-separated values,
CR LF line ends):
  line 1  title (quoted)
  line 2  header (quoted)
  line 3  rows, row pitch, row offset, columns, column pitch, column offset
  line 4  header (quoted)
  then    one line per channel 0..383: channel, well, beam
"""

import math
import pathlib
import sys

GRID_ROWS = 16
CHANNELS = 384

# name: (title, rows, row pitch, row offset, columns, column pitch, column offset, radius, beams per well)
PLATES = {
    "z384": ("384 Well microplate [1microbeams/well]", 16, 1.0, 0.0, 24, 1.0, 0.0, 0.4, (1, 1)),
    "z96f": ("96 Wells flat bottom [2microbeams/well]", 8, 2.0, -0.5, 12, 2.0, 0.0, 0.6, (2, 2)),
    "z96u": ("96 Wells U shape bottom [1microbeam/well]", 8, 2.0, -0.5, 12, 2.0, -0.5, 0.4, (1, 1)),
    "z48": ("48 Wells flat bottom [1-3microbeams/well]", 6, 2.6, 0.2, 8, 2.9, 0.4, 0.86, (1, 3)),
    "z24": ("24 Wells flat bottom [4microbeams/well]", 4, 4.0, 0.0, 6, 4.0, 0.0, 1.0, (4, 4)),
    "z6": ("6 Wells flat bottom [30-32microbeams/well]", 2, 8.0, 0.0, 3, 8.0, 0.0, 3.2, (30, 32)),
    "z96flat": ("96 Wells flat bottom [4microbeams/well]", 8, 2.0, 0.0, 12, 2.0, 0.0, 0.8, (4, 4)),
}

# A beam centre this close to a circle would make the map depend on rounding.
MARGIN = 1e-6


def number(value):
    """Shortest decimal form, 3 for 3.0, as the record convention writes numbers."""
    return str(int(value)) if float(value).is_integer() else repr(float(value))


def channel_map(rows, row_pitch, row_offset, columns, column_pitch, column_offset, radius):
    """(well, beam) of every channel; (-1, 0) for channels in no well."""
    mapping = [(-1, 0)] * CHANNELS
    for k in range(columns):
        for r in range(rows):
            centre_x = (k + 0.5) * column_pitch + column_offset
            centre_y = (r + 0.5) * row_pitch + row_offset
            beam = 0
            for c in range(CHANNELS):
                distance = math.hypot(c // GRID_ROWS + 0.5 - centre_x, c % GRID_ROWS + 0.5 - centre_y)
                if abs(distance - radius) < MARGIN:
                    raise ValueError(f"channel {c} lies on the circle of well {k * rows + r}")
                if distance < radius:
                    if mapping[c][0] != -1:
                        raise ValueError(f"channel {c} lies in two wells")
                    mapping[c] = (k * rows + r, beam)
                    beam += 1
    return mapping


def plate_file(name):
    title, rows, row_pitch, row_offset, columns, column_pitch, column_offset, radius, (fewest, most) = PLATES[name]
    mapping = channel_map(rows, row_pitch, row_offset, columns, column_pitch, column_offset, radius)
    for well in range(rows * columns):
        beams = sum(1 for w, _ in mapping if w == well)
        if not fewest <= beams <= most:
            raise ValueError(f"{name}: well {well} has {beams} beams")
    lines = [
        f'"{name}: {title}"',
        '"<Rows>,<RowPitch>,<RowOffset>,<Columns>,<ColumnPitch>,<ColumnOffset>"',
        ",".join(number(v) for v in (rows, row_pitch, row_offset, columns, column_pitch, column_offset)),
        '"<Channel>,<Well>,<Beam>"',
    ]
    lines += [f"{c},{well},{beam}" for c, (well, beam) in enumerate(mapping)]
    return ("\r\n".join(lines) + "\r\n").encode("cp1252")


def main(arguments):
    here = pathlib.Path(__file__).resolve().parent
    check = "--check" in arguments
    folders = [a for a in arguments if a != "--check"]
    folder = pathlib.Path(folders[0]) if folders else here
    stale = []
    for name in PLATES:
        path = folder / f"{name}.dat"
        content = plate_file(name)
        if check:
            if not path.exists() or path.read_bytes() != content:
                stale.append(path.name)
        else:
            path.write_bytes(content)
    if stale:
        print("out of date: " + ", ".join(stale), file=sys.stderr)
        return 1
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
