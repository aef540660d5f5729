#include "common/DateTime.h"

#include <cmath>

#include "common/Text.h"

namespace zorvex {

namespace {

// Days from 1970-01-01 of a proleptic Gregorian date (H. Hinnant's algorithm).
long long daysFromCivil(long long y, int m, int d) {
    y -= m <= 2;
    long long era = (y >= 0 ? y : y - 399) / 400;
    long long yoe = y - era * 400;
    long long doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    long long doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + doe - 719468;
}

void civilFromDays(long long z, int& year, int& month, int& day) {
    z += 719468;
    long long era = (z >= 0 ? z : z - 146096) / 146097;
    long long doe = z - era * 146097;
    long long yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    long long doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    long long mp = (5 * doy + 2) / 153;
    day = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
    month = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
    year = static_cast<int>(yoe + era * 400 + (month <= 2));
}

const long long EpochOffsetDays = daysFromCivil(1899, 12, 30);
constexpr long long SecondsPerDay = 86400;

long long toSerialSeconds(const DateTime& when) {
    long long days = daysFromCivil(when.year, when.month, when.day) - EpochOffsetDays;
    return days * SecondsPerDay + when.hour * 3600LL + when.minute * 60LL + when.second;
}

DateTime fromSerialSeconds(long long seconds) {
    long long days = seconds >= 0 ? seconds / SecondsPerDay : -((-seconds + SecondsPerDay - 1) / SecondsPerDay);
    long long rest = seconds - days * SecondsPerDay;
    DateTime when;
    civilFromDays(days + EpochOffsetDays, when.year, when.month, when.day);
    when.hour = static_cast<int>(rest / 3600);
    when.minute = static_cast<int>(rest / 60 % 60);
    when.second = static_cast<int>(rest % 60);
    return when;
}

}  // namespace

double toSerialDays(const DateTime& when) {
    return static_cast<double>(toSerialSeconds(when)) / SecondsPerDay;
}

DateTime fromSerialDays(double days) {
    return fromSerialSeconds(static_cast<long long>(std::llround(days * SecondsPerDay)));
}

DateTime addMinutes(const DateTime& when, double minutes) {
    return fromSerialSeconds(toSerialSeconds(when) + static_cast<long long>(std::llround(minutes * 60)));
}

long long minutesBetween(const DateTime& from, const DateTime& to) {
    long long seconds = toSerialSeconds(to) - toSerialSeconds(from);
    return seconds >= 0 ? seconds / 60 : -((-seconds + 59) / 60);
}

std::string timeStamp(const DateTime& when) {
    return formatDigits(when.day, 2) + formatDigits(when.month, 2) + formatDigits(when.year, 4) + "_" +
           formatDigits(when.hour, 2) + formatDigits(when.minute, 2);
}

std::string isoDateTime(const DateTime& when) {
    return formatDigits(when.year, 4) + "-" + formatDigits(when.month, 2) + "-" + formatDigits(when.day, 2) + " " +
           formatDigits(when.hour, 2) + ":" + formatDigits(when.minute, 2) + ":" + formatDigits(when.second, 2);
}

std::optional<DateTime> parseTimeStamp(std::string_view stamp) {
    if (stamp.size() != 13 || stamp[8] != '_') return std::nullopt;
    for (std::size_t i = 0; i < stamp.size(); ++i) {
        if (i != 8 && (stamp[i] < '0' || stamp[i] > '9')) return std::nullopt;
    }
    auto number = [&](std::size_t at, std::size_t length) {
        int value = 0;
        for (std::size_t i = at; i < at + length; ++i) value = value * 10 + (stamp[i] - '0');
        return value;
    };
    DateTime when{number(4, 4), number(2, 2), number(0, 2), number(9, 2), number(11, 2), 0};
    if (when.month < 1 || when.month > 12 || when.day < 1 || when.hour > 23 || when.minute > 59) return std::nullopt;
    int y, m, d;
    civilFromDays(daysFromCivil(when.year, when.month, when.day), y, m, d);
    if (d != when.day) return std::nullopt;  // 31 April and the like
    return when;
}

}  // namespace zorvex
