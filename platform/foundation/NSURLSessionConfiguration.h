#pragma once

#include "foundation/NSObject.h"
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

    Ref<NSURLSessionConfiguration> copy() const;

private:
    double timeoutIntervalForRequest_ = 60;
    Dictionary additionalHeaders_;
    bool followsRedirects_ = true;
};
