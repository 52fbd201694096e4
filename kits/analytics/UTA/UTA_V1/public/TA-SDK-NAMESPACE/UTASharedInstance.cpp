#include "kits/analytics/UTA/UTA_V1/public/TA-SDK-NAMESPACE/UTASharedInstance.h"

#include <vector>

namespace {

struct ResetRegistry {
    std::mutex lock;
    std::vector<std::function<void()>> forgets;
};

// Never destroyed: registrations come from namespace-scope constants of other
// files, in any order of their start-up.
ResetRegistry& registry() {
    static auto* shared = new ResetRegistry();
    return *shared;
}

}  // namespace

bool UTAOnReset(std::function<void()> forget) {
    std::lock_guard lock(registry().lock);
    registry().forgets.push_back(std::move(forget));
    return true;
}

void UTAForgetProcessState() {
    std::vector<std::function<void()>> forgets;
    {
        std::lock_guard lock(registry().lock);
        forgets = registry().forgets;
    }
    for (const auto& forget : forgets) forget();
}
