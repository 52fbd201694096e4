#pragma once

#include <netinet/in.h>

#include <string>

#include "foundation/NSObject.h"
#include "system/SCNetworkReachability.h"

// Posted on the default notification center, with the object, when the
// link state of a started reachability object changes.
extern const char* const kNetworkReachabilityChangedNotification;

enum RPOUTANetworkStatus : int { RPOUTANotReachable = 0, RPOUTAReachableViaWiFi = 1, RPOUTAReachableViaWWAN = 2 };

// Whether the device reaches a host or the internet, and over which kind of
// link: any link that is not the cellular one counts as Wi-Fi.
class RPOUTAReachability : public NSObject {
public:
    explicit RPOUTAReachability(Ref<SCNetworkReachability> target) : reachabilityRef_(std::move(target)) {}
    ~RPOUTAReachability() override;
    std::string className() const override { return "RPOUTAReachability"; }

    // Null when no target can be made.
    static Ref<RPOUTAReachability> reachabilityWithHostName(const std::string& hostName);
    static Ref<RPOUTAReachability> reachabilityWithAddress(const sockaddr_in& hostAddress);
    // The object for 0.0.0.0: the internet at large.
    static Ref<RPOUTAReachability> reachabilityForInternetConnection();

    // Tells of changes on the current thread's run loop.
    bool startNotifier();
    void stopNotifier();

    RPOUTANetworkStatus networkStatusForFlags(SCNetworkReachabilityFlags flags) const;
    bool connectionRequired() const;
    RPOUTANetworkStatus currentReachabilityStatus() const;

private:
    Ref<SCNetworkReachability> reachabilityRef_;
    Ref<NSRunLoop> scheduledOn_;
};
