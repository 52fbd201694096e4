#pragma once

#include <string>

#include "app/shell/KXBaseViewController.h"
#include "webkit/WKNavigationDelegate.h"
#include "webkit/WKUIDelegate.h"
#include "webkit/WKWebView.h"

// One web page under the custom top bar (the notices open here): the bar
// reads `titleString`; the page at `urlString` loads once, when the view
// loads (protocol cache policy, 60-second time-out), into `webView`, which
// fills the view below the bar. It is the web view's UI and navigation
// delegate with the default answers, so every navigation is allowed. An
// address that is not a URL loads nothing: the page stays empty.
class KXWebViewController : public KXBaseViewController, public WKUIDelegate, public WKNavigationDelegate {
public:
    std::string titleString = "公告";
    std::string urlString;

    Ref<WKWebView> webView() const { return webView_; }

    void viewDidLoad() override;
    std::string className() const override { return "KXWebViewController"; }

private:
    Ref<WKWebView> webView_;
};
