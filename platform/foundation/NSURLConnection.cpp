#include "foundation/NSURLConnection.h"

#include "foundation/DispatchQueue.h"
#include "foundation/MonotonicClock.h"
#include "foundation/NSHTTPURLResponse.h"
#include "foundation/NSRunLoop.h"
#include "foundation/NSURL.h"
#include "foundation/NSURLError.h"
#include "foundation/NSURLRequest.h"

NSURLConnection::NSURLConnection(Ref<NSURLRequest> request, Ref<NSURLConnectionDataDelegate> delegate)
    : request_(std::move(request)), delegate_(std::move(delegate)) {}

Ref<NSURLConnection> NSURLConnection::connectionWithRequest(Ref<NSURLRequest> request,
                                                            Ref<NSURLConnectionDataDelegate> delegate,
                                                            bool startImmediately) {
    if (!request) return nullptr;
    auto connection = make<NSURLConnection>(std::move(request), std::move(delegate));
    if (startImmediately) connection->start();
    return connection;
}

void NSURLConnection::setLargestResponseBody(std::uint64_t bytes) {
    std::lock_guard lock(mutex_);
    largestBody_ = bytes;
}

void NSURLConnection::start() {
    std::lock_guard lock(mutex_);
    if (started_ || !delegate_) return;
    started_ = true;
    answer_ = std::make_shared<PendingAnswer>();
    // As a connection scheduled on the main run loop, it begins to load when
    // the loop next turns, and connects on the turn after: the work queued
    // before it goes first, so a session that ends at once (its end queued
    // before the app's launch) opens no connection for requests that nothing
    // waits for any more. Real-time work, as I/O under way: dropping the
    // main loop's queued work (between tests) never leaves it unsent.
    NSRunLoop::mainRunLoop()->scheduleRealTime(MonotonicClock::realNow(),
                                               [connection = self<NSURLConnection>()] { connection->load(); });
}

void NSURLConnection::load() {
    std::lock_guard lock(mutex_);
    if (!delegate_) return;  // cancelled meanwhile
    URLLoadingEngine::Request transfer;
    if (request_->URL()) transfer.url = request_->URL()->absoluteString();
    transfer.method = request_->HTTPMethod();
    transfer.headers = request_->headerFields();
    transfer.body = request_->HTTPBody();
    transfer.timeoutInterval = request_->timeoutInterval();
    transfer.largestBody = largestBody_;
    // The engine keeps this object alive, seen as its observer, while it loads.
    const auto owner = self<NSURLConnection>();
    std::shared_ptr<URLTransferObserver> observer(owner, static_cast<URLTransferObserver*>(owner.get()));
    transferID_ = URLLoadingEngine::main().start(std::move(transfer), std::move(observer));
}

void NSURLConnection::cancel() {
    std::lock_guard lock(mutex_);
    if (transferID_ != 0 && delegate_) URLLoadingEngine::main().cancel(transferID_);
    delegate_ = nullptr;
    answer_.reset();
}

void NSURLConnection::tellDelegate(
    std::function<void(NSURLConnectionDataDelegate&, const Ref<NSURLConnection>&)> call, bool last) {
    std::shared_ptr<PendingAnswer> answer;
    if (last) {
        std::lock_guard lock(mutex_);
        answer = std::move(answer_);
    }
    DispatchQueue::main()->async([connection = self<NSURLConnection>(), call = std::move(call), last,
                                  answer = std::move(answer)] {
        Ref<NSURLConnectionDataDelegate> delegate;
        {
            std::lock_guard lock(connection->mutex_);
            delegate = connection->delegate_;
            if (last) connection->delegate_ = nullptr;
        }
        if (delegate) call(*delegate, connection);
    });
}

void NSURLConnection::transferDidReceiveResponse(Response answer) {
    // Unless redirected, the answer comes from the request's own address.
    const Ref<NSURL>& requested = request_->URL();
    auto url = requested && answer.url == requested->absoluteString() ? requested : NSURL::URLWithString(answer.url);
    Ref<NSURLResponse> response = make<NSHTTPURLResponse>(std::move(url), answer.statusCode, answer.headers);
    tellDelegate([response](NSURLConnectionDataDelegate& delegate, const Ref<NSURLConnection>& connection) {
        delegate.didReceiveResponse(connection, response);
    });
}

void NSURLConnection::transferDidReceiveData(const char* bytes, std::size_t length) {
    tellDelegate([data = NSData(bytes, length)](NSURLConnectionDataDelegate& delegate,
                                                const Ref<NSURLConnection>& connection) {
        delegate.didReceiveData(connection, data);
    });
}

void NSURLConnection::transferDidSendBodyData(std::int64_t sent, std::int64_t totalSent, std::int64_t totalExpected) {
    tellDelegate([=](NSURLConnectionDataDelegate& delegate, const Ref<NSURLConnection>& connection) {
        delegate.didSendBodyData(connection, sent, totalSent, totalExpected);
    });
}

void NSURLConnection::transferDidWriteData(std::int64_t written, std::int64_t totalWritten, std::int64_t totalExpected) {
    tellDelegate([=](NSURLConnectionDataDelegate& delegate, const Ref<NSURLConnection>& connection) {
        delegate.didWriteData(connection, written, totalWritten, totalExpected);
    });
}

void NSURLConnection::transferDidComplete(long urlErrorCode) {
    if (urlErrorCode == 0) {
        tellDelegate([](NSURLConnectionDataDelegate& delegate, const Ref<NSURLConnection>& connection) {
            delegate.connectionDidFinishLoading(connection);
        }, true);
        return;
    }
    auto error = NSURLErrorWithCode(urlErrorCode, request_->URL() ? request_->URL()->absoluteString() : std::string());
    tellDelegate([error](NSURLConnectionDataDelegate& delegate, const Ref<NSURLConnection>& connection) {
        delegate.didFailWithError(connection, error);
    }, true);
}
