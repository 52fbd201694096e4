#pragma once

#include <functional>
#include <optional>
#include <vector>

#include "uikit/HeldChanges.h"
#include "uikit/UINavigationBar.h"
#include "uikit/UIViewController.h"

class UIGestureRecognizer;
class UIPanGestureRecognizer;
class UINavigationController;

// What a navigation controller tells its delegate around every change of
// the top screen. Every method is optional.
class UINavigationControllerDelegate {
public:
    virtual ~UINavigationControllerDelegate() = default;
    virtual void willShowViewController(const Ref<UINavigationController>&, const Ref<UIViewController>&, bool) {}
    virtual void didShowViewController(const Ref<UINavigationController>&, const Ref<UIViewController>&, bool) {}
};

// A stack of screens with a bar on top.
//
// Life cycle of a push (a pop is the mirror): the pushed screen loads its
// view (viewDidLoad), the old top hears viewWillDisappear, the new one
// viewWillAppear (the delegate's willShow comes first); once the transition
// ends (0.35 s on the main loop's clock when animated, at once otherwise)
// the old top hears viewDidDisappear, the new one viewDidAppear, and the
// delegate didShow. The callbacks come only while the navigation controller
// itself is on screen. A push or pop during a running transition first
// finishes that transition, and any its end starts. A change of the stack asked inside a
// transition's callbacks (these, the new top's viewDidLoad, the moves
// between parents; and, while the controller is in a window's hierarchy,
// those of any container's transition or any presentation) shows in
// viewControllers() at once and is made when the outermost of them has
// returned, finishing that transition first; so the stack, the children and
// the screen shown agree however changes nest. The screens' appearance
// follows the stack shown, not one asked and not made yet.
// Every change of the stack keeps the controller alive until it returns,
// whichever callback lets the host's last reference go.
//
// Layout: the bar sits under the top safe-area inset (status bar), 44 high.
// The top screen's view fills the controller's view below the bar when the
// bar is shown and opaque, or translucent and the screen does not extend its
// layout at the top; under it when the bar is translucent or hidden.
// A tab bar controller above it hides its tab bar while any pushed screen
// (not the root) asks hidesBottomBarWhenPushed.
class UINavigationController : public UIViewController {
public:
    UINavigationController() = default;
    explicit UINavigationController(Ref<UIViewController> rootViewController)
        : pendingRoot_(std::move(rootViewController)) {}

    // The stack, root first, with a change asked inside a transition's
    // callbacks and not made yet.
    const std::vector<Ref<UIViewController>>& viewControllers() const {
        return requested_ ? requested_->stack : stack_;
    }
    void setViewControllers(const std::vector<Ref<UIViewController>>& controllers, bool animated = false);
    Ref<UIViewController> topViewController() const;
    // The controller presented over the stack, else the top one.
    Ref<UIViewController> visibleViewController() const;

    virtual void pushViewController(const Ref<UIViewController>& controller, bool animated);
    // Nothing when only the root is left; else the popped controller.
    virtual Ref<UIViewController> popViewControllerAnimated(bool animated);
    // The controllers popped (above `controller`); nothing when it is not in the stack.
    std::vector<Ref<UIViewController>> popToViewController(const Ref<UIViewController>& controller, bool animated);
    std::vector<Ref<UIViewController>> popToRootViewControllerAnimated(bool animated);

    Ref<UINavigationBar> navigationBar() const { return navigationBar_; }
    bool isNavigationBarHidden() const { return navigationBar_->isHidden(); }
    void setNavigationBarHidden(bool hidden, bool animated);
    // Enabled unless switched off; the driver's back action uses it when
    // no back button is shown.
    Ref<UIGestureRecognizer> interactivePopGestureRecognizer() const { return interactivePopGestureRecognizer_; }
    // The interactive pop's handler, which a pan recognizer of the app's may
    // drive instead of the edge swipe: a pan that ends having moved the
    // screen right by more than half the view's width, or flung right
    // faster than 300 points a second, pops the top screen, animated; any
    // other pan leaves the stack as it is.
    void handleNavigationTransition(const Ref<UIPanGestureRecognizer>& pan);

    Ref<UINavigationControllerDelegate> delegate() const { return delegate_.lock(); }
    void setDelegate(const Ref<UINavigationControllerDelegate>& delegate) { delegate_ = delegate; }

    // The root controller's, unless set on the navigation controller.
    Ref<UITabBarItem> tabBarItem() override;
    // Whether a pushed screen on the stack asks to hide the bottom bar.
    bool hidesBottomBar() const;
    // Lays the bar and the top screen's view out again.
    void layoutContent();
    std::string className() const override { return "UINavigationController"; }

protected:
    void didCreate() override;
    void loadView() override;
    std::vector<Ref<UIViewController>> childrenForAppearance() override;
    bool forwardsAppearanceOnViewMoves() const override { return false; }

private:
    struct StackChange {
        std::vector<Ref<UIViewController>> stack;
        bool animated;
    };
    // Finishes the running transitions, then asks the stack `edit` makes of
    // the current one (when it answers true).
    void changeStack(const std::function<bool(std::vector<Ref<UIViewController>>&)>& edit, bool animated);
    // Finishes the running transitions, then moves to the stack asked last.
    void makeRequestedChange();
    // Makes `stack` the new stack, moving from the current top to its top.
    void transition(std::vector<Ref<UIViewController>> stack, bool animated);
    // Finishes the transition under way and any its end starts.
    void finishRunningTransitions();
    void installView(const Ref<UIViewController>& controller);
    void updateBarItems();

    Ref<UIViewController> pendingRoot_;
    // The stack; the children also hold the screens leaving during a transition.
    std::vector<Ref<UIViewController>> stack_;
    Ref<UINavigationBar> navigationBar_;
    Ref<UIGestureRecognizer> interactivePopGestureRecognizer_;
    WeakRef<UINavigationControllerDelegate> delegate_;
    // Finishes the transition under way, if any.
    std::function<void()> finishTransitionNow_;
    // A transition's callbacks hold the changes of the stack they ask.
    HeldChanges changes_;
    // The stack asked last and not made yet.
    std::optional<StackChange> requested_;
};
