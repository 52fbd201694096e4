#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "uikit/UIActivityIndicatorView.h"
#include "uikit/UIViewController.h"
#include "webkit/UIWebView.h"
#include "webkit/UIWebViewDelegate.h"

class NBWebViewController;

// What the kit's web screen tells its owner; every method is optional.
class NBWebViewControllerDelegate {
public:
    virtual ~NBWebViewControllerDelegate() = default;
    virtual void webViewControllerDidCloseWithLastError(const Ref<NBWebViewController>&, const Ref<NSError>&) {}
    virtual void webViewControllerDidFailLoadWithError(const Ref<NBWebViewController>&, const Ref<NSError>&) {}
    virtual bool webViewControllerShouldStartLoadWithRequest(const Ref<NBWebViewController>&, const Ref<NSURLRequest>&,
                                                             UIWebViewNavigationType) {
        return true;
    }
    virtual bool webViewControllerShouldAutorotateToInterfaceOrientation(const Ref<NBWebViewController>&,
                                                                         UIInterfaceOrientation) {
        return true;
    }
    virtual UIInterfaceOrientationMask supportedInterfaceOrientationsWithWebVC(const Ref<NBWebViewController>&) {
        return UIInterfaceOrientationMaskAll;
    }
    virtual bool shouldAutorotateWithWebVC(const Ref<NBWebViewController>&) { return true; }
};

// The kit's web screen: a full-size web view with a spinner while a page
// loads. A cancelled load is retried (at most four times over the screen's
// life); the screen tells its owner once that it has ended.
class NBWebViewController : public UIViewController, public UIWebViewDelegate {
public:
    // Cancelled loads retried before the fifth is reported.
    static constexpr std::uint64_t kMaxCancelledLoads = 5;
    static constexpr double kLoadTimeout = 30;
    // The PalSpace dialog page read from the kit's resources.
    static bool isLocalPage(const Ref<NSURL>& url);

    const Ref<UIWebView>& webview() const { return webview_; }
    const std::optional<std::string>& webTitle() const { return webTitle_; }
    void setWebTitle(std::optional<std::string> title) { webTitle_ = std::move(title); }
    const std::optional<std::string>& requestURLStr() const { return requestURLStr_; }
    void setRequestURLStr(std::optional<std::string> address) { requestURLStr_ = std::move(address); }
    const Ref<NSError>& error() const { return error_; }
    Ref<NBWebViewControllerDelegate> delegate() const { return delegate_.lock(); }
    void setDelegate(const Ref<NBWebViewControllerDelegate>& delegate) { delegate_ = delegate; }
    const Ref<UIActivityIndicatorView>& activityIndicatorView() const { return activityIndicatorView_; }
    bool finished() const { return finished_; }
    std::uint64_t retryCount() const { return retryCount_; }

    void loadReqURL();
    void stopLoad();
    // Ends the screen: tells the delegate with the last error, then drops it.
    void doClose();

    void viewDidLoad() override;
    void viewDidDisappear(bool animated) override;
    bool shouldAutorotateToInterfaceOrientation(UIInterfaceOrientation orientation) override;
    UIInterfaceOrientationMask supportedInterfaceOrientations() override;
    bool shouldAutorotate() override;

    void webViewDidStartLoad(const Ref<UIWebView>& webView) override;
    void webViewDidFinishLoad(const Ref<UIWebView>& webView) override;
    void didFailLoadWithError(const Ref<UIWebView>& webView, const Ref<NSError>& error) override;
    bool shouldStartLoadWithRequest(const Ref<UIWebView>& webView, const Ref<NSURLRequest>& request,
                                    UIWebViewNavigationType type) override;

    std::string className() const override { return "NBWebViewController"; }

private:
    void tellClosed();

    Ref<UIWebView> webview_;
    std::optional<std::string> webTitle_;
    std::optional<std::string> requestURLStr_;
    Ref<NSError> error_;
    WeakRef<NBWebViewControllerDelegate> delegate_;
    Ref<UIActivityIndicatorView> activityIndicatorView_;
    bool finished_ = false;
    std::uint64_t retryCount_ = 0;
};
