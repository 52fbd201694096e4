#include "kits/pal/NimbusOpenApi_IOS/NimbusOAuth.h"

#include "kits/pal/NimbusOpenApi_IOS/CGIParamsWrap/APIBase.h"
#include "kits/pal/NimbusOpenApi_IOS/Common/NBDataReport.h"
#include "kits/pal/NimbusOpenApi_IOS/Common/Util/ConfigManager.h"
#include "kits/pal/NimbusOpenApi_IOS/NXAppidConvert.h"
#include "kits/pal/NimbusOpenApi_IOS/OpenApi.h"

NimbusOAuth::NimbusOAuth(std::optional<std::string> appId, const Ref<NimbusSessionDelegate>& delegate)
    : requestedAppId_(std::move(appId)), initialDelegate_(delegate) {}

// The kit's start-up: a refused identifier leaves an object that registered
// nothing and sent nothing.
void NimbusOAuth::didCreate() {
    NSObject::didCreate();
    Ref<NimbusSessionDelegate> delegate = std::move(initialDelegate_);
    auto converter = make<NXAppidConvert>();
    if (!converter->InitWithAppId(requestedAppId_)) return;
    appId_ = converter->GetConnectionAppId();
    setSessionDelegate(delegate);
    auto config = ConfigManager::GetInstance();
    config->setAppid(*requestedAppId_);
    config->requestConfig();
    config->requestSDKWebViewConfig();
    NBDataReport::utaStart(requestedAppId_);
}

void NimbusOAuth::deleteAPIRequestBySeq(const std::string& seq) {
    auto found = apiRequests_.find(seq);
    if (found == apiRequests_.end()) return;
    found->second->releaseCgiRequest();
    apiRequests_.erase(found);
}

void NimbusOAuth::cancelWithRequestKey(const Value& requestKey) {
    auto key = requestKey.stringValue();
    if (!key) return;
    auto found = apiRequests_.find(*key);
    if (found == apiRequests_.end()) return;
    auto call = found->second;
    apiRequests_.erase(found);
    call->cancel();
}

bool NimbusOAuth::nimbusNeedPerformIncrAuth(const Value&, const std::vector<std::string>&) { return true; }

NimbusOAuth::~NimbusOAuth() { OpenApi::unRegisterApp(sessionDelegate_.lock().get(), this); }

bool NimbusOAuth::HandleOpenURL(const Ref<NSURL>& url) { return OpenApi::handleOpenURL(url); }

bool NimbusOAuth::handleOpenURL(const Ref<NSURL>&) { return false; }

void NimbusOAuth::setSessionDelegate(const Ref<NimbusSessionDelegate>& delegate) {
    if (!delegate) {
        OpenApi::unRegisterAppSessionDelegate(sessionDelegate_.lock().get());
        sessionDelegate_.reset();
        return;
    }
    sessionDelegate_ = delegate;
    OpenApi::registerApp(appId_.value_or(""), delegate, self<NimbusOAuth>());
}
