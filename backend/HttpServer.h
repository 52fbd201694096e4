#pragma once

#include <atomic>
#include <condition_variable>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <regex>
#include <set>
#include <string>
#include <string_view>
#include <vector>

namespace backend {

// Header names compare without regard to case, as HTTP wants.
struct CaseInsensitiveLess {
    bool operator()(const std::string& a, const std::string& b) const;
};

// One request as the routes see it.
struct HttpRequest {
    std::string method;
    std::string path;  // percent-decoded, without the query
    // The query's fields and, for a form-encoded body, the body's fields,
    // in the order sent (query first).
    std::multimap<std::string, std::string> params;
    std::multimap<std::string, std::string, CaseInsensitiveLess> headers;
    std::string body;
    // The route pattern's groups; [0] is the whole path.
    std::vector<std::string> matches;

    // The first value of a field, or the empty text.
    std::string param(const std::string& name) const;
    std::string header(const std::string& name) const;
};

struct HttpResponse {
    int status = 200;
    std::string body;
    std::string contentType;

    void setContent(std::string content, std::string type) {
        body = std::move(content);
        contentType = std::move(type);
    }
};

// A small HTTP/1.1 server for the local back end: routes by method and path
// pattern, keep-alive connections, one thread per connection.
//
// It holds every client to bounds, so no client can take the server's
// memory or keep it from others: the request head must arrive within
// `headSeconds` (a client trickling bytes is dropped), in at most
// `headBytes` and `headerLines`; bodies need a Content-Length of at most
// `bodyBytes` (chunked bodies are refused); at most `connections` clients
// are served at once, the rest told to come back. TCP_NODELAY is set on
// every connection, so a kept-alive client never waits on a delayed ACK.
class HttpServer {
public:
    struct Limits {
        std::size_t headBytes = 16 * 1024;
        std::size_t headerLines = 100;
        std::size_t bodyBytes = 64 * 1024;
        double headSeconds = 10;
        double bodySeconds = 10;
        double keepAliveSeconds = 2;
        std::size_t requestsPerConnection = 1000;
        std::size_t connections = 256;
    };
    using Handler = std::function<void(const HttpRequest&, HttpResponse&)>;

    explicit HttpServer(Limits limits);
    HttpServer() : HttpServer(Limits{}) {}
    ~HttpServer();
    HttpServer(const HttpServer&) = delete;
    HttpServer& operator=(const HttpServer&) = delete;

    void get(const std::string& pattern, Handler handler);
    void post(const std::string& pattern, Handler handler);
    // Fills the body of an answer the server makes itself (no route, body
    // too large, malformed request): it gets the status set.
    void setErrorHandler(std::function<void(HttpResponse&)> handler) { errorHandler_ = std::move(handler); }
    // What a route that throws answers.
    void setExceptionHandler(std::function<void(HttpResponse&)> handler) { exceptionHandler_ = std::move(handler); }

    // Binds `host`:`port` (0: any free port); the port, or -1.
    int bind(const std::string& host, int port);
    // Serves until stop(), then closes the listener; returns at once when
    // not bound.
    void serve();
    // Ends serving: closes the listener and every connection, and waits for
    // their threads. Safe to call twice and from any thread.
    void stop();
    bool isServing() const { return serving_; }

    const Limits& limits() const { return limits_; }

private:
    struct Route {
        std::string method;
        std::regex pattern;
        Handler handler;
    };
    class Connection;

    void serveConnection(int socket);
    void answer(HttpRequest& request, HttpResponse& response);
    void fillError(HttpResponse& response, int status);

    Limits limits_;
    std::vector<Route> routes_;
    std::function<void(HttpResponse&)> errorHandler_;
    std::function<void(HttpResponse&)> exceptionHandler_;
    int listener_ = -1;
    int wakeRead_ = -1, wakeWrite_ = -1;
    std::atomic<bool> serving_{false};
    std::atomic<bool> stopping_{false};
    // The open connections, shared with their threads.
    struct Clients {
        std::mutex mutex;
        std::condition_variable emptied;
        std::set<int> sockets;
    };
    std::shared_ptr<Clients> clients_ = std::make_shared<Clients>();
};

}  // namespace backend
