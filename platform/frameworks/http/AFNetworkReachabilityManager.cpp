#include "frameworks/http/AFNetworkReachabilityManager.h"

#include <netinet/in.h>

#include "foundation/DispatchQueue.h"
#include "system/SCNetworkReachability.h"

namespace {

AFNetworkReachabilityStatus statusForFlags(SCNetworkReachabilityFlags flags) {
    const bool reachable = flags & kSCNetworkReachabilityFlagsReachable;
    const bool needsConnection = flags & kSCNetworkReachabilityFlagsConnectionRequired;
    const bool automatic = flags & (kSCNetworkReachabilityFlagsConnectionOnDemand |
                                    kSCNetworkReachabilityFlagsConnectionOnTraffic);
    const bool needsUser = flags & kSCNetworkReachabilityFlagsInterventionRequired;
    if (!reachable || (needsConnection && !(automatic && !needsUser))) return AFNetworkReachabilityStatusNotReachable;
    if (flags & kSCNetworkReachabilityFlagsIsWWAN) return AFNetworkReachabilityStatusReachableViaWWAN;
    return AFNetworkReachabilityStatusReachableViaWiFi;
}

Ref<SCNetworkReachability> zeroAddressReachability() {
    sockaddr_in zero{};
    zero.sin_family = AF_INET;
    return SCNetworkReachability::createWithAddress(reinterpret_cast<const sockaddr*>(&zero));
}

}  // namespace

AFNetworkReachabilityManager::AFNetworkReachabilityManager(Ref<SCNetworkReachability> reachability)
    : reachability_(std::move(reachability)) {}

Ref<AFNetworkReachabilityManager> AFNetworkReachabilityManager::sharedManager() {
    static const Ref<AFNetworkReachabilityManager> shared = manager();
    return shared;
}

Ref<AFNetworkReachabilityManager> AFNetworkReachabilityManager::manager() {
    return make<AFNetworkReachabilityManager>(zeroAddressReachability());
}

void AFNetworkReachabilityManager::startMonitoring() {
    stopMonitoring();
    monitoring_ = true;
    WeakRef<AFNetworkReachabilityManager> weak = self<AFNetworkReachabilityManager>();
    reachability_->setCallback([weak](const Ref<SCNetworkReachability>&, SCNetworkReachabilityFlags flags) {
        if (auto manager = weak.lock()) manager->report(flags);
    });
    reachability_->setDispatchQueue(DispatchQueue::main());
    // The first report comes on the next turn of the main queue.
    DispatchQueue::main()->async([weak] {
        auto manager = weak.lock();
        if (manager && manager->monitoring_) manager->report(manager->reachability_->flags());
    });
}

void AFNetworkReachabilityManager::stopMonitoring() {
    if (!monitoring_) return;
    monitoring_ = false;
    reachability_->setDispatchQueue(nullptr);
    reachability_->setCallback({});
}

void AFNetworkReachabilityManager::report(unsigned flags) {
    status_ = statusForFlags(flags);
    if (block_) block_(status_);
}
