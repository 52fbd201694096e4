#pragma once

#include <string>

#include "foundation/NSURL.h"
#include "uikit/UILabel.h"
#include "uikit/UIView.h"
#include "webkit/WKNavigationDelegate.h"
#include "webkit/WKScriptMessageHandler.h"
#include "webkit/WKUIDelegate.h"
#include "webkit/WKWebView.h"

class KXWebViewGameViewController;

// A web view filling this view that loads one address, unchanged, when the
// view is made (protocol cache policy, 60-second time-out, GET), and hands
// payment links to the payment apps: every navigation whose address holds
// "ripple" or "alipay" and whose scheme is "ripple" or "alipay" goes to
// catchEvent, which opens it through the application when its host is
// "wap" or "alipayclient"; when the app is back from the payment app, the
// page is loaded again, so that it shows the order as it now stands (paid).
// Until that page has arrived the page shown is stale (it may offer to pay
// an order already paid): it is hidden and hands no link over, and when
// the reload fails it stays so.
// Every navigation is allowed. A navigation that
// targets no main frame (a link opening a new window) first runs a script
// clearing the page's link targets. Script messages under "gameinfo" are
// logged. When the page cannot load (its address forms no URL, its load
// fails before any page has shown, or its reload on return fails), a line
// over the empty view says so, kLoadFailedText; a page that arrives later
// takes it away.
class KXGameWebView : public UIView, public WKUIDelegate, public WKNavigationDelegate, public WKScriptMessageHandler {
public:
    // The script that sends later taps on new-window links to the main frame.
    static constexpr const char* kClearLinkTargetsScript =
        "var a = document.getElementsByTagName('a');for(var i=0;i<a.length;i++){a[i].setAttribute('target','');}";

    KXGameWebView(CGRect frame, std::string urlString) : UIView(frame), urlString_(std::move(urlString)) {}
    ~KXGameWebView() override;
    // A wrapper for the address with a zero frame.
    static Ref<KXGameWebView> initWithUrlString(std::string urlString);

    static constexpr const char* kLoadFailedText = "页面加载失败";

    const std::string& urlString() const { return urlString_; }
    Ref<WKWebView> webView() const { return webView_; }
    Ref<KXWebViewGameViewController> kongzhiView() const { return kongzhiView_.lock(); }
    void setKongzhiView(const Ref<KXWebViewGameViewController>& host) { kongzhiView_ = host; }

    // Hands a payment link to the system when its host is a payment app's
    // and the page it comes from is not stale.
    void catchEvent(const Ref<NSURL>& url);

    void didReceiveScriptMessage(const Ref<WKUserContentController>& userContentController,
                                 const Ref<WKScriptMessage>& message) override;
    void decidePolicyForNavigationAction(const Ref<WKWebView>& webView, const Ref<WKNavigationAction>& action,
                                         PolicyDecisionHandler decisionHandler) override;
    void didCommitNavigation(const Ref<WKWebView>& webView, const Ref<WKNavigation>& navigation) override;
    void didFailProvisionalNavigation(const Ref<WKWebView>& webView, const Ref<WKNavigation>& navigation,
                                      const Ref<NSError>& error) override;
    void didFailNavigation(const Ref<WKWebView>& webView, const Ref<WKNavigation>& navigation,
                           const Ref<NSError>& error) override;

    std::string className() const override { return "KXGameWebView"; }

protected:
    void didCreate() override;

private:
    // Reloads the page once, the next time the app becomes active, and
    // holds the page shown as stale until the reload arrives.
    void reloadOnReturn();
    // Says the page could not load, unless a page that is not stale shows
    // (a failed navigation from it, such as a payment link handed over,
    // leaves it).
    void tellLoadFailed(const Ref<NSError>& error);

    bool pageShown_ = false;
    // A payment app has had the order since the page shown arrived.
    bool stale_ = false;
    Ref<UILabel> loadFailedLabel_;

    std::string urlString_;
    Ref<WKWebView> webView_;
    WeakRef<KXWebViewGameViewController> kongzhiView_;
};
