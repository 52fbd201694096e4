#include "frameworks/http/alamofire/Session.h"

#include "foundation/DispatchQueue.h"
#include "foundation/NSURL.h"
#include "foundation/NSURLError.h"
#include "foundation/NSURLRequest.h"
#include "foundation/NSURLSession.h"
#include "foundation/NSURLSessionDataTask.h"

namespace Alamofire {

Ref<Session> Session::defaultSession() {
    static const Ref<Session> shared = make<Session>();
    return shared;
}

void Session::didCreate() {
    session_ = NSURLSession::sessionWithConfiguration(NSURLSessionConfiguration::defaultSessionConfiguration(),
                                                      DispatchQueue::serial("org.alamofire.session.rootQueue"));
}

Ref<DataRequest> Session::request(const std::string& url, HTTPMethod method, const Dictionary& parameters,
                                  URLEncoding encoding, const Dictionary& headers) {
    auto address = NSURL::URLWithString(url);
    if (!address) return make<DataRequest>(nullptr, NSURLErrorWithCode(NSURLErrorBadURL, url));

    auto urlRequest = NSMutableURLRequest::requestWithURL(address);
    urlRequest->setHTTPMethod(rawValue(method));
    for (const auto& [field, value] : headers) urlRequest->setValue(value.description(), field);
    encoding.encode(*urlRequest, parameters);

    auto request = make<DataRequest>(urlRequest, nullptr);
    // Callers do not keep their requests: the task's completion holds the
    // request until the answer is in, and finishing lets the task go.
    request->setTask(session_->dataTaskWithRequest(
        urlRequest, [request](const NSData& data, Ref<NSURLResponse> response, Ref<NSError> error) {
            request->didFinish(data, std::move(response), std::move(error));
        }));
    return request;
}

}  // namespace Alamofire
