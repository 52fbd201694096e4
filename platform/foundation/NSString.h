#pragma once

#include <string>
#include <string_view>

#include "foundation/StringFormatter.h"

// The platform's text methods, on UTF-8 std::string. Each is a static member
// taking the receiver first: `[s intValue]` is `NSString::intValue(s)`.
class NSString {
public:
    // `stringWithFormat:`: printf-style conversions plus "%@", which prints a
    // Value, a text or a reference object by its description ("(null)" for
    // nil). Integer conversions of a text read its leading integer.
    template <class... Args> static std::string stringWithFormat(std::string_view format, const Args&... args) {
        return StringFormatter::format(format, {FormatArgument(args)...});
    }

    // Leading-number parses: leading white space is skipped, then a sign and
    // digits are read as far as they go; no number gives 0. Results that do
    // not fit are clamped to the type's range.
    static int intValue(std::string_view text);
    static long long longLongValue(std::string_view text);
    static long integerValue(std::string_view text) { return static_cast<long>(longLongValue(text)); }
    static double doubleValue(std::string_view text);
    static float floatValue(std::string_view text) { return static_cast<float>(doubleValue(text)); }
    // True when the text starts (after white space, a sign and zeros) with
    // "Y", "y", "T", "t" or a digit 1-9.
    static bool boolValue(std::string_view text);
};
