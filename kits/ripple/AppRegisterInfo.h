#pragma once

#include <cstdint>
#include <string>

#include "foundation/NSCoder.h"
#include "foundation/NSObject.h"
#include "kits/ripple/RPProperty.h"

// Records of a registered app that the kit can keep in keyed archives (read
// them back after NSKeyedUnarchiver::registerClass of the class).

// An app's setting: its ids, a flag, and whether the user added it.
class AppSettingItem : public NSObject, public NSCoding {
public:
    void encodeWithCoder(NSCoder& coder) const override;
    bool initWithCoder(NSCoder& coder) override;

    RP_PROPERTY(RPText, appID, setAppID)
    RP_PROPERTY(RPText, openID, setOpenID)
    RP_PROPERTY(std::uint32_t, flag, setFlag)
    RP_PROPERTY(bool, appAddedByUser, setAppAddedByUser)
};

// An app's names and descriptions (Simplified Chinese, Traditional Chinese,
// English), its addresses and its update bookkeeping. `rankWeight` is not
// archived.
class AppRegisterInfo : public NSObject, public NSCoding {
public:
    void encodeWithCoder(NSCoder& coder) const override;
    bool initWithCoder(NSCoder& coder) override;
    // "{ name:<appName> appid:<appID>}".
    std::string description() const override;

    RP_PROPERTY(bool, appAddedByUser, setAppAddedByUser)
    RP_PROPERTY(RPText, appID, setAppID)
    RP_PROPERTY(RPText, appIdentifier, setAppIdentifier)
    RP_PROPERTY(RPText, appName, setAppName)
    RP_PROPERTY(RPText, appName4ZhTw, setAppName4ZhTw)
    RP_PROPERTY(RPText, appName4EnUs, setAppName4EnUs)
    RP_PROPERTY(RPText, appDescription, setAppDescription)
    RP_PROPERTY(RPText, appDescription4EnUs, setAppDescription4EnUs)
    RP_PROPERTY(RPText, appDescription4ZhTw, setAppDescription4ZhTw)
    RP_PROPERTY(RPText, appInstallUrl, setAppInstallUrl)
    RP_PROPERTY(bool, needUpdateInfo, setNeedUpdateInfo)
    RP_PROPERTY(bool, needUpdateIcon, setNeedUpdateIcon)
    RP_PROPERTY(bool, needUpdateWatermark, setNeedUpdateWatermark)
    RP_PROPERTY(std::uint64_t, appInfoVer, setAppInfoVer)
    RP_PROPERTY(RPText, appIconUrl, setAppIconUrl)
    RP_PROPERTY(RPText, appWatermarkUrl, setAppWatermarkUrl)
    RP_PROPERTY(std::uint32_t, lastUpdateInfoTime, setLastUpdateInfoTime)
    RP_PROPERTY(std::uint32_t, lastUpdateWatermarkTime, setLastUpdateWatermarkTime)
    RP_PROPERTY(std::uint32_t, lastUpdateIconTime, setLastUpdateIconTime)
    RP_PROPERTY(RPText, appTypeList, setAppTypeList)
    RP_PROPERTY(RPText, appDevInfo, setAppDevInfo)
    RP_PROPERTY(std::uint32_t, appInfoFlag, setAppInfoFlag)
    RP_PROPERTY(std::uint32_t, appUpdateVersion, setAppUpdateVersion)
    RP_PROPERTY(bool, appCanShowNew, setAppCanShowNew)
    RP_PROPERTY(bool, isNewApp, setIsNewApp)
    RP_PROPERTY(RPText, appDownloadUrl, setAppDownloadUrl)
    RP_PROPERTY(RPText, appDownloadUrlMD5, setAppDownloadUrlMD5)
    RP_PROPERTY(std::uint32_t, nextUpdateInfoTime, setNextUpdateInfoTime)
    RP_PROPERTY(std::uint32_t, rankWeight, setRankWeight)
};
