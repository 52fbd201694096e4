#pragma once

#include <optional>
#include <string>
#include <string_view>

// The pieces of a URL reference as they are written (still percent-encoded),
// split and checked by the generic URL syntax (RFC 3986):
//   scheme ":" "//" user ":" password "@" host ":" port path "?" query "#" fragment
// NSURL and NSURLComponents both stand on it.
struct URLParts {
    std::optional<std::string> scheme;
    // Set when the reference has an authority ("//..."), even an empty one.
    bool hasAuthority = false;
    std::optional<std::string> user;
    std::optional<std::string> password;
    // IPv6 literals keep their brackets here (and a zone id its "%25").
    std::string host;
    std::optional<int> port;
    std::string path;
    std::optional<std::string> query;
    std::optional<std::string> fragment;

    // Splits a URL text; nothing when it is empty or not a well-formed
    // reference: characters outside the URL alphabet (spaces, controls,
    // non-ASCII, quotes, braces...), a "%" not followed by two hex digits, a
    // second "#", brackets outside an IPv6 host, a port that is not a number
    // up to 65535.
    static std::optional<URLParts> parse(std::string_view text);

    // Whether the path can stand between the other pieces and read back as
    // a path: after an authority it is empty or starts with "/"; without one
    // it does not start with "//"; without a scheme either, its first
    // segment holds no ":".
    bool pathFitsTheRest() const;

    // The text of the pieces put back together.
    std::string string() const;

    // This reference resolved against an absolute base (RFC 3986, 5.2).
    URLParts resolvedAgainst(const URLParts& base) const;

    // The path with "." and ".." segments worked out.
    static std::string removeDotSegments(std::string_view path);
};
