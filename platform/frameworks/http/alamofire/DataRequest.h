#pragma once

#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "foundation/NSData.h"
#include "foundation/NSObject.h"
#include "frameworks/http/alamofire/DataResponse.h"

class DispatchQueue;
class PendingAnswer;
class NSError;
class NSURLRequest;
class NSURLResponse;
class NSURLSessionDataTask;

namespace Alamofire {

// One request in flight. It starts when its first response handler is added;
// every handler gets the finished response on the queue it names, including
// handlers added after the answer arrived.
class DataRequest : public NSObject {
public:
    using StringHandler = std::function<void(const DataResponse<std::string>&)>;

    DataRequest(Ref<NSURLRequest> request, Ref<NSError> creationError);

    // The body as text, decoded with the answer's declared character set
    // (UTF-8 when none is declared; GB18030 for the Chinese sets). An empty
    // body is the empty text; a body that does not decode is an error.
    Ref<DataRequest> responseString(const Ref<DispatchQueue>& queue, StringHandler handler);

    const Ref<NSURLRequest>& request() const { return request_; }

private:
    friend class Session;
    void setTask(Ref<NSURLSessionDataTask> task) { task_ = std::move(task); }
    void didFinish(const NSData& data, Ref<NSURLResponse> response, Ref<NSError> error);
    // Hands the answer to the handler on its queue; `answer` is held until
    // the handler has run.
    void deliverString(const Ref<DispatchQueue>& queue, StringHandler handler, std::shared_ptr<PendingAnswer> answer);

    const Ref<NSURLRequest> request_;
    Ref<NSURLSessionDataTask> task_;

    std::mutex mutex_;  // guards the fields below
    bool started_ = false;
    bool finished_ = false;
    NSData data_;
    Ref<NSURLResponse> response_;
    Ref<NSError> error_;
    std::vector<std::function<void()>> pending_;
};

}  // namespace Alamofire
