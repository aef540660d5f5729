#pragma once
// RFC 4180 text as spreadsheets and other programs exchange it: fields split
// at a separator, double-quoted fields with doubled inner quotes and line
// breaks, CR LF or LF line ends; and its numbers, with "." as the decimal
// point whatever the locale.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace zorvex {

/// One record of a CSV text.
struct CsvRecord {
    int line = 0;  ///< line of the text where the record starts, from 1
    std::vector<std::string> fields;
};

/// A record left out of a CSV text, and why.
struct CsvProblem {
    int line = 0;
    std::string text;
};

/// The records of a CSV text and the lines that could not be read.
struct CsvText {
    std::vector<CsvRecord> records;
    std::vector<CsvProblem> problems;
};

/// Splits `text` into records. A leading UTF-8 byte order mark is skipped and
/// empty lines give no record; a line with a stray quote is left out, and a
/// quoted field that never closes (a cut file) ends the text.
CsvText parseCsv(std::string_view text, char separator = ',');

/// The separator of a spreadsheet's CSV: ';' when the first line holds more
/// semicolons than commas outside quotes (decimal-comma locales), else ','.
char guessSeparator(std::string_view text);

/// Messages "<prefix>line N: <text>; the line is left out." in line order.
std::vector<std::string> lineMessages(std::vector<CsvProblem> problems, std::string_view prefix);

/// A field as keys and headers are compared: blanks around it removed, in lower case.
std::string fieldKey(std::string_view field);

/// Fields joined by commas, each quoted where RFC 4180 needs it, ended by CR LF.
std::string csvLine(const std::vector<std::string>& fields);

/// A number in the shortest form that reads back the same, "." as the
/// decimal point; "" for no value.
std::string csvNumber(std::optional<double> value);

/// The finite number a whole field holds ("." as the decimal point, optional
/// sign and exponent, blanks around allowed); nothing for anything else.
std::optional<double> parseCsvNumber(std::string_view field);

}  // namespace zorvex
