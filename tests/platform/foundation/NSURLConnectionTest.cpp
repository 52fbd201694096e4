#include <gtest/gtest.h>
#include <poll.h>

#include <functional>
#include <optional>
#include <string>
#include <utility>
#include <thread>
#include <vector>

#include "foundation/DispatchQueue.h"
#include "foundation/NSHTTPURLResponse.h"
#include "foundation/NSRunLoop.h"
#include "foundation/NSURL.h"
#include "foundation/NSURLConnection.h"
#include "foundation/NSURLError.h"
#include "foundation/NSURLRequest.h"
#include "tests/support/LoopbackHTTPServer.h"
#include "tests/support/LoopbackListener.h"
#include "tests/support/MisbehavingServer.h"
#include "tests/support/Eventually.h"

namespace {

// Writes down every call, in order, and checks that each comes on the main thread.
class RecordingDelegate : public NSObject, public NSURLConnectionDataDelegate {
public:
    std::vector<std::string> events;
    std::string body;
    long statusCode = 0;
    long long expectedLength = 0;
    long long bodyBytesSent = 0;
    Ref<NSError> error;
    Ref<NSURLConnection> connection;
    std::function<void()> onFirstData;
    std::function<void(const RecordingDelegate&)> onEnd;

    bool ended() const { return !events.empty() && (events.back() == "finish" || events.back() == "fail"); }

    void didReceiveResponse(const Ref<NSURLConnection>& from, const Ref<NSURLResponse>& response) override {
        note("response", from);
        expectedLength = response->expectedContentLength();
        if (auto http = cast<NSHTTPURLResponse>(response)) statusCode = http->statusCode();
    }
    void didReceiveData(const Ref<NSURLConnection>& from, const NSData& data) override {
        if (events.empty() || events.back() != "data") note("data", from);
        body += data.toString();
        if (onFirstData) std::exchange(onFirstData, nullptr)();
    }
    void didSendBodyData(const Ref<NSURLConnection>&, long long, long long totalWritten, long long) override {
        bodyBytesSent = totalWritten;
    }
    void connectionDidFinishLoading(const Ref<NSURLConnection>& from) override {
        note("finish", from);
        if (onEnd) onEnd(*this);
    }
    void didFailWithError(const Ref<NSURLConnection>& from, const Ref<NSError>& failure) override {
        note("fail", from);
        error = failure;
        if (onEnd) onEnd(*this);
    }

private:
    void note(const char* event, const Ref<NSURLConnection>& from) {
        EXPECT_EQ(std::this_thread::get_id(), mainThread);
        if (connection) {
            EXPECT_EQ(from, connection);
        }
        events.push_back(event);
    }
    const std::thread::id mainThread = std::this_thread::get_id();
};

class NSURLConnectionTest : public ::testing::Test {
protected:
    Ref<NSURLRequest> requestFor(const std::string& url, double timeout = 60) {
        return NSURLRequest::requestWithURL(NSURL::URLWithString(url), NSURLRequestReloadIgnoringLocalCacheData, timeout);
    }
    bool runUntilEnded(const Ref<RecordingDelegate>& delegate) {
        return NSRunLoop::mainRunLoop()->runUntil([&] { return delegate->ended(); }, kGiveUpAfterSeconds);
    }

    LoopbackHTTPServer server;
    Ref<RecordingDelegate> delegate = make<RecordingDelegate>();
};

TEST_F(NSURLConnectionTest, ReportsResponseDataAndFinishInOrder) {
    server.respondSlowly("GET", "/qr", {.body = "{\"uuid\":\"abc\"}", .pieces = 3, .pauseBetweenPieces = 0.01});
    delegate->connection = NSURLConnection::connectionWithRequest(requestFor(server.url("/qr?appid=1")), delegate);
    ASSERT_NE(delegate->connection, nullptr);
    ASSERT_TRUE(runUntilEnded(delegate));
    EXPECT_EQ(delegate->events, (std::vector<std::string>{"response", "data", "finish"}));
    EXPECT_EQ(delegate->statusCode, 200);
    EXPECT_EQ(delegate->expectedLength, 14);
    EXPECT_EQ(delegate->body, "{\"uuid\":\"abc\"}");
    EXPECT_EQ(server.lastRequest()->query, "appid=1");
}

TEST_F(NSURLConnectionTest, PostReportsTheBodyItSent) {
    server.respond("POST", "/upload", 200, "stored");
    auto request = NSMutableURLRequest::requestWithURL(NSURL::URLWithString(server.url("/upload")));
    request->setHTTPMethod("POST");
    request->setHTTPBody(NSData::fromString(std::string(5000, 'p')));
    delegate->connection = NSURLConnection::connectionWithRequest(request, delegate);
    ASSERT_TRUE(runUntilEnded(delegate));
    EXPECT_EQ(delegate->events.back(), "finish");
    EXPECT_EQ(delegate->bodyBytesSent, 5000);
    EXPECT_EQ(server.lastRequest()->body.size(), 5000u);
}

TEST_F(NSURLConnectionTest, FailureReachesTheDelegateOnceWithoutFinish) {
    MisbehavingServer refusing(MisbehavingServer::Behaviour::RefuseConnections);
    delegate->connection = NSURLConnection::connectionWithRequest(requestFor(refusing.url("/")), delegate);
    ASSERT_TRUE(runUntilEnded(delegate));
    EXPECT_EQ(delegate->events, std::vector<std::string>{"fail"});
    EXPECT_EQ(delegate->error->code(), NSURLErrorCannotConnectToHost);
}

TEST_F(NSURLConnectionTest, TimeOutAndMissingAddressFailThroughTheDelegate) {
    server.respondSlowly("GET", "/poll", {.delayBeforeHeaders = LoopbackHTTPServer::SlowAnswer::kUntilTheServerStops, .body = "late"});
    delegate->connection = NSURLConnection::connectionWithRequest(requestFor(server.url("/poll"), 0.2), delegate);
    ASSERT_TRUE(runUntilEnded(delegate));
    EXPECT_EQ(delegate->error->code(), NSURLErrorTimedOut);

    auto second = make<RecordingDelegate>();
    second->connection = NSURLConnection::connectionWithRequest(NSURLRequest::requestWithURL(nullptr), second);
    ASSERT_NE(second->connection, nullptr);
    ASSERT_TRUE(runUntilEnded(second));
    EXPECT_EQ(second->error->code(), NSURLErrorUnsupportedURL);

    EXPECT_EQ(NSURLConnection::connectionWithRequest(nullptr, second), nullptr);
}

TEST_F(NSURLConnectionTest, CancelStopsDeliveryAndReleasesTheDelegate) {
    // A trickle that would go on for longer than the test can wait.
    constexpr double kPause = 0.03;
    constexpr auto kPieces = static_cast<std::size_t>(2 * kGiveUpAfterSeconds / kPause);
    server.respondSlowly("GET", "/long", {.body = std::string(kPieces, 'w'), .pieces = kPieces, .pauseBetweenPieces = kPause});
    WeakRef<RecordingDelegate> weakDelegate = delegate;
    delegate->connection = NSURLConnection::connectionWithRequest(requestFor(server.url("/long")), delegate);
    bool cancelled = false;
    delegate->onFirstData = [&] {
        delegate->connection->cancel();
        cancelled = true;
    };
    ASSERT_TRUE(NSRunLoop::mainRunLoop()->runUntil([&] { return cancelled; }, kGiveUpAfterSeconds));
    const auto eventsAtCancel = delegate->events;
    const auto bodyAtCancel = delegate->body;
    NSRunLoop::mainRunLoop()->runUntil([] { return false; }, 0.3);
    EXPECT_EQ(delegate->events, eventsAtCancel);
    EXPECT_EQ(delegate->body, bodyAtCancel);
    EXPECT_LT(delegate->body.size(), kPieces);

    delegate->connection = nullptr;
    delegate = nullptr;
    EXPECT_TRUE(weakDelegate.expired());
}

TEST_F(NSURLConnectionTest, ConnectionCreatedIdleLoadsOnlyWhenStarted) {
    server.respond("GET", "/later", 200, "now");
    delegate->connection = NSURLConnection::connectionWithRequest(requestFor(server.url("/later")), delegate, false);
    NSRunLoop::mainRunLoop()->runUntil([] { return false; }, 0.1);
    EXPECT_EQ(server.requestCount(), 0u);
    EXPECT_TRUE(delegate->events.empty());
    delegate->connection->start();
    delegate->connection->start();
    ASSERT_TRUE(runUntilEnded(delegate));
    EXPECT_EQ(delegate->body, "now");
    EXPECT_EQ(server.requestCount(), 1u);
}

// A started connection connects once the work queued on the main loop
// before it has run (an end queued first leaves no connection open).
TEST_F(NSURLConnectionTest, AStartedConnectionConnectsAfterTheWorkQueuedBeforeIt) {
    int port = 0;
    const int listener = listenOnLoopback(4, port);
    ASSERT_GE(listener, 0);
    const auto connectionWaits = [listener] {
        pollfd waiting{listener, POLLIN, 0};
        return ::poll(&waiting, 1, 0) > 0;
    };
    std::optional<bool> connectedFirst;
    DispatchQueue::main()->async([&] { connectedFirst = connectionWaits(); });
    delegate->connection =
        NSURLConnection::connectionWithRequest(requestFor("http://127.0.0.1:" + std::to_string(port) + "/first"), delegate);
    ASSERT_TRUE(NSRunLoop::mainRunLoop()->runUntil([&] { return connectedFirst.has_value(); }, kGiveUpAfterSeconds));
    EXPECT_FALSE(*connectedFirst);
    EXPECT_TRUE(NSRunLoop::mainRunLoop()->runUntil(connectionWaits, kGiveUpAfterSeconds));
    delegate->connection->cancel();
    ::close(listener);
}

TEST_F(NSURLConnectionTest, TheConnectionHoldsItsDelegateUntilItEndsThenLetsGo) {
    server.respond("GET", "/held", 200, "kept");
    WeakRef<RecordingDelegate> weakDelegate = delegate;
    std::string finalBody;
    delegate->onEnd = [&finalBody](const RecordingDelegate& ended) { finalBody = ended.body; };
    const auto connection = NSURLConnection::connectionWithRequest(requestFor(server.url("/held")), delegate);
    delegate = nullptr;  // only the connection holds it now
    EXPECT_FALSE(weakDelegate.expired());
    ASSERT_TRUE(NSRunLoop::mainRunLoop()->runUntil([&] { return weakDelegate.expired(); }, kGiveUpAfterSeconds));
    EXPECT_EQ(finalBody, "kept");
}

}  // namespace
