#pragma once

#include <optional>

#include "foundation/NSData.h"
#include "foundation/NSError.h"
#include "foundation/Value.h"

// JSON text to and from Value.
//
// Reading keeps number kinds: `1` is an Integer, `1.0`, `1e2` and `-0` are
// Reals, non-negative integers beyond int64 are Unsigned (beyond uint64,
// Reals), `true` is a Bool, `null` is Value::null(). Objects keep their key
// order; a repeated key keeps its first position and its last value. Any value may stand at the top level. Input
// that is not JSON (truncated, trailing garbage, invalid UTF-8, unpaired
// surrogate escapes, numbers out of double range, nesting deeper than
// maxDepth) gives nil.
//
// Writing accepts an array or a dictionary at the top level, holding nulls,
// bools, numbers (finite reals only), texts in valid UTF-8, arrays and
// dictionaries, nested at most maxDepth deep. Texts escape '"', '\\', '/' and
// control characters and keep other characters as UTF-8. Reals are written in
// their shortest round-trip form, integral ones without a fraction (1.0 is
// written "1", as the platform's writer does; it reads back as an Integer).
// The pretty form indents by two spaces and writes members as `"key" : value`.
class NSJSONSerialization {
public:
    static constexpr int maxDepth = 512;
    // The error code of unreadable JSON, in NSCocoaErrorDomain.
    static constexpr long readErrorCode = 3840;

    // The value the JSON text in `data` holds, or nil; on failure `error`
    // (when given) receives an NSError telling where reading stopped.
    static Value JSONObjectWithData(const NSData& data, Ref<NSError>* error = nullptr);
    // The JSON text of `object`, or nothing when it is not a valid JSON object.
    static std::optional<NSData> dataWithJSONObject(const Value& object, bool pretty = false);
    static bool isValidJSONObject(const Value& object);
};
