#pragma once
// Colours of the views and figures: the colour-blind-safe group palette, the
// perceptual scale of values, and the shades of light and dark.

namespace zorvex {

/// A colour as red, green and blue 0..255.
struct Rgb {
    int red = 0;
    int green = 0;
    int blue = 0;
    friend bool operator==(const Rgb&, const Rgb&) = default;
};

/// Groups a figure can tell apart by the Okabe-Ito palette alone.
inline constexpr int OkabeItoColours = 8;

/// Colour of the `index`th of `count` groups: Okabe-Ito for up to eight
/// groups, else evenly spaced along the perceptual scale, neighbouring
/// indices from its two halves.
Rgb groupColour(int index, int count);

/// Colours of heat map outlines: none of them on the perceptual scale, so an
/// outline never reads as a well's value.
inline constexpr int OutlineColours = 8;

/// Colour of the `index`th outline; after OutlineColours they come round again.
Rgb outlineColour(int index);

/// The perceptual (viridis) scale at `fraction` 0..1, dark purple to yellow;
/// clamped outside.
Rgb scaleColour(double fraction);

/// Grey shading of the hours in the dark.
inline constexpr Rgb DarkShade{217, 217, 217};
/// Pale yellow shading of the hours in the light, where light and dark both show.
inline constexpr Rgb LightShade{255, 236, 150};
/// Fill of a well whose channels are all disabled.
inline constexpr Rgb DisabledWell{200, 200, 200};
/// Lines, text and outlines.
inline constexpr Rgb Ink{0, 0, 0};
/// Tick marks and frames drawn quieter than the data.
inline constexpr Rgb QuietInk{90, 90, 90};

}  // namespace zorvex
