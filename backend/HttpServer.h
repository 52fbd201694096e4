#pragma once

#include <atomic>
#include <cstdint>
#include <condition_variable>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <regex>
#include <set>
#include <string>
#include <string_view>
#include <vector>

namespace backend {

// The type of every JSON answer of the listeners.
inline constexpr const char* kJSONType = "application/json; charset=utf-8";
// How soon a listener of the back end that found no descriptor left for a
// new client tries again (its clients wait in its queue meanwhile):
// descriptors may come back anywhere in the process, not only from its own
// connections.
inline constexpr int kAcceptAgainAfterMilliseconds = 100;

class HttpConnections;

// Header names compare without regard to case, as HTTP wants.
struct CaseInsensitiveLess {
    bool operator()(const std::string& a, const std::string& b) const;
};

// One part of a multipart/form-data body.
struct HttpFilePart {
    std::string filename;  // empty for a plain field
    std::string content;
};

// One request as the routes see it.
struct HttpRequest {
    std::string method;
    std::string path;   // percent-decoded, without the query
    std::string query;  // the query as sent, still encoded
    // The query's fields and, for a form-encoded body, the body's fields,
    // in the order sent (query first).
    std::multimap<std::string, std::string> params;
    // The Host is the authority asked for: an absolute target's, else the
    // Host line's, without the blanks around it.
    std::multimap<std::string, std::string, CaseInsensitiveLess> headers;
    // The parts of a multipart/form-data body, by field name: the first
    // `Limits::parts`; the ones past them are read and counted, not kept.
    std::multimap<std::string, HttpFilePart> files;
    std::size_t partsLeftOut = 0;
    std::string body;
    // The route pattern's groups; [0] is the whole path, unmatched ones empty.
    std::vector<std::string> matches;

    // The first value of a field, or the empty text.
    std::string param(const std::string& name) const;
    std::string header(const std::string& name) const;
    // The first part of that name, or nothing.
    const HttpFilePart* file(const std::string& name) const;
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

// An answer given later, from any thread: a held request (a long poll)
// costs no thread while it waits. The first answer counts.
class HeldAnswer {
public:
    virtual ~HeldAnswer() = default;
    virtual void answer(HttpResponse response) = 0;
    // Answered already: by its holder, or by the server when the client
    // left or the server stopped.
    virtual bool answered() const = 0;
};

// The HTTP server under every listener of the back end, plain or TLS: a
// few threads waiting on epoll serve every connection (`HttpConnections`,
// which reads each request strictly with `RequestReader`), so idle or held
// connections cost no thread.
//
// Every client is held to the same bounds, so none can take the server's
// memory: the request head within `headBytes` and `headerLines` (else 431),
// complete within `headSeconds` of the connection's start or of the
// previous answer, and its body within `bodySeconds` (a client trickling
// bytes is dropped); a head a proxy could read otherwise than we do (a
// line folded or with no colon, a name that is no token, a NUL or a bare
// CR, lines ended in two ways, two Host lines, a malformed request line)
// is refused (400), as is an HTTP/1.1 request with no Host and a Host
// that names no authority (`isAuthority`: "a b", "a@b", "a:b:c"); the absolute
// form of a target is served as its path and query, its authority the
// Host the routes see (the Host line is not), HEAD as GET without the
// body; bodies need a Content-Length (chunked ones: 411; two of them, or
// one that is not plain digits: 400) of at most the route's
// body size (413), and a multipart body keeps its first `parts` parts (the
// others are counted only); a connection quiet for `idleSeconds` while a
// request is awaited or read is closed, and one whose client takes none of
// its answers for `replySeconds` is cut. Beyond `connections` clients, the
// next few are answered 503 and the rest closed at once. One client on the
// loopback can still fill every place by opening connections as fast as
// they are closed: the bounds keep what each costs small, not their number
// fair.
class HttpServer {
public:
    struct Limits {
        std::size_t headBytes = 16 * 1024;
        std::size_t headerLines = 100;
        std::size_t bodyBytes = 64 * 1024;  // for routes that name no size
        std::size_t parts = 100;            // of a multipart body, kept
        double headSeconds = 10;
        double bodySeconds = 10;
        unsigned idleSeconds = 2;
        // A client that takes none of what waits for it this long is cut.
        double replySeconds = 3;
        std::size_t requestsPerConnection = 1000;
        std::size_t connections = 256;
        unsigned threads = 4;
    };
    // A TLS listener's key and certificate, as PEM text.
    struct Credentials {
        std::string keyPEM;
        std::string certificatePEM;
    };
    using Handler = std::function<void(const HttpRequest&, HttpResponse&)>;
    using HeldHandler = std::function<void(const HttpRequest&, std::shared_ptr<HeldAnswer>)>;
    // Sees every routed request first; answering true means `response` is
    // the answer and no route runs.
    using Observer = std::function<bool(const HttpRequest&, HttpResponse&)>;

    explicit HttpServer(Limits limits);
    HttpServer() : HttpServer(Limits{}) {}
    ~HttpServer();
    HttpServer(const HttpServer&) = delete;
    HttpServer& operator=(const HttpServer&) = delete;

    // `bodyBytes` 0: the limits' body size.
    void get(const std::string& pattern, Handler handler);
    void post(const std::string& pattern, Handler handler, std::size_t bodyBytes = 0);
    // A GET answered through a HeldAnswer, now or later; stop() answers the
    // ones still held with 503.
    void getHeld(const std::string& pattern, HeldHandler handler);
    void setObserver(Observer observer) { observer_ = std::move(observer); }
    // Fills the body of an answer the server makes itself (no route, body
    // too large, malformed request, busy): it gets the status set.
    void setErrorHandler(std::function<void(HttpResponse&)> handler) { errorHandler_ = std::move(handler); }
    // What a route that throws answers.
    void setExceptionHandler(std::function<void(HttpResponse&)> handler) { exceptionHandler_ = std::move(handler); }

    // Binds `host`:`port` (0: any free port); the port, or -1. Connections
    // wait in the listener's queue until the server starts.
    int bind(const std::string& host, int port);
    // Starts serving the bound port, over TLS when `credentials` are given,
    // on the server's own threads; false when it cannot. Routes are added
    // before.
    bool start(const std::optional<Credentials>& credentials = std::nullopt);
    // Starts serving (plain) when not started, then waits until stop().
    void serve();
    // Ends serving: answers the held requests, closes the listener and
    // every connection, and waits for the server's threads. Safe to call
    // twice and from any thread but the server's own.
    void stop();
    bool isServing() const { return serving_; }

    const Limits& limits() const { return limits_; }

    class Hold;

private:
    struct Route {
        std::string method;
        std::regex pattern;
        Handler handler;
        HeldHandler held;
        std::size_t bodyBytes;
        // HEAD is answered as GET, without the body.
        bool serves(const std::string& requested) const {
            return method == requested || (requested == "HEAD" && method == "GET");
        }
    };
    struct Serving;
    friend struct Serving;
    friend class Hold;

    // A head read whole: 0, or the status to refuse it with.
    int admit(HttpRequest& request, const std::string& target, std::uint64_t bodyLength, bool beyondLimit) const;
    // A whole request, answered through `answer`; true when its route holds
    // it.
    bool serve(HttpRequest& request, const std::shared_ptr<HeldAnswer>& answer);
    const Route* route(HttpRequest& request) const;
    void fillError(HttpResponse& response, int status) const;
    // What a route or observer that throws answers.
    HttpResponse failure() const;
    // An answer as it goes on the wire, with `connection` (when not empty)
    // as its Connection header.
    static std::string wire(const HttpResponse& response, std::string_view connection, bool headOnly);
    void run(const Route& route, HttpRequest& request, HttpResponse& response) const;

    Limits limits_;
    std::vector<Route> routes_;
    Observer observer_;
    std::function<void(HttpResponse&)> errorHandler_;
    std::function<void(HttpResponse&)> exceptionHandler_;
    int listener_ = -1;
    std::unique_ptr<Serving> service_;
    std::unique_ptr<HttpConnections> connections_;
    std::atomic<bool> serving_{false};
    // Held requests not answered yet; past stop() none is held any more.
    std::mutex holdsMutex_;
    std::set<std::shared_ptr<Hold>> holds_;
    bool stopping_ = false;
    bool stopped_once_ = false;
    std::mutex stopMutex_;
    std::condition_variable stopped_;
};

}  // namespace backend
