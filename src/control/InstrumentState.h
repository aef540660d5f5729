#pragma once
// The instrument's three outputs, always sent together as one state code:
// the light, the heating/cooling mode and whether the temperature element
// works. What the indicators show follows from the state alone.

#include <cstdint>
#include <string>

namespace zorvex {

/// Light on, heating (true) or cooling (false) mode, element actively working.
struct InstrumentState {
    bool light = false;
    bool heat = false;
    bool active = false;

    friend bool operator==(const InstrumentState&, const InstrumentState&) = default;
};

/// The set-outputs argument: 4 x light + 2 x heat + active.
int outputStateCode(const InstrumentState& state);

/// Colours as 0xRRGGBB.
constexpr std::uint32_t ColourGreen = 0x00FF00;
constexpr std::uint32_t ColourRed = 0xFF0000;
constexpr std::uint32_t ColourBlue = 0x0000FF;
constexpr std::uint32_t ColourWhite = 0xFFFFFF;

/// Captions and fill colours of the light and temperature indicators.
struct OutputIndicators {
    std::string lightCaption;        ///< cmd_luz: "ON" / "OFF"
    std::uint32_t lightColour = 0;   ///< shape_light: green on, red off
    std::string modeCaption;         ///< cmd_frio: "CALOR" heating / "FRIO" cooling
    std::string elementCaption;      ///< cmd_ontemp: "ON" / "OFF"
    std::uint32_t elementColour = 0; ///< shape_temp: red heating, blue cooling, white idle
};

/// What the indicators show for `state`.
OutputIndicators indicatorsOf(const InstrumentState& state);

}  // namespace zorvex
