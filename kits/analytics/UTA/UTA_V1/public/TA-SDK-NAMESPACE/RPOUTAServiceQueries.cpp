// What plug-ins ask of the service once it has told them it started.
#include "foundation/NSBundle.h"
#include "kits/analytics/UTA/UTA_V1/public/TA-SDK-NAMESPACE/RPOUTA.h"
#include "kits/analytics/UTA/UTA_V1/public/TA-SDK-NAMESPACE/RPOUTAConfig.h"
#include "kits/analytics/UTA/UTA_V1/public/TA-SDK-NAMESPACE/RPOUTAHelper.h"
#include "kits/analytics/UTA/UTA_V1/public/TA-SDK-NAMESPACE/RPOUTASocket.h"
#include "kits/analytics/UTA/UTA_V1/public/TA-SDK-NAMESPACE/RPOUTAStableUDID.h"
#include "uikit/UIDevice.h"

RPOUTA::Text RPOUTA::getStableUDID() { return RPOUTAStableUDID::value(); }

RPOUTA::Text RPOUTA::getBundleID() {
    return NSBundle::mainBundle()->objectForInfoDictionaryKey("CFBundleIdentifier").stringValue();
}

RPOUTA::Text RPOUTA::getIDFV() {
    auto identifier = UIDevice::currentDevice()->identifierForVendor();
    return identifier ? Text(identifier->UUIDString()) : std::nullopt;
}

RPOUTA::Text RPOUTA::getUTAConfigIDFA() { return RPOUTAConfig::getInstance()->ifa(); }

std::string RPOUTA::getAppVersion() {
    if (auto version = RPOUTAConfig::getInstance()->customerAppVersion()) return *version;
    return RPOUTAHelper::getInstance()->getEnv()->app_version();
}

RPOUTA::Text RPOUTA::getAppKey() { return RPOUTAConfig::getInstance()->appkey(); }

std::string RPOUTA::getNetworkType() { return RPOUTAHelper::getInstance()->getNetworkType(); }

std::string RPOUTA::getUTAVersion() { return RPOUTAHelper::getInstance()->getEnv()->sdk_version(); }

std::optional<NSData> RPOUTA::getSendData(const NSData& data) { return RPOUTASocket::getInstance()->getSendData(data); }

std::optional<NSData> RPOUTA::filterBodyData(const NSData& body, const NSData& configData) {
    return RPOUTASocket::getInstance()->filterBodyData(body, configData);
}

bool RPOUTA::isEqualToMagic(const NSData& data) { return RPOUTASocket::getInstance()->isEqualToMagic(data); }
