#pragma once

#include <functional>

#include "foundation/NSObject.h"
#include "foundation/StoredBlock.h"

class SCNetworkReachability;

enum AFNetworkReachabilityStatus : long {
    AFNetworkReachabilityStatusUnknown = -1,
    AFNetworkReachabilityStatusNotReachable = 0,
    AFNetworkReachabilityStatusReachableViaWWAN = 1,
    AFNetworkReachabilityStatusReachableViaWiFi = 2,
};

// Watches whether the network can be reached and tells a block on the main
// queue: once soon after monitoring starts, then on every change.
class AFNetworkReachabilityManager : public NSObject {
public:
    using StatusBlock = StoredBlock<void(AFNetworkReachabilityStatus)>;

    explicit AFNetworkReachabilityManager(Ref<SCNetworkReachability> reachability);

    // One shared manager watching the network as a whole (the zero address).
    static Ref<AFNetworkReachabilityManager> sharedManager();
    static Ref<AFNetworkReachabilityManager> manager();

    AFNetworkReachabilityStatus networkReachabilityStatus() const { return status_; }
    bool isReachable() const { return status_ > AFNetworkReachabilityStatusNotReachable; }
    void setReachabilityStatusChangeBlock(StatusBlock block) { block_ = std::move(block); }
    void startMonitoring();
    void stopMonitoring();

private:
    void report(unsigned flags);

    Ref<SCNetworkReachability> reachability_;
    AFNetworkReachabilityStatus status_ = AFNetworkReachabilityStatusUnknown;
    StatusBlock block_;
    bool monitoring_ = false;
};
