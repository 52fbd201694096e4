#include <gtest/gtest.h>

#include "app/shell/KXNavigationViewController.h"
#include "foundation/NSBundle.h"
#include "tests/support/AppFixture.h"
#include "uikit/UIBarButtonItem.h"
#include "uikit/UIButton.h"
#include "uikit/UIDriver.h"
#include "uikit/UIGestureRecognizer.h"
#include "uikit/UINavigationItem.h"
#include "uikit/UIScreen.h"
#include "uikit/UIWindow.h"

// The older family's navigation controller, shown as a window's root.
class LegacyNavigation : public AppFixture {
protected:
    void SetUp() override {
        NSBundle::setMainBundlePath(VELMARO_APP_BUNDLE_DIR);
        UINavigationBar::resetAppearance();
        KXNavigationViewController::load();
        stack = make<KXNavigationViewController>(make<UIViewController>());
        window = make<UIWindow>(UIScreen::mainScreen()->bounds());
        window->setRootViewController(stack);
        window->makeKeyAndVisible();
        driver.settle();
    }
    void TearDown() override {
        NSBundle::setMainBundlePath("");
        UINavigationBar::resetAppearance();
    }

    Ref<UIViewController> pushScreen() {
        auto screen = make<UIViewController>();
        stack->pushViewController(screen, true);
        clock.advance(UIViewController::kTransitionDuration);
        driver.settle();
        return screen;
    }
    // A finger put down at mid-height near the left and moved right by `dx`.
    void panRight(CGFloat dx, double seconds) {
        driver.pan(CGPointMake(100, 400), CGPointMake(100 + dx, 400), seconds);
        clock.advance(UIViewController::kTransitionDuration);
        driver.settle();
    }

    Ref<KXNavigationViewController> stack;
    Ref<UIWindow> window;
    UIDriver driver;
};

TEST_F(LegacyNavigation, ItsBarsTakeTheOlderTitleStyleAndOthersDoNot) {
    auto attributes = stack->navigationBar()->titleTextAttributes();
    ASSERT_TRUE(attributes.font);
    EXPECT_DOUBLE_EQ(attributes.font->pointSize(), 18);
    EXPECT_EQ(attributes.foregroundColor, UIColor::colorWithRed(0.2, 0.2, 0.2, 1));
    EXPECT_EQ(stack->navigationBar()->barTintColor(), UIColor::whiteColor());

    auto plain = make<UINavigationController>(make<UIViewController>());
    auto other = make<UIWindow>(UIScreen::mainScreen()->bounds());
    other->setRootViewController(plain);
    other->setHidden(false);
    driver.settle();
    EXPECT_NE(plain->navigationBar()->barTintColor(), std::optional<UIColor>(UIColor::whiteColor()));
}

TEST_F(LegacyNavigation, PushedScreensHideTheTabBarAndGetABackItemThatPopsWithAnimation) {
    auto root = stack->viewControllers().front();
    EXPECT_EQ(root->navigationItem()->leftBarButtonItem(), nullptr);
    auto pushed = pushScreen();
    EXPECT_TRUE(pushed->hidesBottomBarWhenPushed());
    auto item = pushed->navigationItem()->leftBarButtonItem();
    ASSERT_NE(item, nullptr);
    auto button = cast<UIButton>(item->customView());
    ASSERT_NE(button, nullptr);
    EXPECT_EQ(button->titleForState(UIControlStateNormal), "  ");

    ASSERT_TRUE(driver.tap(button)) << driver.lastError();
    // Animated: the pop finishes after the transition.
    EXPECT_EQ(stack->topViewController(), root);
    clock.advance(UIViewController::kTransitionDuration);
    driver.settle();
    EXPECT_EQ(stack->viewControllers().size(), 1u);
}

TEST_F(LegacyNavigation, APanAnywherePopsPushedScreensButNeverTheRoot) {
    EXPECT_FALSE(stack->interactivePopGestureRecognizer()->isEnabled());
    panRight(300, 0.5);
    EXPECT_EQ(stack->viewControllers().size(), 1u);

    pushScreen();
    panRight(60, 1.0);  // short and slow: the screen stays
    EXPECT_EQ(stack->viewControllers().size(), 2u);
    panRight(250, 0.5);  // past half the width: popped
    EXPECT_EQ(stack->viewControllers().size(), 1u);

    pushScreen();
    panRight(80, 0.1);  // a quick fling pops too
    EXPECT_EQ(stack->viewControllers().size(), 1u);
}
