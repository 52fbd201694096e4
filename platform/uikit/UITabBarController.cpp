#include "uikit/UITabBarController.h"

#include <algorithm>

#include "uikit/ControllerContainerView.h"
#include "uikit/UINavigationController.h"
#include "uikit/UIScreen.h"

void UITabBarController::didCreate() {
    UIViewController::didCreate();
    tabBar_ = make<UITabBar>(CGRectMake(0, 0, UIScreen::mainScreen()->bounds().size.width, UITabBar::kHeight));
    WeakRef<UITabBarController> weak = self<UITabBarController>();
    tabBar_->setItemTapHandler([weak](std::size_t index) {
        if (auto tabs = weak.lock()) tabs->tabTapped(index);
    });
}

void UITabBarController::loadView() {
    auto container = make<ControllerContainerView>(UIScreen::mainScreen()->bounds());
    WeakRef<UITabBarController> weak = self<UITabBarController>();
    container->setLayoutHandler([weak] {
        if (auto tabs = weak.lock()) tabs->layoutContent();
    });
    container->addSubview(tabBar_);
    setView(container);
    layoutContent();
}

// --- Tabs ---

void UITabBarController::addChildViewController(const Ref<UIViewController>& child) {
    if (!child) return;
    Ref<UITabBarController> me = self<UITabBarController>();
    // A tab added waits for this controller's own callbacks alone, not for
    // other transitions: the tabs a screen sets up (in its viewDidLoad, say)
    // are there at once.
    changes_.make([me, child] { me->changes_.hold([&] { me->addTab(child); }); }, false);
}

void UITabBarController::addTab(const Ref<UIViewController>& child) {
    if (child->parentViewController().get() == this) return;
    bool first = viewControllers().empty();
    UIViewController::addChildViewController(child);
    child->didMoveToParentViewController(self<UIViewController>());
    updateItems();
    if (first) {
        selectedIndex_ = 0;
        tabBar_->setSelectedItem(child->tabBarItem());
        if (isViewLoaded() && isAppearingOrVisible()) {
            child->beginAppearanceTransition(true, false);
            installView(child);
            child->endAppearanceTransition();
        }
    }
}

void UITabBarController::setViewControllers(const std::vector<Ref<UIViewController>>& controllers, bool) {
    Ref<UITabBarController> me = self<UITabBarController>();
    changes_.make([me, controllers] { me->changes_.hold([&] { me->replaceTabs(controllers); }); },
                  isInWindowHierarchy());
}

void UITabBarController::replaceTabs(const std::vector<Ref<UIViewController>>& controllers) {
    std::vector<Ref<UIViewController>> tabs;
    for (const auto& controller : controllers)
        if (controller && std::find(tabs.begin(), tabs.end(), controller) == tabs.end()) tabs.push_back(controller);
    auto oldSelected = selectedViewController();
    auto kept = std::find(tabs.begin(), tabs.end(), oldSelected);
    std::size_t newIndex = kept != tabs.end() ? static_cast<std::size_t>(kept - tabs.begin()) : 0;
    auto newSelected = tabs.empty() ? nullptr : tabs[newIndex];

    bool onScreen = isViewLoaded() && isAppearingOrVisible();
    bool switching = onScreen && newSelected != oldSelected;
    if (switching && oldSelected) oldSelected->beginAppearanceTransition(false, false);
    if (switching && newSelected) newSelected->beginAppearanceTransition(true, false);

    auto oldChildren = viewControllers();
    for (const auto& controller : oldChildren) {
        if (std::find(tabs.begin(), tabs.end(), controller) != tabs.end()) continue;
        controller->willMoveToParentViewController(nullptr);
        if (auto childView = controller->viewIfLoaded(); childView && childView->superview() == viewIfLoaded())
            childView->removeFromSuperview();
        controller->removeFromParentViewController();
    }
    for (const auto& controller : tabs) {
        if (controller->parentViewController().get() == this) continue;
        UIViewController::addChildViewController(controller);
        controller->didMoveToParentViewController(self<UIViewController>());
    }
    reorderChildViewControllers(tabs);
    selectedIndex_ = newIndex;
    updateItems();
    if (newSelected) tabBar_->setSelectedItem(newSelected->tabBarItem());
    if (newSelected && isViewLoaded()) installView(newSelected);
    if (switching && oldSelected) oldSelected->endAppearanceTransition();
    if (switching && newSelected) newSelected->endAppearanceTransition();
}

Ref<UIViewController> UITabBarController::selectedViewController() const {
    const auto& tabs = viewControllers();
    return selectedIndex_ < tabs.size() ? tabs[selectedIndex_] : nullptr;
}

void UITabBarController::setSelectedIndex(std::size_t index) { select(index); }

void UITabBarController::setSelectedViewController(const Ref<UIViewController>& controller) {
    const auto& tabs = viewControllers();
    auto at = std::find(tabs.begin(), tabs.end(), controller);
    if (at != tabs.end()) select(static_cast<std::size_t>(at - tabs.begin()));
}

void UITabBarController::select(std::size_t index) {
    Ref<UITabBarController> me = self<UITabBarController>();
    changes_.make([me, index] { me->changes_.hold([&] { me->switchTo(index); }); }, isInWindowHierarchy());
}

void UITabBarController::switchTo(std::size_t index) {
    const auto tabs = viewControllers();
    if (index >= tabs.size() || index == selectedIndex_) return;
    auto oldSelected = selectedViewController();
    auto newSelected = tabs[index];
    bool onScreen = isViewLoaded() && isAppearingOrVisible();
    if (onScreen && oldSelected) oldSelected->beginAppearanceTransition(false, false);
    selectedIndex_ = index;
    if (isViewLoaded()) newSelected->loadViewIfNeeded();
    // Unless a callback has taken the tab bar controller off screen.
    if (onScreen && isAppearingOrVisible()) newSelected->beginAppearanceTransition(true, false);
    if (isViewLoaded()) {
        installView(newSelected);
        if (auto oldView = oldSelected ? oldSelected->viewIfLoaded() : nullptr; oldView && oldView->superview() == view())
            oldView->removeFromSuperview();
    }
    tabBar_->setSelectedItem(newSelected->tabBarItem());
    if (onScreen) {
        if (oldSelected) oldSelected->endAppearanceTransition();
        newSelected->endAppearanceTransition();
    }
}

bool UITabBarController::tabTapped(std::size_t index) {
    const auto tabs = viewControllers();
    if (index >= tabs.size()) return false;
    Ref<UITabBarController> me = self<UITabBarController>();
    auto controller = tabs[index];
    auto delegate = this->delegate();
    if (delegate && !delegate->shouldSelectViewController(me, controller)) return false;
    if (index == selectedIndex_) {
        if (auto navigation = cast<UINavigationController>(controller)) navigation->popToRootViewControllerAnimated(true);
    } else {
        select(index);
    }
    if (delegate) delegate->didSelectViewController(me, controller);
    return true;
}

void UITabBarController::updateItems() {
    std::vector<Ref<UITabBarItem>> items;
    for (const auto& controller : viewControllers()) items.push_back(controller->tabBarItem());
    tabBar_->setItems(std::move(items));
    if (auto selected = selectedViewController()) tabBar_->setSelectedItem(selected->tabBarItem());
}

// --- Appearance and layout ---

std::vector<Ref<UIViewController>> UITabBarController::childrenForAppearance() {
    auto selected = selectedViewController();
    if (!selected) return {};
    installView(selected);
    return {selected};
}

void UITabBarController::installView(const Ref<UIViewController>& controller) {
    auto container = view();
    auto childView = controller->view();
    if (childView->superview() != container) container->insertSubview(childView, 0);
    layoutContent();
}

bool UITabBarController::tabBarHiddenByPush() const {
    auto navigation = cast<UINavigationController>(selectedViewController());
    return navigation && navigation->hidesBottomBar();
}

void UITabBarController::layoutContent() {
    auto container = viewIfLoaded();
    if (!container) return;
    CGRect bounds = container->bounds();
    CGFloat barHeight = UITabBar::kHeight + container->safeAreaInsets().bottom;
    bool hiddenByPush = tabBarHiddenByPush();
    if (hiddenByPush && tabBar_->superview() == container) tabBar_->removeFromSuperview();
    if (!hiddenByPush && tabBar_->superview() != container) container->addSubview(tabBar_);
    tabBar_->setFrame(CGRectMake(0, bounds.size.height - barHeight, bounds.size.width, barHeight));
    CGRect content = bounds;
    if (!hiddenByPush && !tabBar_->isHidden() && !tabBar_->isTranslucent())
        content.size.height = std::max<CGFloat>(0, bounds.size.height - barHeight);
    if (auto selected = selectedViewController())
        if (auto childView = selected->viewIfLoaded(); childView && childView->superview() == container)
            childView->setFrame(content);
}
