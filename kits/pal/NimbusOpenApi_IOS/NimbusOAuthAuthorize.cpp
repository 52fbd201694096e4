// The session object's logins: single sign-on through the Pal apps, the web
// login as fallback, the network watch while the page is up, and the
// outcomes passed on to the session delegate.
#include <cassert>

#include "foundation/NSLog.h"
#include "foundation/NSNotificationCenter.h"
#include "foundation/NSThread.h"
#include "foundation/NSURLError.h"
#include "kits/pal/NimbusOpenApi_IOS/CGIParamsWrap/APIBase.h"
#include "kits/pal/NimbusOpenApi_IOS/Common/API/NBOSDKReachability.h"
#include "kits/pal/NimbusOpenApi_IOS/Common/NBDataReport.h"
#include "kits/pal/NimbusOpenApi_IOS/Common/Util/ConfigManager.h"
#include "kits/pal/NimbusOpenApi_IOS/NimbusIncrAuthLogic.h"
#include "kits/pal/NimbusOpenApi_IOS/NimbusOAuth.h"
#include "kits/pal/NimbusOpenApi_IOS/OpenApi.h"
#include "kits/pal/NimbusOpenApi_IOS/TcApiTool.h"
#include "kits/pal/PalApi/PalApi.h"
#include "uikit/UIAlertView.h"

namespace {

constexpr const char* kLoginCheck = "LOGIN_CHECK_SDK";

void showAlert(const std::string& title, const std::string& message) {
    make<UIAlertView>(title, message, nullptr, "我知道啦")->show();
}

void showNetworkAlert() { showAlert("网络错误", "网络连接不可用。"); }

}  // namespace

bool NimbusOAuth::authorize(const std::vector<std::string>& permissions, bool inSafari) {
    assert(NSThread::isMainThread() && "NimbusOpenApi must be called at main thread");
    return authorize(permissions, std::nullopt, inSafari);
}

bool NimbusOAuth::authorize(const std::vector<std::string>& permissions, std::optional<std::string> localAppId,
                            bool) {
    localAppId_ = std::move(localAppId);
    permissions_ = permissions;
    userNick_.reset();
    return authorizeWithPermissions(permissions, {}, self<NimbusOAuth>(), false);
}

bool NimbusOAuth::authorizeWithPermissions(std::vector<std::string> permissions, const Dictionary& extraParams,
                                           const Ref<NimbusLoginDelegate>& delegate, bool inSafari) {
    if (delegate) {
        if (auto replaced = delegate->getAuthorizedPermissions(permissions, extraParams)) permissions = *replaced;
    }
    if (authMode_ == 1) permissions.push_back("server_side");
    const int target = authShareType_ == 1 || !PalApi::isPalInstalled() ? OpenApi::kCallPalWork : OpenApi::kCallPal;
    const Value& webOnly = ConfigManager::GetInstance()->config()["CommonUseWebLogin"];
    const bool webLoginOnly = webOnly.isNumber() && webOnly.boolValue();
    if (!webLoginOnly && OpenApi::authorizeWithPermission(permissions, delegate, target)) {
        NBDataReport::reportData(false, std::string("10786"), appId_, std::nullopt);
        NBDataReport::cgiLoginReport(0, 0);
        OpenApi::setNimbusAuthorizeState(OpenApi::kStateSSO);
        NBDataReport::reportCheck(kLoginCheck, 0, 0, "");
        return true;
    }
    if (delegate) delegate->setReportAction(std::nullopt);
    if (authorizeWithNimbusAppAuthInSafari(inSafari, permissions, extraParams, delegate)) {
        NBDataReport::cgiLoginReport(0, 1);
        OpenApi::setNimbusAuthorizeState(OpenApi::kStateWebLogin);
    }
    NBDataReport::reportCheck(kLoginCheck, 0, 0, "");
    return true;
}

bool NimbusOAuth::authorizeWithNimbusAppAuthInSafari(bool, const std::vector<std::string>& permissions,
                                                     const Dictionary& extraParams,
                                                     const Ref<NimbusLoginDelegate>& delegate) {
    const std::string scheme = "nimbus" + appId_.value_or("");
    if (!TcApiTool::isRegistSchemeInfoPlistFile(scheme)) {
        showAlert("配置错误", "应用工程配置错误，scheme(" + scheme + ")没有配置，请检查appid并参考SDK使用文档");
        return false;
    }
    if (!StartNotifyNetWork()) {
        if (delegate) delegate->nimbusDidNotNetWork();
        return false;
    }
    if (loginViewKit_) {
        loginViewKit_->clearData();
        loginViewKit_->setAuthorData(appId_, redirectURI_, permissions);
    } else {
        loginViewKit_ = make<NBLoginViewKit>(appId_, redirectURI_, permissions, self<NimbusOAuth>());
    }
    const std::string serial = std::to_string(APIBase::getApiBaseSeq());
    loginViewKit_->setSerial(serial);
    loginViewKit_->setNewloginDelegate(delegate);
    loginViewKit_->setExtraParams(extraParams);
    loginViewKit_->setAuthMode(authMode_);
    const bool opened = loginViewKit_->openWithExtraParams(extraParams);
    if (opened && delegate) loginDict_[serial] = delegate;
    return opened;
}

bool NimbusOAuth::incrAuthWithPermissions(const std::vector<std::string>& permissions) {
    if (permissions.empty() || !accessToken_ || accessToken_->empty()) return false;
    incrAuthLogic_ = make<NimbusIncrAuthLogic>(self<NimbusOAuth>(), std::string("10788"));
    return authorizeWithPermissions(permissions, Dictionary{{"isadd", "1"}, {"access_token", *accessToken_}},
                                    incrAuthLogic_, false);
}

bool NimbusOAuth::reauthorizeWithPermissions(const std::vector<std::string>& permissions) {
    permissions_ = permissions;
    userNick_.reset();
    incrAuthLogic_ = make<NimbusIncrAuthLogic>(self<NimbusOAuth>(), std::nullopt);
    return authorizeWithPermissions(permissions, {}, incrAuthLogic_, false);
}

void NimbusOAuth::nimbusDidUpdate(const Ref<NimbusOAuth>& session) {
    NSLog("Nimbus Did Update Token");
    OpenApi::setNimbusAuthorizeState(OpenApi::kStateIdle);
    if (auto delegate = sessionDelegate()) delegate->nimbusDidUpdate(session);
}

void NimbusOAuth::nimbusFailedUpdate(std::int32_t reason) {
    NSLog("Nimbus Failed Update For Reason:" + std::to_string(reason));
    if (auto delegate = sessionDelegate()) delegate->nimbusFailedUpdate(reason);
}

void NimbusOAuth::logout(const Ref<NimbusSessionDelegate>& delegate) {
    // Everything the login brought goes with it, so that the next user's
    // login shows none of it (the nickname is fetched again): the token,
    // open id and account number through their setters, so that the share
    // layer forgets them too; the key login with them, which would
    // otherwise stay valid and carry the next user's calls. An answer to a
    // call made before the logout is the last user's: the calls end here,
    // and the logins they end are told once the session is cleared.
    const auto tellEndedLogins = endCallsOfTheUser();
    setAccessToken(std::nullopt);
    setOpenId(std::nullopt);
    setUin(std::nullopt);
    skey_.reset();
    expirationDate_.reset();
    permissions_.clear();
    userNick_.reset();
    encryToken_.reset();
    passData_ = Dictionary();
    unionid_.reset();
    OpenApi::clearParam();
    tellEndedLogins();
    if (auto mine = sessionDelegate(); mine && mine->answers(NimbusSessionCallback::nimbusDidLogout)) {
        mine->nimbusDidLogout();
    } else if (delegate) {
        delegate->nimbusDidLogout();
    }
}

void NimbusOAuth::setAuthShareType(std::int32_t type) {
    authShareType_ = type;
    if (type == 0) redirectURI_ = NimbusConnectHosts::kPalWebSiteHost;
    if (type == 1) redirectURI_ = NimbusConnectHosts::kPalOfficeWebSiteHost;
}

bool NimbusOAuth::StartNotifyNetWork() {
    StopNotifyNetWork();
    reachHost_ = NBOSDKReachability::reachabilityWithHostName(NimbusConnectHosts::kPalWebSiteHost);
    if (!reachHost_ || !reachHost_->isReachable()) return false;
    WeakRef<NimbusOAuth> weak = weakSelf<NimbusOAuth>();
    // The alert repeats every second while the site stays out of reach.
    networkTimer_ = NSTimer::scheduledTimerWithTimeInterval(1.0, true, [weak](const Ref<NSTimer>&) {
        auto session = weak.lock();
        if (session && session->reachHost_ && !session->reachHost_->isReachable()) showNetworkAlert();
    });
    reachabilityObserver_ = NSNotificationCenter::defaultCenter()->addObserverForName(
        NBOSDKReachability::kChangedNotification, reachHost_, [weak](const Ref<NSNotification>&) {
            auto session = weak.lock();
            if (!session || !session->reachHost_ || session->reachHost_->isReachable()) return;
            session->StopNotifyNetWork();
            showNetworkAlert();
        });
    return reachHost_->startNotifier();
}

void NimbusOAuth::StopNotifyNetWork() {
    if (networkTimer_) networkTimer_->invalidate();
    networkTimer_.reset();
    stopObserving(reachabilityObserver_);
}

void NimbusOAuth::loginViewKitDidSucceedLogin(const Ref<NBLoginViewKit>& kit, const std::optional<std::string>& serial) {
    StopNotifyNetWork();
    if (!serial || kit != loginViewKit_) return;
    auto found = loginDict_.find(*serial);
    auto delegate = found == loginDict_.end() ? nullptr : found->second.lock();
    if (!delegate) return;
    setAccessToken(kit->accessToken());
    setExpirationDate(kit->expirationDate());
    setEncryToken(kit->encryToken());
    setPassData(kit->passData());
    if (kit->openId() && !kit->openId()->empty()) {
        setOpenId(kit->openId());
        delegate->nimbusDidLogin();
        return;
    }
    // A server-side login brings no open id: it is asked for the token, and
    // its answer completes the login. Any other login without an open id
    // has failed, and the delegate is told so rather than left waiting.
    if (authMode_ == 1 && getOpenId(*serial)) return;
    loginDict_.erase(*serial);
    delegate->nimbusDidNotLogin(false);
}

void NimbusOAuth::loginViewKitDidFailuredWithError(const Ref<NBLoginViewKit>& kit, const Ref<NSError>& error,
                                                   const std::optional<std::string>& serial) {
    StopNotifyNetWork();
    if (!serial) return;
    auto found = loginDict_.find(*serial);
    if (found == loginDict_.end()) return;
    auto delegate = found->second.lock();
    loginDict_.erase(found);
    if (!delegate || kit != loginViewKit_) return;
    if (!error) {
        delegate->nimbusDidNotLogin(true);
        return;
    }
    NSLog("login failed: " + error->description());
    if (error->code() == NSURLErrorNotConnectedToInternet) {
        // The alert first: a login begun inside the answer comes after it.
        showNetworkAlert();
        delegate->nimbusDidNotNetWork();
    } else {
        delegate->nimbusDidNotLogin(false);
    }
}

void NimbusOAuth::nimbusDidLogin() {
    NSLog("login success");
    OpenApi::setNimbusAuthorizeState(OpenApi::kStateIdle);
    if (openId_ && !openId_->empty()) NBDataReport::utaSetAccount(*openId_);
    if (auto delegate = sessionDelegate()) {
        delegate->nimbusDidLogin();
        NSLog("login success:nimbusDidLogin");
    }
}

void NimbusOAuth::nimbusDidNotLogin(bool cancelled) {
    NSLog("login failed usercancell = " + std::to_string(cancelled ? 1 : 0));
    OpenApi::setNimbusAuthorizeState(OpenApi::kStateIdle);
    if (auto delegate = sessionDelegate()) delegate->nimbusDidNotLogin(cancelled);
}

void NimbusOAuth::nimbusDidNotNetWork() {
    NSLog("login failed netWork");
    OpenApi::setNimbusAuthorizeState(OpenApi::kStateIdle);
    if (auto delegate = sessionDelegate()) delegate->nimbusDidNotNetWork();
}

bool NimbusOAuth::loginViewKitShouldAutorotateToInterfaceOrientation(const Ref<NBLoginViewKit>&,
                                                                    UIInterfaceOrientation orientation) {
    auto delegate = sessionDelegate();
    return !delegate || delegate->nimbusWebViewShouldAutorotateToInterfaceOrientation(orientation).value_or(true);
}

UIInterfaceOrientationMask NimbusOAuth::supportedInterfaceOrientationsWithLoginWebkit(const Ref<NBLoginViewKit>&) {
    auto delegate = sessionDelegate();
    if (!delegate) return UIInterfaceOrientationMaskAll;
    return delegate->nimbusWebViewSupportedInterfaceOrientationsWithWebkit().value_or(UIInterfaceOrientationMaskAll);
}

bool NimbusOAuth::shouldAutorotateWithLoginWebkit(const Ref<NBLoginViewKit>&) {
    auto delegate = sessionDelegate();
    return !delegate || delegate->nimbusWebViewShouldAutorotateWithWebkit().value_or(true);
}
