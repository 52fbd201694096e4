// The service's start-up, its shared instance and the application life cycle.
#include "kits/analytics/UTA/UTA_V1/public/TA-SDK-NAMESPACE/RPOUTA.h"

#include "foundation/NSNotificationCenter.h"
#include "kits/analytics/UTA/UTA_V1/public/TA-SDK-NAMESPACE/RPOUTAConfig.h"
#include "kits/analytics/UTA/UTA_V1/public/TA-SDK-NAMESPACE/RPOUTADataConfigHolder.h"
#include "kits/analytics/UTA/UTA_V1/public/TA-SDK-NAMESPACE/RPOUTAHelper.h"
#include "kits/analytics/UTA/UTA_V1/public/TA-SDK-NAMESPACE/RPOUTAPluginNotify.h"
#include "kits/analytics/UTA/UTA_V1/public/TA-SDK-NAMESPACE/RPOUTAService.h"
#include "kits/analytics/UTA/UTA_V1/public/TA-SDK-NAMESPACE/RPOUTASocket.h"
#include "kits/analytics/UTA/UTA_V1/public/TA-SDK-NAMESPACE/RPOUTAStableUDID.h"
#include "kits/analytics/UTA/UTA_V1/public/TA-SDK-NAMESPACE/RPOUTAStore.h"
#include "kits/analytics/UTA/UTA_V1/public/TA-SDK-NAMESPACE/UTALog.h"
#include "kits/analytics/UTA/UTA_V1/public/TA-SDK-NAMESPACE/UTANumericCompare.h"
#include "kits/analytics/UTA/UTA_V1/public/TA-SDK-NAMESPACE/UTASharedInstance.h"
#include "uikit/UIApplication.h"

namespace {

class RPOUTAClassObject : public NSObject {
public:
    std::string className() const override { return "RPOUTA"; }
};

}  // namespace

Ref<RPOUTA> UTAExistingInstance() { return UTASharedSlotOf<RPOUTA>().existing(); }

void UTAResetForTests() {
    auto service = UTAExistingInstance();
    auto store = UTASharedSlotOf<RPOUTAStore>().existing();
    auto channel = UTASharedSlotOf<RPOUTASocket>().existing();
    // Events go from the service's queue to the store's and on to the channel.
    for (int round = 0; round < 2; ++round) {
        if (service) service->getTaskQueue()->sync([] {});
        if (store) store->taskQueue()->sync([] {});
    }
    if (channel) channel->disconnect();
    if (store) store->shutDown();
    auto center = NSNotificationCenter::defaultCenter();
    if (service) center->removeObserver(service);
    center->removeObserver(RPOUTA::classObject());
    RPOUTAStableUDID::clearCachedValue();
    UTAForgetProcessState();
}

Ref<NSObject> RPOUTA::classObject() {
    static const auto* object = new Ref<NSObject>(make<RPOUTAClassObject>());
    return *object;
}

RPOUTA::RPOUTA() = default;

Ref<RPOUTA> RPOUTA::getInstance() { return UTASharedInstance<RPOUTA>(); }

void RPOUTA::didCreate() {
    RPOUTAHelper::getInstance()->setUTAEnableFlag(true);
    auto store = RPOUTAStore::getInstance();
    RPOUTADataConfigHolder::initSingleton([] {});
    RPOUTAHelper::getInstance()->getUser();
    store->launch();
    if (RPOUTAConfig::getInstance()->reportStrategy() == 3) store->sendCachedEvents(-1);

    auto center = NSNotificationCenter::defaultCenter();
    auto weak = weakSelf<RPOUTA>();
    const auto observe = [&](const char* name, void (RPOUTA::*handler)()) {
        center->addObserver(
            self(),
            [weak, handler](const Ref<NSNotification>&) {
                if (auto service = weak.lock()) ((*service).*handler)();
            },
            name);
    };
    observe(UIApplicationWillResignActiveNotification, &RPOUTA::onWillApplicationResignActive);
    observe(UIApplicationDidEnterBackgroundNotification, &RPOUTA::onWillApplicationEnterBackground);
    observe(UIApplicationDidBecomeActiveNotification, &RPOUTA::onDidApplicationBecomeActive);
    observe(UIApplicationWillEnterForegroundNotification, &RPOUTA::onWillApplicationEnterForeground);
}

void RPOUTA::startWithAppkey(const Text& appkey) {
    auto config = RPOUTAConfig::getInstance();
    if (!config->statEnable()) return;
    if (!appkey || appkey->empty()) {
        UTALog("[ERROR]Failed to start uta sdk with nil/empty appkey.");
        return;
    }
    const Text previous = config->appkey();
    config->setAppkey(previous ? *appkey + "|" + *previous : *appkey);
    UTALog("UTA instance started");
    getInstance();
    UTACheckSession(true, std::nullopt, false);
    RPOUTAPluginNotify::sendNotification(kRPOUTAMainServiceStartNotification, classObject());

    auto center = NSNotificationCenter::defaultCenter();
    center->addObserver(classObject(), [](const Ref<NSNotification>&) { autoTrackActiveBegin(); },
                        UIApplicationDidBecomeActiveNotification);
    center->addObserver(classObject(), [](const Ref<NSNotification>&) { autoTrackActiveEnd(); },
                        UIApplicationWillResignActiveNotification);
}

bool RPOUTA::startWithAppkey(const Text& appkey, const std::string& checkedSdkVersion) {
    if (UTANumericCompare(checkedSdkVersion, kUTASdkVersion) > 0) {
        UTALog("[ERROR]Current SDK's version %@ is lower than expected %@, use latest UTA SDK instead.",
               kUTASdkVersion, checkedSdkVersion);
        RPOUTAConfig::getInstance()->setStatEnable(false);
        return false;
    }
    startWithAppkey(appkey);
    return true;
}

RPOUTA::Text RPOUTA::keyForKeyChain() const {
    std::lock_guard lock(mutex_);
    return keyForKeyChain_;
}

void RPOUTA::setKeyForKeyChain(const Text& key) {
    std::lock_guard lock(mutex_);
    keyForKeyChain_ = key;
}

RPOUTA::Text RPOUTA::utaCurrentPage() const {
    std::lock_guard lock(mutex_);
    return utaCurrentPage_;
}

void RPOUTA::setUtaCurrentPage(const Text& page) {
    std::lock_guard lock(mutex_);
    utaCurrentPage_ = page;
}

RPOUTA::Text RPOUTA::lastPage() const {
    std::lock_guard lock(mutex_);
    return lastPage_;
}

void RPOUTA::setLastPage(const Text& page) {
    std::lock_guard lock(mutex_);
    lastPage_ = page;
}

void RPOUTA::onWillApplicationResignActive() {
    if (!RPOUTAConfig::getInstance()->statEnable()) return;
    UTACheckSession(false, std::nullopt, false);
    if (const Text page = utaCurrentPage()) {
        UTALog("nil != [[UTA getInstance] currentPage] ,currentPage is %@", *page);
        trackDirectPageViewEnd(page, std::nullopt, false);
    }
}

void RPOUTA::onDidApplicationBecomeActive() {
    if (!RPOUTAConfig::getInstance()->statEnable()) return;
    UTACheckSession(true, std::nullopt, false);
    if (const Text page = utaCurrentPage()) trackDirectPageViewBegin(page, std::nullopt);
}

void RPOUTA::onWillApplicationEnterForeground() {
    if (!RPOUTAConfig::getInstance()->statEnable()) return;
    UTACheckSession(true, std::nullopt, false);
}

void RPOUTA::onWillApplicationEnterBackground() {
    if (!RPOUTAConfig::getInstance()->statEnable()) return;
    UTACheckSession(false, std::nullopt, false);
}
