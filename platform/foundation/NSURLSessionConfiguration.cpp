#include "foundation/NSURLSessionConfiguration.h"

Ref<NSURLSessionConfiguration> NSURLSessionConfiguration::defaultSessionConfiguration() {
    return make<NSURLSessionConfiguration>();
}

Ref<NSURLSessionConfiguration> NSURLSessionConfiguration::copy() const {
    auto copy = make<NSURLSessionConfiguration>();
    copy->timeoutIntervalForRequest_ = timeoutIntervalForRequest_;
    copy->additionalHeaders_ = additionalHeaders_;
    copy->followsRedirects_ = followsRedirects_;
    copy->maximumConnectionsPerHost_ = maximumConnectionsPerHost_;
    copy->largestResponseBody_ = largestResponseBody_;
    return copy;
}
