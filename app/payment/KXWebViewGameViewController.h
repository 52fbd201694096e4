#pragma once

#include <string>

#include "app/payment/KXGameWebView.h"
#include "app/payment/KXHeaderView.h"
#include "uikit/UIViewController.h"

// The web page screen: the page at `urlString` (a payment page, an
// announcement) under the navigation bar titled `gname`. Pushers set both
// before the push; everything is built when the view loads. The page's
// payment links go to the payment apps (KXGameWebView). The screen also
// holds a header bar of its own, kept hidden with no height: the way back
// is the navigation bar's back item.
class KXWebViewGameViewController : public UIViewController {
public:
    const std::string& urlString() const { return urlString_; }
    void setUrlString(std::string urlString) { urlString_ = std::move(urlString); }
    const std::string& gname() const { return gname_; }
    void setGname(std::string gname) { gname_ = std::move(gname); }
    // The tab bar's hidden state after the header's back action.
    bool isPush() const { return isPush_; }
    void setIsPush(bool isPush) { isPush_ = isPush; }

    Ref<KXHeaderView> header() const { return header_; }
    Ref<KXGameWebView> webView1() const { return webView1_; }

    void viewDidLoad() override;
    std::string className() const override { return "KXWebViewGameViewController"; }

private:
    // The hidden header's back action: pops the current screen's stack.
    void headerBack();

    std::string urlString_;
    std::string gname_;
    bool isPush_ = false;
    Ref<KXHeaderView> header_;
    Ref<KXGameWebView> webView1_;
};
