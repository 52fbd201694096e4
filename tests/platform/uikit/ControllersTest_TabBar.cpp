#include <gtest/gtest.h>

#include "ControllersTestSupport.h"
#include "uikit/UINavigationController.h"
#include "uikit/UIScreen.h"
#include "uikit/UITabBarController.h"

using Lines = std::vector<std::string>;

namespace {

// Refuses the tab that is already selected, as the older tab bar does.
class RefusingDelegate : public UITabBarControllerDelegate {
public:
    bool shouldSelectViewController(const Ref<UITabBarController>& tabs,
                                    const Ref<UIViewController>& controller) override {
        asked.push_back(controller->title());
        return tabs->selectedViewController() != controller;
    }
    void didSelectViewController(const Ref<UITabBarController>&, const Ref<UIViewController>& controller) override {
        selected.push_back(controller->title());
    }
    Lines asked, selected;
};

class TabBarTest : public ControllersFixture {
protected:
    Ref<LoggingController> tab(const std::string& title) {
        auto screen = controller(title);
        screen->setTitle(title);
        return screen;
    }
};

TEST_F(TabBarTest, ChildrenAreTabsAndTheFirstIsSelected) {
    auto tabs = make<UITabBarController>();
    EXPECT_EQ(tabs->selectedViewController(), nullptr);
    auto home = tab("首页"), mine = tab("我的");
    tabs->addChildViewController(home);
    tabs->addChildViewController(mine);
    EXPECT_EQ(tabs->selectedViewController(), home);
    ASSERT_EQ(tabs->tabBar()->items().size(), 2u);
    EXPECT_EQ(tabs->tabBar()->items()[1]->title(), "我的");
    EXPECT_EQ(tabs->tabBar()->selectedItem(), home->tabBarItem());
    EXPECT_EQ(mine->tabBarController(), tabs);

    tabs->setSelectedViewController(mine);
    EXPECT_EQ(tabs->selectedIndex(), 1u);
    EXPECT_EQ(tabs->tabBar()->selectedItem(), mine->tabBarItem());

    auto other = tab("其他");
    tabs->setViewControllers({other, mine});
    EXPECT_EQ(tabs->selectedViewController(), mine) << "the selected tab stays selected where it is kept";
    EXPECT_EQ(tabs->selectedIndex(), 1u);
    EXPECT_EQ(home->parentViewController(), nullptr);
    tabs->setViewControllers({other});
    EXPECT_EQ(tabs->selectedViewController(), other);
}

// A selection, a new set of tabs and a first tab keep the controller to the
// end of the call when a screen's callback lets the host's last reference go.
TEST_F(TabBarTest, AChangeOfTabsOutlivesACallbackThatLetsTheControllerGo) {
    for (int row = 0; row < 3; ++row) {
        auto host = make<UITabBarController>();
        WeakRef<UITabBarController> weak = host;
        show(host);
        auto first = tab("first"), second = tab("second");
        if (row < 2) host->setViewControllers({first, second});
        first->hooks[row < 2 ? "willDisappear" : "willAppear"] = [&] {
            window->setRootViewController(nullptr);
            host.reset();
        };
        if (row == 0) host->setSelectedIndex(1);
        if (row == 1) host->setViewControllers({second});
        if (row == 2) host->addChildViewController(first);
        EXPECT_TRUE(weak.expired()) << row;
    }
}

TEST_F(TabBarTest, TapsAskTheDelegateAndReselectingPopsToTheRoot) {
    auto tabs = make<UITabBarController>();
    auto root = tab("root");
    auto navigation = make<UINavigationController>(root);
    navigation->setTitle("stack");
    auto second = tab("second");
    tabs->setViewControllers({navigation, second});
    show(tabs);
    navigation->pushViewController(tab("pushed"), false);
    take();

    EXPECT_TRUE(tabs->tabTapped(0)) << "without a delegate every tap selects";
    clock.advance(0.35);
    EXPECT_EQ(navigation->viewControllers().size(), 1u) << "a tap on the selected stack pops it to the root";

    auto delegate = std::make_shared<RefusingDelegate>();
    tabs->setDelegate(delegate);
    navigation->pushViewController(tab("again"), false);
    EXPECT_FALSE(tabs->tabTapped(0));
    EXPECT_EQ(navigation->viewControllers().size(), 2u);
    take();
    EXPECT_TRUE(tabs->tabTapped(1));
    EXPECT_EQ(take(), (Lines{"again.willDisappear", "second.load", "second.willAppear", "again.didDisappear",
                             "second.didAppear"}));
    EXPECT_FALSE(tabs->tabTapped(5));
    EXPECT_EQ(delegate->asked, (Lines{"stack", "second"}));
    EXPECT_EQ(delegate->selected, (Lines{"second"}));

    ASSERT_NE(tabs->tabBar()->buttonForItemAtIndex(0), nullptr);
    EXPECT_TRUE(tabs->tabBar()->buttonForItemAtIndex(0)->handleTapAt({1, 1})) << "the bar's buttons tap through";
    EXPECT_EQ(tabs->selectedIndex(), 0u);
}

TEST_F(TabBarTest, BarSitsAboveTheHomeIndicatorAndLooksFollowTheProxy) {
    UIScreen::useNotchedScreen();
    UITabBar::resetAppearance();
    UITabBar::appearance()->setTranslucent(false);
    UITabBar::appearance()->setBackgroundColor(UIColor::whiteColor());
    UITabBar::appearance()->setTintColor(UIColor::redColor());
    auto tabs = make<UITabBarController>();
    auto only = tab("only");
    tabs->addChildViewController(only);
    window = make<UIWindow>();
    show(tabs);
    window->layoutIfNeeded();
    auto bar = tabs->tabBar();
    EXPECT_EQ(bar->frame(), CGRectMake(0, 812 - 49 - 34, 375, 49 + 34));
    EXPECT_FALSE(bar->isTranslucent());
    EXPECT_EQ(bar->backgroundColor(), UIColor::whiteColor());
    EXPECT_EQ(bar->tintColor(), UIColor::redColor());
    EXPECT_EQ(only->view()->frame(), CGRectMake(0, 0, 375, 812 - 83)) << "an opaque bar takes its height off";
    UITabBar::resetAppearance();
}

}  // namespace
