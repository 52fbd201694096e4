#include <gtest/gtest.h>
#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <mutex>
#include <atomic>
#include <chrono>
#include <string>
#include <thread>
#include <vector>

#include "foundation/DispatchQueue.h"
#include "foundation/MonotonicClock.h"
#include "foundation/NSHTTPURLResponse.h"
#include "foundation/NSRunLoop.h"
#include "foundation/NSURL.h"
#include "foundation/NSURLError.h"
#include "foundation/NSURLRequest.h"
#include "foundation/NSURLSession.h"
#include "foundation/NSURLSessionDataTask.h"
#include "foundation/PendingAnswer.h"
#include "foundation/URLLoadingEngine.h"
#include "tests/support/Eventually.h"
#include "tests/support/LoopbackHTTPServer.h"
#include "tests/support/MisbehavingServer.h"

namespace {

// What a task's completion handed over, and where it ran.
struct Outcome {
    int calls = 0;
    NSData body;
    Ref<NSURLResponse> response;
    Ref<NSError> error;
    std::thread::id thread;

    Ref<NSHTTPURLResponse> http() const { return cast<NSHTTPURLResponse>(response); }
    long errorCode() const { return error ? error->code() : 0; }
};

class NSURLSessionTest : public ::testing::Test {
protected:
    NSURLSession::CompletionHandler recordInto(Outcome& outcome) {
        return [&outcome](const NSData& body, Ref<NSURLResponse> response, Ref<NSError> error) {
            ++outcome.calls;
            outcome.body = body;
            outcome.response = std::move(response);
            outcome.error = std::move(error);
            outcome.thread = std::this_thread::get_id();
        };
    }

    // Runs a request on the shared session and pumps the main loop until it completes.
    Outcome load(const Ref<NSURLRequest>& request) {
        Outcome outcome;
        NSURLSession::sharedSession()->dataTaskWithRequest(request, recordInto(outcome))->resume();
        EXPECT_TRUE(waitFor(outcome));
        return outcome;
    }
    Outcome load(const std::string& url) { return load(NSURLRequest::requestWithURL(NSURL::URLWithString(url))); }

    static bool waitFor(const Outcome& outcome, double seconds = kGiveUpAfterSeconds) {
        return NSRunLoop::mainRunLoop()->runUntil([&outcome] { return outcome.calls > 0; }, seconds);
    }

    LoopbackHTTPServer server;
};

TEST_F(NSURLSessionTest, GetDeliversBodyStatusAndHeadersOnTheMainThreadAndSendsTheQuery) {
    server.route("GET", "/greeting", [](const httplib::Request&, httplib::Response& response) {
        response.status = 201;
        response.set_header("X-Answer", "42");
        response.set_header("Set-Cookie", "a=1");
        response.headers.emplace("Set-Cookie", "b=2");
        response.set_content("héllo", "Text/HTML; charset=UTF-8");
    });
    const Outcome outcome = load(server.url("/greeting?name=Ann%20Lee&page=2"));

    EXPECT_EQ(outcome.calls, 1);
    EXPECT_EQ(outcome.thread, std::this_thread::get_id());
    ASSERT_EQ(outcome.error, nullptr);
    EXPECT_EQ(outcome.body.toString(), "héllo");
    ASSERT_NE(outcome.http(), nullptr);
    EXPECT_EQ(outcome.http()->statusCode(), 201);
    EXPECT_EQ(outcome.http()->valueForHTTPHeaderField("x-answer"), "42");
    EXPECT_EQ(outcome.http()->allHeaderFields()["Set-Cookie"].description(), "a=1, b=2");
    EXPECT_EQ(outcome.http()->MIMEType(), "text/html");
    EXPECT_EQ(outcome.http()->textEncodingName(), "utf-8");
    EXPECT_EQ(outcome.http()->expectedContentLength(), 6);
    EXPECT_EQ(outcome.http()->URL()->absoluteString(), server.url("/greeting?name=Ann%20Lee&page=2"));

    const auto seen = server.lastRequest();
    ASSERT_TRUE(seen);
    EXPECT_EQ(seen->method, "GET");
    EXPECT_EQ(seen->query, "name=Ann%20Lee&page=2");
}

TEST_F(NSURLSessionTest, PostSendsTheFormBodyMethodAndHeaderFields) {
    server.respond("POST", "/form", 200, "ok");
    auto request = NSMutableURLRequest::requestWithURL(NSURL::URLWithString(server.url("/form")));
    request->setHTTPMethod("POST");
    request->setHTTPBody(NSData::fromString("a=1&b=x%20y"));
    request->setValue("NimbusConnect", "User-Agent");

    const Outcome outcome = load(request);
    ASSERT_EQ(outcome.error, nullptr);
    EXPECT_EQ(outcome.body.toString(), "ok");
    const auto seen = server.lastRequest();
    ASSERT_TRUE(seen);
    EXPECT_EQ(seen->method, "POST");
    EXPECT_EQ(seen->body, "a=1&b=x%20y");
    EXPECT_EQ(seen->header("Content-Type"), "application/x-www-form-urlencoded");
    EXPECT_EQ(seen->header("User-Agent"), "NimbusConnect");
    EXPECT_FALSE(seen->headers.count("Expect"));
}

TEST_F(NSURLSessionTest, OtherMethodsAndContentTypesGoOutAsSet) {
    server.respond("PUT", "/item", 204, "");
    auto request = NSMutableURLRequest::requestWithURL(NSURL::URLWithString(server.url("/item")));
    request->setHTTPMethod("PUT");
    request->setValue("application/json", "Content-Type");
    request->setHTTPBody(NSData::fromString("{\"a\":1}"));

    const Outcome outcome = load(request);
    ASSERT_EQ(outcome.error, nullptr);
    EXPECT_EQ(outcome.http()->statusCode(), 204);
    EXPECT_TRUE(outcome.body.empty());
    const auto seen = server.lastRequest();
    EXPECT_EQ(seen->method, "PUT");
    EXPECT_EQ(seen->body, "{\"a\":1}");
    EXPECT_EQ(seen->header("Content-Type"), "application/json");
}

TEST_F(NSURLSessionTest, ErrorStatusesAreResponsesNotErrors) {
    const Outcome outcome = load(server.url("/nobody-scripted-this"));
    EXPECT_EQ(outcome.error, nullptr);
    EXPECT_EQ(outcome.http()->statusCode(), 404);
}

TEST_F(NSURLSessionTest, RedirectsAreFollowedToTheFinalAnswer) {
    server.route("GET", "/old", [](const httplib::Request&, httplib::Response& response) {
        response.set_redirect("/new", 302);
    });
    server.respond("GET", "/new", 200, "moved here");
    const Outcome outcome = load(server.url("/old"));
    ASSERT_EQ(outcome.error, nullptr);
    EXPECT_EQ(outcome.body.toString(), "moved here");
    EXPECT_EQ(outcome.http()->statusCode(), 200);
    EXPECT_EQ(outcome.http()->URL()->absoluteString(), server.url("/new"));
}

TEST_F(NSURLSessionTest, ASessionThatDoesNotFollowRedirectsAnswersWithTheRedirectItself) {
    server.route("GET", "/old", [](const httplib::Request&, httplib::Response& response) {
        response.set_redirect("ripple://wap/pay?id=1", 302);
    });
    auto configuration = NSURLSessionConfiguration::defaultSessionConfiguration();
    configuration->setFollowsRedirects(false);
    auto session = NSURLSession::sessionWithConfiguration(configuration);
    EXPECT_FALSE(session->configuration()->followsRedirects());
    Outcome outcome;
    session->dataTaskWithURL(NSURL::URLWithString(server.url("/old")), recordInto(outcome))->resume();
    ASSERT_TRUE(waitFor(outcome));
    ASSERT_EQ(outcome.error, nullptr);
    EXPECT_EQ(outcome.http()->statusCode(), 302);
    EXPECT_EQ(outcome.http()->valueForHTTPHeaderField("location"), "ripple://wap/pay?id=1");
    EXPECT_EQ(outcome.http()->URL()->absoluteString(), server.url("/old"));
    EXPECT_EQ(server.requestCount(), 1u);
}

TEST_F(NSURLSessionTest, SessionConfigurationAddsHeadersAndTimeOutAndDeliversOnItsQueue) {
    server.respond("GET", "/headers", 200, "ok");
    // Held until the server stops: only the time-out can end it.
    server.respondSlowly("GET", "/slow", {.delayBeforeHeaders = LoopbackHTTPServer::SlowAnswer::kUntilTheServerStops, .body = "late"});
    auto configuration = NSURLSessionConfiguration::defaultSessionConfiguration();
    configuration->setHTTPAdditionalHeaders(Dictionary{{"X-Session", "s"}, {"User-Agent", "session"}});
    configuration->setTimeoutIntervalForRequest(0.2);
    auto queue = DispatchQueue::serial("test.completions");
    auto session = NSURLSession::sessionWithConfiguration(configuration, queue);
    configuration->setTimeoutIntervalForRequest(99);  // the session took a copy
    EXPECT_EQ(session->configuration()->timeoutIntervalForRequest(), 0.2);

    const int key = 0;
    queue->setSpecific(&key, Value("mine"));
    // Completions run on the session's queue: hand results over through atomics.
    std::atomic<int> completed{0};
    bool onQueue = false;
    long errorCode = 0;
    auto record = [&](const NSData&, Ref<NSURLResponse>, Ref<NSError> error) {
        onQueue = DispatchQueue::getSpecific(&key) == Value("mine");
        errorCode = error ? error->code() : 0;
        ++completed;
    };
    auto request = NSMutableURLRequest::requestWithURL(NSURL::URLWithString(server.url("/headers")));
    request->setValue("request", "user-agent");
    request->setTimeoutInterval(kGiveUpAfterSeconds);  // its own: it must be answered, however slowly
    session->dataTaskWithRequest(request, record)->resume();
    ASSERT_TRUE(NSRunLoop::mainRunLoop()->runUntil([&] { return completed == 1; }, kGiveUpAfterSeconds));
    EXPECT_TRUE(onQueue);
    EXPECT_EQ(errorCode, 0);
    const auto seen = server.lastRequest();
    EXPECT_EQ(seen->header("X-Session"), "s");
    EXPECT_EQ(seen->header("User-Agent"), "request");

    session->dataTaskWithURL(NSURL::URLWithString(server.url("/slow")), record)->resume();
    ASSERT_TRUE(NSRunLoop::mainRunLoop()->runUntil([&] { return completed == 2; }, kGiveUpAfterSeconds));
    EXPECT_EQ(errorCode, NSURLErrorTimedOut);
}

TEST_F(NSURLSessionTest, RequestTimeOutFailsAnAnswerThatStallsOrDribblesPastIt) {
    // The second half is held until the server stops: only the time-out can end the answer.
    server.respondSlowly("GET", "/stall",
                         {.delayBeforeHeaders = 0, .body = "0123456789", .pieces = 2, .pauseBetweenPieces = LoopbackHTTPServer::SlowAnswer::kUntilTheServerStops});
    // A byte every 50 ms for 5 s, each well within the time-out: the time-out is the whole answer's.
    server.respondSlowly("GET", "/dribble",
                         {.body = std::string(100, 'x'), .pieces = 100, .pauseBetweenPieces = 0.05, .chunked = true});
    for (const char* path : {"/stall", "/dribble"}) {
        auto request = NSURLRequest::requestWithURL(NSURL::URLWithString(server.url(path)),
                                                    NSURLRequestReloadIgnoringLocalCacheData, 0.3);
        const Outcome outcome = load(request);
        EXPECT_EQ(outcome.errorCode(), NSURLErrorTimedOut) << path;
        ASSERT_TRUE(outcome.error) << path;
        EXPECT_EQ(outcome.error->domain(), NSURLErrorDomain);
        EXPECT_EQ(outcome.error->localizedDescription(), "The request timed out.");
        EXPECT_EQ(outcome.error->userInfo()[NSURLErrorFailingURLStringErrorKey].description(), server.url(path));
        EXPECT_TRUE(outcome.body.empty());
        EXPECT_EQ(outcome.response, nullptr);
    }
}

TEST_F(NSURLSessionTest, TransportFailuresMapToURLErrors) {
    MisbehavingServer refusing(MisbehavingServer::Behaviour::RefuseConnections);
    MisbehavingServer silent(MisbehavingServer::Behaviour::CloseWithoutAnswer);
    MisbehavingServer garbage(MisbehavingServer::Behaviour::AnswerGarbage);
    server.respondThenDrop("GET", "/cut", std::string(100000, 'x'), 1000);
    // The shared session sets no bound of its own: the default holds.
    server.respond("GET", "/long", 200, std::string(URLLoadingEngine::kDefaultLargestBody + 1, 'x'), "text/plain");
    // A label longer than 63 characters fails in the local resolver, so no query leaves the machine.
    const std::string unknownHost = "http://" + std::string(70, 'q') + ".example/";

    struct Case {
        std::string url;
        long code;
        std::string description;
    };
    const std::vector<Case> cases = {
        {refusing.url("/"), NSURLErrorCannotConnectToHost, "Could not connect to the server."},
        {silent.url("/"), NSURLErrorNetworkConnectionLost, "The network connection was lost."},
        {server.url("/cut"), NSURLErrorNetworkConnectionLost, "The network connection was lost."},
        {server.url("/long"), NSURLErrorDataLengthExceedsMaximum, "resource exceeds maximum size"},
        {garbage.url("/"), NSURLErrorBadServerResponse,
         "The operation couldn’t be completed. (NSURLErrorDomain error -1011.)"},
        {unknownHost, NSURLErrorCannotFindHost, "A server with the specified hostname could not be found."},
        {"ftp://127.0.0.1/file", NSURLErrorUnsupportedURL, "unsupported URL"},
        {"http://", NSURLErrorBadURL, "bad URL"},
        // No host: nothing is looked up for the first path segment.
        {"https:///palconnectopen/x", NSURLErrorBadURL, "bad URL"},
        {"http://user@:80/x", NSURLErrorBadURL, "bad URL"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.url);
        auto url = NSURL::URLWithString(c.url);
        ASSERT_NE(url, nullptr);
        const Outcome outcome = load(NSURLRequest::requestWithURL(url));
        EXPECT_EQ(outcome.calls, 1);
        EXPECT_EQ(outcome.errorCode(), c.code);
        if (outcome.error) {
            EXPECT_EQ(outcome.error->localizedDescription(), c.description);
        }
        EXPECT_TRUE(outcome.body.empty());
    }
    EXPECT_EQ(silent.requestCount(), 1u);
    EXPECT_EQ(garbage.requestCount(), 1u);
}

TEST_F(NSURLSessionTest, ARequestWithoutAnAddressFailsAsUnsupported) {
    const Outcome outcome = load(NSURLRequest::requestWithURL(nullptr));
    EXPECT_EQ(outcome.errorCode(), NSURLErrorUnsupportedURL);
    EXPECT_EQ(server.requestCount(), 0u);
}

TEST_F(NSURLSessionTest, LargeBodyArrivesWholeWithRisingProgress) {
    std::string megabyte(1 << 20, '\0');
    for (std::size_t i = 0; i < megabyte.size(); ++i) megabyte[i] = static_cast<char>(i * 7 + i / 251);
    server.respond("GET", "/big", 200, megabyte, "application/octet-stream");

    Outcome outcome;
    std::vector<std::pair<long long, long long>> progress;
    auto task = NSURLSession::sharedSession()->dataTaskWithURL(NSURL::URLWithString(server.url("/big")), recordInto(outcome));
    task->setProgressHandler([&](long long received, long long expected) {
        EXPECT_EQ(outcome.calls, 0) << "progress after completion";
        progress.emplace_back(received, expected);
    });
    task->resume();
    ASSERT_TRUE(waitFor(outcome));
    ASSERT_EQ(outcome.error, nullptr);
    EXPECT_EQ(outcome.body.length(), megabyte.size());
    EXPECT_TRUE(outcome.body == NSData::fromString(megabyte));
    ASSERT_FALSE(progress.empty());
    for (std::size_t i = 1; i < progress.size(); ++i) EXPECT_GT(progress[i].first, progress[i - 1].first);
    EXPECT_EQ(progress.back().first, 1 << 20);
    EXPECT_EQ(progress.back().second, 1 << 20);
}

TEST_F(NSURLSessionTest, CancelMidTransferCompletesOnceAsCancelled) {
    server.respondSlowly("GET", "/trickle",
                         {.body = std::string(50, 'z'), .pieces = 50, .pauseBetweenPieces = 0.05, .chunked = true});
    Outcome outcome;
    int progressCalls = 0;
    auto task = NSURLSession::sharedSession()->dataTaskWithURL(NSURL::URLWithString(server.url("/trickle")), recordInto(outcome));
    task->setProgressHandler([&](long long received, long long expected) {
        EXPECT_EQ(expected, -1);  // chunked: no announced length
        EXPECT_GT(received, 0);
        ++progressCalls;
        task->cancel();
        EXPECT_EQ(task->state(), NSURLSessionTaskStateCanceling);
    });
    EXPECT_EQ(task->state(), NSURLSessionTaskStateSuspended);
    task->resume();
    EXPECT_EQ(task->state(), NSURLSessionTaskStateRunning);
    ASSERT_TRUE(waitFor(outcome));
    // Give any late engine callback time to (wrongly) show up.
    NSRunLoop::mainRunLoop()->runUntil([] { return false; }, 0.3);
    EXPECT_EQ(outcome.calls, 1);
    EXPECT_EQ(progressCalls, 1);
    EXPECT_EQ(outcome.errorCode(), NSURLErrorCancelled);
    EXPECT_EQ(outcome.error->localizedDescription(), "cancelled");
    EXPECT_EQ(task->state(), NSURLSessionTaskStateCompleted);
    EXPECT_EQ(task->error()->code(), NSURLErrorCancelled);
}

TEST_F(NSURLSessionTest, CancelBeforeResumeNeverReachesTheServer) {
    Outcome outcome;
    auto task = NSURLSession::sharedSession()->dataTaskWithURL(NSURL::URLWithString(server.url("/x")), recordInto(outcome));
    task->cancel();
    task->resume();
    ASSERT_TRUE(waitFor(outcome));
    EXPECT_EQ(outcome.errorCode(), NSURLErrorCancelled);
    EXPECT_EQ(server.requestCount(), 0u);
    task->cancel();  // a completed task stays completed
    EXPECT_EQ(task->state(), NSURLSessionTaskStateCompleted);
}

// A cancelled task's completion that is dropped unrun (the main loop's work
// discarded) takes its handler and pending answer along, even a handler that
// holds the task, as a client's that hands the task to its blocks does.
TEST_F(NSURLSessionTest, ACancelledTasksDroppedCompletionLeavesNothingPending) {
    const std::size_t pendingBefore = PendingAnswer::count();
    {
        auto holder = std::make_shared<Ref<NSURLSessionDataTask>>();
        *holder = NSURLSession::sharedSession()->dataTaskWithURL(
            NSURL::URLWithString(server.url("/x")),
            [holder](const NSData&, Ref<NSURLResponse>, Ref<NSError>) { holder->reset(); });
        (*holder)->resume();
        EXPECT_EQ(PendingAnswer::count(), pendingBefore + 1);
        (*holder)->cancel();
    }
    NSRunLoop::mainRunLoop()->discardPendingWork();
    EXPECT_EQ(PendingAnswer::count(), pendingBefore);
}

TEST_F(NSURLSessionTest, TasksKeepThemselvesAliveAndHaveDistinctIdentifiers) {
    server.respond("GET", "/a", 200, "a");
    Outcome outcome;
    unsigned long first = 0;
    {
        auto task = NSURLSession::sharedSession()->dataTaskWithURL(NSURL::URLWithString(server.url("/a")), recordInto(outcome));
        first = task->taskIdentifier();
        task->resume();
    }
    ASSERT_TRUE(waitFor(outcome));
    EXPECT_EQ(outcome.body.toString(), "a");
    auto second = NSURLSession::sharedSession()->dataTaskWithURL(NSURL::URLWithString(server.url("/a")));
    EXPECT_NE(second->taskIdentifier(), first);
}

TEST_F(NSURLSessionTest, ManyConcurrentTasksAllComplete) {
    server.respond("GET", "/n", 200, "n");
    constexpr int count = 40;
    std::vector<Outcome> outcomes(count);
    for (auto& outcome : outcomes) {
        NSURLSession::sharedSession()->dataTaskWithURL(NSURL::URLWithString(server.url("/n")), recordInto(outcome))->resume();
    }
    ASSERT_TRUE(NSRunLoop::mainRunLoop()->runUntil([&] {
        for (const auto& outcome : outcomes) if (outcome.calls == 0) return false;
        return true;
    }, kGiveUpAfterSeconds));
    for (const auto& outcome : outcomes) {
        EXPECT_EQ(outcome.calls, 1);
        EXPECT_EQ(outcome.body.toString(), "n");
    }
}

// Six transfers to one host take every connection the engine opens to it;
// a seventh waits for one. Waiting, it still runs out of time like any
// other and its caller hears so.
TEST_F(NSURLSessionTest, ARequestWaitingForAConnectionFailsAsTimedOutWhenItsTimeRunsOut) {
    server.respondSlowly("GET", "/held", {.delayBeforeHeaders = LoopbackHTTPServer::SlowAnswer::kUntilTheServerStops, .body = "late"});
    std::vector<Outcome> held(6);
    std::vector<Ref<NSURLSessionDataTask>> tasks;
    for (auto& outcome : held) {
        tasks.push_back(NSURLSession::sharedSession()->dataTaskWithURL(NSURL::URLWithString(server.url("/held")),
                                                                       recordInto(outcome)));
        tasks.back()->resume();
    }
    ASSERT_TRUE(NSRunLoop::mainRunLoop()->runUntil([&] { return server.requestCount() == 6; }, kGiveUpAfterSeconds));
    const Outcome waiting = load(NSURLRequest::requestWithURL(NSURL::URLWithString(server.url("/waits")),
                                                              NSURLRequestReloadIgnoringLocalCacheData, 0.3));
    EXPECT_EQ(waiting.calls, 1);
    EXPECT_EQ(waiting.errorCode(), NSURLErrorTimedOut);
    EXPECT_EQ(server.requestCount(), 6u) << "it never had a connection";
    for (const auto& task : tasks) task->cancel();
    ASSERT_TRUE(NSRunLoop::mainRunLoop()->runUntil([&] {
        return std::all_of(held.begin(), held.end(), [](const Outcome& outcome) { return outcome.calls == 1; });
    }, kGiveUpAfterSeconds));
}

}  // namespace

// A server that answers one request and keeps the connection open, then
// tells whether the client closed it. The main loop does not run while the
// test waits, so nothing but the call can close the connection meanwhile
// (curl drops a connection idle too long only when a later transfer looks
// for one to reuse).
TEST_F(NSURLSessionTest, ClosingAllConnectionsEndsTheKeptAliveOnesAtOnce) {
    int listener = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    ASSERT_EQ(bind(listener, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
    ASSERT_EQ(listen(listener, 1), 0);
    getsockname(listener, reinterpret_cast<sockaddr*>(&address), &length);
    const int giveUp = static_cast<int>(kGiveUpAfter.count());
    std::atomic<bool> closedByClient{false};
    std::thread peer([&] {
        pollfd arrival{listener, POLLIN, 0};
        if (poll(&arrival, 1, giveUp) != 1) return;
        int connection = accept(listener, nullptr, nullptr);
        char head[4096];
        [[maybe_unused]] auto got = read(connection, head, sizeof head);
        const std::string answer = "HTTP/1.1 200 OK\r\nContent-Length: 2\r\n\r\nok";
        [[maybe_unused]] auto sent = write(connection, answer.data(), answer.size());
        pollfd end{connection, POLLIN, 0};
        closedByClient = poll(&end, 1, giveUp) == 1 && read(connection, head, sizeof head) == 0;
        close(connection);
    });
    auto outcome = load("http://127.0.0.1:" + std::to_string(ntohs(address.sin_port)) + "/");
    EXPECT_EQ(outcome.body.toString(), "ok");
    URLLoadingEngine::closeAllConnections();
    peer.join();
    close(listener);
    EXPECT_TRUE(closedByClient);
    server.respond("GET", "/after", 200, "again");  // later transfers open new connections
    EXPECT_EQ(load(server.url("/after")).body.toString(), "again");
}

namespace {

// Exiting with a transfer under way on the main loop is clean: the sanitizers
// find no leaks or use after destruction.
TEST(NSURLSessionExit, ExitingWithATransferInFlightIsClean) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(
        {
            static LoopbackHTTPServer slowServer;
            // Held for longer than the test can wait: the process exits before any answer.
            slowServer.respondSlowly("GET", "/forever", {.delayBeforeHeaders = LoopbackHTTPServer::SlowAnswer::kUntilTheServerStops, .body = "never"});
            NSURLSession::sharedSession()
                ->dataTaskWithURL(NSURL::URLWithString(slowServer.url("/forever")),
                                  [](const NSData&, Ref<NSURLResponse>, Ref<NSError>) { std::_Exit(3); })
                ->resume();
            const bool arrived =
                NSRunLoop::mainRunLoop()->runUntil([] { return slowServer.requestCount() == 1; }, kGiveUpAfterSeconds);
            std::exit(arrived ? 0 : 2);
        },
        ::testing::ExitedWithCode(0), "");
}

}  // namespace

namespace {

// A request whose kept-alive connection closes under it reached the server,
// which may have acted on it: it fails as a lost connection and is not sent
// again on a new one, whatever its method.
TEST_F(NSURLSessionTest, ARequestIsNeverSentTwiceWhenItsKeptAliveConnectionCloses) {
    for (const std::string method : {"GET", "POST"}) {
        SCOPED_TRACE(method);
        MisbehavingServer dying(MisbehavingServer::Behaviour::AnswerFirstThenCloseWithoutAnswer);
        auto request = [&](const std::string& path) {
            auto made = NSMutableURLRequest::requestWithURL(NSURL::URLWithString(dying.url(path)));
            made->setHTTPMethod(method);
            return made;
        };
        const Outcome first = load(request("/first"));
        ASSERT_EQ(first.errorCode(), 0);
        const Outcome second = load(request("/second"));
        EXPECT_EQ(second.errorCode(), NSURLErrorNetworkConnectionLost);
        const std::vector<std::string> lines = dying.requestLines();
        EXPECT_EQ(lines, (std::vector<std::string>{method + " /first HTTP/1.1", method + " /second HTTP/1.1"}));
        // The engine still works: the next request opens a new connection.
        EXPECT_EQ(load(request("/third")).errorCode(), 0);
    }
}

// Servers close idle connections after 2 s, and a request sent on one as it
// closes is lost: a connection idle for a second is not reused.
TEST_F(NSURLSessionTest, AConnectionIdleForASecondIsNotReused) {
    std::mutex mutex;
    std::vector<int> clientPorts;
    server.route("GET", "/port", [&](const httplib::Request& request, httplib::Response& response) {
        std::lock_guard lock(mutex);
        clientPorts.push_back(request.remote_port);
        response.set_content("ok", "text/plain");
    });
    ASSERT_EQ(load(server.url("/port")).errorCode(), 0);
    // The connection's idle time is what is under test: it has been idle
    // for at least as long as since the answer was taken.
    const double answered = MonotonicClock::realNow();
    ASSERT_TRUE(NSRunLoop::mainRunLoop()->runUntil([&] { return MonotonicClock::realNow() >= answered + 1; },
                                                   kGiveUpAfterSeconds));
    ASSERT_EQ(load(server.url("/port")).errorCode(), 0);
    std::lock_guard lock(mutex);
    ASSERT_EQ(clientPorts.size(), 2u);
    EXPECT_NE(clientPorts[0], clientPorts[1]) << "sent on the connection of the first request";
}

}  // namespace
