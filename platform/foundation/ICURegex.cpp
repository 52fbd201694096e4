#include "foundation/ICURegex.h"

#include <unicode/uregex.h>

#include <algorithm>

void ICURegex::Closer::operator()(URegularExpression* expression) const { uregex_close(expression); }

std::optional<ICURegex> ICURegex::compile(std::u16string_view pattern, std::uint32_t flags, std::string* error) {
    UErrorCode status = U_ZERO_ERROR;
    UParseError where{};
    URegularExpression* compiled = uregex_open(reinterpret_cast<const UChar*>(pattern.data()),
                                               static_cast<int32_t>(pattern.size()), flags, &where, &status);
    if (U_FAILURE(status)) {
        if (compiled) uregex_close(compiled);
        if (error) *error = u_errorName(status);
        return std::nullopt;
    }
    return ICURegex(Handle(compiled, Closer()));
}

std::unique_ptr<URegularExpression, ICURegex::Closer> ICURegex::clone() const {
    UErrorCode status = U_ZERO_ERROR;
    std::unique_ptr<URegularExpression, Closer> copy(uregex_clone(compiled_.get(), &status));
    if (U_FAILURE(status)) copy.reset();
    return copy;
}

std::size_t ICURegex::numberOfCaptureGroups() const {
    UErrorCode status = U_ZERO_ERROR;
    int32_t count = uregex_groupCount(compiled_.get(), &status);
    return U_FAILURE(status) ? 0 : static_cast<std::size_t>(count);
}

bool ICURegex::matchesWhole(std::u16string_view text) const {
    auto matcher = clone();
    if (!matcher) return false;
    UErrorCode status = U_ZERO_ERROR;
    uregex_setText(matcher.get(), reinterpret_cast<const UChar*>(text.data()), static_cast<int32_t>(text.size()), &status);
    bool matched = uregex_matches(matcher.get(), 0, &status);
    return U_SUCCESS(status) && matched;
}

std::vector<std::vector<NSRange>> ICURegex::find(std::u16string_view text, NSRange region, std::size_t maximum) const {
    std::vector<std::vector<NSRange>> matches;
    auto matcher = clone();
    if (!matcher || region.location > text.size()) return matches;
    const std::size_t end = region.location + std::min(region.length, text.size() - region.location);
    UErrorCode status = U_ZERO_ERROR;
    uregex_setText(matcher.get(), reinterpret_cast<const UChar*>(text.data()), static_cast<int32_t>(text.size()), &status);
    uregex_setRegion(matcher.get(), static_cast<int32_t>(region.location), static_cast<int32_t>(end), &status);
    const int32_t groups = uregex_groupCount(matcher.get(), &status);
    while (U_SUCCESS(status) && matches.size() < maximum && uregex_findNext(matcher.get(), &status)) {
        std::vector<NSRange> ranges;
        for (int32_t group = 0; group <= groups; ++group) {
            int32_t start = uregex_start(matcher.get(), group, &status);
            int32_t stop = uregex_end(matcher.get(), group, &status);
            if (U_FAILURE(status) || start < 0) ranges.push_back({NSNotFound, 0});
            else ranges.push_back({static_cast<std::size_t>(start), static_cast<std::size_t>(stop - start)});
        }
        matches.push_back(std::move(ranges));
    }
    return matches;
}
