#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>

#include "foundation/NSData.h"
#include "foundation/NSObject.h"
#include "foundation/NSURLSession.h"
#include "foundation/PendingAnswer.h"
#include "foundation/URLLoadingEngine.h"

enum NSURLSessionTaskState : long {
    NSURLSessionTaskStateRunning = 0,
    NSURLSessionTaskStateSuspended = 1,
    NSURLSessionTaskStateCanceling = 2,
    NSURLSessionTaskStateCompleted = 3,
};

// One request of a session, loaded into memory. Created suspended; `resume()`
// starts it; its completion runs exactly once on the session's queue, also
// after `cancel()` (with the cancelled error). A running task keeps itself
// alive until it completes.
class NSURLSessionDataTask : public NSObject, private URLTransferObserver {
public:
    // Bytes received so far and the expected total (-1 when unknown).
    using ProgressHandler = std::function<void(long long received, long long expected)>;

    // `engine` loads the transfer; it is the engine of the loop the results go to.
    NSURLSessionDataTask(unsigned long identifier, Ref<NSURLRequest> request, URLLoadingEngine::Request transfer,
                         Ref<DispatchQueue> queue, URLLoadingEngine& engine,
                         NSURLSession::CompletionHandler completion);

    unsigned long taskIdentifier() const { return identifier_; }
    const Ref<NSURLRequest>& originalRequest() const { return request_; }
    NSURLSessionTaskState state() const;
    // The response once it has arrived.
    Ref<NSURLResponse> response() const;
    // The error once the task has failed.
    Ref<NSError> error() const;
    // Called on the session's queue as the body arrives.
    void setProgressHandler(ProgressHandler handler);

    void resume();
    void cancel();

private:
    void transferDidReceiveResponse(Response response) override;
    void transferDidReceiveData(const char* bytes, std::size_t length) override;
    void transferDidComplete(long urlErrorCode) override;

    const unsigned long identifier_;
    const Ref<NSURLRequest> request_;
    URLLoadingEngine::Request transfer_;
    const Ref<DispatchQueue> queue_;
    // The engine of the loop the results go to (the main loop's for the main
    // queue) with the session's connections per host.
    URLLoadingEngine& engine_;

    mutable std::mutex mutex_;  // guards the fields below
    NSURLSessionTaskState state_ = NSURLSessionTaskStateSuspended;
    bool started_ = false;
    URLLoadingEngine::TransferID transferID_ = 0;
    NSURLSession::CompletionHandler completion_;
    // From resume() until the completion handler has run (or was dropped).
    std::shared_ptr<PendingAnswer> answer_;
    ProgressHandler progress_;
    Ref<NSURLResponse> response_;
    Ref<NSError> error_;

    // Touched only by the engine's loop thread while the transfer runs.
    NSData body_;
};
