#pragma once
// Local date-times as the program stores and compares them: acquisition
// folders are named ddmmyyyy_hhmm, and elapsed times are counted in days and
// minutes since a fixed epoch so that differences never depend on the clock.

#include <optional>
#include <string>
#include <string_view>

namespace zorvex {

inline constexpr int MinutesPerDay = 1440;

/// A local calendar date and time of day, to the second.
struct DateTime {
    int year = 1899;
    int month = 12;
    int day = 30;
    int hour = 0;
    int minute = 0;
    int second = 0;

    friend bool operator==(const DateTime&, const DateTime&) = default;
};

/// Days since 30 December 1899 00:00, with the time of day as the fraction.
double toSerialDays(const DateTime& when);

/// The date-time of a serial day number, rounded to the nearest second.
DateTime fromSerialDays(double days);

/// `when` moved by a (possibly negative) number of minutes.
DateTime addMinutes(const DateTime& when, double minutes);

/// Whole minutes from `from` to `to`, rounded down (negative when `to` is earlier).
long long minutesBetween(const DateTime& from, const DateTime& to);

/// The acquisition stamp "ddmmyyyy_hhmm", for example 06122026_1458.
std::string timeStamp(const DateTime& when);

/// Reads a "ddmmyyyy_hhmm" stamp; nothing when the text is not one or names no real date.
std::optional<DateTime> parseTimeStamp(std::string_view stamp);

/// "2024-03-05 14:30:00": ISO 8601 date and time, a space between them as
/// spreadsheets and R's readers take it without options.
std::string isoDateTime(const DateTime& when);

}  // namespace zorvex
