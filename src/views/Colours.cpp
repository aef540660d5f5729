#include "views/Colours.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace zorvex {

namespace {

// Okabe and Ito's eight colours, ordered so that the first few differ most on
// white and the pale yellow comes late.
constexpr std::array<Rgb, OkabeItoColours> OkabeIto = {
    Rgb{0, 114, 178},   // blue
    Rgb{213, 94, 0},    // vermillion
    Rgb{0, 158, 115},   // bluish green
    Rgb{204, 121, 167}, // reddish purple
    Rgb{230, 159, 0},   // orange
    Rgb{86, 180, 233},  // sky blue
    Rgb{0, 0, 0},       // black
    Rgb{240, 228, 66},  // yellow
};

// Viridis at 0, 0.1, ..., 1; between them the scale is linear in sRGB, which
// stays within a small step of the published map.
constexpr std::array<Rgb, 11> Viridis = {
    Rgb{68, 1, 84},    Rgb{72, 36, 117},  Rgb{65, 68, 135},  Rgb{53, 95, 141},
    Rgb{42, 120, 142}, Rgb{33, 145, 140}, Rgb{34, 168, 132}, Rgb{68, 191, 112},
    Rgb{122, 209, 81}, Rgb{189, 223, 38}, Rgb{253, 231, 37},
};

// Black, the warm Okabe-Ito colours, and browns, greys and reds: none near the
// purples, blues, greens and yellows of the scale.
constexpr std::array<Rgb, OutlineColours> Outlines = {
    Rgb{0, 0, 0},       // black
    Rgb{213, 94, 0},    // vermillion
    Rgb{204, 121, 167}, // reddish purple
    Rgb{230, 159, 0},   // orange
    Rgb{150, 150, 150}, // grey
    Rgb{140, 81, 10},   // brown
    Rgb{255, 160, 200}, // pink
    Rgb{180, 0, 30},    // crimson
};

// The part of the scale used for groups: its palest end is hard to see as a line.
constexpr double GroupScaleEnd = 0.9;

int mix(int from, int to, double fraction) {
    return static_cast<int>(std::lround(from + (to - from) * fraction));
}

}  // namespace

Rgb groupColour(int index, int count) {
    if (count <= OkabeItoColours) return OkabeIto[static_cast<std::size_t>(std::clamp(index, 0, OkabeItoColours - 1))];
    // Neighbours (the doses of a series) from the two halves of the scale in
    // turn, so that no two next to each other look alike.
    const int clamped = std::clamp(index, 0, count - 1);
    const int half = (count + 1) / 2;
    const int position = clamped % 2 == 0 ? clamped / 2 : half + clamped / 2;
    return scaleColour(GroupScaleEnd * position / (count - 1));
}

Rgb outlineColour(int index) {
    const int wrapped = ((index % OutlineColours) + OutlineColours) % OutlineColours;
    return Outlines[static_cast<std::size_t>(wrapped)];
}

Rgb scaleColour(double fraction) {
    if (!(fraction > 0.0)) return Viridis.front();
    if (fraction >= 1.0) return Viridis.back();
    const double position = fraction * (Viridis.size() - 1);
    const auto below = static_cast<std::size_t>(position);
    const double part = position - static_cast<double>(below);
    const Rgb& a = Viridis[below];
    const Rgb& b = Viridis[below + 1];
    return {mix(a.red, b.red, part), mix(a.green, b.green, part), mix(a.blue, b.blue, part)};
}

}  // namespace zorvex
