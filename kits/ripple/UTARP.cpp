#include "kits/ripple/UTARP.h"

#include "foundation/DispatchOnce.h"
#include "kits/analytics/UTA/UTA_V1/public/TA-SDK-NAMESPACE/RPOUTA.h"

namespace {

// Names this kit's events at the analytics collector.
constexpr const char* kAppKeyPrefix = "RPUTA";

}  // namespace

Ref<UTARP> UTARP::getInstance() {
    static DispatchOnce once;
    static Ref<UTARP> shared;
    once.perform([] { shared = make<UTARP>(); });
    return shared;
}

UTARP::Text UTARP::ConvertRPappkey(const Text& appId) {
    if (!appId) return std::nullopt;
    return kAppKeyPrefix + *appId;
}

void UTARP::startWithAppkey(const Text& appId) {
    auto bridge = getInstance();
    bridge->setAppkey(ConvertRPappkey(appId));
    RPOUTA::startWithAppkey(bridge->appkey());
}

void UTARP::onBackground() {
    RPOUTA::trackCustomKeyValueEvent("onBackground_RP", std::nullopt, getInstance()->appkey(), true);
}

UTARP::Text UTARP::appkey() const {
    std::lock_guard lock(mutex_);
    return appkey_;
}

void UTARP::setAppkey(const Text& appkey) {
    std::lock_guard lock(mutex_);
    appkey_ = appkey;
}
