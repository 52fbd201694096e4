#include <gtest/gtest.h>

#include "app/shell/MBProgressHUDManager.h"
#include "foundation/NSBundle.h"
#include "tests/support/AppFixture.h"
#include "uikit/UIDriver.h"
#include "uikit/UIImageView.h"
#include "uikit/UIWindow.h"

// HUD messages on a key window, with the app bundle's icons.
class HUDMessages : public AppFixture {
protected:
    void SetUp() override {
        NSBundle::setMainBundlePath(VELMARO_APP_BUNDLE_DIR);
        window = make<UIWindow>();
        window->makeKeyAndVisible();
    }
    void TearDown() override { NSBundle::setMainBundlePath(""); }
    Ref<MBProgressHUD> shownHUD() {
        driver.settle();
        return MBProgressHUD::HUDForView(window);
    }
    // Moves the clock on and lets the fade-outs finish.
    void advance(double seconds) {
        clock.advance(seconds);
        driver.settle();
    }

    Ref<UIWindow> window;
    UIDriver driver;
};

TEST_F(HUDMessages, AnOutcomeReplacesTheBusyMessageAndHidesAfterASecond) {
    auto busy = MBProgressHUDManager::showMessage("正在登录");
    ASSERT_EQ(shownHUD(), busy);
    EXPECT_EQ(busy->mode(), MBProgressHUDMode::Indeterminate);
    EXPECT_EQ(busy->label()->text(), "正在登录");
    // It stays until hidden.
    advance(60);
    EXPECT_EQ(shownHUD(), busy);

    MBProgressHUDManager::showSuccess("登录成功");
    EXPECT_TRUE(busy->hasFinished());
    auto success = shownHUD();
    ASSERT_TRUE(success);
    EXPECT_EQ(success->mode(), MBProgressHUDMode::CustomView);
    EXPECT_EQ(success->label()->text(), "登录成功");
    auto icon = cast<UIImageView>(success->customView());
    ASSERT_TRUE(icon && icon->image());
    EXPECT_EQ(icon->image(), UIImage::imageNamed("MBProgressHUD.bundle/success.png"));

    advance(0.99);
    EXPECT_EQ(shownHUD(), success);
    advance(0.01);
    EXPECT_TRUE(success->hasFinished());
    advance(MBProgressHUD::kAnimationDuration);
    EXPECT_EQ(success->superview(), nullptr);
    EXPECT_EQ(busy->superview(), nullptr);
}

TEST_F(HUDMessages, ErrorsTextsAndTheLongerFormOnAGivenView) {
    auto view = make<UIView>(CGRect{0, 0, 200, 200});
    window->addSubview(view);
    MBProgressHUDManager::showError("请输入账号", view);
    auto error = MBProgressHUD::HUDForView(view);
    ASSERT_TRUE(error);
    EXPECT_EQ(MBProgressHUD::HUDForView(window), nullptr);
    EXPECT_EQ(cast<UIImageView>(error->customView())->image(), UIImage::imageNamed("MBProgressHUD.bundle/error"));

    MBProgressHUDManager::show("没有图标");
    auto plain = MBProgressHUD::HUDForView(window);
    ASSERT_TRUE(plain);
    EXPECT_EQ(cast<UIImageView>(plain->customView())->image(), nullptr);

    MBProgressHUDManager::showtext("两秒", "success.png", nullptr);
    auto longer = MBProgressHUD::HUDForView(window);
    advance(1.5);
    EXPECT_FALSE(longer->hasFinished());
    advance(0.5);
    EXPECT_TRUE(longer->hasFinished());
}

TEST_F(HUDMessages, FixedMessagesAndHidingWithoutAnyWindow) {
    auto loading = MBProgressHUDManager::showLoading();
    EXPECT_EQ(loading->label()->text(), "正在加载...");
    MBProgressHUDManager::hideHUD();
    EXPECT_TRUE(loading->hasFinished());
    MBProgressHUDManager::showError();
    EXPECT_EQ(shownHUD()->label()->text(), "加载失败!");
    MBProgressHUDManager::showSuccess();
    EXPECT_EQ(shownHUD()->label()->text(), "加载成功!");

    UIApplication::resetForTesting();
    EXPECT_EQ(MBProgressHUDManager::showMessage("无窗口"), nullptr);
    MBProgressHUDManager::showError("无窗口");
    MBProgressHUDManager::hideHUD();
}
