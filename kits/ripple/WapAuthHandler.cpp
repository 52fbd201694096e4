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

// The screen the page goes over: the top-most screen presented over the
// outermost container of `screen` (a presentation goes over that container,
// whichever of its screens asks), short of a page of ours.
Ref<UIViewController> pagePresenter(Ref<UIViewController> screen, const Ref<UIViewController>& ourPage) {
    if (!screen) return nullptr;
    while (auto parent = screen->parentViewController()) screen = parent;
    while (auto presented = screen->presentedViewController()) {
        if (presented == ourPage) break;
        screen = presented;
    }
    return screen;
}

bool isOnScreen(const Ref<UIViewController>& screen) {
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
    // Where the page will be shown is decided before anything changes: a
    // page of ours left open goes, one still sliding away is closed sooner.
    const Ref<UIViewController> ourPage = pageNavigation_.lock();
    const Ref<UIViewController> presenter = pagePresenter(currentVC, ourPage);
    // Inside a transition's callbacks the presentation waits for them to
    // return; the screen need only be on its way into the window by then.
    const bool waits = presenter && presenter->presentationWaits();
    const bool overOurPage = presenter && ourPage && presenter->presentedViewController() == ourPage;
    const bool shown = presenter && (isOnScreen(presenter) || overOurPage || (waits && presenter->isInWindowHierarchy()));
    if (!shown) {
        RPLogUtil::logError("no screen to show the login page on");
        return false;
    }
    // A page whose presentation still waits serves the new login: a second
    // page would be refused behind it.
    if (auto waiting = waitingPage_) {
        webViewController_ = waiting;
        running_ = true;
        takeLogin(request, appId, delegate);
        return true;
    }
    closePage(false);
    auto page = makePage();
    auto navigation = make<UINavigationController>(page);
    webViewController_ = page;
    pageNavigation_ = navigation;
    waitingPage_ = page;
    running_ = true;
    takeLogin(request, appId, delegate);
    presenter->presentViewController(navigation, true);
    // Checked once the presentation has been made or refused: at once, so
    // that a refusal answers NO, or once the callbacks have returned, so that
    // it ends the login and tells the host.
    beginning_ = true;
    presenter->afterPresentationChanges([self = self<WapAuthHandler>(), page, navigation] {
        self->pagePresentedOrNot(page, navigation);
    });
    beginning_ = false;
    return running_ && webViewController_ == page;
}

void WapAuthHandler::takeLogin(const Ref<SendAuthReq>& request, const std::string& appId,
                               const Ref<RPApiDelegate>& delegate) {
    awaitingRippleApp_ = false;
    delegate_ = delegate;
    timeStamp_ = static_cast<std::uint64_t>(::random());
    sendAuthReq_ = request;
    appId_ = appId;
}

void WapAuthHandler::pagePresentedOrNot(const Ref<RPUIWebViewControll>& page,
                                        const Ref<UINavigationController>& navigation) {
    if (waitingPage_ == page) waitingPage_ = nullptr;
    if (page != webViewController_) {
        // Closed while its presentation waited: it goes once made.
        if (navigation->presentingViewController()) navigation->dismissViewControllerAnimated(false);
        return;
    }
    if (!navigation->presentingViewController()) {
        RPLogUtil::logError("the login page could not be shown");
        const Ref<RPApiDelegate> delegate = delegate_;
        running_ = false;
        webViewController_ = nullptr;
        if (beginning_ || !delegate) return;
        // Answered YES while the presentation waited: the login ends as failed.
        delegate->onResp(endedLogin(BaseResp::kFailed));
        return;
    }
    WeakRef<RPUIWebViewControll> opened = page;
    DispatchQueue::main()->after(kFirstLoadDelay, [self = self<WapAuthHandler>(), opened] {
        auto page = opened.lock();
        if (page && page == self->webViewController_) page->refresh(self->getMobileCheckUrl());
    });
}

Ref<SendAuthResp> WapAuthHandler::endedLogin(std::int32_t errCode) const {
    // Its state tells the host which login ended.
    auto response = make<SendAuthResp>();
    response->setErrCode(errCode);
    if (sendAuthReq_) response->setState(sendAuthReq_->state());
    return response;
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
    waitingPage_ = nullptr;
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
    if (delegate) delegate->onResp(endedLogin(BaseResp::kUserCancelled));
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
