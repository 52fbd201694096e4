#pragma once

#include <ctime>
#include <optional>
#include <string>
#include <string_view>

namespace backend {

// Amounts are kept in fen (hundredths of a yuan); answers show yuan with two
// decimals: 12345 -> "123.45".
std::string formatYuan(long long cents);
// An amount the app sends as typed, in yuan: digits with at most two
// decimals after a point ("10", "10.5", "0.01", "12."), no sign or blanks,
// leading zeros adding nothing ("0001" is 1), at most `limitCents`; in fen, or nothing when it is not such a text.
std::optional<long long> parseYuan(std::string_view text, long long limitCents);
// The share of `part` in `whole` as a percentage with one decimal, "12.5%";
// "0.0%" when the whole is zero.
std::string formatPercent(double part, double whole);
// A moment in China Standard Time (UTC+8, no daylight saving), through a
// strftime pattern.
std::string formatChinaTime(std::time_t moment, const char* pattern);
// A text percent-encoded to stand in a URL query: letters, digits and
// "-_.!~*'()" kept, every other byte as %XX.
std::string encodeQueryValue(std::string_view text);
// Text made safe to stand in HTML (&, <, > and " as entities).
std::string escapeHTML(const std::string& text);
// Whether `text` is one or more ASCII digits and nothing else.
bool isDigits(std::string_view text);
// Whether two texts are the same but for the case of ASCII letters (as
// HTTP header names compare).
bool equalIgnoringCase(std::string_view a, std::string_view b);
// `text` without the blanks and tabs around it (as HTTP reads a field).
std::string_view trimmedBlanks(std::string_view text);
// Whether `text` is an HTTP token (a method or a header name): letters,
// digits and "!#$%&'*+-.^_`|~", at least one, nothing else (no blank).
bool isHttpToken(std::string_view text);
// Whether `text` is an authority as an HTTP Host or an absolute target
// names one: a host (a name of letters, digits, "-._~", "!$&'()*+,;=" and
// percent escapes, possibly empty; or an IPv6 or future address in
// brackets) and, after a colon, a port of digits. No blank, slash, user
// ("@") or second colon: a proxy and this server could read such a host
// apart.
bool isAuthority(std::string_view text);
// The first second of the China Standard Time day that holds `moment`.
std::time_t chinaDayStart(std::time_t moment);

}  // namespace backend
