#include "tests/support/LoopbackHTTPServer.h"

#include <algorithm>
#include <chrono>
#include <memory>
#include <stdexcept>

#include "foundation/NSThread.h"
#include "foundation/URLLoadingEngine.h"

namespace {
constexpr std::size_t workerCount = 32;
}

std::string LoopbackHTTPServer::RecordedRequest::header(const std::string& name) const {
    auto found = headers.find(name);
    return found == headers.end() ? std::string() : found->second;
}

LoopbackHTTPServer::LoopbackHTTPServer() {
    auto dispatcher = [this](const httplib::Request& request, httplib::Response& response) {
        dispatch(request, response);
    };
    server_.Get(".*", dispatcher);
    server_.Post(".*", dispatcher);
    server_.Put(".*", dispatcher);
    server_.Patch(".*", dispatcher);
    server_.Delete(".*", dispatcher);
    server_.Options(".*", dispatcher);
    // A connection waits a second for its first or next request: a client
    // whose thread is held up for a moment under load still gets its answer.
    // Idle connections do not hold up stopping: the destructor has the
    // process's URL loading close its connections first. Enough workers for
    // many concurrent clients.
    server_.set_keep_alive_timeout(1);
    server_.new_task_queue = [] { return new httplib::ThreadPool(workerCount); };
    server_.set_tcp_nodelay(true);

    port_ = server_.bind_to_any_port("127.0.0.1");
    if (port_ <= 0) throw std::runtime_error("LoopbackHTTPServer: cannot bind a loopback port");
    listenThread_ = std::thread([this] { server_.listen_after_bind(); });
    // stop() only reaches a server that has started listening.
    while (!server_.is_running()) std::this_thread::sleep_for(std::chrono::milliseconds(1));
}

LoopbackHTTPServer::~LoopbackHTTPServer() {
    // The server's workers end a kept-alive connection as soon as its client closes it.
    if (NSThread::isMainThread()) URLLoadingEngine::closeAllConnections();
    {
        std::lock_guard lock(mutex_);
        stopping_ = true;
    }
    stoppingChanged_.notify_all();
    server_.stop();
    listenThread_.join();
}

std::string LoopbackHTTPServer::baseURL() const { return "http://127.0.0.1:" + std::to_string(port_); }

std::string LoopbackHTTPServer::url(std::string_view pathAndQuery) const {
    return baseURL() + std::string(pathAndQuery);
}

void LoopbackHTTPServer::route(const std::string& method, const std::string& path, Handler handler) {
    std::lock_guard lock(mutex_);
    routes_[{method, path}] = std::move(handler);
}

void LoopbackHTTPServer::routeAnyPath(const std::string& method, Handler handler) {
    std::lock_guard lock(mutex_);
    anyPathRoutes_[method] = std::move(handler);
}

void LoopbackHTTPServer::respond(const std::string& method, const std::string& path, int status, std::string body,
                                 std::string contentType) {
    route(method, path, [status, body = std::move(body), contentType = std::move(contentType)](
                            const httplib::Request&, httplib::Response& response) {
        response.status = status;
        response.set_content(body, contentType);
    });
}

void LoopbackHTTPServer::respondSlowly(const std::string& method, const std::string& path, SlowAnswer answer) {
    route(method, path, [this, answer](const httplib::Request&, httplib::Response& response) {
        if (!pause(answer.delayBeforeHeaders)) return;
        const std::size_t pieces = std::max<std::size_t>(answer.pieces, 1);
        const std::size_t pieceLength = (answer.body.size() + pieces - 1) / pieces;
        auto sent = std::make_shared<std::size_t>(0);
        auto sendNextPiece = [this, answer, pieceLength, sent](httplib::DataSink& sink) {
            if (!pause(answer.pauseBetweenPieces)) return false;
            const std::size_t length = std::min(pieceLength, answer.body.size() - *sent);
            if (!sink.write(answer.body.data() + *sent, length)) return false;
            *sent += length;
            if (*sent == answer.body.size() && answer.chunked) sink.done();
            return true;
        };
        if (answer.chunked) {
            response.set_chunked_content_provider(
                "text/plain", [sendNextPiece](std::size_t, httplib::DataSink& sink) { return sendNextPiece(sink); });
        } else {
            response.set_content_provider(
                answer.body.size(), "text/plain",
                [sendNextPiece](std::size_t, std::size_t, httplib::DataSink& sink) { return sendNextPiece(sink); });
        }
    });
}

void LoopbackHTTPServer::respondThenDrop(const std::string& method, const std::string& path, std::string body,
                                         std::size_t bytesBeforeDrop) {
    route(method, path, [body = std::move(body), bytesBeforeDrop](const httplib::Request&, httplib::Response& response) {
        response.set_content_provider(body.size(), "application/octet-stream",
                                      [body, bytesBeforeDrop](std::size_t offset, std::size_t, httplib::DataSink& sink) {
                                          if (offset >= bytesBeforeDrop) return false;  // httplib closes the socket
                                          sink.write(body.data() + offset, bytesBeforeDrop - offset);
                                          return true;
                                      });
    });
}

void LoopbackHTTPServer::dispatch(const httplib::Request& request, httplib::Response& response) {
    Handler handler;
    {
        std::lock_guard lock(mutex_);
        const auto questionMark = request.target.find('?');
        requests_.push_back({request.method, request.path,
                             questionMark == std::string::npos ? std::string() : request.target.substr(questionMark + 1),
                             request.headers, request.body});
        auto found = routes_.find({request.method, request.path});
        if (found != routes_.end()) {
            handler = found->second;
        } else if (auto any = anyPathRoutes_.find(request.method); any != anyPathRoutes_.end()) {
            handler = any->second;
        }
    }
    if (handler) {
        handler(request, response);
    } else {
        response.status = 404;
        response.set_content("no route for " + request.method + " " + request.path, "text/plain");
    }
}

bool LoopbackHTTPServer::pause(double seconds) {
    std::unique_lock lock(mutex_);
    if (seconds == SlowAnswer::kUntilTheServerStops) {
        stoppingChanged_.wait(lock, [this] { return stopping_; });
        return false;
    }
    return !stoppingChanged_.wait_for(lock, std::chrono::duration<double>(seconds), [this] { return stopping_; });
}

std::vector<LoopbackHTTPServer::RecordedRequest> LoopbackHTTPServer::requests() const {
    std::lock_guard lock(mutex_);
    return requests_;
}

std::size_t LoopbackHTTPServer::requestCount() const {
    std::lock_guard lock(mutex_);
    return requests_.size();
}

std::optional<LoopbackHTTPServer::RecordedRequest> LoopbackHTTPServer::lastRequest() const {
    std::lock_guard lock(mutex_);
    if (requests_.empty()) return std::nullopt;
    return requests_.back();
}
