#include "kits/analytics/UTA/UTA_V1/public/TA-SDK-NAMESPACE/RPOUTAConfig.h"

#include "kits/analytics/UTA/UTA_V1/public/TA-SDK-NAMESPACE/RPOUTADataConfigHolder.h"
#include "kits/analytics/UTA/UTA_V1/public/TA-SDK-NAMESPACE/UTASharedInstance.h"

RPOUTAConfig::RPOUTAConfig() { channel_ = "appstore"; }

Ref<RPOUTAConfig> RPOUTAConfig::getInstance() { return UTASharedInstance<RPOUTAConfig>(); }

std::string RPOUTAConfig::getCustomProperty(const std::string& key, const std::string& defaultValue) const {
    auto holder = RPOUTADataConfigHolder::getInstance();
    if (!holder) return defaultValue;
    const Value value = holder->getAppProperty(key);
    if (value.isNil()) return defaultValue;
    return value.stringValue().value_or(value.description());
}
