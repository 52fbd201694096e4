#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "foundation/NSCoder.h"

// The Pal kit's archived fields that may be missing: data kept as nil when
// absent, texts read back as "" when absent, or as nothing where the field
// tells a missing text from an empty one.
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

inline std::optional<std::string> optionalTextFor(NSCoder& coder, std::string_view key) {
    return coder.decodeObjectForKey(key).stringValue();
}

// The pieces of data of a stored list (such as "image_data_list"), other
// entries skipped; none when the value is no list.
inline std::vector<NSData> dataItems(const Value& list) {
    std::vector<NSData> items;
    if (const Array* entries = list.array())
        for (const Value& entry : *entries)
            if (const NSData* data = entry.data()) items.push_back(*data);
    return items;
}

}  // namespace PalCoderFields
