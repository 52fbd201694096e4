#include "kits/analytics/UTA/UTA_V1/public/TA-SDK-NAMESPACE/RPOUTAPlugins.h"

#include "kits/analytics/UTA/UTA_V1/public/TA-SDK-NAMESPACE/RPOUTAConfig.h"
#include "kits/analytics/UTA/UTA_V1/public/TA-SDK-NAMESPACE/RPOUTAEvents.h"
#include "kits/analytics/UTA/UTA_V1/public/TA-SDK-NAMESPACE/RPOUTAHelper.h"
#include "kits/analytics/UTA/UTA_V1/public/TA-SDK-NAMESPACE/RPOUTAService.h"
#include "kits/analytics/UTA/UTA_V1/public/TA-SDK-NAMESPACE/UTASharedInstance.h"

Ref<RPOUTAExtStoragePlugin> RPOUTAExtStoragePlugin::sharedInstance() {
    return UTASharedInstance<RPOUTAExtStoragePlugin>();
}

Ref<RPOUTASpeedTestPlugin> RPOUTASpeedTestPlugin::sharedInstance() {
    return UTASharedInstance<RPOUTASpeedTestPlugin>();
}

void RPOUTASpeedTestPlugin::setSpeedTestProtocol(const Ref<RPOUTASpeedTestProtocol>& delegate) {
    delegate_.set(delegate);
    const std::string target = RPOUTAHelper::getInstance()->speedTestStr();
    if (!target.empty() && delegate) delegate->startTest(target);
}

void RPOUTASpeedTestPlugin::reportSpeedEvent(const std::optional<std::string>& speed) {
    auto config = RPOUTAConfig::getInstance();
    auto event = make<RPOUTATestSpeedEvent>();
    event->sp = speed;
    event->op = config->op();
    event->cn = config->cn();
    UTASubmitEvent(event);
}
