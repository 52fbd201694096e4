#include "backend/HttpConnections.h"

#include <arpa/inet.h>
#include <gnutls/gnutls.h>
#include <linux/inet_diag.h>
#include <linux/netlink.h>
#include <linux/sock_diag.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sys/epoll.h>
#include <sys/eventfd.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <chrono>
#include <cstdint>
#include <cstring>
#include <mutex>
#include <set>
#include <string_view>
#include <thread>
#include <vector>

#include "backend/GnuTLSDatum.h"
#include "backend/RequestReader.h"

namespace backend {

namespace {

using Clock = std::chrono::steady_clock;

// What may wait in one direction: past it a client's requests are not
// read, and no more of them are served, until its answers have gone.
constexpr std::size_t kWaitingBytes = 64 * 1024;
// Of the answers waiting, what the system may hold unsent for a client
// (TCP_NOTSENT_LOWAT: past it a send takes no more); the rest waits in
// the connection. Without it the system takes megabytes for a client
// that reads nothing, and the server goes on serving it.
constexpr int kUnsentInSystem = kWaitingBytes / 4;
constexpr std::size_t kAnswersWaiting = kWaitingBytes - kUnsentInSystem;
// How often clients not read are asked after (a client's leaving waits
// behind what it sent).
constexpr auto kSweepEvery = std::chrono::milliseconds(250);
// How long a connection refused or told "close" may take to send its last
// bytes before it is closed: closing on bytes not read would reset it, and
// the answer with it.
constexpr auto kLingerFor = std::chrono::seconds(1);
// Clients past the limit that are still answered (503) rather than closed
// at once.
constexpr std::size_t kBusyAnswers = 16;
// TLS 1.2 and later only: the older versions' weaknesses (their hashes,
// their CBC records) are not offered to any client.
constexpr const char* kTLSVersions = "NORMAL:-VERS-ALL:+VERS-TLS1.3:+VERS-TLS1.2";

Clock::duration seconds(double value) {
    return std::chrono::duration_cast<Clock::duration>(std::chrono::duration<double>(value));
}

// Whether the client at the far end of `socket` (on this machine: every
// listener is on the loopback) still has its socket open, once its end of
// the stream has come. A client that shut only its sending side still
// reads; one that closed its socket leaves it to the system alone
// (inode 0) or gone. TCP tells the two apart only when the server next
// writes, so the system's socket table is asked (sock_diag). True when it
// cannot be asked (no descriptor left for the question): a client kept
// that has gone is let go at its next write or deadline, while one
// dropped that only shut its sending side would lose its answers.
bool clientStillOpen(int socket) {
    sockaddr_in local{}, peer{};
    socklen_t localLength = sizeof local, peerLength = sizeof peer;
    if (::getsockname(socket, reinterpret_cast<sockaddr*>(&local), &localLength) != 0 ||
        ::getpeername(socket, reinterpret_cast<sockaddr*>(&peer), &peerLength) != 0 || local.sin_family != AF_INET)
        return false;
    const int diag = ::socket(AF_NETLINK, SOCK_DGRAM | SOCK_CLOEXEC, NETLINK_SOCK_DIAG);
    if (diag < 0) return true;
    struct {
        nlmsghdr header;
        inet_diag_req_v2 request;
    } query{};
    query.header.nlmsg_len = sizeof query;
    query.header.nlmsg_type = SOCK_DIAG_BY_FAMILY;
    query.header.nlmsg_flags = NLM_F_REQUEST;
    query.request.sdiag_family = AF_INET;
    query.request.sdiag_protocol = IPPROTO_TCP;
    query.request.idiag_states = ~0u;
    // The client's socket: its source is our peer.
    query.request.id.idiag_sport = peer.sin_port;
    query.request.id.idiag_dport = local.sin_port;
    std::memcpy(query.request.id.idiag_src, &peer.sin_addr, sizeof peer.sin_addr);
    std::memcpy(query.request.id.idiag_dst, &local.sin_addr, sizeof local.sin_addr);
    query.request.id.idiag_cookie[0] = query.request.id.idiag_cookie[1] = INET_DIAG_NOCOOKIE;
    sockaddr_nl kernel{};
    kernel.nl_family = AF_NETLINK;
    bool open = true;
    alignas(nlmsghdr) char answer[4096];
    if (::sendto(diag, &query, sizeof query, 0, reinterpret_cast<sockaddr*>(&kernel), sizeof kernel) ==
        static_cast<ssize_t>(sizeof query)) {
        const ssize_t length = ::recv(diag, answer, sizeof answer, 0);
        const auto* header = reinterpret_cast<const nlmsghdr*>(answer);
        // The socket as the table lists it, or an error: no such socket.
        if (length > 0 && NLMSG_OK(header, static_cast<unsigned>(length))) {
            const bool found = header->nlmsg_type == SOCK_DIAG_BY_FAMILY &&
                               length >= static_cast<ssize_t>(NLMSG_LENGTH(sizeof(inet_diag_msg)));
            open = found && static_cast<const inet_diag_msg*>(NLMSG_DATA(header))->idiag_inode != 0;
        }
    }
    ::close(diag);
    return open;
}

}  // namespace

// One client's connection.
struct HttpConnections::Client {
    Client(int socket, std::size_t headBytes, std::size_t headerLines) : socket(socket), reader(headBytes, headerLines) {}
    int socket;
    gnutls_session_t tls = nullptr;  // over TLS
    bool handshaken = false;
    bool streamEnded = false;        // over TLS: read by the session as "nothing yet"
    std::size_t tlsSendPending = 0;  // bytes of a record the session has yet to send
    // Whether a read or a write may move bytes: set by epoll (edge
    // triggered), cleared when one found nothing to read or no room.
    bool readable = true;
    bool writable = true;
    bool hungUp = false;
    bool watchedForRoom = false;
    std::string in;  // read from the client, not yet read as requests
    RequestReader reader;
    std::string out;  // answers not yet taken by the client
    std::shared_ptr<Reply> pending;  // the request being answered
    bool closeAfter = false;  // the pending request's answer ends the connection
    bool saysKeepAlive = false;  // and if not, whether it says it keeps it
    bool headOnly = false;
    bool beyondLimit = false;
    std::size_t served = 0;
    bool clientDone = false;  // its stream ended (it may still read)
    bool closing = false;     // the last answer is given: nothing more is read
    bool lingering = false;   // that answer is sent, the sending side shut
    Clock::time_point lastActivity;  // a byte read, or an answer sent
    Clock::time_point headDue, bodyDue, lingerDue;
    Clock::time_point waitingSince;  // since when nothing of `out` was taken
};

// The answer to one request: given once, from the loop while it serves the
// request or later from any thread. A client that leaves, or the server's
// end, answers it 503 for its holder.
class HttpConnections::Reply : public HeldAnswer, public std::enable_shared_from_this<Reply> {
public:
    Reply(Loop* loop, Client* client) : client(client), loop_(loop) {}

    void answer(HttpResponse response) override;
    bool answered() const override {
        std::lock_guard lock(mutex_);
        return response_.has_value();
    }
    // The loop's serving is over: the answer if it came meanwhile; any
    // later one goes to the loop.
    std::optional<HttpResponse> served() {
        std::lock_guard lock(mutex_);
        serving_ = false;
        return response_;
    }
    std::optional<HttpResponse> response() const {
        std::lock_guard lock(mutex_);
        return response_;
    }
    // An answer given from now on is not posted to the loop, which ends.
    void leaveLoop() {
        std::lock_guard lock(mutex_);
        loop_ = nullptr;
    }
    // Its client has gone, or the server ends: nothing more reaches it.
    void detach(const HttpResponse& unanswered) {
        std::lock_guard lock(mutex_);
        loop_ = nullptr;
        client = nullptr;
        if (!response_) response_ = unanswered;
    }

    Client* client;  // the loop's own: read and cleared on its thread

private:
    mutable std::mutex mutex_;
    Loop* loop_;
    bool serving_ = true;
    std::optional<HttpResponse> response_;
};

// What a read from or a write to the client gave: bytes, its end, nothing
// yet, or a failure.
constexpr ssize_t kNothingYet = -1;
constexpr ssize_t kFailed = -2;

// What every loop shares: the listener, the identity, the bounds.
struct HttpConnections::Shared {
    int listener = -1;
    int stop = -1;  // an eventfd: written once, every loop returns
    HttpServer::Limits bounds;
    Service* service = nullptr;
    gnutls_certificate_credentials_t identity = nullptr;  // over TLS
    std::atomic<std::size_t> clients{0};
    std::atomic<std::size_t> nextLoop{0};
    gnutls_priority_t priorities = nullptr;  // over TLS

    ~Shared() {
        if (listener >= 0) ::close(listener);
        if (stop >= 0) ::close(stop);
        if (identity) gnutls_certificate_free_credentials(identity);
        if (priorities) gnutls_priority_deinit(priorities);
    }
};

// One thread and the clients handed to it. The first loop accepts every
// client and hands each to the loops in turn.
struct HttpConnections::Loop {
    explicit Loop(Shared& shared) : shared(shared), service(*shared.service), bounds(shared.bounds) {}

    ~Loop() {
        // Answers given before the end go out, if their clients take them
        // now; none is posted any more, and no request is served.
        for (Client* client : clients)
            if (client->pending) client->pending->leaveLoop();
        for (const auto& reply : takenAnswers())
            if (Client* client = reply->client; client && client->pending == reply) deliver(*client, *reply->response());
        const HttpResponse busy = service.refusal(503);
        for (Client* client : clients) {
            if (!client->out.empty()) sendToClient(*client);
            if (client->pending) client->pending->detach(busy);
            close(client);
        }
        for (int arrival : arrivals) ::close(arrival);
        if (answersSignal >= 0) ::close(answersSignal);
        if (arrivalsSignal >= 0) ::close(arrivalsSignal);
        if (epoll >= 0) ::close(epoll);
    }

    bool open(bool accepting) {
        epoll = ::epoll_create1(EPOLL_CLOEXEC);
        arrivalsSignal = ::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
        answersSignal = ::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
        if (epoll < 0 || arrivalsSignal < 0 || answersSignal < 0) return false;
        for (int* watched : {accepting ? &shared.listener : nullptr, &shared.stop, &arrivalsSignal, &answersSignal}) {
            if (!watched) continue;
            epoll_event event{};
            event.events = EPOLLIN;
            event.data.ptr = watched;
            if (::epoll_ctl(epoll, EPOLL_CTL_ADD, *watched, &event) != 0) return false;
        }
        return true;
    }

    // A held answer given on another thread: the loop sends it.
    void post(std::shared_ptr<Reply> reply) {
        {
            std::lock_guard lock(answersMutex);
            answers.push_back(std::move(reply));
        }
        const std::uint64_t one = 1;
        [[maybe_unused]] ssize_t written = ::write(answersSignal, &one, sizeof one);
    }

    // A client is watched for room to write only once a write found none
    // (a TLS client's from the start: its handshake writes as it reads):
    // the room every answer's acknowledgement makes would wake the loop
    // for nothing.
    void watch(Client& client, bool forRoom, int operation = EPOLL_CTL_ADD) {
        epoll_event event{};
        event.events = EPOLLIN | EPOLLRDHUP | EPOLLET | (forRoom ? EPOLLOUT : 0u);
        event.data.ptr = &client;
        ::epoll_ctl(epoll, operation, client.socket, &event);
        client.watchedForRoom = forRoom;
    }

    void noRoom(Client& client) {
        client.writable = false;
        if (!client.watchedForRoom) watch(client, true, EPOLL_CTL_MOD);
    }

    // A TLS session for a new client, or false. The session reads the end
    // of the client's stream as "nothing yet": a session that saw it would
    // count it a failure and send nothing more, and a client that only shut
    // its sending side is still owed its answers.
    bool beginTLS(Client& client) {
        if (gnutls_init(&client.tls, GNUTLS_SERVER | GNUTLS_NONBLOCK) != 0) return false;
        gnutls_transport_set_ptr(client.tls, &client);
        gnutls_transport_set_pull_function(client.tls, [](gnutls_transport_ptr_t transport, void* data, std::size_t size) {
            auto& reading = *static_cast<Client*>(transport);
            const ssize_t got = ::recv(reading.socket, data, size, 0);
            // The handshake's bytes count as the client's activity too.
            if (got > 0) reading.lastActivity = Clock::now();
            if (got == 0) reading.streamEnded = true;
            if (got <= 0) gnutls_transport_set_errno(reading.tls, got == 0 ? EAGAIN : errno);
            return got == 0 ? ssize_t{-1} : got;
        });
        gnutls_transport_set_push_function(client.tls, [](gnutls_transport_ptr_t transport, const void* data,
                                                         std::size_t size) {
            auto& writing = *static_cast<Client*>(transport);
            const ssize_t sent = ::send(writing.socket, data, size, MSG_NOSIGNAL);
            if (sent < 0) gnutls_transport_set_errno(writing.tls, errno);
            return sent;
        });
        return gnutls_priority_set(client.tls, shared.priorities) == 0 &&
               gnutls_credentials_set(client.tls, GNUTLS_CRD_CERTIFICATE, shared.identity) == 0;
    }

    // Takes every client waiting at the listener (the first loop only).
    void acceptAll(std::vector<std::unique_ptr<Loop>>& loops) {
        for (;;) {
            const int arrival = ::accept4(shared.listener, nullptr, nullptr, SOCK_NONBLOCK | SOCK_CLOEXEC);
            if (arrival < 0) {
                if (errno == EINTR || errno == ECONNABORTED) continue;
                // With no descriptor left the clients wait in the listener's
                // queue, and the listener is tried again shortly.
                if (errno == EMFILE || errno == ENFILE) {
                    watchListener(false);
                    listenerResumes = Clock::now() + kAcceptAgainAfterMilliseconds * std::chrono::milliseconds(1);
                    nextCheck = std::min(nextCheck, listenerResumes);
                }
                return;
            }
            if (shared.clients >= shared.bounds.connections + kBusyAnswers) {
                ::close(arrival);
                continue;
            }
            ++shared.clients;
            Loop& loop = *loops[shared.nextLoop++ % loops.size()];
            if (&loop == this) {
                adopt(arrival);
                continue;
            }
            {
                std::lock_guard lock(loop.arrivalsMutex);
                loop.arrivals.push_back(arrival);
            }
            const std::uint64_t one = 1;
            [[maybe_unused]] ssize_t written = ::write(loop.arrivalsSignal, &one, sizeof one);
        }
    }

    void adoptArrivals() {
        std::uint64_t count = 0;
        [[maybe_unused]] ssize_t read = ::read(arrivalsSignal, &count, sizeof count);
        std::vector<int> taken;
        {
            std::lock_guard lock(arrivalsMutex);
            taken.swap(arrivals);
        }
        for (int arrival : taken) adopt(arrival);
    }

    // Serves a new client `socket` on this loop.
    void adopt(int socket) {
        // Each answer goes out whole in one write: none waits for the
        // acknowledgement of the one before.
        const int on = 1;
        ::setsockopt(socket, IPPROTO_TCP, TCP_NODELAY, &on, sizeof on);
        ::setsockopt(socket, IPPROTO_TCP, TCP_NOTSENT_LOWAT, &kUnsentInSystem, sizeof kUnsentInSystem);
        auto* client = new Client(socket, bounds.headBytes, bounds.headerLines);
        if (shared.identity && !beginTLS(*client)) {
            close(client);
            left();
            return;
        }
        client->beyondLimit = shared.clients > bounds.connections;
        client->lastActivity = Clock::now();
        client->headDue = client->lastActivity + seconds(bounds.headSeconds);
        clients.insert(client);
        watch(*client, client->tls != nullptr);
        due(*client);
    }

    static ssize_t tlsResult(ssize_t result) {
        if (result >= 0) return result;
        return result == GNUTLS_E_AGAIN || result == GNUTLS_E_INTERRUPTED ? kNothingYet : kFailed;
    }

    // Over TLS, nothing moves before the handshake is done.
    static ssize_t receiveFromClient(Client& client, char* buffer, std::size_t size) {
        if (!client.tls) {
            const ssize_t got = ::recv(client.socket, buffer, size, 0);
            return got >= 0 ? got : (errno == EAGAIN || errno == EINTR ? kNothingYet : kFailed);
        }
        ssize_t got = 0;
        if (!client.handshaken) {
            const int handshake = gnutls_handshake(client.tls);
            // A handshake refused tells the client why before the
            // connection closes (an offer of TLS 1.0 or 1.1 only:
            // protocol_version), as TLS wants, rather than a bare close.
            if (handshake < 0 && gnutls_error_is_fatal(handshake)) gnutls_alert_send_appropriate(client.tls, handshake);
            got = tlsResult(handshake);
            client.handshaken = got == 0;
            client.writable |= client.handshaken;
        }
        if (client.handshaken) got = tlsResult(gnutls_record_recv(client.tls, buffer, size));
        // The stream's end, once the session has taken every record before it.
        return got == kNothingYet && client.streamEnded ? 0 : got;
    }

    static ssize_t sendToClient(Client& client) {
        if (!client.tls) {
            const ssize_t sent = ::send(client.socket, client.out.data(), client.out.size(), MSG_NOSIGNAL);
            return sent >= 0 ? sent : (errno == EAGAIN || errno == EINTR ? kNothingYet : kFailed);
        }
        if (!client.handshaken) return kNothingYet;
        // A record the session could not send whole goes on where it stopped.
        const bool pending = client.tlsSendPending > 0;
        const std::size_t size = std::min<std::size_t>(client.out.size(), 16 * 1024);
        const ssize_t sent = tlsResult(pending ? gnutls_record_send(client.tls, nullptr, 0)
                                               : gnutls_record_send(client.tls, client.out.data(), size));
        if (sent == kNothingYet && !pending) client.tlsSendPending = size;
        if (sent >= 0) client.tlsSendPending = 0;
        return sent;
    }

    // Serves the requests the client's bytes hold, in turn, until one is
    // held, its answers wait past the bound, or its bytes end mid-request.
    void serveRequests(Client& client) {
        std::string_view bytes = client.in;
        while (!client.pending && !client.closing && client.out.size() < kAnswersWaiting) {
            const RequestReader::Step step = client.reader.read(bytes);
            if (step == RequestReader::Step::More) break;
            if (step == RequestReader::Step::Refused) {
                refuse(client, client.reader.refusal());
                break;
            }
            if (step == RequestReader::Step::Head) {
                HttpRequest& request = client.reader.request();
                const std::uint64_t length = client.reader.bodyLength();
                if (const int status = service.admit(request, client.reader.target(), length, client.beyondLimit)) {
                    refuse(client, status);
                    break;
                }
                if (length > 0) {
                    client.bodyDue = Clock::now() + seconds(bounds.bodySeconds);
                    if (client.reader.expectsContinue() && bytes.size() < length) client.out += "HTTP/1.1 100 Continue\r\n\r\n";
                }
                continue;
            }
            serve(client, !bytes.empty());
        }
        client.in.erase(0, client.in.size() - bytes.size());
    }

    // `moreSent`: the client's bytes hold more after this request.
    void serve(Client& client, bool moreSent) {
        HttpRequest& request = client.reader.request();
        client.closeAfter = !client.reader.keepAlive() || ++client.served >= bounds.requestsPerConnection;
        client.saysKeepAlive = client.reader.keptAliveOnRequest();
        client.headOnly = request.method == "HEAD";
        client.pending = std::make_shared<Reply>(this, &client);
        const bool held = service.serve(request, client.pending);
        if (std::optional<HttpResponse> response = client.pending->served()) {
            client.closeAfter |= held && moreSent;  // answered while it was being held: see takeAnswers
            deliver(client, *response);
        }
    }

    void deliver(Client& client, const HttpResponse& response) {
        client.pending.reset();
        const std::string_view connection = client.closeAfter ? "close" : client.saysKeepAlive ? "keep-alive" : "";
        if (client.out.empty()) {
            client.waitingSince = Clock::now();
            client.out = service.wire(response, connection, client.headOnly);
        } else {
            client.out += service.wire(response, connection, client.headOnly);
        }
        client.closing |= client.closeAfter;
        client.reader.next();
        client.lastActivity = Clock::now();
        client.headDue = client.lastActivity + seconds(bounds.idleSeconds + bounds.headSeconds);
    }

    // The last answer: the client's requests are read no more.
    void refuse(Client& client, int status) {
        if (client.out.empty()) client.waitingSince = Clock::now();
        client.out += service.wire(service.refusal(status), "close", client.reader.request().method == "HEAD");
        client.closing = true;
    }

    // Held answers given on other threads since the loop last looked.
    std::vector<std::shared_ptr<Reply>> takenAnswers() {
        std::uint64_t count = 0;
        [[maybe_unused]] ssize_t read = ::read(answersSignal, &count, sizeof count);
        std::vector<std::shared_ptr<Reply>> taken;
        std::lock_guard lock(answersMutex);
        taken.swap(answers);
        return taken;
    }

    // Sends them, and serves what their clients sent meanwhile. A client
    // that sent more requests behind a held one, before it could see its
    // answer, is not waiting for it: the held answer is its last, so that
    // a client reading nothing keeps its place for one hold, not for one
    // hold after another.
    void takeAnswers() {
        for (const auto& reply : takenAnswers()) {
            Client* client = reply->client;
            if (!client || client->pending != reply) continue;
            client->closeAfter |= !client->in.empty();
            deliver(*client, *reply->response());
            if (!pump(*client)) end(client);
        }
    }

    // Moves what can move until nothing more does; false once the
    // connection has ended.
    bool pump(Client& client) {
        char buffer[16 * 1024];
        for (bool moved = true; moved;) {
            moved = false;
            if (client.readable && !client.clientDone && (!client.closing || client.lingering) &&
                client.in.size() < kWaitingBytes) {
                const ssize_t got = receiveFromClient(client, buffer, sizeof buffer);
                if (got > 0) {
                    // After the last answer, what comes is dropped.
                    if (!client.closing) client.in.append(buffer, static_cast<std::size_t>(got));
                    client.lastActivity = Clock::now();
                    // A short read took all there was, unless the stream's end
                    // came too (its event came with the bytes, and comes no
                    // more); a TLS session may hold more records.
                    if (!client.tls && static_cast<std::size_t>(got) < sizeof buffer && !client.hungUp)
                        client.readable = false;
                    moved = true;
                } else if (got == kNothingYet) {
                    client.readable = false;
                } else {
                    // A client that only shut its sending side still reads
                    // its answers (a held request stays held); one that has
                    // gone is let go, and its held request ends.
                    if (got == kFailed || client.lingering || !clientStillOpen(client.socket)) return false;
                    client.clientDone = moved = true;
                }
            }
            if (!client.pending && !client.closing) serveRequests(client);
            if (!client.out.empty() && client.writable) {
                const ssize_t sent = sendToClient(client);
                if (sent > 0) {
                    if (!client.tls && static_cast<std::size_t>(sent) < client.out.size()) noRoom(client);
                    client.out.erase(0, static_cast<std::size_t>(sent));
                    client.waitingSince = client.lastActivity = Clock::now();
                    moved = true;
                } else if (sent == kNothingYet) {
                    noRoom(client);
                } else {
                    return false;  // the client has gone
                }
            }
            if (client.closing && client.out.empty() && !client.lingering) {
                // The last answer is sent: the client is told the end, and
                // what it still sends is read and dropped for a while.
                if (client.tls) gnutls_bye(client.tls, GNUTLS_SHUT_WR);
                ::shutdown(client.socket, SHUT_WR);
                client.lingering = moved = true;
                client.lingerDue = Clock::now() + kLingerFor;
            }
        }
        // A client that stopped sending, with every request answered.
        if (client.clientDone && !client.pending && client.out.empty()) return false;
        due(client);
        return true;
    }

    // When the connection is cut unless something happens first.
    Clock::time_point deadline(const Client& client) const {
        if (!client.out.empty()) return client.waitingSince + seconds(bounds.replySeconds);
        if (client.lingering) return client.lingerDue;
        if (client.pending) return Clock::time_point::max();  // held: answered in its time
        const Clock::time_point idle = client.lastActivity + seconds(bounds.idleSeconds);
        return std::min(idle, client.reader.readingBody() ? client.bodyDue : client.headDue);
    }

    // A client not read: its last answer given or its requests waiting.
    static bool unread(const Client& client) {
        return !client.clientDone && ((client.closing && !client.lingering) || client.in.size() >= kWaitingBytes);
    }

    void due(const Client& client) {
        nextCheck = std::min(nextCheck, deadline(client));
        if (unread(client)) nextCheck = std::min(nextCheck, Clock::now() + kSweepEvery);
    }

    // Cuts the connections past their deadlines, and lets go of those not
    // read whose clients have gone: their stream's end waits behind what
    // they sent, and may never come.
    void check() {
        const auto now = Clock::now();
        nextCheck = Clock::time_point::max();
        // A paused listener is watched again: the clients that waited in its
        // queue are taken, or it pauses once more.
        if (listenerResumes <= now) {
            listenerResumes = Clock::time_point::max();
            watchListener(true);
        }
        nextCheck = listenerResumes;
        for (auto it = clients.begin(); it != clients.end();) {
            Client* client = *it++;
            if (deadline(*client) <= now || (unread(*client) && !clientStillOpen(client->socket))) end(client);
            else due(*client);
        }
    }

    void close(Client* client) {
        if (client->tls) gnutls_deinit(client->tls);
        ::close(client->socket);
        delete client;
    }

    // A client's place is free again.
    void left() { --shared.clients; }

    // The accepting loop's listener, watched or not (while no descriptor
    // is left).
    void watchListener(bool on) {
        epoll_event event{};
        event.events = on ? static_cast<std::uint32_t>(EPOLLIN) : 0u;
        event.data.ptr = &shared.listener;
        ::epoll_ctl(epoll, EPOLL_CTL_MOD, shared.listener, &event);
    }

    void end(Client* client) {
        clients.erase(client);
        if (client->pending) client->pending->detach(service.refusal(503));
        close(client);
        left();
    }

    int waitMilliseconds() const {
        if (nextCheck == Clock::time_point::max()) return -1;
        const auto wait = std::chrono::ceil<std::chrono::milliseconds>(nextCheck - Clock::now()).count();
        return static_cast<int>(std::clamp<long long>(wait, 0, 60'000));
    }

    void run(std::vector<std::unique_ptr<Loop>>& loops) {
        epoll_event events[64];
        for (;;) {
            const int count = ::epoll_wait(epoll, events, 64, waitMilliseconds());
            if (count < 0 && errno != EINTR) return;
            for (int i = 0; i < count; ++i) {
                void* tag = events[i].data.ptr;
                if (tag == &shared.stop) return;
                if (tag == &shared.listener) acceptAll(loops);
                else if (tag == &arrivalsSignal) adoptArrivals();
                else if (tag == &answersSignal) takeAnswers();
                // A client ended by an earlier event of the batch is gone.
                else if (auto* client = static_cast<Client*>(tag); clients.count(client)) {
                    const std::uint32_t flags = events[i].events;
                    // Before its handshake a TLS session reads and writes
                    // in turn: any event may let it go on.
                    client->readable |= (flags & (EPOLLIN | EPOLLRDHUP | EPOLLHUP | EPOLLERR)) != 0 ||
                                        (client->tls && !client->handshaken);
                    client->writable |= (flags & (EPOLLOUT | EPOLLHUP | EPOLLERR)) != 0;
                    client->hungUp |= (flags & (EPOLLRDHUP | EPOLLHUP | EPOLLERR)) != 0;
                    if (!pump(*client)) end(client);
                }
            }
            if (Clock::now() >= nextCheck) check();
        }
    }

    Shared& shared;
    Service& service;
    const HttpServer::Limits& bounds;
    int epoll = -1;
    int arrivalsSignal = -1;
    int answersSignal = -1;
    std::mutex arrivalsMutex;
    std::vector<int> arrivals;  // clients accepted for this loop by the first
    std::mutex answersMutex;
    std::vector<std::shared_ptr<Reply>> answers;  // held answers given
    std::set<Client*> clients;
    Clock::time_point nextCheck = Clock::time_point::max();
    // When the accepting loop's listener, paused, is watched again.
    Clock::time_point listenerResumes = Clock::time_point::max();
    std::thread thread;
};

void HttpConnections::Reply::answer(HttpResponse response) {
    std::lock_guard lock(mutex_);
    if (response_) return;
    response_ = std::move(response);
    if (!serving_ && loop_) loop_->post(shared_from_this());
}

std::unique_ptr<HttpConnections> HttpConnections::start(int listener, const HttpServer::Limits& limits, Service& service,
                                                        const std::optional<HttpServer::Credentials>& credentials) {
    std::unique_ptr<HttpConnections> connections(new HttpConnections());
    connections->shared_ = std::make_unique<Shared>();
    Shared& shared = *connections->shared_;
    shared.listener = listener;
    shared.bounds = limits;
    shared.service = &service;
    if (credentials) {
        const gnutls_datum_t certificate = gnutlsDatum(credentials->certificatePEM),
                             key = gnutlsDatum(credentials->keyPEM);
        if (gnutls_certificate_allocate_credentials(&shared.identity) != 0 ||
            gnutls_certificate_set_x509_key_mem2(shared.identity, &certificate, &key, GNUTLS_X509_FMT_PEM, nullptr,
                                                 0) < 0 ||
            gnutls_priority_init(&shared.priorities, kTLSVersions, nullptr) != 0)
            return nullptr;
    }
    shared.stop = ::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
    if (shared.stop < 0) return nullptr;
    for (unsigned i = 0; i < std::max(1u, limits.threads); ++i) {
        connections->loops_.push_back(std::make_unique<Loop>(shared));
        if (!connections->loops_.back()->open(i == 0)) return nullptr;
    }
    for (auto& loop : connections->loops_) {
        Loop* running = loop.get();
        auto* loops = &connections->loops_;
        loop->thread = std::thread([running, loops] { running->run(*loops); });
    }
    return connections;
}

HttpConnections::~HttpConnections() {
    if (shared_ && shared_->stop >= 0) {
        const std::uint64_t one = 1;
        [[maybe_unused]] ssize_t written = ::write(shared_->stop, &one, sizeof one);
    }
    for (auto& loop : loops_)
        if (loop->thread.joinable()) loop->thread.join();
    loops_.clear();
}

}  // namespace backend
