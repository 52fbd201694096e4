#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "uikit/HeldChanges.h"
#include "uikit/UIResponder.h"
#include "uikit/UIView.h"

class UINavigationController;
class UINavigationItem;
class UITabBarController;
class UITabBarItem;
class UIWindow;

// How a presented controller covers its presenter. Every style shows the
// presented view over the whole window. Only full screen takes the
// presenter's view off screen, so only it sends the presenter the disappear
// (and, on dismissal, appear) callbacks; the sheet styles (the default
// automatic style is a page sheet) and the over-full-screen style leave the
// presenter on screen and its callbacks silent, as on the phone since sheets
// became cards.
enum class UIModalPresentationStyle {
    FullScreen = 0,
    PageSheet = 1,
    FormSheet = 2,
    OverFullScreen = 5,
    Automatic = -2,
};

// Orientation masks for the rotation queries (portrait is bit 1, the four
// orientations together 30).
enum UIInterfaceOrientationMask : std::uint32_t {
    UIInterfaceOrientationMaskPortrait = 1u << 1,
    UIInterfaceOrientationMaskLandscapeLeft = 1u << 4,
    UIInterfaceOrientationMaskLandscapeRight = 1u << 3,
    UIInterfaceOrientationMaskPortraitUpsideDown = 1u << 2,
    UIInterfaceOrientationMaskAll = 30,
    UIInterfaceOrientationMaskAllButUpsideDown = 26,
};

// Edges of a screen, as a mask.
enum UIRectEdge : std::uint32_t {
    UIRectEdgeNone = 0,
    UIRectEdgeTop = 1u << 0,
    UIRectEdgeLeft = 1u << 1,
    UIRectEdgeBottom = 1u << 2,
    UIRectEdgeRight = 1u << 3,
    UIRectEdgeAll = 15,
};

enum class UIInterfaceOrientation { Portrait = 1, PortraitUpsideDown = 2, LandscapeRight = 3, LandscapeLeft = 4 };

// A controller of a screen: owns a root view, loaded on first use, and
// hears the view's life cycle in UIKit's order.
//
// Life cycle: `view()` runs loadView then viewDidLoad the first time. The
// appear and disappear callbacks come in pairs through
// begin/endAppearanceTransition, which ignore repeats (a controller that is
// appearing or on screen does not appear again). What drives them:
// - a window showing or dropping its root controller;
// - navigation and tab bar controllers as screens are pushed, popped and
//   selected (see those classes);
// - presentation and dismissal (see UIModalPresentationStyle);
// - a parent: a plain controller passes its transitions on to the children
//   whose views are inside its own, parent first on the way in ("will" of the
//   parent, then of the children; "did" likewise); and a child whose view is
//   put into (or taken out of) the window while the parent is on screen
//   appears (disappears) there and then.
//
// Transitions: animated ones finish UIKit's 0.35 seconds later on the main
// loop's clock (so tests move the manual clock on); the others finish at once.
class UIViewController : public UIResponder {
public:
    using Completion = std::function<void()>;
    // How long an animated push, pop, presentation or dismissal takes.
    static constexpr double kTransitionDuration = 0.35;

    // --- The root view ---
    // The root view, loading it first when needed.
    Ref<UIView> view();
    void setView(const Ref<UIView>& view);
    bool isViewLoaded() const { return view_ != nullptr; }
    Ref<UIView> viewIfLoaded() const { return view_; }
    void loadViewIfNeeded() { view(); }

    // Makes the root view; the default is a plain view the size of the main screen.
    virtual void loadView();
    virtual void viewDidLoad() {}
    virtual void viewWillAppear(bool /*animated*/) {}
    virtual void viewDidAppear(bool /*animated*/) {}
    virtual void viewWillDisappear(bool /*animated*/) {}
    virtual void viewDidDisappear(bool /*animated*/) {}

    // Starts (appearing or not) and finishes the current appearance change,
    // calling the will and did callbacks; for containers and the window.
    void beginAppearanceTransition(bool isAppearing, bool animated);
    void endAppearanceTransition();
    // Between viewWillAppear and viewWillDisappear.
    bool isAppearingOrVisible() const;
    // Between the start and the end of an appearance change (a push, pop,
    // presentation or dismissal under way).
    bool isInAppearanceTransition() const {
        return appearance_ == Appearance::Appearing || appearance_ == Appearance::Disappearing;
    }

    // --- Titles and bar items ---
    // Setting the title also titles the navigation item and the tab bar item.
    const std::string& title() const { return title_; }
    void setTitle(std::string title);
    // Made on first use; its title starts as the controller's.
    Ref<UINavigationItem> navigationItem();
    virtual Ref<UITabBarItem> tabBarItem();
    void setTabBarItem(const Ref<UITabBarItem>& item) { tabBarItem_ = item; }
    // Whether a tab bar hides while this controller is pushed on a stack.
    bool hidesBottomBarWhenPushed() const { return hidesBottomBarWhenPushed_; }
    void setHidesBottomBarWhenPushed(bool hides) { hidesBottomBarWhenPushed_ = hides; }
    // The edges along which the view extends under a translucent bar (all
    // by default); a navigation controller puts a view that does not extend
    // at the top below its bar.
    UIRectEdge edgesForExtendedLayout() const { return edgesForExtendedLayout_; }
    void setEdgesForExtendedLayout(UIRectEdge edges) { edgesForExtendedLayout_ = edges; }

    // --- Children ---
    Ref<UIViewController> parentViewController() const { return parent_.lock(); }
    const std::vector<Ref<UIViewController>>& childViewControllers() const { return children_; }
    // Adds the child (taking it from any earlier parent), telling it
    // willMoveToParentViewController first; the caller puts its view in and
    // then calls didMoveToParentViewController.
    virtual void addChildViewController(const Ref<UIViewController>& child);
    // Leaves the parent and tells didMoveToParentViewController(nullptr); the
    // caller has already told willMove and taken the view out.
    void removeFromParentViewController();
    virtual void willMoveToParentViewController(const Ref<UIViewController>& /*parent*/) {}
    virtual void didMoveToParentViewController(const Ref<UIViewController>& /*parent*/) {}
    // The nearest navigation / tab bar controller among the ancestors.
    Ref<UINavigationController> navigationController() const;
    Ref<UITabBarController> tabBarController() const;

    // --- Presentation ---
    // Presents over this controller's outermost ancestor, which must be on
    // screen and not already presenting (else a log line and nothing else, as
    // UIKit does). The completion runs once the presentation has finished.
    // A presentation under way finishes first; one asked inside the
    // callbacks of a presentation or dismissal, or of any container's
    // transition while the presenter is in a window's hierarchy, is made
    // once they have returned (the same for a dismissal).
    void presentViewController(const Ref<UIViewController>& controller, bool animated, Completion completion = nullptr);
    // Dismisses what this controller (or its outermost ancestor) presents,
    // or else this controller itself when it was presented; controllers
    // presented above go with it.
    void dismissViewControllerAnimated(bool animated, Completion completion = nullptr);
    // Presents animated (there are no split screens here).
    void showDetailViewController(const Ref<UIViewController>& controller, const Ref<NSObject>& sender);
    // The controller presented by this one or its outermost ancestor.
    Ref<UIViewController> presentedViewController() const;
    // The controller that presented this one or its outermost ancestor.
    Ref<UIViewController> presentingViewController() const;
    // Whether a presentation asked of this controller now would wait for
    // the callbacks running to return.
    bool presentationWaits();
    // Runs `then` in the line a presentation asked of this controller now
    // takes: at once, or after the presentations and dismissals asked
    // before it have been made; so it sees what a presentation asked just
    // before it came to.
    void afterPresentationChanges(std::function<void()> then);
    // Whether the controller at the top of this one's parents and presenters
    // is on screen, coming or going, in a window or presenting: a change of
    // the container then waits for any transition's callbacks to return.
    bool isInWindowHierarchy() const;
    UIModalPresentationStyle modalPresentationStyle() const { return modalPresentationStyle_; }
    void setModalPresentationStyle(UIModalPresentationStyle style) { modalPresentationStyle_ = style; }

    // --- Rotation queries (answered; the screen does not turn) ---
    virtual bool shouldAutorotate() { return true; }
    virtual UIInterfaceOrientationMask supportedInterfaceOrientations() { return UIInterfaceOrientationMaskAllButUpsideDown; }
    virtual bool shouldAutorotateToInterfaceOrientation(UIInterfaceOrientation orientation) {
        return orientation == UIInterfaceOrientation::Portrait;
    }

    // The root view's superview.
    Ref<UIResponder> nextResponder() const override;

    // Called by UIView as the root view enters or leaves a window.
    void rootViewWillMoveToWindow(const Ref<UIWindow>& newWindow);
    void rootViewDidMoveToWindow(const Ref<UIWindow>& newWindow);

protected:
    // The children whose appearance follows this controller's. The default:
    // the children whose views are inside this controller's view. Containers
    // answer their one visible child, putting its view in place first.
    virtual std::vector<Ref<UIViewController>> childrenForAppearance();
    // Whether a child's view entering or leaving the window while this
    // controller is on screen makes the child appear or disappear; containers
    // that run their children's transitions themselves answer false.
    virtual bool forwardsAppearanceOnViewMoves() const { return true; }
    bool hasOwnTabBarItem() const { return tabBarItem_ != nullptr; }
    // Puts the children in this order (the same controllers).
    void reorderChildViewControllers(std::vector<Ref<UIViewController>> order) { children_ = std::move(order); }

private:
    enum class Appearance { Disappeared, Appearing, Appeared, Disappearing };

    struct PendingTransitionEnd {
        bool done;
        std::function<void()> finish;
    };

    Ref<UIViewController> outermostAncestor();
    // A presentation and a dismissal by this controller: the one under way
    // finishes first, and a presentation or dismissal asked inside their
    // callbacks is made once they have returned.
    void present(const Ref<UIViewController>& controller, bool animated, const Completion& completion);
    void dismissPresented(bool animated, Completion completion);
    // Runs `finish` after the transition's duration, or now when not animated.
    void endPresentationTransition(bool animated, std::function<void()> finish);
    void finishRunningPresentations();
    // Where a presentation or dismissal by this controller waits while
    // callbacks run: its own, or those of a controller presenting it.
    HeldChanges& heldPresentationChanges();

    Ref<UIView> view_;
    std::string title_;
    Ref<UINavigationItem> navigationItem_;
    Ref<UITabBarItem> tabBarItem_;
    bool hidesBottomBarWhenPushed_ = false;
    UIRectEdge edgesForExtendedLayout_ = UIRectEdgeAll;
    WeakRef<UIViewController> parent_;
    std::vector<Ref<UIViewController>> children_;
    Ref<UIViewController> presented_;
    WeakRef<UIViewController> presenting_;
    UIModalPresentationStyle modalPresentationStyle_ = UIModalPresentationStyle::Automatic;
    HeldChanges presentationChanges_;
    std::weak_ptr<PendingTransitionEnd> runningPresentation_;
    Appearance appearance_ = Appearance::Disappeared;
    // The children whose appearance change started with this controller's.
    std::vector<WeakRef<UIViewController>> changingChildren_;
    bool transitionAnimated_ = false;
};
