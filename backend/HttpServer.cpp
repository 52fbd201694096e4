#include "backend/HttpServer.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <ctime>
#include <optional>
#include <string_view>

#include "backend/Format.h"
#include "backend/HttpConnections.h"
#include "backend/MultipartForm.h"

namespace backend {

namespace {

bool startsWithIgnoringCase(std::string_view text, std::string_view prefix) {
    return text.size() >= prefix.size() && equalIgnoringCase(text.substr(0, prefix.size()), prefix);
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

// A request target as read: its path and query, and the authority it names
// when it is in the absolute form ("http://host/path?query", which a
// server must take; its path may then be empty: "/").
struct Target {
    std::string_view pathAndQuery;
    std::optional<std::string_view> authority;
};

// The target `target` in the origin or the absolute form; nothing for any
// other form, or an absolute one that names no host, a user or what is no
// authority.
std::optional<Target> readTarget(std::string_view target) {
    if (!target.empty() && target.front() == '/') return Target{target, std::nullopt};
    for (std::string_view scheme : {"http://", "https://"}) {
        if (!startsWithIgnoringCase(target, scheme)) continue;
        target.remove_prefix(scheme.size());
        const std::size_t path = std::min(target.find_first_of("/?"), target.size());
        const std::string_view authority = target.substr(0, path);
        if (authority.empty() || authority.front() == ':' || !isAuthority(authority)) return std::nullopt;
        return Target{target.substr(path), authority};
    }
    return std::nullopt;
}

const char* reasonPhrase(int status) {
    switch (status) {
    case 200: return "OK";
    case 302: return "Found";
    case 400: return "Bad Request";
    case 403: return "Forbidden";
    case 404: return "Not Found";
    case 405: return "Method Not Allowed";
    case 408: return "Request Timeout";
    case 409: return "Conflict";
    case 411: return "Length Required";
    case 413: return "Payload Too Large";
    case 431: return "Request Header Fields Too Large";
    case 500: return "Internal Server Error";
    case 503: return "Service Unavailable";
    case 505: return "HTTP Version Not Supported";
    default: return status < 400 ? "OK" : status < 500 ? "Bad Request" : "Internal Server Error";
    }
}

// The Date of an answer made now, written once a second per thread.
const std::string& httpDate() {
    thread_local std::time_t written = 0;
    thread_local std::string date;
    const std::time_t now = std::time(nullptr);
    if (now != written) {
        char text[64];
        std::tm utc{};
        std::strftime(text, sizeof text, "%a, %d %b %Y %H:%M:%S GMT", ::gmtime_r(&now, &utc));
        date = text;
        written = now;
    }
    return date;
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

const HttpFilePart* HttpRequest::file(const std::string& name) const {
    auto found = files.find(name);
    return found == files.end() ? nullptr : &found->second;
}

// A held request's answer: given once, by its holder or by the server when
// it stops; the server forgets it once given.
class HttpServer::Hold : public HeldAnswer, public std::enable_shared_from_this<Hold> {
public:
    Hold(HttpServer& server, std::shared_ptr<HeldAnswer> reply) : server_(server), reply_(std::move(reply)) {}

    void answer(HttpResponse response) override {
        reply_->answer(std::move(response));
        std::lock_guard lock(server_.holdsMutex_);
        server_.holds_.erase(shared_from_this());
    }
    bool answered() const override { return reply_->answered(); }

private:
    HttpServer& server_;
    const std::shared_ptr<HeldAnswer> reply_;
};

// What the connections ask of the server.
struct HttpServer::Serving : HttpConnections::Service {
    explicit Serving(HttpServer& server) : server(server) {}
    int admit(HttpRequest& request, const std::string& target, std::uint64_t bodyLength, bool beyondLimit) override {
        return server.admit(request, target, bodyLength, beyondLimit);
    }
    bool serve(HttpRequest& request, std::shared_ptr<HeldAnswer> answer) override { return server.serve(request, answer); }
    HttpResponse refusal(int status) const override {
        HttpResponse response;
        server.fillError(response, status);
        return response;
    }
    std::string wire(const HttpResponse& response, std::string_view connection, bool headOnly) const override {
        return HttpServer::wire(response, connection, headOnly);
    }
    HttpServer& server;
};

HttpServer::HttpServer(Limits limits) : limits_(limits) {}

HttpServer::~HttpServer() { stop(); }

void HttpServer::get(const std::string& pattern, Handler handler) {
    routes_.push_back({"GET", std::regex(pattern), std::move(handler), nullptr, limits_.bodyBytes});
}

void HttpServer::post(const std::string& pattern, Handler handler, std::size_t bodyBytes) {
    routes_.push_back({"POST", std::regex(pattern), std::move(handler), nullptr, bodyBytes ? bodyBytes : limits_.bodyBytes});
}

void HttpServer::getHeld(const std::string& pattern, HeldHandler handler) {
    routes_.push_back({"GET", std::regex(pattern), nullptr, std::move(handler), limits_.bodyBytes});
}

int HttpServer::bind(const std::string& host, int port) {
    if (listener_ >= 0) return -1;
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(static_cast<std::uint16_t>(port));
    if (::inet_pton(AF_INET, host.c_str(), &address.sin_addr) != 1) return -1;
    listener_ = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
    if (listener_ < 0) return -1;
    // Address reuse only: port sharing would let two back ends bind one port.
    int yes = 1;
    ::setsockopt(listener_, SOL_SOCKET, SO_REUSEADDR, &yes, sizeof yes);
    socklen_t length = sizeof address;
    if (::bind(listener_, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 || ::listen(listener_, 128) != 0 ||
        ::getsockname(listener_, reinterpret_cast<sockaddr*>(&address), &length) != 0) {
        ::close(listener_);
        listener_ = -1;
        return -1;
    }
    return ntohs(address.sin_port);
}

bool HttpServer::start(const std::optional<Credentials>& credentials) {
    std::lock_guard lock(stopMutex_);
    if (connections_ || listener_ < 0 || stopped_once_) return false;
    service_ = std::make_unique<Serving>(*this);
    connections_ = HttpConnections::start(listener_, limits_, *service_, credentials);
    listener_ = -1;  // the connections' now, closed when they stop
    if (!connections_) return false;
    serving_ = true;
    return true;
}

void HttpServer::serve() {
    start();
    std::unique_lock lock(stopMutex_);
    stopped_.wait(lock, [&] { return !serving_; });
}

void HttpServer::stop() {
    std::set<std::shared_ptr<Hold>> held;
    {
        std::lock_guard lock(holdsMutex_);
        stopping_ = true;
        held.swap(holds_);
    }
    // The held requests are answered first, and go out as the connections
    // close.
    for (const auto& hold : held) {
        HttpResponse busy;
        fillError(busy, 503);
        hold->answer(busy);
    }
    std::lock_guard lock(stopMutex_);
    stopped_once_ = true;
    connections_.reset();
    if (listener_ >= 0) ::close(listener_);
    listener_ = -1;
    serving_ = false;
    stopped_.notify_all();
}

int HttpServer::admit(HttpRequest& request, const std::string& target, std::uint64_t bodyLength,
                      bool beyondLimit) const {
    if (beyondLimit) return 503;
    const std::optional<Target> read = readTarget(target);
    if (!read) return 400;
    // An absolute target's authority is the host asked for; its Host line,
    // if any, is not (as HTTP wants).
    if (read->authority) {
        request.headers.erase("Host");
        request.headers.emplace("Host", *read->authority);
    }
    const std::string_view origin = read->pathAndQuery;
    const std::size_t question = origin.find('?');
    const std::string_view path = origin.substr(0, question);
    request.path = path.empty() ? "/" : decoded(path, false);
    if (question != std::string::npos) {
        request.query = origin.substr(question + 1);
        addFields(request.query, request.params);
    }
    // A body's size is bounded by its route's limit.
    if (bodyLength > 0) {
        std::size_t bodyBytes = limits_.bodyBytes;
        for (const Route& route : routes_) {
            if (route.serves(request.method) && std::regex_match(request.path, route.pattern)) {
                bodyBytes = route.bodyBytes;
                break;
            }
        }
        if (bodyLength > bodyBytes) return 413;
    }
    return 0;
}

bool HttpServer::serve(HttpRequest& request, const std::shared_ptr<HeldAnswer>& answer) {
    const auto answerNow = [&](HttpResponse response) {
        answer->answer(std::move(response));
        return false;
    };
    const std::string type = request.header("Content-Type");
    if (startsWithIgnoringCase(type, "application/x-www-form-urlencoded")) addFields(request.body, request.params);
    HttpResponse response;
    if (startsWithIgnoringCase(type, "multipart/form-data") && !request.body.empty()) {
        std::string body;
        body.swap(request.body);
        if (!readMultipartForm(type, body, limits_.parts, request)) {
            fillError(response, 400);
            return answerNow(std::move(response));
        }
    }
    try {
        if (observer_ && observer_(request, response)) return answerNow(std::move(response));
    } catch (const std::exception&) {
        return answerNow(failure());
    }
    const Route* found = route(request);
    if (!found) {
        fillError(response, 404);
        return answerNow(std::move(response));
    }
    if (!found->held) {
        run(*found, request, response);
        return answerNow(std::move(response));
    }
    auto hold = std::make_shared<Hold>(*this, answer);
    {
        std::lock_guard lock(holdsMutex_);
        if (!stopping_) holds_.insert(hold);
    }
    try {
        found->held(request, hold);
    } catch (const std::exception&) {
        hold->answer(failure());
    }
    bool stopping;
    {
        std::lock_guard lock(holdsMutex_);
        stopping = stopping_;
    }
    if (stopping) {
        // stop() may have missed it: the held answers end with the server.
        HttpResponse busy;
        fillError(busy, 503);
        hold->answer(busy);
    }
    return true;
}

const HttpServer::Route* HttpServer::route(HttpRequest& request) const {
    for (const Route& route : routes_) {
        if (!route.serves(request.method)) continue;
        std::smatch match;
        if (!std::regex_match(request.path, match, route.pattern)) continue;
        for (const auto& group : match) request.matches.push_back(group.str());
        return &route;
    }
    return nullptr;
}

void HttpServer::run(const Route& route, HttpRequest& request, HttpResponse& response) const {
    try {
        route.handler(request, response);
    } catch (const std::exception&) {
        response = failure();
        return;
    }
    if (response.status >= 400 && response.body.empty() && errorHandler_) errorHandler_(response);
}

std::string HttpServer::wire(const HttpResponse& response, std::string_view connection, bool headOnly) {
    std::string answer;
    answer.reserve(160 + response.contentType.size() + response.body.size());
    answer += "HTTP/1.1 ";
    answer += std::to_string(response.status);
    answer += ' ';
    answer += reasonPhrase(response.status);
    if (!connection.empty()) {
        answer += "\r\nConnection: ";
        answer += connection;
    }
    answer += "\r\nContent-Length: ";
    answer += std::to_string(response.body.size());
    if (!response.contentType.empty()) {
        answer += "\r\nContent-Type: ";
        answer += response.contentType;
    }
    answer += "\r\nDate: ";
    answer += httpDate();
    answer += "\r\n\r\n";
    if (!headOnly) answer += response.body;
    return answer;
}

HttpResponse HttpServer::failure() const {
    HttpResponse response;
    response.status = 500;
    if (exceptionHandler_) exceptionHandler_(response);
    return response;
}

void HttpServer::fillError(HttpResponse& response, int status) const {
    response.status = status;
    if (errorHandler_) errorHandler_(response);
}

}  // namespace backend
