#include "foundation/NSRegularExpression.h"

#include <unicode/uregex.h>

#include "foundation/UTF16.h"

namespace {

std::uint32_t icuFlags(unsigned options) {
    std::uint32_t flags = 0;
    if (options & NSRegularExpressionCaseInsensitive) flags |= UREGEX_CASE_INSENSITIVE;
    if (options & NSRegularExpressionAllowCommentsAndWhitespace) flags |= UREGEX_COMMENTS;
    if (options & NSRegularExpressionIgnoreMetacharacters) flags |= UREGEX_LITERAL;
    if (options & NSRegularExpressionDotMatchesLineSeparators) flags |= UREGEX_DOTALL;
    if (options & NSRegularExpressionAnchorsMatchLines) flags |= UREGEX_MULTILINE;
    if (options & NSRegularExpressionUseUnixLineSeparators) flags |= UREGEX_UNIX_LINES;
    if (options & NSRegularExpressionUseUnicodeWordBoundaries) flags |= UREGEX_UWORD;
    return flags;
}

bool isDigit(char16_t c) { return c >= u'0' && c <= u'9'; }

// The template filled in for one match.
std::u16string expand(std::u16string_view replacementTemplate, std::u16string_view text, const NSTextCheckingResult& match) {
    std::u16string out;
    const std::size_t groups = match.numberOfRanges() - 1;
    for (std::size_t at = 0; at < replacementTemplate.size(); ++at) {
        char16_t c = replacementTemplate[at];
        if (c == u'\\' && at + 1 < replacementTemplate.size()) {
            out += replacementTemplate[++at];
        } else if (c == u'$' && at + 1 < replacementTemplate.size() && isDigit(replacementTemplate[at + 1])) {
            std::size_t group = replacementTemplate[++at] - u'0';
            while (at + 1 < replacementTemplate.size() && isDigit(replacementTemplate[at + 1]) &&
                   group * 10 + (replacementTemplate[at + 1] - u'0') <= groups) {
                group = group * 10 + (replacementTemplate[++at] - u'0');
            }
            NSRange range = match.rangeAtIndex(group);
            if (range.location != NSNotFound) out += text.substr(range.location, range.length);
        } else {
            out += c;
        }
    }
    return out;
}

}  // namespace

Ref<NSRegularExpression> NSRegularExpression::regularExpressionWithPattern(std::string_view pattern, unsigned options,
                                                                           Ref<NSError>* error) {
    std::optional<ICURegex> compiled = ICURegex::compile(UTF16::encode(pattern), icuFlags(options));
    if (!compiled) {
        if (error) *error = NSError::errorWithDomain(NSCocoaErrorDomain, 2048, {{"NSInvalidValue", std::string(pattern)}});
        return nullptr;
    }
    return make<NSRegularExpression>(std::string(pattern), options, std::move(*compiled));
}

std::vector<NSTextCheckingResult> NSRegularExpression::search(const std::u16string& text, std::optional<NSRange> range,
                                                              std::size_t maximum) const {
    std::vector<NSTextCheckingResult> results;
    for (auto& ranges : compiled_.find(text, range.value_or(NSRange{0, text.size()}), maximum)) {
        results.emplace_back(std::move(ranges));
    }
    return results;
}

std::size_t NSRegularExpression::numberOfMatchesInString(std::string_view text, std::optional<NSRange> range) const {
    return search(UTF16::encode(text), range, SIZE_MAX).size();
}

std::optional<NSTextCheckingResult> NSRegularExpression::firstMatchInString(std::string_view text,
                                                                            std::optional<NSRange> range) const {
    auto results = search(UTF16::encode(text), range, 1);
    if (results.empty()) return std::nullopt;
    return std::move(results.front());
}

std::vector<NSTextCheckingResult> NSRegularExpression::matchesInString(std::string_view text,
                                                                       std::optional<NSRange> range) const {
    return search(UTF16::encode(text), range, SIZE_MAX);
}

std::string NSRegularExpression::stringByReplacingMatchesInString(std::string_view text, std::string_view replacementTemplate,
                                                                  std::optional<NSRange> range) const {
    const std::u16string units = UTF16::encode(text);
    const std::u16string filler = UTF16::encode(replacementTemplate);
    std::u16string out;
    std::size_t copied = 0;
    for (const NSTextCheckingResult& match : search(units, range, SIZE_MAX)) {
        out.append(units, copied, match.range().location - copied);
        out += expand(filler, units, match);
        copied = match.range().max();
    }
    out.append(units, copied);
    return UTF16::decode(out);
}
