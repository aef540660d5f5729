#pragma once
// The record text convention shared by every configuration, project and plate
// file: comma-separated fields, strings in double quotes, CR LF line ends, 8-bit
// code page 1252. In memory, texts are UTF-8; conversion happens here only.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace zorvex {

/// Builds record lines. Values of one line are joined by single commas.
class RecordWriter {
public:
    /// A string value in double quotes, written unchanged (no escapes exist).
    RecordWriter& text(std::string_view value);
    /// An integer in plain decimal.
    RecordWriter& integer(long long value);
    /// A floating-point value in its shortest decimal form (3, 2.125).
    RecordWriter& real(double value);
    /// Ends the line with CR LF.
    RecordWriter& endLine();
    /// A header line: one quoted string and the line end.
    RecordWriter& header(std::string_view value) { return text(value).endLine(); }

    const std::string& bytes() const { return bytes_; }

private:
    void separate();
    std::string bytes_;
    bool lineStarted_ = false;
};

/// Reads record fields from the bytes of a file. The first failure (reading
/// past the end, a numeric field that holds no number or does not fit its type)
/// is sticky: later reads return empty values and `ok()` stays false, so a
/// reader checks once per stage.
class RecordReader {
public:
    explicit RecordReader(std::string bytes) : bytes_(std::move(bytes)) {}

    /// The next field as text (quotes removed, converted to UTF-8).
    std::string text();
    /// Passes over the next field unread (a number column, a header).
    void skip();
    /// The next field as a 16-bit integer (halves to even).
    std::int16_t int16();
    /// The next field as a 64-bit float.
    double real();
    /// Skips the rest of the current line, or the next whole line at a line start.
    void skipLine();

    /// True when nothing but blanks and line ends is left.
    bool atEnd() const;
    /// False once any read has failed.
    bool ok() const { return ok_; }
    /// Marks the read failed, for checks a caller makes on the values.
    void fail() { ok_ = false; }

private:
    /// The next field as it stands in the bytes; nothing once a read failed.
    std::optional<std::string_view> nextRaw();
    std::string bytes_;
    std::size_t position_ = 0;
    bool ok_ = true;
};

}  // namespace zorvex
