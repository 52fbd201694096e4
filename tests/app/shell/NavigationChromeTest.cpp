#include <gtest/gtest.h>

#include "app/shell/KXBaseViewController.h"
#include "app/shell/KXNavigationController.h"
#include "app/shell/KXNavigationView.h"
#include "app/shell/KXTabBarController1.h"
#include "app/shell/KXUniversal.h"
#include "app/shell/UIColorHex.h"
#include "app/shell/UIViewExt.h"
#include "app/tabs/assets/KXAssetsController.h"
#include "app/tabs/home/KXHomeController.h"
#include "app/tabs/mine/KXMineController.h"
#include "app/tabs/promote/KXPromoteController.h"
#include "foundation/NSBundle.h"
#include "tests/support/AppFixture.h"
#include "uikit/UIButton.h"
#include "uikit/UIDevice.h"
#include "uikit/UIDriver.h"
#include "uikit/UIGestureRecognizer.h"
#include "uikit/UINavigationBar.h"
#include "uikit/UINavigationItem.h"
#include "uikit/UIScreen.h"
#include "uikit/UITabBarItem.h"
#include "uikit/UIWindow.h"
#include "tests/support/TestShots.h"
#include "tests/support/TextFitCheck.h"

namespace {

// A pushed screen that counts its appearance callbacks.
template <class Base> class Recording : public Base {
public:
    int didAppear = 0;
    int didDisappear = 0;
    void viewDidAppear(bool animated) override {
        Base::viewDidAppear(animated);
        ++didAppear;
    }
    void viewDidDisappear(bool animated) override {
        Base::viewDidDisappear(animated);
        ++didDisappear;
    }
};

// A screen of the older families: it shows the system bar again each time
// it appears.
class OlderScreen : public Recording<UIViewController> {
public:
    void viewWillAppear(bool animated) override {
        Recording<UIViewController>::viewWillAppear(animated);
        navigationController()->setNavigationBarHidden(false, animated);
    }
};

class NavigationChrome : public AppFixture {
protected:
    void SetUp() override {
        NSBundle::setMainBundlePath(VELMARO_APP_BUNDLE_DIR);
        UINavigationBar::resetAppearance();
        UITabBar::resetAppearance();
    }
    void TearDown() override {
        NSBundle::setMainBundlePath("");
        UINavigationBar::resetAppearance();
        UITabBar::resetAppearance();
    }

    Ref<KXTabBarController1> showTabs() {
        auto tabs = make<KXTabBarController1>();
        window = make<UIWindow>(UIScreen::mainScreen()->bounds());
        window->setRootViewController(tabs);
        window->makeKeyAndVisible();
        driver.settle();
        return tabs;
    }
    Ref<KXNavigationController> homeStack(const Ref<KXTabBarController1>& tabs) {
        return cast<KXNavigationController>(tabs->viewControllers().at(0));
    }
    void finishTransitions() {
        clock.advance(UIViewController::kTransitionDuration);
        driver.settle();
    }

    Ref<UIWindow> window;
    UIDriver driver;
};

TEST_F(NavigationChrome, TheTabBarHoldsFourStacksWithTheirTitlesImagesAndColours) {
    auto tabs = showTabs();
    ASSERT_EQ(tabs->viewControllers().size(), 4u);
    EXPECT_EQ(tabs->selectedIndex(), 0u);
    const char* titles[] = {"首页", "资产", "推广", "我的"};
    for (std::size_t index = 0; index < 4; ++index) {
        auto stack = cast<KXNavigationController>(tabs->viewControllers()[index]);
        ASSERT_NE(stack, nullptr);
        ASSERT_EQ(stack->viewControllers().size(), 1u);
        auto root = stack->viewControllers()[0];
        EXPECT_EQ(root->tabBarItem()->title(), titles[index]);
        EXPECT_EQ(root->title(), "");  // only the item is titled
        ASSERT_NE(root->tabBarItem()->image(), nullptr) << titles[index];
        EXPECT_EQ(root->tabBarItem()->image()->renderingMode(), UIImageRenderingMode::AlwaysOriginal);
        EXPECT_EQ(root->tabBarItem()->selectedImage()->renderingMode(), UIImageRenderingMode::AlwaysOriginal);
        EXPECT_EQ(root->navigationItem()->leftBarButtonItem(), nullptr);
        EXPECT_FALSE(root->hidesBottomBarWhenPushed());
    }
    EXPECT_TRUE(isKind<KXHomeController>(homeStack(tabs)->topViewController()));
    EXPECT_TRUE(isKind<KXAssetsController>(cast<UINavigationController>(tabs->viewControllers()[1])->topViewController()));
    EXPECT_TRUE(isKind<KXPromoteController>(cast<UINavigationController>(tabs->viewControllers()[2])->topViewController()));
    EXPECT_TRUE(isKind<KXMineController>(cast<UINavigationController>(tabs->viewControllers()[3])->topViewController()));

    auto bar = tabs->tabBar();
    EXPECT_EQ(bar->tintColor(), UIColorHex::colorWithHexStringWithHexString("#5879FF"));
    EXPECT_EQ(bar->unselectedItemTintColor(), UIColorHex::colorWithHexStringWithHexString("#333333"));
    EXPECT_EQ(bar->backgroundColor(), UIColor::whiteColor());
    EXPECT_FALSE(bar->isTranslucent());
    ASSERT_NE(bar->shadowImage(), nullptr);
    EXPECT_EQ(bar->shadowImage()->size(), (CGSize{0, 0}));
    EXPECT_EQ(bar->layer()->shadowColor(), UIColorHex::colorWithHexString("#EBEBEB", 0.34));
    EXPECT_EQ(bar->layer()->shadowOffset(), (CGSize{0, -3}));
    EXPECT_EQ(bar->layer()->shadowOpacity(), 1.0);
    EXPECT_EQ(bar->layer()->shadowRadius(), 4.0);

    // The system bar is hidden on the base screens; the Home and Mine tabs
    // hide the custom one too, so no tab root shows a back arrow.
    EXPECT_TRUE(homeStack(tabs)->isNavigationBarHidden());
    EXPECT_EQ(driver.find("#navigationView"), nullptr);
    EXPECT_TRUE(driver.selectTab(3));
    EXPECT_EQ(tabs->selectedIndex(), 3u);
    EXPECT_EQ(driver.find("#navigationView"), nullptr);
    EXPECT_TRUE(checkedShot(driver, testShotPath("tabbar_mine_tab.png"))) << driver.lastError();
}

TEST_F(NavigationChrome, TheNavigationBarsAreStyledWhenAStackFirstLoads) {
    UIDevice::currentDevice()->setSystemVersion("14.2");
    showTabs();
    auto proxy = UINavigationBar::appearance();
    EXPECT_FALSE(proxy->isTranslucent());
    EXPECT_EQ(proxy->titleTextAttributes().font, UIFont::boldSystemFontOfSize(18));
    EXPECT_EQ(proxy->titleTextAttributes().foregroundColor, UIColorHex::colorWithHexStringWithHexString("#333333"));
    EXPECT_EQ(proxy->standardAppearance(), nullptr);  // only from 15 on
    EXPECT_EQ(proxy->backIndicatorImage(), nullptr);

    UINavigationBar::resetAppearance();
    UIDevice::currentDevice()->setSystemVersion("15.0");
    auto stack = make<KXNavigationController>(make<UIViewController>());
    stack->loadViewIfNeeded();
    ASSERT_NE(proxy->standardAppearance(), nullptr);
    EXPECT_EQ(proxy->scrollEdgeAppearance(), proxy->standardAppearance());
    EXPECT_EQ(stack->interactivePopGestureRecognizer()->delegate(), stack);
    EXPECT_TRUE(stack->interactivePopGestureRecognizer()->isEnabled());
}

TEST_F(NavigationChrome, PushesAreAnimatedHideTheTabBarAndGetTheBackItem) {
    auto tabs = showTabs();
    auto stack = homeStack(tabs);
    auto pushed = make<OlderScreen>();
    stack->pushViewController(pushed, false);
    driver.settle();
    // Asked without animation, still animated: the screen has not appeared yet.
    EXPECT_EQ(pushed->didAppear, 0);
    finishTransitions();
    EXPECT_EQ(pushed->didAppear, 1);

    EXPECT_TRUE(pushed->hidesBottomBarWhenPushed());
    EXPECT_EQ(tabs->tabBar()->window(), nullptr);
    auto backItem = pushed->navigationItem()->leftBarButtonItem();
    ASSERT_NE(backItem, nullptr);
    auto backButton = cast<UIButton>(backItem->customView());
    ASSERT_NE(backButton, nullptr);
    EXPECT_EQ(backButton->titleForState(UIControlStateNormal), " ");
    EXPECT_NE(backButton->imageForState(UIControlStateNormal), nullptr);
    EXPECT_EQ(backButton->contentEdgeInsets(), (UIEdgeInsets{0, -5, 0, 0}));

    // The older screen shows the system bar: its back item pops at once.
    EXPECT_FALSE(stack->isNavigationBarHidden());
    ASSERT_TRUE(driver.tap(backButton)) << driver.lastError();
    EXPECT_EQ(stack->viewControllers().size(), 1u);
    EXPECT_EQ(pushed->didDisappear, 1);
    EXPECT_NE(tabs->tabBar()->window(), nullptr);
}

TEST_F(NavigationChrome, TheTopBarsBackButtonPopsWithAnimation) {
    auto tabs = showTabs();
    auto stack = homeStack(tabs);
    auto first = make<Recording<KXBaseViewController>>();
    auto second = make<Recording<KXBaseViewController>>();
    stack->pushViewController(first, true);
    finishTransitions();
    stack->pushViewController(second, true);
    finishTransitions();
    EXPECT_TRUE(stack->isNavigationBarHidden());
    ASSERT_EQ(stack->viewControllers().size(), 3u);

    ASSERT_TRUE(driver.tap("#backButton")) << driver.lastError();
    EXPECT_EQ(stack->viewControllers().size(), 2u);
    EXPECT_EQ(second->didDisappear, 0);  // still animating
    finishTransitions();
    EXPECT_EQ(second->didDisappear, 1);
    EXPECT_EQ(stack->topViewController(), first);
    EXPECT_EQ(tabs->tabBar()->window(), nullptr);  // `first` still hides it

    // The edge swipe works too, as the gesture stays on.
    ASSERT_TRUE(driver.back()) << driver.lastError();
    finishTransitions();
    EXPECT_EQ(stack->viewControllers().size(), 1u);
    EXPECT_NE(tabs->tabBar()->window(), nullptr);
}

TEST_F(NavigationChrome, TheTopBarLaysOutItsTitleAndBackButton) {
    auto screen = make<KXBaseViewController>();
    window = make<UIWindow>(UIScreen::mainScreen()->bounds());
    window->setRootViewController(screen);
    window->makeKeyAndVisible();
    driver.settle();
    auto bar = screen->navigationView();
    ASSERT_NE(bar, nullptr);
    EXPECT_EQ(bar->titleLabel()->text(), "-");
    EXPECT_EQ(bar->titleLabel()->font(), UIFont::boldSystemFontOfSize(18));
    EXPECT_EQ(bar->bgView(), nullptr);
    EXPECT_EQ(bar->rightButton()->frame().size, (CGSize{0, 0}));
    EXPECT_FALSE(bar->rightButton()->isHidden());
    EXPECT_EQ(bar->layer()->shadowColor(), UIColorHex::colorWithHexString("#E7E7E7", 0.28));
    EXPECT_EQ(bar->layer()->shadowRadius(), 4 * layoutScale());

    const CGFloat top = KXNavigationView::titleTopForScreenHeight(screenHeight());
    const CGRect title = bar->titleLabel()->frame();
    EXPECT_EQ(bar->frame().origin, (CGPoint{0, 0}));
    EXPECT_EQ(bar->frame().size.width, screen->view()->bounds().size.width);
    EXPECT_EQ(title.origin.y, top);
    EXPECT_DOUBLE_EQ(UIViewExt::bottom(*bar), top + title.size.height + 10);
    EXPECT_DOUBLE_EQ(CGRectGetMidX(title), bar->bounds().size.width / 2);
    EXPECT_EQ(bar->backButton()->frame().origin.x, 15);
    EXPECT_DOUBLE_EQ(CGRectGetMidY(bar->backButton()->frame()), CGRectGetMidY(title));

    EXPECT_EQ(KXNavigationView::titleTopForScreenHeight(812), 53);
    EXPECT_EQ(KXNavigationView::titleTopForScreenHeight(932), 53);
    EXPECT_EQ(KXNavigationView::titleTopForScreenHeight(811.5), 30);
    EXPECT_EQ(KXNavigationView::titleTopForScreenHeight(667), 30);

    // Without a navigation controller the back button does nothing.
    EXPECT_TRUE(driver.tap("#backButton"));
    EXPECT_EQ(window->rootViewController(), screen);
}

TEST_F(NavigationChrome, ABarItemWithoutImagesStillCarriesItsTitleAndAction) {
    auto target = make<NSObject>();
    int taps = 0;
    auto item = KXNavigationController::makeBarButtonItem(nullptr, nullptr, target,
                                                          [&](const Ref<UIControl>&) { ++taps; }, " ");
    auto button = cast<UIButton>(item->customView());
    ASSERT_NE(button, nullptr);
    EXPECT_EQ(button->currentImage(), nullptr);
    EXPECT_EQ(button->titleForState(UIControlStateNormal), " ");
    EXPECT_GT(button->frame().size.width, 0);
    button->sendActionsForControlEvents(UIControlEventTouchUpInside);
    EXPECT_EQ(taps, 1);
}

}  // namespace
