#pragma once

#include <functional>
#include <string>

#include "foundation/NSObject.h"
#include "foundation/NSProgress.h"
#include "foundation/Value.h"
#include "frameworks/http/AFHTTPRequestSerializer.h"
#include "frameworks/http/AFHTTPResponseSerializer.h"
#include "frameworks/http/AFNetworkReachabilityManager.h"
#include "frameworks/http/AFSecurityPolicy.h"

class NSError;
class NSURL;
class NSURLSession;
class NSURLSessionDataTask;

// A GET/POST client over one URL session. Requests are built by the request
// serializer, answers checked and turned into response objects by the
// response serializer; the blocks run on the main queue.
class AFHTTPSessionManager : public NSObject {
public:
    using ProgressBlock = std::function<void(const NSProgress&)>;
    using SuccessBlock = std::function<void(const Ref<NSURLSessionDataTask>&, const Value& responseObject)>;
    using FailureBlock = std::function<void(const Ref<NSURLSessionDataTask>&, const Ref<NSError>&)>;

    // Relative addresses resolve against `baseURL` when there is one.
    explicit AFHTTPSessionManager(Ref<NSURL> baseURL = nullptr) : baseURL_(std::move(baseURL)) {}
    static Ref<AFHTTPSessionManager> manager() { return make<AFHTTPSessionManager>(); }

    const Ref<NSURL>& baseURL() const { return baseURL_; }
    const Ref<AFHTTPRequestSerializer>& requestSerializer() const { return requestSerializer_; }
    void setRequestSerializer(Ref<AFHTTPRequestSerializer> serializer) { requestSerializer_ = std::move(serializer); }
    const Ref<AFHTTPResponseSerializer>& responseSerializer() const { return responseSerializer_; }
    void setResponseSerializer(Ref<AFHTTPResponseSerializer> serializer) {
        responseSerializer_ = std::move(serializer);
    }
    const Ref<AFSecurityPolicy>& securityPolicy() const { return securityPolicy_; }
    const Ref<AFNetworkReachabilityManager>& reachabilityManager() const { return reachabilityManager_; }

    // Starts the request at once; parameters go in the query.
    Ref<NSURLSessionDataTask> GET(const std::string& URLString, const Dictionary& parameters, const Dictionary& headers,
                                  ProgressBlock downloadProgress, SuccessBlock success, FailureBlock failure);
    // Starts the request at once; parameters go in a form-encoded body.
    Ref<NSURLSessionDataTask> POST(const std::string& URLString, const Dictionary& parameters,
                                   const Dictionary& headers, ProgressBlock uploadProgress, SuccessBlock success,
                                   FailureBlock failure);

protected:
    void didCreate() override;

private:
    Ref<NSURLSessionDataTask> dataTask(const std::string& method, const std::string& URLString,
                                       const Dictionary& parameters, const Dictionary& headers,
                                       ProgressBlock progress, SuccessBlock success, FailureBlock failure);

    Ref<NSURL> baseURL_;
    Ref<NSURLSession> session_;
    Ref<AFHTTPRequestSerializer> requestSerializer_;
    Ref<AFHTTPResponseSerializer> responseSerializer_;
    Ref<AFSecurityPolicy> securityPolicy_;
    Ref<AFNetworkReachabilityManager> reachabilityManager_;
};
