#pragma once

#include <string>

#include "uikit/UIViewController.h"
#include "webkit/UIWebView.h"
#include "webkit/UIWebViewDelegate.h"

// What the web authorisation page asks of its owner about its left bar
// button.
class RPUIWebViewControllDelegate {
public:
    virtual ~RPUIWebViewControllDelegate() = default;
    // Removes the page's left bar button.
    virtual void onHiddenLeftBar() = 0;
    // Puts a new "取消" button there.
    virtual void onShowLeftBar() = 0;
};

// The web authorisation page: one web view over the whole screen, loading
// the open platform's pages. Every navigation is allowed; a link to the
// app's own scheme goes to the application's URL callbacks, which is how
// the platform answers the kit.
class RPUIWebViewControll : public UIViewController, public UIWebViewDelegate {
public:
    // The page keeps its delegate.
    explicit RPUIWebViewControll(Ref<RPUIWebViewControllDelegate> delegate) : delegate_(std::move(delegate)) {}

    const Ref<UIWebView>& webView() const { return webView_; }
    const Ref<RPUIWebViewControllDelegate>& delegate() const { return delegate_; }

    void viewDidLoad() override;
    // Loads the address (the view is loaded first when it is not yet).
    void refresh(const std::string& url);

    // UIWebViewDelegate: every request may load; loads are not reported.
    bool shouldStartLoadWithRequest(const Ref<UIWebView>&, const Ref<NSURLRequest>&, UIWebViewNavigationType) override {
        return true;
    }

    std::string className() const override { return "RPUIWebViewControll"; }

private:
    Ref<UIWebView> webView_;
    Ref<RPUIWebViewControllDelegate> delegate_;
};
