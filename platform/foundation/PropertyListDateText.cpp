#include "foundation/PropertyListDateText.h"

#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdio>

namespace {

constexpr std::int64_t secondsPerDay = 86400;
// Eleven year digits keep every date's seconds well inside 64 bits.
constexpr std::size_t maximumYearDigits = 11;
constexpr double largestSeconds = 3.0e18;
// Days from 1970-01-01 to 2001-01-01.
constexpr std::int64_t daysFrom1970To2001 = 11323;

// Days since 1970-01-01 of a proleptic Gregorian date (the 400-year-era method).
std::int64_t daysFromCivil(std::int64_t year, unsigned month, unsigned day) {
    year -= month <= 2;
    std::int64_t era = (year >= 0 ? year : year - 399) / 400;
    auto yearOfEra = static_cast<unsigned>(year - era * 400);
    unsigned dayOfYear = (153 * (month > 2 ? month - 3 : month + 9) + 2) / 5 + day - 1;
    unsigned dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
    return era * 146097 + static_cast<std::int64_t>(dayOfEra) - 719468;
}

struct CivilDate {
    std::int64_t year;
    unsigned month, day;
};

CivilDate civilFromDays(std::int64_t days) {
    days += 719468;
    std::int64_t era = (days >= 0 ? days : days - 146096) / 146097;
    auto dayOfEra = static_cast<unsigned>(days - era * 146097);
    unsigned yearOfEra = (dayOfEra - dayOfEra / 1460 + dayOfEra / 36524 - dayOfEra / 146096) / 365;
    unsigned dayOfYear = dayOfEra - (365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100);
    unsigned shiftedMonth = (5 * dayOfYear + 2) / 153;
    unsigned day = dayOfYear - (153 * shiftedMonth + 2) / 5 + 1;
    unsigned month = shiftedMonth < 10 ? shiftedMonth + 3 : shiftedMonth - 9;
    return {static_cast<std::int64_t>(yearOfEra) + era * 400 + (month <= 2), month, day};
}

bool isLeapYear(std::int64_t year) { return year % 4 == 0 && (year % 100 != 0 || year % 400 == 0); }

unsigned daysInMonth(std::int64_t year, unsigned month) {
    static constexpr unsigned days[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return month == 2 && isLeapYear(year) ? 29 : days[month - 1];
}

bool isDigit(char c) { return c >= '0' && c <= '9'; }

// Reads exactly `width` digits (or, with `atLeast`, that many or more).
std::optional<std::int64_t> digits(std::string_view& text, std::size_t width, bool atLeast = false) {
    std::size_t count = 0;
    while (count < text.size() && isDigit(text[count]) && (atLeast || count < width)) ++count;
    if (count < width || count > maximumYearDigits) return std::nullopt;
    std::int64_t number = 0;
    for (std::size_t i = 0; i < count; ++i) number = number * 10 + (text[i] - '0');
    text.remove_prefix(count);
    return number;
}

bool skip(std::string_view& text, char separator) {
    if (text.empty() || text[0] != separator) return false;
    text.remove_prefix(1);
    return true;
}

}  // namespace

namespace PropertyListDateText {

std::optional<double> secondsSince2001(std::string_view text) {
    bool negativeYear = skip(text, '-');
    auto year = digits(text, 4, true);
    if (!year) return std::nullopt;
    if (negativeYear) *year = -*year;
    std::int64_t month = 1, day = 1, hour = 0, minute = 0, second = 0;
    double fraction = 0;
    // Each smaller unit is there only when the larger one before it is.
    auto unit = [&text](char separator, std::int64_t& field) {
        if (!skip(text, separator)) return true;
        auto number = digits(text, 2);
        if (!number) return false;
        field = *number;
        return true;
    };
    std::size_t before = text.size();
    if (!unit('-', month)) return std::nullopt;
    if (text.size() != before && (before = text.size(), !unit('-', day))) return std::nullopt;
    if (text.size() != before && (before = text.size(), !unit('T', hour))) return std::nullopt;
    if (text.size() != before && (before = text.size(), !unit(':', minute))) return std::nullopt;
    if (text.size() != before && (before = text.size(), !unit(':', second))) return std::nullopt;
    if (text.size() != before && !text.empty() && text[0] == '.') {
        std::size_t count = 1;
        while (count < text.size() && isDigit(text[count])) ++count;
        if (count == 1) return std::nullopt;
        std::string decimal = "0" + std::string(text.substr(0, count));
        std::from_chars(decimal.data(), decimal.data() + decimal.size(), fraction);
        text.remove_prefix(count);
    }
    skip(text, 'Z');
    if (!text.empty()) return std::nullopt;
    if (month < 1 || month > 12 || day < 1 || day > daysInMonth(*year, static_cast<unsigned>(month)) || hour > 23 ||
        minute > 59 || second > 59)
        return std::nullopt;
    std::int64_t days = daysFromCivil(*year, static_cast<unsigned>(month), static_cast<unsigned>(day)) -
                        daysFrom1970To2001;
    std::int64_t whole = days * secondsPerDay + hour * 3600 + minute * 60 + second;
    return static_cast<double>(whole) + fraction;
}

std::optional<std::string> text(double secondsSince2001) {
    if (!std::isfinite(secondsSince2001) || std::fabs(secondsSince2001) > largestSeconds) return std::nullopt;
    double wholeSeconds = std::floor(secondsSince2001);
    double fraction = secondsSince2001 - wholeSeconds;  // exact for doubles
    auto whole = static_cast<std::int64_t>(wholeSeconds);
    std::int64_t days = whole / secondsPerDay, inDay = whole % secondsPerDay;
    if (inDay < 0) {
        inDay += secondsPerDay;
        --days;
    }
    CivilDate date = civilFromDays(days + daysFrom1970To2001);
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%s%04lld-%02u-%02uT%02lld:%02lld:%02lld", date.year < 0 ? "-" : "",
                  static_cast<long long>(date.year < 0 ? -date.year : date.year), date.month, date.day,
                  static_cast<long long>(inDay / 3600), static_cast<long long>(inDay / 60 % 60),
                  static_cast<long long>(inDay % 60));
    std::string out = buffer;
    if (fraction != 0) {
        // The fewest decimals that read back as the same fraction.
        char decimals[1200];
        for (int precision = 1; precision < 1100; ++precision) {
            auto end = std::to_chars(decimals, decimals + sizeof decimals, fraction, std::chars_format::fixed,
                                     precision).ptr;
            double back = 0;
            std::from_chars(decimals, end, back);
            if (decimals[0] == '0' && wholeSeconds + back == secondsSince2001) {
                out.append(decimals + 1, end);  // ".25", without the leading zero
                break;
            }
        }
    }
    return out + "Z";
}

}  // namespace PropertyListDateText
