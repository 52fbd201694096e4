#pragma once

#include <optional>
#include <string_view>

#include "foundation/Value.h"

// Reads an XML property list into a Value. libxml2 parses the XML (in UTF-8,
// UTF-16 with its byte-order mark, or the encoding the XML declaration
// names); the conversion to values is ours and strict: a key outside a
// dictionary, a key without a value, a value without a key, stray text, an
// unknown element or a malformed integer, real, date or data gives nothing.
// Integers take the whole signed and unsigned 64-bit range (those above the
// signed range come back unsigned). Documents that declare entities are
// refused, so that nothing can make the parser expand text without bound.
class XMLPropertyListReader {
public:
    static std::optional<Value> read(std::string_view bytes);
};
