#include "uikit/UIApplication.h"

#include <algorithm>
#include <cctype>
#include <map>

#include "foundation/DispatchQueue.h"
#include "foundation/NSNotificationCenter.h"
#include "uikit/AnimationTransaction.h"
#include "uikit/UIDevice.h"
#include "uikit/UIScreen.h"
#include "uikit/UIWindow.h"
#include "uikit/UIWindowScene.h"

const char* const UIApplicationDidFinishLaunchingNotification = "UIApplicationDidFinishLaunchingNotification";
const char* const UIApplicationDidBecomeActiveNotification = "UIApplicationDidBecomeActiveNotification";
const char* const UIApplicationWillResignActiveNotification = "UIApplicationWillResignActiveNotification";
const char* const UIApplicationDidEnterBackgroundNotification = "UIApplicationDidEnterBackgroundNotification";
const char* const UIApplicationWillEnterForegroundNotification = "UIApplicationWillEnterForegroundNotification";
const char* const UIApplicationWillTerminateNotification = "UIApplicationWillTerminateNotification";
const char* const UIApplicationDidReceiveMemoryWarningNotification = "UIApplicationDidReceiveMemoryWarningNotification";
const char* const UIApplicationOpenURLOptionsSourceApplicationKey = "UIApplicationOpenURLOptionsSourceApplicationKey";
const char* const UIApplicationOpenURLOptionsAnnotationKey = "UIApplicationOpenURLOptionsAnnotationKey";

namespace {

Ref<UIApplication>& sharedSlot() {
    static Ref<UIApplication> application;
    return application;
}

std::map<std::string, UIApplication::SimulatedApp>& simulatedApps() {
    static std::map<std::string, UIApplication::SimulatedApp> apps;
    return apps;
}

std::string lowercased(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(), [](unsigned char c) { return std::tolower(c); });
    return text;
}

std::string schemeOf(const Ref<NSURL>& url) { return url ? lowercased(url->scheme().value_or("")) : std::string(); }

// An application with its one scene, not yet active.
Ref<UIApplication> freshApplication() {
    auto application = make<UIApplication>();
    sharedSlot() = application;
    return application;
}

void post(const char* name, const Ref<UIApplication>& application, Dictionary userInfo = {}) {
    NSNotificationCenter::defaultCenter()->postNotificationName(name, application, std::move(userInfo));
}

}  // namespace

Ref<UIApplication> UIApplication::sharedApplication() {
    if (!sharedSlot()) {
        auto application = freshApplication();
        application->scenes_.push_back(make<UIWindowScene>());
        application->moveTo(UIApplicationState::Active);
    }
    return sharedSlot();
}

std::vector<Ref<UIWindow>> UIApplication::windows() const {
    auto ordered = windows_;
    std::stable_sort(ordered.begin(), ordered.end(),
                     [](const Ref<UIWindow>& a, const Ref<UIWindow>& b) { return a->windowLevel() < b->windowLevel(); });
    return ordered;
}

void UIApplication::windowVisibilityChanged(const Ref<UIWindow>& window, bool visible) {
    std::erase(windows_, window);
    if (visible) {
        windows_.push_back(window);
        return;
    }
    if (keyWindow() == window) {
        keyWindow_.reset();
        window->resignKeyWindow();
        auto remaining = windows();
        if (!remaining.empty()) makeKey(remaining.back());
    }
}

void UIApplication::makeKey(const Ref<UIWindow>& window) {
    auto previous = keyWindow();
    if (previous == window) return;
    keyWindow_ = window;
    if (previous) previous->resignKeyWindow();
    if (window) window->becomeKeyWindow();
}

// --- Life cycle ---

Ref<UIApplication> UIApplication::launch(const Ref<UIApplicationDelegate>& delegate, const Dictionary& launchOptions) {
    auto application = freshApplication();
    application->scenes_.push_back(make<UIWindowScene>());
    application->moveTo(UIApplicationState::Inactive);
    application->delegate_ = delegate;
    if (delegate) delegate->applicationDidFinishLaunchingWithOptions(application, launchOptions);
    post(UIApplicationDidFinishLaunchingNotification, application, launchOptions);
    application->becomeActive();
    return application;
}

void UIApplication::moveTo(UIApplicationState state) {
    state_ = state;
    UISceneActivationState sceneState = state == UIApplicationState::Active     ? UISceneActivationState::ForegroundActive
                                        : state == UIApplicationState::Inactive ? UISceneActivationState::ForegroundInactive
                                                                                : UISceneActivationState::Background;
    for (const auto& scene : scenes_) scene->setActivationState(sceneState);
}

void UIApplication::becomeActive() {
    if (state_ == UIApplicationState::Active) return;
    auto me = self<UIApplication>();
    moveTo(UIApplicationState::Active);
    if (delegate_) delegate_->applicationDidBecomeActive(me);
    post(UIApplicationDidBecomeActiveNotification, me);
}

void UIApplication::resignActive() {
    if (state_ != UIApplicationState::Active) return;
    auto me = self<UIApplication>();
    if (delegate_) delegate_->applicationWillResignActive(me);
    post(UIApplicationWillResignActiveNotification, me);
    moveTo(UIApplicationState::Inactive);
}

void UIApplication::enterBackground() {
    resignActive();
    if (state_ != UIApplicationState::Inactive) return;
    auto me = self<UIApplication>();
    moveTo(UIApplicationState::Background);
    if (delegate_) delegate_->applicationDidEnterBackground(me);
    post(UIApplicationDidEnterBackgroundNotification, me);
}

void UIApplication::leaveBackground() {
    if (state_ != UIApplicationState::Background) return;
    auto me = self<UIApplication>();
    if (delegate_) delegate_->applicationWillEnterForeground(me);
    post(UIApplicationWillEnterForegroundNotification, me);
    moveTo(UIApplicationState::Inactive);
}

void UIApplication::enterForeground() {
    leaveBackground();
    becomeActive();
}

void UIApplication::terminate() {
    if (terminated_) return;
    terminated_ = true;
    auto me = self<UIApplication>();
    if (delegate_) delegate_->applicationWillTerminate(me);
    post(UIApplicationWillTerminateNotification, me);
}

void UIApplication::receiveMemoryWarning() { post(UIApplicationDidReceiveMemoryWarningNotification, self<UIApplication>()); }

void UIApplication::resetForTesting() {
    if (auto responder = UIResponder::currentFirstResponder()) responder->resignFirstResponder();
    sharedSlot().reset();
    removeAllSimulatedApps();
    UIScreen::useStandardScreen();
    UIDevice::resetCurrentDevice();
    AnimationTransaction::reset();
}

// --- Other apps ---

void UIApplication::installSimulatedApp(std::string scheme, SimulatedApp handler) {
    scheme = lowercased(std::move(scheme));
    if (handler)
        simulatedApps()[scheme] = std::move(handler);
    else
        simulatedApps().erase(scheme);
}

void UIApplication::removeAllSimulatedApps() { simulatedApps().clear(); }

bool UIApplication::canOpenURL(const Ref<NSURL>& url) const {
    std::string scheme = schemeOf(url);
    if (scheme.empty()) return false;
    return simulatedApps().count(scheme) || scheme == "http" || scheme == "https";
}

bool UIApplication::openURL(const Ref<NSURL>& url) {
    openURL(url, {}, nullptr);
    return canOpenURL(url);
}

void UIApplication::openURL(const Ref<NSURL>& url, const Dictionary&, OpenCompletion completion) {
    bool opens = canOpenURL(url);
    SimulatedApp handler;
    if (url) {
        openedURLs_.push_back(url->absoluteString());
        if (auto app = simulatedApps().find(schemeOf(url)); app != simulatedApps().end()) handler = app->second;
    }
    auto me = self<UIApplication>();
    DispatchQueue::main()->async([me, url, opens, handler = std::move(handler), completion = std::move(completion)] {
        if (opens) me->switchToOtherApp(url, handler);
        if (completion) completion(opens);
    });
}

void UIApplication::switchToOtherApp(const Ref<NSURL>& url, const SimulatedApp& handler) {
    enterBackground();
    if (handler) handler(url);
    // The user comes back, unless the other app's answer already brought the app back.
    auto me = self<UIApplication>();
    DispatchQueue::main()->async([me] { me->enterForeground(); });
}

void UIApplication::openURLIntoApp(const Ref<NSURL>& url, std::string sourceApplication,
                                   std::function<void(bool handled)> handled) {
    auto me = self<UIApplication>();
    DispatchQueue::main()->async([me, url, sourceApplication = std::move(sourceApplication),
                                  handled = std::move(handled)] {
        me->leaveBackground();
        Dictionary options;
        if (!sourceApplication.empty()) options.set(UIApplicationOpenURLOptionsSourceApplicationKey, sourceApplication);
        const bool taken = me->delegate_ && url && me->delegate_->applicationOpenURLOptions(me, url, options);
        me->becomeActive();
        if (handled) handled(taken);
    });
}
