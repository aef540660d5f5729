#include "common/RecordText.h"

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
    bytes_ += std::to_string(value);
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

// Consumes one line end (CR LF, CR or LF) at `position`.
void consumeLineEnd(const std::string& bytes, std::size_t& position) {
    if (position < bytes.size() && bytes[position] == '\r') ++position;
    if (position < bytes.size() && bytes[position] == '\n') ++position;
}

bool parseNumber(std::string_view field, double& value) {
    field = trimBlanks(field);
    if (field.empty()) return false;
    if (field.front() == '+') field.remove_prefix(1);
    auto [ptr, ec] = std::from_chars(field.data(), field.data() + field.size(), value);
    return ec == std::errc() && ptr == field.data() + field.size() && std::isfinite(value);
}
}  // namespace

bool RecordReader::nextRaw(std::string& field) {
    field.clear();
    if (!ok_) return false;
    while (position_ < bytes_.size() && (bytes_[position_] == ' ' || bytes_[position_] == '\t')) ++position_;
    if (position_ >= bytes_.size()) {
        ok_ = false;
        return false;
    }
    if (bytes_[position_] == '"') {
        std::size_t close = bytes_.find('"', position_ + 1);
        if (close == std::string::npos) close = bytes_.size();
        field.assign(bytes_, position_ + 1, close - position_ - 1);
        position_ = close < bytes_.size() ? close + 1 : close;
        // Whatever stands between the closing quote and the delimiter is not part of the field.
        while (position_ < bytes_.size() && bytes_[position_] != ',' && !isLineEnd(bytes_[position_])) ++position_;
    } else {
        std::size_t end = position_;
        while (end < bytes_.size() && bytes_[end] != ',' && !isLineEnd(bytes_[end])) ++end;
        field.assign(trimBlanks(std::string_view(bytes_).substr(position_, end - position_)));
        position_ = end;
    }
    if (position_ < bytes_.size() && bytes_[position_] == ',') {
        ++position_;
    } else {
        consumeLineEnd(bytes_, position_);
    }
    return true;
}

std::string RecordReader::text() {
    std::string field;
    nextRaw(field);
    return cp1252ToUtf8(field);
}

std::int16_t RecordReader::int16() {
    std::string field;
    if (!nextRaw(field)) return 0;
    double value = 0;
    if (!parseNumber(field, value)) {
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
    std::string field;
    if (!nextRaw(field)) return 0.0;
    double value = 0;
    if (!parseNumber(field, value)) {
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
    while (position_ < bytes_.size() && !isLineEnd(bytes_[position_])) ++position_;
    consumeLineEnd(bytes_, position_);
}

bool RecordReader::atEnd() const {
    for (std::size_t i = position_; i < bytes_.size(); ++i) {
        char c = bytes_[i];
        if (c != ' ' && c != '\t' && !isLineEnd(c)) return false;
    }
    return true;
}

}  // namespace zorvex
