#include "kits/analytics/UTA/UTA_V1/public/TA-SDK-NAMESPACE/RPOUTAConfig.h"

#include "foundation/DispatchOnce.h"

RPOUTAConfig::RPOUTAConfig() { channel_ = "appstore"; }

Ref<RPOUTAConfig> RPOUTAConfig::getInstance() {
    static DispatchOnce once;
    static Ref<RPOUTAConfig> shared;
    once.perform([] { shared = make<RPOUTAConfig>(); });
    return shared;
}

std::string RPOUTAConfig::getCustomProperty(const std::string&, const std::string& defaultValue) const {
    return defaultValue;
}
