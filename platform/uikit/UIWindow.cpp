#include "uikit/UIWindow.h"

#include <algorithm>

#include "foundation/DispatchQueue.h"
#include "uikit/UIApplication.h"
#include "uikit/UIScreen.h"
#include "uikit/UIViewController.h"
#include "uikit/UIWindowScene.h"

UIWindow::UIWindow() : UIView(UIScreen::mainScreen()->bounds()) {}

UIWindow::UIWindow(const Ref<UIWindowScene>& scene) : UIView(UIScreen::mainScreen()->bounds()), windowScene_(scene) {}

void UIWindow::didCreate() {
    UIView::didCreate();
    UIView::setHidden(true);
    if (windowScene_.expired()) {
        const auto& scenes = UIApplication::sharedApplication()->connectedScenes();
        if (!scenes.empty()) windowScene_ = scenes.front();
    }
}

Ref<UIScreen> UIWindow::screen() const { return UIScreen::mainScreen(); }

Ref<UIWindow> UIWindow::window() const { return std::const_pointer_cast<UIWindow>(self<UIWindow>()); }

Ref<UIResponder> UIWindow::nextResponder() const { return UIApplication::sharedApplication(); }

void UIWindow::setHidden(bool hidden) {
    Ref<UIWindow> me = self<UIWindow>();
    changes_.make([me, hidden] { me->changes_.hold([&] { me->changeVisibility(hidden); }); }, !isHidden());
}

void UIWindow::changeVisibility(bool hidden) {
    if (hidden == isHidden()) return;
    auto app = UIApplication::sharedApplication();
    Ref<UIWindow> me = self<UIWindow>();
    if (hidden) {
        hideRootView();
        UIView::setHidden(true);
        app->windowVisibilityChanged(me, false);
    } else {
        UIView::setHidden(false);
        app->windowVisibilityChanged(me, true);
        showRootView();
    }
}

void UIWindow::makeKeyAndVisible() {
    Ref<UIWindow> me = self<UIWindow>();
    changes_.make(
        [me] {
            me->changes_.hold([&] { me->changeVisibility(false); });
            me->makeKeyWindow();
        },
        !isHidden());
}

void UIWindow::makeKeyWindow() { UIApplication::sharedApplication()->makeKey(self<UIWindow>()); }

bool UIWindow::isKeyWindow() const { return UIApplication::sharedApplication()->keyWindow().get() == this; }

void UIWindow::setRootViewController(const Ref<UIViewController>& controller) {
    Ref<UIWindow> me = self<UIWindow>();
    changes_.make(
        [me, controller] {
            me->changes_.hold([&] {
                if (controller == me->rootViewController_) return;
                me->hideRootView();
                me->rootViewController_ = controller;
                if (!me->isHidden()) me->showRootView();
            });
        },
        !isHidden());
}

void UIWindow::showRootView() {
    if (rootViewShown_ || !rootViewController_) return;
    rootViewShown_ = true;
    Ref<UIViewController> controller = rootViewController_;
    Ref<UIView> view = controller->view();
    view->setFrame(bounds());
    view->setAutoresizingMask(UIViewAutoresizingFlexibleWidth | UIViewAutoresizingFlexibleHeight);
    controller->beginAppearanceTransition(true, false);
    insertSubview(view, 0);
    controller->endAppearanceTransition();
}

void UIWindow::hideRootView() {
    if (!rootViewShown_) return;
    rootViewShown_ = false;
    Ref<UIViewController> controller = rootViewController_;
    controller->beginAppearanceTransition(false, false);
    if (auto view = controller->viewIfLoaded(); view && view->superview().get() == this) view->removeFromSuperview();
    controller->endAppearanceTransition();
}

UIEdgeInsets UIWindow::safeAreaInsets() const {
    auto screenInsets = screen()->safeAreaInsets(UIApplication::sharedApplication()->isStatusBarHidden());
    CGRect screenBounds = screen()->bounds();
    CGRect frame = this->frame();
    auto clamp = [](CGFloat amount) { return std::max(0.0, amount); };
    return {clamp(CGRectGetMinY(screenBounds) + screenInsets.top - CGRectGetMinY(frame)),
            clamp(CGRectGetMinX(screenBounds) + screenInsets.left - CGRectGetMinX(frame)),
            clamp(CGRectGetMaxY(frame) - (CGRectGetMaxY(screenBounds) - screenInsets.bottom)),
            clamp(CGRectGetMaxX(frame) - (CGRectGetMaxX(screenBounds) - screenInsets.right))};
}

void UIWindow::scheduleLayoutPass() {
    if (layoutPassPosted_) return;
    layoutPassPosted_ = true;
    WeakRef<UIWindow> weak = self<UIWindow>();
    DispatchQueue::main()->async([weak] {
        if (auto window = weak.lock()) {
            window->layoutPassPosted_ = false;
            window->layoutIfNeeded();
        }
    });
}
