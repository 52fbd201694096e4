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
// handlers added after the answer arrived. A cancelled request ends at once
// (its connection is given up) and finishes with the cancelled error.
class DataRequest : public NSObject {
public:
    using StringHandler = std::function<void(const DataResponse<std::string>&)>;

    DataRequest(Ref<NSURLRequest> request, Ref<NSError> creationError);

    // The body as text, decoded with the answer's declared character set
    // (UTF-8 when none is declared; GB18030 for the Chinese sets). An empty
    // body is the empty text; a body that does not decode is an error.
    Ref<DataRequest> responseString(const Ref<DispatchQueue>& queue, StringHandler handler);

    const Ref<NSURLRequest>& request() const { return request_; }
    // Ends the request: its handlers get NSURLErrorCancelled, unless it had
    // finished already. Any thread.
    void cancel();

private:
    friend class Session;
    void setTask(Ref<NSURLSessionDataTask> task) {
        std::lock_guard lock(mutex_);
        task_ = std::move(task);
    }
    Ref<NSURLSessionDataTask> task();
    void didFinish(const NSData& data, Ref<NSURLResponse> response, Ref<NSError> error);
    // Hands the answer to the handler on its queue; `answer` is held until
    // the handler has run.
    void deliverString(const Ref<DispatchQueue>& queue, StringHandler handler, std::shared_ptr<PendingAnswer> answer);

    const Ref<NSURLRequest> request_;

    std::mutex mutex_;  // guards the fields below
    Ref<NSURLSessionDataTask> task_;
    bool started_ = false;
    bool finished_ = false;
    NSData data_;
    Ref<NSURLResponse> response_;
    Ref<NSError> error_;
    std::vector<std::function<void()>> pending_;
};

}  // namespace Alamofire
