#include "backend/Format.h"

#include <arpa/inet.h>

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstring>
#include <optional>

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

bool isHex(char c) { return std::isxdigit(static_cast<unsigned char>(c)) != 0; }

// A letter, digit, "-._~" or "!$&'()*+,;=": what a host name and a future
// address take as they are.
bool isPlainHostCharacter(char c) {
    return std::isalnum(static_cast<unsigned char>(c)) || std::string_view("-._~!$&'()*+,;=").find(c) != std::string_view::npos;
}

// What stands between an authority's brackets: an IPv6 address, or a
// future one ("v" hex digits "." and plain characters or colons).
bool isAddressInBrackets(std::string_view text) {
    if (!text.empty() && (text.front() == 'v' || text.front() == 'V')) {
        const std::size_t dot = text.find('.');
        return dot != std::string_view::npos && dot > 1 && dot + 1 < text.size() &&
               std::all_of(text.begin() + 1, text.begin() + static_cast<std::ptrdiff_t>(dot), isHex) &&
               std::all_of(text.begin() + static_cast<std::ptrdiff_t>(dot) + 1, text.end(),
                           [](char c) { return isPlainHostCharacter(c) || c == ':'; });
    }
    in6_addr address{};
    return text.size() < INET6_ADDRSTRLEN && ::inet_pton(AF_INET6, std::string(text).c_str(), &address) == 1;
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

bool equalIgnoringCase(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
           });
}

std::string_view trimmedBlanks(std::string_view text) {
    text.remove_prefix(std::min(text.find_first_not_of(" \t"), text.size()));
    return text.substr(0, text.find_last_not_of(" \t") + 1);
}

bool isHttpToken(std::string_view text) {
    static constexpr std::string_view kMarks = "!#$%&'*+-.^_`|~";
    return !text.empty() && std::all_of(text.begin(), text.end(), [](char c) {
        return std::isalnum(static_cast<unsigned char>(c)) || kMarks.find(c) != std::string_view::npos;
    });
}

bool isAuthority(std::string_view text) {
    std::string_view port;
    if (!text.empty() && text.front() == '[') {
        const std::size_t close = text.find(']');
        if (close == std::string_view::npos || !isAddressInBrackets(text.substr(1, close - 1))) return false;
        port = text.substr(close + 1);
    } else {
        const std::size_t colon = std::min(text.find(':'), text.size());
        for (std::size_t at = 0; at < colon; ++at) {
            if (text[at] != '%') {
                if (!isPlainHostCharacter(text[at])) return false;
            } else if (at + 2 >= colon || !isHex(text[at + 1]) || !isHex(text[at + 2])) {
                return false;
            } else {
                at += 2;
            }
        }
        port = text.substr(colon);
    }
    return port.empty() || (port.front() == ':' && std::all_of(port.begin() + 1, port.end(), [](char c) {
                                return c >= '0' && c <= '9';
                            }));
}

}  // namespace backend
