#pragma once

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <string>

#include "tests/support/Eventually.h"

// A client socket connected to the loopback port, or -1. `queueBytes`, when
// given, sets its receive and send queues before it connects, so the window
// it offers is small from the start and its sends stall as soon as the peer
// stops reading.
inline int connectToLoopback(int port, int queueBytes = 0) {
    const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (queueBytes > 0) {
        ::setsockopt(fd, SOL_SOCKET, SO_RCVBUF, &queueBytes, sizeof queueBytes);
        ::setsockopt(fd, SOL_SOCKET, SO_SNDBUF, &queueBytes, sizeof queueBytes);
    }
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(static_cast<std::uint16_t>(port));
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) {
        ::close(fd);
        return -1;
    }
    return fd;
}

// Sends `request` with `client` over and over, reading nothing, until a
// send cannot go whole within 100 ms: the server no longer reads it.
template <class Client>
void sendUntilStalled(Client& client, const std::string& request) {
    const timeval wait{0, 100'000};
    ::setsockopt(client.socket(), SOL_SOCKET, SO_SNDTIMEO, &wait, sizeof wait);
    while (client.send(request)) {
    }
}

// Whether the server ends the connection within `wait`, what it sent unread.
inline bool hungUpWithin(int socket, std::chrono::milliseconds wait) {
    pollfd watch{socket, POLLRDHUP, 0};
    return ::poll(&watch, 1, static_cast<int>(wait.count())) == 1;
}

// Sends `request` as sendUntilStalled does until the server ends the
// connection: a busy server may be slow to read, and an end stuck behind
// answers never taken shows only at the client's next bytes (a reset).
template <class Client>
bool sentUntilHungUp(Client& client, const std::string& request) {
    const auto giveUp = std::chrono::steady_clock::now() + kGiveUpAfter;
    do sendUntilStalled(client, request);
    while (!hungUpWithin(client.socket(), std::chrono::milliseconds(100)) && std::chrono::steady_clock::now() < giveUp);
    return hungUpWithin(client.socket(), std::chrono::milliseconds(0));
}

// A raw client socket on the loopback, for requests no HTTP library sends.
class RawClient {
public:
    explicit RawClient(int port, int queueBytes = 0)
        : socket_(connectToLoopback(port, queueBytes)), connected_(socket_ >= 0) {}
    ~RawClient() {
        if (socket_ >= 0) ::close(socket_);
    }
    bool connected() const { return connected_; }
    int socket() const { return socket_; }
    bool send(const std::string& bytes) {
        return ::send(socket_, bytes.data(), bytes.size(), MSG_NOSIGNAL) == static_cast<ssize_t>(bytes.size());
    }
    // Everything the server sends until it closes or `wait` passes (by
    // default the bound that ends a broken test), or,
    // when `enough` is given, until what came holds it (an answer on a
    // connection kept open).
    std::string receive(std::chrono::milliseconds wait = kGiveUpAfter, const std::string& enough = "") {
        std::string got;
        const auto deadline = std::chrono::steady_clock::now() + wait;
        while (enough.empty() || got.find(enough) == std::string::npos) {
            auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
            pollfd watch{socket_, POLLIN, 0};
            if (left.count() <= 0 || ::poll(&watch, 1, static_cast<int>(left.count())) <= 0) return got;
            char chunk[4096];
            ssize_t read = ::recv(socket_, chunk, sizeof chunk, 0);
            if (read <= 0) {
                closedByServer_ = true;
                return got;
            }
            got.append(chunk, static_cast<std::size_t>(read));
        }
        return got;
    }
    bool closedByServer() const { return closedByServer_; }
    void close() {
        if (socket_ >= 0) ::close(socket_);
        socket_ = -1;
    }
    // Ends the sending side only; the answer can still be read.
    void shutdownSending() { ::shutdown(socket_, SHUT_WR); }

private:
    int socket_;
    bool connected_;
    bool closedByServer_ = false;
};
