#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

#include "foundation/Value.h"

// What the XML and binary property-list readers and writers share.
namespace PropertyListFormat {

// Property-list dates count seconds from 2001-01-01 00:00:00 UTC; ours from 1970.
inline constexpr double secondsFrom1970To2001 = 978307200.0;
// Deeper nesting is refused rather than risking the stack.
inline constexpr int maximumDepth = 512;
// Keyed-archive UIDs travel in our values as a one-entry dictionary {"CF$UID": n}.
inline constexpr std::string_view uidKey = "CF$UID";

inline Value uid(std::uint64_t number) { return Value(Dictionary{{std::string(uidKey), number}}); }

// The UID a dictionary stands for: exactly one entry, "CF$UID", holding an
// integer that is not negative.
inline std::optional<std::uint64_t> uidOf(const Dictionary& dictionary) {
    if (dictionary.count() != 1) return std::nullopt;
    const Value* number = dictionary.find(uidKey);
    if (!number || !number->isInteger()) return std::nullopt;
    return number->unsignedInteger();
}

}  // namespace PropertyListFormat
