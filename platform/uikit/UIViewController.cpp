#include "uikit/UIViewController.h"

#include <algorithm>
#include <utility>

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
    // The children that start with this controller end with it, though a
    // container shows another child by then (a tab selected, a screen pushed
    // while it is covered): one asked again at the end would leave the one
    // that started half-way for good.
    changingChildren_.clear();
    for (const auto& child : childrenForAppearance()) {
        changingChildren_.push_back(child);
        child->beginAppearanceTransition(isAppearing, animated);
    }
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
    auto children = std::exchange(changingChildren_, {});
    for (const auto& weakChild : children)
        if (auto child = weakChild.lock()) child->endAppearanceTransition();
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

void UIViewController::endPresentationTransition(bool animated, std::function<void()> finish) {
    if (!animated) {
        finish();
        return;
    }
    // The main queue owns the end until it runs; the presenter only looks
    // at it, to run it sooner when the next presentation or dismissal comes.
    auto pending = std::make_shared<PendingTransitionEnd>(PendingTransitionEnd{false, std::move(finish)});
    runningPresentation_ = pending;
    WeakRef<UIViewController> weak = self<UIViewController>();
    DispatchQueue::main()->after(kTransitionDuration, [weak, pending] {
        if (pending->done) return;
        pending->done = true;
        if (auto presenter = weak.lock()) presenter->presentationChanges_.hold(pending->finish);
        else pending->finish();
    });
}

void UIViewController::finishRunningPresentations() {
    // This controller's presentation or dismissal, then those of the
    // controllers that present it: a controller that is being dismissed
    // presents nothing more.
    for (Ref<UIViewController> presenter = self<UIViewController>(); presenter;
         presenter = presenter->presenting_.lock()) {
        while (auto pending = presenter->runningPresentation_.lock()) {
            presenter->runningPresentation_.reset();
            if (pending->done) continue;
            pending->done = true;
            presenter->presentationChanges_.hold(pending->finish);
        }
    }
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

bool UIViewController::isInWindowHierarchy() const {
    const UIViewController* top = this;
    Ref<UIViewController> above;
    while ((above = top->parent_.lock()) || (above = top->presenting_.lock())) top = above.get();
    return top->appearance_ != Appearance::Disappeared || top->presented_ || (top->view_ && top->view_->window());
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
    afterPresentationChanges([presenter = outermostAncestor(), controller, animated, completion] {
        presenter->presentationChanges_.hold([&] { presenter->present(controller, animated, completion); });
    });
}

bool UIViewController::presentationWaits() {
    auto presenter = outermostAncestor();
    return presenter->heldPresentationChanges().defers(presenter->isInWindowHierarchy());
}

void UIViewController::afterPresentationChanges(std::function<void()> then) {
    auto presenter = outermostAncestor();
    presenter->heldPresentationChanges().make(std::move(then), presenter->isInWindowHierarchy());
}

HeldChanges& UIViewController::heldPresentationChanges() {
    // A controller being presented or dismissed presents and dismisses once
    // its presenter's callbacks have returned.
    HeldChanges* held = &presentationChanges_;
    for (auto presenter = presenting_.lock(); presenter; presenter = presenter->presenting_.lock())
        if (presenter->presentationChanges_.holding()) held = &presenter->presentationChanges_;
    return *held;
}

void UIViewController::present(const Ref<UIViewController>& controller, bool animated, const Completion& completion) {
    finishRunningPresentations();
    Ref<UIViewController> presenter = self<UIViewController>();
    if (presented_) {
        NSLog("Warning: Attempt to present " + controller->description() + " on " + description() +
              " which is already presenting " + presented_->description());
        return;
    }
    auto presenterView = viewIfLoaded();
    auto window = presenterView ? presenterView->window() : nullptr;
    if (!window || controller->presenting_.lock() || controller->parentViewController()) {
        NSLog("Warning: Attempt to present " + controller->description() + " on " + description() +
              " whose view is not in the window hierarchy!");
        return;
    }
    presented_ = controller;
    controller->presenting_ = presenter;
    bool coversPresenter = controller->modalPresentationStyle_ == UIModalPresentationStyle::FullScreen;

    Ref<UIView> view = controller->view();
    view->setFrame(window->bounds());
    view->setAutoresizingMask(UIViewAutoresizingFlexibleWidth | UIViewAutoresizingFlexibleHeight);
    if (coversPresenter) beginAppearanceTransition(false, animated);
    controller->beginAppearanceTransition(true, animated);
    window->addSubview(view);
    endPresentationTransition(animated, [presenter, controller, coversPresenter, completion] {
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
    // A controller presenting nothing dismisses itself: when the dismissal is
    // made (it may wait), only while its presenter still presents it. Bound
    // to the presenter alone, a dismissal held behind another and a new
    // presentation took the new screen away instead.
    const bool itself = !outermost->presented_;
    Ref<UIViewController> presenter = itself ? outermost->presenting_.lock() : outermost;
    if (!presenter) return;
    WeakRef<UIViewController> asked = outermost;
    presenter->heldPresentationChanges().make(
        [presenter, asked, itself, animated, completion] {
            presenter->presentationChanges_.hold([&] {
                presenter->finishRunningPresentations();
                if (presenter->presented_ && (!itself || presenter->presented_ == asked.lock()))
                    presenter->dismissPresented(animated, completion);
            });
        },
        presenter->isInWindowHierarchy());
}

void UIViewController::dismissPresented(bool animated, Completion completion) {
    Ref<UIViewController> presenter = self<UIViewController>();
    Ref<UIViewController> presented = presented_;
    presented->presentationChanges_.hold([&] {
        presented->finishRunningPresentations();
        if (presented->presented_) presented->dismissPresented(false, nullptr);
    });
    auto window = presented->viewIfLoaded() ? presented->viewIfLoaded()->window() : nullptr;
    bool uncoversPresenter = presented->modalPresentationStyle_ == UIModalPresentationStyle::FullScreen;

    presented->beginAppearanceTransition(false, animated);
    if (uncoversPresenter && window) {
        presenter->beginAppearanceTransition(true, animated);
        window->insertSubviewBelowSubview(presenter->view(), presented->view());
    }
    endPresentationTransition(animated, [presenter, presented, uncoversPresenter, completion] {
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
