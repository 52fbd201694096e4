#include "app/payment/KXGameWebView.h"

#include "app/shell/KXNoDataText.h"
#include "app/shell/UIColorHex.h"
#include "foundation/NSLog.h"
#include "foundation/NSNotificationCenter.h"
#include "foundation/NSString.h"
#include "foundation/NSURLError.h"
#include "foundation/NSURLRequest.h"
#include "frameworks/constraints/MASAdditions.h"
#include "graphics/UIFont.h"
#include "uikit/UIApplication.h"

namespace {

// The content controller holds its handlers strongly and the wrapper holds
// the web view: registering the wrapper itself would keep both alive
// forever. This go-between holds the wrapper weakly.
class WeakScriptMessageForwarder : public NSObject, public WKScriptMessageHandler {
public:
    explicit WeakScriptMessageForwarder(WeakRef<WKScriptMessageHandler> target) : target_(std::move(target)) {}

    void didReceiveScriptMessage(const Ref<WKUserContentController>& controller,
                                 const Ref<WKScriptMessage>& message) override {
        if (auto target = target_.lock()) target->didReceiveScriptMessage(controller, message);
    }

private:
    WeakRef<WKScriptMessageHandler> target_;
};

}  // namespace

Ref<KXGameWebView> KXGameWebView::initWithUrlString(std::string urlString) {
    return make<KXGameWebView>(CGRectZero, std::move(urlString));
}

void KXGameWebView::didCreate() {
    UIView::didCreate();
    auto configuration = make<WKWebViewConfiguration>();
    configuration->setUserContentController(make<WKUserContentController>());
    configuration->userContentController()->addScriptMessageHandler(
        make<WeakScriptMessageForwarder>(self<KXGameWebView>()), "gameinfo");

    webView_ = make<WKWebView>(CGRectZero, configuration);
    webView_->setAccessibilityIdentifier("webView");
    webView_->setUIDelegate(self<KXGameWebView>());
    webView_->setNavigationDelegate(self<KXGameWebView>());
    if (auto url = NSURL::URLWithString(urlString_)) {
        auto request = NSMutableURLRequest::requestWithURL(url, NSURLRequestUseProtocolCachePolicy, 60.0);
        request->setHTTPMethod("GET");
        webView_->loadRequest(request);
    }
    addSubview(webView_);
    mas_makeConstraints(webView_, [&](MASConstraintMaker& make) { make.edges.equalTo(self<KXGameWebView>()); });

    loadFailedLabel_ = make<UILabel>(CGRectZero);
    loadFailedLabel_->setAccessibilityIdentifier("loadFailedLabel");
    loadFailedLabel_->setText(kLoadFailedText);
    loadFailedLabel_->setFont(UIFont::systemFontOfSize(14));
    loadFailedLabel_->setTextColor(hex(KXNoDataText::kColourHex));
    loadFailedLabel_->setTextAlignment(NSTextAlignment::Center);
    loadFailedLabel_->setHidden(NSURL::URLWithString(urlString_) != nullptr);
    addSubview(loadFailedLabel_);
    mas_makeConstraints(loadFailedLabel_, [&](MASConstraintMaker& make) {
        make.left.right.equalTo(self<KXGameWebView>());
        make.centerY.equalTo(self<KXGameWebView>());
    });
}

void KXGameWebView::didCommitNavigation(const Ref<WKWebView>&, const Ref<WKNavigation>&) {
    pageShown_ = true;
    stale_ = false;
    webView_->setHidden(false);
    loadFailedLabel_->setHidden(true);
}

void KXGameWebView::didFailProvisionalNavigation(const Ref<WKWebView>&, const Ref<WKNavigation>&,
                                                 const Ref<NSError>& error) {
    tellLoadFailed(error);
}

void KXGameWebView::didFailNavigation(const Ref<WKWebView>&, const Ref<WKNavigation>&, const Ref<NSError>& error) {
    tellLoadFailed(error);
}

void KXGameWebView::tellLoadFailed(const Ref<NSError>& error) {
    // A load that a newer one replaced has not failed.
    if ((pageShown_ && !stale_) || (error && error->code() == NSURLErrorCancelled)) return;
    loadFailedLabel_->setHidden(false);
}

void KXGameWebView::didReceiveScriptMessage(const Ref<WKUserContentController>&,
                                            const Ref<WKScriptMessage>& message) {
    if (message->name() == "gameinfo") NSLog("返回的数据在这里%@", message->body());
}

void KXGameWebView::decidePolicyForNavigationAction(const Ref<WKWebView>& webView,
                                                    const Ref<WKNavigationAction>& action,
                                                    PolicyDecisionHandler decisionHandler) {
    if (!action->targetFrame() || !action->targetFrame()->isMainFrame())
        webView->evaluateJavaScript(kClearLinkTargetsScript);

    const Ref<NSURL> url = action->request() ? action->request()->URL() : nullptr;
    const std::string address = url ? url->absoluteString() : std::string();
    if (url && (NSString::containsString(address, "alipay") || NSString::containsString(address, "ripple")) &&
        url->scheme()) {
        if (*url->scheme() == "ripple") {
            NSLog("涟信支付");
            catchEvent(url);
        } else if (*url->scheme() == "alipay") {
            NSLog("支付宝支付");
            catchEvent(url);
        }
    }
    decisionHandler(WKNavigationActionPolicy::Allow);
}

void KXGameWebView::catchEvent(const Ref<NSURL>& url) {
    if (!url || stale_) return;
    const std::string host = url->host().value_or("");
    if (host != "wap" && host != "alipayclient") return;
    reloadOnReturn();
    UIApplication::sharedApplication()->openURL(url, {}, nullptr);
}

void KXGameWebView::reloadOnReturn() {
    auto centre = NSNotificationCenter::defaultCenter();
    centre->removeObserver(this, UIApplicationDidBecomeActiveNotification);
    WeakRef<KXGameWebView> weak = self<KXGameWebView>();
    centre->addObserver(
        self<KXGameWebView>(),
        [weak](const Ref<NSNotification>&) {
            auto me = weak.lock();
            if (!me) return;
            NSNotificationCenter::defaultCenter()->removeObserver(me.get(), UIApplicationDidBecomeActiveNotification);
            // The page shown was that of the order before the payment app
            // had it: nothing of it is offered until the reload arrives.
            me->stale_ = true;
            me->webView_->setHidden(true);
            if (!me->webView_->reload()) me->loadFailedLabel_->setHidden(false);
        },
        UIApplicationDidBecomeActiveNotification);
}

KXGameWebView::~KXGameWebView() { NSNotificationCenter::defaultCenter()->removeObserver(this); }
