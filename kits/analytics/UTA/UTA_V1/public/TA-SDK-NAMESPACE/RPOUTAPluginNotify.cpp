#include "kits/analytics/UTA/UTA_V1/public/TA-SDK-NAMESPACE/RPOUTAPluginNotify.h"

#include <mutex>
#include <set>

#include "foundation/DispatchQueue.h"
#include "foundation/NSNotificationCenter.h"
#include "kits/analytics/UTA/UTA_V1/public/TA-SDK-NAMESPACE/UTASharedInstance.h"

namespace {

// The names already posted: each is posted once in the process.
struct PostedNames {
    std::mutex lock;
    std::set<std::string> names;
};
PostedNames& postedNames() {
    static auto* shared = new PostedNames();
    return *shared;
}
[[maybe_unused]] const bool postedNamesForgotten = UTAOnReset([] {
    std::lock_guard lock(postedNames().lock);
    postedNames().names.clear();
});

}  // namespace

void RPOUTAPluginNotify::sendNotification(const std::string& name, const Ref<NSObject>& object) {
    DispatchQueue::main()->async([name, object] {
        {
            std::lock_guard lock(postedNames().lock);
            if (!postedNames().names.insert(name).second) return;
        }
        NSNotificationCenter::defaultCenter()->postNotificationName(name, object);
    });
}
