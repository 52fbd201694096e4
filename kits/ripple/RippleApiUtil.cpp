#include "kits/ripple/RippleApiUtil.h"

#include <algorithm>

#include "foundation/NSPropertyListSerialization.h"
#include "foundation/NSString.h"
#include "kits/ripple/RPLogUtil.h"
#include "uikit/UIApplication.h"
#include "uikit/UIDevice.h"
#include "uikit/UIPasteboard.h"
#include "uikit/UIScreen.h"

namespace {

constexpr std::string_view kBase64Alphabet = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";

bool appIsNil(const RippleApiUtil::AppID& appId) {
    if (appId) return false;
    RPLogUtil::logError("app is nil");
    return true;
}

}  // namespace

bool RippleApiUtil::isiOS7plus() { return NSString::doubleValue(UIDevice::currentDevice()->systemVersion()) > 6.9; }

bool RippleApiUtil::is2xScreen() { return UIScreen::mainScreen()->scale() == 2.0; }

std::optional<Value> RippleApiUtil::propertyListFromData(const std::optional<NSData>& data) {
    if (!data) return std::nullopt;
    return NSPropertyListSerialization::propertyListWithData(*data);
}

std::optional<NSData> RippleApiUtil::dataFromPropertyList(const Value& plist) {
    if (plist.isNil()) return std::nullopt;
    return NSPropertyListSerialization::dataWithPropertyList(plist, NSPropertyListSerialization::Format::Binary);
}

Ref<NSURL> RippleApiUtil::getRippleUrl(const AppID& appId, std::int64_t flag, const std::string& extraUrl) {
    if (appIsNil(appId)) return nullptr;
    std::string text = "ripple://app/" + *appId + "/" + extraUrl;
    if (flag != 0) {
        text += text.find('?') != std::string::npos ? "&" : "?";
        text += std::string(kSupportContentKey) + "=" + std::to_string(flag);
    }
    return NSURL::URLWithString(text);
}

Ref<NSURL> RippleApiUtil::getAppUrl(const AppID& appId) {
    if (appIsNil(appId)) return nullptr;
    return NSURL::URLWithString(*appId + "://");
}

bool RippleApiUtil::isAppOpenUrl(const Ref<NSURL>& url, const AppID& appId) {
    if (appIsNil(appId)) return false;
    return url && url->absoluteString().starts_with(*appId + "://");
}

bool RippleApiUtil::isAppInstalledWithCatchException(const AppID& appId) {
    if (appIsNil(appId)) return false;
    return UIApplication::sharedApplication()->canOpenURL(getAppUrl(appId));
}

bool RippleApiUtil::isAppInstalledWithoutCatchException(const AppID& appId) {
    if (!appId) return false;
    return UIApplication::sharedApplication()->canOpenURL(getAppUrl(appId));
}

bool RippleApiUtil::launchApp(const AppID& appId) { return UIApplication::sharedApplication()->openURL(getAppUrl(appId)); }

Ref<NSURL> RippleApiUtil::getAppUrlWithPlatformId(const AppID& appId, const std::string& otherArgs) {
    if (!appId) return nullptr;
    std::string text = *appId + "://platformId=ripple";
    if (!otherArgs.empty()) text += "/" + otherArgs;
    return NSURL::URLWithString(text);
}

bool RippleApiUtil::isRPAppSupportApi() {
    return UIApplication::sharedApplication()->canOpenURL(NSURL::URLWithString("ripple://"));
}

std::optional<std::string> RippleApiUtil::_internal_getSDKVersion() {
    auto board = UIPasteboard::pasteboardWithName(kSDKVersionPasteboardName, false);
    if (!board) return std::nullopt;
    auto plist = propertyListFromData(board->dataForPasteboardType("content"));
    if (!plist) return std::nullopt;
    return (*plist)["version"].stringValue();
}

std::string RippleApiUtil::getSDKVersion() {
    if (auto version = _internal_getSDKVersion()) return *version;
    return isRPAppSupportApi() ? "1.0" : "";
}

std::optional<std::string> RippleApiUtil::EncodeBase64(const std::optional<std::string>& text) {
    if (!text || text->empty()) return std::nullopt;
    return NSData::fromString(*text).base64EncodedString();
}

std::optional<std::string> RippleApiUtil::NsDataEncodeBase64(const std::optional<NSData>& data) {
    if (!data || data->empty()) return std::nullopt;
    return data->base64EncodedString();
}

std::optional<NSData> RippleApiUtil::DecodeWithBase64(const std::optional<std::string>& text) {
    if (!text || text->empty()) return std::nullopt;
    std::vector<std::uint8_t> bytes;
    const std::size_t groups = text->size() / 4;
    for (std::size_t group = 0; group < groups; ++group) {
        std::uint32_t bits = 0;
        for (std::size_t at = group * 4; at < group * 4 + 4; ++at) {
            std::size_t value = kBase64Alphabet.find((*text)[at]);
            bits = (bits << 6) | (value == std::string_view::npos ? 0 : static_cast<std::uint32_t>(value));
        }
        bytes.push_back(static_cast<std::uint8_t>(bits >> 16));
        bytes.push_back(static_cast<std::uint8_t>(bits >> 8));
        bytes.push_back(static_cast<std::uint8_t>(bits));
    }
    const std::size_t padding = text->size() - (text->find_last_not_of('=') + 1);
    bytes.resize(bytes.size() - std::min(padding, bytes.size()));
    if (bytes.empty()) return std::nullopt;
    return NSData(std::move(bytes));
}

std::optional<std::string> RippleApiUtil::DecodeBase64(const std::optional<std::string>& text) {
    auto data = DecodeWithBase64(text);
    if (!data) return std::nullopt;
    std::string bytes = data->toString();
    return NSString::initWithData(NSData::fromString(bytes.substr(0, bytes.find('\0'))), NSUTF8StringEncoding);
}
