#include "system/SCNetworkReachability.h"

#include <arpa/inet.h>
#include <ifaddrs.h>
#include <net/if.h>
#include <netinet/in.h>
#include <strings.h>

#include <algorithm>
#include <cctype>
#include <vector>

#include "foundation/DispatchQueue.h"
#include "system/InterfaceChangeWatcher.h"

namespace {
constexpr SCNetworkReachabilityFlags loopbackFlags = kSCNetworkReachabilityFlagsReachable |
                                                      kSCNetworkReachabilityFlagsIsLocalAddress |
                                                      kSCNetworkReachabilityFlagsIsDirect;

// Process-wide: the fake state and the objects that report changes.
struct Registry {
    std::mutex mutex;
    std::optional<SCNetworkReachabilityFlags> fakeFlags;
    std::vector<WeakRef<SCNetworkReachability>> scheduled;
};
// Never destroyed: a reachability object kept by another static (a kit's
// shared watcher) unschedules itself when that static ends at exit, which may
// be after this one would have ended.
Registry& registry() {
    static Registry* const shared = new Registry;
    return *shared;
}

bool machineHasNetwork() {
    ifaddrs* interfaces = nullptr;
    if (::getifaddrs(&interfaces) != 0) return false;
    bool found = false;
    for (const ifaddrs* interface = interfaces; interface && !found; interface = interface->ifa_next) {
        const bool hasAddress = interface->ifa_addr &&
                                (interface->ifa_addr->sa_family == AF_INET || interface->ifa_addr->sa_family == AF_INET6);
        const unsigned flags = interface->ifa_flags;
        found = hasAddress && (flags & IFF_UP) && (flags & IFF_RUNNING) && !(flags & IFF_LOOPBACK);
    }
    ::freeifaddrs(interfaces);
    return found;
}

Ref<SCNetworkReachability> forIPv4(const in_addr& address) {
    const std::uint32_t host = ntohl(address.s_addr);
    return make<SCNetworkReachability>(host >> 24 == 127, host >> 16 == 0xA9FE);
}

Ref<SCNetworkReachability> forIPv6(const in6_addr& address) {
    return make<SCNetworkReachability>(IN6_IS_ADDR_LOOPBACK(&address), IN6_IS_ADDR_LINKLOCAL(&address));
}

// Labels of letters, digits, hyphens and underscores, 1 to 63 long, joined
// by dots; 253 characters at most, a trailing dot allowed.
bool isHostName(std::string_view name) {
    if (!name.empty() && name.back() == '.') name.remove_suffix(1);
    if (name.empty() || name.size() > 253) return false;
    std::size_t labelLength = 0;
    for (char c : name) {
        if (c == '.') {
            if (labelLength == 0) return false;
            labelLength = 0;
        } else if (std::isalnum(static_cast<unsigned char>(c)) || c == '-' || c == '_') {
            if (++labelLength > 63) return false;
        } else {
            return false;
        }
    }
    return labelLength > 0;
}

bool namesLoopback(std::string_view name) {
    if (!name.empty() && name.back() == '.') name.remove_suffix(1);
    constexpr std::string_view localhost = "localhost";
    if (name.size() < localhost.size()) return false;
    const std::string_view tail = name.substr(name.size() - localhost.size());
    const bool endsWithLocalhost = ::strncasecmp(tail.data(), localhost.data(), localhost.size()) == 0;
    return endsWithLocalhost && (name.size() == localhost.size() || name[name.size() - localhost.size() - 1] == '.');
}
}  // namespace

Ref<SCNetworkReachability> SCNetworkReachability::createWithName(std::string_view hostName) {
    const std::string name(hostName);
    in_addr ipv4{};
    if (::inet_pton(AF_INET, name.c_str(), &ipv4) == 1) return forIPv4(ipv4);
    in6_addr ipv6{};
    if (::inet_pton(AF_INET6, name.c_str(), &ipv6) == 1) return forIPv6(ipv6);
    if (!isHostName(hostName)) return nullptr;
    return make<SCNetworkReachability>(namesLoopback(hostName), false);
}

Ref<SCNetworkReachability> SCNetworkReachability::createWithAddress(const sockaddr* address) {
    if (!address) return nullptr;
    if (address->sa_family == AF_INET) return forIPv4(reinterpret_cast<const sockaddr_in*>(address)->sin_addr);
    if (address->sa_family == AF_INET6) return forIPv6(reinterpret_cast<const sockaddr_in6*>(address)->sin6_addr);
    return nullptr;
}

SCNetworkReachabilityFlags SCNetworkReachability::flags() const {
    {
        std::lock_guard lock(registry().mutex);
        if (registry().fakeFlags) return *registry().fakeFlags;
    }
    if (loopback_) return loopbackFlags;
    if (!machineHasNetwork()) return 0;
    return kSCNetworkReachabilityFlagsReachable | (linkLocal_ ? kSCNetworkReachabilityFlagsIsDirect : 0);
}

bool SCNetworkReachability::setCallback(Callback callback) {
    std::lock_guard lock(mutex_);
    callback_ = std::move(callback);
    return true;
}

bool SCNetworkReachability::scheduleWithRunLoop(const Ref<NSRunLoop>& runLoop, NSRunLoopMode) {
    if (!runLoop) return false;
    setDeliverer(runLoop.get(), [runLoop](std::function<void()> block) { runLoop->performBlock(std::move(block)); });
    return true;
}

bool SCNetworkReachability::unscheduleFromRunLoop(const Ref<NSRunLoop>& runLoop, NSRunLoopMode) {
    {
        std::lock_guard lock(mutex_);
        if (!runLoop || scheduledOn_ != runLoop.get()) return false;
    }
    setDeliverer(nullptr, nullptr);
    return true;
}

bool SCNetworkReachability::setDispatchQueue(const Ref<DispatchQueue>& queue) {
    if (!queue) {
        setDeliverer(nullptr, nullptr);
    } else {
        setDeliverer(queue.get(), [queue](std::function<void()> block) { queue->async(std::move(block)); });
    }
    return true;
}

void SCNetworkReachability::setDeliverer(const void* target, Deliverer deliverer) {
    const bool delivering = static_cast<bool>(deliverer);
    const auto current = delivering ? std::optional(flags()) : std::nullopt;
    {
        std::lock_guard lock(mutex_);
        deliverer_ = std::move(deliverer);
        scheduledOn_ = target;
        lastReported_ = current;
    }
    std::lock_guard lock(registry().mutex);
    auto& scheduled = registry().scheduled;
    std::erase_if(scheduled, [this](const WeakRef<SCNetworkReachability>& entry) {
        auto object = entry.lock();
        return !object || object.get() == this;
    });
    if (delivering) {
        scheduled.push_back(self<SCNetworkReachability>());
        // Scheduled objects follow the machine's interfaces from now on.
        InterfaceChangeWatcher::start(&SCNetworkReachability::reportToScheduled);
    }
}

void SCNetworkReachability::setFakeFlags(std::optional<SCNetworkReachabilityFlags> flags) {
    {
        std::lock_guard lock(registry().mutex);
        registry().fakeFlags = flags;
    }
    reportToScheduled();
}

void SCNetworkReachability::reportToScheduled() {
    std::vector<Ref<SCNetworkReachability>> scheduled;
    {
        std::lock_guard lock(registry().mutex);
        for (const auto& entry : registry().scheduled) {
            if (auto object = entry.lock()) scheduled.push_back(std::move(object));
        }
    }
    for (const auto& object : scheduled) object->reportIfChanged();
}

void SCNetworkReachability::reportIfChanged() {
    const SCNetworkReachabilityFlags current = flags();
    Deliverer deliverer;
    {
        std::lock_guard lock(mutex_);
        if (!deliverer_ || lastReported_ == current) return;
        lastReported_ = current;
        deliverer = deliverer_;
    }
    deliverer([object = self<SCNetworkReachability>(), current] {
        Callback callback;
        {
            std::lock_guard lock(object->mutex_);
            callback = object->callback_;
        }
        if (callback) callback(object, current);
    });
}
