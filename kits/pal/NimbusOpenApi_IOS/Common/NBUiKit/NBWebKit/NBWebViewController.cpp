#include "kits/pal/NimbusOpenApi_IOS/Common/NBUiKit/NBWebKit/NBWebViewController.h"

#include "foundation/DataFile.h"
#include "foundation/NSLog.h"
#include "foundation/NSURLError.h"
#include "kits/pal/NimbusOpenApi_IOS/Common/NimbusConnectHosts.h"

namespace {

constexpr UIViewAutoresizing kFlexibleEverything = static_cast<UIViewAutoresizing>(63);

}  // namespace

bool NBWebViewController::isLocalPage(const Ref<NSURL>& url) {
    return url && url->host() == std::optional<std::string>("localhost") && url->lastPathComponent() == "local.html";
}

void NBWebViewController::viewDidLoad() {
    UIViewController::viewDidLoad();
    webview_ = make<UIWebView>(view()->bounds());
    webview_->setAutoresizingMask(kFlexibleEverything);
    webview_->setDelegate(self<NBWebViewController>());
    view()->addSubview(webview_);
    activityIndicatorView_ = make<UIActivityIndicatorView>(UIActivityIndicatorViewStyle::Gray);
    activityIndicatorView_->setAutoresizingMask(kFlexibleEverything);
    activityIndicatorView_->setCenter(webview_->center());
    activityIndicatorView_->setHidesWhenStopped(true);
    view()->addSubview(activityIndicatorView_);
    loadReqURL();
}

void NBWebViewController::loadReqURL() {
    if (!webview_) return;
    auto url = NSURL::URLWithString(requestURLStr_.value_or(""));
    if (isLocalPage(url)) {
        // The dialog page lives in the kit's resources; it runs as if served
        // by the PalSpace page host, with the dialog's parameters.
        auto contents = DataFile::dataWithContentsOfFile(url->path());
        if (!contents) return;
        auto base = NSURL::URLWithString(NimbusConnectHosts::baseURL() + "/?" + url->query().value_or(""));
        webview_->loadHTMLString(contents->toString(), base);
        return;
    }
    webview_->loadRequest(NSURLRequest::requestWithURL(url, NSURLRequestReloadIgnoringLocalCacheData, kLoadTimeout));
}

void NBWebViewController::stopLoad() {
    if (webview_) webview_->stopLoading();
}

void NBWebViewController::doClose() {
    finished_ = true;
    tellClosed();
}

void NBWebViewController::viewDidDisappear(bool animated) {
    tellClosed();
    UIViewController::viewDidDisappear(animated);
}

void NBWebViewController::tellClosed() {
    auto delegate = delegate_.lock();
    delegate_.reset();
    if (delegate) delegate->webViewControllerDidCloseWithLastError(self<NBWebViewController>(), error_);
}

bool NBWebViewController::shouldAutorotateToInterfaceOrientation(UIInterfaceOrientation orientation) {
    auto delegate = delegate_.lock();
    return !delegate || delegate->webViewControllerShouldAutorotateToInterfaceOrientation(self<NBWebViewController>(),
                                                                                           orientation);
}

UIInterfaceOrientationMask NBWebViewController::supportedInterfaceOrientations() {
    auto delegate = delegate_.lock();
    return delegate ? delegate->supportedInterfaceOrientationsWithWebVC(self<NBWebViewController>())
                    : UIInterfaceOrientationMaskAll;
}

bool NBWebViewController::shouldAutorotate() {
    auto delegate = delegate_.lock();
    return !delegate || delegate->shouldAutorotateWithWebVC(self<NBWebViewController>());
}

void NBWebViewController::webViewDidStartLoad(const Ref<UIWebView>&) { activityIndicatorView_->startAnimating(); }

void NBWebViewController::webViewDidFinishLoad(const Ref<UIWebView>& webView) {
    activityIndicatorView_->stopAnimating();
    if (!webTitle_) webTitle_ = webView->stringByEvaluatingJavaScriptFromString("document.title");
}

void NBWebViewController::didFailLoadWithError(const Ref<UIWebView>&, const Ref<NSError>& error) {
    NSLog("webView FailLoadWithError: " + (error ? error->description() : std::string("(null)")));
    if (error && error->code() == NSURLErrorCancelled && ++retryCount_ < kMaxCancelledLoads) {
        webview_->loadRequest(NSURLRequest::requestWithURL(NSURL::URLWithString(requestURLStr_.value_or(""))));
        return;
    }
    activityIndicatorView_->stopAnimating();
    error_ = error;
    if (auto delegate = delegate_.lock()) delegate->webViewControllerDidFailLoadWithError(self<NBWebViewController>(), error);
}

bool NBWebViewController::shouldStartLoadWithRequest(const Ref<UIWebView>&, const Ref<NSURLRequest>& request,
                                                     UIWebViewNavigationType type) {
    if (request && request->URL()) requestURLStr_ = request->URL()->relativeString();
    auto delegate = delegate_.lock();
    return !delegate || delegate->webViewControllerShouldStartLoadWithRequest(self<NBWebViewController>(), request, type);
}
