#pragma once

#include <functional>

#include "foundation/NSData.h"
#include "foundation/NSObject.h"
#include "foundation/NSURLSessionConfiguration.h"

class DispatchQueue;
class NSError;
class NSURL;
class NSURLRequest;
class NSURLResponse;
class NSURLSessionDataTask;

// Loads requests over HTTP(S) and hands the results to its delegate queue
// (the main queue unless given another). Redirects are followed unless the
// configuration says not; there is no cache and no cookie store.
class NSURLSession : public NSObject {
public:
    // Body, response and error; on failure the body is empty and the
    // response null.
    using CompletionHandler = std::function<void(const NSData&, Ref<NSURLResponse>, Ref<NSError>)>;

    NSURLSession(Ref<NSURLSessionConfiguration> configuration, Ref<DispatchQueue> delegateQueue);

    static Ref<NSURLSession> sharedSession();
    // The session keeps a copy of the configuration.
    static Ref<NSURLSession> sessionWithConfiguration(const Ref<NSURLSessionConfiguration>& configuration,
                                                      Ref<DispatchQueue> delegateQueue = nullptr);

    Ref<NSURLSessionConfiguration> configuration() const { return configuration_->copy(); }
    const Ref<DispatchQueue>& delegateQueue() const { return delegateQueue_; }

    // A suspended task for the request; `resume()` starts it. A null request
    // or address fails as an unsupported URL.
    Ref<NSURLSessionDataTask> dataTaskWithRequest(const Ref<NSURLRequest>& request, CompletionHandler completion = {});
    Ref<NSURLSessionDataTask> dataTaskWithURL(const Ref<NSURL>& url, CompletionHandler completion = {});

private:
    Ref<NSURLSessionConfiguration> configuration_;
    Ref<DispatchQueue> delegateQueue_;
};
