#pragma once

#include <vector>

#include "uikit/HeldChanges.h"
#include "uikit/UITabBar.h"
#include "uikit/UIViewController.h"

class UITabBarController;

// What a tab bar controller asks and tells its delegate when the user taps
// a tab (not when code selects one). Every method is optional.
class UITabBarControllerDelegate {
public:
    virtual ~UITabBarControllerDelegate() = default;
    virtual bool shouldSelectViewController(const Ref<UITabBarController>&, const Ref<UIViewController>&) {
        return true;
    }
    virtual void didSelectViewController(const Ref<UITabBarController>&, const Ref<UIViewController>&) {}
};

// Screens side by side behind a tab bar; one of them shows at a time.
//
// The children are the tabs, in order (addChildViewController appends a
// tab); the first tab is selected once there is one. A tab switch is not
// animated: the old screen hears viewWillDisappear, the new one
// viewWillAppear (loading its view first), then viewDidDisappear and
// viewDidAppear, while the tab bar controller is on screen.
// A selection, change of tabs or first tab asked inside those callbacks is
// made once they have returned (selectedIndex() shows it then); so is a
// selection or change of tabs asked, while the controller is in a window's
// hierarchy, inside any container's transition or presentation callbacks.
//
// A tap on a tab asks the delegate's shouldSelect; when it agrees, the tab
// is selected (a tap on the selected tab pops its navigation stack to the
// root, animated) and the delegate hears didSelect.
//
// Layout: the tab bar is 49 points high plus the bottom safe-area inset, at
// the bottom; the selected screen fills the rest when the bar is opaque and
// the whole view when it is translucent or hidden. While the selected tab
// is a navigation stack with a pushed screen that hides the bottom bar, the
// tab bar is taken off screen.
class UITabBarController : public UIViewController {
public:
    const std::vector<Ref<UIViewController>>& viewControllers() const { return childViewControllers(); }
    void setViewControllers(const std::vector<Ref<UIViewController>>& controllers, bool animated = false);
    void addChildViewController(const Ref<UIViewController>& child) override;

    // NSNotFound-like: the count of tabs when there is none.
    std::size_t selectedIndex() const { return selectedIndex_; }
    void setSelectedIndex(std::size_t index);
    Ref<UIViewController> selectedViewController() const;
    void setSelectedViewController(const Ref<UIViewController>& controller);

    Ref<UITabBar> tabBar() const { return tabBar_; }
    Ref<UITabBarControllerDelegate> delegate() const { return delegate_.lock(); }
    void setDelegate(const Ref<UITabBarControllerDelegate>& delegate) { delegate_ = delegate; }

    // A tap on the tab at `index`, as the tab bar delivers it; false when
    // the delegate refused it or there is no such tab.
    bool tabTapped(std::size_t index);
    // Lays the tab bar and the selected screen's view out again.
    void layoutContent();
    std::string className() const override { return "UITabBarController"; }

protected:
    void didCreate() override;
    void loadView() override;
    std::vector<Ref<UIViewController>> childrenForAppearance() override;
    bool forwardsAppearanceOnViewMoves() const override { return false; }

private:
    // Each change of the tabs keeps the controller alive (a screen's callback
    // may let the host's last reference go) and holds the changes those
    // callbacks ask.
    void select(std::size_t index);
    void switchTo(std::size_t index);
    void addTab(const Ref<UIViewController>& child);
    void replaceTabs(const std::vector<Ref<UIViewController>>& controllers);
    void installView(const Ref<UIViewController>& controller);
    void updateItems();
    bool tabBarHiddenByPush() const;

    Ref<UITabBar> tabBar_;
    WeakRef<UITabBarControllerDelegate> delegate_;
    std::size_t selectedIndex_ = 0;
    HeldChanges changes_;
};
