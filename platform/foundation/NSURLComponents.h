#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "foundation/NSObject.h"
#include "foundation/NSURL.h"
#include "foundation/NSURLQueryItem.h"
#include "foundation/URLParts.h"

// A URL taken apart to be read or changed piece by piece, then put back
// together. Plain accessors read and write decoded text and encode what a
// piece may not hold; the percentEncoded ones take the text as written.
class NSURLComponents : public NSObject {
public:
    NSURLComponents() = default;
    explicit NSURLComponents(URLParts parts) : parts_(std::move(parts)) {}

    // Nothing when the text is not a well-formed URL.
    static Ref<NSURLComponents> componentsWithString(std::string_view string);
    // The URL's pieces; with `resolvingAgainstBaseURL` those of its absolute form.
    static Ref<NSURLComponents> componentsWithURL(const Ref<NSURL>& url, bool resolvingAgainstBaseURL);

    std::optional<std::string> scheme() const { return parts_.scheme; }
    void setScheme(std::optional<std::string> scheme) { parts_.scheme = std::move(scheme); }
    std::optional<std::string> host() const;
    void setHost(std::optional<std::string> host);
    std::optional<int> port() const { return parts_.port; }
    void setPort(std::optional<int> port);
    std::string path() const;
    void setPath(std::string_view path);
    const std::string& percentEncodedPath() const { return parts_.path; }
    void setPercentEncodedPath(std::string path) { parts_.path = std::move(path); }
    std::optional<std::string> query() const;
    void setQuery(std::optional<std::string> query);
    const std::optional<std::string>& percentEncodedQuery() const { return parts_.query; }
    void setPercentEncodedQuery(std::optional<std::string> query) { parts_.query = std::move(query); }
    std::optional<std::string> fragment() const;
    void setFragment(std::optional<std::string> fragment);

    // The query split at "&" and each piece at its first "=", decoded ("+"
    // stays "+"); nothing when there is no query.
    std::optional<std::vector<NSURLQueryItem>> queryItems() const;
    // Writes the items as the query, encoding what a query may not hold plus
    // "&" (and "=" in names); a space becomes "%20", "+" stays. Nothing
    // removes the query.
    void setQueryItems(const std::optional<std::vector<NSURLQueryItem>>& items);

    // The pieces put back together as text, and as a URL: nothing when they
    // do not make a well-formed one, or when the path would read back as
    // another piece (a host followed by "relative" or no host and "//x").
    std::string string() const { return parts_.string(); }
    Ref<NSURL> URL() const;

    std::string description() const override { return string(); }

private:
    URLParts parts_;
};
