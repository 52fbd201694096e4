#include "foundation/NSScanner.h"

#include <climits>

#include "foundation/UTF16.h"

namespace {

int digitValue(char16_t c, int base) {
    int value = -1;
    if (c >= u'0' && c <= u'9') value = c - u'0';
    else if (c >= u'a' && c <= u'f') value = c - u'a' + 10;
    else if (c >= u'A' && c <= u'F') value = c - u'A' + 10;
    return value < base ? value : -1;
}

}  // namespace

NSScanner::NSScanner(std::string_view text) : units_(UTF16::encode(text)) {}

std::size_t NSScanner::skip(std::size_t from) const {
    // Surrogates are never white space, so units can be tested one by one.
    while (from < units_.size() && skipped_.characterIsMember(units_[from])) ++from;
    return from;
}

bool NSScanner::isAtEnd() const { return skip(location_) >= units_.size(); }

bool NSScanner::scanSigned(long long minimum, long long maximum, long long* result) {
    std::size_t at = skip(location_);
    bool negative = false;
    if (at < units_.size() && (units_[at] == u'+' || units_[at] == u'-')) negative = units_[at++] == u'-';
    if (at >= units_.size() || digitValue(units_[at], 10) < 0) return false;
    // Accumulate towards the sign's side so that the minimum is reachable.
    long long value = 0;
    bool clamped = false;
    for (int digit; at < units_.size() && (digit = digitValue(units_[at], 10)) >= 0; ++at) {
        if (clamped) continue;
        if (negative ? value < (minimum + digit) / 10 : value > (maximum - digit) / 10) {
            value = negative ? minimum : maximum;
            clamped = true;
        } else {
            value = value * 10 + (negative ? -digit : digit);
        }
    }
    location_ = at;
    if (result) *result = value;
    return true;
}

bool NSScanner::scanHex(unsigned long long maximum, unsigned long long* result) {
    std::size_t at = skip(location_);
    if (at + 2 < units_.size() && units_[at] == u'0' && (units_[at + 1] == u'x' || units_[at + 1] == u'X') &&
        digitValue(units_[at + 2], 16) >= 0) {
        at += 2;
    }
    if (at >= units_.size() || digitValue(units_[at], 16) < 0) return false;
    unsigned long long value = 0;
    for (int digit; at < units_.size() && (digit = digitValue(units_[at], 16)) >= 0; ++at) {
        value = value > (maximum - static_cast<unsigned>(digit)) / 16 ? maximum : value * 16 + static_cast<unsigned>(digit);
    }
    location_ = at;
    if (result) *result = value;
    return true;
}

bool NSScanner::scanInt(int* result) {
    long long value;
    if (!scanSigned(INT_MIN, INT_MAX, &value)) return false;
    if (result) *result = static_cast<int>(value);
    return true;
}

bool NSScanner::scanInteger(long* result) {
    long long value;
    if (!scanSigned(LONG_MIN, LONG_MAX, &value)) return false;
    if (result) *result = static_cast<long>(value);
    return true;
}

bool NSScanner::scanLongLong(long long* result) { return scanSigned(LLONG_MIN, LLONG_MAX, result); }

bool NSScanner::scanHexInt(unsigned* result) {
    unsigned long long value;
    if (!scanHex(UINT_MAX, &value)) return false;
    if (result) *result = static_cast<unsigned>(value);
    return true;
}

bool NSScanner::scanHexLongLong(unsigned long long* result) { return scanHex(ULLONG_MAX, result); }
