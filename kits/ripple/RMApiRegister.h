#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "foundation/NSNotification.h"
#include "foundation/NSObject.h"
#include "foundation/Value.h"
#include "uikit/UIPasteboard.h"

// The checks of the host app's registration with the kit, the optional
// start of the analytics library, and the registration record an app can
// leave for the Ripple app. The one shared instance only observes the
// application going to the background.
class RMApiRegister : public NSObject {
public:
    static Ref<RMApiRegister> shareInstance();
    std::string className() const override { return "RMApiRegister"; }

    using AppID = std::optional<std::string>;

    // Whether the host app's own bundle declares the URL scheme "ripple"
    // (exactly, letter case counting) among its URL types: then the Ripple
    // app's URLs would come back to the host, and registration is refused.
    static bool isAppRegisterRippleScheme();

    // True for an app id; with `enableUTA` it also starts the analytics
    // library (`startUTA`). The description and the content flag are not used.
    static bool registerApp(const AppID& appId, std::uint64_t appSupportContentFlag, bool enableUTA);
    static bool registerApp(const AppID& appId, const std::optional<std::string>& description,
                            std::uint64_t appSupportContentFlag, bool enableUTA);

    // Starts the analytics library for the app id and sends its background
    // event at every move to the background (one more time per call).
    void startUTA(const AppID& appId);
    void DidEnterBackground(const Ref<NSNotification>& notification);

    // The registration record: the pasteboard it lives on, and the record
    // itself (the dictionary under "content"), or nothing.
    static std::string getRegisterPasteboardName() { return "ripple_register"; }
    static std::optional<Dictionary> getRegisterDictionary(const Ref<UIPasteboard>& pasteboard);
    // The full path of the host's icon file: from "CFBundleIconFiles" the
    // first name that fits the screen ("@2x" on a 2x screen, none otherwise),
    // else its last; else "CFBundleIconFile"; else "Icon@2x.png" or
    // "Icon.png". Nothing without an information dictionary.
    static std::optional<std::string> getIconString();
    // The host's record: "appIcon" (the icon's bytes, or "Icon.png"'s),
    // "appIdentifier", "appName" (display name, else name), "firstLaunchTime"
    // (kept from `oldAppDictionary`, else now), "laststLaunchTime" (now) and
    // "appID"; times as whole seconds since 1970.
    static Dictionary buildAppDictionary(const std::string& appId, const std::optional<Dictionary>& oldAppDictionary);
};
