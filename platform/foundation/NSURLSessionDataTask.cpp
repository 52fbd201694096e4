#include "foundation/NSURLSessionDataTask.h"

#include "foundation/DispatchQueue.h"
#include "foundation/NSHTTPURLResponse.h"
#include "foundation/NSURL.h"
#include "foundation/NSURLError.h"
#include "foundation/NSURLRequest.h"

NSURLSessionDataTask::NSURLSessionDataTask(unsigned long identifier, Ref<NSURLRequest> request,
                                           URLLoadingEngine::Request transfer, Ref<DispatchQueue> queue,
                                           URLLoadingEngine& engine, NSURLSession::CompletionHandler completion)
    : identifier_(identifier),
      request_(std::move(request)),
      transfer_(std::move(transfer)),
      queue_(std::move(queue)),
      engine_(engine),
      completion_(std::move(completion)) {}

NSURLSessionTaskState NSURLSessionDataTask::state() const {
    std::lock_guard lock(mutex_);
    return state_;
}

Ref<NSURLResponse> NSURLSessionDataTask::response() const {
    std::lock_guard lock(mutex_);
    return response_;
}

Ref<NSError> NSURLSessionDataTask::error() const {
    std::lock_guard lock(mutex_);
    return error_;
}

void NSURLSessionDataTask::setProgressHandler(ProgressHandler handler) {
    std::lock_guard lock(mutex_);
    progress_ = std::move(handler);
}

void NSURLSessionDataTask::resume() {
    std::lock_guard lock(mutex_);
    if (started_ || state_ != NSURLSessionTaskStateSuspended) return;
    started_ = true;
    state_ = NSURLSessionTaskStateRunning;
    if (completion_) answer_ = std::make_shared<PendingAnswer>();
    // The engine keeps this object alive, seen as its observer, while it loads.
    const auto owner = self<NSURLSessionDataTask>();
    std::shared_ptr<URLTransferObserver> observer(owner, static_cast<URLTransferObserver*>(owner.get()));
    transferID_ = engine_.start(transfer_, std::move(observer));
}

void NSURLSessionDataTask::cancel() {
    NSURLSession::CompletionHandler completion;
    Ref<NSError> error;
    std::shared_ptr<PendingAnswer> answer;
    {
        std::lock_guard lock(mutex_);
        if (state_ == NSURLSessionTaskStateCompleted || state_ == NSURLSessionTaskStateCanceling) return;
        if (started_) engine_.cancel(transferID_);
        state_ = NSURLSessionTaskStateCanceling;
        error_ = NSURLErrorWithCode(NSURLErrorCancelled, transfer_.url);
        error = error_;
        // Taken along, as a finished transfer's are: a block that is dropped
        // unrun drops the handler and its pending answer with it.
        completion = std::move(completion_);
        answer = std::move(answer_);
    }
    queue_->async([task = self<NSURLSessionDataTask>(), completion = std::move(completion), error = std::move(error),
                   answer = std::move(answer)] {
        {
            std::lock_guard lock(task->mutex_);
            task->state_ = NSURLSessionTaskStateCompleted;
        }
        if (completion) completion(NSData(), nullptr, error);
    });
}

void NSURLSessionDataTask::transferDidReceiveResponse(Response answer) {
    // Unless redirected, the answer comes from the request's own address.
    auto url = request_ && answer.url == transfer_.url ? request_->URL() : NSURL::URLWithString(answer.url);
    auto response = make<NSHTTPURLResponse>(std::move(url), answer.statusCode, answer.headers);
    std::lock_guard lock(mutex_);
    response_ = std::move(response);
}

void NSURLSessionDataTask::transferDidReceiveData(const char* bytes, std::size_t length) {
    body_.append(bytes, length);
    long long expected = -1;
    {
        std::lock_guard lock(mutex_);
        if (!progress_ || state_ != NSURLSessionTaskStateRunning) return;
        if (response_) expected = response_->expectedContentLength();
    }
    const auto received = static_cast<long long>(body_.length());
    queue_->async([task = self<NSURLSessionDataTask>(), received, expected] {
        ProgressHandler progress;
        {
            std::lock_guard lock(task->mutex_);
            if (task->state_ == NSURLSessionTaskStateCanceling) return;
            progress = task->progress_;
        }
        if (progress) progress(received, expected);
    });
}

void NSURLSessionDataTask::transferDidComplete(long urlErrorCode) {
    NSURLSession::CompletionHandler completion;
    Ref<NSURLResponse> response;
    Ref<NSError> error;
    std::shared_ptr<PendingAnswer> answer;
    {
        std::lock_guard lock(mutex_);
        if (state_ != NSURLSessionTaskStateRunning) return;  // cancelled meanwhile
        state_ = NSURLSessionTaskStateCompleted;
        if (urlErrorCode != 0) error_ = NSURLErrorWithCode(urlErrorCode, transfer_.url);
        error = error_;
        if (!error) response = response_;
        completion = std::move(completion_);
        answer = std::move(answer_);
    }
    if (!completion) return;
    queue_->async([completion = std::move(completion), body = error ? NSData() : std::move(body_),
                   response = std::move(response), error = std::move(error), answer = std::move(answer)] {
        completion(body, response, error);
    });
}
