#include "kits/ripple/WapAuthHandler.h"

#include <cstdlib>
#include <utility>

#include "foundation/DispatchQueue.h"
#include "foundation/NSString.h"
#include "foundation/NSURL.h"
#include "kits/ripple/RPApi.h"
#include "kits/ripple/RPAuthMessages.h"
#include "kits/ripple/RippleOpenPlatformHosts.h"
#include "uikit/UIBarButtonItem.h"
#include "uikit/UINavigationController.h"
#include "uikit/UINavigationItem.h"
#include "uikit/UIView.h"

namespace {

constexpr double kFirstLoadDelay = 0.1;

// Whether the screen's outermost container shows in a window, as a
// presentation over it needs.
bool isOnScreen(Ref<UIViewController> screen) {
    while (auto parent = screen->parentViewController()) screen = parent;
    auto view = screen->viewIfLoaded();
    return view && view->window();
}

}  // namespace

Ref<WapAuthHandler> WapAuthHandler::shareWapAuthHandlerInstance() {
    static const Ref<WapAuthHandler> shared = make<WapAuthHandler>();
    return shared;
}

bool WapAuthHandler::beginWapAuth(const Ref<SendAuthReq>& request, const Ref<UIViewController>& currentVC,
                                  const std::string& appId, const Ref<RPApiDelegate>& delegate) {
    // The page goes over what the screen shows on top: the top-most screen
    // it presents, short of a page of ours (left open, which goes, or still
    // sliding away, which refuses the new one).
    const Ref<UIViewController> ourPage = pageNavigation_.lock();
    Ref<UIViewController> presenter = currentVC;
    while (presenter) {
        auto presented = presenter->presentedViewController();
        if (!presented || presented == ourPage) break;
        presenter = presented;
    }
    const bool overOurPage = presenter && ourPage && presenter->presentedViewController() == ourPage;
    if (!presenter || (!overOurPage && !isOnScreen(presenter))) {
        RPLogUtil::logError("no screen to show the login page on");
        return false;
    }
    // A page left open goes at once: the new one cannot be presented while
    // the old one is still sliding away.
    closePage(false);
    auto page = makePage();
    auto navigation = make<UINavigationController>(page);
    presenter->presentViewController(navigation, true);
    if (navigation->presentingViewController() != presenter) {
        RPLogUtil::logError("the login page could not be shown");
        return false;
    }
    webViewController_ = page;
    pageNavigation_ = navigation;
    awaitingRippleApp_ = false;
    delegate_ = delegate;
    running_ = true;
    timeStamp_ = static_cast<std::uint64_t>(::random());
    sendAuthReq_ = request;
    appId_ = appId;
    // The page that was opened, unless it has been closed by then.
    WeakRef<RPUIWebViewControll> opened = page;
    DispatchQueue::main()->after(kFirstLoadDelay, [self = self<WapAuthHandler>(), opened] {
        auto page = opened.lock();
        if (page && page == self->webViewController_) page->refresh(self->getMobileCheckUrl());
    });
    return true;
}

bool WapAuthHandler::handleWapOAuthOpenUrl(const Ref<NSURL>& url) {
    if (!running_ || !url) return false;
    const std::string prefix = NSString::stringWithFormat("%@://wapoauth?", appId_);
    const std::string address = url->absoluteString();
    if (!address.starts_with(prefix)) return false;
    const std::string rest = address.substr(prefix.size());
    if (rest.empty()) return false;
    getWebViewController()->refresh(getSmsAuthorizeUrl(rest));
    return true;
}

bool WapAuthHandler::endWapAuth() { return closePage(true); }

bool WapAuthHandler::admitAuthAnswer(const RPText& state, bool fromRippleApp) {
    if (!running_ && !awaitingRippleApp_) {
        RPLogUtil::log("auth answer with no authorisation out: dropped");
        return false;
    }
    if (fromRippleApp && !awaitingRippleApp_) {
        RPLogUtil::log("auth reply from the Ripple app, which was not asked: dropped");
        return false;
    }
    const RPText expected = sendAuthReq_ ? sendAuthReq_->state() : std::nullopt;
    if (state.value_or("") != expected.value_or("")) {
        RPLogUtil::log(NSString::stringWithFormat("auth answer for another authorisation (state %@): dropped",
                                                  state.value_or("")));
        return false;
    }
    awaitingRippleApp_ = false;
    closePage(false);
    return true;
}

void WapAuthHandler::authorisationRequested(const Ref<SendAuthReq>& request) {
    closePage(false);
    sendAuthReq_ = request;
    awaitingRippleApp_ = true;
}

Ref<SendAuthReq> WapAuthHandler::endRippleAppAuthorisation() {
    return std::exchange(awaitingRippleApp_, false) ? sendAuthReq_ : nullptr;
}

void WapAuthHandler::resetForTesting() {
    closePage(false);
    awaitingRippleApp_ = false;
}

bool WapAuthHandler::closePage(bool animated) {
    if (!running_) return false;
    running_ = false;
    // The question about leaving goes with the page it asks about.
    if (auto alert = cancelAlert_.lock()) alert->dismissWithClickedButtonIndex(alert->cancelButtonIndex(), false);
    cancelAlert_.reset();
    if (webViewController_) webViewController_->dismissViewControllerAnimated(animated);
    webViewController_ = nullptr;
    return true;
}

void WapAuthHandler::cancelWapOAuth() {
    if (!running_) return;
    auto alert = make<UIAlertView>("", "取消后将退出本次登录", self<WapAuthHandler>(), "继续登录",
                                   std::vector<std::string>{"退出登录"});
    cancelAlert_ = alert;
    alert->show();
}

void WapAuthHandler::clickedButtonAtIndex(const Ref<UIAlertView>& alertView, long buttonIndex) {
    if (alertView && buttonIndex == alertView->cancelButtonIndex()) return;
    // An authorisation that has had its answer gets no second one.
    if (!running_) return;
    // The page ends at once before the delegate is told, so that an
    // authorisation the delegate begins from the answer presents its own.
    const Ref<RPApiDelegate> delegate = delegate_;
    closePage(false);
    auto response = make<SendAuthResp>();
    response->setErrCode(BaseResp::kUserCancelled);
    if (delegate) delegate->onResp(response);
}

std::string WapAuthHandler::getMobileCheckUrl() const {
    return RippleOpenPlatformHosts::webBaseURL() + "/connect/mobilecheck?" +
           NSString::stringWithFormat("appid=%@&uid=%llu", appId_, static_cast<unsigned long long>(timeStamp_));
}

// A request without a scope or a state sends them empty.
std::string WapAuthHandler::getSmsAuthorizeUrl(const std::string& platformQuery) const {
    const std::string redirect = NSString::stringWithFormat("%@%%3A%%2F%%2Foauth", appId_);
    const std::string scope = sendAuthReq_ ? sendAuthReq_->scope().value_or("") : "";
    const std::string state = sendAuthReq_ ? sendAuthReq_->state().value_or("") : "";
    return RippleOpenPlatformHosts::webBaseURL() + "/connect/smsauthorize?" +
           NSString::stringWithFormat("appid=%@&redirect_uri=%@&response_type=code&scope=%@&state=%@&uid=%llu&%@",
                                      appId_, redirect, scope, state, static_cast<unsigned long long>(timeStamp_),
                                      platformQuery);
}

Ref<RPUIWebViewControll> WapAuthHandler::getWebViewController() {
    if (!webViewController_) webViewController_ = makePage();
    return webViewController_;
}

Ref<RPUIWebViewControll> WapAuthHandler::makePage() {
    auto page = make<RPUIWebViewControll>(self<WapAuthHandler>());
    setCancelButton(page);
    page->setTitle("涟信登录");
    return page;
}

void WapAuthHandler::setCancelButton(const Ref<RPUIWebViewControll>& page) {
    WeakRef<WapAuthHandler> weak = self<WapAuthHandler>();
    page->navigationItem()->setLeftBarButtonItem(make<UIBarButtonItem>(
        "取消", UIBarButtonItemStyle::Bordered, self<WapAuthHandler>(), [weak](const Ref<UIBarButtonItem>&) {
            if (auto handler = weak.lock()) handler->cancelWapOAuth();
        }));
}

void WapAuthHandler::onCancelOAuthWebView() { closePage(true); }

Dictionary WapAuthHandler::parseURLParams(const std::string& query) { return RPApi::parseURLParams(query); }

void WapAuthHandler::onHiddenLeftBar() {
    if (webViewController_) webViewController_->navigationItem()->setLeftBarButtonItem(nullptr);
}

void WapAuthHandler::onShowLeftBar() {
    if (webViewController_) setCancelButton(webViewController_);
}
