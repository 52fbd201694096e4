#include "foundation/NSString.h"

#include <cctype>
#include <climits>
#include <cstdlib>
#include <string>

namespace {

bool isSpace(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f'; }

std::string_view skipSpace(std::string_view text) {
    std::size_t at = 0;
    while (at < text.size() && isSpace(text[at])) ++at;
    return text.substr(at);
}

}  // namespace

long long NSString::longLongValue(std::string_view text) {
    text = skipSpace(text);
    std::size_t at = 0;
    bool negative = false;
    if (at < text.size() && (text[at] == '+' || text[at] == '-')) negative = text[at++] == '-';
    unsigned long long magnitude = 0;
    bool overflow = false;
    for (; at < text.size() && std::isdigit(static_cast<unsigned char>(text[at])); ++at) {
        unsigned digit = static_cast<unsigned>(text[at] - '0');
        if (magnitude > (ULLONG_MAX - digit) / 10) overflow = true;
        else magnitude = magnitude * 10 + digit;
    }
    if (negative) {
        if (overflow || magnitude > static_cast<unsigned long long>(LLONG_MAX) + 1) return LLONG_MIN;
        return magnitude == static_cast<unsigned long long>(LLONG_MAX) + 1 ? LLONG_MIN : -static_cast<long long>(magnitude);
    }
    if (overflow || magnitude > static_cast<unsigned long long>(LLONG_MAX)) return LLONG_MAX;
    return static_cast<long long>(magnitude);
}

int NSString::intValue(std::string_view text) {
    long long value = longLongValue(text);
    if (value > INT_MAX) return INT_MAX;
    if (value < INT_MIN) return INT_MIN;
    return static_cast<int>(value);
}

double NSString::doubleValue(std::string_view text) {
    text = skipSpace(text);
    // Only a plain decimal number with an optional exponent is read: no hex,
    // no "inf" or "nan".
    std::size_t at = 0;
    auto digits = [&] {
        std::size_t from = at;
        while (at < text.size() && std::isdigit(static_cast<unsigned char>(text[at]))) ++at;
        return at - from;
    };
    if (at < text.size() && (text[at] == '+' || text[at] == '-')) ++at;
    std::size_t mantissa = digits();
    if (at < text.size() && text[at] == '.') {
        ++at;
        mantissa += digits();
    }
    if (mantissa == 0) return 0;
    std::size_t end = at;
    if (at < text.size() && (text[at] == 'e' || text[at] == 'E')) {
        ++at;
        if (at < text.size() && (text[at] == '+' || text[at] == '-')) ++at;
        if (digits() > 0) end = at;
    }
    return std::strtod(std::string(text.substr(0, end)).c_str(), nullptr);
}

bool NSString::boolValue(std::string_view text) {
    text = skipSpace(text);
    std::size_t at = 0;
    if (at < text.size() && (text[at] == '+' || text[at] == '-')) ++at;
    while (at < text.size() && text[at] == '0') ++at;
    if (at >= text.size()) return false;
    char c = text[at];
    return c == 'Y' || c == 'y' || c == 'T' || c == 't' || (c >= '1' && c <= '9');
}
