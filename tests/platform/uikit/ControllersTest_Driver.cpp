#include <gtest/gtest.h>

#include <filesystem>

#include "ControllersTestSupport.h"
#include "uikit/UIAlertController.h"
#include "uikit/UIBarButtonItem.h"
#include "uikit/UIDriver.h"
#include "uikit/UIGestureRecognizer.h"
#include "uikit/UINavigationController.h"
#include "uikit/UINavigationItem.h"
#include "uikit/UITabBarController.h"

namespace {

class RefuseSecondTab : public UITabBarControllerDelegate {
public:
    bool shouldSelectViewController(const Ref<UITabBarController>& tabs, const Ref<UIViewController>& c) override {
        return c != tabs->viewControllers()[1];
    }
};

class DriverTest : public ControllersFixture {
protected:
    UIDriver driver;
};

TEST_F(DriverTest, BackPopsTheFrontStackThroughItsButtonOrTheSwipe) {
    auto tabs = make<UITabBarController>();
    auto navigation = make<UINavigationController>(controller("root"));
    tabs->setViewControllers({navigation, controller("other")});
    show(tabs);
    EXPECT_FALSE(driver.back()) << "nothing to go back from";

    auto pushed = controller("pushed");
    navigation->pushViewController(pushed, false);
    ASSERT_TRUE(driver.back()) << driver.lastError();
    clock.advance(0.35);
    EXPECT_EQ(navigation->viewControllers().size(), 1u);

    int leftTaps = 0;
    navigation->pushViewController(pushed, false);
    pushed->navigationItem()->setLeftBarButtonItem(make<UIBarButtonItem>(
        " ", UIBarButtonItemStyle::Plain, nullptr, [&](const Ref<UIBarButtonItem>&) { ++leftTaps; }));
    ASSERT_TRUE(driver.back());
    EXPECT_EQ(leftTaps, 1) << "the left item replaces the back button";

    navigation->setNavigationBarHidden(true, false);
    ASSERT_TRUE(driver.back());
    clock.advance(0.35);
    EXPECT_EQ(navigation->viewControllers().size(), 1u);
    navigation->pushViewController(controller("again"), false);
    navigation->interactivePopGestureRecognizer()->setEnabled(false);
    EXPECT_FALSE(driver.back());
}

TEST_F(DriverTest, SelectTabTapsTheBarAndRespectsTheDelegate) {
    auto tabs = make<UITabBarController>();
    tabs->setViewControllers({controller("a"), controller("b"), controller("c")});
    auto delegate = std::make_shared<RefuseSecondTab>();
    tabs->setDelegate(delegate);
    show(tabs);
    ASSERT_TRUE(driver.selectTab(2)) << driver.lastError();
    EXPECT_EQ(tabs->selectedIndex(), 2u);
    driver.selectTab(1);
    EXPECT_EQ(tabs->selectedIndex(), 2u);
    EXPECT_FALSE(driver.selectTab(3));
    EXPECT_EQ(driver.lastError(), "selectTab: there is no tab 4: the tab bar has 3 tabs");

    auto alert = UIAlertController::alertControllerWithTitle("t", "m", UIAlertControllerStyle::Alert);
    tabs->presentViewController(alert, false);
    EXPECT_FALSE(driver.selectTab(0)) << "the alert covers the tab bar";
}

TEST_F(DriverTest, BarsRenderIntoAShot) {
    auto tabs = make<UITabBarController>();
    auto root = controller("root");
    root->setTitle("首页");
    auto navigation = make<UINavigationController>(root);
    navigation->pushViewController(controller("detail"), false);
    tabs->setViewControllers({navigation, controller("mine")});
    show(tabs);
    std::string description = driver.describeScreen();
    EXPECT_NE(description.find("UINavigationBar"), std::string::npos);
    EXPECT_NE(description.find("\"< 首页\""), std::string::npos);
    EXPECT_NE(description.find("UITabBar"), std::string::npos);
    auto path = sandbox.path() + "/bars.png";
    ASSERT_TRUE(driver.shot(path)) << driver.lastError();
    EXPECT_GT(std::filesystem::file_size(path), 1000u);
}

}  // namespace
