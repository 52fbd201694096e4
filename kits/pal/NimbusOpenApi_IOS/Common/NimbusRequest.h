#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "foundation/NSError.h"
#include "foundation/NSURLConnection.h"
#include "foundation/NSURLConnectionDataDelegate.h"
#include "foundation/NSURLResponse.h"
#include "foundation/Value.h"

class NimbusRequest;

// What a request tells its delegate; every method is optional.
class NimbusRequestDelegate {
public:
    virtual ~NimbusRequestDelegate() = default;
    virtual void requestLoading(const Ref<NimbusRequest>&) {}
    virtual void didReceiveResponse(const Ref<NimbusRequest>&, const Ref<NSURLResponse>&) {}
    virtual void didLoadRawResponse(const Ref<NimbusRequest>&, const NSData&) {}
    // The parsed answer (a dictionary, an array, or nil for a body that is
    // not JSON) and the raw body.
    virtual void didLoad(const Ref<NimbusRequest>&, const Value& result, const NSData& data) { (void)result, (void)data; }
    virtual void didFailWithError(const Ref<NimbusRequest>&, const Ref<NSError>&) {}
    virtual void didSendBodyData(const Ref<NimbusRequest>&, std::int64_t, std::int64_t, std::int64_t) {}
    // Download progress: bytes written, in all, and expected in all.
    virtual void didWriteData(const Ref<NimbusRequest>&, std::int64_t, std::int64_t, std::int64_t) {}
};

// The kit's one HTTP exchange: a request to an address with a parameter
// dictionary (texts, or images and data to upload), sent on the main run
// loop with the User-Agent "NimbusConnect"; the body is handed to the
// delegate raw and parsed as JSON.
class NimbusRequest : public NSObject, public NSURLConnectionDataDelegate {
public:
    static constexpr const char* kUserAgent = "NimbusConnect";
    static constexpr double kTimeout = 60;
    static constexpr const char* kBoundary = "3i2ndDfv2rTHiSisAbouNdArYfORhtTPEefj3q2f";
    static constexpr const char* kErrorDomain = "nimbusErrDomain";
    static constexpr long kErrorCode = 10000;

    ~NimbusRequest() override;

    // A new request, not started.
    static Ref<NimbusRequest> getRequestWithParams(const Dictionary& params, std::string httpMethod,
                                                   const Ref<NimbusRequestDelegate>& delegate, std::string requestURL);
    // The GET address: the base, "?" (or "&" when it has a query), then the
    // text parameters as key=escaped value joined with "&".
    static std::string serializeURL(const std::string& baseURL, const Dictionary& params,
                                    const std::string& httpMethod = "GET");
    // Every character but ASCII letters, digits and "-_.~" escaped as UTF-8.
    static std::string encodedValue(const std::string& text);

    // The most bytes of the answer read: an API's answer
    // (URLLoadingEngine::kDefaultLargestBody) unless set before connecting;
    // past it the request fails as NSURLErrorDataLengthExceedsMaximum.
    void setLargestResponseBody(std::uint64_t bytes) { largestResponseBody_ = bytes; }

    // Builds the request from the address and parameters and starts it.
    void connect();
    void connectWithRequest(const Ref<NSURLRequest>& request);
    // Stops the exchange and silences the delegate.
    void cancel();
    // From connect to the end of the exchange; a cancelled request stays
    // loading until it is connected again.
    bool loading() const { return loading_; }

    // The answer of a body: a dictionary or array, or nil with `error` set
    // (code 10000, or the answer's "error_code").
    static Value parseJsonResponse(const NSData& data, Ref<NSError>* error);
    static Ref<NSError> formError(long code, Dictionary userInfo);

    const std::string& url() const { return url_; }
    const std::string& httpMethod() const { return httpMethod_; }
    Dictionary& params() { return params_; }
    const Dictionary& params() const { return params_; }
    Dictionary& httpHeaders() { return httpHeaders_; }
    Ref<NimbusRequestDelegate> delegate() const { return delegate_.lock(); }
    void setDelegate(const Ref<NimbusRequestDelegate>& delegate) { delegate_ = delegate; }

    // The bodies of a POST: the form body of text pairs, or the multipart
    // body when some value is an image or data.
    NSData generateOtherPostBody() const;
    NSData generatePostBody() const;

private:
    void didReceiveResponse(const Ref<NSURLConnection>&, const Ref<NSURLResponse>& response) override;
    void didReceiveData(const Ref<NSURLConnection>&, const NSData& data) override;
    void didSendBodyData(const Ref<NSURLConnection>&, long long, long long, long long) override;
    // The answer's download progress, passed on unchanged.
    void didWriteData(const Ref<NSURLConnection>&, long long written, long long totalWritten, long long expected) override;
    void connectionDidFinishLoading(const Ref<NSURLConnection>&) override;
    void didFailWithError(const Ref<NSURLConnection>&, const Ref<NSError>& error) override;
    Ref<NSURLRequest> buildRequest() const;
    void start(const Ref<NSURLRequest>& request);

    std::string url_;
    std::string httpMethod_ = "GET";
    Dictionary params_;
    Dictionary httpHeaders_;
    WeakRef<NimbusRequestDelegate> delegate_;
    // The connection holds this request (its delegate) while it runs; the
    // loading engine holds the connection.
    WeakRef<NSURLConnection> connection_;
    bool loading_ = false;
    std::uint64_t largestResponseBody_ = URLLoadingEngine::kDefaultLargestBody;
    std::vector<std::uint8_t> responseText_;
};
