#include "kits/ripple/RMApiRegister.h"

#include "foundation/DataFile.h"
#include "foundation/DispatchOnce.h"
#include "foundation/NSBundle.h"
#include "foundation/NSDate.h"
#include "foundation/NSNotificationCenter.h"
#include "kits/ripple/AppCommunicate.h"
#include "kits/ripple/RippleApiUtil.h"
#include "kits/ripple/UTARP.h"
#include "uikit/UIApplication.h"

Ref<RMApiRegister> RMApiRegister::shareInstance() {
    static DispatchOnce once;
    static Ref<RMApiRegister> shared;
    once.perform([] { shared = make<RMApiRegister>(); });
    return shared;
}

bool RMApiRegister::isAppRegisterRippleScheme() {
    const Array* urlTypes = NSBundle::mainBundle()->objectForInfoDictionaryKey("CFBundleURLTypes").array();
    if (!urlTypes) return false;
    for (const Value& urlType : *urlTypes) {
        const Array* schemes = urlType["CFBundleURLSchemes"].array();
        if (!schemes) continue;
        for (const Value& scheme : *schemes) {
            if (const std::string* text = scheme.text(); text && *text == "ripple") return true;
        }
    }
    return false;
}

bool RMApiRegister::registerApp(const AppID& appId, std::uint64_t appSupportContentFlag, bool enableUTA) {
    return registerApp(appId, std::nullopt, appSupportContentFlag, enableUTA);
}

bool RMApiRegister::registerApp(const AppID& appId, const std::optional<std::string>&, std::uint64_t,
                                bool enableUTA) {
    if (!appId) return false;
    if (enableUTA) shareInstance()->startUTA(appId);
    return true;
}

void RMApiRegister::startUTA(const AppID& appId) {
    UTARP::startWithAppkey(appId);
    auto weak = weakSelf<RMApiRegister>();
    NSNotificationCenter::defaultCenter()->addObserver(
        self(),
        [weak](const Ref<NSNotification>& notification) {
            if (auto registrar = weak.lock()) registrar->DidEnterBackground(notification);
        },
        UIApplicationDidEnterBackgroundNotification);
}

void RMApiRegister::DidEnterBackground(const Ref<NSNotification>&) { UTARP::onBackground(); }

std::optional<Dictionary> RMApiRegister::getRegisterDictionary(const Ref<UIPasteboard>& pasteboard) {
    if (!pasteboard) return std::nullopt;
    auto plist = RippleApiUtil::propertyListFromData(pasteboard->dataForPasteboardType(AppCommunicate::kContentType));
    if (!plist || !plist->isDictionary()) return std::nullopt;
    return *plist->dictionary();
}

std::optional<std::string> RMApiRegister::getIconString() {
    auto bundle = NSBundle::mainBundle();
    const Dictionary& info = bundle->infoDictionary();
    if (info.empty()) return std::nullopt;
    const bool twice = RippleApiUtil::is2xScreen();
    std::string icon = twice ? "Icon@2x.png" : "Icon.png";
    if (const Array* files = info["CFBundleIconFiles"].array()) {
        if (!files->empty()) {
            icon = files->back().stringValue().value_or(icon);
            for (const Value& file : *files) {
                const std::string* name = file.text();
                if (name && (name->find("@2x") != std::string::npos) == twice) {
                    icon = *name;
                    break;
                }
            }
        }
    } else if (const std::string* file = info["CFBundleIconFile"].text()) {
        icon = *file;
    }
    return bundle->bundlePath() + "/" + icon;
}

Dictionary RMApiRegister::buildAppDictionary(const std::string& appId, const std::optional<Dictionary>& oldAppDictionary) {
    auto bundle = NSBundle::mainBundle();
    const Dictionary& info = bundle->infoDictionary();
    const std::string now = std::to_string(static_cast<std::uint32_t>(NSDate::date().timeIntervalSince1970()));
    Dictionary record;
    std::optional<NSData> icon;
    if (auto path = getIconString()) icon = DataFile::dataWithContentsOfFile(*path);
    if (!icon) icon = DataFile::dataWithContentsOfFile(bundle->bundlePath() + "/Icon.png");
    if (icon) record.set("appIcon", *icon);
    if (const std::string* identifier = info["CFBundleIdentifier"].text()) record.set("appIdentifier", *identifier);
    const std::string* displayName = info["CFBundleDisplayName"].text();
    if (displayName && !displayName->empty()) {
        record.set("appName", *displayName);
    } else if (const std::string* name = info["CFBundleName"].text()) {
        record.set("appName", *name);
    }
    const Value* firstLaunch = oldAppDictionary ? oldAppDictionary->find("firstLaunchTime") : nullptr;
    record.set("firstLaunchTime", firstLaunch ? *firstLaunch : Value(now));
    record.set("laststLaunchTime", now);
    record.set("appID", appId);
    return record;
}
