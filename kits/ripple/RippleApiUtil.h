#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "foundation/NSData.h"
#include "foundation/NSURL.h"
#include "foundation/Value.h"

// The kit's platform helpers: the "ripple://" URLs that wake the Ripple app,
// the host app's own URLs, property-list serialisation, the system version
// and screen scale, the Ripple app's SDK version, and base64. A missing app
// id writes the error line "app is nil" where said.
class RippleApiUtil {
public:
    RippleApiUtil() = delete;

    using AppID = std::optional<std::string>;

    // The key a non-zero content support flag is added under.
    static constexpr const char* kSupportContentKey = "supportcontentfromrp";
    // The pasteboard where the Ripple app leaves its SDK version.
    static constexpr const char* kSDKVersionPasteboardName = "ripple_sdk_infomation";

    // Whether the system version (its leading number) is 7 or later.
    static bool isiOS7plus();
    // Whether the main screen's scale is 2.
    static bool is2xScreen();

    static std::optional<Value> propertyListFromData(const std::optional<NSData>& data);
    // Binary property-list data, or nothing.
    static std::optional<NSData> dataFromPropertyList(const Value& plist);

    // "ripple://app/<id>/" + `extraUrl`, then "?" or "&" (when the text
    // already has a "?") "supportcontentfromrp=<flag>" for a non-zero flag.
    // Null without an id ("app is nil") or for text that is not a URL.
    static Ref<NSURL> getRippleUrl(const AppID& appId, std::int64_t flag, const std::string& extraUrl = "");
    // "<id>://", the host app's own scheme; null (and "app is nil") without an id.
    static Ref<NSURL> getAppUrl(const AppID& appId);
    // Whether `url` starts with "<id>://" ("app is nil" and false without an id).
    static bool isAppOpenUrl(const Ref<NSURL>& url, const AppID& appId);
    static bool isAppInstalledWithCatchException(const AppID& appId);
    static bool isAppInstalledWithoutCatchException(const AppID& appId);
    // Opens the app of the id's scheme; the open call's answer.
    static bool launchApp(const AppID& appId);
    // "<id>://platformId=ripple", then "/<otherArgs>" when there are any.
    static Ref<NSURL> getAppUrlWithPlatformId(const AppID& appId, const std::string& otherArgs = "");
    // Whether an app answers "ripple://".
    static bool isRPAppSupportApi();

    // The "version" the Ripple app left on its SDK pasteboard, or nothing.
    static std::optional<std::string> _internal_getSDKVersion();
    // That version; "1.0" when there is none but the Ripple app is there; "".
    static std::string getSDKVersion();

    // Standard base64 of a text's UTF-8 bytes or of data; nothing for empty input.
    static std::optional<std::string> EncodeBase64(const std::optional<std::string>& text);
    static std::optional<std::string> NsDataEncodeBase64(const std::optional<NSData>& data);
    // Decodes whole groups of four characters (a trailing part group is
    // ignored; characters outside the alphabet count as zero bits; each "="
    // at the end drops one byte). Nothing for empty input or no bytes.
    static std::optional<NSData> DecodeWithBase64(const std::optional<std::string>& text);
    // The same read as UTF-8 text up to the first zero byte.
    static std::optional<std::string> DecodeBase64(const std::optional<std::string>& text);
};
