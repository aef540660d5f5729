#pragma once
// The light and temperature boxes of the main window, checked when the
// operator leaves them: a value in range is stored and the box reformatted;
// anything else shows "Invalid value: " and the range, and a fixed fallback
// is stored and shown.

#include <cstdint>
#include <string>
#include <string_view>

#include "platform/Dialogs.h"

namespace zorvex {

/// What a box stores and shows after the check.
struct CheckedBox {
    bool valid = false;
    std::int16_t stored = 0;  ///< the setting to keep (hours, count, tenths)
    std::string text;         ///< what the box shows now
};

/// `txt_lon` / `txt_loff`: an hour 0..23, shown "00"; otherwise the message
/// and `fallbackHour` (9 for the on hour, 21 for the off hour).
CheckedBox checkLightHour(std::string_view typed, std::int16_t fallbackHour, Dialogs& dialogs);

/// `txt_pulsetimes`: a count 0..99, shown "0"; otherwise the message and 0.
/// A count above 0 disables the hour boxes.
CheckedBox checkPulseCount(std::string_view typed, Dialogs& dialogs);

/// `txt_pulseon` / `txt_pulseoff`: minutes 0.0..1440.0 stored in tenths
/// (halves to even), shown "0.0"; otherwise the message and 0.
CheckedBox checkPulseMinutes(std::string_view typed, Dialogs& dialogs);

/// `txttemp`: degrees 5.0..50.0 stored as `Tempx10` (halves to even), shown
/// "0.0"; otherwise the message, 200 stored and "20" shown. The thermostat's
/// set temperature changes only with "SET" or a start.
CheckedBox checkSetTemperature(std::string_view typed, Dialogs& dialogs);

}  // namespace zorvex
