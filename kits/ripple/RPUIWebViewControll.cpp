#include "kits/ripple/RPUIWebViewControll.h"

#include "foundation/NSURL.h"
#include "uikit/UIScreen.h"

void RPUIWebViewControll::viewDidLoad() {
    UIViewController::viewDidLoad();
    webView_ = make<UIWebView>(UIScreen::mainScreen()->bounds());
    webView_->setAutoresizingMask(UIViewAutoresizingFlexibleWidth | UIViewAutoresizingFlexibleHeight);
    webView_->setDelegate(self<RPUIWebViewControll>());
    webView_->setUserInteractionEnabled(true);
    view()->addSubview(webView_);
}

void RPUIWebViewControll::refresh(const std::string& url) {
    loadViewIfNeeded();
    webView_->loadRequest(NSURLRequest::requestWithURL(NSURL::URLWithString(url)));
}
