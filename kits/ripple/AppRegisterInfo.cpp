#include "kits/ripple/AppRegisterInfo.h"

namespace {

Value textValue(const RPText& text) { return text ? Value(*text) : Value(); }

RPText textFor(NSCoder& coder, std::string_view key) {
    Value value = coder.decodeObjectForKey(key);
    const std::string* text = value.text();
    return text ? RPText(*text) : std::nullopt;
}

// 32-bit fields are kept as signed 32-bit numbers: the bits come back.
std::int32_t as32(std::uint32_t value) { return static_cast<std::int32_t>(value); }
std::uint32_t from32(std::int64_t value) { return static_cast<std::uint32_t>(value); }

}  // namespace

void AppSettingItem::encodeWithCoder(NSCoder& coder) const {
    coder.encodeObject(textValue(appID_), "appID");
    coder.encodeObject(textValue(openID_), "openID");
    coder.encodeInt32(as32(flag_), "flag");
    coder.encodeBool(appAddedByUser_, "appAddedByUser");
}

bool AppSettingItem::initWithCoder(NSCoder& coder) {
    setAppID(textFor(coder, "appID"));
    setOpenID(textFor(coder, "openID"));
    setFlag(from32(coder.decodeInt32ForKey("flag")));
    setAppAddedByUser(coder.decodeBoolForKey("appAddedByUser"));
    return true;
}

void AppRegisterInfo::encodeWithCoder(NSCoder& coder) const {
    coder.encodeBool(appAddedByUser_, "added");
    coder.encodeObject(textValue(appID_), "appID");
    coder.encodeObject(textValue(appIdentifier_), "appIdentifier");
    coder.encodeObject(textValue(appName_), "appName");
    coder.encodeObject(textValue(appName4ZhTw_), "appName4ZhTw");
    coder.encodeObject(textValue(appName4EnUs_), "appName4EnUs");
    coder.encodeObject(textValue(appDescription_), "description");
    coder.encodeObject(textValue(appDescription4EnUs_), "description4EnUs");
    coder.encodeObject(textValue(appDescription4ZhTw_), "description4ZhTw");
    coder.encodeObject(textValue(appInstallUrl_), "appurl");
    coder.encodeBool(needUpdateInfo_, "needUpdateInfo");
    coder.encodeBool(needUpdateIcon_, "needUpdateIcon");
    coder.encodeBool(needUpdateWatermark_, "needUpdateWaterMark");
    coder.encodeInteger(static_cast<long>(appInfoVer_), "appInfoVer");
    coder.encodeObject(textValue(appIconUrl_), "appiconurl");
    coder.encodeObject(textValue(appWatermarkUrl_), "appwatermarkurl");
    coder.encodeInteger(lastUpdateInfoTime_, "lastUpdateInfoTime");
    coder.encodeInteger(lastUpdateWatermarkTime_, "lastUpdateWatermarkTime");
    coder.encodeInteger(lastUpdateIconTime_, "lastUpdateIconTime");
    coder.encodeObject(textValue(appTypeList_), "apptypelist");
    coder.encodeObject(textValue(appDevInfo_), "appdevinfo");
    coder.encodeInt32(as32(appInfoFlag_), "appinfoflag");
    coder.encodeInt32(as32(appUpdateVersion_), "appupdateversion");
    coder.encodeBool(appCanShowNew_, "appcanshownew");
    coder.encodeBool(isNewApp_, "isnewapp");
    coder.encodeObject(textValue(appDownloadUrl_), "appdownloadurl");
    coder.encodeObject(textValue(appDownloadUrlMD5_), "appdownloadurlmd5");
    coder.encodeInt32(as32(nextUpdateInfoTime_), "nextupdateinfotime");
}

bool AppRegisterInfo::initWithCoder(NSCoder& coder) {
    setAppAddedByUser(coder.decodeBoolForKey("added"));
    setAppID(textFor(coder, "appID"));
    setAppIdentifier(textFor(coder, "appIdentifier"));
    setAppName(textFor(coder, "appName"));
    setAppName4ZhTw(textFor(coder, "appName4ZhTw"));
    setAppName4EnUs(textFor(coder, "appName4EnUs"));
    setAppDescription(textFor(coder, "description"));
    setAppDescription4EnUs(textFor(coder, "description4EnUs"));
    setAppDescription4ZhTw(textFor(coder, "description4ZhTw"));
    setAppInstallUrl(textFor(coder, "appurl"));
    setNeedUpdateInfo(coder.decodeBoolForKey("needUpdateInfo"));
    setNeedUpdateIcon(coder.decodeBoolForKey("needUpdateIcon"));
    setNeedUpdateWatermark(coder.decodeBoolForKey("needUpdateWaterMark"));
    setAppInfoVer(static_cast<std::uint64_t>(coder.decodeIntegerForKey("appInfoVer")));
    setAppIconUrl(textFor(coder, "appiconurl"));
    setAppWatermarkUrl(textFor(coder, "appwatermarkurl"));
    setLastUpdateInfoTime(from32(coder.decodeIntegerForKey("lastUpdateInfoTime")));
    setLastUpdateWatermarkTime(from32(coder.decodeIntegerForKey("lastUpdateWatermarkTime")));
    setLastUpdateIconTime(from32(coder.decodeIntegerForKey("lastUpdateIconTime")));
    setAppTypeList(textFor(coder, "apptypelist"));
    setAppDevInfo(textFor(coder, "appdevinfo"));
    setAppInfoFlag(from32(coder.decodeInt32ForKey("appinfoflag")));
    setAppUpdateVersion(from32(coder.decodeInt32ForKey("appupdateversion")));
    setAppCanShowNew(coder.decodeBoolForKey("appcanshownew"));
    setIsNewApp(coder.decodeBoolForKey("isnewapp"));
    setAppDownloadUrl(textFor(coder, "appdownloadurl"));
    setAppDownloadUrlMD5(textFor(coder, "appdownloadurlmd5"));
    setNextUpdateInfoTime(from32(coder.decodeIntegerForKey("nextupdateinfotime")));
    return true;
}

std::string AppRegisterInfo::description() const {
    return "{ name:" + appName_.value_or("(null)") + " appid:" + appID_.value_or("(null)") + "}";
}
