#include "backend/FrontReader.h"

#include <arpa/inet.h>
#include <gnutls/gnutls.h>
#include <linux/inet_diag.h>
#include <linux/netlink.h>
#include <linux/sock_diag.h>
#include <netinet/in.h>
#include <sys/epoll.h>
#include <sys/eventfd.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cerrno>
#include <cstdint>
#include <cstring>
#include <mutex>
#include <set>
#include <thread>
#include <vector>

#include "backend/Format.h"
#include "backend/GnuTLSDatum.h"

namespace backend {

namespace {

using Clock = std::chrono::steady_clock;

// What may wait in one direction before its sender is no longer read.
constexpr std::size_t kWaitingBytes = 64 * 1024;
// A head longer than this is passed on unread: the library refuses heads
// far shorter (the server's limit).
constexpr std::size_t kLongestHead = 64 * 1024;

// Whether the client at the far end of `socket` (on this machine: every
// listener is on the loopback) still has its socket open, once its end of
// the stream has come. A client that shut only its sending side still
// reads; one that closed its socket leaves it to the system alone
// (inode 0) or gone. TCP tells the two apart only when the server next
// writes, so the system's socket table is asked (sock_diag); false when it
// cannot say.
bool clientStillOpen(int socket) {
    sockaddr_in local{}, peer{};
    socklen_t localLength = sizeof local, peerLength = sizeof peer;
    if (::getsockname(socket, reinterpret_cast<sockaddr*>(&local), &localLength) != 0 ||
        ::getpeername(socket, reinterpret_cast<sockaddr*>(&peer), &peerLength) != 0 || local.sin_family != AF_INET)
        return false;
    const int diag = ::socket(AF_NETLINK, SOCK_DGRAM | SOCK_CLOEXEC, NETLINK_SOCK_DIAG);
    if (diag < 0) return false;
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
    bool open = false;
    alignas(nlmsghdr) char answer[4096];
    if (::sendto(diag, &query, sizeof query, 0, reinterpret_cast<sockaddr*>(&kernel), sizeof kernel) ==
        static_cast<ssize_t>(sizeof query)) {
        const ssize_t length = ::recv(diag, answer, sizeof answer, 0);
        const auto* header = reinterpret_cast<const nlmsghdr*>(answer);
        if (length >= static_cast<ssize_t>(NLMSG_LENGTH(sizeof(inet_diag_msg))) &&
            NLMSG_OK(header, static_cast<unsigned>(length)) && header->nlmsg_type == SOCK_DIAG_BY_FAMILY) {
            const auto* found = static_cast<const inet_diag_msg*>(NLMSG_DATA(header));
            open = found->idiag_inode != 0;
        }
    }
    ::close(diag);
    return open;
}

// Follows what a client sends, request by request: each head line by line,
// then its body by its Content-Length.
class RequestFraming {
public:
    // Adds to `out` what may go on to the library; false, with nothing
    // more taken, at a head the library would answer itself or misread.
    // A head's lines go on as they are checked, and the line being read up
    // to any CR or NUL in it, so the library sees a slow head arrive; the
    // blank line that ends a head goes on once the head as a whole is read.
    bool take(std::string_view bytes, std::string& out) {
        while (!bytes.empty()) {
            if (part_ == Part::Rest) {
                out.append(bytes);
                return true;
            }
            if (part_ == Part::Body) {
                const std::size_t taken = static_cast<std::size_t>(std::min<std::uint64_t>(bodyLeft_, bytes.size()));
                out.append(bytes.substr(0, taken));
                bytes.remove_prefix(taken);
                if ((bodyLeft_ -= taken) == 0) part_ = Part::Head;
                continue;
            }
            // Line ends before a request line are no part of its head.
            if (head_.empty()) {
                const std::size_t start = std::min(bytes.find_first_not_of("\r\n"), bytes.size());
                out.append(bytes.substr(0, start));
                bytes.remove_prefix(start);
                if (bytes.empty()) break;
            }
            const std::size_t before = head_.size();
            head_.append(bytes);
            if (!checkLines()) return false;
            if (!ended_) {
                // A head longer than the library takes is passed on unread.
                const bool tooLong = head_.size() > kLongestHead;
                const std::size_t safe =
                    tooLong ? head_.size()
                            : std::min(head_.find_first_of(std::string_view("\r\0", 2), checked_), head_.size());
                out.append(head_, forwarded_, safe - forwarded_);
                forwarded_ = safe;
                if (tooLong) {
                    nextHead();
                    part_ = Part::Rest;
                }
                return true;
            }
            bytes.remove_prefix(checked_ - before);
            head_.resize(checked_);
            if (!endHead()) return false;
            out.append(head_, forwarded_);
            nextHead();
        }
        return true;
    }

private:
    enum class Part { Head, Body, Rest };

    void nextHead() {
        head_.clear();
        checked_ = forwarded_ = lengths_ = 0;
        ended_ = continuesLength_ = chunked_ = unreadableLength_ = false;
    }

    // Checks each line the head's new bytes ended; false at one refused.
    // `ended_` once the blank line that ends the head has come.
    bool checkLines() {
        for (std::size_t end = head_.find('\n', checked_); end != std::string::npos; end = head_.find('\n', checked_)) {
            std::string_view line(head_.data() + checked_, end - checked_);
            if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
            const bool first = checked_ == 0;
            checked_ = end + 1;
            if (line.empty()) {
                ended_ = true;
                return true;
            }
            if (!(first ? requestLine(line) : headerLine(line))) return false;
        }
        return true;
    }

    // A method, one blank, a target of visible characters, one blank and
    // the version: a NUL, a bare CR or a tab anywhere is refused, as the
    // library would serve the target cut or close without an answer.
    static bool requestLine(std::string_view line) {
        const std::size_t methodEnd = line.find(' ');
        if (methodEnd == std::string_view::npos || !isHttpToken(line.substr(0, methodEnd))) return false;
        line.remove_prefix(methodEnd + 1);
        const std::size_t targetEnd = line.find(' ');
        if (targetEnd == 0 || targetEnd == std::string_view::npos ||
            std::any_of(line.begin(), line.begin() + static_cast<std::ptrdiff_t>(targetEnd),
                        [](char c) { return static_cast<unsigned char>(c) <= ' ' || c == 0x7F; }))
            return false;
        const std::string_view version = line.substr(targetEnd + 1);
        return version.size() == 8 && version.substr(0, 5) == "HTTP/" && std::isdigit(static_cast<unsigned char>(version[5])) &&
               version[6] == '.' && std::isdigit(static_cast<unsigned char>(version[7]));
    }

    // Notes the lengths a header line declares; false for a line the
    // library would misread: one with no name or no colon (which it
    // answers itself), a NUL or a bare CR (where it may end the line or
    // the head), or a line folded onto a length.
    bool headerLine(std::string_view line) {
        // The library joins a folded line to the header before it; the
        // server refuses it then.
        if (line.front() == ' ' || line.front() == '\t') return !continuesLength_;
        const std::size_t colon = line.find(':');
        if (colon == 0 || colon == std::string_view::npos ||
            line.find_first_of(std::string_view("\0\r", 2)) != std::string_view::npos)
            return false;
        const std::string_view name = line.substr(0, colon);
        continuesLength_ = equalIgnoringCase(name, "Content-Length");
        if (continuesLength_) {
            // Blanks before a value are no part of it; blanks after one the
            // library keeps, reading no length.
            std::string_view value = line.substr(colon + 1);
            value.remove_prefix(std::min(value.find_first_not_of(" \t"), value.size()));
            ++lengths_;
            if (!readableContentLength(value)) unreadableLength_ = true;
            else length_ = std::stoull(std::string(value));
        }
        chunked_ |= equalIgnoringCase(name, "Transfer-Encoding");
        return true;
    }

    // A whole head: false when a length is unreadable. A head the server
    // refuses on its own (two lengths, a body sent in chunks) ends the
    // connection there, so what follows is passed on as it comes.
    bool endHead() {
        // With a Transfer-Encoding the library reads no length.
        if (!chunked_ && unreadableLength_) return false;
        if (chunked_ || lengths_ > 1) part_ = Part::Rest;
        else if (lengths_ == 1 && (bodyLeft_ = length_) > 0) part_ = Part::Body;
        return true;
    }

    Part part_ = Part::Head;
    std::uint64_t bodyLeft_ = 0;
    // The head being read, its lines checked up to `checked_` and passed on
    // up to `forwarded_`.
    std::string head_;
    std::size_t checked_ = 0;
    std::size_t forwarded_ = 0;
    bool ended_ = false;
    bool continuesLength_ = false;
    bool chunked_ = false;
    bool unreadableLength_ = false;
    std::size_t lengths_ = 0;
    std::uint64_t length_ = 0;
};

}  // namespace

bool readableContentLength(std::string_view value) { return value.size() <= 12 && isDigits(value); }

// One client and the library's end of its connection.
struct Relay {
    struct End {
        Relay* relay;
        int socket;
        // Whether a read or a write may move bytes: set by epoll (edge
        // triggered), cleared when one found nothing to read or no room. A
        // short read took all there was, unless the stream's end came too
        // (its event came with the bytes, and comes no more).
        bool readable = true;
        bool writable = true;
        bool hungUp = false;
        bool watchedForRoom = false;
        void tookAll(std::size_t got, std::size_t asked) {
            if (got < asked && !hungUp) readable = false;
        }
    };
    Relay(int clientSocket, int librarySocket) : client{this, clientSocket}, library{this, librarySocket} {}
    End client;
    End library;  // our end of the pair
    gnutls_session_t tls = nullptr;  // over TLS
    bool handshaken = false;
    bool clientStreamEnded = false;  // over TLS: read by the session as "nothing yet"
    std::size_t tlsSendPending = 0;  // bytes of a record the session has yet to send
    RequestFraming framing;
    std::string toLibrary, toClient;
    // Since when the client has taken nothing of `toClient`.
    Clock::time_point waitingSince;
    bool clientDone = false;    // its stream ended
    bool clientGone = false;    // cut: nothing more is sent to it
    bool libraryDone = false;   // the library closed its end
    bool libraryToldEnd = false;
    bool refused = false;
};

// What a read from or a write to the client gave: bytes, its end, nothing
// yet, or a failure.
constexpr ssize_t kNothingYet = -1;
constexpr ssize_t kFailed = -2;

// What every loop shares: the listener, the identity, the bounds.
struct FrontReader::Shared {
    int listener = -1;
    int stop = -1;  // an eventfd: written once, every loop returns
    Bounds bounds;
    Refusal refusal;
    gnutls_certificate_credentials_t identity = nullptr;  // over TLS
    std::atomic<std::size_t> clients{0};
    std::atomic<std::size_t> nextLoop{0};
    // Set while no descriptor is left for a new client: the accepting loop
    // stops watching the listener until a connection ends.
    std::atomic<bool> listenerPaused{false};
    int acceptingEpoll = -1;

    ~Shared() {
        if (listener >= 0) ::close(listener);
        if (stop >= 0) ::close(stop);
        if (identity) gnutls_certificate_free_credentials(identity);
    }

    void watchListener(bool on) {
        epoll_event event{};
        event.events = on ? static_cast<std::uint32_t>(EPOLLIN) : 0u;
        event.data.ptr = &listener;
        ::epoll_ctl(acceptingEpoll, EPOLL_CTL_MOD, listener, &event);
    }
};

// One thread: the relays handed to it, and the library engine that serves
// their other ends. The first loop accepts every client and hands each to
// the loops in turn.
struct FrontReader::Loop {
    Loop(Shared& shared, Engine engine) : shared(shared), engine(std::move(engine)) {}

    ~Loop() {
        for (Relay* relay : relays) {
            // What the library answered is sent if the client takes it now.
            if (!relay->toClient.empty() && !relay->clientGone) sendToClient(*relay);
            close(relay);
        }
        for (int arrival : arrivals) ::close(arrival);
        if (arrivalsSignal >= 0) ::close(arrivalsSignal);
        if (epoll >= 0) ::close(epoll);
    }

    bool open(bool accepting) {
        epoll = ::epoll_create1(EPOLL_CLOEXEC);
        arrivalsSignal = ::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
        if (epoll < 0 || arrivalsSignal < 0) return false;
        if (accepting) shared.acceptingEpoll = epoll;
        for (int* watched :
             {accepting ? &shared.listener : nullptr, &shared.stop, &arrivalsSignal, &engine.signal}) {
            if (!watched) continue;
            epoll_event event{};
            event.events = EPOLLIN;
            event.data.ptr = watched;
            if (::epoll_ctl(epoll, EPOLL_CTL_ADD, *watched, &event) != 0) return false;
        }
        return true;
    }

    // An end is watched for room to write only once a write found none
    // (a TLS client's from the start: its handshake writes as it reads):
    // the room every answer's acknowledgement makes would wake the loop
    // for nothing.
    void watch(Relay::End& end, bool forRoom, int operation = EPOLL_CTL_ADD) {
        epoll_event event{};
        event.events = EPOLLIN | EPOLLRDHUP | EPOLLET | (forRoom ? EPOLLOUT : 0u);
        event.data.ptr = &end;
        ::epoll_ctl(epoll, operation, end.socket, &event);
        end.watchedForRoom = forRoom;
    }

    void noRoom(Relay::End& end) {
        end.writable = false;
        if (!end.watchedForRoom) watch(end, true, EPOLL_CTL_MOD);
    }

    // A TLS session for a new client, or false. The session reads the end
    // of the client's stream as "nothing yet": a session that saw it would
    // count it a failure and send nothing more, and a client that only shut
    // its sending side is still owed its answers.
    bool beginTLS(Relay& relay) {
        if (gnutls_init(&relay.tls, GNUTLS_SERVER | GNUTLS_NONBLOCK) != 0) return false;
        gnutls_transport_set_ptr(relay.tls, &relay);
        gnutls_transport_set_pull_function(relay.tls, [](gnutls_transport_ptr_t transport, void* data, std::size_t size) {
            auto& reading = *static_cast<Relay*>(transport);
            const ssize_t got = ::recv(reading.client.socket, data, size, 0);
            if (got == 0) reading.clientStreamEnded = true;
            if (got <= 0) gnutls_transport_set_errno(reading.tls, got == 0 ? EAGAIN : errno);
            return got == 0 ? ssize_t{-1} : got;
        });
        gnutls_transport_set_push_function(relay.tls, [](gnutls_transport_ptr_t transport, const void* data,
                                                         std::size_t size) {
            auto& writing = *static_cast<Relay*>(transport);
            const ssize_t sent = ::send(writing.client.socket, data, size, MSG_NOSIGNAL);
            if (sent < 0) gnutls_transport_set_errno(writing.tls, errno);
            return sent;
        });
        return gnutls_set_default_priority(relay.tls) == 0 &&
               gnutls_credentials_set(relay.tls, GNUTLS_CRD_CERTIFICATE, shared.identity) == 0;
    }

    // Takes every client waiting at the listener (the first loop only).
    void acceptAll(std::vector<std::unique_ptr<Loop>>& loops) {
        for (;;) {
            const int arrival = ::accept4(shared.listener, nullptr, nullptr, SOCK_NONBLOCK | SOCK_CLOEXEC);
            if (arrival < 0) {
                if (errno == EINTR || errno == ECONNABORTED) continue;
                // With no descriptor left the clients wait in the listener's
                // queue until a connection ends.
                if (errno == EMFILE || errno == ENFILE) {
                    shared.listenerPaused = true;
                    shared.watchListener(false);
                }
                return;
            }
            if (shared.clients >= shared.bounds.mostClients) {
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
        int pair[2];
        if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0, pair) != 0) {
            ::close(socket);
            left();
            return;
        }
        auto* relay = new Relay(socket, pair[0]);
        if ((shared.identity && !beginTLS(*relay)) ||
            !engine.admit(pair[1])) {
            close(relay);  // the library closes its end
            left();
            return;
        }
        relays.insert(relay);
        watch(relay->client, relay->tls != nullptr);
        watch(relay->library, false);
    }

    static ssize_t tlsResult(ssize_t result) {
        if (result >= 0) return result;
        return result == GNUTLS_E_AGAIN || result == GNUTLS_E_INTERRUPTED ? kNothingYet : kFailed;
    }

    // Over TLS, nothing moves before the handshake is done.
    static ssize_t receiveFromClient(Relay& relay, char* buffer, std::size_t size) {
        if (!relay.tls) {
            const ssize_t got = ::recv(relay.client.socket, buffer, size, 0);
            return got >= 0 ? got : (errno == EAGAIN || errno == EINTR ? kNothingYet : kFailed);
        }
        ssize_t got = 0;
        if (!relay.handshaken) {
            got = tlsResult(gnutls_handshake(relay.tls));
            relay.handshaken = got == 0;
            relay.client.writable |= relay.handshaken;
        }
        if (relay.handshaken) got = tlsResult(gnutls_record_recv(relay.tls, buffer, size));
        // The stream's end, once the session has taken every record before it.
        return got == kNothingYet && relay.clientStreamEnded ? 0 : got;
    }

    static ssize_t sendToClient(Relay& relay) {
        if (!relay.tls) {
            const ssize_t sent = ::send(relay.client.socket, relay.toClient.data(), relay.toClient.size(), MSG_NOSIGNAL);
            return sent >= 0 ? sent : (errno == EAGAIN || errno == EINTR ? kNothingYet : kFailed);
        }
        if (!relay.handshaken) return kNothingYet;
        // A record the session could not send whole goes on where it stopped.
        const bool pending = relay.tlsSendPending > 0;
        const std::size_t size = std::min<std::size_t>(relay.toClient.size(), 16 * 1024);
        const ssize_t sent = tlsResult(pending ? gnutls_record_send(relay.tls, nullptr, 0)
                                               : gnutls_record_send(relay.tls, relay.toClient.data(), size));
        if (sent == kNothingYet && !pending) relay.tlsSendPending = size;
        if (sent >= 0) relay.tlsSendPending = 0;
        return sent;
    }

    // Moves what can move until nothing more does; false once the relay
    // has ended. `fed` when the library was given bytes or its stream's end.
    bool pump(Relay& relay, bool& fed) {
        char buffer[16 * 1024];
        for (bool moved = true; moved;) {
            moved = false;
            if (relay.client.readable && !relay.clientDone && !relay.refused && relay.toLibrary.size() < kWaitingBytes) {
                const ssize_t got = receiveFromClient(relay, buffer, sizeof buffer);
                if (got > 0) {
                    relay.refused = !relay.framing.take({buffer, static_cast<std::size_t>(got)}, relay.toLibrary);
                    // A TLS session may hold more records.
                    if (!relay.tls) relay.client.tookAll(static_cast<std::size_t>(got), sizeof buffer);
                    moved = true;
                } else if (got == kNothingYet) {
                    relay.client.readable = false;
                } else {
                    // A client that only shut its sending side still reads
                    // its answers: the library is not told the end, so it
                    // sends them (a held request stays held). A client
                    // that has gone is let go, and its held requests end.
                    if (got == kFailed || !clientStillOpen(relay.client.socket)) return false;
                    relay.clientDone = moved = true;
                }
            }
            if (!relay.toLibrary.empty() && !relay.libraryDone && relay.library.writable) {
                const ssize_t sent =
                    ::send(relay.library.socket, relay.toLibrary.data(), relay.toLibrary.size(), MSG_NOSIGNAL);
                if (sent > 0) {
                    if (static_cast<std::size_t>(sent) < relay.toLibrary.size()) noRoom(relay.library);
                    relay.toLibrary.erase(0, static_cast<std::size_t>(sent));
                    moved = fed = true;
                } else if (errno == EAGAIN || errno == EINTR) {
                    noRoom(relay.library);
                } else {
                    relay.toLibrary.clear();
                }
            }
            // The library reads no more after a refused head (it finishes
            // what came before it).
            if (relay.refused && relay.toLibrary.empty() && !relay.libraryToldEnd) {
                ::shutdown(relay.library.socket, SHUT_WR);
                relay.libraryToldEnd = moved = fed = true;
            }
            if (!relay.libraryDone && relay.library.readable && relay.toClient.size() < kWaitingBytes) {
                const ssize_t got = ::recv(relay.library.socket, buffer, sizeof buffer, 0);
                const bool waitingBefore = !relay.toClient.empty();
                if (got > 0) {
                    relay.toClient.append(buffer, static_cast<std::size_t>(got));
                    relay.library.tookAll(static_cast<std::size_t>(got), sizeof buffer);
                    moved = true;
                } else if (got < 0 && (errno == EAGAIN || errno == EINTR)) {
                    relay.library.readable = false;
                } else {
                    relay.libraryDone = moved = true;
                    if (relay.refused) relay.toClient += shared.refusal();
                }
                if (!waitingBefore && !relay.toClient.empty()) relay.waitingSince = Clock::now();
            }
            if (!relay.toClient.empty() && relay.client.writable) {
                const ssize_t sent = sendToClient(relay);
                if (sent > 0) {
                    if (!relay.tls && static_cast<std::size_t>(sent) < relay.toClient.size()) noRoom(relay.client);
                    relay.toClient.erase(0, static_cast<std::size_t>(sent));
                    relay.waitingSince = Clock::now();
                    moved = true;
                } else if (sent == kNothingYet) {
                    noRoom(relay.client);
                } else {
                    return false;  // the client has gone
                }
            }
        }
        if ((!relay.toClient.empty() || unread(relay)) && !sweeping) {
            sweeping = true;
            nextSweep = Clock::now() + kSweepEvery;
        }
        return !(relay.libraryDone && relay.toClient.empty());
    }

    // A client no longer read: its head was refused, or what it sent waits
    // for the library.
    static bool unread(const Relay& relay) {
        return !relay.clientDone && (relay.refused || relay.toLibrary.size() >= kWaitingBytes);
    }

    // Cuts the clients that took nothing of their answers for the bound,
    // and lets go of those not read that have gone: their stream's end
    // waits behind what they sent, and may never come.
    void sweep() {
        const auto now = Clock::now();
        const auto bound = std::chrono::duration_cast<Clock::duration>(std::chrono::duration<double>(shared.bounds.replySeconds));
        sweeping = false;
        for (auto it = relays.begin(); it != relays.end();) {
            Relay* relay = *it++;
            const bool waiting = !relay->toClient.empty(), notRead = unread(*relay);
            if ((waiting && now - relay->waitingSince >= bound) || (notRead && !clientStillOpen(relay->client.socket))) {
                relay->clientGone = true;
                end(relay);
            } else {
                sweeping |= waiting || notRead;
            }
        }
        nextSweep = now + kSweepEvery;
    }

    void close(Relay* relay) {
        if (relay->tls) {
            // The session's end, if the client takes it at once.
            if (relay->handshaken && !relay->clientGone) gnutls_bye(relay->tls, GNUTLS_SHUT_WR);
            gnutls_deinit(relay->tls);
        }
        ::close(relay->client.socket);
        ::close(relay->library.socket);
        delete relay;
    }

    // A client's place is free again.
    void left() {
        --shared.clients;
        if (shared.listenerPaused.exchange(false)) shared.watchListener(true);
    }

    void end(Relay* relay) {
        relays.erase(relay);
        close(relay);
        left();
    }

    // Milliseconds to wait for events: until the engine must run (-1:
    // no time of its own), or the next sweep when an answer waits.
    int waitMilliseconds(int engineWait) const {
        if (!sweeping) return engineWait;
        const auto toSweep = std::chrono::ceil<std::chrono::milliseconds>(nextSweep - Clock::now()).count();
        const int sweepWait = static_cast<int>(std::max<long long>(0, toSweep));
        return engineWait < 0 ? sweepWait : std::min(engineWait, sweepWait);
    }

    void run(std::vector<std::unique_ptr<Loop>>& loops) {
        epoll_event events[64];
        std::vector<Relay*> touched, fed;
        for (;;) {
            const int engineWait = engine.wait();
            const auto engineDue = Clock::now() + std::chrono::milliseconds(engineWait);
            const int count = ::epoll_wait(epoll, events, 64, waitMilliseconds(engineWait));
            if (count < 0 && errno != EINTR) return;
            // Every change the engine must see comes through this loop:
            // bytes it was given or taken from it, a relay's end, its own
            // signal, or the time it gave passing.
            bool runEngine = engineWait >= 0 && Clock::now() >= engineDue;
            touched.clear();
            fed.clear();
            for (int i = 0; i < count; ++i) {
                void* tag = events[i].data.ptr;
                if (tag == &shared.stop) return;
                if (tag == &shared.listener) acceptAll(loops);
                else if (tag == &arrivalsSignal) adoptArrivals();
                else if (tag == &engine.signal) {
                    std::uint64_t signals = 0;
                    [[maybe_unused]] ssize_t read = ::read(engine.signal, &signals, sizeof signals);
                    runEngine = true;
                } else {
                    auto& end = *static_cast<Relay::End*>(tag);
                    const std::uint32_t flags = events[i].events;
                    Relay* relay = end.relay;
                    // Before its handshake a TLS session reads and writes
                    // in turn: any event may let it go on.
                    end.readable |= (flags & (EPOLLIN | EPOLLRDHUP | EPOLLHUP | EPOLLERR)) != 0 ||
                                    (relay->tls && !relay->handshaken);
                    end.writable |= (flags & (EPOLLOUT | EPOLLHUP | EPOLLERR)) != 0;
                    end.hungUp |= (flags & (EPOLLRDHUP | EPOLLHUP | EPOLLERR)) != 0;
                    // Each relay once, though both its ends may have woken.
                    if (std::find(touched.begin(), touched.end(), relay) == touched.end()) touched.push_back(relay);
                }
            }
            for (Relay* relay : touched) {
                bool gaveBytes = false;
                if (!pump(*relay, gaveBytes)) end(relay);
                else if (gaveBytes) fed.push_back(relay);
            }
            if (runEngine || count > 0) engine.run();
            // The library answers most requests as it reads them: each
            // answer goes on to its client before the loop waits again.
            for (Relay* relay : fed) {
                bool gaveBytes = false;
                relay->library.readable = true;
                if (!pump(*relay, gaveBytes)) end(relay);
            }
            if (sweeping && Clock::now() >= nextSweep) sweep();
        }
    }

    static constexpr auto kSweepEvery = std::chrono::milliseconds(250);

    Shared& shared;
    Engine engine;
    int epoll = -1;
    int arrivalsSignal = -1;
    std::mutex arrivalsMutex;
    std::vector<int> arrivals;  // clients accepted for this loop by the first
    std::set<Relay*> relays;
    bool sweeping = false;  // some client has an answer waiting, or is not read
    Clock::time_point nextSweep;
    std::thread thread;
};

std::unique_ptr<FrontReader> FrontReader::start(int listener, Bounds bounds, std::vector<Engine> engines,
                                                Refusal refusal,
                                                const std::optional<HttpServer::Credentials>& credentials) {
    std::unique_ptr<FrontReader> reader(new FrontReader());
    reader->shared_ = std::make_unique<Shared>();
    Shared& shared = *reader->shared_;
    shared.listener = listener;
    shared.bounds = bounds;
    shared.refusal = std::move(refusal);
    if (credentials) {
        const gnutls_datum_t certificate = gnutlsDatum(credentials->certificatePEM),
                             key = gnutlsDatum(credentials->keyPEM);
        if (gnutls_certificate_allocate_credentials(&shared.identity) != 0 ||
            gnutls_certificate_set_x509_key_mem2(shared.identity, &certificate, &key, GNUTLS_X509_FMT_PEM, nullptr,
                                                 0) < 0)
            return nullptr;
    }
    shared.stop = ::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
    if (shared.stop < 0 || engines.empty()) return nullptr;
    for (Engine& engine : engines) {
        reader->loops_.push_back(std::make_unique<Loop>(shared, std::move(engine)));
        if (!reader->loops_.back()->open(reader->loops_.size() == 1)) return nullptr;
    }
    for (auto& loop : reader->loops_) {
        Loop* running = loop.get();
        auto* loops = &reader->loops_;
        loop->thread = std::thread([running, loops] { running->run(*loops); });
    }
    return reader;
}

FrontReader::~FrontReader() {
    if (shared_ && shared_->stop >= 0) {
        const std::uint64_t one = 1;
        [[maybe_unused]] ssize_t written = ::write(shared_->stop, &one, sizeof one);
    }
    for (auto& loop : loops_)
        if (loop->thread.joinable()) loop->thread.join();
    loops_.clear();
}

}  // namespace backend
