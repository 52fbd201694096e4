#include "tests/support/MisbehavingServer.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <stdexcept>

namespace {
// How long a connection may take to send its request head.
constexpr int requestHeadTimeoutMilliseconds = 2000;
}

MisbehavingServer::MisbehavingServer(Behaviour behaviour) : behaviour_(behaviour) {
    listener_ = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = 0;
    socklen_t length = sizeof address;
    if (listener_ < 0 || ::bind(listener_, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
        ::getsockname(listener_, reinterpret_cast<sockaddr*>(&address), &length) != 0) {
        if (listener_ >= 0) ::close(listener_);
        throw std::runtime_error("MisbehavingServer: cannot bind a loopback port");
    }
    port_ = ntohs(address.sin_port);
    if (behaviour_ == Behaviour::RefuseConnections) return;

    wakeup_ = ::eventfd(0, EFD_CLOEXEC);
    if (wakeup_ < 0 || ::listen(listener_, 16) != 0) {
        ::close(listener_);
        if (wakeup_ >= 0) ::close(wakeup_);
        throw std::runtime_error("MisbehavingServer: cannot listen");
    }
    thread_ = std::thread([this] { serve(); });
}

MisbehavingServer::~MisbehavingServer() {
    if (thread_.joinable()) {
        const std::uint64_t one = 1;
        [[maybe_unused]] auto written = ::write(wakeup_, &one, sizeof one);
        thread_.join();
    }
    if (wakeup_ >= 0) ::close(wakeup_);
    ::close(listener_);
}

std::string MisbehavingServer::url(std::string_view pathAndQuery) const {
    return "http://127.0.0.1:" + std::to_string(port_) + std::string(pathAndQuery);
}

std::vector<std::string> MisbehavingServer::requestLines() const {
    std::lock_guard lock(mutex_);
    return requestLines_;
}

void MisbehavingServer::serve() {
    std::vector<pollfd> watched;
    for (;;) {
        watched.assign({{listener_, POLLIN, 0}, {wakeup_, POLLIN, 0}});
        for (int connection : held_) watched.push_back({connection, POLLIN, 0});
        if (::poll(watched.data(), watched.size(), -1) < 0) continue;
        if (watched[1].revents != 0) break;
        // A held connection turns readable when its client closes it (or
        // sends more, which is read and dropped).
        for (std::size_t i = 2; i < watched.size(); ++i) {
            if (watched[i].revents == 0) continue;
            char buffer[512];
            const ssize_t received = ::recv(watched[i].fd, buffer, sizeof buffer, MSG_DONTWAIT);
            if (received > 0 || (received < 0 && (errno == EAGAIN || errno == EWOULDBLOCK))) continue;
            ::close(watched[i].fd);
            std::erase(held_, watched[i].fd);
            ++closedByClient_;
        }
        if (watched[0].revents & POLLIN) {
            const int connection = ::accept4(listener_, nullptr, nullptr, SOCK_CLOEXEC);
            if (connection < 0) continue;
            if (answer(connection)) ::close(connection);
            else held_.push_back(connection);
        }
    }
    for (int connection : held_) ::close(connection);
}

bool MisbehavingServer::readRequestHead(int connection) {
    std::string head;
    char buffer[4096];
    while (head.find("\r\n\r\n") == std::string::npos) {
        // The server's end stops the wait too.
        pollfd readable[2] = {{connection, POLLIN, 0}, {wakeup_, POLLIN, 0}};
        if (::poll(readable, 2, requestHeadTimeoutMilliseconds) <= 0 || readable[1].revents != 0) return false;
        const ssize_t received = ::recv(connection, buffer, sizeof buffer, 0);
        if (received <= 0) return false;
        head.append(buffer, static_cast<std::size_t>(received));
    }
    {
        std::lock_guard lock(mutex_);
        requestLines_.push_back(head.substr(0, head.find("\r\n")));
    }
    ++requestCount_;
    return true;
}

bool MisbehavingServer::answer(int connection) {
    if (!readRequestHead(connection)) return true;
    auto send = [this, connection](std::string_view bytes) {
        const ssize_t sent = ::send(connection, bytes.data(), bytes.size(), MSG_NOSIGNAL);
        if (sent > 0) bytesAnswered_ += static_cast<std::size_t>(sent);
        return sent == static_cast<ssize_t>(bytes.size());
    };
    switch (behaviour_) {
    case Behaviour::AnswerGarbage: send("\x16\x03\x01 this is not HTTP \xff\xfe\r\n\r\n"); break;
    case Behaviour::HoldWithoutAnswer: return false;
    case Behaviour::AnswerFirstThenCloseWithoutAnswer:
        send("HTTP/1.1 200 OK\r\nContent-Type: application/json\r\nContent-Length: 11\r\n\r\n{\"code\":1}\n");
        readRequestHead(connection);
        break;
    case Behaviour::AnswerInOneByteChunks: {
        std::string chunks;
        for (int i = 0; i < 1024; ++i) chunks.append("1\r\n\0\r\n", 6);
        bool open = send("HTTP/1.1 200 OK\r\nContent-Type: image/png\r\nTransfer-Encoding: chunked\r\n\r\n");
        for (std::size_t left = kOneByteChunksBody; open && left > 0; left -= 1024) open = send(chunks);
        if (open) send("0\r\n\r\n");
        break;
    }
    default: break;
    }
    return true;
}
