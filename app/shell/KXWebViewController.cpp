#include "app/shell/KXWebViewController.h"

#include "app/shell/UIViewExt.h"
#include "foundation/NSURL.h"
#include "foundation/NSURLRequest.h"

void KXWebViewController::viewDidLoad() {
    KXBaseViewController::viewDidLoad();
    navigationView()->titleLabel()->setText(titleString);

    webView_ = make<WKWebView>(CGRectZero, make<WKWebViewConfiguration>());
    webView_->setAccessibilityIdentifier("webView");
    webView_->setUIDelegate(self<KXWebViewController>());
    webView_->setNavigationDelegate(self<KXWebViewController>());
    view()->addSubview(webView_);
    if (auto url = NSURL::URLWithString(urlString))
        webView_->loadRequest(NSURLRequest::requestWithURL(url, NSURLRequestUseProtocolCachePolicy, 60));

    // Left, right and bottom on the view's, top on the bar's bottom.
    const CGRect bounds = view()->bounds();
    const CGFloat top = UIViewExt::bottom(*navigationView());
    webView_->setFrame(CGRectMake(0, top, bounds.size.width, bounds.size.height - top));
    webView_->setAutoresizingMask(UIViewAutoresizingFlexibleWidth | UIViewAutoresizingFlexibleHeight);
}
