#pragma once

#include <optional>

#include "foundation/NSData.h"
#include "foundation/Value.h"

// Property lists in their XML and binary ("bplist00") forms, to and from
// Value: dictionaries (in the order the file gives), arrays, texts, signed
// and unsigned 64-bit integers, reals, bools, data and dates (fractions of a
// second kept). Keyed-archive UIDs of any width read as a one-entry
// dictionary {"CF$UID": n}, and such a dictionary writes back as a UID.
class NSPropertyListSerialization {
public:
    enum class Format { XML, Binary };

    // The property list in `data`, either form (XML in UTF-8, UTF-16 or a
    // declared encoding); nothing when it is malformed.
    // `format`, when given, receives the form that was read.
    static std::optional<Value> propertyListWithData(const NSData& data, Format* format = nullptr);
    // True when the value can be written as a property list (see below).
    static bool propertyList(const Value& plist, Format format);
    // Nothing when the value holds something the form cannot: nil, null,
    // object references, texts that are not valid UTF-8, nesting deeper than
    // 512 levels; in XML also texts with NUL or other characters XML cannot
    // carry, and dates beyond eleven-digit years.
    static std::optional<NSData> dataWithPropertyList(const Value& plist, Format format);
};
