#include "backend/HttpServer.h"

#include <arpa/inet.h>
#include <microhttpd.h>
#include <netinet/in.h>
#include <sys/epoll.h>
#include <sys/eventfd.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <ctime>
#include <thread>

#include "backend/Format.h"
#include "backend/FrontReader.h"

namespace backend {

namespace {

using Clock = std::chrono::steady_clock;

// Connections past the limit that are still answered (503) rather than
// closed at once.
constexpr unsigned kBusyAnswers = 16;
constexpr std::size_t kPostBuffer = 4096;

Clock::duration seconds(double value) {
    return std::chrono::duration_cast<Clock::duration>(std::chrono::duration<double>(value));
}

bool startsWithIgnoringCase(std::string_view text, std::string_view prefix) {
    return text.size() >= prefix.size() && equalIgnoringCase(text.substr(0, prefix.size()), prefix);
}

// libmicrohttpd reads a head in place: it turns each line's end (CR LF or
// LF) and each header's colon into NULs and reports the names and values
// between. What lies between them must then be those NULs and nothing
// else, blanks only between a colon and its value, or the library dropped
// bytes it read: a line with an empty name (": b", or ": " alone, which it
// takes for the head's end, serving the rest as another request), or a
// value it cut at a NUL. Every line must end as the request line does, so
// a line's end is a known number of NULs.
class HeadLayout {
public:
    // The head from the request line's start (`method`, in place) for
    // `headBytes`, its version as read.
    HeadLayout(const char* method, std::size_t headBytes, const char* version)
        : end_(method + headBytes), cursor_(version ? version + std::strlen(version) : nullptr) {
        exact_ = cursor_ && version > method && cursor_ <= end_;
    }

    // The next header line as the library reported it.
    void add(const char* name, std::size_t nameLength, const char* value, std::size_t valueLength) {
        if (!exact_) return;
        const int lineEnd = nuls(cursor_, name, false);
        if (lineWidth_ == 0) lineWidth_ = lineEnd;
        exact_ = (lineEnd == 1 || lineEnd == 2) && lineEnd == lineWidth_ && nuls(name + nameLength, value, true) == 1 &&
                 value + valueLength <= end_;
        cursor_ = value + valueLength;
    }

    // Everything read is accounted for, and the head ends with one blank line.
    bool exact() const {
        if (!exact_) return false;
        const int last = nuls(cursor_, end_, false);
        return lineWidth_ == 0 ? last == 2 || last == 4 : last == 2 * lineWidth_;
    }

private:
    // The NULs between `from` and `to` when only NULs (and, with `blanks`,
    // blanks and tabs) lie there; else -1.
    int nuls(const char* from, const char* to, bool blanks) const {
        if (!from || !to || to < from || to > end_) return -1;
        int count = 0;
        for (const char* at = from; at < to; ++at) {
            if (*at == '\0') ++count;
            else if (!blanks || (*at != ' ' && *at != '\t')) return -1;
        }
        return count;
    }

    const char* end_;
    const char* cursor_;
    int lineWidth_ = 0;  // 1 for LF, 2 for CR LF
    bool exact_ = true;
};

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

// One client connection: its socket, for the deadlines, and what it has
// been served.
struct HttpServer::Connection {
    int socket = -1;
    bool beyondLimit = false;
    std::size_t served = 0;
};

// One request from its first line to its answer.
struct HttpServer::Exchange {
    MHD_Connection* connection = nullptr;
    Connection* client = nullptr;
    std::string target;  // as sent
    HttpRequest request;
    bool begun = false;
    bool answered = false;
    std::size_t bodyBytes = 0;
    // A multipart body's reader; the body is read whole first (see finish).
    MHD_PostProcessor* multipart = nullptr;
    // The part being read (the parts' end: one left out), and how many
    // more may be kept.
    std::multimap<std::string, HttpFilePart>::iterator part;
    std::size_t partsLeft = 0;
    std::shared_ptr<Hold> hold;

    ~Exchange() {
        if (multipart) MHD_destroy_post_processor(multipart);
    }
};

// A suspended connection is not read by libmicrohttpd: a client that left
// while its request was held would keep its place (a connection counted
// against the limit) until the request is answered. One thread waits on
// the held connections' sockets for the end of their streams (not for
// bytes: a pipelined request is no departure), which the front reader
// gives only for a client that has gone, and ends its held request.
class HttpServer::Departures {
public:
    explicit Departures(HttpServer& server)
        : server_(server), epoll_(::epoll_create1(EPOLL_CLOEXEC)), wake_(::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK)) {
        epoll_event stop{};
        stop.events = EPOLLIN;
        stop.data.u64 = 0;
        ::epoll_ctl(epoll_, EPOLL_CTL_ADD, wake_, &stop);
        thread_ = std::thread([this] { run(); });
    }
    ~Departures() {
        const std::uint64_t one = 1;
        [[maybe_unused]] ssize_t written = ::write(wake_, &one, sizeof one);
        thread_.join();
        ::close(wake_);
        ::close(epoll_);
    }

    // Watches `socket` for the held request `hold`; the watch's number.
    std::uint64_t watch(int socket, std::weak_ptr<Hold> hold) {
        std::lock_guard lock(mutex_);
        // Numbers are never used twice, so a hang-up seen for a socket
        // since answered (and its number given to another) finds nothing.
        const std::uint64_t number = ++watches_;
        epoll_event event{};
        event.events = EPOLLRDHUP;
        event.data.u64 = number;
        if (::epoll_ctl(epoll_, EPOLL_CTL_ADD, socket, &event) != 0) return 0;
        held_.emplace(number, std::pair{socket, std::move(hold)});
        return number;
    }
    void forget(std::uint64_t number) {
        std::lock_guard lock(mutex_);
        auto found = held_.find(number);
        if (found == held_.end()) return;
        ::epoll_ctl(epoll_, EPOLL_CTL_DEL, found->second.first, nullptr);
        held_.erase(found);
    }

private:
    void run();

    HttpServer& server_;
    const int epoll_;
    const int wake_;
    std::mutex mutex_;
    std::uint64_t watches_ = 0;
    std::map<std::uint64_t, std::pair<int, std::weak_ptr<Hold>>> held_;
    std::thread thread_;
};

// A held request: answered once, from any thread, resuming its connection
// when it was suspended.
class HttpServer::Hold : public HeldAnswer, public std::enable_shared_from_this<Hold> {
public:
    Hold(HttpServer& server, Exchange& exchange, int socket)
        : server_(server), exchange_(exchange), socket_(socket) {}

    void answer(HttpResponse response) override {
        {
            std::lock_guard lock(mutex_);
            if (response_) return;
            response_ = std::move(response);
            if (suspended_) {
                // Before the connection goes on: its socket may be closed
                // and its number used again.
                if (server_.departures_) server_.departures_->forget(watch_);
                // Queued while the connection is suspended, so that it goes
                // out as the connection resumes, before the library reads
                // again.
                server_.send(exchange_, *response_, false);
                server_.resume(exchange_.connection);
            }
        }
        std::lock_guard lock(server_.holdsMutex_);
        server_.holds_.erase(shared_from_this());
    }

    bool answered() const override {
        std::lock_guard lock(mutex_);
        return response_.has_value();
    }

    // Suspends the connection unless the answer is there, watching for its
    // client to leave; the answer, or nothing.
    std::optional<HttpResponse> answerOrSuspend() {
        std::lock_guard lock(mutex_);
        if (!response_) {
            MHD_suspend_connection(exchange_.connection);
            suspended_ = true;
            if (server_.departures_ && socket_ >= 0) watch_ = server_.departures_->watch(socket_, weak_from_this());
        }
        return response_;
    }

    std::optional<HttpResponse> response() {
        std::lock_guard lock(mutex_);
        return response_;
    }

private:
    HttpServer& server_;
    Exchange& exchange_;  // lives until its connection has gone on
    const int socket_;
    mutable std::mutex mutex_;
    bool suspended_ = false;
    std::uint64_t watch_ = 0;  // its place among the departures watched
    std::optional<HttpResponse> response_;
};

void HttpServer::Departures::run() {
    epoll_event events[64];
    for (;;) {
        const int count = ::epoll_wait(epoll_, events, 64, -1);
        if (count < 0 && errno != EINTR) return;
        for (int i = 0; i < count; ++i) {
            if (events[i].data.u64 == 0) return;
            std::shared_ptr<Hold> gone;
            {
                std::lock_guard lock(mutex_);
                auto found = held_.find(events[i].data.u64);
                if (found == held_.end()) continue;
                gone = found->second.second.lock();
            }
            if (!gone) continue;
            // Nobody reads the answer: the connection ends as it is sent.
            HttpResponse left;
            server_.fillError(left, 503);
            gone->answer(left);
        }
    }
}

// The deadlines of the connections' heads and bodies, which libmicrohttpd
// does not keep (its time-out counts from the last byte, so a client
// trickling bytes would never reach it): one thread waits for the nearest
// and cuts the connection off when it passes.
class HttpServer::Deadlines {
public:
    Deadlines() : thread_([this] { watch(); }) {}
    ~Deadlines() {
        {
            std::lock_guard lock(mutex_);
            stopping_ = true;
        }
        changed_.notify_all();
        thread_.join();
    }

    void set(const Connection* connection, Clock::time_point deadline) {
        std::lock_guard lock(mutex_);
        due_[connection] = {connection->socket, deadline};
        // The watch wakes only for a deadline nearer than the one it waits
        // for: most are later, and a request costs no wake-up.
        if (deadline < wake_) {
            wake_ = deadline;
            changed_.notify_one();
        }
    }
    // Called before the connection's socket is closed.
    void clear(const Connection* connection) {
        std::lock_guard lock(mutex_);
        due_.erase(connection);
    }

private:
    void watch() {
        std::unique_lock lock(mutex_);
        while (!stopping_) {
            auto nearest = Clock::time_point::max();
            const auto now = Clock::now();
            for (auto it = due_.begin(); it != due_.end();) {
                if (it->second.second <= now) {
                    // The server sees the end of the stream and closes the connection.
                    ::shutdown(it->second.first, SHUT_RDWR);
                    it = due_.erase(it);
                    continue;
                }
                nearest = std::min(nearest, it->second.second);
                ++it;
            }
            wake_ = nearest;
            if (nearest == Clock::time_point::max()) changed_.wait(lock);
            else changed_.wait_until(lock, nearest);
        }
    }

    std::mutex mutex_;
    std::condition_variable changed_;
    bool stopping_ = false;
    Clock::time_point wake_ = Clock::time_point::max();  // what the watch waits for
    std::map<const Connection*, std::pair<int, Clock::time_point>> due_;
    std::thread thread_;
};

// libmicrohttpd's callbacks.
struct HttpServer::Callbacks {
    static void connectionChanged(void* self, MHD_Connection* connection, void** context,
                                  MHD_ConnectionNotificationCode change) {
        auto& server = *static_cast<HttpServer*>(self);
        if (change == MHD_CONNECTION_NOTIFY_STARTED) {
            auto* client = new Connection();
            const MHD_ConnectionInfo* info = MHD_get_connection_info(connection, MHD_CONNECTION_INFO_CONNECTION_FD);
            client->socket = info ? info->connect_fd : -1;
            client->beyondLimit = ++server.open_ > server.limits_.connections;
            *context = client;
            server.deadlines_->set(client, Clock::now() + seconds(server.limits_.headSeconds));
            return;
        }
        auto* client = static_cast<Connection*>(*context);
        if (!client) return;
        server.deadlines_->clear(client);
        --server.open_;
        delete client;
        *context = nullptr;
    }

    static void* requestStarted(void*, const char* target, MHD_Connection* connection) {
        auto* exchange = new Exchange();
        exchange->connection = connection;
        exchange->target = target ? target : "";
        const MHD_ConnectionInfo* info = MHD_get_connection_info(connection, MHD_CONNECTION_INFO_SOCKET_CONTEXT);
        exchange->client = info ? static_cast<Connection*>(info->socket_context) : nullptr;
        return exchange;
    }

    static void requestEnded(void* self, MHD_Connection*, void** state, MHD_RequestTerminationCode how) {
        auto& server = *static_cast<HttpServer*>(self);
        auto* exchange = static_cast<Exchange*>(*state);
        if (!exchange) return;
        // On a connection that goes on, the next request's head is due
        // after the idle time and the head's own time.
        if (exchange->client && how == MHD_REQUEST_TERMINATED_COMPLETED_OK)
            server.deadlines_->set(exchange->client, Clock::now() + seconds(server.limits_.idleSeconds) +
                                                         seconds(server.limits_.headSeconds));
        delete exchange;
        *state = nullptr;
    }

    static MHD_Result request(void* self, MHD_Connection*, const char*, const char* method, const char* version,
                              const char* upload, std::size_t* uploadSize, void** state) {
        auto& server = *static_cast<HttpServer*>(self);
        auto* exchange = static_cast<Exchange*>(*state);
        if (!exchange) return MHD_NO;
        if (exchange->answered) {
            *uploadSize = 0;
            return MHD_YES;
        }
        if (!exchange->begun) {
            exchange->begun = true;
            exchange->request.method = method;
            return server.begin(*exchange, method, version) ? MHD_YES : MHD_NO;
        }
        if (*uploadSize > 0) {
            const std::size_t size = *uploadSize;
            *uploadSize = 0;
            if (exchange->request.body.size() + size > exchange->bodyBytes) return MHD_NO;
            exchange->request.body.append(upload, size);
            return MHD_YES;
        }
        return server.finish(*exchange) ? MHD_YES : MHD_NO;
    }

    // Reads the head's header lines into the request; `malformed` when one
    // is not a header line (folded, its name no token, a NUL or a bare CR
    // in its value) or the library read more than it reported.
    struct HeadReader {
        HttpRequest& request;
        HeadLayout layout;
        bool malformed = false;
    };
    static MHD_Result header(void* state, MHD_ValueKind, const char* name, std::size_t nameLength,
                             const char* value, std::size_t valueLength) {
        auto& reader = *static_cast<HeadReader*>(state);
        const std::string_view text(value ? value : "", value ? valueLength : 0);
        // No blank before the colon: "Transfer-Encoding :" names no header a
        // proxy would agree on.
        if (!isHttpToken({name ? name : "", name ? nameLength : 0}) || !value ||
            text.find_first_of(std::string_view("\r\0", 2)) != std::string_view::npos) {
            reader.malformed = true;
            return MHD_NO;
        }
        reader.layout.add(name, nameLength, value, valueLength);
        reader.request.headers.emplace(std::string(name, nameLength), text);
        return MHD_YES;
    }

    // A part arrives in pieces, each with its offset in the part: offset 0
    // opens a new part (an empty part is one piece of no bytes), the rest
    // go on the one being read. Past the parts a request may keep, a new
    // part is only counted, and its pieces dropped.
    static MHD_Result part(void* state, MHD_ValueKind, const char* name, const char* filename, const char*,
                           const char*, const char* data, uint64_t offset, std::size_t size) {
        auto& exchange = *static_cast<Exchange*>(state);
        auto& files = exchange.request.files;
        if (offset == 0) {
            if (exchange.partsLeft == 0) {
                ++exchange.request.partsLeftOut;
                exchange.part = files.end();
                return MHD_YES;
            }
            --exchange.partsLeft;
            exchange.part = files.emplace(name ? name : "", HttpFilePart{filename ? filename : "", {}});
        }
        if (exchange.part != files.end()) exchange.part->second.content.append(data, size);
        return MHD_YES;
    }
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
    if (!daemons_.empty() || listener_ < 0 || stopped_once_) return false;
    deadlines_ = std::make_unique<Deadlines>();
    if (std::any_of(routes_.begin(), routes_.end(), [](const Route& route) { return route.held != nullptr; }))
        departures_ = std::make_unique<Departures>(*this);
    // Clients come through the front reader, which reads their heads first
    // and ends their TLS sessions: the library serves the plain bytes. Each
    // of a few daemons serves the connections handed to it from epoll, run
    // by one of the front reader's threads, so a request and its answer
    // cross no thread; held ones are suspended, costing no thread; the
    // internal signal channel wakes a daemon to resume one. The front
    // reader keeps the limit of connections.
    const unsigned flags = MHD_USE_EPOLL | MHD_ALLOW_SUSPEND_RESUME | MHD_USE_NO_LISTEN_SOCKET;
    const std::size_t mostClients = limits_.connections + kBusyAnswers;
    MHD_OptionItem options[]{
        {MHD_OPTION_CONNECTION_LIMIT, static_cast<intptr_t>(mostClients), nullptr},
        {MHD_OPTION_CONNECTION_TIMEOUT, static_cast<intptr_t>(std::max(1u, limits_.idleSeconds)), nullptr},
        {MHD_OPTION_CONNECTION_MEMORY_LIMIT, static_cast<intptr_t>(limits_.connectionMemory), nullptr},
        {MHD_OPTION_NOTIFY_CONNECTION, reinterpret_cast<intptr_t>(&Callbacks::connectionChanged), this},
        {MHD_OPTION_NOTIFY_COMPLETED, reinterpret_cast<intptr_t>(&Callbacks::requestEnded), this},
        {MHD_OPTION_URI_LOG_CALLBACK, reinterpret_cast<intptr_t>(&Callbacks::requestStarted), this},
        {MHD_OPTION_END, 0, nullptr},
    };
    std::vector<FrontReader::Engine> engines;
    for (unsigned i = 0; i < std::max(1u, limits_.threads); ++i) {
        MHD_Daemon* daemon = MHD_start_daemon(flags, 0, nullptr, nullptr, &Callbacks::request, this, MHD_OPTION_ARRAY,
                                              options, MHD_OPTION_END);
        if (!daemon) break;
        daemons_.push_back({daemon, ::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK)});
        if (daemons_.back().resumed < 0) break;
        engines.push_back({daemons_.back().resumed, [daemon] { MHD_run(daemon); },
                           [daemon] {
                               MHD_UNSIGNED_LONG_LONG wait = 0;
                               if (MHD_get_timeout(daemon, &wait) != MHD_YES) return -1;
                               return static_cast<int>(std::min<MHD_UNSIGNED_LONG_LONG>(wait, 60'000));
                           },
                           [daemon](int socket) {
                               // The library's end is a local socket: it
                               // sets no TCP option on it.
                               const sockaddr_un local{AF_UNIX, {}};
                               return MHD_add_connection(daemon, socket, reinterpret_cast<const sockaddr*>(&local),
                                                         sizeof local) == MHD_YES;
                           }});
    }
    if (engines.size() == std::max(1u, limits_.threads)) {
        front_ = FrontReader::start(listener_, {mostClients, limits_.replySeconds}, std::move(engines),
                                    [this] { return wholeRefusal(400); }, credentials);
    } else {
        ::close(listener_);
    }
    listener_ = -1;  // the front reader's now, closed when it stops
    if (!front_) {
        stopDaemons();
        departures_.reset();
        deadlines_.reset();
        return false;
    }
    serving_ = true;
    return true;
}

void HttpServer::stopDaemons() {
    for (const Daemon& daemon : daemons_) {
        MHD_stop_daemon(daemon.daemon);
        if (daemon.resumed >= 0) ::close(daemon.resumed);
    }
    daemons_.clear();
}

void HttpServer::resume(MHD_Connection* connection) const {
    // Its daemon is looked up first: once resumed, the connection may end
    // at once on the daemon's thread.
    const MHD_ConnectionInfo* info = MHD_get_connection_info(connection, MHD_CONNECTION_INFO_DAEMON);
    const auto found = std::find_if(daemons_.begin(), daemons_.end(),
                                    [&](const Daemon& daemon) { return info && info->daemon == daemon.daemon; });
    MHD_resume_connection(connection);
    if (found != daemons_.end()) {
        const std::uint64_t one = 1;
        [[maybe_unused]] ssize_t written = ::write(found->resumed, &one, sizeof one);
    }
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
    // Every held connection is resumed before the daemon stops, as
    // libmicrohttpd requires.
    for (const auto& hold : held) {
        HttpResponse busy;
        fillError(busy, 503);
        hold->answer(busy);
    }
    std::lock_guard lock(stopMutex_);
    stopped_once_ = true;
    // The front reader first: it hands the library no connection once it
    // has stopped.
    front_.reset();
    stopDaemons();
    departures_.reset();
    deadlines_.reset();
    if (listener_ >= 0) ::close(listener_);
    listener_ = -1;
    serving_ = false;
    stopped_.notify_all();
}

bool HttpServer::begin(Exchange& exchange, const char* method, const char* version) {
    HttpRequest& request = exchange.request;
    Connection* client = exchange.client;
    if (client && client->beyondLimit) return refuse(exchange, 503);
    const std::string& target = exchange.target;
    if (target.empty() || target.front() != '/') return refuse(exchange, 400);
    const std::size_t question = target.find('?');
    request.path = decoded(std::string_view(target).substr(0, question), false);
    if (question != std::string::npos) {
        request.query = target.substr(question + 1);
        addFields(request.query, request.params);
    }
    const MHD_ConnectionInfo* size = MHD_get_connection_info(exchange.connection, MHD_CONNECTION_INFO_REQUEST_HEADER_SIZE);
    const std::size_t headBytes = size ? size->header_size : 0;
    Callbacks::HeadReader head{request, HeadLayout(method, headBytes, version)};
    MHD_get_connection_values_n(exchange.connection, MHD_HEADER_KIND, &Callbacks::header, &head);
    // A line folded onto the next, a blank before the colon, an empty name,
    // a NUL or a bare CR: a proxy may read the head otherwise than we do.
    if (head.malformed || !head.layout.exact()) return refuse(exchange, 400);
    if (request.headers.size() > limits_.headerLines || headBytes > limits_.headBytes) return refuse(exchange, 431);
    // Two lengths or two hosts could be read differently by a proxy and by
    // us: a request smuggled past one of them.
    for (const char* once : {"Content-Length", "Host"})
        if (request.headers.count(once) > 1) return refuse(exchange, 400);
    if (request.headers.count("Transfer-Encoding")) return refuse(exchange, 411);

    // A body's size is bounded by its route's limit.
    std::uint64_t length = 0;
    const std::string declared = request.header("Content-Length");
    if (!declared.empty()) {
        if (!readableContentLength(declared)) return refuse(exchange, 400);
        length = std::stoull(declared);
        exchange.bodyBytes = limits_.bodyBytes;
        for (const Route& route : routes_) {
            if (route.method == request.method && std::regex_match(request.path, route.pattern)) {
                exchange.bodyBytes = route.bodyBytes;
                break;
            }
        }
        if (length > exchange.bodyBytes) return refuse(exchange, 413);
    }
    if (length > 0) {
        if (client) deadlines_->set(client, Clock::now() + seconds(limits_.bodySeconds));
        if (startsWithIgnoringCase(request.header("Content-Type"), "multipart/form-data")) {
            exchange.part = request.files.end();
            exchange.partsLeft = limits_.parts;
            exchange.multipart =
                MHD_create_post_processor(exchange.connection, kPostBuffer, &Callbacks::part, &exchange);
            if (!exchange.multipart) return refuse(exchange, 400);
        }
    } else if (client) {
        deadlines_->clear(client);
    }
    return true;
}

bool HttpServer::finish(Exchange& exchange) {
    if (exchange.hold) {
        // Resumed with the held answer not yet queued (the library
        // refused it then): it is sent now.
        std::optional<HttpResponse> response = exchange.hold->response();
        return response && send(exchange, *response, false);
    }
    if (exchange.client) deadlines_->clear(exchange.client);
    HttpRequest& request = exchange.request;
    if (startsWithIgnoringCase(request.header("Content-Type"), "application/x-www-form-urlencoded"))
        addFields(request.body, request.params);
    if (exchange.multipart) {
        // The library reports a part's start as soon as it has read the
        // part's head: when the bytes given to it end there, it reports the
        // start with no bytes, and the part's bytes later from offset 0
        // again, which reads as an empty part and another of the same name.
        // Given the whole body at once it reports every part once, so
        // offset 0 is always a new part.
        std::string body;
        body.swap(request.body);
        if (MHD_post_process(exchange.multipart, body.data(), body.size()) != MHD_YES) return refuse(exchange, 400);
    }
    HttpResponse response;
    if (observer_ && observer_(request, response)) return send(exchange, response, false);
    const Route* found = route(exchange);
    if (!found) return refuse(exchange, 404);
    if (!found->held) {
        run(*found, exchange, response);
        return send(exchange, response, false);
    }
    auto hold = std::make_shared<Hold>(*this, exchange, exchange.client ? exchange.client->socket : -1);
    exchange.hold = hold;
    {
        std::lock_guard lock(holdsMutex_);
        if (!stopping_) holds_.insert(hold);
    }
    try {
        found->held(request, hold);
    } catch (const std::exception&) {
        HttpResponse failed;
        failed.status = 500;
        if (exceptionHandler_) exceptionHandler_(failed);
        hold->answer(failed);
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
    if (std::optional<HttpResponse> ready = hold->answerOrSuspend()) return send(exchange, *ready, false);
    return true;
}

const HttpServer::Route* HttpServer::route(Exchange& exchange) const {
    HttpRequest& request = exchange.request;
    for (const Route& route : routes_) {
        if (route.method != request.method) continue;
        std::smatch match;
        if (!std::regex_match(request.path, match, route.pattern)) continue;
        for (const auto& group : match) request.matches.push_back(group.str());
        return &route;
    }
    return nullptr;
}

void HttpServer::run(const Route& route, Exchange& exchange, HttpResponse& response) const {
    try {
        route.handler(exchange.request, response);
    } catch (const std::exception&) {
        response = HttpResponse{};
        response.status = 500;
        if (exceptionHandler_) exceptionHandler_(response);
        return;
    }
    if (response.status >= 400 && response.body.empty() && errorHandler_) errorHandler_(response);
}

bool HttpServer::refuse(Exchange& exchange, int status) {
    HttpResponse response;
    fillError(response, status);
    return send(exchange, response, true);
}

bool HttpServer::send(Exchange& exchange, const HttpResponse& response, bool close) {
    MHD_Response* answer = MHD_create_response_from_buffer(response.body.size(), const_cast<char*>(response.body.data()),
                                                           MHD_RESPMEM_MUST_COPY);
    if (!answer) return false;
    if (!response.contentType.empty()) MHD_add_response_header(answer, "Content-Type", response.contentType.c_str());
    Connection* client = exchange.client;
    if (client && ++client->served >= limits_.requestsPerConnection) close = true;
    if (close) MHD_add_response_header(answer, "Connection", "close");
    const MHD_Result queued = MHD_queue_response(exchange.connection, static_cast<unsigned>(response.status), answer);
    MHD_destroy_response(answer);
    exchange.answered = queued == MHD_YES;
    return exchange.answered;
}

std::string HttpServer::wholeRefusal(int status) const {
    HttpResponse response;
    fillError(response, status);
    char date[64];
    const std::time_t now = std::time(nullptr);
    std::tm utc{};
    std::strftime(date, sizeof date, "%a, %d %b %Y %H:%M:%S GMT", ::gmtime_r(&now, &utc));
    std::string answer = "HTTP/1.1 " + std::to_string(status) + " " + MHD_get_reason_phrase_for(static_cast<unsigned>(status)) +
                         "\r\nConnection: close\r\nContent-Length: " + std::to_string(response.body.size()) +
                         "\r\nDate: " + date + "\r\n";
    if (!response.contentType.empty()) answer += "Content-Type: " + response.contentType + "\r\n";
    return answer + "\r\n" + response.body;
}

void HttpServer::fillError(HttpResponse& response, int status) const {
    response.status = status;
    if (errorHandler_) errorHandler_(response);
}

}  // namespace backend
