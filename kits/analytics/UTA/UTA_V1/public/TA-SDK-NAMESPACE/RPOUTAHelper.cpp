#include "kits/analytics/UTA/UTA_V1/public/TA-SDK-NAMESPACE/RPOUTAHelper.h"

#include <sys/utsname.h>
#include <time.h>

#include <cstdio>
#include <ctime>
#include <utility>

#include "foundation/DispatchQueue.h"
#include "foundation/NSBundle.h"
#include "foundation/NSFileManager.h"
#include "foundation/NSLocale.h"
#include "foundation/NSString.h"
#include "foundation/NSTimeZone.h"
#include "foundation/NSUserDefaults.h"
#include "foundation/UTF16.h"
#include "kits/analytics/UTA/UTA_V1/public/TA-SDK-NAMESPACE/RPOUTAPlugins.h"
#include "kits/analytics/UTA/UTA_V1/public/TA-SDK-NAMESPACE/RPOUTAStableUDID.h"
#include "kits/analytics/UTA/UTA_V1/public/TA-SDK-NAMESPACE/RPOUTAStore.h"
#include "kits/analytics/UTA/UTA_V1/public/TA-SDK-NAMESPACE/UTALog.h"
#include "kits/analytics/UTA/UTA_V1/public/TA-SDK-NAMESPACE/UTANumericCompare.h"
#include "kits/analytics/UTA/UTA_V1/public/TA-SDK-NAMESPACE/UTAReachability/RPOUTAReachability.h"
#include "kits/analytics/UTA/UTA_V1/public/TA-SDK-NAMESPACE/UTASharedInstance.h"
#include "uikit/UIApplication.h"
#include "uikit/UIDevice.h"
#include "uikit/UIScreen.h"

namespace {

std::string kernelMachine() {
    utsname names{};
    if (uname(&names) != 0) return std::string();
    const std::string machine = names.machine;
    return UTF16::isValidUTF8(machine) ? machine : std::string();
}

// The system version as numbers, compared part by part ("10.0" > "6.0").
bool versionAtLeast(const std::string& version, int major) {
    return std::atoi(version.c_str()) >= major;
}

}  // namespace

RPOUTAHelper::RPOUTAHelper() = default;

Ref<RPOUTAHelper> RPOUTAHelper::getInstance() { return UTASharedInstance<RPOUTAHelper>(); }

void RPOUTAHelper::didCreate() { collectEnvironment(); }

void RPOUTAHelper::collectEnvironment() {
    auto device = UIDevice::currentDevice();
    env_->setPlatform(device->systemName());
    if (versionAtLeast(device->systemVersion(), 6)) env_->setIfv(device->identifierForVendor());
    env_->setDevicename(kernelMachine());
    env_->setModulename(device->model());
    env_->setOs_version(device->systemVersion());
    env_->setTimezone(NSTimeZone::systemTimeZone()->name());
    auto screen = UIScreen::mainScreen();
    const CGRect bounds = screen->bounds();
    env_->setResolution(NSString::stringWithFormat("%.fx%.f", bounds.size.width * screen->scale(),
                                                   bounds.size.height * screen->scale()));

    // The device identifier: the external storage's copy first, else the
    // shared one, which the external storage then keeps too.
    auto storage = RPOUTAExtStoragePlugin::sharedInstance()->delegate();
    if (auto kept = storage ? storage->loadValue("UTA_UDID") : std::nullopt) {
        UTALog("load uta udid from keychain");
        UTALog("uta uuid:%@", *kept);
        env_->setDeviceid(*kept);
        storage->storeValue(*kept, "UTA_UDID");
    } else if (auto stableUDID = RPOUTAStableUDID::value()) {
        env_->setDeviceid(*stableUDID);
        if (storage) storage->storeValue(*stableUDID, "UTA_UDID");
    }

    // The system's language list, as the global settings domain answers it.
    auto languages = NSUserDefaults::standardUserDefaults()->arrayForKey("AppleLanguages");
    if (languages && !languages->empty()) {
        env_->setLanguage((*languages)[0].description());
    } else if (auto preferred = NSLocale::preferredLanguages(); !preferred.empty()) {
        env_->setLanguage(preferred.front());
    }

    auto shared = RPOUTAEnv::getInstance();
    if (auto known = shared->mccmnc()) {
        env_->setMccmnc(known);
    } else {
        getCTTelephonyNetworkInfo([env = env_, shared](const Ref<CTTelephonyNetworkInfo>& info) {
            auto carrier = info->subscriberCellularProvider();
            if (!carrier) return;
            const std::string code = carrier->mobileCountryCode() + carrier->mobileNetworkCode();
            env->setMccmnc(code);
            shared->setMccmnc(code);
        });
    }

    auto bundle = NSBundle::mainBundle();
    const Value& shortVersion = bundle->objectForInfoDictionaryKey("CFBundleShortVersionString");
    const Value& version = bundle->objectForInfoDictionaryKey("CFBundleVersion");
    env_->setApp_version(shortVersion.isText() ? *shortVersion.text()
                         : version.isText()    ? *version.text()
                                               : std::string("unknown"));
    env_->setSdk_version(std::string(kUTASdkVersion));
    reportNewCrashReport_ = false;
}

bool RPOUTAHelper::checkUTAEnable() const {
    const bool enabled = UTAEnableFlag_;
    if (!enabled) UTALog("UTA is not enabled , because of the online config");
    return enabled;
}

namespace {

// Year and day of the year in local time: one calendar day.
std::pair<int, int> calendarDay(std::time_t seconds) {
    std::tm local{};
    localtime_r(&seconds, &local);
    return {local.tm_year, local.tm_yday};
}

}  // namespace

Ref<RPOUTAUser> RPOUTAHelper::getUser() {
    std::lock_guard lock(mutex_);
    if (!user_) user_ = RPOUTAStore::getInstance()->loadUser();
    if (!user_) return nullptr;
    const auto now = static_cast<std::uint32_t>(std::time(nullptr));
    const std::int32_t old = user_->userType;
    if (now > user_->tagTime && calendarDay(now) != calendarDay(user_->tagTime)) user_->userType = 1;
    const std::string appVersion = env_->app_version();
    if (user_->appVer != appVersion) {
        user_->userType |= 2;
        user_->appVer = appVersion;
    }
    if (user_->userType != old) {
        user_->tagTime = now;
        RPOUTAStore::getInstance()->storeUser(user_);
    }
    return user_;
}

std::string RPOUTAHelper::speedTestStr() const {
    std::lock_guard lock(mutex_);
    return speedTestStr_;
}

void RPOUTAHelper::setSpeedTestStr(std::string text) {
    std::lock_guard lock(mutex_);
    speedTestStr_ = std::move(text);
}

std::string RPOUTAHelper::getNetworkType() const {
    auto reachability = RPOUTAReachability::reachabilityForInternetConnection();
    switch (reachability ? reachability->currentReachabilityStatus() : RPOUTANotReachable) {
        case RPOUTAReachableViaWiFi: return "WIFI";
        case RPOUTAReachableViaWWAN: return "CellNetwork";
        default: return "";
    }
}

Dictionary RPOUTAHelper::fetchSSIDInfo() const {
    // The simulated device names no Wi-Fi network or access point, on Wi-Fi
    // or not, so both values are always the "unknown" answer.
    Dictionary info;
    info.set("ss", "Not Found");
    info.set("bs", "Not Found");
    return info;
}

std::int64_t RPOUTAHelper::getBootTime() {
    timespec now{}, sinceBoot{};
    if (clock_gettime(CLOCK_REALTIME, &now) != 0 || clock_gettime(CLOCK_BOOTTIME, &sinceBoot) != 0) return 0;
    std::int64_t micros = (now.tv_sec - sinceBoot.tv_sec) * 1000000LL + (now.tv_nsec - sinceBoot.tv_nsec) / 1000;
    const std::int64_t seconds = micros / 1000000;
    if (seconds <= 0) return 0;
    return std::stoll(NSString::stringWithFormat("%lu%06d", static_cast<unsigned long>(seconds),
                                                 static_cast<int>(micros % 1000000)));
}

bool RPOUTAHelper::isJB() {
    auto fileManager = NSFileManager::defaultManager();
    bool marker = false;
    for (const char* path : {"/Applications/Cydia.app", "/Library/MobileSubstrate/MobileSubstrate.dylib", "/etc/apt"}) {
        if (fileManager->fileExistsAtPath(path)) {
            marker = true;
            break;
        }
    }
    if (!marker) return false;
    auto cydia = NSURL::URLWithString("cydia://");
    if (!cydia || !UIApplication::sharedApplication()->canOpenURL(cydia)) return false;
    if (!fileManager->fileExistsAtPath("/user/Applications") &&
        !fileManager->fileExistsAtPath("/user/Containers/Bundle/Application")) {
        return false;
    }
    UTALog("device is JB");
    return true;
}

void RPOUTAHelper::getCTTelephonyNetworkInfo(std::function<void(const Ref<CTTelephonyNetworkInfo>&)> block) {
    DispatchQueue::global(DispatchQueuePriority::Background)->async([block = std::move(block)] {
        DispatchQueue::main()->async([block, info = UTASharedInstance<CTTelephonyNetworkInfo>()] { block(info); });
    });
}
