#include "kits/analytics/UTA/UTA_V1/public/TA-SDK-NAMESPACE/RPOUTAPluginNotify.h"

#include <set>

#include "foundation/DispatchQueue.h"
#include "foundation/NSNotificationCenter.h"

namespace {

// The names already posted; read and changed only on the main queue.
std::set<std::string>& postedNames() {
    static std::set<std::string> names;
    return names;
}

}  // namespace

void RPOUTAPluginNotify::sendNotification(const std::string& name, const Ref<NSObject>& object) {
    DispatchQueue::main()->async([name, object] {
        if (!postedNames().insert(name).second) return;
        NSNotificationCenter::defaultCenter()->postNotificationName(name, object);
    });
}
