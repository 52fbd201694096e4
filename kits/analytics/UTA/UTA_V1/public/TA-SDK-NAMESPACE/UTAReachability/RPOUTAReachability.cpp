#include "kits/analytics/UTA/UTA_V1/public/TA-SDK-NAMESPACE/UTAReachability/RPOUTAReachability.h"

#include <cassert>

#include "foundation/NSNotificationCenter.h"

const char* const kNetworkReachabilityChangedNotification = "kNetworkReachabilityChangedNotification";

RPOUTAReachability::~RPOUTAReachability() {
    if (scheduledOn_) {
        reachabilityRef_->unscheduleFromRunLoop(scheduledOn_, NSDefaultRunLoopMode);
        reachabilityRef_->setCallback(nullptr);
    }
}

Ref<RPOUTAReachability> RPOUTAReachability::reachabilityWithHostName(const std::string& hostName) {
    auto target = SCNetworkReachability::createWithName(hostName);
    return target ? make<RPOUTAReachability>(target) : nullptr;
}

Ref<RPOUTAReachability> RPOUTAReachability::reachabilityWithAddress(const sockaddr_in& hostAddress) {
    auto target = SCNetworkReachability::createWithAddress(reinterpret_cast<const sockaddr*>(&hostAddress));
    return target ? make<RPOUTAReachability>(target) : nullptr;
}

Ref<RPOUTAReachability> RPOUTAReachability::reachabilityForInternetConnection() {
    sockaddr_in zeroAddress{};
    zeroAddress.sin_family = AF_INET;
    return reachabilityWithAddress(zeroAddress);
}

bool RPOUTAReachability::startNotifier() {
    auto weak = weakSelf<RPOUTAReachability>();
    const bool callbackSet = reachabilityRef_->setCallback([weak](const Ref<SCNetworkReachability>&,
                                                                  SCNetworkReachabilityFlags) {
        auto info = weak.lock();
        assert(info && "info was NULL in ReachabilityCallback");
        if (!info) return;
        NSNotificationCenter::defaultCenter()->postNotificationName(kNetworkReachabilityChangedNotification, info);
    });
    if (!callbackSet) return false;
    auto runLoop = NSRunLoop::currentRunLoop();
    if (!reachabilityRef_->scheduleWithRunLoop(runLoop, NSDefaultRunLoopMode)) return false;
    scheduledOn_ = runLoop;
    return true;
}

void RPOUTAReachability::stopNotifier() {
    if (!scheduledOn_) return;
    reachabilityRef_->unscheduleFromRunLoop(scheduledOn_, NSDefaultRunLoopMode);
    scheduledOn_.reset();
}

RPOUTANetworkStatus RPOUTAReachability::networkStatusForFlags(SCNetworkReachabilityFlags flags) const {
    if (!(flags & kSCNetworkReachabilityFlagsReachable)) return RPOUTANotReachable;
    if (flags & kSCNetworkReachabilityFlagsIsWWAN) return RPOUTAReachableViaWWAN;
    if (!(flags & kSCNetworkReachabilityFlagsConnectionRequired)) return RPOUTAReachableViaWiFi;
    if ((flags & (kSCNetworkReachabilityFlagsConnectionOnTraffic | kSCNetworkReachabilityFlagsConnectionOnDemand)) &&
        !(flags & kSCNetworkReachabilityFlagsInterventionRequired)) {
        return RPOUTAReachableViaWiFi;
    }
    return RPOUTANotReachable;
}

bool RPOUTAReachability::connectionRequired() const {
    assert(reachabilityRef_ && "connectionRequired called with NULL reachabilityRef");
    return reachabilityRef_->flags() & kSCNetworkReachabilityFlagsConnectionRequired;
}

RPOUTANetworkStatus RPOUTAReachability::currentReachabilityStatus() const {
    assert(reachabilityRef_ && "currentNetworkStatus called with NULL SCNetworkReachabilityRef");
    return networkStatusForFlags(reachabilityRef_->flags());
}
