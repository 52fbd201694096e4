#pragma once

#include <optional>
#include <string_view>

#include "foundation/ICURegex.h"
#include "foundation/NSObject.h"
#include "foundation/Value.h"

// The one predicate form in use: "SELF MATCHES %@" (keywords in any case,
// "MATCHES[c]" for a case-insensitive match, or the pattern quoted in the
// format itself). It holds for a text that the pattern matches as a whole,
// with ICU's semantics. A format of any other form, an invalid pattern or an
// object that is not a text never holds.
class NSPredicate : public NSObject {
public:
    static Ref<NSPredicate> predicateWithFormat(std::string_view format, const Value& argument = Value());

    explicit NSPredicate(std::optional<ICURegex> pattern) : pattern_(std::move(pattern)) {}

    bool evaluateWithObject(const Value& object) const;

private:
    std::optional<ICURegex> pattern_;
};
