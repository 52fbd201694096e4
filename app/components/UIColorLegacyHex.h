#pragma once

#include <string_view>

#include "graphics/CGGeometry.h"
#include "graphics/UIColor.h"

// The older screens' colours from hex text. Unlike UIColorHex (the rule of
// the current screens), the prefixes are looked for after trimming and
// upper-casing, so " #5879ff" and "0x5879ff" read as well as "#5879FF".
// Unreadable text gives the clear colour.
class UIColorLegacyHex {
public:
    UIColorLegacyHex() = delete;

    // Trimmed of white space and line ends, upper-cased; 5 characters or
    // fewer is clear; a leading "0X" and then a leading "#" are dropped;
    // anything but 6 characters left is clear; the pairs are red, green and
    // blue (each read as far as it has hex digits), over 255.
    static UIColor colorWithHexString(std::string_view color, CGFloat alpha);
    // Opaque.
    static UIColor colorWithHexString(std::string_view color);
};
