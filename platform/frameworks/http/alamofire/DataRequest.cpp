#include "frameworks/http/alamofire/DataRequest.h"

#include <algorithm>
#include <cctype>

#include "foundation/DispatchQueue.h"
#include "foundation/NSError.h"
#include "foundation/NSHTTPURLResponse.h"
#include "foundation/NSString.h"
#include "foundation/NSURLError.h"
#include "foundation/PendingAnswer.h"
#include "foundation/NSURLRequest.h"
#include "foundation/NSURLSessionDataTask.h"

namespace Alamofire {

namespace {

std::optional<NSStringEncoding> encodingNamed(const std::optional<std::string>& charset) {
    if (!charset) return NSUTF8StringEncoding;
    std::string name = *charset;
    std::transform(name.begin(), name.end(), name.begin(), [](unsigned char c) { return std::tolower(c); });
    if (name == "utf-8" || name == "utf8") return NSUTF8StringEncoding;
    if (name == "gb18030" || name == "gbk" || name == "gb2312") return NSGB18030StringEncoding;
    return std::nullopt;
}

}  // namespace

DataRequest::DataRequest(Ref<NSURLRequest> request, Ref<NSError> creationError) : request_(std::move(request)) {
    if (creationError) {
        finished_ = true;
        error_ = std::move(creationError);
    }
}

Ref<DataRequest> DataRequest::responseString(const Ref<DispatchQueue>& queue, StringHandler handler) {
    auto self = this->self<DataRequest>();
    bool start = false;
    bool finished = false;
    {
        std::lock_guard lock(mutex_);
        finished = finished_;
        if (!finished) {
            pending_.push_back([self, queue, handler, answer = std::make_shared<PendingAnswer>()] {
                self->deliverString(queue, handler, answer);
            });
            start = !started_;
            started_ = true;
        }
    }
    // Read under the lock: a request that finishes meanwhile hands the
    // handler just queued its answer itself.
    if (start) {
        if (auto task = this->task()) task->resume();
    } else if (finished) {
        deliverString(queue, std::move(handler), std::make_shared<PendingAnswer>());
    }
    return self;
}

void DataRequest::cancel() {
    // A task that has not been resumed completes as cancelled without
    // reaching the server; one under way gives up its connection.
    if (auto task = this->task()) task->cancel();
}

Ref<NSURLSessionDataTask> DataRequest::task() {
    std::lock_guard lock(mutex_);
    return task_;
}

void DataRequest::didFinish(const NSData& data, Ref<NSURLResponse> response, Ref<NSError> error) {
    std::vector<std::function<void()>> pending;
    Ref<NSURLSessionDataTask> task;
    {
        std::lock_guard lock(mutex_);
        finished_ = true;
        data_ = data;
        response_ = std::move(response);
        error_ = std::move(error);
        pending.swap(pending_);
        task = std::move(task_);
    }
    for (auto& deliver : pending) deliver();
}

void DataRequest::deliverString(const Ref<DispatchQueue>& queue, StringHandler handler,
                                std::shared_ptr<PendingAnswer> answer) {
    DataResponse<std::string> result;
    {
        std::lock_guard lock(mutex_);
        result.request = request_;
        result.response = cast<NSHTTPURLResponse>(response_);
        result.data = data_;
        result.error = error_;
    }
    if (!result.error) {
        auto encoding = encodingNamed(response_ ? response_->textEncodingName() : std::nullopt);
        if (auto text = encoding ? NSString::initWithData(result.data, *encoding) : std::nullopt) {
            result.value = std::move(*text);
        } else {
            result.error = NSError::errorWithDomain(
                "Alamofire.AFError", 0,
                Dictionary{{NSLocalizedDescriptionKey, "Response could not be serialized: string decoding failed."}});
        }
    }
    (queue ? queue : DispatchQueue::main())->async(
        [handler = std::move(handler), result = std::move(result), answer = std::move(answer)] {
            if (handler) handler(result);
        });
}

}  // namespace Alamofire
