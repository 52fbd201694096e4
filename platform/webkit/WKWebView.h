#pragma once

#include <functional>
#include <string>
#include <vector>

#include "foundation/NSError.h"
#include "foundation/NSURL.h"
#include "foundation/NSURLRequest.h"
#include "foundation/Value.h"
#include "uikit/UIView.h"
#include "webkit/WKNavigation.h"
#include "webkit/WKNavigationDelegate.h"
#include "webkit/WKUIDelegate.h"
#include "webkit/WKWebViewConfiguration.h"
#include "webkit/WebPageHostView.h"

// A web page in a view, without an HTML engine: pages load over URL
// loading and show as their title and text (WebPageContentView).
//
// Navigation: every load, link, back, reload and server redirect is first
// offered to the navigation delegate's decidePolicyForNavigationAction (on a
// later main-queue turn; no delegate allows). An allowed load tells
// didStartProvisionalNavigation; a followed redirect
// didReceiveServerRedirectForProvisionalNavigation; the page's arrival
// didCommitNavigation and didFinishNavigation; a transport failure
// didFailProvisionalNavigation. Starting a navigation while one loads
// fails the earlier one as cancelled (after its commit, through
// didFailNavigation), also from inside a report about it, after which the
// earlier one goes no further. Each report hands the delegate the
// navigation it is about, as its own reference. Schemes other than http,
// https and about are not loaded: an allowed navigation to one fails as an
// unsupported URL (the view never hands it to another app itself). A link
// without a target frame ("_blank"), once allowed, is offered to the UI
// delegate's createWebViewWithConfiguration and loads in the web view it
// returns; none, nothing opens.
//
// Scripts are recorded, not run: evaluateJavaScript completes with a nil
// result and no error. What a page would do on its own is simulated
// through followLink (a tap on one of its links) and postScriptMessage (a
// message to a handler of the user content controller).
class WKWebView : public WebPageHostView {
public:
    using ScriptCompletion = std::function<void(const Value& result, const Ref<NSError>& error)>;

    WKWebView(CGRect frame, Ref<WKWebViewConfiguration> configuration);

    const Ref<WKWebViewConfiguration>& configuration() const { return configuration_; }
    Ref<WKNavigationDelegate> navigationDelegate() const { return navigationDelegate_.lock(); }
    void setNavigationDelegate(const Ref<WKNavigationDelegate>& delegate) { navigationDelegate_ = delegate; }
    Ref<WKUIDelegate> UIDelegate() const { return UIDelegate_.lock(); }
    void setUIDelegate(const Ref<WKUIDelegate>& delegate) { UIDelegate_ = delegate; }

    // The navigation the load will report under; null (and nothing loads)
    // for a request without an address.
    Ref<WKNavigation> loadRequest(const Ref<NSURLRequest>& request);
    Ref<WKNavigation> loadHTMLString(std::string html, const Ref<NSURL>& baseURL);
    Ref<WKNavigation> reload();
    Ref<WKNavigation> goBack();
    Ref<WKNavigation> goForward();
    void stopLoading() { loader_->stopLoading(); }

    // The page's title ("" before one has loaded), its address (the one
    // loading while a load runs), and the loading state.
    std::string title() const { return loader_->content().title; }
    Ref<NSURL> URL() const { return loader_->URL(); }
    bool isLoading() const { return loader_->isLoading(); }
    double estimatedProgress() const { return loader_->estimatedProgress(); }
    bool canGoBack() const { return loader_->canGoBack(); }
    bool canGoForward() const { return loader_->canGoForward(); }
    const WebPageContent& pageContent() const { return loader_->content(); }

    void evaluateJavaScript(std::string script, ScriptCompletion completion = nullptr);
    // Every script evaluated, in order.
    const std::vector<std::string>& evaluatedScripts() const { return scripts_; }

    // The page's link with that text is tapped: false when it has none.
    bool followLink(const std::string& linkText) override;
    // The page posts `body` to the script message handler `name`: false
    // when no handler has that name.
    bool postScriptMessage(const std::string& name, const Value& body);

    std::string className() const override { return "WKWebView"; }

private:
    // Begins a navigation through `navigate` and answers its new token.
    Ref<WKNavigation> startNavigation(const std::function<void()>& navigate);
    // The navigation now under way, as its own reference: a load the
    // delegate begins in a call replaces the member, not the argument.
    Ref<WKNavigation> currentNavigation() const { return navigation_; }
    Ref<WKNavigationAction> actionFor(const WebNavigation& navigation) const;

    // WebFrameLoaderClient
    void decidePolicy(const WebNavigation& navigation, std::function<void(bool allow)> decide) override;
    void loadDidStart() override;
    void loadDidRedirect() override;
    void loadDidCommit() override;
    void loadDidFinish() override;
    void loadDidFail(const Ref<NSError>& error, bool provisional) override;
    Ref<NSError> handleForeignScheme(const Ref<NSURLRequest>& request, bool interruptsLoad) override;
    void openInNewWindow(const Ref<NSURLRequest>& request) override;

    Ref<WKWebViewConfiguration> configuration_;
    WeakRef<WKNavigationDelegate> navigationDelegate_;
    WeakRef<WKUIDelegate> UIDelegate_;
    // The navigation of the load being offered or under way.
    Ref<WKNavigation> navigation_;
    std::vector<std::string> scripts_;
};
