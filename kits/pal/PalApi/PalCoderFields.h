#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "foundation/NSCoder.h"

// The Pal kit's archived fields that may be missing: data kept as nil when
// absent, texts read back as "" when absent.
namespace PalCoderFields {

inline Value optionalData(const std::optional<NSData>& data) { return data ? Value(*data) : Value(); }

inline std::optional<NSData> dataFor(NSCoder& coder, std::string_view key) {
    Value value = coder.decodeObjectForKey(key);
    if (const NSData* data = value.data()) return *data;
    return std::nullopt;
}

inline std::string textFor(NSCoder& coder, std::string_view key) {
    return coder.decodeObjectForKey(key).stringValue().value_or("");
}

}  // namespace PalCoderFields
