#include "kits/analytics/UTA/UTA_V1/public/TA-SDK-NAMESPACE/RPOUTABaseFunction.h"

#include "kits/analytics/UTA/UTA_V1/public/TA-SDK-NAMESPACE/RPOUTAHelper.h"
#include "kits/analytics/UTA/UTA_V1/public/TA-SDK-NAMESPACE/RPOUTAStore.h"

std::string RPOUTABaseFunction::objToJson(const Value& object) { return RPOUTAHelper::getInstance()->getJson(object); }

std::optional<std::string> RPOUTABaseFunction::md5encrypt(const std::optional<std::string>& text) {
    return RPOUTAHelper::md5encrypt(text);
}

Dictionary RPOUTABaseFunction::fetchSSIDInfo() { return RPOUTAHelper::getInstance()->fetchSSIDInfo(); }

std::string RPOUTABaseFunction::getUTAStorePath() { return RPOUTAStore::getUTAStorePath(); }
