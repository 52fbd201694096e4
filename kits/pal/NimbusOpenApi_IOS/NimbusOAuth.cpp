#include "kits/pal/NimbusOpenApi_IOS/NimbusOAuth.h"

#include "kits/pal/NimbusOpenApi_IOS/CGIParamsWrap/APIBase.h"
#include "kits/pal/NimbusOpenApi_IOS/Common/NBDataReport.h"
#include "kits/pal/NimbusOpenApi_IOS/Common/Util/ConfigManager.h"
#include "kits/pal/NimbusOpenApi_IOS/NBOError.h"
#include "kits/pal/NimbusOpenApi_IOS/NXAppidConvert.h"
#include "kits/pal/NimbusOpenApi_IOS/TcApiTool.h"
#include "kits/pal/NimbusOpenApi_IOS/Common/NBUiKit/NBLoginViewKit.h"
#include "kits/pal/NimbusOpenApi_IOS/Common/NBUiKit/NBWebKit/NBWebViewLoadJs.h"
#include "kits/pal/NimbusOpenApi_IOS/NimbusApi/NimbusApiInterface.h"
#include "kits/pal/NimbusOpenApi_IOS/OpenApi.h"
#include "kits/pal/PalApi/PalApi.h"
#include "foundation/NSDelayedPerform.h"
#include "foundation/NSNotificationCenter.h"
#include "uikit/UIApplication.h"

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
    PalApi::registerPalConnectAppId(appId_);
    PalApi::registerPluginWithId(*converter->GetMPalAppId());
    auto config = ConfigManager::GetInstance();
    config->setAppid(*requestedAppId_);
    config->requestConfig();
    config->requestSDKWebViewConfig();
    NBDataReport::utaStart(requestedAppId_);
    OpenApi::setNimbusAuthorizeState(OpenApi::kStateIdle);
    // The observer holds the session weakly: it may outlive the session.
    WeakRef<NimbusOAuth> weak = weakSelf<NimbusOAuth>();
    becomeActiveObserver_ = NSNotificationCenter::defaultCenter()->addObserverForName(
        UIApplicationDidBecomeActiveNotification, nullptr, [weak](const Ref<NSNotification>&) {
            if (auto session = weak.lock()) session->appBecomeActive();
        });
}

void NimbusOAuth::appBecomeActive() {
    if (OpenApi::nimbusAuhorizeState() == OpenApi::kStateSSO) OpenApi::setNimbusAuthorizeState(OpenApi::kStateIdle);
    retryHandleOpenURL();
}

void NimbusOAuth::retryHandleOpenURL() { NSDelayedPerform::cancelPreviousPerformRequests(self<NimbusOAuth>()); }

void NimbusOAuth::setOpenId(std::optional<std::string> openId) {
    if (openId != openId_) openId_ = std::move(openId);
    PalApi::registerPalConnectOpenId(openId_);
}

void NimbusOAuth::setAccessToken(std::optional<std::string> token) {
    if (token != accessToken_) accessToken_ = std::move(token);
    PalApi::registerAccessToken(accessToken_);
}

void NimbusOAuth::setUin(std::optional<std::string> uin) {
    uin_ = std::move(uin);
    PalApi::registerPalUin(uin_);
}

void NimbusOAuth::setEncryToken(std::optional<std::string> token) {
    encryToken_ = std::move(token);
    if (encryToken_) NBWebViewLoadJs::getInstance()->loadJS(appId_, openId_, encryToken_);
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

bool NimbusOAuth::nimbusNeedPerformIncrAuth(const Ref<NimbusOAuth>& session, const std::vector<std::string>& permissions) {
    if (permissions.empty()) return true;
    auto delegate = sessionDelegate();
    if (!delegate || !delegate->answers(NimbusSessionCallback::nimbusDidUpdate)) return true;
    return delegate->nimbusNeedPerformIncrAuth(session, permissions).value_or(true);
}

bool NimbusOAuth::nimbusNeedPerformReAuth(const Ref<NimbusOAuth>& session) {
    auto delegate = sessionDelegate();
    if (!delegate || !delegate->answers(NimbusSessionCallback::nimbusDidUpdate)) return true;
    return delegate->nimbusNeedPerformReAuth(session).value_or(true);
}

// Nothing of the session outlives it: its calls are cancelled, the page
// key writer, the network watch and the become-active observer go.
NimbusOAuth::~NimbusOAuth() {
    OpenApi::unRegisterApp(sessionDelegate_.lock().get(), this);
    cancelAllAPIRequest();
    if (loginViewKit_) loginViewKit_->setLoginDelegate(nullptr);
    StopNotifyNetWork();
    NBWebViewLoadJs::clear();
    stopObserving(becomeActiveObserver_);
}

void NimbusOAuth::stopObserving(Ref<NSObject>& token) {
    if (token) NSNotificationCenter::defaultCenter()->removeObserver(token);
    token.reset();
}

bool NimbusOAuth::HandleOpenURL(const Ref<NSURL>& url) { return OpenApi::handleOpenURL(url); }

bool NimbusOAuth::CanHandleOpenURL(const Ref<NSURL>& url) {
    return OpenApi::canHandleOpenURL(url) || NimbusApiInterface::canOpenURL(url);
}

bool NimbusOAuth::handleOpenURL(const Ref<NSURL>& url) {
    if (loginViewKit_ && loginViewKit_->handleOpenURL(url)) return false;
    return NimbusApiInterface::handleOpenURL(url, sessionDelegate_.lock());
}

bool NimbusOAuth::oldCanhandleOpenURL(const Ref<NSURL>& url) const {
    return loginViewKit_ && loginViewKit_->canHandleOpenURL(url);
}

void NimbusOAuth::setSessionDelegate(const Ref<NimbusSessionDelegate>& delegate) {
    if (!delegate) {
        OpenApi::unRegisterAppSessionDelegate(sessionDelegate_.lock().get());
        sessionDelegate_.reset();
        return;
    }
    sessionDelegate_ = delegate;
    OpenApi::registerApp(appId_.value_or(""), delegate, self<NimbusOAuth>());
}

std::optional<std::string> NimbusOAuth::localEncrytedToken() const {
    const auto part = [](const std::optional<std::string>& value) { return value.value_or("(null)"); };
    return TcApiTool::md5("vendora&kit&mplor***28417%%" + part(accessToken_) + part(appId_) + part(openId_) +
                          "plaza5.2");
}

std::string NimbusOAuth::sdkVersion() { return TcApiTool::kSDKVersion; }

// The web login kit reads its answers with the same rules.
Dictionary NimbusOAuth::parseURLParams(const std::string& query) {
    return NBLoginViewKit::parseURLParams(query).value_or(Dictionary());
}

void NimbusOAuth::openSDKWebViewPalShareEnable() { ConfigManager::GetInstance()->setSdkWebViewConfigEnable(1); }

std::int32_t NimbusOAuth::sendRespMessageToNimbusApp(const Ref<NimbusApiResp>& response) {
    return NimbusApiInterface::sendRespMessageToNimbusApp(response);
}

std::optional<std::string> NimbusOAuth::getLastErrorMsg() { return NBOError::getLastOAuthError(); }

std::int32_t NimbusOAuth::authorizeState() { return OpenApi::nimbusAuhorizeState(); }

std::string NimbusOAuth::getOwnBaseUrl() const { return "nimbus" + appId_.value_or("") + "://" + redirectURI_; }

int NimbusOAuth::iphonePalVersion() { return OpenApi::palVersion(); }

int NimbusOAuth::iphonePalWorkVersion() { return OpenApi::timVersion(); }

bool NimbusOAuth::iphonePalInstalled() { return OpenApi::palVersion() != 0; }

bool NimbusOAuth::iphonePalSupportSSOLogin() {
    return OpenApi::palVersion() > (TcApiTool::systemVersion() < 7.0 ? 1 : 2);
}

bool NimbusOAuth::iphonePalSpaceInstalled() { return OpenApi::palspaceVersion() != 0; }

bool NimbusOAuth::iphonePalSpaceSupportSSOLogin() {
    return OpenApi::palspaceVersion() > (TcApiTool::systemVersion() < 7.0 ? 2 : 4);
}

bool NimbusOAuth::iphonePalWorkInstalled() { return PalApi::isPalWorkInstalled(); }

bool NimbusOAuth::iphonePalWorkSupportSSOLogin() { return PalApi::isPalWorkSupportApi(); }
