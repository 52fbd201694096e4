#pragma once

#include <string_view>

#include "graphics/CGGeometry.h"
#include "graphics/UIColor.h"

// Colours from hex text, the way every screen writes them ("#5879FF"): six
// hexadecimal digits for red, green and blue, after an optional "#" or "0x".
// Unreadable text gives the clear colour, never a failure.
class UIColorHex {
public:
    UIColorHex() = delete;

    // Opaque: colorWithHexString(text, 1.0).
    static UIColor colorWithHexStringWithHexString(std::string_view hexString);
    // Steps: trim white space and line ends, upper-case; fewer than six
    // characters is clear; drop a leading "0x" and then a leading "#" (both
    // tested on the text as given, so " #5879FF" keeps its "#" and fails);
    // anything but six characters left is clear; each pair reads as far as
    // it has hex digits (a pair starting with another character reads 0).
    static UIColor colorWithHexString(std::string_view hexString, CGFloat alpha);
};

// The screens' shorthand for an opaque colour from hex text: hex("#F5F5F5").
inline UIColor hex(std::string_view text) { return UIColorHex::colorWithHexStringWithHexString(text); }
