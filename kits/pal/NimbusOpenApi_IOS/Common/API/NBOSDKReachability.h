#pragma once

#include <netinet/in.h>

#include <string>

#include "system/SCNetworkReachability.h"

// 0 not reachable, 1 through the mobile network, 2 through Wi-Fi.
enum NBOSDKNetworkStatus : int { NBOSDKNotReachable = 0, NBOSDKReachableViaWWAN = 1, NBOSDKReachableViaWiFi = 2 };

// The kit's reachability watch: one host, address, the internet or the
// local Wi-Fi, with change notifications on the main run loop
// ("NBOSDKPublicReachabilityChangedNotification" for the shared internet
// object behind networkStatus(), "NBOSDKReachabilityChangedNotification"
// for any other).
class NBOSDKReachability : public NSObject {
public:
    static constexpr const char* kPublicChangedNotification = "NBOSDKPublicReachabilityChangedNotification";
    static constexpr const char* kChangedNotification = "NBOSDKReachabilityChangedNotification";

    NBOSDKReachability(Ref<SCNetworkReachability> reference, std::string key)
        : reference_(std::move(reference)), key_(std::move(key)) {}
    ~NBOSDKReachability() override;

    // Null when the name is refused.
    static Ref<NBOSDKReachability> reachabilityWithHostName(const std::string& hostName);
    static Ref<NBOSDKReachability> reachabilityWithAddress(const sockaddr_in& address);
    static Ref<NBOSDKReachability> reachabilityForInternetConnection();
    static Ref<NBOSDKReachability> reachabilityForLocalWiFi();
    static std::string makeAddressKey(const in_addr& address);
    // The shared internet object's status: read on the first call (which
    // starts its watch), then as its last change left it.
    static int networkStatus();

    bool startNotifier();
    void stopNotifier();
    int currentReachabilityStatus() const;
    int networkStatusForFlags(SCNetworkReachabilityFlags flags) const;
    bool isReachable() const { return currentReachabilityStatus() != NBOSDKNotReachable; }
    bool isReachableViaWWAN() const { return currentReachabilityStatus() == NBOSDKReachableViaWWAN; }
    bool isReachableViaWiFi() const { return currentReachabilityStatus() == NBOSDKReachableViaWiFi; }
    bool connectionRequired() const;
    bool isConnectionOnDemand() const;
    bool isInterventionRequired() const;
    SCNetworkReachabilityFlags reachabilityFlags() const { return reference_ ? reference_->flags() : 0; }

    const std::string& key() const { return key_; }
    bool isEqual(const NSObject& other) const override;

private:
    void flagsChanged(SCNetworkReachabilityFlags flags);

    Ref<SCNetworkReachability> reference_;
    std::string key_;
};

// Whether an app handles the URL text: asked of the application, and of
// the share layer's probe.
bool NBOSDKCanOpenURLString(const std::string& url);
bool PalApiCanOpenURLString(const std::string& url);
