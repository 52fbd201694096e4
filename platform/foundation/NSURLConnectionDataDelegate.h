#pragma once

#include "foundation/NSData.h"
#include "foundation/NSObject.h"

class NSError;
class NSURLConnection;
class NSURLResponse;

// What a connection tells its delegate, on the main run loop. Every method is
// optional: override the ones you need.
class NSURLConnectionDataDelegate {
public:
    virtual ~NSURLConnectionDataDelegate() = default;

    virtual void didReceiveResponse(const Ref<NSURLConnection>&, const Ref<NSURLResponse>&) {}
    virtual void didReceiveData(const Ref<NSURLConnection>&, const NSData&) {}
    // Request body progress: bytes sent since the last call, in all, expected.
    virtual void didSendBodyData(const Ref<NSURLConnection>&, long long, long long, long long) {}
    // Response body progress: bytes received since the last call, in all,
    // expected (0 when unknown).
    virtual void didWriteData(const Ref<NSURLConnection>&, long long, long long, long long) {}
    virtual void connectionDidFinishLoading(const Ref<NSURLConnection>&) {}
    virtual void didFailWithError(const Ref<NSURLConnection>&, const Ref<NSError>&) {}
};
