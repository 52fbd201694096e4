#include "tests/kits/analytics/UTA/CountingProxy.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include "backend/AnalyticsFrame.h"
#include "tests/support/LoopbackListener.h"

namespace frame = backend::analytics_frame;

namespace {

bool writeAll(int fd, const char* bytes, std::size_t length) {
    while (length > 0) {
        const ssize_t written = ::send(fd, bytes, length, MSG_NOSIGNAL);
        if (written <= 0) return false;
        bytes += written;
        length -= static_cast<std::size_t>(written);
    }
    return true;
}

}  // namespace

CountingProxy::CountingProxy(int collectorPort) : collectorPort_(collectorPort) {
    listener_ = listenOnLoopback(8, port_);
    acceptThread_ = std::thread([this] {
        for (int client; (client = ::accept4(listener_, nullptr, nullptr, SOCK_CLOEXEC)) >= 0;) {
            std::lock_guard lock(mutex_);
            if (stopping_) {
                ::close(client);
                break;
            }
            open_.insert(client);
            connections_.emplace_back([this, client] { serve(client); });
        }
    });
}

CountingProxy::~CountingProxy() {
    {
        std::lock_guard lock(mutex_);
        stopping_ = true;
        for (int fd : open_) ::shutdown(fd, SHUT_RDWR);
    }
    ::shutdown(listener_, SHUT_RDWR);
    acceptThread_.join();
    ::close(listener_);
    for (auto& connection : connections_) connection.join();
}

void CountingProxy::serve(int client) {
    int collector = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    const sockaddr_in address = loopbackAddress(collectorPort_);
    bool up = ::connect(collector, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0;
    {
        std::lock_guard lock(mutex_);
        if (stopping_) up = false;
        if (up) open_.insert(collector);
    }
    std::string requests;
    char buffer[16384];
    while (up) {
        pollfd both[2] = {{client, POLLIN, 0}, {collector, POLLIN, 0}};
        if (::poll(both, 2, -1) < 0) break;
        bool open = true;
        for (int side = 0; side < 2 && open; ++side) {
            if (both[side].revents == 0) continue;
            const ssize_t got = ::recv(both[side].fd, buffer, sizeof buffer, 0);
            open = got > 0 && writeAll(both[1 - side].fd, buffer, static_cast<std::size_t>(got));
            if (open && side == 0) {
                requests.append(buffer, static_cast<std::size_t>(got));
                countFrames(requests);
            }
        }
        up = open;
    }
    std::lock_guard lock(mutex_);
    for (int fd : {client, collector}) {
        open_.erase(fd);
        ::close(fd);
    }
}

void CountingProxy::countFrames(std::string& stream) {
    while (stream.size() >= frame::kHeadLength) {
        const auto length = frame::requestLength(stream);
        if (!length) {
            stream.clear();  // not a request: nothing in it is counted
            return;
        }
        if (stream.size() < *length) return;
        const auto text = frame::requestText(std::string_view(stream).substr(0, *length));
        const auto events = text ? frame::requestEvents(*text) : std::nullopt;
        stream.erase(0, *length);
        if (!events) continue;
        std::lock_guard lock(mutex_);
        for (const auto& event : *events) ++sent_[event];
    }
}

std::map<std::string, int> CountingProxy::sent() {
    std::lock_guard lock(mutex_);
    return sent_;
}

std::vector<int> CountingProxy::timesSent(const std::vector<std::string>& texts) {
    std::lock_guard lock(mutex_);
    std::vector<int> times;
    for (const auto& text : texts) {
        const auto found = sent_.find(text);
        times.push_back(found == sent_.end() ? 0 : found->second);
    }
    return times;
}
