#include <gtest/gtest.h>

#include "app/shell/WMUtil.h"
#include "frameworks/hud/MBProgressHUD.h"
#include "graphics/UIGraphics.h"
#include "tests/support/AppFixture.h"
#include "uikit/UIAlertController.h"
#include "uikit/UIApplicationDelegate.h"
#include "uikit/UIDriver.h"
#include "uikit/UIImageView.h"
#include "uikit/UILabel.h"
#include "uikit/UIViewController.h"
#include "uikit/UIWindow.h"

namespace {

// A 2 x 1 picture: red on the left, blue on the right.
Ref<UIImage> redBlue() {
    UIGraphicsBeginImageContextWithOptions({2, 1}, true, 1);
    auto context = UIGraphicsGetCurrentContext();
    CGContextSetFillColorWithColor(context, UIColor::redColor());
    CGContextFillRect(context, {0, 0, 1, 1});
    CGContextSetFillColorWithColor(context, UIColor::blueColor());
    CGContextFillRect(context, {1, 0, 1, 1});
    auto image = UIGraphicsGetImageFromCurrentImageContext();
    UIGraphicsEndImageContext();
    return image;
}

bool isRed(CGImagePixel p) { return p.red > 200 && p.blue < 60; }
bool isBlue(CGImagePixel p) { return p.blue > 200 && p.red < 60; }

class WMUtilViewsTest : public AppFixture {
protected:
    WMUtilViewsTest() : window(make<UIWindow>(CGRect{0, 0, 375, 667})) {
        auto root = make<UIViewController>();
        window->setRootViewController(root);
        window->makeKeyAndVisible();
    }
    Ref<UIWindow> window;
    UIDriver driver;
};

TEST_F(WMUtilViewsTest, ImagesRotateScaleAndReencode) {
    auto image = redBlue();
    auto turned = WMUtil::image(image, 1);  // half a turn
    ASSERT_TRUE(turned);
    EXPECT_EQ(turned->size(), (CGSize{2, 1}));
    EXPECT_TRUE(isBlue(turned->CGImage()->pixelAt(0, 0)));
    EXPECT_TRUE(isRed(turned->CGImage()->pixelAt(1, 0)));

    auto unchanged = WMUtil::image(image, 0);
    EXPECT_TRUE(isRed(unchanged->CGImage()->pixelAt(0, 0)));

    for (int quarter : {2, 3}) {
        auto upright = WMUtil::image(image, quarter);
        ASSERT_TRUE(upright);
        EXPECT_EQ(upright->size(), (CGSize{1, 2})) << quarter;
        auto top = upright->CGImage()->pixelAt(0, 0), bottom = upright->CGImage()->pixelAt(0, 1);
        EXPECT_TRUE((isRed(top) && isBlue(bottom)) || (isBlue(top) && isRed(bottom))) << quarter;
    }
    // The two quarter turns go opposite ways.
    EXPECT_NE(WMUtil::image(image, 2)->CGImage()->pixelAt(0, 0), WMUtil::image(image, 3)->CGImage()->pixelAt(0, 0));

    auto scaled = WMUtil::imageWithImageSimple(image, {20, 10});
    EXPECT_EQ(scaled->size(), (CGSize{20, 10}));
    EXPECT_TRUE(isRed(scaled->CGImage()->pixelAt(2, 5)));
    EXPECT_TRUE(isBlue(scaled->CGImage()->pixelAt(17, 5)));

    auto reduced = WMUtil::reduceImage(scaled, 0.5);
    ASSERT_TRUE(reduced);
    EXPECT_EQ(reduced->size(), (CGSize{20, 10}));
    EXPECT_EQ(WMUtil::reduceImage(nullptr, 0.5), nullptr);
    EXPECT_EQ(WMUtil::image(nullptr, 1), nullptr);
}

TEST_F(WMUtilViewsTest, ViewSnapshotsHaveTheBoundsSize) {
    auto view = make<UIImageView>(CGRect{0, 0, 30, 20});
    view->setBackgroundColor(UIColor::greenColor());
    auto shot = WMUtil::getImageFromImageView(view);
    ASSERT_TRUE(shot);
    EXPECT_EQ(shot->size(), (CGSize{30, 20}));
    EXPECT_EQ(shot->CGImage()->pixelAt(15, 10), (CGImagePixel{0, 255, 0, 255}));
}

TEST_F(WMUtilViewsTest, TextHUDsShowTheMessageAndGoAway) {
    auto delegate = make<UIApplicationDelegate>();
    delegate->setWindow(window);
    UIApplication::sharedApplication()->setDelegate(delegate);

    WMUtil::showTipsWithHUD("已复制");
    auto hud = MBProgressHUD::HUDForView(window);
    ASSERT_TRUE(hud);
    EXPECT_EQ(hud->mode(), MBProgressHUDMode::Text);
    EXPECT_EQ(hud->detailsLabel()->text(), "已复制");
    EXPECT_EQ(hud->detailsLabel()->font().pointSize(), 15);
    clock.advance(1.4);
    EXPECT_EQ(hud->superview(), window);
    clock.advance(0.5);  // 1.5 seconds, then the fade
    EXPECT_EQ(hud->superview(), nullptr);

    auto panel = make<UIView>(CGRect{0, 100, 375, 300});
    window->addSubview(panel);
    WMUtil::showHudMessage("网络异常", 2, panel);
    hud = MBProgressHUD::HUDForView(panel);
    ASSERT_TRUE(hud);
    EXPECT_EQ(hud->label()->text(), "网络异常");
    EXPECT_EQ(hud->frame().origin.y, 20);
    clock.advance(2.5);
    EXPECT_EQ(hud->superview(), nullptr);

    UIApplication::sharedApplication()->setDelegate(nullptr);
    WMUtil::showTipsWithHUD("no window");  // nowhere to show it: nothing happens
}

TEST_F(WMUtilViewsTest, LoadingBarAndSpinnerComeAndGoByTag) {
    auto view = make<UIView>(CGRect{0, 0, 300, 400});
    window->addSubview(view);
    WMUtil::addLoadingViewAndLabelInView(view, 100);
    auto bar = view->viewWithTag(WMUtil::kLoadingBarTag);
    ASSERT_TRUE(bar);
    EXPECT_EQ(bar->frame(), (CGRect{0, 100, 300, 60}));
    auto spinner = std::dynamic_pointer_cast<UIActivityIndicatorView>(view->viewWithTag(WMUtil::kLoadingBarSpinnerTag));
    auto label = std::dynamic_pointer_cast<UILabel>(view->viewWithTag(WMUtil::kLoadingBarLabelTag));
    ASSERT_TRUE(spinner && label);
    EXPECT_TRUE(spinner->isAnimating());
    EXPECT_EQ(label->text(), "加载中");
    // Spinner, 5 points, label: centred across the bar together.
    const CGFloat groupLeft = spinner->frame().origin.x, groupRight = CGRectGetMaxX(label->frame());
    EXPECT_NEAR(groupLeft, 300 - groupRight, 0.01);
    EXPECT_EQ(label->frame().origin.x, groupLeft + 25);

    WMUtil::addLoadingViewAndLabelInView(view, 200);  // a second bar brings no second spinner or label
    EXPECT_TRUE(view->subviews().back()->subviews().empty());

    WMUtil::removeLoadingViewAndLabelInView(view);
    EXPECT_FALSE(spinner->isAnimating());
    EXPECT_EQ(bar->superview(), nullptr);

    WMUtil::addLoadingViewInView(view, UIActivityIndicatorViewStyle::Gray, UIColor::orangeColor());
    auto plain = std::dynamic_pointer_cast<UIActivityIndicatorView>(view->viewWithTag(WMUtil::kSpinnerTag));
    ASSERT_TRUE(plain);
    EXPECT_EQ(plain->center(), (CGPoint{150, 200}));
    EXPECT_EQ(plain->color(), UIColor::orangeColor());
    EXPECT_TRUE(plain->isAnimating());
    WMUtil::removeLoadingViewInView(view);
    EXPECT_EQ(plain->superview(), nullptr);
    WMUtil::addLoadingViewInView(view, UIActivityIndicatorViewStyle::White);
    ASSERT_TRUE(view->viewWithTag(WMUtil::kSpinnerTag));
}

TEST_F(WMUtilViewsTest, PhoneCallAlertOpensTheDialler) {
    std::vector<std::string> dialled;
    UIApplication::installSimulatedApp("tel", [&](const Ref<NSURL>& url) { dialled.push_back(url->absoluteString()); });
    auto screen = window->rootViewController();
    WMUtil::callPhoneActionWithPhoneNum("13800138000", screen);
    clock.advance(0.5);
    auto alert = std::dynamic_pointer_cast<UIAlertController>(screen->presentedViewController());
    ASSERT_TRUE(alert);
    EXPECT_EQ(alert->title(), "138-0013-8000");
    ASSERT_EQ(alert->actions().size(), 2u);
    EXPECT_EQ(alert->actions()[0]->style(), UIAlertActionStyle::Destructive);
    EXPECT_EQ(alert->actions()[1]->title(), "取消");

    ASSERT_TRUE(driver.tap("呼叫"));
    clock.advance(0.5);
    EXPECT_EQ(UIApplication::sharedApplication()->openedURLs(), (std::vector<std::string>{"tel://13800138000"}));
    EXPECT_EQ(dialled, (std::vector<std::string>{"tel://13800138000"}));

    WMUtil::callPhoneActionWithPhoneNum("12", screen);  // too short to group: shown as it is
    clock.advance(0.5);
    alert = std::dynamic_pointer_cast<UIAlertController>(screen->presentedViewController());
    ASSERT_TRUE(alert);
    EXPECT_EQ(alert->title(), "12");
}

}  // namespace
