#include <gtest/gtest.h>

#include "app/promotion/KXHomePageViewController.h"
#include "app/promotion/KXManagementViewController.h"
#include "app/promotion/KXPromoteViewController.h"
#include "app/promotion/MyViewController.h"
#include "app/shell/KXTabBarController.h"
#include "tests/app/promotion/DashboardFixture.h"
#include "uikit/UITabBarItem.h"
#include "tests/support/TestShots.h"
#include "tests/support/TextFitCheck.h"

class EarlierTabBar : public DashboardFixture {
protected:
    Ref<KXTabBarController> showTabs() {
        auto tabs = make<KXTabBarController>();
        window = make<UIWindow>(UIScreen::mainScreen()->bounds());
        window->setRootViewController(tabs);
        window->makeKeyAndVisible();
        driver.settle();
        return tabs;
    }
    // The screen at the root of each tab's navigation stack.
    static std::vector<Ref<UIViewController>> screens(const Ref<KXTabBarController>& tabs) {
        std::vector<Ref<UIViewController>> roots;
        for (const auto& tab : tabs->viewControllers()) {
            auto navigation = cast<KXNavigationViewController>(tab);
            EXPECT_TRUE(navigation);
            roots.push_back(navigation ? navigation->viewControllers().front() : nullptr);
        }
        return roots;
    }
};

TEST_F(EarlierTabBar, FourTabsWithTheirTitlesAndImages) {
    auto tabs = showTabs();
    auto roots = screens(tabs);
    ASSERT_EQ(roots.size(), 4u);
    EXPECT_TRUE(cast<KXHomePageViewController>(roots[0]));
    EXPECT_TRUE(cast<KXPromoteViewController>(roots[1]));
    EXPECT_TRUE(cast<KXManagementViewController>(roots[2]));
    EXPECT_TRUE(cast<MyViewController>(roots[3]));
    const std::vector<std::string> titles = {"首页", "推广", "管理", "我的"};
    for (std::size_t i = 0; i < roots.size(); ++i) {
        EXPECT_EQ(roots[i]->title(), titles[i]);
        EXPECT_EQ(roots[i]->tabBarItem()->title(), titles[i]);
    }
    auto promote = roots[1]->tabBarItem();
    EXPECT_EQ(promote->image(), UIImage::imageNamed("tuiguan_tabar"));
    ASSERT_TRUE(promote->selectedImage());
    EXPECT_EQ(promote->selectedImage()->renderingMode(), UIImageRenderingMode::AlwaysOriginal);
    EXPECT_EQ(promote->image()->renderingMode(), UIImageRenderingMode::Automatic);
    EXPECT_EQ(tabs->tabBar()->tintColor(), UIColor::colorWithRed(88 / 255.0, 121 / 255.0, 1.0, 1.0));
    ASSERT_TRUE(checkedShot(driver, testShotPath("promotion-earlier-tabs.png"))) << driver.lastError();
}

TEST_F(EarlierTabBar, TheAccountKindThreeHasNoPromotionTab) {
    signIn(kDemo, "3");
    auto tabs = showTabs();
    auto roots = screens(tabs);
    ASSERT_EQ(roots.size(), 3u);
    EXPECT_EQ(roots[0]->title(), "首页");
    EXPECT_EQ(roots[0]->tabBarItem()->image(), UIImage::imageNamed("home_Tabar"));
    EXPECT_EQ(roots[1]->title(), "管理");
    EXPECT_EQ(roots[2]->title(), "我的");
    EXPECT_FALSE(driver.find("推广"));
}

TEST_F(EarlierTabBar, TappingTheShownTabDoesNothing) {
    auto tabs = showTabs();
    auto home = cast<KXNavigationViewController>(tabs->viewControllers()[0]);
    home->pushViewController(make<UIViewController>(), false);
    driver.settle();
    EXPECT_FALSE(tabs->tabTapped(0));
    finishTransition();
    EXPECT_EQ(home->viewControllers().size(), 2u);
    EXPECT_EQ(tabs->selectedIndex(), 0u);
    // Another tab is selected as usual.
    EXPECT_TRUE(tabs->tabTapped(2));
    EXPECT_EQ(tabs->selectedIndex(), 2u);
}
