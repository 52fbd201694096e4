#include "tests/support/MisbehavingServer.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <sys/socket.h>
#include <unistd.h>

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

void MisbehavingServer::serve() {
    for (;;) {
        pollfd watched[2] = {{listener_, POLLIN, 0}, {wakeup_, POLLIN, 0}};
        if (::poll(watched, 2, -1) < 0) continue;
        if (watched[1].revents != 0) return;
        if (watched[0].revents & POLLIN) {
            const int connection = ::accept4(listener_, nullptr, nullptr, SOCK_CLOEXEC);
            if (connection >= 0) {
                answer(connection);
                ::close(connection);
            }
        }
    }
}

void MisbehavingServer::answer(int connection) {
    std::string head;
    char buffer[4096];
    while (head.find("\r\n\r\n") == std::string::npos) {
        pollfd readable{connection, POLLIN, 0};
        if (::poll(&readable, 1, requestHeadTimeoutMilliseconds) <= 0) return;
        const ssize_t received = ::recv(connection, buffer, sizeof buffer, 0);
        if (received <= 0) return;
        head.append(buffer, static_cast<std::size_t>(received));
    }
    ++requestCount_;
    if (behaviour_ == Behaviour::AnswerGarbage) {
        static const char garbage[] = "\x16\x03\x01 this is not HTTP \xff\xfe\r\n\r\n";
        [[maybe_unused]] auto sent = ::send(connection, garbage, sizeof garbage - 1, MSG_NOSIGNAL);
    }
}
