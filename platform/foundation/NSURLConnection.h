#pragma once

#include <functional>
#include <memory>
#include <mutex>

#include "foundation/NSObject.h"
#include "foundation/NSURLConnectionDataDelegate.h"
#include "foundation/PendingAnswer.h"
#include "foundation/URLLoadingEngine.h"

class NSURLRequest;

// The older delegate-style loader: one request, its response, body pieces and
// end reported to the delegate through the main run loop. The connection
// holds its delegate strongly until it finishes, fails or is cancelled.
class NSURLConnection : public NSObject, private URLTransferObserver {
public:
    NSURLConnection(Ref<NSURLRequest> request, Ref<NSURLConnectionDataDelegate> delegate);

    // A connection for the request, started at once unless told otherwise;
    // null for a null request. A request without a loadable address fails
    // through the delegate.
    static Ref<NSURLConnection> connectionWithRequest(Ref<NSURLRequest> request,
                                                      Ref<NSURLConnectionDataDelegate> delegate,
                                                      bool startImmediately = true);

    const Ref<NSURLRequest>& originalRequest() const { return request_; }

    // The most bytes the answer's body may hold: an API's answer
    // (URLLoadingEngine::kDefaultLargestBody) unless set before loading
    // begins. Past it the connection fails as NSURLErrorDataLengthExceedsMaximum.
    void setLargestResponseBody(std::uint64_t bytes);

    // Starts loading, on the main loop's next turn; later calls do nothing.
    void start();
    // Stops loading; the delegate hears nothing more.
    void cancel();

private:
    // Hands the request to the loading engine, unless cancelled since start().
    void load();
    void transferDidReceiveResponse(Response response) override;
    void transferDidReceiveData(const char* bytes, std::size_t length) override;
    void transferDidSendBodyData(std::int64_t sent, std::int64_t totalSent, std::int64_t totalExpected) override;
    void transferDidWriteData(std::int64_t written, std::int64_t totalWritten, std::int64_t totalExpected) override;
    void transferDidComplete(long urlErrorCode) override;
    // Runs `call` with the delegate on the main queue, unless the connection
    // has ended by then; `last` releases the delegate afterwards.
    void tellDelegate(std::function<void(NSURLConnectionDataDelegate&, const Ref<NSURLConnection>&)> call,
                      bool last = false);

    const Ref<NSURLRequest> request_;
    std::mutex mutex_;  // guards the fields below
    Ref<NSURLConnectionDataDelegate> delegate_;
    bool started_ = false;
    std::uint64_t largestBody_ = URLLoadingEngine::kDefaultLargestBody;
    URLLoadingEngine::TransferID transferID_ = 0;  // 0 until loading
    // From start() until the delegate's last call has run (or was dropped).
    std::shared_ptr<PendingAnswer> answer_;
};
