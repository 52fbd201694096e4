#include "foundation/NSHTTPURLResponse.h"

#include <algorithm>
#include <cctype>
#include <charconv>

#include "foundation/HTTPHeaderName.h"

namespace {
const std::string* findField(const NSHTTPURLResponse::HeaderFields& fields, std::string_view name) {
    for (const auto& [key, value] : fields) {
        if (HTTPHeaderName::equal(key, name)) return &value;
    }
    return nullptr;
}

std::string trimmedLowercase(std::string_view text) {
    const auto first = text.find_first_not_of(" \t\"");
    const auto last = text.find_last_not_of(" \t\"");
    std::string result(first == std::string_view::npos ? std::string_view() : text.substr(first, last - first + 1));
    std::transform(result.begin(), result.end(), result.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return result;
}

std::optional<std::string> mimeTypeOf(const std::string* contentType) {
    if (!contentType) return std::nullopt;
    std::string type = trimmedLowercase(std::string_view(*contentType).substr(0, contentType->find(';')));
    if (type.empty()) return std::nullopt;
    return type;
}

std::optional<std::string> charsetOf(const std::string* contentType) {
    if (!contentType) return std::nullopt;
    std::string_view rest(*contentType);
    for (auto semicolon = rest.find(';'); semicolon != std::string_view::npos; semicolon = rest.find(';')) {
        rest = rest.substr(semicolon + 1);
        const std::string_view parameter = rest.substr(0, rest.find(';'));
        const auto equals = parameter.find('=');
        if (equals == std::string_view::npos || trimmedLowercase(parameter.substr(0, equals)) != "charset") continue;
        std::string charset = trimmedLowercase(parameter.substr(equals + 1));
        if (!charset.empty()) return charset;
    }
    return std::nullopt;
}

long long lengthOf(const std::string* contentLength) {
    if (!contentLength) return -1;
    long long length = -1;
    const char* end = contentLength->data() + contentLength->size();
    auto [stop, error] = std::from_chars(contentLength->data(), end, length);
    return error == std::errc() && stop == end && length >= 0 ? length : -1;
}
}  // namespace

NSHTTPURLResponse::NSHTTPURLResponse(Ref<NSURL> url, long statusCode, const HeaderFields& headerFields)
    : NSURLResponse(std::move(url), mimeTypeOf(findField(headerFields, "Content-Type")),
                    lengthOf(findField(headerFields, "Content-Length")),
                    charsetOf(findField(headerFields, "Content-Type"))),
      statusCode_(statusCode) {
    for (const auto& [name, value] : headerFields) {
        const auto existing = std::find_if(headerFields_.begin(), headerFields_.end(),
                                           [&field = name](const auto& entry) { return HTTPHeaderName::equal(entry.first, field); });
        if (existing == headerFields_.end()) {
            headerFields_.set(name, value);
        } else {
            existing->second = *existing->second.text() + ", " + value;
        }
    }
}

std::optional<std::string> NSHTTPURLResponse::valueForHTTPHeaderField(std::string_view field) const {
    for (const auto& [name, value] : headerFields_) {
        if (HTTPHeaderName::equal(name, field)) return *value.text();
    }
    return std::nullopt;
}
