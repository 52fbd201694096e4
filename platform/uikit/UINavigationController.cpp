#include "uikit/UINavigationController.h"

#include <algorithm>

#include "foundation/DispatchQueue.h"
#include "uikit/ControllerContainerView.h"
#include "uikit/UIGestureRecognizer.h"
#include "uikit/UINavigationItem.h"
#include "uikit/UIPanGestureRecognizer.h"
#include "uikit/UIScreen.h"
#include "uikit/UITabBarController.h"

namespace {

bool contains(const std::vector<Ref<UIViewController>>& stack, const Ref<UIViewController>& controller) {
    return std::find(stack.begin(), stack.end(), controller) != stack.end();
}

}  // namespace

void UINavigationController::didCreate() {
    UIViewController::didCreate();
    navigationBar_ = make<UINavigationBar>();
    WeakRef<UINavigationController> weak = self<UINavigationController>();
    navigationBar_->setBackAction([weak] {
        if (auto navigation = weak.lock()) navigation->popViewControllerAnimated(true);
    });
    interactivePopGestureRecognizer_ = make<UIGestureRecognizer>();
    // UIKit's initialiser pushes the root, so subclasses see that push too.
    if (auto root = std::move(pendingRoot_)) pushViewController(root, false);
}

void UINavigationController::loadView() {
    auto container = make<ControllerContainerView>(UIScreen::mainScreen()->bounds());
    WeakRef<UINavigationController> weak = self<UINavigationController>();
    container->setLayoutHandler([weak] {
        if (auto navigation = weak.lock()) navigation->layoutContent();
    });
    container->addSubview(navigationBar_);
    container->addGestureRecognizer(interactivePopGestureRecognizer_);
    setView(container);
}

// --- The stack ---

Ref<UIViewController> UINavigationController::topViewController() const {
    const auto& stack = viewControllers();
    return stack.empty() ? nullptr : stack.back();
}

Ref<UIViewController> UINavigationController::visibleViewController() const {
    if (auto presented = presentedViewController()) return presented;
    return topViewController();
}

void UINavigationController::pushViewController(const Ref<UIViewController>& controller, bool animated) {
    if (!controller) return;
    changeStack(
        [&](std::vector<Ref<UIViewController>>& stack) {
            if (contains(stack, controller)) return false;
            stack.push_back(controller);
            return true;
        },
        animated);
}

Ref<UIViewController> UINavigationController::popViewControllerAnimated(bool animated) {
    Ref<UIViewController> popped;
    changeStack(
        [&](std::vector<Ref<UIViewController>>& stack) {
            if (stack.size() < 2) return false;
            popped = stack.back();
            stack.pop_back();
            return true;
        },
        animated);
    return popped;
}

std::vector<Ref<UIViewController>> UINavigationController::popToViewController(const Ref<UIViewController>& controller,
                                                                               bool animated) {
    std::vector<Ref<UIViewController>> popped;
    changeStack(
        [&](std::vector<Ref<UIViewController>>& stack) {
            auto at = std::find(stack.begin(), stack.end(), controller);
            if (at == stack.end()) return false;
            popped.assign(at + 1, stack.end());
            stack.erase(at + 1, stack.end());
            return !popped.empty();
        },
        animated);
    return popped;
}

std::vector<Ref<UIViewController>> UINavigationController::popToRootViewControllerAnimated(bool animated) {
    auto stack = viewControllers();
    if (stack.empty()) return {};
    return popToViewController(stack.front(), animated);
}

void UINavigationController::setViewControllers(const std::vector<Ref<UIViewController>>& controllers,
                                                bool animated) {
    changeStack(
        [&](std::vector<Ref<UIViewController>>& stack) {
            stack.clear();
            for (const auto& controller : controllers)
                if (controller && !contains(stack, controller)) stack.push_back(controller);
            return true;
        },
        animated);
}

void UINavigationController::changeStack(const std::function<bool(std::vector<Ref<UIViewController>>&)>& edit,
                                         bool animated) {
    // The callbacks this runs may let the host's last reference go.
    Ref<UINavigationController> keepAlive = self<UINavigationController>();
    bool inWindowHierarchy = isInWindowHierarchy();
    if (!changes_.defers(inWindowHierarchy)) finishRunningTransitions();
    auto stack = viewControllers();
    if (!edit(stack)) return;
    requested_ = StackChange{std::move(stack), animated};
    WeakRef<UINavigationController> weak = keepAlive;
    changes_.make(
        [weak] {
            if (auto navigation = weak.lock()) navigation->makeRequestedChange();
        },
        inWindowHierarchy);
}

void UINavigationController::makeRequestedChange() {
    Ref<UINavigationController> keepAlive = self<UINavigationController>();
    // One transition at a time: the end of one may start the change its
    // callbacks asked, which then finishes too.
    finishRunningTransitions();
    if (!requested_) return;
    auto change = std::move(*requested_);
    requested_.reset();
    transition(std::move(change.stack), change.animated);
}

void UINavigationController::transition(std::vector<Ref<UIViewController>> stack, bool animated) {
    Ref<UINavigationController> me = self<UINavigationController>();
    auto oldStack = stack_;
    auto oldTop = oldStack.empty() ? nullptr : oldStack.back();
    auto newTop = stack.empty() ? nullptr : stack.back();

    std::vector<Ref<UIViewController>> added, removed;
    for (const auto& controller : stack)
        if (!contains(oldStack, controller)) added.push_back(controller);
    for (const auto& controller : oldStack)
        if (!contains(stack, controller)) removed.push_back(controller);
    stack_ = stack;
    changes_.hold([&] {
        for (const auto& controller : added) addChildViewController(controller);
        for (const auto& controller : removed) controller->willMoveToParentViewController(nullptr);
        // The leaving controllers stay children until the transition ends.
        auto children = stack;
        for (const auto& controller : removed) children.push_back(controller);
        reorderChildViewControllers(children);
        updateBarItems();

        bool topChanges = newTop != oldTop;
        bool onScreen = isViewLoaded() && isAppearingOrVisible();
        animated = animated && onScreen && topChanges;
        auto delegate = this->delegate();
        if (topChanges && newTop) {
            if (isViewLoaded()) newTop->loadViewIfNeeded();
            if (delegate) delegate->willShowViewController(me, newTop, animated);
            if (onScreen) {
                if (oldTop) oldTop->beginAppearanceTransition(false, animated);
                // Unless a callback has taken the navigation controller off screen.
                if (isAppearingOrVisible()) newTop->beginAppearanceTransition(true, animated);
            }
            if (isViewLoaded()) installView(newTop);
        }
        layoutContent();

        // The navigation controller keeps this block until the transition ends
        // (finishTransitionNow_): it holds the controller and its delegate
        // weakly, or a transition still running when the controller is let go
        // would keep it, and all it shows, for good.
        WeakRef<UINavigationController> weakMe = me;
        WeakRef<UINavigationControllerDelegate> weakDelegate = delegate;
        auto finish = [weakMe, oldTop, newTop, stack, added, removed, topChanges, onScreen, animated, weakDelegate] {
            auto me = weakMe.lock();
            if (!me) return;
            me->changes_.hold([&] {
                auto delegate = weakDelegate.lock();
                if (oldTop && oldTop != newTop)
                    if (auto oldView = oldTop->viewIfLoaded(); oldView && oldView->superview() == me->viewIfLoaded())
                        oldView->removeFromSuperview();
                me->reorderChildViewControllers(stack);
                for (const auto& controller : removed) controller->removeFromParentViewController();
                if (topChanges && onScreen) {
                    if (oldTop) oldTop->endAppearanceTransition();
                    if (newTop) newTop->endAppearanceTransition();
                }
                me->layoutContent();
                for (const auto& controller : added) controller->didMoveToParentViewController(me);
                if (topChanges && newTop && delegate) delegate->didShowViewController(me, newTop, animated);
            });
        };
        if (!animated) {
            finish();
            return;
        }
        auto done = std::make_shared<bool>(false);
        finishTransitionNow_ = [done, finish] {
            if (*done) return;
            *done = true;
            finish();
        };
        WeakRef<UINavigationController> weak = me;
        DispatchQueue::main()->after(kTransitionDuration, [weak, done, finish] {
            if (*done) return;
            *done = true;
            if (auto navigation = weak.lock()) navigation->finishTransitionNow_ = nullptr;
            finish();
        });
    });
}

void UINavigationController::finishRunningTransitions() {
    while (finishTransitionNow_) {
        auto finish = std::move(finishTransitionNow_);
        finishTransitionNow_ = nullptr;
        finish();
    }
}

void UINavigationController::updateBarItems() {
    std::vector<Ref<UINavigationItem>> items;
    for (const auto& controller : viewControllers()) items.push_back(controller->navigationItem());
    navigationBar_->setItems(std::move(items));
}

// --- Appearance and layout ---

std::vector<Ref<UIViewController>> UINavigationController::childrenForAppearance() {
    // The top of the stack shown, not of one asked and not made yet: that
    // one appears when it is made.
    if (stack_.empty()) return {};
    auto top = stack_.back();
    installView(top);
    return {top};
}

void UINavigationController::installView(const Ref<UIViewController>& controller) {
    auto container = view();
    auto childView = controller->view();
    if (childView->superview() != container) container->insertSubviewBelowSubview(childView, navigationBar_);
    layoutContent();
}

void UINavigationController::setNavigationBarHidden(bool hidden, bool) {
    if (hidden == navigationBar_->isHidden()) return;
    navigationBar_->setHidden(hidden);
    layoutContent();
}

bool UINavigationController::hidesBottomBar() const {
    const auto& stack = viewControllers();
    return std::any_of(stack.begin() + (stack.empty() ? 0 : 1), stack.end(),
                       [](const Ref<UIViewController>& c) { return c->hidesBottomBarWhenPushed(); });
}

void UINavigationController::layoutContent() {
    if (auto tabs = tabBarController()) tabs->layoutContent();
    auto container = viewIfLoaded();
    if (!container) return;
    CGRect bounds = container->bounds();
    CGFloat top = container->safeAreaInsets().top;
    navigationBar_->setFrame(CGRectMake(0, top, bounds.size.width, UINavigationBar::kHeight));
    CGFloat barBottom = top + UINavigationBar::kHeight;
    CGRect belowBar = CGRectMake(0, barBottom, bounds.size.width, std::max<CGFloat>(0, bounds.size.height - barBottom));
    for (const auto& controller : childViewControllers()) {
        auto childView = controller->viewIfLoaded();
        if (!childView || childView->superview() != container) continue;
        bool underBar = navigationBar_->isTranslucent() && (controller->edgesForExtendedLayout() & UIRectEdgeTop);
        childView->setFrame(navigationBar_->isHidden() || underBar ? bounds : belowBar);
    }
}

Ref<UITabBarItem> UINavigationController::tabBarItem() {
    if (hasOwnTabBarItem() || viewControllers().empty()) return UIViewController::tabBarItem();
    return viewControllers().front()->tabBarItem();
}

void UINavigationController::handleNavigationTransition(const Ref<UIPanGestureRecognizer>& pan) {
    if (!pan || pan->state() != UIGestureRecognizerState::Ended || stack_.size() < 2) return;
    auto container = view();
    const CGFloat moved = pan->translationInView(container).x;
    const CGFloat speed = pan->velocityInView(container).x;
    if (moved > container->bounds().size.width / 2 || speed > 300) popViewControllerAnimated(true);
}
