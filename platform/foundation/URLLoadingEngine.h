#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <unordered_map>
#include <utility>
#include <vector>

#include "foundation/NSData.h"
#include "foundation/NSObject.h"

class DispatchQueue;
class NSRunLoop;

// What the engine tells about one transfer. Every call runs on the thread of
// the engine's run loop, in order: at most one response, then data, then
// exactly one completion (unless the transfer is cancelled, which silences
// it). Calls come from inside libcurl: observers hand work to a queue and
// never call the engine back from them.
class URLTransferObserver {
public:
    struct Response {
        long statusCode = 0;
        // Header fields as received, in order, duplicates kept.
        std::vector<std::pair<std::string, std::string>> headers;
        // The address that answered, after redirects.
        std::string url;
    };

    virtual ~URLTransferObserver() = default;
    virtual void transferDidReceiveResponse(Response response) = 0;
    virtual void transferDidReceiveData(const char* bytes, std::size_t length) = 0;
    // Request body progress: bytes sent since the last call, in all, and expected.
    virtual void transferDidSendBodyData(std::int64_t, std::int64_t, std::int64_t) {}
    // Response body progress: bytes received since the last call, in all, and
    // expected (0 when the answer gives no length).
    virtual void transferDidWriteData(std::int64_t, std::int64_t, std::int64_t) {}
    // `urlErrorCode` is 0 on success, else one of the NSURLError codes.
    virtual void transferDidComplete(long urlErrorCode) = 0;
};

// Runs HTTP transfers over libcurl's multi interface from a run loop: the
// loop watches curl's sockets and times curl's time-outs itself (real time,
// whatever the main loop's clock). Transfers delivered on the main queue run
// on the main run loop, so a main-queue request never leaves the main
// thread; transfers delivered on any other queue run on one background
// loading thread (started on first use, joined at exit). Connections are
// kept alive and reused, at most a set number per host (6 unless the caller
// asks for another): each loop has one engine, and pool of connections, per
// such limit, so transfers asking for a limit of their own neither take nor
// wait for the connections of the others. Redirects are followed unless a request
// says not; a transfer fails as timed out once its time-out has passed since
// it started. A chunked body is taken from libcurl with its framing, as
// read, and unframed here: a body in chunks of a byte costs one call per
// read from the socket, not one per chunk.
// A request is never sent twice on the engine's own initiative: when the
// kept-alive connection it went out on closes without an answer, the
// transfer fails as NSURLErrorNetworkConnectionLost (the server may have
// acted on it) instead of being sent again on a new connection. So that no
// request goes out on a connection the server is closing as idle, one idle
// for a second or more is not reused: servers close them after 2 s or more.
class URLLoadingEngine {
public:
    // The most bytes of an answer's body a request reads unless its loader
    // sets another bound: the bound of an API's answer (JSON, a form, a line
    // of text), thousands of times the longest page of a list the back end
    // sends. Loaders of other kinds of answers set their own: web pages,
    // pictures.
    static constexpr std::uint64_t kDefaultLargestBody = 4u << 20;

    struct Request {
        std::string url;
        std::string method = "GET";
        // Header fields in the order to send them.
        std::vector<std::pair<std::string, std::string>> headers;
        NSData body;
        // Seconds from the transfer's start after which it fails as timed
        // out, however much it has received: a whole deadline, so that a
        // server sending a byte now and then cannot keep it for ever.
        double timeoutInterval = 60;
        // Off: a redirect is the final answer (its status, Location and body).
        bool followRedirects = true;
        // The most bytes the answer's body may hold: every answer is
        // bounded. An answer whose Content-Length is larger fails before its
        // body is read, one without a length as soon as its body passes the
        // bound, both as NSURLErrorDataLengthExceedsMaximum. The bytes on
        // the wire (the body with its chunks' framing) are bounded too, at
        // largestWireBytes: a body in chunks of a byte or two fails as
        // soon as its framing outgrows it, the same way.
        std::uint64_t largestBody = kDefaultLargestBody;
    };
    // The most bytes a body of at most `largestBody` bytes may take on the
    // wire: its framing may double it, and a small body has room for its
    // chunks' lines and trailer.
    static constexpr std::uint64_t largestWireBytes(std::uint64_t largestBody) {
        return 2 * largestBody + (64u << 10);
    }
    using TransferID = std::uint64_t;
    // As many connections to one host as the platform opens; more transfers wait.
    static constexpr long kDefaultConnectionsPerHost = 6;

    // The main run loop's engine with this many connections per host.
    static URLLoadingEngine& main(long connectionsPerHost = kDefaultConnectionsPerHost);
    // The engine for transfers whose results go to `queue`, with this many
    // connections per host.
    static URLLoadingEngine& forQueue(const Ref<DispatchQueue>& queue,
                                      long connectionsPerHost = kDefaultConnectionsPerHost);

    // HTTPS to `host` trusts only the certificates in this PEM file (a local
    // service's own authority) instead of the system's; nothing goes back to
    // the system's. Peer and host name checks stay on either way.
    static void trustCertificatesForHost(const std::string& host, std::optional<std::string> certificateFile);
    static std::optional<std::string> trustedCertificatesForURL(const std::string& url);
    // Every engine ends its transfers under way (they fail as
    // NSURLErrorNetworkConnectionLost) and closes its kept-alive connections,
    // so that servers see them end at once; later transfers open new ones. Call it on the main thread, outside
    // the engines' callbacks; it waits until the background engines are done.
    static void closeAllConnections();

    ~URLLoadingEngine();
    URLLoadingEngine(const URLLoadingEngine&) = delete;
    URLLoadingEngine& operator=(const URLLoadingEngine&) = delete;

    // Queues a transfer; the observer is kept until the transfer ends. Any thread.
    TransferID start(Request request, std::shared_ptr<URLTransferObserver> observer);
    // Ends a transfer early and drops its observer without a completion. Any
    // thread: the engine takes the request on its loop's next turn, so a call
    // to the observer may still be under way or follow shortly: observers
    // that cancel ignore what comes after.
    void cancel(TransferID transfer);

private:
    struct Transfer;
    URLLoadingEngine(Ref<NSRunLoop> loop, long connectionsPerHost);
    void makeMulti();
    void closeConnections();
    // The starts and cancels queued by other threads since the last take.
    struct Commands {
        std::vector<std::unique_ptr<Transfer>> starts;
        std::vector<TransferID> cancelled;
        bool cancels(TransferID id) const;
    };
    // Clears the eventfd's wake-up and takes the queued commands.
    Commands takePendingCommands();
    // Wakes the loop's thread for the queued commands.
    void signalLoop();
    void takeCommands();
    void finish(Transfer& transfer, long urlErrorCode);
    // Takes the transfer's handle out of the multi handle, keeping it for reuse.
    void release(Transfer& transfer);
    // Lets curl act on a ready socket or its time-out, then ends finished transfers.
    void drive(int socket, int events);
    void collectFinished();
    void failLateTransfers();
    // Keeps one real-time check at the earliest deadline.
    void armDeadlineCheck();
    void setCurlTimer(long milliseconds);
    void setCurlSocket(int socket, int what);
    static int onSocket(void* easy, int socket, int what, void* engine, void* socketData);
    static int onTimer(void* multi, long milliseconds, void* engine);

    const Ref<NSRunLoop> loop_;
    const long connectionsPerHost_;
    const int wakeFd_;  // eventfd: commands are waiting

    std::mutex mutex_;  // guards the fields below
    TransferID lastID_ = 0;
    bool signalled_ = false;
    std::vector<std::unique_ptr<Transfer>> startsPending_;
    std::vector<TransferID> cancelsPending_;

    // Owned by the loop's thread.
    void* multi_ = nullptr;  // CURLM*
    std::uint64_t wakeWatch_ = 0;
    struct SocketWatch {
        std::uint64_t token;
        int what;  // CURL_POLL_IN, _OUT or _INOUT
    };
    std::unordered_map<int, SocketWatch> socketWatches_;
    std::uint64_t curlTimer_ = 0;
    std::uint64_t deadlineCheck_ = 0;
    double deadlineCheckDue_ = 0;
    std::unordered_map<TransferID, std::unique_ptr<Transfer>> running_;
    std::vector<void*> spareHandles_;  // CURL*
};
