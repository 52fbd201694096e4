#include "foundation/NSURL.h"

#include <filesystem>
#include <system_error>

#include "foundation/NSCharacterSet.h"
#include "foundation/NSString.h"

namespace {

// Percent-decoded text; the text as written when it does not decode to UTF-8.
std::string decoded(const std::string& text) {
    return NSString::stringByRemovingPercentEncoding(text).value_or(text);
}

std::string encodedAsPath(std::string_view text) {
    return NSString::stringByAddingPercentEncodingWithAllowedCharacters(text,
                                                                        NSCharacterSet::URLPathAllowedCharacterSet());
}

}  // namespace

NSURL::NSURL(std::string relativeString, Ref<NSURL> baseURL, URLParts resolved)
    : relativeString_(std::move(relativeString)), baseURL_(std::move(baseURL)), parts_(std::move(resolved)) {}

Ref<NSURL> NSURL::URLWithString(std::string_view string) { return URLWithString(string, nullptr); }

Ref<NSURL> NSURL::URLWithString(std::string_view string, const Ref<NSURL>& baseURL) {
    // Against a base, the empty reference is the base itself (without its fragment).
    auto parts = string.empty() && baseURL ? std::optional<URLParts>(URLParts{}) : URLParts::parse(string);
    if (!parts) return nullptr;
    if (!baseURL) return make<NSURL>(std::string(string), nullptr, std::move(*parts));
    return make<NSURL>(std::string(string), baseURL, parts->resolvedAgainst(baseURL->parts_));
}

Ref<NSURL> NSURL::fileURLWithPath(std::string_view path) {
    std::string absolute(path);
    if (!absolute.starts_with('/')) {
        std::error_code error;
        auto directory = std::filesystem::current_path(error).string();
        if (!directory.ends_with('/')) directory += '/';
        absolute = directory + absolute;
    }
    std::error_code error;
    if (!absolute.ends_with('/') && std::filesystem::is_directory(absolute, error)) absolute += '/';
    return URLWithString("file://" + encodedAsPath(absolute));
}

std::string NSURL::absoluteString() const { return baseURL_ ? parts_.string() : relativeString_; }

Ref<NSURL> NSURL::absoluteURL() {
    if (!baseURL_) return self<NSURL>();
    return make<NSURL>(parts_.string(), nullptr, parts_);
}

std::optional<std::string> NSURL::host() const {
    if (!parts_.hasAuthority || parts_.host.empty()) return std::nullopt;
    const auto& host = parts_.host;
    if (host.front() == '[') return decoded(host.substr(1, host.size() - 2));  // "%25" before a zone id
    return decoded(host);
}

std::optional<std::string> NSURL::user() const {
    if (!parts_.user) return std::nullopt;
    return decoded(*parts_.user);
}

std::optional<std::string> NSURL::password() const {
    if (!parts_.password) return std::nullopt;
    return decoded(*parts_.password);
}

std::string NSURL::path() const {
    std::string path = parts_.path;
    if (path.size() > 1 && path.ends_with('/')) path.pop_back();
    return decoded(path);
}

std::vector<std::string> NSURL::pathComponents() const {
    std::vector<std::string> components;
    std::string_view path = parts_.path;
    if (path.starts_with('/')) components.push_back("/");
    while (!path.empty()) {
        auto slash = path.find('/');
        auto segment = path.substr(0, slash);
        if (!segment.empty()) components.push_back(decoded(std::string(segment)));
        path = slash == std::string_view::npos ? std::string_view() : path.substr(slash + 1);
    }
    return components;
}

std::string NSURL::lastPathComponent() const {
    auto components = pathComponents();
    return components.empty() ? std::string() : components.back();
}

std::string NSURL::pathExtension() const {
    auto last = lastPathComponent();
    auto dot = last.rfind('.');
    if (dot == std::string::npos || dot == 0 || dot + 1 == last.size()) return {};
    return last.substr(dot + 1);
}

bool NSURL::isFileURL() const {
    if (!parts_.scheme || parts_.scheme->size() != 4) return false;
    return NSString::lowercaseString(*parts_.scheme) == "file";
}

Ref<NSURL> NSURL::URLByAppendingPathComponent(std::string_view component) const {
    URLParts appended = parts_;
    if (!appended.path.ends_with('/') && (!appended.path.empty() || appended.hasAuthority)) appended.path += '/';
    appended.path += encodedAsPath(component);
    return URLWithString(appended.string());
}

std::string NSURL::description() const {
    if (!baseURL_) return relativeString_;
    return relativeString_ + " -- " + baseURL_->description();
}

bool NSURL::isEqual(const NSObject& other) const {
    auto url = dynamic_cast<const NSURL*>(&other);
    if (!url || url->relativeString_ != relativeString_) return false;
    if (!baseURL_ || !url->baseURL_) return !baseURL_ && !url->baseURL_;
    return baseURL_->isEqual(*url->baseURL_);
}
