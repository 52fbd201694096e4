#pragma once

#include <optional>
#include <string>

#include "foundation/NSError.h"

// A device identifier shared by the apps of one device: each keeps its copy
// in its settings ("StableUDID") and the first app to come writes it to the
// named pasteboard slot "org.StableUDID.slot.0", where later apps find it.
class RPOUTAStableUDID {
public:
    static std::optional<std::string> value();
    // The identifier; `error` (domain "org.StableUDID") tells how it was
    // found: 0 as expected, 1 opted out (forty zeros), 2 the copies disagree.
    static std::optional<std::string> valueWithError(Ref<NSError>* error);
    static void setOptOut(bool optOut);
    // Forgets the identifier found by an earlier call in this process.
    static void clearCachedValue();
};

// A fingerprint of the device, shaped like an upper-case UUID, made once per
// process from device facts.
class RPOUTATempID {
public:
    static std::string getUTATempID();
};
