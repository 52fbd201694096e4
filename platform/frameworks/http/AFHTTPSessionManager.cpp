#include "frameworks/http/AFHTTPSessionManager.h"

#include "foundation/DispatchQueue.h"
#include "foundation/NSError.h"
#include "foundation/NSURL.h"
#include "foundation/NSURLError.h"
#include "foundation/NSURLSession.h"
#include "foundation/NSURLSessionDataTask.h"
#include "frameworks/http/AFJSONResponseSerializer.h"

void AFHTTPSessionManager::didCreate() {
    session_ = NSURLSession::sessionWithConfiguration(NSURLSessionConfiguration::defaultSessionConfiguration(),
                                                      DispatchQueue::main());
    requestSerializer_ = AFHTTPRequestSerializer::serializer();
    responseSerializer_ = AFJSONResponseSerializer::serializer();
    securityPolicy_ = AFSecurityPolicy::defaultPolicy();
    reachabilityManager_ = AFNetworkReachabilityManager::sharedManager();
}

Ref<NSURLSessionDataTask> AFHTTPSessionManager::GET(const std::string& URLString, const Dictionary& parameters,
                                                    const Dictionary& headers, ProgressBlock downloadProgress,
                                                    SuccessBlock success, FailureBlock failure) {
    return dataTask("GET", URLString, parameters, headers, std::move(downloadProgress), std::move(success),
                    std::move(failure));
}

Ref<NSURLSessionDataTask> AFHTTPSessionManager::POST(const std::string& URLString, const Dictionary& parameters,
                                                     const Dictionary& headers, ProgressBlock uploadProgress,
                                                     SuccessBlock success, FailureBlock failure) {
    return dataTask("POST", URLString, parameters, headers, std::move(uploadProgress), std::move(success),
                    std::move(failure));
}

Ref<NSURLSessionDataTask> AFHTTPSessionManager::dataTask(const std::string& method, const std::string& URLString,
                                                         const Dictionary& parameters, const Dictionary& headers,
                                                         ProgressBlock progress, SuccessBlock success,
                                                         FailureBlock failure) {
    std::string address = URLString;
    if (baseURL_) {
        if (auto resolved = NSURL::URLWithString(URLString, baseURL_)) address = resolved->absoluteString();
    }
    Ref<NSError> error;
    auto request = requestSerializer_->requestWithMethod(method, address, parameters, &error);
    if (!request) {
        // Reported like a failed transfer: on the main queue, never inline.
        DispatchQueue::main()->async([failure, error] {
            if (failure) failure(nullptr, error);
        });
        return nullptr;
    }
    for (const auto& [field, value] : headers) request->setValue(value.description(), field);

    auto serializer = responseSerializer_;
    auto task = std::make_shared<Ref<NSURLSessionDataTask>>();
    *task = session_->dataTaskWithRequest(
        request, [serializer, success, failure, task](const NSData& data, Ref<NSURLResponse> response,
                                                      Ref<NSError> transportError) {
            Ref<NSURLSessionDataTask> finished = std::move(*task);
            if (transportError) {
                if (failure) failure(finished, transportError);
                return;
            }
            Ref<NSError> serializationError;
            Value object = serializer->responseObjectForResponse(response, data, &serializationError);
            if (serializationError) {
                if (failure) failure(finished, serializationError);
            } else if (success) {
                success(finished, object);
            }
        });
    if (progress) {
        (*task)->setProgressHandler([progress](long long received, long long expected) {
            progress(NSProgress{expected, received});
        });
    }
    Ref<NSURLSessionDataTask> started = *task;
    started->resume();
    return started;
}
