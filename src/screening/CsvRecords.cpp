#include "screening/CsvRecords.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cmath>

#include "common/Text.h"

namespace zorvex {

namespace {

constexpr std::string_view ByteOrderMark = "\xEF\xBB\xBF";

// Reads records one at a time; `line` follows every line break passed,
// quoted ones included, so problems name the line a person sees.
class CsvScanner {
public:
    CsvScanner(std::string_view text, char separator) : text_(text), separator_(separator) {
        if (text_.substr(0, ByteOrderMark.size()) == ByteOrderMark) position_ = ByteOrderMark.size();
    }

    bool atEnd() const { return position_ >= text_.size(); }

    // The next record; nothing after a problem, with the rest of its line skipped.
    std::optional<CsvRecord> next(CsvText& out) {
        CsvRecord record;
        record.line = line_;
        std::string field;
        while (true) {
            if (!atEnd() && text_[position_] == '"') {
                if (!quotedField(field)) {
                    out.problems.push_back({record.line, "a quoted field is not closed (the file ends inside it)"});
                    return std::nullopt;
                }
                if (!atEnd() && text_[position_] != separator_ && !atLineEnd()) {
                    return skipLine(out, record.line, "text follows a closing quote");
                }
            } else {
                while (!atEnd() && text_[position_] != separator_ && !atLineEnd()) {
                    if (text_[position_] == '"') return skipLine(out, record.line, "a quote inside an unquoted field");
                    field += text_[position_++];
                }
            }
            record.fields.push_back(std::move(field));
            field.clear();
            if (atEnd() || atLineEnd()) break;
            ++position_;  // the separator
        }
        endLine();
        return record;
    }

private:
    bool atLineEnd() const {
        return text_[position_] == '\n' || (text_[position_] == '\r' && position_ + 1 < text_.size() && text_[position_ + 1] == '\n');
    }

    void endLine() {
        if (atEnd()) return;
        position_ += text_[position_] == '\r' ? 2 : 1;
        ++line_;
    }

    bool quotedField(std::string& field) {
        ++position_;
        while (!atEnd()) {
            char c = text_[position_++];
            if (c == '"') {
                if (atEnd() || text_[position_] != '"') return true;
                ++position_;
            } else if (c == '\n') {
                ++line_;
            }
            field += c;
        }
        return false;
    }

    std::optional<CsvRecord> skipLine(CsvText& out, int recordLine, const char* why) {
        out.problems.push_back({recordLine, why});
        while (!atEnd() && text_[position_] != '\n') ++position_;
        endLine();
        return std::nullopt;
    }

    std::string_view text_;
    char separator_;
    std::size_t position_ = 0;
    int line_ = 1;
};

}  // namespace

CsvText parseCsv(std::string_view text, char separator) {
    CsvText out;
    CsvScanner scanner(text, separator);
    while (!scanner.atEnd()) {
        auto record = scanner.next(out);
        if (record && !(record->fields.size() == 1 && record->fields[0].empty())) out.records.push_back(std::move(*record));
    }
    return out;
}

char guessSeparator(std::string_view text) {
    int commas = 0;
    int semicolons = 0;
    bool quoted = false;
    for (char c : text) {
        if (c == '"') quoted = !quoted;
        if (quoted) continue;
        if (c == '\n') break;
        commas += c == ',';
        semicolons += c == ';';
    }
    return semicolons > commas ? ';' : ',';
}

std::vector<std::string> lineMessages(std::vector<CsvProblem> problems, std::string_view prefix) {
    std::stable_sort(problems.begin(), problems.end(),
                     [](const CsvProblem& a, const CsvProblem& b) { return a.line < b.line; });
    std::vector<std::string> messages;
    for (const CsvProblem& problem : problems) {
        messages.push_back(std::string(prefix) + "line " + std::to_string(problem.line) + ": " + problem.text +
                           "; the line is left out.");
    }
    return messages;
}

std::string fieldKey(std::string_view field) {
    std::string key(trimBlanks(field));
    std::transform(key.begin(), key.end(), key.begin(), [](unsigned char c) { return std::tolower(c); });
    return key;
}

std::string csvLine(const std::vector<std::string>& fields) {
    std::string line;
    for (std::size_t i = 0; i < fields.size(); ++i) {
        if (i > 0) line += ',';
        line += csvField(fields[i]);
    }
    return line + "\r\n";
}

std::string csvNumber(std::optional<double> value) { return value ? formatShortest(*value) : std::string(); }

std::optional<double> parseCsvNumber(std::string_view field) {
    field = trimBlanks(field);
    if (field.size() > 1 && field[0] == '+' && field[1] != '-') field.remove_prefix(1);
    if (field.empty()) return std::nullopt;
    double value = 0;
    auto [end, error] = std::from_chars(field.data(), field.data() + field.size(), value);
    if (error != std::errc() || end != field.data() + field.size() || !std::isfinite(value)) return std::nullopt;
    return value;
}

}  // namespace zorvex
