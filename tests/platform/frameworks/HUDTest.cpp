#include <gtest/gtest.h>

#include "foundation/DispatchQueue.h"
#include "foundation/NSLog.h"
#include "frameworks/hud/MBProgressHUD.h"
#include "frameworks/hud/SVProgressHUD.h"
#include "tests/support/AppFixture.h"
#include "uikit/UIDriver.h"
#include "uikit/UIImageView.h"
#include "uikit/UIWindow.h"
#include "uikit/ViewSnapshot.h"
#include "tests/support/TestShots.h"

class HUDs : public AppFixture {
protected:
    void SetUp() override {
        window = make<UIWindow>();
        window->makeKeyAndVisible();
    }
    // Runs the main loop's work that is due now.
    void settle() { driver.settle(); }
    std::vector<Ref<MBProgressHUD>> hudsOn(const Ref<UIView>& view) {
        std::vector<Ref<MBProgressHUD>> found;
        for (const auto& subview : view->subviews())
            if (auto hud = cast<MBProgressHUD>(subview)) found.push_back(hud);
        return found;
    }

    Ref<UIWindow> window;
    UIDriver driver;
};

TEST_F(HUDs, HideForViewTakesTheTopmostUnfinishedHUDAndRemovesItAfterTheFade) {
    auto first = MBProgressHUD::showHUDAddedTo(window, true);
    auto second = MBProgressHUD::showHUDAddedTo(window, false);
    EXPECT_EQ(MBProgressHUD::HUDForView(window), second);

    EXPECT_TRUE(MBProgressHUD::hideHUDForView(window, true));
    EXPECT_TRUE(second->hasFinished());
    // Still fading out, but no longer the view's HUD.
    EXPECT_EQ(second->superview(), window);
    EXPECT_EQ(MBProgressHUD::HUDForView(window), first);
    clock.advance(MBProgressHUD::kAnimationDuration);
    settle();
    EXPECT_EQ(second->superview(), nullptr);

    EXPECT_TRUE(MBProgressHUD::hideHUDForView(window, false));
    EXPECT_EQ(first->superview(), nullptr);
    EXPECT_FALSE(MBProgressHUD::hideHUDForView(window, false));
    EXPECT_FALSE(MBProgressHUD::hideHUDForView(nullptr, false));
    EXPECT_EQ(MBProgressHUD::showHUDAddedTo(nullptr, false), nullptr);
}

TEST_F(HUDs, DelayedHideRunsOnTheClockAndALaterDelayReplacesAnEarlierOne) {
    auto hud = MBProgressHUD::showHUDAddedTo(window, false);
    hud->hideAnimated(false, 1.0);
    hud->hideAnimated(false, 3.0);
    clock.advance(2.0);
    settle();
    EXPECT_FALSE(hud->hasFinished());
    clock.advance(1.0);
    settle();
    EXPECT_TRUE(hud->hasFinished());
    EXPECT_EQ(hud->superview(), nullptr);
}

TEST_F(HUDs, AHUDKeptOnHideLetsTouchesThrough) {
    auto hud = make<MBProgressHUD>(window);
    window->addSubview(hud);
    hud->showAnimated(false);
    EXPECT_EQ(window->hitTest({10, 10}), hud);
    EXPECT_TRUE(hud->handleTapAt({10, 10}));

    hud->hideAnimated(false);
    EXPECT_EQ(hud->superview(), window);
    EXPECT_NE(window->hitTest({10, 10}), hud);
}

TEST_F(HUDs, LaysOutItsContentInACentredBoxMovedByTheOffset) {
    auto hud = MBProgressHUD::showHUDAddedTo(window, false);
    hud->label()->setText("正在登录");
    settle();
    CGRect box = hud->bezelView()->frame();
    EXPECT_NEAR(CGRectGetMidX(box), CGRectGetMidX(window->bounds()), 0.5);
    EXPECT_NEAR(CGRectGetMidY(box), CGRectGetMidY(window->bounds()), 0.5);
    // The busy indicator above the label, both inside the margins.
    auto indicators = driver.findAllOfClass("UIActivityIndicatorView");
    ASSERT_EQ(indicators.size(), 1u);
    CGRect indicator = indicators[0]->frame();
    CGRect label = hud->label()->frame();
    EXPECT_DOUBLE_EQ(indicator.origin.y, box.origin.y + hud->margin());
    EXPECT_GE(label.origin.y, CGRectGetMaxY(indicator));
    EXPECT_NEAR(CGRectGetMaxY(label) + hud->margin(), CGRectGetMaxY(box), 1);
    EXPECT_TRUE(hud->detailsLabel()->isHidden());

    hud->setMode(MBProgressHUDMode::Text);
    hud->setOffset({0, 100});
    settle();
    EXPECT_TRUE(driver.findAllOfClass("UIActivityIndicatorView").empty());
    EXPECT_NEAR(CGRectGetMidY(hud->bezelView()->frame()), CGRectGetMidY(window->bounds()) + 100, 0.5);
    EXPECT_EQ(driver.find("正在登录"), hud->label());
}

TEST_F(HUDs, CustomViewShowsOnlyInCustomViewMode) {
    auto hud = MBProgressHUD::showHUDAddedTo(window, false);
    auto icon = make<UIView>(CGRect{0, 0, 37, 37});
    hud->setCustomView(icon);
    EXPECT_EQ(icon->superview(), nullptr);
    hud->setMode(MBProgressHUDMode::CustomView);
    settle();
    EXPECT_EQ(icon->superview(), hud);
    EXPECT_EQ(icon->frame().size.width, 37);
    EXPECT_DOUBLE_EQ(CGRectGetMidX(icon->frame()), CGRectGetMidX(hud->bezelView()->frame()));
    hud->setMode(MBProgressHUDMode::Text);
    EXPECT_EQ(icon->superview(), nullptr);
}

TEST_F(HUDs, InfoToastReplacesTheLastAndGoesAwayOnTheClock) {
    SVProgressHUD::showInfoWithStatus("当前无网络链接");
    settle();
    ASSERT_NE(driver.find("当前无网络链接"), nullptr);
    // Touches pass through to the window.
    EXPECT_EQ(window->hitTest({187, 333}), window);

    clock.advance(1.0);
    SVProgressHUD::showInfoWithStatus("再来一条");
    settle();
    EXPECT_EQ(driver.find("当前无网络链接"), nullptr);
    ASSERT_NE(driver.find("再来一条"), nullptr);
    // The first toast's time runs out without taking the second away.
    clock.advance(SVProgressHUD::displayDurationForString("当前无网络链接") - 1.0);
    settle();
    EXPECT_NE(driver.find("再来一条"), nullptr);
    clock.advance(SVProgressHUD::displayDurationForString("再来一条"));
    settle();
    EXPECT_EQ(driver.find("再来一条"), nullptr);
}

TEST_F(HUDs, InfoToastFromAnotherThreadShowsOnTheMainQueue) {
    bool posted = false;
    DispatchQueue::global()->async([&] {
        SVProgressHUD::showInfoWithStatus("后台");
        posted = true;
    });
    ASSERT_TRUE(runUntil([&] { return posted && driver.find("后台") != nullptr; }));
}

TEST_F(HUDs, InfoToastWithoutAKeyWindowOnlyLogs) {
    UIApplication::resetForTesting();
    NSLogCapture log;
    SVProgressHUD::showInfoWithStatus("无窗口");
    EXPECT_TRUE(log.contains("无窗口"));
    EXPECT_TRUE(window->subviews().empty());
    EXPECT_DOUBLE_EQ(SVProgressHUD::displayDurationForString(std::string(200, 'x')), 5.0);
}

TEST_F(HUDs, RendersADarkBoxWithWhiteText) {
    window->setBackgroundColor(UIColor::whiteColor());
    auto hud = MBProgressHUD::showHUDAddedTo(window, false);
    hud->label()->setText("正在加载...");
    hud->detailsLabel()->setText("请稍候，数据正在路上");
    settle();
    // Looked at by the developer; the test checks that they were made.
    ASSERT_TRUE(driver.shot(testShotPath("hud-busy.png"))) << driver.lastError();
    hud->hideAnimated(false);
    SVProgressHUD::showInfoWithStatus("当前无网络链接");
    settle();
    ASSERT_TRUE(driver.shot(testShotPath("hud-info.png"))) << driver.lastError();
    auto image = snapshotView(hud->bezelView(), false, 1);
    ASSERT_TRUE(image);
    auto centre = image->CGImage()->pixelAt(static_cast<std::size_t>(image->size().width / 2), 3);
    EXPECT_LT(centre.red, 80);
    EXPECT_GT(centre.alpha, 150);
}
