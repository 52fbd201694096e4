#pragma once

#include <optional>
#include <string>
#include <vector>

#include "kits/pal/NimbusOpenApi_IOS/Common/NBUiKit/NBWebKit/NBWebViewController.h"
#include "uikit/UIBarButtonItem.h"
#include "uikit/UIWindow.h"

class NBWebViewKit;

// What the kit's web window tells its owner; every method is optional.
class NBWebViewKitDelegate {
public:
    virtual ~NBWebViewKitDelegate() = default;
    // The screen has ended (its close button, or the window went); the
    // error is the screen's last load error.
    virtual void webViewKitDidFinishedWithError(const Ref<NBWebViewKit>&, const Ref<NSError>&) {}
    virtual void webViewKitDidLoadWithContentError(const Ref<NBWebViewKit>&, const Ref<NSError>&) {}
    virtual void webViewKitDidLoadWithNetworkError(const Ref<NBWebViewKit>&, const Ref<NSError>&) {}
    virtual bool webViewKitShouldStartLoadWithRequest(const Ref<NBWebViewKit>&, const Ref<NSURLRequest>&,
                                                      UIWebViewNavigationType) {
        return true;
    }
    virtual bool webViewKitShouldAutorotateToInterfaceOrientation(const Ref<NBWebViewKit>&, UIInterfaceOrientation) {
        return true;
    }
    virtual UIInterfaceOrientationMask supportedInterfaceOrientationsWithWebkit(const Ref<NBWebViewKit>&) {
        return UIInterfaceOrientationMaskAll;
    }
    virtual bool shouldAutorotateWithWebkit(const Ref<NBWebViewKit>&) { return true; }
};

// The kit's web pages in a window of their own that slides in from the left
// over the app's windows and slides out again, independent of the app's
// screens. A page can call a few operations of the window by loading a URL
// of the scheme "NBWebViewKit" (host = the operation, "-" for each argument;
// path components = the arguments); nothing else is callable.
class NBWebViewKit : public NSObject, public NBWebViewControllerDelegate {
public:
    static constexpr const char* kBridgeScheme = "NBWebViewKit";
    static constexpr const char* kMoveIntoFrame = "moveIntoFrame";
    static constexpr const char* kMoveOutOfFrame = "moveOutOfFrame";
    static constexpr double kSlideDuration = 0.3;

    NBWebViewKit() = default;
    NBWebViewKit(std::optional<std::string> url, std::optional<std::string> webTitle,
                 const Ref<NBWebViewKitDelegate>& delegate);
    ~NBWebViewKit() override;

    // Shows the window with a new screen for `requestUrl`; true.
    bool open();
    bool openWithUrl(std::optional<std::string> url, std::optional<std::string> webTitle,
                     const Ref<NBWebViewKitDelegate>& delegate);
    // Loads the address into the screen shown, else opens the window.
    void loadReqURL(std::optional<std::string> url, std::optional<std::string> webTitle,
                    const Ref<NBWebViewKitDelegate>& delegate);
    // A new screen for the caller to present itself; no window.
    Ref<NBWebViewController> getViewControllerWithUrl(std::optional<std::string> url,
                                                      std::optional<std::string> webTitle,
                                                      const Ref<NBWebViewKitDelegate>& delegate);
    // Slides the window out (nothing without a window or while closing).
    void doClose();
    void doCloseWithNotAnimation();
    // The "关闭" button.
    void onClickClose();

    // The window's frame moved one width to the left (out), or the main
    // screen's bounds moved so (in).
    CGRect calcFrameByOrientation(bool out) const;
    static CGRect screenRectOrientationIndependent();
    void MoveOtherWindowOutOfFrame();
    void MoveOtherWindowIntoFrame();

    // --- What a page may call ---
    void setLeftNavigationBarButton(const std::optional<std::string>& title, const std::optional<std::string>& script);
    void setRightNavigationBarButton(const std::optional<std::string>& title, const std::optional<std::string>& script);
    void setNavigationTitle(const std::optional<std::string>& title);
    void setNavigationBarHidden(const std::optional<std::string>& hidden, const std::optional<std::string>& animated);
    // "取消" and "完成" give the system Cancel and Done buttons; pressing the
    // button evaluates its script in the page.
    Ref<UIBarButtonItem> createNavigationBarButton(const std::optional<std::string>& title,
                                                   const std::optional<std::string>& script);
    void onClickBarButton(const Ref<UIBarButtonItem>& button);
    // The script bound to a button made here.
    std::optional<std::string> bindingJS(const Ref<UIBarButtonItem>& button) const;
    // Runs the bridge call a page URL names; false when the URL is not one.
    bool performBridgeCall(const Ref<NSURL>& url);

    const Ref<NBWebViewController>& webViewController() const { return webViewController_; }
    const std::optional<std::string>& requestUrl() const { return requestUrl_; }
    const std::optional<std::string>& webTitle() const { return webTitle_; }
    Ref<NBWebViewKitDelegate> delegate() const { return delegate_.lock(); }
    void setDelegate(const Ref<NBWebViewKitDelegate>& delegate) { delegate_ = delegate; }
    const Ref<UIWindow>& window() const { return window_; }
    const Ref<UIWindow>& keywindow() const { return keywindow_; }
    const std::vector<Ref<UIWindow>>& windowsArray() const { return windowsArray_; }
    bool isClosing() const { return closing_; }

    // NBWebViewControllerDelegate
    void webViewControllerDidCloseWithLastError(const Ref<NBWebViewController>&, const Ref<NSError>& error) override;
    void webViewControllerDidFailLoadWithError(const Ref<NBWebViewController>&, const Ref<NSError>& error) override;
    bool webViewControllerShouldStartLoadWithRequest(const Ref<NBWebViewController>&, const Ref<NSURLRequest>& request,
                                                     UIWebViewNavigationType type) override;
    bool webViewControllerShouldAutorotateToInterfaceOrientation(const Ref<NBWebViewController>&,
                                                                 UIInterfaceOrientation orientation) override;
    UIInterfaceOrientationMask supportedInterfaceOrientationsWithWebVC(const Ref<NBWebViewController>&) override;
    bool shouldAutorotateWithWebVC(const Ref<NBWebViewController>&) override;

protected:
    void closeWindow();

private:
    void store(std::optional<std::string> url, std::optional<std::string> webTitle,
               const Ref<NBWebViewKitDelegate>& delegate);
    void MoveWindowOutOfFrame(bool animated);
    void animationFinished(const std::string& animationID);

    Ref<NBWebViewController> webViewController_;
    std::optional<std::string> requestUrl_;
    std::optional<std::string> webTitle_;
    WeakRef<NBWebViewKitDelegate> delegate_;
    Ref<UIWindow> window_;
    Ref<UIWindow> keywindow_;
    std::vector<Ref<UIWindow>> windowsArray_;
    std::vector<std::pair<WeakRef<UIBarButtonItem>, std::string>> bindings_;
    bool closing_ = false;
};
