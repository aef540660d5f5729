#include "common/Numbers.h"

#include <cmath>
#include <limits>

namespace zorvex {

double roundHalfEven(double value) {
    double floorValue = std::floor(value);
    double fraction = value - floorValue;
    if (fraction > 0.5) return floorValue + 1.0;
    if (fraction < 0.5) return floorValue;
    return std::fmod(floorValue, 2.0) == 0.0 ? floorValue : floorValue + 1.0;
}

double wholePart(double value) { return std::floor(value); }

namespace {
template <typename Int>
Int roundChecked(double value, const char* typeName) {
    double rounded = roundHalfEven(value);
    if (!(rounded >= static_cast<double>(std::numeric_limits<Int>::min()) &&
          rounded <= static_cast<double>(std::numeric_limits<Int>::max()))) {
        throw OverflowError(std::string("Overflow: value does not fit ") + typeName);
    }
    return static_cast<Int>(rounded);
}
}  // namespace

std::int16_t toInt16(double value) { return roundChecked<std::int16_t>(value, "16 bits"); }

std::int32_t toInt32(double value) { return roundChecked<std::int32_t>(value, "32 bits"); }

std::int16_t checkedInt16(long long value) {
    if (value < std::numeric_limits<std::int16_t>::min() || value > std::numeric_limits<std::int16_t>::max()) {
        throw OverflowError("Overflow: value does not fit 16 bits");
    }
    return static_cast<std::int16_t>(value);
}

}  // namespace zorvex
