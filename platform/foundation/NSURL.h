#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "foundation/NSObject.h"
#include "foundation/URLParts.h"

// A URL: an absolute one, or a relative one together with the base it is
// read against. Immutable. Components answer what the platform answers:
// scheme, query and fragment as written; host, user, password and path
// percent-decoded.
class NSURL : public NSObject {
public:
    // Use the factories; the constructor is public only for make<T>().
    NSURL(std::string relativeString, Ref<NSURL> baseURL, URLParts resolved);

    // Nothing when the text is not a well-formed URL (empty, spaces, control
    // or non-ASCII characters, a bad percent escape, a bad port...).
    static Ref<NSURL> URLWithString(std::string_view string);
    // The text read relative to `baseURL` (RFC 3986 resolution); without a
    // base this is the one-argument form.
    static Ref<NSURL> URLWithString(std::string_view string, const Ref<NSURL>& baseURL);
    // A "file://" URL of the path, made absolute against the working directory
    // and percent-encoded; existing directories get a trailing "/".
    static Ref<NSURL> fileURLWithPath(std::string_view path);

    // The text as given, and the resolved text.
    const std::string& relativeString() const { return relativeString_; }
    std::string absoluteString() const;
    Ref<NSURL> baseURL() const { return baseURL_; }
    // This URL with its base worked in (itself when it has none).
    Ref<NSURL> absoluteURL();

    std::optional<std::string> scheme() const { return parts_.scheme; }
    // Without the brackets of an IPv6 literal; nothing when the URL names no host.
    std::optional<std::string> host() const;
    std::optional<int> port() const { return parts_.port; }
    std::optional<std::string> user() const;
    std::optional<std::string> password() const;
    // Decoded, without a trailing "/" (except for the root path itself).
    std::string path() const;
    // "/" first for an absolute path, then each non-empty decoded segment.
    std::vector<std::string> pathComponents() const;
    // The last path component; "" when the path is empty.
    std::string lastPathComponent() const;
    // The text after the last "." of the last component; "" when there is none.
    std::string pathExtension() const;
    std::optional<std::string> query() const { return parts_.query; }
    std::optional<std::string> fragment() const { return parts_.fragment; }
    bool isFileURL() const;

    // The absolute URL with `component` appended to its path as a new
    // segment, percent-encoded as a path.
    Ref<NSURL> URLByAppendingPathComponent(std::string_view component) const;

    // The text; a relative URL prints "relative -- base".
    std::string description() const override;
    // Same relative text and equal bases.
    bool isEqual(const NSObject& other) const override;

    // The resolved pieces, still percent-encoded.
    const URLParts& parts() const { return parts_; }

private:
    std::string relativeString_;
    Ref<NSURL> baseURL_;
    URLParts parts_;
};
