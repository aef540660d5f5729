#include "common/Text.h"

#include <array>
#include <cctype>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdint>

namespace zorvex {

namespace {

bool isBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

double valRadix(std::string_view digits, int radix) {
    double result = 0;
    for (char c : digits) {
        int digit;
        if (c >= '0' && c <= '9') digit = c - '0';
        else if (c >= 'a' && c <= 'f') digit = c - 'a' + 10;
        else if (c >= 'A' && c <= 'F') digit = c - 'A' + 10;
        else if (isBlank(c)) continue;
        else break;
        if (digit >= radix) break;
        result = result * radix + digit;
    }
    return result;
}

}  // namespace

double val(std::string_view text) {
    // Blanks are not separators here: "1 2" reads as 12, as typed values always have.
    std::string compact;
    std::size_t i = 0;
    while (i < text.size() && isBlank(text[i])) ++i;
    if (i + 1 < text.size() && text[i] == '&') {
        char kind = text[i + 1];
        if (kind == 'h' || kind == 'H') return valRadix(text.substr(i + 2), 16);
        if (kind == 'o' || kind == 'O') return valRadix(text.substr(i + 2), 8);
    }
    bool digitSeen = false, pointSeen = false, exponentSeen = false;
    for (; i < text.size(); ++i) {
        char c = text[i];
        if (isBlank(c)) continue;
        bool signPlace = compact.empty() || (exponentSeen && (compact.back() == 'e'));
        if ((c == '+' || c == '-') && signPlace) {
            compact += c;
        } else if (c >= '0' && c <= '9') {
            compact += c;
            digitSeen = true;
        } else if (c == '.' && !pointSeen && !exponentSeen) {
            compact += c;
            pointSeen = true;
        } else if ((c == 'e' || c == 'E' || c == 'd' || c == 'D') && digitSeen && !exponentSeen) {
            compact += 'e';
            exponentSeen = true;
        } else {
            break;
        }
    }
    // Drop a dangling exponent or sign so the parse sees a complete number.
    while (!compact.empty() && (compact.back() == 'e' || compact.back() == '+' || compact.back() == '-')) {
        compact.pop_back();
    }
    if (!digitSeen) return 0.0;
    double result = 0.0;
    const char* first = compact.data();
    if (*first == '+') ++first;
    auto [ptr, ec] = std::from_chars(first, compact.data() + compact.size(), result);
    if (ec == std::errc::result_out_of_range) return compact[0] == '-' ? -HUGE_VAL : HUGE_VAL;
    (void)ptr;
    return result;
}

std::string formatFixed(double value, int decimals) {
    if (value == 0.0) value = 0.0;  // drops the sign of negative zero
    char buffer[400];
    // glibc prints the exact binary value and rounds true ties to even.
    int length = std::snprintf(buffer, sizeof buffer, "%.*f", decimals, value);
    std::string text(buffer, length > 0 ? static_cast<std::size_t>(length) : 0);
    if (text.size() > 1 && text[0] == '-' && text.find_first_not_of("-0.") == std::string::npos) {
        text.erase(0, 1);  // "-0.0" after rounding a tiny negative
    }
    return text;
}

std::string formatDigits(long long value, int width) {
    char buffer[32];
    int length = std::snprintf(buffer, sizeof buffer, "%0*lld", width, value);
    return std::string(buffer, length > 0 ? static_cast<std::size_t>(length) : 0);
}

std::string formatShortest(double value) {
    if (value == 0.0) return "0";
    std::array<char, 400> buffer{};
    auto result = std::to_chars(buffer.data(), buffer.data() + buffer.size(), value, std::chars_format::fixed);
    return std::string(buffer.data(), result.ptr);
}

namespace {
// Code points of bytes 0x80..0x9F; the five unassigned bytes keep their C1 value.
constexpr std::array<char16_t, 32> HighControlMap = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

void appendUtf8(std::string& out, char32_t code) {
    if (code < 0x80) {
        out += static_cast<char>(code);
    } else if (code < 0x800) {
        out += static_cast<char>(0xC0 | (code >> 6));
        out += static_cast<char>(0x80 | (code & 0x3F));
    } else {
        out += static_cast<char>(0xE0 | (code >> 12));
        out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (code & 0x3F));
    }
}

char codePointToCp1252(char32_t code) {
    if (code < 0x80 || (code >= 0xA0 && code <= 0xFF)) return static_cast<char>(code);
    for (std::size_t i = 0; i < HighControlMap.size(); ++i) {
        if (HighControlMap[i] == code) return static_cast<char>(0x80 + i);
    }
    return '?';
}

// The code point starting at text[i] and its length in bytes; 0 for a
// malformed sequence (cut short, overlong, a surrogate, past U+10FFFF).
std::size_t decodeUtf8(std::string_view text, std::size_t i, char32_t& code) {
    constexpr std::array<char32_t, 5> SmallestOfLength = {0, 0, 0x80, 0x800, 0x10000};
    auto lead = static_cast<unsigned char>(text[i]);
    std::size_t length = lead < 0x80 ? 1 : (lead >> 5) == 0x6 ? 2 : (lead >> 4) == 0xE ? 3 : (lead >> 3) == 0x1E ? 4 : 0;
    if (length == 0 || i + length > text.size()) return 0;
    code = length == 1 ? lead : lead & (0x7F >> length);
    for (std::size_t k = 1; k < length; ++k) {
        auto next = static_cast<unsigned char>(text[i + k]);
        if ((next & 0xC0) != 0x80) return 0;
        code = (code << 6) | (next & 0x3F);
    }
    if (code < SmallestOfLength[length] || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) return 0;
    return length;
}
}  // namespace

std::string cp1252ToUtf8(std::string_view bytes) {
    std::string out;
    out.reserve(bytes.size());
    std::size_t i = 0;
    while (i < bytes.size()) {
        const std::size_t plain = i;
        while (i < bytes.size() && static_cast<unsigned char>(bytes[i]) < 0x80) ++i;
        out.append(bytes, plain, i - plain);
        if (i == bytes.size()) break;
        const auto byte = static_cast<unsigned char>(bytes[i++]);
        appendUtf8(out, byte <= 0x9F ? HighControlMap[byte - 0x80] : byte);
    }
    return out;
}

std::string utf8ToCp1252(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    std::size_t i = 0;
    while (i < text.size()) {
        const std::size_t plain = i;
        while (i < text.size() && static_cast<unsigned char>(text[i]) < 0x80) ++i;
        out.append(text, plain, i - plain);
        if (i == text.size()) break;
        char32_t code = 0;
        std::size_t length = decodeUtf8(text, i, code);
        if (length == 0) {
            out += '?';
            ++i;
            continue;
        }
        out += codePointToCp1252(code);
        i += length;
    }
    return out;
}

bool isValidUtf8(std::string_view text) {
    char32_t code = 0;
    for (std::size_t i = 0, length = 0; i < text.size(); i += length) {
        length = decodeUtf8(text, i, code);
        if (length == 0) return false;
    }
    return true;
}

std::string_view trimBlanks(std::string_view text) {
    std::size_t first = text.find_first_not_of(" \t");
    if (first == std::string_view::npos) return {};
    std::size_t last = text.find_last_not_of(" \t");
    return text.substr(first, last - first + 1);
}

bool isNumeric(std::string_view text) {
    text = trimBlanks(text);
    if (text.size() > 2 && text[0] == '&') {
        const char kind = text[1];
        const bool hex = kind == 'h' || kind == 'H';
        if (!hex && kind != 'o' && kind != 'O') return false;
        for (char c : text.substr(2)) {
            const bool digit = hex ? std::isxdigit(static_cast<unsigned char>(c)) != 0 : (c >= '0' && c <= '7');
            if (!digit) return false;
        }
        return true;
    }
    std::size_t i = 0;
    auto digits = [&] {
        std::size_t first = i;
        while (i < text.size() && text[i] >= '0' && text[i] <= '9') ++i;
        return i - first;
    };
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) ++i;
    std::size_t mantissa = digits();
    if (i < text.size() && text[i] == '.') {
        ++i;
        mantissa += digits();
    }
    if (mantissa == 0) return false;
    if (i < text.size() && (text[i] == 'e' || text[i] == 'E' || text[i] == 'd' || text[i] == 'D')) {
        ++i;
        if (i < text.size() && (text[i] == '+' || text[i] == '-')) ++i;
        if (digits() == 0) return false;
    }
    return i == text.size();
}

std::string csvField(std::string_view text) {
    if (text.find_first_of(",\"\r\n") == std::string_view::npos) return std::string(text);
    std::string quoted = "\"";
    for (char ch : text) {
        if (ch == '"') quoted += '"';
        quoted += ch;
    }
    return quoted + "\"";
}

std::string numberRuns(const std::vector<int>& ascending, std::size_t shownRuns) {
    std::string text;
    std::size_t runs = 0;
    for (std::size_t i = 0; i < ascending.size(); ++runs) {
        std::size_t last = i;
        while (last + 1 < ascending.size() && ascending[last + 1] == ascending[last] + 1) ++last;
        if (runs == shownRuns) return text + ", ...";
        text += (runs > 0 ? ", " : "") + std::to_string(ascending[i]);
        if (last > i) text += "-" + std::to_string(ascending[last]);
        i = last + 1;
    }
    return text;
}

}  // namespace zorvex
