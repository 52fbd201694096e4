#pragma once

#include <optional>

#include "foundation/NSData.h"
#include "foundation/Value.h"

// Property lists in their XML and binary ("bplist00") forms, to and from
// Value: dictionaries (in the order the file gives), arrays, texts, integers,
// reals, bools, data and dates. Keyed-archive UIDs read as a one-entry
// dictionary {"CF$UID": n}, and such a dictionary writes back as a UID.
class NSPropertyListSerialization {
public:
    enum class Format { XML, Binary };

    // The property list in `data`, either form; nothing when it is malformed
    // or holds a text that could not be written back (see below).
    // `format`, when given, receives the form that was read.
    static std::optional<Value> propertyListWithData(const NSData& data, Format* format = nullptr);
    // True when the value can be written as a property list (see below).
    static bool propertyList(const Value& plist, Format format);
    // Nothing when the value holds something a property list cannot: nil,
    // null, object references, texts that are not valid UTF-8 or hold NUL
    // characters, or unsigned
    // integers beyond the signed 64-bit range.
    static std::optional<NSData> dataWithPropertyList(const Value& plist, Format format);
};
