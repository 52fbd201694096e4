#include "foundation/NSLocale.h"

#include <cstdlib>

namespace {

// The locale part of LANG ("zh_CN" of "zh_CN.UTF-8@pinyin"); "" when LANG
// names no language.
std::string localeFromEnvironment() {
    const char* lang = std::getenv("LANG");
    std::string value = lang ? lang : "";
    value = value.substr(0, value.find_first_of(".@"));
    if (value == "C" || value == "POSIX") return {};
    return value;
}

}  // namespace

Ref<NSLocale> NSLocale::localeWithLocaleIdentifier(std::string_view identifier) {
    return make<NSLocale>(std::string(identifier));
}

Ref<NSLocale> NSLocale::currentLocale() {
    auto identifier = localeFromEnvironment();
    return make<NSLocale>(identifier.empty() ? "en_US" : identifier);
}

std::vector<std::string> NSLocale::preferredLanguages() {
    auto tag = localeFromEnvironment();
    if (tag.empty()) return {"en"};
    for (auto& c : tag)
        if (c == '_') c = '-';
    return {tag};
}

bool NSLocale::isEqual(const NSObject& other) const {
    auto locale = dynamic_cast<const NSLocale*>(&other);
    return locale && locale->identifier_ == identifier_;
}
