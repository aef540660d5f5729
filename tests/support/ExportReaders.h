#pragma once
// Readers of the files the exports make for other programs, written from the
// formats' descriptions alone and never with the program's own code: the
// 42-column monitor file (tab-separated, its own date format) and CSV as
// RFC 4180 defines it. Times are read as the analysis tools read them: a
// calendar date and clock time without any time zone.

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace zorvex::test {

using Row = std::vector<std::string>;

inline std::string fileText(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

inline Row split(const std::string& text, char separator) {
    Row fields;
    std::string field;
    std::istringstream in(text);
    while (std::getline(in, field, separator)) fields.push_back(field);
    if (!text.empty() && text.back() == separator) fields.emplace_back();
    return fields;
}

/// Minutes since 1970-01-01 00:00 of a calendar date and time.
inline long long calendarMinute(int year, int month, int day, int hour, int minute) {
    using namespace std::chrono;
    sys_days date{std::chrono::year{year} / month / day};
    return duration_cast<minutes>(date.time_since_epoch()).count() + hour * 60LL + minute;
}

/// "2024-03-05 14:30:00" as calendarMinute(); a malformed text or a time off
/// the whole minute fails the test.
inline long long isoMinute(const std::string& text) {
    int year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0;
    char end = 0;
    const int read = std::sscanf(text.c_str(), "%4d-%2d-%2d %2d:%2d:%2d%c", &year, &month, &day, &hour, &minute,
                                 &second, &end);
    EXPECT_EQ(read, 6) << text;
    EXPECT_EQ(text.size(), 19u) << text;
    EXPECT_EQ(second, 0) << text;
    return calendarMinute(year, month, day, hour, minute);
}

/// One line of a monitor file.
struct MonitorLine {
    long index = 0;
    long long minute = 0;  ///< reading time, calendarMinute()
    int seconds = 0;
    int status = 0;
    int light = 0;
    std::vector<long> counts;  ///< columns 11..42
    Row unused;                ///< columns 5..9
};

/// Reads a monitor file from its column description alone.
inline std::vector<MonitorLine> readMonitorFile(const std::filesystem::path& file) {
    static const Row months = {"Jan", "Feb", "Mar", "Apr", "May", "Jun", "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
    std::vector<MonitorLine> lines;
    Row texts = split(fileText(file), '\n');
    if (!texts.empty() && texts.back().empty()) texts.pop_back();  // after the last line end
    for (std::string line : texts) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        Row fields = split(line, '\t');
        EXPECT_EQ(fields.size(), 42u) << line;
        if (fields.size() != 42) return lines;
        Row date = split(fields[1], ' ');
        Row time = split(fields[2], ':');
        EXPECT_EQ(date.size(), 3u);
        EXPECT_EQ(time.size(), 3u);
        const auto month = std::find(months.begin(), months.end(), date[1]) - months.begin() + 1;
        EXPECT_LE(month, 12) << fields[1];
        MonitorLine parsed;
        parsed.index = std::stol(fields[0]);
        parsed.minute = calendarMinute(2000 + std::stoi(date[2]), static_cast<int>(month), std::stoi(date[0]),
                                       std::stoi(time[0]), std::stoi(time[1]));
        parsed.seconds = std::stoi(time[2]);
        parsed.status = std::stoi(fields[3]);
        parsed.unused.assign(fields.begin() + 4, fields.begin() + 9);
        parsed.light = std::stoi(fields[9]);
        for (std::size_t c = 10; c < 42; ++c) parsed.counts.push_back(std::stol(fields[c]));
        lines.push_back(parsed);
    }
    return lines;
}

/// RFC 4180 records: quoted fields may hold commas, doubled quotes and line breaks.
inline std::vector<Row> readCsv(const std::string& text) {
    std::vector<Row> rows(1, Row(1));
    bool quoted = false;
    for (std::size_t i = 0; i < text.size(); ++i) {
        char ch = text[i];
        if (quoted && ch == '"' && i + 1 < text.size() && text[i + 1] == '"') {
            rows.back().back() += '"';
            ++i;
        } else if (ch == '"') {
            quoted = !quoted;
        } else if (!quoted && ch == ',') {
            rows.back().emplace_back();
        } else if (!quoted && ch == '\r' && i + 1 < text.size() && text[i + 1] == '\n') {
            ++i;
            rows.emplace_back(1);
        } else {
            rows.back().back() += ch;
        }
    }
    if (rows.back() == Row(1)) rows.pop_back();
    return rows;
}

}  // namespace zorvex::test
