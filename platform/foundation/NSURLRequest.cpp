#include "foundation/NSURLRequest.h"

#include <algorithm>

#include "foundation/HTTPHeaderName.h"

Ref<NSURLRequest> NSURLRequest::requestWithURL(Ref<NSURL> url, NSURLRequestCachePolicy cachePolicy,
                                               double timeoutInterval) {
    return make<NSURLRequest>(std::move(url), cachePolicy, timeoutInterval);
}

Dictionary NSURLRequest::allHTTPHeaderFields() const {
    Dictionary fields;
    for (const auto& [name, value] : headers_) fields.set(name, value);
    return fields;
}

std::optional<std::string> NSURLRequest::valueForHTTPHeaderField(std::string_view field) const {
    auto found = std::find_if(headers_.begin(), headers_.end(),
                              [field](const auto& header) { return HTTPHeaderName::equal(header.first, field); });
    if (found == headers_.end()) return std::nullopt;
    return found->second;
}

Ref<NSMutableURLRequest> NSMutableURLRequest::requestWithURL(Ref<NSURL> url, NSURLRequestCachePolicy cachePolicy,
                                                             double timeoutInterval) {
    return make<NSMutableURLRequest>(std::move(url), cachePolicy, timeoutInterval);
}

void NSMutableURLRequest::setValue(std::optional<std::string> value, std::string_view field) {
    auto found = std::find_if(headers_.begin(), headers_.end(),
                              [field](const auto& header) { return HTTPHeaderName::equal(header.first, field); });
    if (!value) {
        if (found != headers_.end()) headers_.erase(found);
    } else if (found != headers_.end()) {
        found->second = std::move(*value);
    } else {
        headers_.emplace_back(std::string(field), std::move(*value));
    }
}

void NSMutableURLRequest::setAllHTTPHeaderFields(const Dictionary& fields) {
    headers_.clear();
    for (const auto& [name, value] : fields) {
        if (const std::string* text = value.text()) setValue(*text, name);
    }
}
