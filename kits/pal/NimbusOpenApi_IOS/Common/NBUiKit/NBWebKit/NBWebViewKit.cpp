#include "kits/pal/NimbusOpenApi_IOS/Common/NBUiKit/NBWebKit/NBWebViewKit.h"

#include <algorithm>
#include <functional>
#include <map>

#include "foundation/NSLog.h"
#include "foundation/NSString.h"
#include "foundation/NSURLError.h"
#include "kits/pal/NimbusOpenApi_IOS/Common/NBUiKit/NBWebKit/NBWebNavigationController.h"
#include "kits/pal/NimbusOpenApi_IOS/TcApiTool.h"
#include "uikit/UIApplication.h"
#include "uikit/UINavigationItem.h"
#include "uikit/UIScreen.h"

namespace {

using BridgeArguments = std::vector<std::optional<std::string>>;

struct BridgeOperation {
    std::size_t arguments;
    std::function<void(NBWebViewKit&, const BridgeArguments&)> perform;
};

// The only operations a page can reach, by selector name.
const std::map<std::string, BridgeOperation>& bridgeOperations() {
    static const std::map<std::string, BridgeOperation> operations = {
        {"setLeftNavigationBarButton:bindingJS:",
         {2, [](NBWebViewKit& kit, const BridgeArguments& a) { kit.setLeftNavigationBarButton(a[0], a[1]); }}},
        {"setRightNavigationBarButton:bindingJS:",
         {2, [](NBWebViewKit& kit, const BridgeArguments& a) { kit.setRightNavigationBarButton(a[0], a[1]); }}},
        {"setNavigationTitle:", {1, [](NBWebViewKit& kit, const BridgeArguments& a) { kit.setNavigationTitle(a[0]); }}},
        {"setNavigationBarHidden:animated:",
         {2, [](NBWebViewKit& kit, const BridgeArguments& a) { kit.setNavigationBarHidden(a[0], a[1]); }}},
        {"doClose", {0, [](NBWebViewKit& kit, const BridgeArguments&) { kit.doClose(); }}},
        {"doCloseWithNotAnimation", {0, [](NBWebViewKit& kit, const BridgeArguments&) { kit.doCloseWithNotAnimation(); }}},
    };
    return operations;
}

bool equalsIgnoringCase(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
           });
}

}  // namespace

NBWebViewKit::NBWebViewKit(std::optional<std::string> url, std::optional<std::string> webTitle,
                           const Ref<NBWebViewKitDelegate>& delegate)
    : requestUrl_(std::move(url)), webTitle_(std::move(webTitle)), delegate_(delegate) {}

NBWebViewKit::~NBWebViewKit() {
    requestUrl_.reset();
    webTitle_.reset();
    delegate_.reset();
    if (window_) {
        // No animation can finish for an object that is going away.
        window_->setRootViewController(nullptr);
        window_->setHidden(true);
        if (keywindow_) keywindow_->makeKeyWindow();
    }
    if (webViewController_) webViewController_->setDelegate(nullptr);
}

void NBWebViewKit::store(std::optional<std::string> url, std::optional<std::string> webTitle,
                         const Ref<NBWebViewKitDelegate>& delegate) {
    requestUrl_ = std::move(url);
    webTitle_ = std::move(webTitle);
    delegate_ = delegate;
}

bool NBWebViewKit::openWithUrl(std::optional<std::string> url, std::optional<std::string> webTitle,
                               const Ref<NBWebViewKitDelegate>& delegate) {
    store(std::move(url), std::move(webTitle), delegate);
    return open();
}

bool NBWebViewKit::open() {
    // The new page replaces any still shown, whose end is then no news.
    if (webViewController_) webViewController_->setDelegate(nullptr);
    closeWindow();
    auto application = UIApplication::sharedApplication();
    keywindow_ = application->keyWindow();

    window_ = make<UIWindow>(calcFrameByOrientation(false));
    window_->setWindowLevel(UIWindowLevelNormal);
    window_->makeKeyAndVisible();

    webViewController_ = make<NBWebViewController>();
    webViewController_->setRequestURLStr(requestUrl_);
    webViewController_->setWebTitle(webTitle_);
    webViewController_->setDelegate(self<NBWebViewKit>());
    auto navigation = make<NBWebNavigationController>(webViewController_);
    webViewController_->navigationItem()->setTitle(webTitle_.value_or(""));
    WeakRef<NBWebViewKit> weak = self<NBWebViewKit>();
    webViewController_->navigationItem()->setLeftBarButtonItem(make<UIBarButtonItem>(
        "关闭", UIBarButtonItemStyle::Bordered, self<NBWebViewKit>(), [weak](const Ref<UIBarButtonItem>&) {
            if (auto kit = weak.lock()) kit->onClickClose();
        }));
    window_->setRootViewController(navigation);
    if (NBWebViewController::isLocalPage(NSURL::URLWithString(requestUrl_.value_or(""))))
        navigation->setNavigationBarHidden(true, false);

    UIView::beginAnimations(kMoveIntoFrame, nullptr);
    UIView::setAnimationDuration(kSlideDuration);
    UIView::setAnimationDelegate(self<NBWebViewKit>());
    UIView::setAnimationDidStopSelector([weak](const std::string& animationID, bool, void*) {
        if (auto kit = weak.lock()) kit->animationFinished(animationID);
    });
    window_->setFrame(UIScreen::mainScreen()->bounds());
    UIView::commitAnimations();

    windowsArray_.push_back(window_);
    return true;
}

void NBWebViewKit::loadReqURL(std::optional<std::string> url, std::optional<std::string> webTitle,
                              const Ref<NBWebViewKitDelegate>& delegate) {
    store(std::move(url), std::move(webTitle), delegate);
    // A page that has ended, or a window on its way out, is not reused: the
    // new page gets a window of its own.
    if (!webViewController_ || closing_ || webViewController_->delegate().get() != this) {
        open();
        return;
    }
    webViewController_->setWebTitle(webTitle_);
    webViewController_->setDelegate(self<NBWebViewKit>());
    webViewController_->setRequestURLStr(requestUrl_);
    webViewController_->loadReqURL();
}

Ref<NBWebViewController> NBWebViewKit::getViewControllerWithUrl(std::optional<std::string> url,
                                                                std::optional<std::string> webTitle,
                                                                const Ref<NBWebViewKitDelegate>& delegate) {
    store(std::move(url), std::move(webTitle), delegate);
    if (webViewController_) webViewController_->setDelegate(nullptr);
    webViewController_ = make<NBWebViewController>();
    webViewController_->setRequestURLStr(requestUrl_);
    webViewController_->setWebTitle(webTitle_);
    webViewController_->setDelegate(self<NBWebViewKit>());
    webViewController_->setEdgesForExtendedLayout(UIRectEdgeAll);
    return webViewController_;
}

void NBWebViewKit::doClose() {
    if (!window_ || closing_) return;
    closing_ = true;
    MoveWindowOutOfFrame(true);
}

void NBWebViewKit::doCloseWithNotAnimation() {
    if (!window_ || closing_) return;
    closing_ = true;
    MoveWindowOutOfFrame(false);
}

// The window is on its way out before the screen tells of its end, so a
// page opened from that news gets a window of its own.
void NBWebViewKit::onClickClose() {
    auto keep = self<NBWebViewKit>();
    auto screen = webViewController_;
    doClose();
    if (screen) screen->doClose();
}

CGRect NBWebViewKit::calcFrameByOrientation(bool out) const {
    CGRect frame = out && window_ ? window_->frame() : UIScreen::mainScreen()->bounds();
    frame.origin.x -= frame.size.width;
    return frame;
}

CGRect NBWebViewKit::screenRectOrientationIndependent() {
    CGRect bounds = UIScreen::mainScreen()->bounds();
    const CGFloat shorter = std::min(bounds.size.width, bounds.size.height);
    const CGFloat longer = std::max(bounds.size.width, bounds.size.height);
    bounds.size = CGSizeMake(shorter, longer);
    return bounds;
}

void NBWebViewKit::MoveOtherWindowOutOfFrame() {
    for (const auto& other : UIApplication::sharedApplication()->windows()) {
        if (other == window_ || other->isHidden() || !TcApiTool::notKeyboardOrAlertWindow(other)) continue;
        other->setHidden(true);
        windowsArray_.push_back(other);
    }
}

void NBWebViewKit::MoveOtherWindowIntoFrame() {
    auto windows = std::move(windowsArray_);
    windowsArray_.clear();
    for (const auto& other : windows) other->setHidden(false);
}

void NBWebViewKit::MoveWindowOutOfFrame(bool animated) {
    MoveOtherWindowIntoFrame();
    const CGRect away = calcFrameByOrientation(true);
    if (!animated) {
        window_->setFrame(away);
        closeWindow();
        return;
    }
    WeakRef<NBWebViewKit> weak = self<NBWebViewKit>();
    // The slide-out closes the window it moved, never one opened meanwhile.
    WeakRef<UIWindow> leaving = window_;
    UIView::beginAnimations(kMoveOutOfFrame, nullptr);
    UIView::setAnimationDuration(kSlideDuration);
    UIView::setAnimationDelegate(self<NBWebViewKit>());
    UIView::setAnimationDidStopSelector([weak, leaving](const std::string& animationID, bool, void*) {
        auto kit = weak.lock();
        if (kit && kit->window_ && kit->window_ == leaving.lock()) kit->animationFinished(animationID);
    });
    window_->setFrame(away);
    UIView::commitAnimations();
}

void NBWebViewKit::animationFinished(const std::string& animationID) {
    if (animationID == kMoveOutOfFrame) closeWindow();
}

// The kit lets go of the window and its screen before the screen hears it
// has gone: a page opened from that news gets a window of its own, which
// nothing here then takes away.
void NBWebViewKit::closeWindow() {
    if (!window_) return;
    auto keep = self<NBWebViewKit>();
    auto window = std::move(window_);
    window_.reset();
    auto screen = std::move(webViewController_);
    webViewController_.reset();
    windowsArray_.clear();
    closing_ = false;
    if (auto key = std::move(keywindow_)) key->makeKeyWindow();
    keywindow_.reset();
    window->setRootViewController(nullptr);
    window->setHidden(true);
}


void NBWebViewKit::setLeftNavigationBarButton(const std::optional<std::string>& title,
                                              const std::optional<std::string>& script) {
    if (webViewController_)
        webViewController_->navigationItem()->setLeftBarButtonItem(createNavigationBarButton(title, script));
}

void NBWebViewKit::setRightNavigationBarButton(const std::optional<std::string>& title,
                                               const std::optional<std::string>& script) {
    if (webViewController_)
        webViewController_->navigationItem()->setRightBarButtonItem(createNavigationBarButton(title, script));
}

void NBWebViewKit::setNavigationTitle(const std::optional<std::string>& title) {
    if (webViewController_) webViewController_->navigationItem()->setTitle(title.value_or(""));
}

void NBWebViewKit::setNavigationBarHidden(const std::optional<std::string>& hidden,
                                          const std::optional<std::string>& animated) {
    auto navigation = webViewController_ ? webViewController_->navigationController() : nullptr;
    if (navigation)
        navigation->setNavigationBarHidden(NSString::boolValue(hidden.value_or("")),
                                           NSString::boolValue(animated.value_or("")));
}

Ref<UIBarButtonItem> NBWebViewKit::createNavigationBarButton(const std::optional<std::string>& title,
                                                             const std::optional<std::string>& script) {
    WeakRef<NBWebViewKit> weak = self<NBWebViewKit>();
    UIBarButtonItem::Action action = [weak](const Ref<UIBarButtonItem>& sender) {
        if (auto kit = weak.lock()) kit->onClickBarButton(sender);
    };
    Ref<UIBarButtonItem> button;
    if (title == std::optional<std::string>("取消")) {
        button = make<UIBarButtonItem>(UIBarButtonSystemItem::Cancel, self<NBWebViewKit>(), action);
    } else if (title == std::optional<std::string>("完成")) {
        button = make<UIBarButtonItem>(UIBarButtonSystemItem::Done, self<NBWebViewKit>(), action);
    } else {
        button = make<UIBarButtonItem>(title.value_or(""), UIBarButtonItemStyle::Bordered, self<NBWebViewKit>(), action);
    }
    std::erase_if(bindings_, [](const auto& binding) { return binding.first.expired(); });
    if (script) bindings_.emplace_back(button, *script);
    return button;
}

std::optional<std::string> NBWebViewKit::bindingJS(const Ref<UIBarButtonItem>& button) const {
    for (const auto& [bound, script] : bindings_)
        if (bound.lock() == button) return script;
    return std::nullopt;
}

void NBWebViewKit::onClickBarButton(const Ref<UIBarButtonItem>& button) {
    auto script = bindingJS(button);
    if (script && webViewController_ && webViewController_->webview())
        webViewController_->webview()->stringByEvaluatingJavaScriptFromString(*script);
}

bool NBWebViewKit::performBridgeCall(const Ref<NSURL>& url) {
    if (!url || !url->scheme() || !equalsIgnoringCase(*url->scheme(), kBridgeScheme)) return false;
    std::string name = url->host().value_or("");
    std::replace(name.begin(), name.end(), '-', ':');
    const auto& operations = bridgeOperations();
    auto found = operations.find(name);
    if (found == operations.end()) {
        NSLog("NBWebViewKit refuses the page call " + name);
        return true;
    }
    BridgeArguments arguments(found->second.arguments);
    const auto components = url->pathComponents();
    for (std::size_t i = 1; i < components.size() && i - 1 < arguments.size(); ++i)
        arguments[i - 1] = NSString::stringByRemovingPercentEncoding(components[i]);
    auto keep = self<NBWebViewKit>();
    found->second.perform(*this, arguments);
    return true;
}

// Closing before telling: a page the delegate opens from the news gets a
// window of its own, which this close then leaves alone.
void NBWebViewKit::webViewControllerDidCloseWithLastError(const Ref<NBWebViewController>&, const Ref<NSError>& error) {
    auto keep = self<NBWebViewKit>();
    doClose();
    if (auto delegate = delegate_.lock()) delegate->webViewKitDidFinishedWithError(keep, error);
}

void NBWebViewKit::webViewControllerDidFailLoadWithError(const Ref<NBWebViewController>&, const Ref<NSError>& error) {
    auto delegate = delegate_.lock();
    if (!delegate || !error) return;
    if (error->domain() == NSURLErrorDomain && error->code() == NSURLErrorCancelled) {
        delegate->webViewKitDidLoadWithContentError(self<NBWebViewKit>(), error);
    } else if (error->domain() == "WebKitErrorDomain" && error->code() == 102) {
        return;
    } else {
        delegate->webViewKitDidLoadWithNetworkError(self<NBWebViewKit>(), error);
    }
}

bool NBWebViewKit::webViewControllerShouldStartLoadWithRequest(const Ref<NBWebViewController>&,
                                                               const Ref<NSURLRequest>& request,
                                                               UIWebViewNavigationType type) {
    if (performBridgeCall(request ? request->URL() : nullptr)) return false;
    auto delegate = delegate_.lock();
    return !delegate || delegate->webViewKitShouldStartLoadWithRequest(self<NBWebViewKit>(), request, type);
}

bool NBWebViewKit::webViewControllerShouldAutorotateToInterfaceOrientation(const Ref<NBWebViewController>&,
                                                                           UIInterfaceOrientation orientation) {
    auto delegate = delegate_.lock();
    return !delegate || delegate->webViewKitShouldAutorotateToInterfaceOrientation(self<NBWebViewKit>(), orientation);
}

UIInterfaceOrientationMask NBWebViewKit::supportedInterfaceOrientationsWithWebVC(const Ref<NBWebViewController>&) {
    auto delegate = delegate_.lock();
    return delegate ? delegate->supportedInterfaceOrientationsWithWebkit(self<NBWebViewKit>())
                    : UIInterfaceOrientationMaskAll;
}

bool NBWebViewKit::shouldAutorotateWithWebVC(const Ref<NBWebViewController>&) {
    auto delegate = delegate_.lock();
    return !delegate || delegate->shouldAutorotateWithWebkit(self<NBWebViewKit>());
}
