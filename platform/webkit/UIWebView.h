#pragma once

#include <string>
#include <vector>

#include "foundation/NSURL.h"
#include "foundation/NSURLRequest.h"
#include "uikit/UIView.h"
#include "webkit/UIWebViewDelegate.h"
#include "webkit/WebPageHostView.h"

// The older web view, on the same loading as WKWebView (pages show as their
// title and text; no HTML engine).
//
// Every load, link, back, reload and server redirect is first offered to
// the delegate's shouldStartLoadWithRequest (on a later main-queue turn).
// An allowed load tells webViewDidStartLoad, then webViewDidFinishLoad or
// didFailLoadWithError; starting a load while one runs fails the earlier
// one as cancelled (NSURLErrorCancelled), also from inside a report about
// it, after which the earlier one goes no further. A refused redirect fails
// the load with WebKitErrorDomain 102 (frame load interrupted). An allowed
// request of another scheme than http, https or about goes to the
// application's openURL (another app, or this app's own URL callbacks);
// when it came as a redirect, the load fails with code 102.
//
// Scripts are recorded, not run; "document.title" answers the page's title.
class UIWebView : public WebPageHostView {
public:
    using WebPageHostView::WebPageHostView;

    // Weak, as the platform's unretained delegate.
    Ref<UIWebViewDelegate> delegate() const { return delegate_.lock(); }
    void setDelegate(const Ref<UIWebViewDelegate>& delegate) { delegate_ = delegate; }

    // Nothing for a request without an address.
    void loadRequest(const Ref<NSURLRequest>& request);
    void loadHTMLString(std::string html, const Ref<NSURL>& baseURL);
    void reload();
    void stopLoading() { loader_->stopLoading(); }
    void goBack();
    void goForward();
    bool canGoBack() const { return loader_->canGoBack(); }
    bool canGoForward() const { return loader_->canGoForward(); }
    bool isLoading() const { return loader_->isLoading(); }
    // The request of the page shown (or loading).
    Ref<NSURLRequest> request() const { return loader_->request(); }
    const WebPageContent& pageContent() const { return loader_->content(); }

    // Records the script; answers the page's title for "document.title",
    // else "".
    std::string stringByEvaluatingJavaScriptFromString(const std::string& script);
    const std::vector<std::string>& evaluatedScripts() const { return scripts_; }

    // The page's link with that text is tapped (a link naming another
    // window loads here too): false when it has none.
    bool followLink(const std::string& linkText) override;

    std::string className() const override { return "UIWebView"; }

private:
    // WebFrameLoaderClient
    void decidePolicy(const WebNavigation& navigation, std::function<void(bool allow)> decide) override;
    void loadDidStart() override;
    void loadDidFinish() override;
    void loadDidFail(const Ref<NSError>& error, bool provisional) override;
    Ref<NSError> handleForeignScheme(const Ref<NSURLRequest>& request, bool interruptsLoad) override;
    void openInNewWindow(const Ref<NSURLRequest>& request) override;

    WeakRef<UIWebViewDelegate> delegate_;
    std::vector<std::string> scripts_;
};
