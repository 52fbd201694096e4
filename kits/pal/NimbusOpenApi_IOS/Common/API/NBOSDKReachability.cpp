#include "kits/pal/NimbusOpenApi_IOS/Common/API/NBOSDKReachability.h"

#include <arpa/inet.h>

#include <cstdio>

#include "foundation/NSNotificationCenter.h"
#include "foundation/NSRunLoop.h"
#include "kits/pal/PalApi/PalOpenApiUtility.h"
#include "uikit/UIApplication.h"

namespace {

constexpr const char* kInternetKey = "NBOSDKInternetConnection";
constexpr const char* kLocalWiFiKey = "NBOSDKLocalWiFiConnection";

struct SharedInternet {
    Ref<NBOSDKReachability> object;
    int status = NBOSDKNotReachable;
};

SharedInternet& shared() {
    static SharedInternet internet;
    return internet;
}

Ref<NBOSDKReachability> forAddress(const sockaddr_in& address, std::string key) {
    auto reference = SCNetworkReachability::createWithAddress(reinterpret_cast<const sockaddr*>(&address));
    return reference ? make<NBOSDKReachability>(std::move(reference), std::move(key)) : nullptr;
}

sockaddr_in ipv4(const char* dotted) {
    sockaddr_in address{};
    address.sin_family = AF_INET;
    ::inet_pton(AF_INET, dotted, &address.sin_addr);
    return address;
}

}  // namespace

NBOSDKReachability::~NBOSDKReachability() {
    if (reference_) {
        reference_->setCallback(nullptr);
        reference_->unscheduleFromRunLoop(NSRunLoop::currentRunLoop(), NSDefaultRunLoopMode);
    }
}

Ref<NBOSDKReachability> NBOSDKReachability::reachabilityWithHostName(const std::string& hostName) {
    auto reference = SCNetworkReachability::createWithName(hostName);
    return reference ? make<NBOSDKReachability>(std::move(reference), hostName) : nullptr;
}

Ref<NBOSDKReachability> NBOSDKReachability::reachabilityWithAddress(const sockaddr_in& address) {
    return forAddress(address, makeAddressKey(address.sin_addr));
}

Ref<NBOSDKReachability> NBOSDKReachability::reachabilityForInternetConnection() {
    return forAddress(ipv4("0.0.0.0"), kInternetKey);
}

Ref<NBOSDKReachability> NBOSDKReachability::reachabilityForLocalWiFi() {
    return forAddress(ipv4("169.254.0.0"), kLocalWiFiKey);
}

std::string NBOSDKReachability::makeAddressKey(const in_addr& address) {
    const auto* bytes = reinterpret_cast<const unsigned char*>(&address.s_addr);
    char key[16];
    std::snprintf(key, sizeof key, "%d.%d.%d.%d", bytes[0], bytes[1], bytes[2], bytes[3]);
    return key;
}

int NBOSDKReachability::networkStatus() {
    SharedInternet& internet = shared();
    if (!internet.object) {
        internet.object = reachabilityForInternetConnection();
        internet.object->startNotifier();
        internet.status = internet.object->currentReachabilityStatus();
    }
    return internet.status;
}

bool NBOSDKReachability::startNotifier() {
    if (!reference_) return false;
    WeakRef<NBOSDKReachability> weak = self<NBOSDKReachability>();
    const bool callbackSet = reference_->setCallback([weak](const Ref<SCNetworkReachability>&, SCNetworkReachabilityFlags flags) {
        if (auto object = weak.lock()) object->flagsChanged(flags);
    });
    return callbackSet && reference_->scheduleWithRunLoop(NSRunLoop::currentRunLoop(), NSDefaultRunLoopMode);
}

void NBOSDKReachability::stopNotifier() {
    if (reference_) reference_->unscheduleFromRunLoop(NSRunLoop::currentRunLoop(), NSDefaultRunLoopMode);
}

void NBOSDKReachability::flagsChanged(SCNetworkReachabilityFlags flags) {
    auto object = self<NBOSDKReachability>();
    if (shared().object == object) {
        shared().status = networkStatusForFlags(flags);
        NSNotificationCenter::defaultCenter()->postNotificationName(kPublicChangedNotification, object);
    } else {
        NSNotificationCenter::defaultCenter()->postNotificationName(kChangedNotification, object);
    }
}

int NBOSDKReachability::networkStatusForFlags(SCNetworkReachabilityFlags flags) const {
    if (!(flags & kSCNetworkReachabilityFlagsReachable)) return NBOSDKNotReachable;
    if (key_ == kLocalWiFiKey)
        return flags & kSCNetworkReachabilityFlagsIsDirect ? NBOSDKReachableViaWiFi : NBOSDKNotReachable;
    if (flags & kSCNetworkReachabilityFlagsIsWWAN) return NBOSDKReachableViaWWAN;
    const SCNetworkReachabilityFlags rest =
        flags & ~(kSCNetworkReachabilityFlagsReachable | kSCNetworkReachabilityFlagsIsLocalAddress |
                  kSCNetworkReachabilityFlagsIsDirect);
    if (rest == (kSCNetworkReachabilityFlagsTransientConnection | kSCNetworkReachabilityFlagsConnectionRequired))
        return NBOSDKNotReachable;
    if ((flags & kSCNetworkReachabilityFlagsTransientConnection) || rest == 0) return NBOSDKReachableViaWiFi;
    return flags & kSCNetworkReachabilityFlagsConnectionRequired ? NBOSDKReachableViaWiFi : NBOSDKNotReachable;
}

int NBOSDKReachability::currentReachabilityStatus() const { return networkStatusForFlags(reachabilityFlags()); }

bool NBOSDKReachability::connectionRequired() const {
    return reachabilityFlags() & kSCNetworkReachabilityFlagsConnectionRequired;
}

bool NBOSDKReachability::isConnectionOnDemand() const {
    const SCNetworkReachabilityFlags flags = reachabilityFlags();
    return (flags & kSCNetworkReachabilityFlagsConnectionRequired) &&
           (flags & (kSCNetworkReachabilityFlagsConnectionOnTraffic | kSCNetworkReachabilityFlagsConnectionOnDemand));
}

bool NBOSDKReachability::isInterventionRequired() const {
    const SCNetworkReachabilityFlags flags = reachabilityFlags();
    return (flags & kSCNetworkReachabilityFlagsConnectionRequired) && (flags & kSCNetworkReachabilityFlagsInterventionRequired);
}

bool NBOSDKReachability::isEqual(const NSObject& other) const {
    const auto* reachability = dynamic_cast<const NBOSDKReachability*>(&other);
    return reachability && reachability->key_ == key_;
}

bool NBOSDKCanOpenURLString(const std::string& url) {
    auto address = NSURL::URLWithString(url);
    return address && UIApplication::sharedApplication()->canOpenURL(address);
}

bool PalApiCanOpenURLString(const std::string& url) { return PalOpenApiUtility::canOpenURL(NSURL::URLWithString(url)); }
