#pragma once
// Integer semantics of the instrument program: conversions round to the
// nearest integer with halves to even, "whole part" means floor, and 16-bit
// fields overflow loudly instead of wrapping.

#include <cstdint>
#include <stdexcept>
#include <string>

namespace zorvex {

/// Raised where a value does not fit the integer type a stored field or a
/// computation is defined with; handlers turn it into their message.
class OverflowError : public std::runtime_error {
public:
    explicit OverflowError(const std::string& what) : std::runtime_error(what) {}
};

/// Nearest integral value, halves to the even neighbour (2.5 -> 2, 3.5 -> 4).
double roundHalfEven(double value);

/// Largest integral value not above `value` (-2.5 -> -3).
double wholePart(double value);

/// Rounds half to even into a signed 16-bit integer; throws OverflowError
/// outside -32768..32767 (and for NaN).
std::int16_t toInt16(double value);

/// Rounds half to even into a signed 32-bit integer; throws OverflowError.
std::int32_t toInt32(double value);

/// Narrows an exact integer to 16 bits; throws OverflowError when it does not fit.
std::int16_t checkedInt16(long long value);

}  // namespace zorvex
