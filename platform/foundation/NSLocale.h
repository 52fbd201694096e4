#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "foundation/NSObject.h"

// A locale by its identifier ("en_US_POSIX", "zh_CN"); formatters read it for
// month and weekday names and number shapes.
class NSLocale : public NSObject {
public:
    explicit NSLocale(std::string identifier) : identifier_(std::move(identifier)) {}

    static Ref<NSLocale> localeWithLocaleIdentifier(std::string_view identifier);
    // The user's locale, from the LANG environment variable ("zh_CN.UTF-8" is
    // "zh_CN"); "en_US" when it is unset, "C" or "POSIX".
    static Ref<NSLocale> currentLocale();
    // The user's languages in order of preference, as language tags ("zh-CN");
    // ["en"] when LANG names none.
    static std::vector<std::string> preferredLanguages();

    const std::string& localeIdentifier() const { return identifier_; }

    std::string description() const override { return identifier_; }
    bool isEqual(const NSObject& other) const override;

private:
    std::string identifier_;
};
