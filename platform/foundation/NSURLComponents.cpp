#include "foundation/NSURLComponents.h"

#include "foundation/NSCharacterSet.h"
#include "foundation/NSString.h"

namespace {

std::string decoded(const std::string& text) {
    return NSString::stringByRemovingPercentEncoding(text).value_or(text);
}

std::optional<std::string> decoded(const std::optional<std::string>& text) {
    if (!text) return std::nullopt;
    return decoded(*text);
}

std::optional<std::string> encoded(const std::optional<std::string>& text, const NSCharacterSet& allowed) {
    if (!text) return std::nullopt;
    return NSString::stringByAddingPercentEncodingWithAllowedCharacters(*text, allowed);
}

NSCharacterSet queryAllowedExcept(std::string_view characters) {
    auto allowed = NSCharacterSet::URLQueryAllowedCharacterSet();
    allowed.removeCharactersInString(characters);
    return allowed;
}

}  // namespace

Ref<NSURLComponents> NSURLComponents::componentsWithString(std::string_view string) {
    auto parts = URLParts::parse(string);
    if (!parts) return nullptr;
    return make<NSURLComponents>(std::move(*parts));
}

Ref<NSURLComponents> NSURLComponents::componentsWithURL(const Ref<NSURL>& url, bool resolvingAgainstBaseURL) {
    if (!url) return nullptr;
    if (resolvingAgainstBaseURL) return make<NSURLComponents>(url->parts());
    return componentsWithString(url->relativeString());
}

Ref<NSURL> NSURLComponents::URL() const {
    if (!parts_.pathFitsTheRest()) return nullptr;
    return NSURL::URLWithString(string());
}

std::optional<std::string> NSURLComponents::host() const {
    if (!parts_.hasAuthority) return std::nullopt;
    const auto& host = parts_.host;
    if (host.starts_with('[')) return decoded(host.substr(1, host.size() - 2));  // "%25" before a zone id
    return decoded(host);
}

void NSURLComponents::setHost(std::optional<std::string> host) {
    if (!host) {
        parts_.host.clear();
        parts_.hasAuthority = parts_.port || parts_.user;
        return;
    }
    parts_.hasAuthority = true;
    if (host->find(':') != std::string::npos) {
        // An IPv6 address; a zone id's "%" and anything unusual in it are escaped.
        static const NSCharacterSet allowed = [] {
            auto set = NSCharacterSet::URLUnreservedCharacterSet();
            set.addCharactersInString(":");
            return set;
        }();
        parts_.host = "[" + NSString::stringByAddingPercentEncodingWithAllowedCharacters(*host, allowed) + "]";
    } else parts_.host = *encoded(host, NSCharacterSet::URLHostAllowedCharacterSet());
}

void NSURLComponents::setPort(std::optional<int> port) {
    parts_.port = port;
    if (port) parts_.hasAuthority = true;
}

std::string NSURLComponents::path() const { return decoded(parts_.path); }

void NSURLComponents::setPath(std::string_view path) {
    parts_.path = NSString::stringByAddingPercentEncodingWithAllowedCharacters(
        path, NSCharacterSet::URLPathAllowedCharacterSet());
}

std::optional<std::string> NSURLComponents::query() const { return decoded(parts_.query); }

void NSURLComponents::setQuery(std::optional<std::string> query) {
    parts_.query = encoded(query, NSCharacterSet::URLQueryAllowedCharacterSet());
}

std::optional<std::string> NSURLComponents::fragment() const { return decoded(parts_.fragment); }

void NSURLComponents::setFragment(std::optional<std::string> fragment) {
    parts_.fragment = encoded(fragment, NSCharacterSet::URLFragmentAllowedCharacterSet());
}

std::optional<std::vector<NSURLQueryItem>> NSURLComponents::queryItems() const {
    if (!parts_.query) return std::nullopt;
    std::vector<NSURLQueryItem> items;
    std::string_view query = *parts_.query;
    if (query.empty()) return items;
    for (std::size_t start = 0;;) {
        auto end = query.find('&', start);
        auto piece = query.substr(start, end == std::string_view::npos ? std::string_view::npos : end - start);
        auto equals = piece.find('=');
        std::optional<std::string> value;
        if (equals != std::string_view::npos) value = decoded(std::string(piece.substr(equals + 1)));
        items.emplace_back(decoded(std::string(piece.substr(0, equals))), std::move(value));
        if (end == std::string_view::npos) break;
        start = end + 1;
    }
    return items;
}

void NSURLComponents::setQueryItems(const std::optional<std::vector<NSURLQueryItem>>& items) {
    if (!items) {
        parts_.query.reset();
        return;
    }
    static const NSCharacterSet nameAllowed = queryAllowedExcept("&=");
    static const NSCharacterSet valueAllowed = queryAllowedExcept("&");
    std::string query;
    for (std::size_t i = 0; i < items->size(); ++i) {
        const auto& item = (*items)[i];
        if (i > 0) query += '&';
        query += NSString::stringByAddingPercentEncodingWithAllowedCharacters(item.name(), nameAllowed);
        if (!item.value()) continue;
        query += '=';
        query += NSString::stringByAddingPercentEncodingWithAllowedCharacters(*item.value(), valueAllowed);
    }
    parts_.query = query;
}
