#pragma once

#include <cstdint>

#include "foundation/NSObject.h"
#include "foundation/URLLoadingEngine.h"
#include "foundation/Value.h"

// Settings a session applies to each of its requests.
class NSURLSessionConfiguration : public NSObject {
public:
    static Ref<NSURLSessionConfiguration> defaultSessionConfiguration();

    // Used for requests that keep the default time-out of 60 seconds.
    double timeoutIntervalForRequest() const { return timeoutIntervalForRequest_; }
    void setTimeoutIntervalForRequest(double seconds) { timeoutIntervalForRequest_ = seconds; }
    // Header fields added to every request that does not set them itself.
    const Dictionary& HTTPAdditionalHeaders() const { return additionalHeaders_; }
    void setHTTPAdditionalHeaders(Dictionary headers) { additionalHeaders_ = std::move(headers); }

    // Whether redirects are followed (yes by default). Without, a redirect
    // comes back as the answer itself: web views turn it off to offer each
    // redirect to their navigation policy, as a task delegate that declines
    // the redirection would.
    bool followsRedirects() const { return followsRedirects_; }
    void setFollowsRedirects(bool follows) { followsRedirects_ = follows; }

    // The most connections the session's requests open to one host (6 by
    // default); more requests wait for one. Sessions with the same limit
    // share their kept-alive connections; a session with a limit of its own
    // has connections of its own, which the others neither take nor wait for.
    long HTTPMaximumConnectionsPerHost() const { return maximumConnectionsPerHost_; }
    void setHTTPMaximumConnectionsPerHost(long connections) { maximumConnectionsPerHost_ = connections; }

    // The most bytes an answer's body may hold: by default an API's answer
    // (URLLoadingEngine::kDefaultLargestBody), so no session reads without a
    // bound; a session that reads another kind of answer sets its own (the
    // web views' a page, the image loader's a picture file). An answer
    // announcing a longer body fails before it is read, one that brings
    // more as soon as it has, both as NSURLErrorDataLengthExceedsMaximum.
    std::uint64_t largestResponseBody() const { return largestResponseBody_; }
    void setLargestResponseBody(std::uint64_t bytes) { largestResponseBody_ = bytes; }

    Ref<NSURLSessionConfiguration> copy() const;

private:
    double timeoutIntervalForRequest_ = 60;
    Dictionary additionalHeaders_;
    bool followsRedirects_ = true;
    long maximumConnectionsPerHost_ = URLLoadingEngine::kDefaultConnectionsPerHost;
    std::uint64_t largestResponseBody_ = URLLoadingEngine::kDefaultLargestBody;
};
