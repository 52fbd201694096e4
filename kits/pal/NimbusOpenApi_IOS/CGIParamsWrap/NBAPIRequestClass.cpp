#include "kits/pal/NimbusOpenApi_IOS/CGIParamsWrap/NBAPIRequestClass.h"

#include <stdexcept>

NBAPIRequestClass::NBAPIRequestClass(std::string_view name, const NBAPIRequestClass* superclass,
                                     std::span<const std::string_view> properties)
    : name_(name), superclass_(superclass), properties_(properties.begin(), properties.end()) {
    if (!superclass_) return;
    const std::string& superName = superclass_->name();
    const std::size_t underscore = superName.find('_');
    if (underscore == std::string::npos) return;
    const std::string_view prefix = std::string_view(superName).substr(0, underscore + 1);
    for (std::string_view method : {"POST", "GET"}) {
        const std::size_t suffixLength = method.size() + 1;
        // The prefix and the suffix may not share characters.
        if (!name.starts_with(prefix) || name.size() < prefix.size() + suffixLength) continue;
        if (!name.ends_with(method) || name[name.size() - suffixLength] != '_') continue;
        path_ = std::string(name.substr(prefix.size(), name.size() - prefix.size() - suffixLength));
        method_ = std::string(method);
        return;
    }
    throw std::logic_error("Class name[" + name_ + "] isn't compatible with format: " + std::string(prefix) +
                           "(cgi path)_(POST|GET)");
}

Ref<NSURL> NBAPIRequestClass::addressFrom(const Ref<NSURL>& baseURL) const {
    if (!baseURL || !path_) return baseURL;
    return baseURL->URLByAppendingPathComponent(*path_);
}

std::optional<std::string_view> NBAPIRequestClass::keyOfProperty(std::string_view property) const {
    for (std::string_view declared : properties_)
        if (declared == property) return property.substr(kPropertyPrefix.size());
    return superclass_ ? superclass_->keyOfProperty(property) : std::nullopt;
}
