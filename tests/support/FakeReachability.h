#pragma once

#include <optional>

#include "system/SCNetworkReachability.h"

// Fakes the network's reachability for the life of a test (or a scope of
// it), and gives it back to the machine's interfaces at the end, whatever
// the test's outcome: an assertion that ends a test early leaves no faked
// network to the tests after it.
class FakeReachability {
public:
    explicit FakeReachability(SCNetworkReachabilityFlags flags) { set(flags); }
    ~FakeReachability() { SCNetworkReachability::setFakeFlags(std::nullopt); }
    FakeReachability(const FakeReachability&) = delete;
    FakeReachability& operator=(const FakeReachability&) = delete;

    void set(SCNetworkReachabilityFlags flags) { SCNetworkReachability::setFakeFlags(flags); }
};
