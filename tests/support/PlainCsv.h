#pragma once
// A CSV reader written from RFC 4180 alone, so the files a screen writes are
// checked by something other than the program's own reader: records end at
// CR LF, fields at commas, quoted fields double their quotes.

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

namespace zorvex::test {

/// A CSV file as a header and rows of named fields.
struct PlainTable {
    std::vector<std::string> header;
    std::vector<std::map<std::string, std::string>> rows;
};

/// Splits RFC 4180 text; every line must end with CR LF.
inline std::vector<std::vector<std::string>> plainRecords(const std::string& text) {
    std::vector<std::vector<std::string>> records(1);
    std::string field;
    bool inQuotes = false;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (inQuotes) {
            if (c == '"' && i + 1 < text.size() && text[i + 1] == '"') {
                field += '"';
                ++i;
            } else if (c == '"') {
                inQuotes = false;
            } else {
                field += c;
            }
        } else if (c == '"') {
            inQuotes = true;
        } else if (c == ',') {
            records.back().push_back(field);
            field.clear();
        } else if (c == '\r') {
            EXPECT_TRUE(i + 1 < text.size() && text[i + 1] == '\n') << "a CR without LF at byte " << i;
            records.back().push_back(field);
            field.clear();
            records.emplace_back();
            ++i;
        } else {
            EXPECT_NE(c, '\n') << "a bare LF at byte " << i;
            field += c;
        }
    }
    EXPECT_FALSE(inQuotes);
    EXPECT_TRUE(records.back().empty() && field.empty()) << "the last line has no CR LF";
    records.pop_back();
    return records;
}

/// The text as a table; every row must have the header's width.
inline PlainTable plainTable(const std::string& text) {
    PlainTable table;
    auto records = plainRecords(text);
    if (records.empty()) return table;
    table.header = records.front();
    for (std::size_t r = 1; r < records.size(); ++r) {
        EXPECT_EQ(records[r].size(), table.header.size()) << "row " << r;
        std::map<std::string, std::string> row;
        for (std::size_t k = 0; k < records[r].size() && k < table.header.size(); ++k) row[table.header[k]] = records[r][k];
        table.rows.push_back(row);
    }
    return table;
}

}  // namespace zorvex::test
