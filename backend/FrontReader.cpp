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

// What may wait in one direction before its sender is no longer read.
constexpr std::size_t kWaitingBytes = 64 * 1024;
// A head longer than this is passed on unread: the library refuses heads
// far shorter (the server's limit).
constexpr std::size_t kLongestHead = 64 * 1024;

std::string_view trimmed(std::string_view text) {
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) text.remove_suffix(1);
    return text;
}

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

// Follows what a client sends, request by request: each head whole, then
// its body by its Content-Length.
class RequestFraming {
public:
    // Adds to `out` what may go on to the library; false, with nothing
    // more taken, at a head the library would answer itself.
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
            const std::size_t end = headEnd(before);
            if (end == std::string::npos) {
                if (head_.size() > kLongestHead) {
                    out += head_;
                    head_.clear();
                    part_ = Part::Rest;
                }
                return true;
            }
            bytes.remove_prefix(end - before);
            head_.resize(end);
            if (!readHead()) return false;
            out += head_;
            head_.clear();
        }
        return true;
    }

private:
    enum class Part { Head, Body, Rest };

    // Just past the first empty line (its line end alone or CR LF), or npos;
    // none ends before the last two bytes of the `searched` ones.
    std::size_t headEnd(std::size_t searched) const {
        const std::size_t from = searched > 2 ? searched - 2 : 0;
        for (std::size_t at = head_.find('\n', from); at != std::string::npos; at = head_.find('\n', at + 1)) {
            if (at + 1 < head_.size() && head_[at + 1] == '\n') return at + 2;
            if (at + 2 < head_.size() && head_[at + 1] == '\r' && head_[at + 2] == '\n') return at + 3;
        }
        return std::string::npos;
    }

    // Reads the lengths the head declares; false when one is unreadable or
    // a line is one the library would misread.
    // A head the server refuses on its own (two lengths, a body sent in
    // chunks) ends the connection there, so what follows is passed on as
    // it comes.
    bool readHead() {
        std::vector<std::string_view> lengths;
        bool chunked = false, continuesLength = false;
        std::string_view lines(head_);
        lines.remove_prefix(std::min(lines.find('\n'), lines.size()));  // the request line
        while (!lines.empty()) {
            lines.remove_prefix(1);
            std::string_view line = lines.substr(0, lines.find('\n'));
            lines.remove_prefix(line.size());
            if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
            if (line.empty()) break;
            // The library joins a folded line to the header before it.
            if (line.front() == ' ' || line.front() == '\t') {
                if (continuesLength) return false;
                continue;
            }
            // A line with no name, or a NUL: the library may take it for the
            // head's end and serve what follows as another request.
            if (line.front() == ':' || line.find('\0') != std::string_view::npos) return false;
            const std::string_view name = line.substr(0, line.find(':'));
            continuesLength = equalIgnoringCase(name, "Content-Length");
            if (continuesLength && name.size() < line.size()) lengths.push_back(trimmed(line.substr(name.size() + 1)));
            chunked |= equalIgnoringCase(name, "Transfer-Encoding");
        }
        // With a Transfer-Encoding the library reads no length.
        if (!chunked && std::any_of(lengths.begin(), lengths.end(), [](std::string_view value) {
                return !readableContentLength(value);
            }))
            return false;
        if (chunked || lengths.size() > 1) part_ = Part::Rest;
        else if (lengths.size() == 1 && (bodyLeft_ = std::stoull(std::string(lengths.front()))) > 0) part_ = Part::Body;
        return true;
    }

    Part part_ = Part::Head;
    std::string head_;
    std::uint64_t bodyLeft_ = 0;
};

}  // namespace

bool readableContentLength(std::string_view value) { return value.size() <= 12 && isDigits(value); }

// One client and the library's end of its connection.
struct Relay {
    struct End {
        Relay* relay;
        int socket;
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
    bool clientDone = false;   // its stream ended, or it is gone
    bool clientGone = false;   // it can be written to no more
    bool libraryDone = false;  // the library closed its end
    bool libraryToldEnd = false;
    bool refused = false;
};

// What a read from or a write to the client gave: bytes, its end, nothing
// yet, or a failure.
constexpr ssize_t kNothingYet = -1;
constexpr ssize_t kFailed = -2;

struct FrontReader::State {
    int listener = -1;
    int epoll = -1;
    int wake = -1;
    std::size_t mostClients = 0;
    Admit admit;
    Refusal refusal;
    gnutls_certificate_credentials_t identity = nullptr;  // over TLS
    bool listening = true;  // false while no descriptor is left for a new client
    std::set<Relay*> relays;
    std::thread thread;

    ~State() {
        for (Relay* relay : relays) {
            // What the library answered is sent if the client takes it now.
            if (!relay->toClient.empty() && !relay->clientGone) sendToClient(*relay);
            close(relay);
        }
        if (listener >= 0) ::close(listener);
        if (wake >= 0) ::close(wake);
        if (epoll >= 0) ::close(epoll);
        if (identity) gnutls_certificate_free_credentials(identity);
    }

    void watch(Relay::End& end) {
        epoll_event event{};
        event.events = EPOLLIN | EPOLLOUT | EPOLLRDHUP | EPOLLET;
        event.data.ptr = &end;
        ::epoll_ctl(epoll, EPOLL_CTL_ADD, end.socket, &event);
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
               gnutls_credentials_set(relay.tls, GNUTLS_CRD_CERTIFICATE, identity) == 0;
    }

    void acceptAll() {
        for (;;) {
            sockaddr_storage address{};
            socklen_t length = sizeof address;
            const int client =
                ::accept4(listener, reinterpret_cast<sockaddr*>(&address), &length, SOCK_NONBLOCK | SOCK_CLOEXEC);
            if (client < 0) {
                if (errno == EINTR || errno == ECONNABORTED) continue;
                // With no descriptor left the clients wait in the listener's
                // queue until a connection ends.
                if (errno == EMFILE || errno == ENFILE) listen(false);
                return;
            }
            int pair[2];
            if (relays.size() >= mostClients || ::socketpair(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0, pair) != 0) {
                ::close(client);
                continue;
            }
            auto* relay = new Relay(client, pair[0]);
            if ((identity && !beginTLS(*relay)) ||
                !admit(pair[1], reinterpret_cast<const sockaddr*>(&address), length)) {  // it closes its end
                close(relay);
                continue;
            }
            relays.insert(relay);
            watch(relay->client);
            watch(relay->library);
        }
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
    // has ended.
    bool pump(Relay& relay) {
        char buffer[16 * 1024];
        for (bool moved = true; moved;) {
            moved = false;
            if (!relay.clientDone && !relay.refused && relay.toLibrary.size() < kWaitingBytes) {
                const ssize_t got = receiveFromClient(relay, buffer, sizeof buffer);
                if (got > 0) {
                    relay.refused = !relay.framing.take({buffer, static_cast<std::size_t>(got)}, relay.toLibrary);
                    moved = true;
                } else if (got != kNothingYet) {
                    relay.clientDone = moved = true;
                    // A client that only shut its sending side still reads
                    // its answers: the library is not told the end, so it
                    // sends them (a held request stays held). A client
                    // that has gone is: its held requests end.
                    relay.clientGone = got == kFailed || !clientStillOpen(relay.client.socket);
                }
            }
            if (!relay.toLibrary.empty() && !relay.libraryDone) {
                const ssize_t sent =
                    ::send(relay.library.socket, relay.toLibrary.data(), relay.toLibrary.size(), MSG_NOSIGNAL);
                if (sent > 0) {
                    relay.toLibrary.erase(0, static_cast<std::size_t>(sent));
                    moved = true;
                } else if (errno != EAGAIN && errno != EINTR) {
                    relay.toLibrary.clear();
                }
            }
            // The library reads no more once the client has gone, or after
            // a refused head (it finishes what came before it).
            if ((relay.clientGone || relay.refused) && relay.toLibrary.empty() && !relay.libraryToldEnd) {
                ::shutdown(relay.library.socket, SHUT_WR);
                relay.libraryToldEnd = moved = true;
            }
            if (!relay.libraryDone && relay.toClient.size() < kWaitingBytes) {
                const ssize_t got = ::recv(relay.library.socket, buffer, sizeof buffer, 0);
                if (got > 0) {
                    relay.toClient.append(buffer, static_cast<std::size_t>(got));
                    moved = true;
                } else if (got == 0 || (errno != EAGAIN && errno != EINTR)) {
                    relay.libraryDone = moved = true;
                    if (relay.refused) relay.toClient += refusal();
                }
            }
            if (!relay.toClient.empty() && !relay.clientGone) {
                const ssize_t sent = sendToClient(relay);
                if (sent > 0) {
                    relay.toClient.erase(0, static_cast<std::size_t>(sent));
                    moved = true;
                } else if (sent == kFailed) {
                    relay.clientGone = moved = true;
                }
            }
            if (relay.clientGone) relay.toClient.clear();
        }
        return !(relay.libraryDone && relay.toClient.empty());
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

    void end(Relay* relay) {
        relays.erase(relay);
        close(relay);
        if (!listening) listen(true);
    }

    void listen(bool on) {
        epoll_event event{};
        event.events = on ? static_cast<std::uint32_t>(EPOLLIN) : 0u;
        event.data.ptr = &listener;
        ::epoll_ctl(epoll, EPOLL_CTL_MOD, listener, &event);
        listening = on;
    }

    void run() {
        epoll_event events[64];
        for (;;) {
            const int count = ::epoll_wait(epoll, events, 64, -1);
            if (count < 0 && errno != EINTR) return;
            // Each relay once, though both its ends may have woken.
            std::vector<Relay*> touched;
            for (int i = 0; i < count; ++i) {
                if (events[i].data.ptr == &listener) acceptAll();
                else if (events[i].data.ptr == &wake) return;
                else if (Relay* relay = static_cast<Relay::End*>(events[i].data.ptr)->relay;
                         std::find(touched.begin(), touched.end(), relay) == touched.end())
                    touched.push_back(relay);
            }
            for (Relay* relay : touched)
                if (!pump(*relay)) end(relay);
        }
    }
};

std::unique_ptr<FrontReader> FrontReader::start(int listener, std::size_t mostClients, Admit admit, Refusal refusal,
                                                const std::optional<HttpServer::Credentials>& credentials) {
    auto state = std::make_unique<State>();
    state->listener = listener;
    state->mostClients = mostClients;
    state->admit = std::move(admit);
    state->refusal = std::move(refusal);
    if (credentials) {
        const gnutls_datum_t certificate = gnutlsDatum(credentials->certificatePEM),
                             key = gnutlsDatum(credentials->keyPEM);
        if (gnutls_certificate_allocate_credentials(&state->identity) != 0 ||
            gnutls_certificate_set_x509_key_mem2(state->identity, &certificate, &key, GNUTLS_X509_FMT_PEM, nullptr,
                                                 0) < 0)
            return nullptr;
    }
    state->epoll = ::epoll_create1(EPOLL_CLOEXEC);
    state->wake = ::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
    if (state->epoll < 0 || state->wake < 0) return nullptr;
    for (int* watched : {&state->listener, &state->wake}) {
        epoll_event event{};
        event.events = EPOLLIN;
        event.data.ptr = watched;
        if (::epoll_ctl(state->epoll, EPOLL_CTL_ADD, *watched, &event) != 0) return nullptr;
    }
    State* running = state.get();
    state->thread = std::thread([running] { running->run(); });
    return std::unique_ptr<FrontReader>(new FrontReader(std::move(state)));
}

FrontReader::FrontReader(std::unique_ptr<State> state) : state_(std::move(state)) {}

FrontReader::~FrontReader() {
    const std::uint64_t one = 1;
    [[maybe_unused]] ssize_t written = ::write(state_->wake, &one, sizeof one);
    state_->thread.join();
}

}  // namespace backend
