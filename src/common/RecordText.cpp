#include "common/RecordText.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <limits>

#include "common/Numbers.h"
#include "common/Text.h"

namespace zorvex {

void RecordWriter::separate() {
    if (lineStarted_) bytes_ += ',';
    lineStarted_ = true;
}

RecordWriter& RecordWriter::text(std::string_view value) {
    separate();
    bytes_ += '"';
    bytes_ += utf8ToCp1252(value);
    bytes_ += '"';
    return *this;
}

RecordWriter& RecordWriter::integer(long long value) {
    separate();
    std::array<char, 24> digits;
    const auto end = std::to_chars(digits.data(), digits.data() + digits.size(), value).ptr;
    bytes_.append(digits.data(), end);
    return *this;
}

RecordWriter& RecordWriter::real(double value) {
    separate();
    bytes_ += formatShortest(value);
    return *this;
}

RecordWriter& RecordWriter::endLine() {
    bytes_ += "\r\n";
    lineStarted_ = false;
    return *this;
}

namespace {
bool isLineEnd(char c) { return c == '\r' || c == '\n'; }
bool isFieldEnd(char c) { return c == ',' || isLineEnd(c); }

// Consumes one line end (CR LF, CR or LF) at `position`.
void consumeLineEnd(std::string_view bytes, std::size_t& position) {
    if (position < bytes.size() && bytes[position] == '\r') ++position;
    if (position < bytes.size() && bytes[position] == '\n') ++position;
}

bool parseNumber(std::string_view field, double& value) {
    field = trimBlanks(field);  // a quoted number keeps its blanks
    if (field.empty()) return false;
    if (field.front() == '+') field.remove_prefix(1);
    auto [ptr, ec] = std::from_chars(field.data(), field.data() + field.size(), value);
    return ec == std::errc() && ptr == field.data() + field.size() && std::isfinite(value);
}
}  // namespace

std::optional<std::string_view> RecordReader::nextRaw() {
    if (!ok_) return std::nullopt;
    const std::string_view bytes = bytes_;
    while (position_ < bytes.size() && (bytes[position_] == ' ' || bytes[position_] == '\t')) ++position_;
    if (position_ >= bytes.size()) {
        ok_ = false;
        return std::nullopt;
    }
    std::string_view field;
    if (bytes[position_] == '"') {
        const std::size_t open = position_ + 1;
        const std::size_t close = std::min(bytes.find('"', open), bytes.size());
        field = bytes.substr(open, close - open);
        position_ = close < bytes.size() ? close + 1 : close;
        // Whatever stands between the closing quote and the delimiter is not part of the field.
        while (position_ < bytes.size() && !isFieldEnd(bytes[position_])) ++position_;
    } else {
        std::size_t end = position_;
        while (end < bytes.size() && !isFieldEnd(bytes[end])) ++end;
        field = trimBlanks(bytes.substr(position_, end - position_));
        position_ = end;
    }
    if (position_ < bytes.size() && bytes[position_] == ',') {
        ++position_;
    } else {
        consumeLineEnd(bytes, position_);
    }
    return field;
}

std::string RecordReader::text() {
    const auto field = nextRaw();
    return field ? cp1252ToUtf8(*field) : std::string();
}

void RecordReader::skip() { (void)nextRaw(); }

std::int16_t RecordReader::int16() {
    const auto field = nextRaw();
    if (!field) return 0;
    double value = 0;
    if (!parseNumber(*field, value)) {
        ok_ = false;
        return 0;
    }
    double rounded = roundHalfEven(value);
    if (rounded < std::numeric_limits<std::int16_t>::min() || rounded > std::numeric_limits<std::int16_t>::max()) {
        ok_ = false;
        return 0;
    }
    return static_cast<std::int16_t>(rounded);
}

double RecordReader::real() {
    const auto field = nextRaw();
    if (!field) return 0.0;
    double value = 0;
    if (!parseNumber(*field, value)) {
        ok_ = false;
        return 0.0;
    }
    return value;
}

void RecordReader::skipLine() {
    if (!ok_) return;
    if (position_ >= bytes_.size()) {
        ok_ = false;
        return;
    }
    const std::string_view bytes = bytes_;
    const std::size_t lineFeed = std::min(bytes.find('\n', position_), bytes.size());
    position_ = std::min(bytes.substr(0, lineFeed).find('\r', position_), lineFeed);
    consumeLineEnd(bytes, position_);
}

bool RecordReader::atEnd() const {
    for (std::size_t i = position_; i < bytes_.size(); ++i) {
        char c = bytes_[i];
        if (c != ' ' && c != '\t' && !isLineEnd(c)) return false;
    }
    return true;
}

}  // namespace zorvex
