#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "foundation/NSData.h"
#include "foundation/NSObject.h"
#include "foundation/Value.h"

class NSURL;

// How a request would use a cache. Accepted and kept, but every request is
// loaded from the network: there is no URL cache.
enum NSURLRequestCachePolicy : unsigned long {
    NSURLRequestUseProtocolCachePolicy = 0,
    NSURLRequestReloadIgnoringLocalCacheData = 1,
    NSURLRequestReturnCacheDataElseLoad = 2,
    NSURLRequestReturnCacheDataDontLoad = 3,
    NSURLRequestReloadIgnoringLocalAndRemoteCacheData = 4,
    NSURLRequestReloadRevalidatingCacheData = 5,
    NSURLRequestReloadIgnoringCacheData = NSURLRequestReloadIgnoringLocalCacheData,
};

// An HTTP request: address, method, header fields, body, time-out.
class NSURLRequest : public NSObject {
public:
    static constexpr double defaultTimeoutInterval = 60;

    explicit NSURLRequest(Ref<NSURL> url, NSURLRequestCachePolicy cachePolicy = NSURLRequestUseProtocolCachePolicy,
                          double timeoutInterval = defaultTimeoutInterval)
        : url_(std::move(url)), cachePolicy_(cachePolicy), timeoutInterval_(timeoutInterval) {}

    static Ref<NSURLRequest> requestWithURL(Ref<NSURL> url,
                                            NSURLRequestCachePolicy cachePolicy = NSURLRequestUseProtocolCachePolicy,
                                            double timeoutInterval = defaultTimeoutInterval);

    const Ref<NSURL>& URL() const { return url_; }
    // "GET" unless set otherwise.
    const std::string& HTTPMethod() const { return method_; }
    // The header fields set on the request, in the order first set.
    Dictionary allHTTPHeaderFields() const;
    // A header field's value; names compare case-insensitively.
    std::optional<std::string> valueForHTTPHeaderField(std::string_view field) const;
    // Empty when the request has no body.
    const NSData& HTTPBody() const { return body_; }
    NSURLRequestCachePolicy cachePolicy() const { return cachePolicy_; }
    // Seconds without progress after which loading fails as timed out.
    double timeoutInterval() const { return timeoutInterval_; }
    // The header fields as name/value pairs, for the loading engine.
    const std::vector<std::pair<std::string, std::string>>& headerFields() const { return headers_; }

protected:
    Ref<NSURL> url_;
    std::string method_ = "GET";
    std::vector<std::pair<std::string, std::string>> headers_;
    NSData body_;
    NSURLRequestCachePolicy cachePolicy_;
    double timeoutInterval_;
};

// A request whose parts can be changed.
class NSMutableURLRequest : public NSURLRequest {
public:
    using NSURLRequest::NSURLRequest;

    static Ref<NSMutableURLRequest> requestWithURL(
        Ref<NSURL> url, NSURLRequestCachePolicy cachePolicy = NSURLRequestUseProtocolCachePolicy,
        double timeoutInterval = defaultTimeoutInterval);

    void setURL(Ref<NSURL> url) { url_ = std::move(url); }
    void setHTTPMethod(std::string method) { method_ = std::move(method); }
    // Sets a header field, replacing one of the same name in any letter case;
    // nothing removes it.
    void setValue(std::optional<std::string> value, std::string_view field);
    // Replaces every header field; entries whose value is not text are skipped.
    void setAllHTTPHeaderFields(const Dictionary& fields);
    void setHTTPBody(NSData body) { body_ = std::move(body); }
    void setCachePolicy(NSURLRequestCachePolicy policy) { cachePolicy_ = policy; }
    void setTimeoutInterval(double seconds) { timeoutInterval_ = seconds; }
};
