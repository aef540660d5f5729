#include "control/Validations.h"

#include <optional>

#include "common/Numbers.h"
#include "common/Text.h"

namespace zorvex {

namespace {

// The typed value when the box holds one number within `low`..`high`.
std::optional<double> numberWithin(std::string_view typed, double low, double high) {
    if (!isNumeric(typed)) return std::nullopt;
    const double value = val(typed);
    if (!(value >= low && value <= high)) return std::nullopt;
    return value;
}

CheckedBox rejected(Dialogs& dialogs, const char* range, std::int16_t stored, std::string shown) {
    dialogs.message(std::string("Invalid value: ") + range);
    return CheckedBox{false, stored, std::move(shown)};
}

}  // namespace

CheckedBox checkLightHour(std::string_view typed, std::int16_t fallbackHour, Dialogs& dialogs) {
    auto value = numberWithin(typed, 0, 23);
    if (!value) return rejected(dialogs, "0 to 23", fallbackHour, std::to_string(fallbackHour));
    const std::int16_t hour = toInt16(*value);
    return CheckedBox{true, hour, formatDigits(hour, 2)};
}

CheckedBox checkPulseCount(std::string_view typed, Dialogs& dialogs) {
    auto value = numberWithin(typed, 0, 99);
    if (!value) return rejected(dialogs, "0-99", 0, "0");
    const std::int16_t count = toInt16(*value);
    return CheckedBox{true, count, std::to_string(count)};
}

CheckedBox checkPulseMinutes(std::string_view typed, Dialogs& dialogs) {
    auto value = numberWithin(typed, 0, 1440);
    if (!value) return rejected(dialogs, "0.0 to 1440.0", 0, "0");
    return CheckedBox{true, toInt16(*value * 10), formatFixed(*value, 1)};
}

CheckedBox checkSetTemperature(std::string_view typed, Dialogs& dialogs) {
    auto value = numberWithin(typed, 5, 50);
    if (!value) return rejected(dialogs, "5.0 to 50.0", 200, "20");
    return CheckedBox{true, toInt16(*value * 10), formatFixed(*value, 1)};
}

}  // namespace zorvex
