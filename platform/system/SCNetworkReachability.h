#pragma once

#include <sys/socket.h>

#include <cstdint>
#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>

#include "foundation/NSObject.h"
#include "foundation/NSRunLoop.h"

class DispatchQueue;

// Link-state bits, as the platform numbers them.
using SCNetworkReachabilityFlags = std::uint32_t;
inline constexpr SCNetworkReachabilityFlags kSCNetworkReachabilityFlagsTransientConnection = 1u << 0;
inline constexpr SCNetworkReachabilityFlags kSCNetworkReachabilityFlagsReachable = 1u << 1;
inline constexpr SCNetworkReachabilityFlags kSCNetworkReachabilityFlagsConnectionRequired = 1u << 2;
inline constexpr SCNetworkReachabilityFlags kSCNetworkReachabilityFlagsConnectionOnTraffic = 1u << 3;
inline constexpr SCNetworkReachabilityFlags kSCNetworkReachabilityFlagsInterventionRequired = 1u << 4;
inline constexpr SCNetworkReachabilityFlags kSCNetworkReachabilityFlagsConnectionOnDemand = 1u << 5;
inline constexpr SCNetworkReachabilityFlags kSCNetworkReachabilityFlagsIsLocalAddress = 1u << 16;
inline constexpr SCNetworkReachabilityFlags kSCNetworkReachabilityFlagsIsDirect = 1u << 17;
inline constexpr SCNetworkReachabilityFlags kSCNetworkReachabilityFlagsIsWWAN = 1u << 18;

// Whether a host or address could be reached, judged from this machine's
// network interfaces without sending anything:
// - loopback targets ("localhost", 127.0.0.0/8, ::1) are always reachable,
//   as a local, direct address;
// - any other target is reachable, like over Wi-Fi (never WWAN), while some
//   interface other than loopback is up with an address; link-local targets
//   (169.254.0.0/16) then count as direct; with no such interface, nothing
//   but loopback is reachable.
// Host names are not resolved. Scheduled objects follow changes of the real
// interfaces (InterfaceChangeWatcher) and tell their callbacks when their
// flags change; tests change the state with setFakeFlags(), which overrides
// it for every target and tells the same way.
class SCNetworkReachability : public NSObject {
public:
    using Callback = std::function<void(const Ref<SCNetworkReachability>&, SCNetworkReachabilityFlags)>;

    // Null for an empty or malformed host name.
    static Ref<SCNetworkReachability> createWithName(std::string_view hostName);
    // Null unless the address is IPv4 or IPv6.
    static Ref<SCNetworkReachability> createWithAddress(const sockaddr* address);

    // The current flags.
    SCNetworkReachabilityFlags flags() const;

    // The function told of changes; an empty one stops the telling.
    bool setCallback(Callback callback);
    // Delivers changes through `runLoop` (the mode is accepted: blocks posted
    // to a loop run in its common modes) or `queue`; one at a time, the later
    // call replaces the earlier.
    bool scheduleWithRunLoop(const Ref<NSRunLoop>& runLoop, NSRunLoopMode mode);
    // Stops delivery through the loop it was scheduled with.
    bool unscheduleFromRunLoop(const Ref<NSRunLoop>& runLoop, NSRunLoopMode mode);
    // A null queue stops delivery.
    bool setDispatchQueue(const Ref<DispatchQueue>& queue);

    // Overrides the flags of every target (nothing goes back to the machine's
    // interfaces) and tells scheduled objects whose flags change.
    static void setFakeFlags(std::optional<SCNetworkReachabilityFlags> flags);

    SCNetworkReachability(bool loopback, bool linkLocal) : loopback_(loopback), linkLocal_(linkLocal) {}

private:
    // Tells every scheduled object whose flags changed.
    static void reportToScheduled();
    using Deliverer = std::function<void(std::function<void()>)>;
    void setDeliverer(const void* target, Deliverer deliverer);
    // Compares the flags with those last reported and posts a change.
    void reportIfChanged();

    const bool loopback_;
    const bool linkLocal_;
    mutable std::mutex mutex_;  // guards the fields below
    Callback callback_;
    Deliverer deliverer_;
    const void* scheduledOn_ = nullptr;  // the run loop or queue delivering
    std::optional<SCNetworkReachabilityFlags> lastReported_;
};
