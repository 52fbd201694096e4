#pragma once

#include <httplib.h>

#include <condition_variable>
#include <cstddef>
#include <functional>
#include <limits>
#include <map>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <thread>
#include <utility>
#include <vector>

// A scripted HTTP/1.1 server on 127.0.0.1 and a free port, for tests of
// anything that talks HTTP. The constructor starts it, the destructor stops
// it (interrupting slow answers). Answers are scripted per method and path;
// a request nobody scripted gets 404. Every request is recorded.
class LoopbackHTTPServer {
public:
    using Handler = std::function<void(const httplib::Request&, httplib::Response&)>;

    struct RecordedRequest {
        std::string method;
        std::string path;   // decoded, without the query
        std::string query;  // as sent, without the "?"
        httplib::Headers headers;
        std::string body;

        // The first value of a header (names compare case-insensitively), or "".
        std::string header(const std::string& name) const;
    };

    // An answer that takes its time: a pause before the status line, then the
    // body in `pieces` equal parts with a pause before each.
    struct SlowAnswer {
        // A pause that ends only when the server stops: for an answer that
        // must never come while a test looks (only a time-out, a cancel or
        // another load can end the request).
        static constexpr double kUntilTheServerStops = std::numeric_limits<double>::infinity();

        double delayBeforeHeaders = 0;
        std::string body;
        std::size_t pieces = 1;
        double pauseBetweenPieces = 0;
        // Chunked transfer encoding instead of a Content-Length.
        bool chunked = false;
    };

    LoopbackHTTPServer();
    ~LoopbackHTTPServer();
    LoopbackHTTPServer(const LoopbackHTTPServer&) = delete;
    LoopbackHTTPServer& operator=(const LoopbackHTTPServer&) = delete;

    int port() const { return port_; }
    // "http://127.0.0.1:<port>"
    std::string baseURL() const;
    // The base URL followed by `pathAndQuery` (which starts with "/").
    std::string url(std::string_view pathAndQuery) const;

    // Scripts the answer to `method` (GET, POST...) on `path`; replaces any
    // earlier script for the pair.
    void route(const std::string& method, const std::string& path, Handler handler);
    // Answers `method` on every path that has no script of its own.
    void routeAnyPath(const std::string& method, Handler handler);
    void respond(const std::string& method, const std::string& path, int status, std::string body,
                 std::string contentType = "text/plain");
    void respondSlowly(const std::string& method, const std::string& path, SlowAnswer answer);
    // Announces `body` with its full length, sends its first `bytesBeforeDrop`
    // bytes and closes the connection.
    void respondThenDrop(const std::string& method, const std::string& path, std::string body,
                         std::size_t bytesBeforeDrop);

    std::vector<RecordedRequest> requests() const;
    std::size_t requestCount() const;
    // The most recent request, if any arrived.
    std::optional<RecordedRequest> lastRequest() const;

private:
    void dispatch(const httplib::Request& request, httplib::Response& response);
    // Waits `seconds` (kUntilTheServerStops: for good); false when the
    // server is stopping meanwhile.
    bool pause(double seconds);

    httplib::Server server_;
    int port_ = -1;
    std::thread listenThread_;

    mutable std::mutex mutex_;
    std::condition_variable stoppingChanged_;
    bool stopping_ = false;
    std::map<std::pair<std::string, std::string>, Handler> routes_;
    std::map<std::string, Handler> anyPathRoutes_;  // by method
    std::vector<RecordedRequest> requests_;
};
