#include <gtest/gtest.h>

#include "app/shell/KXToastSequence.h"
#include "app/shell/KXUniversal.h"
#include "tests/support/AppFixture.h"
#include "uikit/UIApplication.h"
#include "uikit/UIDriver.h"
#include "uikit/UIScreen.h"
#include "uikit/UIWindow.h"

TEST(LayoutScale, RoundsTheWidthRatioToTwoDecimals) {
    EXPECT_DOUBLE_EQ(layoutScaleForScreenWidth(320), 0.85);
    EXPECT_DOUBLE_EQ(layoutScaleForScreenWidth(360), 0.96);
    EXPECT_DOUBLE_EQ(layoutScaleForScreenWidth(375), 1.0);
    EXPECT_DOUBLE_EQ(layoutScaleForScreenWidth(390), 1.04);
    EXPECT_DOUBLE_EQ(layoutScaleForScreenWidth(393), 1.05);
    EXPECT_DOUBLE_EQ(layoutScaleForScreenWidth(414), 1.1);
    EXPECT_DOUBLE_EQ(layoutScaleForScreenWidth(428), 1.14);
    EXPECT_DOUBLE_EQ(layoutScaleForScreenWidth(430), 1.15);
    EXPECT_DOUBLE_EQ(layoutScaleForScreenWidth(std::numeric_limits<double>::quiet_NaN()), 0);
    EXPECT_DOUBLE_EQ(layoutScaleForScreenWidth(std::numeric_limits<double>::infinity()), 0);
}

class Universal : public AppFixture {
protected:
    Ref<UIWindow> showWindow() {
        auto window = make<UIWindow>();
        window->makeKeyAndVisible();
        return window;
    }
    bool shows(std::string_view text) {
        driver.settle();
        return driver.find(text) != nullptr;
    }
    UIDriver driver;
};

TEST_F(Universal, ScreenMetricsAreFixedAtFirstUse) {
    CGFloat width = screenWidth();
    double scale = layoutScale();
    EXPECT_DOUBLE_EQ(scale, layoutScaleForScreenWidth(width));
    EXPECT_DOUBLE_EQ(screenHeight(), UIScreen::mainScreen()->bounds().size.height);
    UIScreen::configureMainScreen({width + 18, 852}, 3, true);
    EXPECT_DOUBLE_EQ(screenWidth(), width);
    EXPECT_DOUBLE_EQ(layoutScale(), scale);
}

TEST_F(Universal, KeyWindowFallsBackToTheDelegatesWindowWhenNoSceneIsInFront) {
    auto delegate = make<UIApplicationDelegate>();
    auto application = UIApplication::launchForTesting(delegate);
    EXPECT_EQ(keyWindow(), nullptr);

    auto delegateWindow = make<UIWindow>();
    delegate->setWindow(delegateWindow);
    EXPECT_EQ(keyWindow(), delegateWindow);
    auto shown = showWindow();
    EXPECT_EQ(keyWindow(), shown);
    application->enterBackground();
    EXPECT_EQ(keyWindow(), delegateWindow);
}

TEST_F(Universal, ShowHUDWithMinusOneStaysAndOtherDelaysHideOnTheClock) {
    auto window = showWindow();
    auto kept = showHUD(window, -1);
    auto alsoKept = showHUD(make<UIView>(CGRect{0, 0, 100, 100}), -1.5);
    clock.advance(1000);
    driver.settle();
    EXPECT_FALSE(kept->hasFinished());
    EXPECT_FALSE(alsoKept->hasFinished());

    // A new HUD replaces the view's current one at once.
    auto next = showHUD(window, 0);
    EXPECT_TRUE(kept->hasFinished());
    EXPECT_EQ(kept->superview(), nullptr);
    driver.settle();
    EXPECT_TRUE(next->hasFinished());

    auto timed = showHUD(window, 2.5);
    clock.advance(2.4);
    driver.settle();
    EXPECT_FALSE(timed->hasFinished());
    clock.advance(0.1);
    driver.settle();
    EXPECT_EQ(timed->superview(), nullptr);
    EXPECT_EQ(showHUD(nullptr, 1), nullptr);
}

TEST_F(Universal, ToastsReplaceEachOtherAndShareTheFirstOnesTimer) {
    auto window = showWindow();
    auto first = showToast(window, std::string("复制成功"));
    EXPECT_EQ(first->mode(), MBProgressHUDMode::Text);
    EXPECT_EQ(first->label()->text(), "");
    EXPECT_TRUE(shows("复制成功"));

    clock.advance(1.0);
    showToast(window, std::string("网络错误"));
    EXPECT_FALSE(shows("复制成功"));
    EXPECT_TRUE(shows("网络错误"));
    // When the first toast's time is up, the second goes with it.
    clock.advance(0.49);
    EXPECT_TRUE(shows("网络错误"));
    clock.advance(0.01);
    EXPECT_FALSE(shows("网络错误"));

    auto empty = showToast(window, std::nullopt);
    EXPECT_EQ(empty->detailsLabel()->text(), "");
}

// A repeat is dropped only on the view that shows or awaits it: a page's
// message of the same text as the screen's shows on the page in its turn.
TEST_F(Universal, AToastSequenceDropsARepeatOnlyOnTheSameView) {
    Ref<UIView> window = showWindow(), page = make<UIView>(window->bounds());
    window->addSubview(page);
    KXToastSequence toasts;
    for (const auto& view : {window, page, window, page}) toasts.show(view, "获取数据失败");
    for (const auto& view : {window, page, Ref<UIView>()}) {
        EXPECT_EQ(driver.findAllOfClass("MBProgressHUD").size(), view ? 1u : 0u) << "the repeats dropped";
        if (view) {
            EXPECT_TRUE(MBProgressHUD::HUDForView(view)) << "each view's message in its turn";
        }
        clock.advance(kToastDuration);
        driver.settle();
    }
}

TEST_F(Universal, SnapshotImageIsOpaqueAtTheScreenScale) {
    auto view = make<UIView>(CGRect{0, 0, 30, 20});
    view->setBackgroundColor(UIColor::redColor());
    auto image = snapshotImage(view);
    ASSERT_TRUE(image);
    EXPECT_EQ(image->size().width, 30);
    EXPECT_EQ(image->scale(), UIScreen::mainScreen()->scale());
    EXPECT_EQ(snapshotImage(make<UIView>()), nullptr);
    EXPECT_EQ(snapshotImage(nullptr), nullptr);
}

TEST(DictionaryFromJSONString, AnswersTheObjectsMembersOrNothing) {
    EXPECT_TRUE(dictionaryFromJSONString("").empty());
    EXPECT_TRUE(dictionaryFromJSONString("not json").empty());
    EXPECT_TRUE(dictionaryFromJSONString("[1,2]").empty());
    Dictionary members = dictionaryFromJSONString(R"({"code":1,"message":"好"})");
    EXPECT_EQ(members["code"].intValue(), 1);
    EXPECT_EQ(members["message"].description(), "好");
}
