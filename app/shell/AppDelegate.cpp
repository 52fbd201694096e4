#include "app/shell/AppDelegate.h"

#include "app/payment/KXKeptMoneyRequests.h"
#include "app/payment/KXMoneyRequest.h"
#include "app/shell/KXAppConfiguration.h"
#include "app/shell/KXLocallyStoredData.h"
#include "app/shell/KXLoginViewController.h"
#include "app/shell/KXTabBarController1.h"
#include "app/shell/MBProgressHUDManager.h"
#include "foundation/NSLog.h"
#include "kits/ripple/RPApi.h"
#include "uikit/UIScreen.h"
#include "uikit/UIWindow.h"

bool AppDelegate::applicationDidFinishLaunchingWithOptions(const Ref<UIApplication>&, const Dictionary&) {
    auto login = make<KXLoginViewController>();
    if (KXLocallyStoredData::getLoginUserID() == "") {
        showInNewWindow(login);
    } else {
        auto tabBar = make<KXTabBarController1>();
        showInNewWindow(tabBar);
        tellUnknownMoneyResults();
    }
    RPApi::registerApp(KXAppConfiguration::rippleAppId(), false);
    nimbusOAuth_ = make<NimbusOAuth>(KXAppConfiguration::palAppId(), nullptr);
    nimbusOAuth_->setRedirectURI(KXAppConfiguration::palRedirectHost());
    return true;
}

void AppDelegate::tellUnknownMoneyResults() {
    const auto kept = KXKeptMoneyRequests::ofSignedInPromoter();
    const auto closed = KXKeptMoneyRequests::closedForSignedInPromoter();
    if (!kept.empty() || !closed.empty())
        MBProgressHUDManager::showtext(
            KXMoneyRequest::unknownResultText(kept.empty() ? closed.front().records : kept.front().records),
            "error.png", nullptr);
}

void AppDelegate::showInNewWindow(const Ref<UIViewController>& root) {
    auto window = make<UIWindow>();
    setWindow(window);
    window->setBackgroundColor(UIColor::whiteColor());
    window->setFrame(UIScreen::mainScreen()->bounds());
    window->makeKeyAndVisible();
    window->setRootViewController(root);
}

bool AppDelegate::applicationOpenURLSourceApplicationAnnotation(const Ref<UIApplication>&, const Ref<NSURL>& url,
                                                                const std::string&, const Value&) {
    return handleIncomingURL(url);
}

bool AppDelegate::applicationHandleOpenURL(const Ref<UIApplication>&, const Ref<NSURL>& url) {
    return handleIncomingURL(url);
}

bool AppDelegate::handleIncomingURL(const Ref<NSURL>& url) {
    RPApi::handleOpenURL(url, self<AppDelegate>());
    return NimbusOAuth::HandleOpenURL(url);
}

void AppDelegate::onReq(const Ref<BaseReq>&) {
    NSLog("onReq是涟信终端向第三方程序发起请求，要求第三方程序响应。第三方程序响应完后必须调用sendRsp返回。"
          "在调用sendRsp返回时，会切回到涟信终端程序界面");
}

void AppDelegate::onResp(const Ref<BaseResp>&) { NSLog("回调处理"); }

void AppDelegate::nimbusDidLogin() {
    // The token is only looked at: nothing is logged, stored or shown.
    if (nimbusOAuth_) (void)nimbusOAuth_->accessToken();
}
