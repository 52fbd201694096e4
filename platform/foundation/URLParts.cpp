#include "foundation/URLParts.h"

#include <cctype>
#include <string>

namespace {

bool isHex(char c) { return std::isxdigit(static_cast<unsigned char>(c)) != 0; }
bool isAlpha(char c) { return std::isalpha(static_cast<unsigned char>(c)) != 0; }
bool isDigit(char c) { return c >= '0' && c <= '9'; }

// Unreserved, reserved and "%": every byte a URL text may hold ("[" and "]"
// are checked separately since only an IPv6 host may hold them).
bool isURLCharacter(char c) {
    if (isAlpha(c) || isDigit(c)) return true;
    return std::string_view("-._~:/?#[]@!$&'()*+,;=%").find(c) != std::string_view::npos;
}

bool hasValidCharacters(std::string_view text) {
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (!isURLCharacter(text[i])) return false;
        if (text[i] == '%' && (i + 2 >= text.size() || !isHex(text[i + 1]) || !isHex(text[i + 2])))
            return false;
    }
    return true;
}

bool hasBrackets(std::string_view text) { return text.find_first_of("[]") != std::string_view::npos; }

bool isScheme(std::string_view text) {
    if (text.empty() || !isAlpha(text[0])) return false;
    for (char c : text)
        if (!isAlpha(c) && !isDigit(c) && c != '+' && c != '-' && c != '.') return false;
    return true;
}

// "" gives no port; otherwise decimal digits up to 65535.
bool parsePort(std::string_view text, std::optional<int>& port) {
    if (text.empty()) return true;
    if (text.size() > 5) return false;
    int value = 0;
    for (char c : text) {
        if (!isDigit(c)) return false;
        value = value * 10 + (c - '0');
    }
    if (value > 65535) return false;
    port = value;
    return true;
}

bool isUnreserved(char c) { return isAlpha(c) || isDigit(c) || c == '-' || c == '.' || c == '_' || c == '~'; }

// An IPv6 address, optionally with a zone id after "%25" (RFC 6874) made of
// unreserved characters and percent escapes (already checked well-formed).
bool isIPv6Literal(std::string_view inner) {
    auto zone = inner.find("%25");
    auto address = inner.substr(0, zone);
    if (zone != std::string_view::npos) {
        auto id = inner.substr(zone + 3);
        if (id.empty()) return false;
        for (char c : id)
            if (!isUnreserved(c) && !isHex(c) && c != '%') return false;
    }
    if (address.find(':') == std::string_view::npos) return false;
    for (char c : address)
        if (!isHex(c) && c != ':' && c != '.') return false;
    return true;
}

bool parseAuthority(std::string_view authority, URLParts& parts) {
    parts.hasAuthority = true;
    auto at = authority.rfind('@');
    if (at != std::string_view::npos) {
        auto userInfo = authority.substr(0, at);
        auto colon = userInfo.find(':');
        parts.user = std::string(userInfo.substr(0, colon));
        if (colon != std::string_view::npos) parts.password = std::string(userInfo.substr(colon + 1));
        if (hasBrackets(userInfo)) return false;
        authority = authority.substr(at + 1);
    }
    std::string_view portText;
    if (!authority.empty() && authority[0] == '[') {
        auto close = authority.find(']');
        if (close == std::string_view::npos || !isIPv6Literal(authority.substr(1, close - 1))) return false;
        auto after = authority.substr(close + 1);
        if (!after.empty()) {
            if (after[0] != ':') return false;
            portText = after.substr(1);
        }
        parts.host = std::string(authority.substr(0, close + 1));
    } else {
        auto colon = authority.find(':');
        parts.host = std::string(authority.substr(0, colon));
        if (colon != std::string_view::npos) portText = authority.substr(colon + 1);
        if (hasBrackets(parts.host)) return false;
    }
    return parsePort(portText, parts.port);
}

}  // namespace

std::optional<URLParts> URLParts::parse(std::string_view text) {
    if (text.empty() || !hasValidCharacters(text)) return std::nullopt;
    URLParts parts;

    auto hash = text.find('#');
    if (hash != std::string_view::npos) {
        auto fragment = text.substr(hash + 1);
        if (fragment.find('#') != std::string_view::npos || hasBrackets(fragment)) return std::nullopt;
        parts.fragment = std::string(fragment);
        text = text.substr(0, hash);
    }
    auto question = text.find('?');
    if (question != std::string_view::npos) {
        auto query = text.substr(question + 1);
        if (hasBrackets(query)) return std::nullopt;
        parts.query = std::string(query);
        text = text.substr(0, question);
    }
    auto colon = text.find(':');
    if (colon != std::string_view::npos && colon < text.find('/') && isScheme(text.substr(0, colon))) {
        parts.scheme = std::string(text.substr(0, colon));
        text = text.substr(colon + 1);
    }
    if (text.starts_with("//")) {
        text = text.substr(2);
        auto slash = text.find('/');
        if (!parseAuthority(text.substr(0, slash), parts)) return std::nullopt;
        text = slash == std::string_view::npos ? std::string_view() : text.substr(slash);
    }
    if (hasBrackets(text)) return std::nullopt;
    parts.path = std::string(text);
    return parts;
}

bool URLParts::pathFitsTheRest() const {
    // After an authority the path is empty or starts with "/"; without one it
    // cannot start with "//" (it would read as an authority), and without a
    // scheme its first segment cannot hold ":" (it would read as a scheme).
    if (hasAuthority) return path.empty() || path.starts_with('/');
    if (path.starts_with("//")) return false;
    return scheme || path.substr(0, path.find('/')).find(':') == std::string::npos;
}

std::string URLParts::string() const {
    std::string text;
    auto append = [&text](char separator, const std::string& piece) {
        text += separator;
        text += piece;
    };
    if (scheme) text += *scheme + ':';
    if (hasAuthority) {
        text += "//";
        if (user) {
            text += *user;
            if (password) append(':', *password);
            text += '@';
        }
        text += host;
        if (port) append(':', std::to_string(*port));
    }
    text += path;
    if (query) append('?', *query);
    if (fragment) append('#', *fragment);
    return text;
}

std::string URLParts::removeDotSegments(std::string_view input) {
    std::string output;
    auto dropLastSegment = [&output] {
        auto slash = output.rfind('/');
        output.erase(slash == std::string::npos ? 0 : slash);
    };
    while (!input.empty()) {
        if (input.starts_with("../")) {
            input.remove_prefix(3);
        } else if (input.starts_with("./")) {
            input.remove_prefix(2);
        } else if (input.starts_with("/./")) {
            input.remove_prefix(2);
        } else if (input == "/.") {
            input = "/";
        } else if (input.starts_with("/../")) {
            input.remove_prefix(3);
            dropLastSegment();
        } else if (input == "/..") {
            input = "/";
            dropLastSegment();
        } else if (input == "." || input == "..") {
            input = {};
        } else {
            auto end = input.find('/', input[0] == '/' ? 1 : 0);
            if (end == std::string_view::npos) end = input.size();
            output += input.substr(0, end);
            input.remove_prefix(end);
        }
    }
    return output;
}

URLParts URLParts::resolvedAgainst(const URLParts& base) const {
    if (scheme) {
        URLParts target = *this;
        target.path = removeDotSegments(path);
        return target;
    }
    URLParts target;
    target.scheme = base.scheme;
    target.fragment = fragment;
    if (hasAuthority) {
        target.hasAuthority = true;
        target.user = user;
        target.password = password;
        target.host = host;
        target.port = port;
        target.path = removeDotSegments(path);
        target.query = query;
        return target;
    }
    target.hasAuthority = base.hasAuthority;
    target.user = base.user;
    target.password = base.password;
    target.host = base.host;
    target.port = base.port;
    if (path.empty()) {
        target.path = base.path;
        target.query = query ? query : base.query;
        return target;
    }
    target.query = query;
    if (path[0] == '/') {
        target.path = removeDotSegments(path);
    } else if (base.hasAuthority && base.path.empty()) {
        target.path = removeDotSegments("/" + path);
    } else {
        auto slash = base.path.rfind('/');
        std::string merged = slash == std::string::npos ? path : base.path.substr(0, slash + 1) + path;
        target.path = removeDotSegments(merged);
    }
    return target;
}
