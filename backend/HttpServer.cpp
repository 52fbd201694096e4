#include "backend/HttpServer.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <optional>
#include <thread>

namespace backend {

namespace {

using Clock = std::chrono::steady_clock;

bool equalIgnoringCase(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
           });
}

std::string_view trimmed(std::string_view text) {
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) text.remove_suffix(1);
    return text;
}

int hexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

// Percent-decoding; a '%' not followed by two hex digits stays as it is.
std::string decoded(std::string_view text, bool plusIsSpace) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '%' && i + 2 < text.size()) {
            int high = hexDigit(text[i + 1]), low = hexDigit(text[i + 2]);
            if (high >= 0 && low >= 0) {
                out += static_cast<char>(high * 16 + low);
                i += 2;
                continue;
            }
        }
        out += (plusIsSpace && text[i] == '+') ? ' ' : text[i];
    }
    return out;
}

// "a=1&b=2" into `params`, in order; a field without "=" has the empty value.
void addFields(std::string_view text, std::multimap<std::string, std::string>& params) {
    while (!text.empty()) {
        std::size_t end = text.find('&');
        std::string_view field = text.substr(0, end);
        if (!field.empty()) {
            std::size_t equals = field.find('=');
            std::string name = decoded(field.substr(0, equals), true);
            std::string value = equals == std::string_view::npos ? std::string() : decoded(field.substr(equals + 1), true);
            if (!name.empty()) params.emplace(std::move(name), std::move(value));
        }
        if (end == std::string_view::npos) break;
        text.remove_prefix(end + 1);
    }
}

const char* reasonPhrase(int status) {
    switch (status) {
        case 100: return "Continue";
        case 200: return "OK";
        case 400: return "Bad Request";
        case 404: return "Not Found";
        case 408: return "Request Timeout";
        case 411: return "Length Required";
        case 413: return "Payload Too Large";
        case 431: return "Request Header Fields Too Large";
        case 500: return "Internal Server Error";
        case 503: return "Service Unavailable";
        default: return "Unknown";
    }
}

bool sendAll(int socket, std::string_view bytes) {
    while (!bytes.empty()) {
        ssize_t sent = ::send(socket, bytes.data(), bytes.size(), MSG_NOSIGNAL);
        if (sent < 0 && errno == EINTR) continue;
        if (sent <= 0) return false;
        bytes.remove_prefix(static_cast<std::size_t>(sent));
    }
    return true;
}

bool sendResponse(int socket, const HttpResponse& response, bool keepAlive) {
    std::string head = "HTTP/1.1 " + std::to_string(response.status) + " " + reasonPhrase(response.status) + "\r\n";
    if (!response.contentType.empty()) head += "Content-Type: " + response.contentType + "\r\n";
    head += "Content-Length: " + std::to_string(response.body.size()) + "\r\n";
    head += keepAlive ? "Connection: keep-alive\r\n\r\n" : "Connection: close\r\n\r\n";
    return sendAll(socket, head + response.body);
}

}  // namespace

bool CaseInsensitiveLess::operator()(const std::string& a, const std::string& b) const {
    return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
        return std::tolower(static_cast<unsigned char>(x)) < std::tolower(static_cast<unsigned char>(y));
    });
}

std::string HttpRequest::param(const std::string& name) const {
    auto found = params.find(name);
    return found == params.end() ? std::string() : found->second;
}

std::string HttpRequest::header(const std::string& name) const {
    auto found = headers.find(name);
    return found == headers.end() ? std::string() : found->second;
}

// The reading side of one client connection: bytes arrive into a buffer
// within deadlines; a request is taken from the buffer's front.
class HttpServer::Connection {
public:
    Connection(int socket, const Limits& limits) : socket_(socket), limits_(limits) {}

    enum class Outcome { Request, Closed, Refused };

    // Reads one request. On Refused, `status` says why (and the connection
    // is to be closed after the answer).
    Outcome read(HttpRequest& request, int& status, bool first) {
        // Between requests a kept-alive client may stay quiet for a while;
        // once it starts, the whole head must come within headSeconds.
        if (buffer_.empty() && !first && !waitReadable(Clock::now() + seconds(limits_.keepAliveSeconds)))
            return Outcome::Closed;
        const auto headDeadline = Clock::now() + seconds(limits_.headSeconds);
        std::size_t headEnd;
        while ((headEnd = buffer_.find("\r\n\r\n")) == std::string::npos) {
            if (buffer_.size() > limits_.headBytes) return refuse(status, 431);
            switch (fill(headDeadline)) {
                case Fill::Data: break;
                case Fill::Closed: return Outcome::Closed;
                case Fill::TimedOut: return buffer_.empty() ? Outcome::Closed : refuse(status, 408);
            }
        }
        if (headEnd + 4 > limits_.headBytes) return refuse(status, 431);
        if (!parseHead(std::string_view(buffer_).substr(0, headEnd), request, status)) return Outcome::Refused;
        buffer_.erase(0, headEnd + 4);

        if (request.headers.count("Transfer-Encoding")) return refuse(status, 411);
        std::size_t length = 0;
        if (auto declared = request.headers.find("Content-Length"); declared != request.headers.end()) {
            const std::string& text = declared->second;
            if (text.empty() || text.size() > 12 || !std::all_of(text.begin(), text.end(), ::isdigit))
                return refuse(status, 400);
            length = std::stoull(text);
            if (length > limits_.bodyBytes) return refuse(status, 413);
        }
        if (length > 0 && equalIgnoringCase(request.header("Expect"), "100-continue") &&
            !sendAll(socket_, "HTTP/1.1 100 Continue\r\n\r\n")) {
            return Outcome::Closed;
        }
        const auto bodyDeadline = Clock::now() + seconds(limits_.bodySeconds);
        while (buffer_.size() < length) {
            switch (fill(bodyDeadline)) {
                case Fill::Data: break;
                case Fill::Closed: return Outcome::Closed;
                case Fill::TimedOut: return refuse(status, 408);
            }
        }
        request.body = buffer_.substr(0, length);
        buffer_.erase(0, length);
        if (request.header("Content-Type").rfind("application/x-www-form-urlencoded", 0) == 0)
            addFields(request.body, request.params);
        return Outcome::Request;
    }

private:
    enum class Fill { Data, Closed, TimedOut };

    static Clock::duration seconds(double value) {
        return std::chrono::duration_cast<Clock::duration>(std::chrono::duration<double>(value));
    }

    Outcome refuse(int& status, int code) {
        status = code;
        return Outcome::Refused;
    }

    bool waitReadable(Clock::time_point deadline) {
        for (;;) {
            auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
            if (left <= 0) return false;
            pollfd watch{socket_, POLLIN, 0};
            int ready = ::poll(&watch, 1, static_cast<int>(std::min<long long>(left, 1000)));
            if (ready > 0) return true;
            if (ready < 0 && errno != EINTR) return false;
        }
    }

    Fill fill(Clock::time_point deadline) {
        if (!waitReadable(deadline)) return Fill::TimedOut;
        char chunk[8192];
        ssize_t got;
        do got = ::recv(socket_, chunk, sizeof chunk, 0);
        while (got < 0 && errno == EINTR);
        if (got <= 0) return Fill::Closed;
        // A client that writes a request's head and body apart, with Nagle's
        // algorithm on, holds the body until the head is acknowledged: the
        // acknowledgement goes at once rather than after the kernel's delay.
        int yes = 1;
        ::setsockopt(socket_, IPPROTO_TCP, TCP_QUICKACK, &yes, sizeof yes);
        buffer_.append(chunk, static_cast<std::size_t>(got));
        return Fill::Data;
    }

    bool parseHead(std::string_view head, HttpRequest& request, int& status) {
        status = 400;
        std::size_t lineEnd = head.find("\r\n");
        std::string_view requestLine = head.substr(0, lineEnd);
        std::size_t firstSpace = requestLine.find(' ');
        std::size_t lastSpace = requestLine.rfind(' ');
        if (firstSpace == std::string_view::npos || lastSpace == firstSpace) return false;
        std::string_view version = requestLine.substr(lastSpace + 1);
        if (version != "HTTP/1.1" && version != "HTTP/1.0") return false;
        request.method = std::string(requestLine.substr(0, firstSpace));
        std::string_view target = requestLine.substr(firstSpace + 1, lastSpace - firstSpace - 1);
        if (target.empty() || target.front() != '/') return false;
        std::size_t question = target.find('?');
        request.path = decoded(target.substr(0, question), false);
        if (question != std::string_view::npos) addFields(target.substr(question + 1), request.params);
        keepAlive_ = version == "HTTP/1.1";

        std::size_t lines = 0;
        while (lineEnd != std::string_view::npos) {
            std::size_t start = lineEnd + 2;
            lineEnd = head.find("\r\n", start);
            std::string_view line = head.substr(start, lineEnd == std::string_view::npos ? head.npos : lineEnd - start);
            if (++lines > limits_.headerLines) {
                status = 431;
                return false;
            }
            std::size_t colon = line.find(':');
            if (colon == std::string_view::npos || colon == 0) return false;
            request.headers.emplace(std::string(line.substr(0, colon)), std::string(trimmed(line.substr(colon + 1))));
        }
        const std::string connection = request.header("Connection");
        if (equalIgnoringCase(connection, "close")) keepAlive_ = false;
        if (equalIgnoringCase(connection, "keep-alive")) keepAlive_ = true;
        return true;
    }

public:
    bool keepAlive() const { return keepAlive_; }

private:
    int socket_;
    const Limits& limits_;
    std::string buffer_;
    bool keepAlive_ = true;
};

HttpServer::HttpServer(Limits limits) : limits_(limits) {}

HttpServer::~HttpServer() {
    stop();
    if (listener_ >= 0) ::close(listener_);
    if (wakeRead_ >= 0) ::close(wakeRead_);
    if (wakeWrite_ >= 0) ::close(wakeWrite_);
}

void HttpServer::get(const std::string& pattern, Handler handler) {
    routes_.push_back({"GET", std::regex(pattern), std::move(handler)});
}

void HttpServer::post(const std::string& pattern, Handler handler) {
    routes_.push_back({"POST", std::regex(pattern), std::move(handler)});
}

int HttpServer::bind(const std::string& host, int port) {
    int wake[2];
    if (::pipe2(wake, O_CLOEXEC | O_NONBLOCK) != 0) return -1;
    wakeRead_ = wake[0];
    wakeWrite_ = wake[1];
    listener_ = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (listener_ < 0) return -1;
    // Address reuse only: port sharing would let two back ends bind one port.
    int yes = 1;
    ::setsockopt(listener_, SOL_SOCKET, SO_REUSEADDR, &yes, sizeof yes);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(static_cast<std::uint16_t>(port));
    if (::inet_pton(AF_INET, host.c_str(), &address.sin_addr) != 1) return -1;
    if (::bind(listener_, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) return -1;
    if (::listen(listener_, 128) != 0) return -1;
    socklen_t length = sizeof address;
    if (::getsockname(listener_, reinterpret_cast<sockaddr*>(&address), &length) != 0) return -1;
    return ntohs(address.sin_port);
}

void HttpServer::serve() {
    if (listener_ < 0 || stopping_) return;
    serving_ = true;
    while (!stopping_) {
        pollfd watch[2] = {{listener_, POLLIN, 0}, {wakeRead_, POLLIN, 0}};
        if (::poll(watch, 2, -1) < 0) {
            if (errno == EINTR) continue;
            break;
        }
        if (watch[1].revents) break;
        int client = ::accept4(listener_, nullptr, nullptr, SOCK_CLOEXEC);
        if (client < 0) continue;
        int yes = 1;
        ::setsockopt(client, IPPROTO_TCP, TCP_NODELAY, &yes, sizeof yes);
        std::unique_lock lock(clients_->mutex);
        if (stopping_ || clients_->sockets.size() >= limits_.connections) {
            lock.unlock();
            HttpResponse busy;
            fillError(busy, 503);
            sendResponse(client, busy, false);
            ::close(client);
            continue;
        }
        clients_->sockets.insert(client);
        // The thread keeps the bookkeeping alive past the server's end: the
        // last thing it does is to say it is done.
        std::thread([this, clients = clients_, client] {
            serveConnection(client);
            std::lock_guard done(clients->mutex);
            clients->sockets.erase(client);
            ::close(client);
            if (clients->sockets.empty()) clients->emptied.notify_all();
        }).detach();
    }
    // Refuse new connections at once rather than leaving them queued.
    ::close(listener_);
    listener_ = -1;
    serving_ = false;
}

void HttpServer::stop() {
    if (!stopping_.exchange(true) && wakeWrite_ >= 0) {
        char byte = 1;
        [[maybe_unused]] ssize_t ignored = ::write(wakeWrite_, &byte, 1);
    }
    std::unique_lock lock(clients_->mutex);
    // Wakes every connection's wait; each thread closes its own socket.
    for (int socket : clients_->sockets) ::shutdown(socket, SHUT_RDWR);
    clients_->emptied.wait(lock, [&] { return clients_->sockets.empty(); });
}

void HttpServer::serveConnection(int socket) {
    Connection connection(socket, limits_);
    for (std::size_t served = 0; served < limits_.requestsPerConnection && !stopping_; ++served) {
        HttpRequest request;
        int status = 0;
        auto outcome = connection.read(request, status, served == 0);
        if (outcome == Connection::Outcome::Closed) break;
        HttpResponse response;
        if (outcome == Connection::Outcome::Refused) {
            fillError(response, status);
            sendResponse(socket, response, false);
            break;
        }
        answer(request, response);
        const bool keepAlive = connection.keepAlive() && served + 1 < limits_.requestsPerConnection && !stopping_;
        if (!sendResponse(socket, response, keepAlive) || !keepAlive) break;
    }
}

void HttpServer::answer(HttpRequest& request, HttpResponse& response) {
    for (const Route& route : routes_) {
        if (route.method != request.method) continue;
        std::smatch match;
        if (!std::regex_match(request.path, match, route.pattern)) continue;
        for (const auto& group : match) request.matches.push_back(group.str());
        try {
            route.handler(request, response);
        } catch (const std::exception&) {
            response = HttpResponse{};
            response.status = 500;
            if (exceptionHandler_) exceptionHandler_(response);
            return;
        }
        if (response.status >= 400 && response.body.empty() && errorHandler_) errorHandler_(response);
        return;
    }
    fillError(response, 404);
}

void HttpServer::fillError(HttpResponse& response, int status) {
    response.status = status;
    if (errorHandler_) errorHandler_(response);
}

}  // namespace backend
