#pragma once

#include <optional>
#include <string>
#include <string_view>

// Dates as XML property lists write them: "2001-01-01T00:00:00Z", UTC, on
// the proleptic Gregorian calendar, for any year of up to eleven digits
// (whole seconds kept in 64 bits). Years beyond 9999 take more digits, years before 1 a "-" sign
// (year 0 is 1 BC); a fraction of a second follows the seconds when there is one.
namespace PropertyListDateText {

// Seconds since 2001-01-01 of a date text. Smaller units may be left out
// ("2001-01-01", "2001-01-01T12"), and so may the final "Z". Nothing when
// the text is malformed or names a day or time that does not exist.
std::optional<double> secondsSince2001(std::string_view text);

// The text of a date, with as many fraction digits as reading it back
// exactly needs; nothing for NaN, infinities and years beyond eleven digits.
std::optional<std::string> text(double secondsSince2001);

}  // namespace PropertyListDateText
