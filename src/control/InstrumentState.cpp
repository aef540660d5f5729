#include "control/InstrumentState.h"

namespace zorvex {

int outputStateCode(const InstrumentState& state) {
    return 4 * static_cast<int>(state.light) + 2 * static_cast<int>(state.heat) + static_cast<int>(state.active);
}

OutputIndicators indicatorsOf(const InstrumentState& state) {
    OutputIndicators shown;
    shown.lightCaption = state.light ? "ON" : "OFF";
    shown.lightColour = state.light ? ColourGreen : ColourRed;
    shown.modeCaption = state.heat ? "CALOR" : "FRIO";
    shown.elementCaption = state.active ? "ON" : "OFF";
    if (!state.active) shown.elementColour = ColourWhite;
    else shown.elementColour = state.heat ? ColourRed : ColourBlue;
    return shown;
}

}  // namespace zorvex
