#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "foundation/ICURegex.h"
#include "foundation/NSError.h"
#include "foundation/NSObject.h"
#include "foundation/NSRange.h"
#include "foundation/NSTextCheckingResult.h"

enum NSRegularExpressionOptions : unsigned {
    NSRegularExpressionCaseInsensitive = 1 << 0,
    NSRegularExpressionAllowCommentsAndWhitespace = 1 << 1,
    NSRegularExpressionIgnoreMetacharacters = 1 << 2,
    NSRegularExpressionDotMatchesLineSeparators = 1 << 3,
    NSRegularExpressionAnchorsMatchLines = 1 << 4,
    NSRegularExpressionUseUnixLineSeparators = 1 << 5,
    NSRegularExpressionUseUnicodeWordBoundaries = 1 << 6,
};

// A regular expression with ICU's syntax and semantics. Searches take a
// range of the text in UTF-16 units (the whole text when none is given) and
// answer ranges in the same units.
class NSRegularExpression : public NSObject {
public:
    // Nothing, and an error in the Cocoa domain (code 2048, the pattern as
    // "NSInvalidValue"), when the pattern does not compile.
    static Ref<NSRegularExpression> regularExpressionWithPattern(std::string_view pattern, unsigned options = 0,
                                                                 Ref<NSError>* error = nullptr);

    NSRegularExpression(std::string pattern, unsigned options, ICURegex compiled)
        : pattern_(std::move(pattern)), options_(options), compiled_(std::move(compiled)) {}

    const std::string& pattern() const { return pattern_; }
    unsigned options() const { return options_; }
    std::size_t numberOfCaptureGroups() const { return compiled_.numberOfCaptureGroups(); }

    std::size_t numberOfMatchesInString(std::string_view text, std::optional<NSRange> range = std::nullopt) const;
    std::optional<NSTextCheckingResult> firstMatchInString(std::string_view text,
                                                           std::optional<NSRange> range = std::nullopt) const;
    std::vector<NSTextCheckingResult> matchesInString(std::string_view text,
                                                      std::optional<NSRange> range = std::nullopt) const;
    // Replaces each match by the template, where "$n" stands for group n
    // (as many digits as name an existing group) and "\" takes the next
    // character literally.
    std::string stringByReplacingMatchesInString(std::string_view text, std::string_view replacementTemplate,
                                                 std::optional<NSRange> range = std::nullopt) const;

private:
    std::vector<NSTextCheckingResult> search(const std::u16string& text, std::optional<NSRange> range,
                                             std::size_t maximum) const;

    std::string pattern_;
    unsigned options_;
    ICURegex compiled_;
};
