#pragma once

#include <cstdint>
#include <string>

#include "foundation/NSObject.h"
#include "foundation/Value.h"
#include "kits/ripple/RPApiDelegate.h"
#include "kits/ripple/RPProperty.h"
#include "kits/ripple/RPUIWebViewControll.h"
#include "uikit/UIAlertView.h"

class NSURL;
class SendAuthReq;
class SendAuthResp;
class UIViewController;
class UINavigationController;

// Authorisation through the Ripple open platform's web pages when the
// Ripple app is not installed: a modal page titled "涟信登录" shows the
// platform's mobile check, which sends the user back on
// "<appid>://wapoauth?<query>"; the handler then loads the SMS
// authorisation page with that query, whose final "<appid>://oauth"
// redirect the kit's URL dispatch answers (closing the page through
// admitAuthAnswer). "取消" on the page asks first, then answers the delegate
// with errCode -2. It also keeps the authorisation the kit sent the Ripple
// app, so that either kind is answered once. One shared instance; main
// thread only.
class WapAuthHandler : public NSObject, public RPUIWebViewControllDelegate, public UIAlertViewDelegate {
public:
    static Ref<WapAuthHandler> shareWapAuthHandlerInstance();

    // Closes a page left open (at once), presents a new one over the top-most
    // screen presented over `currentVC`'s outermost container (or that
    // container) and, 0.1 seconds after it is made, loads the mobile check.
    // Inside a transition's callbacks the presentation waits for them to
    // return; the login runs meanwhile, and a page refused by then ends it
    // with -1 told to `delegate`. False, with nothing changed, when there
    // is no screen to show the page on: a login without its page would
    // never end.
    bool beginWapAuth(const Ref<SendAuthReq>& request, const Ref<UIViewController>& currentVC, const std::string& appId,
                      const Ref<RPApiDelegate>& delegate);
    // Takes "<appid>://wapoauth?<query>" with a non-empty query while a page
    // is open, loading the SMS authorisation page; false for anything else.
    bool handleWapOAuthOpenUrl(const Ref<NSURL>& url);
    // Closes the page; false when none is open.
    bool endWapAuth();
    // The one authorisation out, served here whichever way it went: a web
    // page begun above, or a request the kit sent the Ripple app
    // (`authorisationRequested`, which closes a page left open at once).
    // An answer ("<appid>://oauth", or the Ripple app's reply on the
    // pasteboard, `fromRippleApp`) is told only when it answers that
    // authorisation: one is out (for the Ripple app's reply, one sent to the
    // Ripple app) and `state` (as the request carried it) is its state; the
    // authorisation then ends, its page closing at once, so that one the
    // host begins from the answer can present its own. Any other answer is
    // dropped with a log line: the late one of an earlier authorisation,
    // a second one, one with nothing out, the Ripple app's reply to a web
    // login it was never asked for.
    bool admitAuthAnswer(const RPText& state, bool fromRippleApp);
    // An authorisation handed to the Ripple app.
    void authorisationRequested(const Ref<SendAuthReq>& request);
    // Ends the authorisation out with the Ripple app, whose reply could not
    // be read; the request that was out, or null (a web page is not: it is
    // answered by URL).
    Ref<SendAuthReq> endRippleAppAuthorisation();
    // Closes the page at once and forgets the authorisation out, for a test
    // that starts from a fresh kit.
    void resetForTesting();
    // The "取消" button: asks whether to leave the login.
    void cancelWapOAuth();
    // "继续登录" (the cancel button) keeps the page; "退出登录" closes it at
    // once and then answers the delegate with errCode -2. The question
    // closes with the page, and an answer to it after the page has gone does
    // nothing.
    void clickedButtonAtIndex(const Ref<UIAlertView>& alertView, long buttonIndex) override;

    std::string getMobileCheckUrl() const;
    std::string getSmsAuthorizeUrl(const std::string& platformQuery) const;
    // The page, made on first use after each close.
    Ref<RPUIWebViewControll> getWebViewController();
    // Closes the page without answering anyone.
    void onCancelOAuthWebView();
    // "a=1&b=2" as {a: 1, b: 2}, as RPApi::parseURLParams reads a query.
    static Dictionary parseURLParams(const std::string& query);

    // RPUIWebViewControllDelegate
    void onHiddenLeftBar() override;
    void onShowLeftBar() override;

    bool running() const { return running_; }
    std::uint64_t timeStamp() const { return timeStamp_; }
    const std::string& appId() const { return appId_; }
    // The page open now, or null.
    const Ref<RPUIWebViewControll>& webViewController() const { return webViewController_; }

    std::string className() const override { return "WapAuthHandler"; }

private:
    // The new login's request, host and time stamp.
    void takeLogin(const Ref<SendAuthReq>& request, const std::string& appId, const Ref<RPApiDelegate>& delegate);
    // Once the page's presentation has been made or refused: the first load,
    // or the login's end.
    void pagePresentedOrNot(const Ref<RPUIWebViewControll>& page, const Ref<UINavigationController>& navigation);
    // The answer that ends the login out with `errCode`, carrying its state.
    Ref<SendAuthResp> endedLogin(std::int32_t errCode) const;
    // A new page with its title and its "取消" button.
    Ref<RPUIWebViewControll> makePage();
    void setCancelButton(const Ref<RPUIWebViewControll>& page);
    // Dismisses the open page; false when none is open.
    bool closePage(bool animated);

    Ref<RPUIWebViewControll> webViewController_;
    std::string appId_;
    std::uint64_t timeStamp_ = 0;
    // The authorisation out, or the last one.
    Ref<SendAuthReq> sendAuthReq_;
    Ref<RPApiDelegate> delegate_;
    bool running_ = false;
    // `sendAuthReq_` went to the Ripple app and awaits its answer.
    bool awaitingRippleApp_ = false;
    // The navigation controller of the last page presented, while it lives
    // (open, or sliding away after closing).
    WeakRef<UINavigationController> pageNavigation_;
    // The page whose presentation waits for a transition's callbacks.
    Ref<RPUIWebViewControll> waitingPage_;
    // Inside beginWapAuth, which answers a refused presentation itself.
    bool beginning_ = false;
    // The question "取消后将退出本次登录" while it shows.
    WeakRef<UIAlertView> cancelAlert_;
};
