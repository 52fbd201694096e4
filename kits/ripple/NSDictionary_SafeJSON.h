#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "foundation/Value.h"

// Typed reads from a dictionary that came from JSON or a URL's query: a
// value of another kind reads as nothing or 0.
class NSDictionary_SafeJSON {
public:
    NSDictionary_SafeJSON() = delete;

    static std::optional<std::string> rpApi_stringForKey(const Dictionary& dictionary, std::string_view key);
    static const Array* rpApi_arrayForKey(const Dictionary& dictionary, std::string_view key);
    static const Dictionary* rpApi_dictionaryForKey(const Dictionary& dictionary, std::string_view key);
    // A number's value, or a text's leading decimal number ("12abc" is 12).
    static long rpApi_integerForKey(const Dictionary& dictionary, std::string_view key);
    static float rpApi_floatForKey(const Dictionary& dictionary, std::string_view key);
    static double rpApi_doubleForKey(const Dictionary& dictionary, std::string_view key);
};
