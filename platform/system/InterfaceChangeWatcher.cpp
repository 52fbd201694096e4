#include "system/InterfaceChangeWatcher.h"

#include <linux/netlink.h>
#include <linux/rtnetlink.h>
#include <sys/socket.h>
#include <unistd.h>

#include <mutex>

#include "foundation/DispatchQueue.h"
#include "foundation/DispatchDescriptorSource.h"
#include "foundation/DispatchSource.h"

namespace {

struct Watch {
    std::mutex mutex;
    std::function<void()> onChange;
    Ref<DispatchSource> source;
};

Watch& watch() {
    static Watch shared;
    return shared;
}

int openRouteSocket() {
    const int fd = ::socket(AF_NETLINK, SOCK_RAW | SOCK_CLOEXEC | SOCK_NONBLOCK, NETLINK_ROUTE);
    if (fd < 0) return -1;
    sockaddr_nl address{};
    address.nl_family = AF_NETLINK;
    address.nl_groups = RTMGRP_LINK | RTMGRP_IPV4_IFADDR | RTMGRP_IPV6_IFADDR;
    if (::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) {
        ::close(fd);
        return -1;
    }
    return fd;
}

// Reads every pending message; a burst of them is one change.
void drainAndTell(int fd) {
    char buffer[8192];
    while (::recv(fd, buffer, sizeof buffer, 0) > 0) {
    }
    std::function<void()> onChange;
    {
        std::lock_guard lock(watch().mutex);
        onChange = watch().onChange;
    }
    if (onChange) onChange();
}

}  // namespace

void InterfaceChangeWatcher::start(std::function<void()> onChange) {
    Watch& state = watch();
    std::lock_guard lock(state.mutex);
    state.onChange = std::move(onChange);
    if (state.source) return;
    const int fd = openRouteSocket();
    if (fd < 0) return;
    state.source = DispatchSource::makeReadSource(fd, DispatchQueue::serial("InterfaceChangeWatcher"));
    state.source->setEventHandler([fd] { drainAndTell(fd); });
    state.source->resume();
}
