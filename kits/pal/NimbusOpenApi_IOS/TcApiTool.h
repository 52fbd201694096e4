#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "foundation/NSDate.h"
#include "foundation/Value.h"
#include "graphics/CGGeometry.h"
#include "uikit/UIWindow.h"

// Class methods the login, web and statistics parts of the kit share: URL
// queries, checks of the host app's bundle settings, device and SDK facts,
// digests, the web login's random key and token decoding, and moving the
// app's windows out of the screen and back while a kit window shows.
class TcApiTool {
public:
    TcApiTool() = delete;

    // The kit's version, as its requests and reports carry it.
    static constexpr const char* kSDKVersion = "3.2.1";

    // base?k=v&k=v with the values escaped; nothing for a nil base.
    static std::optional<std::string> GetURLWithParam(const std::optional<std::string>& base, const Dictionary& params);
    // Some URL type of the main bundle lists the scheme (case-sensitive).
    static bool isRegistSchemeInfoPlistFile(const std::optional<std::string>& scheme);
    // The bundle's "nimbusSDKResource" dictionary, else nil.
    static Value getAppDefinePath();
    static std::optional<std::string> getAppDisplayName();

    // {"sdkv": "3.2.1", "sdkp": "i", "status_os", "status_machine", "status_version"}.
    static Dictionary SDKInfo();
    // The machine's hardware name; "i386" when it cannot be read.
    static std::string NBOSDKdeviceMachine();
    static double systemVersion();
    static std::string systemVersionString();

    // 32 lower-case hex digits of the MD5 of the UTF-8 bytes.
    static std::optional<std::string> md5(const std::optional<std::string>& text);
    // 2 to 16 random lower-case hex digits, an even count.
    static std::string random16Str();
    // Two hex digits as 0 to 255; 0 unless the text has two characters.
    static int NSString16toNSNumber(const std::string& text);
    // Hex pairs XOR-ed with the key's characters in turn; nothing for a nil
    // text, an empty key or an odd length.
    static std::optional<std::string> decodeAccessToken(const std::optional<std::string>& text, const std::string& key);
    // A token's expiry still ahead: the one test of whether a login makes a
    // valid session, for the session and for every login that fills it.
    static bool isExpiryAhead(const std::optional<NSDate>& expirationDate) {
        return expirationDate && expirationDate->timeIntervalSinceNow() > 0;
    }

    // Not the keyboard's or an alert's own window.
    static bool notKeyboardOrAlertWindow(const Ref<NSObject>& object);
    // The window's frame moved sideways by its width: right when `right`.
    static CGRect calcFrameByOrientation(bool right, const Ref<UIWindow>& window);
    static void MoveAllWindowOutOfScreen(const std::vector<Ref<UIWindow>>& keep, bool animated);
    static void MoveAllWindowIntoScreen(const std::vector<Ref<UIWindow>>& keep, bool animated);
    // Action 1 moves out (to the right), 0 back in (to the left).
    static void MoveAllWindowWithAnimationActionType(int action, const std::vector<Ref<UIWindow>>& keep, bool animated);
    static void MoveWindowAnimation(const Ref<UIWindow>& window, int animationId, CGRect rect, float duration,
                                    const std::string& name, void* context);
};

// The Pal kit's percent-encoding and URL-argument helpers (its own class:
// the Ripple kit has a namesake category of different members).
class PalApiNSStringURLArgumentsAdditions {
public:
    PalApiNSStringURLArgumentsAdditions() = delete;

    // Escaped as UTF-8, with "!*'();:@&=+$,/?%#[]" escaped as well.
    static std::string URLEncodedString(const std::string& text);
    // Every escape decoded as UTF-8 ("+" stays); nothing when one cannot be.
    static std::optional<std::string> URLDecodedString(const std::string& text);
    // Without white space and line ends at both ends.
    static std::string trim(const std::string& text);
    // Escapes decoded, then everything but letters, digits and "-_.~"
    // escaped; a text whose escapes cannot be decoded is escaped as it is.
    static std::string stringByEncodeUrl(const std::string& text);
    // The "k=v" pairs after the first separator, both sides decoded; pieces
    // without exactly one "=", with an empty key or with escapes that
    // cannot be decoded are skipped.
    static Dictionary dictionaryByParseUrlFromSeparator(const std::string& text, const std::string& separator);
};
