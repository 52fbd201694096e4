#include "kits/analytics/UTA/UTA_V1/public/TA-SDK-NAMESPACE/RPOUTAConfig.h"

#include "foundation/DispatchOnce.h"
#include "kits/analytics/UTA/UTA_V1/public/TA-SDK-NAMESPACE/RPOUTADataConfigHolder.h"

RPOUTAConfig::RPOUTAConfig() { channel_ = "appstore"; }

Ref<RPOUTAConfig> RPOUTAConfig::getInstance() {
    // Never destroyed: the library's queues may read it while the process exits.
    static DispatchOnce once;
    static Ref<RPOUTAConfig>* shared = nullptr;
    once.perform([] { shared = new Ref<RPOUTAConfig>(make<RPOUTAConfig>()); });
    return *shared;
}

std::string RPOUTAConfig::getCustomProperty(const std::string& key, const std::string& defaultValue) const {
    auto holder = RPOUTADataConfigHolder::getInstance();
    if (!holder) return defaultValue;
    const Value value = holder->getAppProperty(key);
    if (value.isNil()) return defaultValue;
    return value.stringValue().value_or(value.description());
}
