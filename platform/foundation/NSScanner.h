#pragma once

#include <algorithm>
#include <cstddef>
#include <string>
#include <string_view>

#include "foundation/NSCharacterSet.h"
#include "foundation/NSObject.h"

// Reads numbers from the front of a text, moving a location (in UTF-16
// units) past what it read. Each scan first skips `charactersToBeSkipped`
// (white space and line ends unless changed); a scan that reads nothing
// answers false and leaves the location where it was. Results that do not
// fit are clamped to the type's range, and the digits are still consumed.
class NSScanner : public NSObject {
public:
    explicit NSScanner(std::string_view text);
    static Ref<NSScanner> scannerWithString(std::string_view text) { return make<NSScanner>(text); }

    std::size_t scanLocation() const { return location_; }
    void setScanLocation(std::size_t location) { location_ = std::min(location, units_.size()); }
    const NSCharacterSet& charactersToBeSkipped() const { return skipped_; }
    void setCharactersToBeSkipped(NSCharacterSet set) { skipped_ = std::move(set); }
    // True when only skipped characters remain.
    bool isAtEnd() const;

    // A decimal integer with an optional sign.
    bool scanInt(int* result);
    bool scanInteger(long* result);
    bool scanLongLong(long long* result);
    // Hexadecimal digits after an optional "0x" or "0X".
    bool scanHexInt(unsigned* result);
    bool scanHexLongLong(unsigned long long* result);

private:
    std::size_t skip(std::size_t from) const;
    bool scanSigned(long long minimum, long long maximum, long long* result);
    bool scanHex(unsigned long long maximum, unsigned long long* result);

    std::u16string units_;
    std::size_t location_ = 0;
    NSCharacterSet skipped_ = NSCharacterSet::whitespaceAndNewlineCharacterSet();
};
