#include "backend/Format.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstring>
#include <optional>
#include <utility>

namespace backend {

namespace {

constexpr std::time_t kChinaOffset = 8 * 3600;

// Leading zeros add nothing to a number ("0001" is 1), so they do not count
// toward its digits; "000" keeps one.
std::string_view withoutLeadingZeros(std::string_view digits) {
    const std::size_t first = digits.find_first_not_of('0');
    if (first == std::string_view::npos) return digits.substr(digits.empty() ? 0 : digits.size() - 1);
    return digits.substr(first);
}

}  // namespace

std::string formatYuan(long long cents) {
    char text[32];
    const char* sign = cents < 0 ? "-" : "";
    const unsigned long long magnitude = cents < 0 ? 0ULL - static_cast<unsigned long long>(cents) : cents;
    std::snprintf(text, sizeof text, "%s%llu.%02llu", sign, magnitude / 100, magnitude % 100);
    return text;
}

std::optional<long long> parseYuan(std::string_view text, long long limitCents) {
    const std::size_t point = text.find('.');
    const std::string_view whole = withoutLeadingZeros(text.substr(0, point));
    const std::string_view fraction = point == std::string_view::npos ? std::string_view() : text.substr(point + 1);
    if (whole.empty() || whole.size() > 15 || fraction.size() > 2) return std::nullopt;
    long long cents = 0;
    for (char digit : whole) {
        if (digit < '0' || digit > '9') return std::nullopt;
        cents = cents * 10 + (digit - '0');
    }
    cents *= 100;
    long long scale = 10;
    for (char digit : fraction) {
        if (digit < '0' || digit > '9') return std::nullopt;
        cents += (digit - '0') * scale;
        scale /= 10;
    }
    if (cents > limitCents) return std::nullopt;
    return cents;
}

std::string formatPercent(double part, double whole) {
    char text[32];
    std::snprintf(text, sizeof text, "%.1f%%", whole > 0 ? part * 100.0 / whole : 0.0);
    return text;
}

std::string formatChinaTime(std::time_t moment, const char* pattern) {
    const std::time_t shifted = moment + kChinaOffset;
    std::tm parts{};
    gmtime_r(&shifted, &parts);
    char text[64];
    const std::size_t length = std::strftime(text, sizeof text, pattern, &parts);
    return std::string(text, length);
}

std::string escapeHTML(const std::string& text) {
    std::string escaped;
    for (char c : text) {
        switch (c) {
            case '&': escaped += "&amp;"; break;
            case '<': escaped += "&lt;"; break;
            case '>': escaped += "&gt;"; break;
            case '"': escaped += "&quot;"; break;
            default: escaped += c;
        }
    }
    return escaped;
}

std::time_t chinaDayStart(std::time_t moment) {
    const std::time_t shifted = moment + kChinaOffset;
    return shifted - shifted % 86400 - kChinaOffset;
}

namespace {

// The code point at `at` of UTF-8 text and its length in bytes; nothing for
// a malformed one (overlong forms, surrogates and points past U+10FFFF are
// not UTF-8).
std::optional<std::pair<char32_t, std::size_t>> codePointAt(std::string_view text, std::size_t at) {
    const auto lead = static_cast<unsigned char>(text[at]);
    std::size_t length = 0;
    char32_t point = 0;
    if (lead < 0x80) length = 1, point = lead;
    else if (lead >= 0xC2 && lead <= 0xDF) length = 2, point = lead & 0x1F;
    else if (lead >= 0xE0 && lead <= 0xEF) length = 3, point = lead & 0x0F;
    else if (lead >= 0xF0 && lead <= 0xF4) length = 4, point = lead & 0x07;
    else return std::nullopt;
    if (at + length > text.size()) return std::nullopt;
    for (std::size_t i = 1; i < length; ++i) {
        const auto next = static_cast<unsigned char>(text[at + i]);
        if ((next & 0xC0) != 0x80) return std::nullopt;
        point = (point << 6) | (next & 0x3F);
    }
    if ((length == 3 && point < 0x800) || (length == 4 && (point < 0x10000 || point > 0x10FFFF)) ||
        (point >= 0xD800 && point <= 0xDFFF)) {
        return std::nullopt;
    }
    return std::pair{point, length};
}

// Whether every code point of `text` passes `test`; false for text that is
// not UTF-8.
template <typename Test>
bool allCodePoints(std::string_view text, Test test) {
    for (std::size_t at = 0; at < text.size();) {
        const auto point = codePointAt(text, at);
        if (!point || !test(point->first)) return false;
        at += point->second;
    }
    return true;
}

// White space and line ends (Unicode's White_Space, the full-width space
// U+3000 among them) and the characters that take no room (zero-width space,
// non-joiner and joiner, word joiner, zero-width no-break space).
bool showsNothing(char32_t point) {
    return (point >= 0x09 && point <= 0x0D) || point == 0x20 || point == 0x85 || point == 0xA0 || point == 0x1680 ||
           point == 0x180E || (point >= 0x2000 && point <= 0x200D) || point == 0x2028 || point == 0x2029 ||
           point == 0x202F || point == 0x205F || point == 0x2060 || point == 0x3000 || point == 0xFEFF;
}

}  // namespace

bool isCleanText(std::string_view text) {
    return allCodePoints(text, [](char32_t point) { return point >= 0x20 && !(point >= 0x7F && point <= 0x9F); });
}

bool isBlankText(std::string_view text) { return allCodePoints(text, showsNothing); }

std::string encodeQueryValue(std::string_view text) {
    static constexpr char kDigits[] = "0123456789ABCDEF";
    std::string encoded;
    for (unsigned char c : text) {
        if (std::isalnum(c) || std::strchr("-_.!~*'()", c) != nullptr) {
            encoded += static_cast<char>(c);
        } else {
            encoded += '%';
            encoded += kDigits[c >> 4];
            encoded += kDigits[c & 15];
        }
    }
    return encoded;
}

bool isDigits(std::string_view text) {
    return !text.empty() && std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

}  // namespace backend
