#pragma once

#include <optional>
#include <string>

#include "foundation/Value.h"

// Writes a Value as an XML property list (UTF-8, tab-indented). Integers
// keep their full signed or unsigned 64-bit range, reals and dates read back
// exactly, texts keep their carriage returns.
class XMLPropertyListWriter {
public:
    // Nothing when the value holds what the form cannot: nil, null, object
    // references, texts that are not UTF-8 or hold characters XML cannot carry
    // (NUL and most other controls), dates beyond eleven-digit years, or
    // nesting deeper than readers take.
    static std::optional<std::string> write(const Value& value);
};
