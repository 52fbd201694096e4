#include "uikit/UIViewController.h"

#include <algorithm>

#include "foundation/DispatchQueue.h"
#include "foundation/NSLog.h"
#include "uikit/UINavigationController.h"
#include "uikit/UINavigationItem.h"
#include "uikit/UIScreen.h"
#include "uikit/UITabBarController.h"
#include "uikit/UITabBarItem.h"
#include "uikit/UIWindow.h"

// --- The root view ---

Ref<UIView> UIViewController::view() {
    if (!view_) {
        loadView();
        if (!view_) setView(make<UIView>(UIScreen::mainScreen()->bounds()));
        viewDidLoad();
    }
    return view_;
}

void UIViewController::setView(const Ref<UIView>& view) {
    if (view_ && view_->owningViewController().get() == this) view_->setOwningViewController(nullptr);
    view_ = view;
    if (view_) view_->setOwningViewController(self<UIViewController>());
}

void UIViewController::loadView() { setView(make<UIView>(UIScreen::mainScreen()->bounds())); }

Ref<UIResponder> UIViewController::nextResponder() const { return view_ ? view_->superview() : nullptr; }

// --- Appearance ---

void UIViewController::beginAppearanceTransition(bool isAppearing, bool animated) {
    Ref<UIViewController> keepAlive = self<UIViewController>();
    if (isAppearing) {
        if (appearance_ == Appearance::Appearing || appearance_ == Appearance::Appeared) return;
        appearance_ = Appearance::Appearing;
        transitionAnimated_ = animated;
        viewWillAppear(animated);
    } else {
        if (appearance_ == Appearance::Disappearing || appearance_ == Appearance::Disappeared) return;
        appearance_ = Appearance::Disappearing;
        transitionAnimated_ = animated;
        viewWillDisappear(animated);
    }
    for (const auto& child : childrenForAppearance()) child->beginAppearanceTransition(isAppearing, animated);
}

void UIViewController::endAppearanceTransition() {
    Ref<UIViewController> keepAlive = self<UIViewController>();
    if (appearance_ == Appearance::Appearing) {
        appearance_ = Appearance::Appeared;
        viewDidAppear(transitionAnimated_);
    } else if (appearance_ == Appearance::Disappearing) {
        appearance_ = Appearance::Disappeared;
        viewDidDisappear(transitionAnimated_);
    } else {
        return;
    }
    for (const auto& child : childrenForAppearance()) child->endAppearanceTransition();
}

bool UIViewController::isAppearingOrVisible() const {
    return appearance_ == Appearance::Appearing || appearance_ == Appearance::Appeared;
}

std::vector<Ref<UIViewController>> UIViewController::childrenForAppearance() {
    std::vector<Ref<UIViewController>> shown;
    if (!view_) return shown;
    for (const auto& child : children_)
        if (auto childView = child->viewIfLoaded(); childView && childView->isDescendantOfView(view_))
            shown.push_back(child);
    return shown;
}

void UIViewController::rootViewWillMoveToWindow(const Ref<UIWindow>& newWindow) {
    auto parent = parent_.lock();
    if (!parent || !parent->forwardsAppearanceOnViewMoves() || parent->appearance_ != Appearance::Appeared) return;
    bool inWindow = view_ && view_->window();
    if (newWindow && !inWindow) beginAppearanceTransition(true, false);
    if (!newWindow && inWindow) beginAppearanceTransition(false, false);
}

void UIViewController::rootViewDidMoveToWindow(const Ref<UIWindow>&) {
    auto parent = parent_.lock();
    if (!parent || !parent->forwardsAppearanceOnViewMoves() || parent->appearance_ != Appearance::Appeared) return;
    endAppearanceTransition();
}

void UIViewController::finishTransition(bool animated, std::function<void()> finish) {
    if (animated)
        DispatchQueue::main()->after(kTransitionDuration, std::move(finish));
    else
        finish();
}

// --- Titles and bar items ---

void UIViewController::setTitle(std::string title) {
    title_ = std::move(title);
    navigationItem()->setTitle(title_);
    tabBarItem()->setTitle(title_);
}

Ref<UINavigationItem> UIViewController::navigationItem() {
    if (!navigationItem_) {
        navigationItem_ = make<UINavigationItem>();
        navigationItem_->setTitle(title_);
    }
    return navigationItem_;
}

Ref<UITabBarItem> UIViewController::tabBarItem() {
    if (!tabBarItem_) {
        tabBarItem_ = make<UITabBarItem>();
        tabBarItem_->setTitle(title_);
    }
    return tabBarItem_;
}

// --- Children ---

void UIViewController::addChildViewController(const Ref<UIViewController>& child) {
    if (!child || child.get() == this || child->parentViewController().get() == this) return;
    if (child->parentViewController()) child->removeFromParentViewController();
    child->willMoveToParentViewController(self<UIViewController>());
    children_.push_back(child);
    child->parent_ = self<UIViewController>();
}

void UIViewController::removeFromParentViewController() {
    auto parent = parent_.lock();
    if (!parent) return;
    Ref<UIViewController> keepAlive = self<UIViewController>();
    std::erase(parent->children_, keepAlive);
    parent_.reset();
    didMoveToParentViewController(nullptr);
}

Ref<UINavigationController> UIViewController::navigationController() const {
    for (auto ancestor = parentViewController(); ancestor; ancestor = ancestor->parentViewController())
        if (auto navigation = cast<UINavigationController>(ancestor)) return navigation;
    return nullptr;
}

Ref<UITabBarController> UIViewController::tabBarController() const {
    for (auto ancestor = parentViewController(); ancestor; ancestor = ancestor->parentViewController())
        if (auto tabs = cast<UITabBarController>(ancestor)) return tabs;
    return nullptr;
}

Ref<UIViewController> UIViewController::outermostAncestor() {
    Ref<UIViewController> outermost = self<UIViewController>();
    while (auto parent = outermost->parentViewController()) outermost = parent;
    return outermost;
}

// --- Presentation ---

Ref<UIViewController> UIViewController::presentedViewController() const {
    auto* outermost = this;
    while (auto parent = outermost->parent_.lock()) outermost = parent.get();
    return outermost->presented_;
}

Ref<UIViewController> UIViewController::presentingViewController() const {
    auto* outermost = this;
    while (auto parent = outermost->parent_.lock()) outermost = parent.get();
    return outermost->presenting_.lock();
}

void UIViewController::presentViewController(const Ref<UIViewController>& controller, bool animated,
                                             Completion completion) {
    if (!controller) return;
    auto presenter = outermostAncestor();
    if (presenter->presented_) {
        NSLog("Warning: Attempt to present " + controller->description() + " on " + presenter->description() +
              " which is already presenting " + presenter->presented_->description());
        return;
    }
    auto presenterView = presenter->viewIfLoaded();
    auto window = presenterView ? presenterView->window() : nullptr;
    if (!window || controller->presenting_.lock() || controller->parentViewController()) {
        NSLog("Warning: Attempt to present " + controller->description() + " on " + presenter->description() +
              " whose view is not in the window hierarchy!");
        return;
    }
    presenter->presented_ = controller;
    controller->presenting_ = presenter;
    bool coversPresenter = controller->modalPresentationStyle_ == UIModalPresentationStyle::FullScreen;

    Ref<UIView> view = controller->view();
    view->setFrame(window->bounds());
    view->setAutoresizingMask(UIViewAutoresizingFlexibleWidth | UIViewAutoresizingFlexibleHeight);
    if (coversPresenter) presenter->beginAppearanceTransition(false, animated);
    controller->beginAppearanceTransition(true, animated);
    window->addSubview(view);
    finishTransition(animated, [presenter, controller, coversPresenter, completion] {
        controller->endAppearanceTransition();
        if (coversPresenter) {
            if (auto covered = presenter->viewIfLoaded()) covered->removeFromSuperview();
            presenter->endAppearanceTransition();
        }
        if (completion) completion();
    });
}

void UIViewController::dismissViewControllerAnimated(bool animated, Completion completion) {
    auto outermost = outermostAncestor();
    if (outermost->presented_)
        outermost->dismissPresented(animated, std::move(completion));
    else if (auto presenter = outermost->presenting_.lock())
        presenter->dismissPresented(animated, std::move(completion));
}

void UIViewController::dismissPresented(bool animated, Completion completion) {
    Ref<UIViewController> presenter = self<UIViewController>();
    Ref<UIViewController> presented = presented_;
    auto window = presented->viewIfLoaded() ? presented->viewIfLoaded()->window() : nullptr;
    if (presented->presented_) presented->dismissPresented(false, nullptr);
    bool uncoversPresenter = presented->modalPresentationStyle_ == UIModalPresentationStyle::FullScreen;

    presented->beginAppearanceTransition(false, animated);
    if (uncoversPresenter && window) {
        presenter->beginAppearanceTransition(true, animated);
        window->insertSubviewBelowSubview(presenter->view(), presented->view());
    }
    finishTransition(animated, [presenter, presented, uncoversPresenter, completion] {
        if (auto view = presented->viewIfLoaded()) view->removeFromSuperview();
        if (presenter->presented_ == presented) presenter->presented_ = nullptr;
        presented->presenting_.reset();
        if (uncoversPresenter) presenter->endAppearanceTransition();
        presented->endAppearanceTransition();
        if (completion) completion();
    });
}

void UIViewController::showDetailViewController(const Ref<UIViewController>& controller, const Ref<NSObject>&) {
    presentViewController(controller, true);
}
