#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "foundation/NSRange.h"

struct URegularExpression;

// A compiled ICU regular expression over UTF-16 text, shared by the
// platform's regular expressions and predicates. Safe to use from several
// threads: every search runs on its own clone.
class ICURegex {
public:
    // ICU's flags (UREGEX_*). Nothing, with ICU's error name, when the
    // pattern does not compile.
    static std::optional<ICURegex> compile(std::u16string_view pattern, std::uint32_t flags, std::string* error = nullptr);

    std::size_t numberOfCaptureGroups() const;
    // Whether the whole of `text` matches.
    bool matchesWhole(std::u16string_view text) const;
    // Every match inside `region`, each as its whole range followed by its
    // groups' ranges ({NSNotFound, 0} for a group that took no part).
    std::vector<std::vector<NSRange>> find(std::u16string_view text, NSRange region, std::size_t maximum = SIZE_MAX) const;

private:
    struct Closer {
        void operator()(URegularExpression* expression) const;
    };
    using Handle = std::shared_ptr<URegularExpression>;
    explicit ICURegex(Handle compiled) : compiled_(std::move(compiled)) {}
    std::unique_ptr<URegularExpression, Closer> clone() const;

    Handle compiled_;
};
