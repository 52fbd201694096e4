#include "kits/pal/NimbusOpenApi_IOS/Common/NBUiKit/NBUiKit.h"

#include <algorithm>

#include "kits/pal/NimbusOpenApi_IOS/Common/NBDataReport.h"
#include "kits/pal/NimbusOpenApi_IOS/Common/NBUiKit/SetHeadImageViewController.h"
#include "kits/pal/NimbusOpenApi_IOS/TcApiTool.h"
#include "uikit/UIApplication.h"
#include "uikit/UIScreen.h"

namespace {

constexpr const char* kScreenCreated = "10653";
constexpr const char* kClosedWithNick = "10659";
constexpr const char* kClosedWithoutNick = "10661";

bool nonEmpty(const std::optional<std::string>& text) { return text && !text->empty(); }

}  // namespace

// A kit that goes while its window shows closes it as doClose would: the
// app's windows come back and the key window is given back.
NBUiKit::~NBUiKit() {
    if (!window_) return;
    MoveOhterWindowIntoFrame();
    shutWindow();
}

Ref<SetHeadImageViewController> NBUiKit::makeScreen(const Ref<setHeadImageDelegate>& delegate,
                                                    const std::optional<std::string>& fileName,
                                                    const std::optional<std::string>& userNick) {
    auto screen = make<SetHeadImageViewController>();
    screen->setEdgesForExtendedLayout(UIRectEdgeAll);
    screen->setFileName(nonEmpty(fileName) ? *fileName : std::string("palPic"));
    if (userNick) screen->setNick(userNick);
    screen->setDelegate(delegate);
    screen->setAppId(appId_);
    return screen;
}

bool NBUiKit::popSetHeadImageViewWnd(const Ref<setHeadImageDelegate>& delegate, const Ref<UIImage>& image,
                                     const std::optional<std::string>& fileName,
                                     const std::optional<std::string>& userNick) {
    if (!image || window_) return false;
    keywindow_ = UIApplication::sharedApplication()->keyWindow();
    MoveOtherWindowOutOfFrame();
    window_ = make<UIWindow>(UIScreen::mainScreen()->bounds());
    window_->makeKeyAndVisible();
    window_->setWindowLevel(UIWindowLevelNormal);
    auto screen = makeScreen(delegate, fileName, userNick);
    window_->setRootViewController(nullptr);
    window_->setRootViewController(screen);
    windowsArray_.push_back(window_);
    NBDataReport::reportData(false, kScreenCreated, appId_, std::nullopt);
    startDelivery(kWindowDeliveryDelay, image, userNick);
    return true;
}

Ref<SetHeadImageViewController> NBUiKit::getHeadImageViewController(const Ref<setHeadImageDelegate>& delegate,
                                                                    const Ref<UIImage>& image,
                                                                    const std::optional<std::string>& fileName,
                                                                    const std::optional<std::string>& userNick) {
    if (!image) return nullptr;
    headImageViewController_ = makeScreen(delegate, fileName, userNick);
    NBDataReport::reportData(false, kScreenCreated, appId_, std::nullopt);
    startDelivery(kHandedOutDeliveryDelay, image, userNick);
    return headImageViewController_;
}

void NBUiKit::startDelivery(double delay, const Ref<UIImage>& image, const std::optional<std::string>& userNick) {
    Dictionary data;
    data.set("image", Value(image));
    if (userNick) data.set("nick", *userNick);
    if (timer_) timer_->invalidate();
    WeakRef<NBUiKit> weak = self<NBUiKit>();
    timer_ = NSTimer::scheduledTimerWithTimeInterval(
        delay, self<NBUiKit>(),
        [weak](const Ref<NSTimer>& timer) {
            if (auto kit = weak.lock()) kit->onTimerSetPic(timer);
        },
        Value(std::move(data)), false);
}

void NBUiKit::onTimerSetPic(const Ref<NSTimer>& timer) {
    const Value data = timer ? timer->userInfo() : Value();
    if (data.dictionary()) {
        if (auto target = headImageScreen()) {
            if (auto nick = data["nick"].stringValue()) target->setNick(nick);
            if (auto image = data["image"].objectAs<UIImage>()) target->setImage(image);
        }
    }
    timer_.reset();
}

Ref<SetHeadImageViewController> NBUiKit::windowScreen() const {
    return window_ ? cast<SetHeadImageViewController>(window_->rootViewController()) : nullptr;
}

Ref<SetHeadImageViewController> NBUiKit::headImageScreen() const {
    auto inWindow = windowScreen();
    return inWindow ? inWindow : headImageViewController_;
}

bool NBUiKit::popWebViewWnd(const std::optional<std::string>& url, const std::optional<std::string>& webTitle,
                            const Ref<NBWebViewKitDelegate>& delegate) {
    if (webViewKit_) return webViewKit_->openWithUrl(url, webTitle, delegate);
    webViewKit_ = make<NBWebViewKit>(url, webTitle, delegate);
    return webViewKit_->open();
}

Ref<NBWebViewController> NBUiKit::getWebViewController(const std::optional<std::string>& url,
                                                       const std::optional<std::string>& webTitle,
                                                       const Ref<NBWebViewKitDelegate>& delegate) {
    if (webViewKit_) webViewKit_->doClose();
    webViewKit_ = make<NBWebViewKit>();
    return webViewKit_->getViewControllerWithUrl(url, webTitle, delegate);
}

bool NBUiKit::setViewControllerData(const Dictionary& data) {
    if (auto inWindow = windowScreen()) return inWindow->setViewControllerData(data);
    if (headImageViewController_) headImageViewController_->setViewControllerData(data);
    return false;
}

bool NBUiKit::setViewControllerResponse(const Ref<APIResponse>& response) {
    if (!response) return false;
    if (auto target = headImageScreen()) return target->setViewControllerResponse(response);
    return false;
}

void NBUiKit::doClose() {
    if (window_) {
        MoveOhterWindowIntoFrame();
        closeWindow();
    }
    headImageViewController_.reset();
}

Ref<UIViewController> NBUiKit::getLoginViewController(const std::optional<std::string>&, const std::vector<std::string>&,
                                                      const std::optional<std::string>&, const Dictionary&,
                                                      const Ref<NimbusLoginDelegate>&, const Ref<NBLoginViewDelegate>&) {
    return nullptr;
}

bool NBUiKit::popLoginWnd(const std::optional<std::string>&, const std::vector<std::string>&,
                          const std::optional<std::string>&, const Dictionary&, const Ref<NimbusLoginDelegate>&,
                          const Ref<NBLoginViewDelegate>&) {
    return true;
}

void NBUiKit::closeWindow() {
    if (!window_) return;
    auto keep = self<NBUiKit>();
    shutWindow();
}

void NBUiKit::shutWindow() {
    if (!window_) return;
    if (auto screen = windowScreen())
        NBDataReport::reportData(false, nonEmpty(screen->nick()) ? kClosedWithNick : kClosedWithoutNick, appId_,
                                 std::nullopt);
    auto window = std::move(window_);
    window_.reset();
    window->setRootViewController(nullptr);
    window->setHidden(true);
    if (auto key = std::move(keywindow_)) key->makeKeyWindow();
    keywindow_.reset();
    if (timer_) timer_->invalidate();
    timer_.reset();
    windowsArray_.clear();
}

void NBUiKit::MoveOtherWindowOutOfFrame() {
    const CGRect screen = UIScreen::mainScreen()->bounds();
    for (const auto& other : UIApplication::sharedApplication()->windows()) {
        if (!TcApiTool::notKeyboardOrAlertWindow(other)) continue;
        const CGRect f = other->frame();
        const CGPoint corners[] = {{f.origin.x, f.origin.y},
                                   {f.origin.x + f.size.width, f.origin.y},
                                   {f.origin.x, f.origin.y + f.size.height},
                                   {f.origin.x + f.size.width, f.origin.y + f.size.height}};
        const bool onScreen = std::any_of(std::begin(corners), std::end(corners),
                                          [&](CGPoint corner) { return CGRectContainsPoint(screen, corner); });
        if (!onScreen) windowsArray_.push_back(other);
    }
    TcApiTool::MoveAllWindowOutOfScreen(windowsArray_, false);
}

void NBUiKit::MoveOhterWindowIntoFrame() {
    TcApiTool::MoveAllWindowIntoScreen(windowsArray_, false);
    windowsArray_.clear();
}
