#pragma once
// Text conversions with the program's fixed semantics: leading-number parsing
// as operators' typed values are read, the fixed number formats of files and
// captions, and the 8-bit code page of every text file.

#include <string>
#include <string_view>
#include <vector>

namespace zorvex {

/// The leading number of a typed text, 0 when there is none: blanks are
/// ignored, then an optional sign, digits, a period and an exponent (E or D);
/// "&H" and "&O" prefixes read hexadecimal and octal. "12abc" -> 12, "abc" -> 0.
double val(std::string_view text);

/// Fixed-point text with `decimals` places; the exact binary value is rounded
/// half to even ("0.0" format: 2.25 -> "2.2", 0.35 -> "0.3" since 0.35 is
/// slightly below). Negative zero prints without a sign.
std::string formatFixed(double value, int decimals);

/// Integer with leading zeros to at least `width` digits ("00000": 12 -> "00012").
std::string formatDigits(long long value, int width);

/// Shortest decimal form that reads back to the same double, period as
/// separator, no exponent for ordinary magnitudes (3.0 -> "3", 2.125 -> "2.125",
/// 0.5 -> "0.5").
std::string formatShortest(double value);

/// Windows code page 1252 bytes to UTF-8.
std::string cp1252ToUtf8(std::string_view bytes);

/// UTF-8 to code page 1252; characters outside it, and malformed UTF-8, become '?'.
std::string utf8ToCp1252(std::string_view text);

/// True when `text` is well-formed UTF-8 (no overlong forms, surrogates or
/// code points past U+10FFFF).
bool isValidUtf8(std::string_view text);

/// Removes leading and trailing spaces and tabs.
std::string_view trimBlanks(std::string_view text);

/// True when the whole text, blanks around it aside, is one number as an
/// operator types it: sign, digits with at most one period, an optional
/// exponent (E or D), or "&H"/"&O" digits. "12abc" and "" are not numbers.
bool isNumeric(std::string_view text);

/// Ascending whole numbers as runs, for people: {2, 3, 4, 7} -> "2-4, 7";
/// after `shownRuns` runs the rest is "...".
std::string numberRuns(const std::vector<int>& ascending, std::size_t shownRuns = 10);

/// A CSV field (RFC 4180): in double quotes with inner quotes doubled when it
/// holds a comma, a quote or a line break; as it is otherwise.
std::string csvField(std::string_view text);

}  // namespace zorvex
