#include <gtest/gtest.h>

#include "app/components/KXViewUtils.h"
#include "app/components/UIBarButtonItemItem.h"
#include "app/components/UIButtonExtension.h"
#include "app/components/UIColorLegacyHex.h"
#include "app/components/ViewController.h"
#include "app/shell/UIColorHex.h"
#include "graphics/UIGraphics.h"
#include "tests/support/AppFixture.h"
#include "uikit/UIAlertController.h"
#include "uikit/UIDriver.h"
#include "uikit/UINavigationController.h"
#include "uikit/UITabBarController.h"
#include "uikit/UIWindow.h"

namespace {

class UIKitExtensionsTest : public AppFixture {
protected:
    // A window showing a plain screen, its view holding what a test adds.
    Ref<UIView> showScreen() {
        window = make<UIWindow>();
        window->setRootViewController(make<ViewController>());
        window->makeKeyAndVisible();
        driver.settle();
        return window->rootViewController()->view();
    }
    // A button at (100, 100) of the size that counts its taps.
    Ref<UIButton> tappableButton(const Ref<UIView>& screen, CGSize size) {
        auto button = UIButtonExtension::createSimpleButtonWithFrame({{100, 100}, size}, std::nullopt, std::nullopt,
                                                                     nullptr, [this](const Ref<UIControl>&) { ++taps; });
        screen->addSubview(button);
        return button;
    }
    bool tapsAt(const Ref<UIView>& screen, CGFloat x, CGFloat y) {
        int before = taps;
        driver.tapAt(screen->convertPointToView({x, y}, nullptr));
        return taps > before;
    }

    Ref<UIWindow> window;
    UIDriver driver;
    int taps = 0;
};

TEST_F(UIKitExtensionsTest, EveryButtonAnswersTouchesOverAtLeast44By44Points) {
    auto screen = showScreen();
    // 20 x 30: 12 points more on the left and right, 7 above and below.
    tappableButton(screen, {20, 30});
    EXPECT_TRUE(tapsAt(screen, 100 - 11, 115));
    EXPECT_FALSE(tapsAt(screen, 100 - 13, 115));
    EXPECT_TRUE(tapsAt(screen, 120 + 11, 115));
    EXPECT_TRUE(tapsAt(screen, 110, 100 - 6.5));
    EXPECT_FALSE(tapsAt(screen, 110, 130 + 7.5));
    EXPECT_EQ(taps, 3);

    // A button behind it, 6 points above: the larger area in front takes
    // only the points that button's bounds leave, and of the gap the part
    // nearer to it.
    auto above = UIButtonExtension::createSimpleButtonWithFrame({100, 60, 20, 34}, std::string("上"), std::nullopt,
                                                                nullptr, [this](const Ref<UIControl>&) { taps += 10; });
    screen->insertSubview(above, 0);
    tapsAt(screen, 110, 93.5);
    EXPECT_EQ(taps, 13) << "inside the button behind";
    tapsAt(screen, 110, 95);
    EXPECT_EQ(taps, 23) << "between the two, nearer the one behind";
    tapsAt(screen, 110, 98);
    EXPECT_EQ(taps, 24) << "between the two, nearer the one in front";
    tapsAt(screen, 100 - 11, 115);
    EXPECT_EQ(taps, 25);
    above->removeFromSuperview();

    // 60 x 50 keeps its bounds.
    screen->subviews().back()->removeFromSuperview();
    tappableButton(screen, {60, 50});
    EXPECT_TRUE(tapsAt(screen, 100.5, 100.5));
    EXPECT_FALSE(tapsAt(screen, 99, 120));
    EXPECT_FALSE(tapsAt(screen, 130, 151));

    // Plain views keep their bounds.
    auto plain = make<UIView>(CGRectMake(0, 0, 10, 10));
    EXPECT_FALSE(plain->pointInside({-1, 5}));
    EXPECT_TRUE(UIButtonExtension::pointInside(*make<UIButton>(CGRectMake(0, 0, 0, 0)), {-21.9, 21.9}));
}

TEST_F(UIKitExtensionsTest, TheCurrentScreenIsFoundThroughTabsStacksAndPresentations) {
    EXPECT_EQ(KXViewUtils::getCurrentVC(), nullptr);

    auto first = make<ViewController>();
    auto pushed = make<ViewController>();
    auto navigation = make<UINavigationController>(first);
    auto other = make<ViewController>();
    auto tabs = make<UITabBarController>();
    tabs->setViewControllers({other, navigation});
    window = make<UIWindow>();
    window->setRootViewController(tabs);
    window->makeKeyAndVisible();
    driver.settle();
    EXPECT_EQ(KXViewUtils::getCurrentVC(), other);

    tabs->setSelectedIndex(1);
    navigation->pushViewController(pushed, false);
    driver.settle();
    EXPECT_EQ(KXViewUtils::getCurrentVC(), pushed);

    // A presented navigation stack, and an alert over it.
    auto sheetTop = make<ViewController>();
    auto sheet = make<UINavigationController>(sheetTop);
    pushed->presentViewController(sheet, false);
    driver.settle();
    EXPECT_EQ(KXViewUtils::getCurrentVC(), sheetTop);
    auto alert = UIAlertController::alertControllerWithTitle("提示", "", UIAlertControllerStyle::Alert);
    sheetTop->presentViewController(alert, false);
    driver.settle();
    EXPECT_EQ(KXViewUtils::getCurrentVC(), alert);
}

TEST(UIColorLegacyHexTest, ReadsSixDigitsAfterTheUpperCasedPrefixes) {
    UIColor expected = UIColor::colorWithRed(88 / 255.0, 121 / 255.0, 1, 1);
    EXPECT_EQ(UIColorLegacyHex::colorWithHexString("#5879FF"), expected);
    EXPECT_EQ(UIColorLegacyHex::colorWithHexString("0x5879ff"), expected);
    EXPECT_EQ(UIColorLegacyHex::colorWithHexString("0X#5879ff"), expected);
    EXPECT_EQ(UIColorLegacyHex::colorWithHexString("5879FF"), expected);
    // The prefixes are looked for after trimming: unlike the current rule.
    EXPECT_EQ(UIColorLegacyHex::colorWithHexString("  #5879ff\n"), expected);
    EXPECT_EQ(UIColorHex::colorWithHexStringWithHexString(" #5879ff"), UIColor::clearColor());
    EXPECT_EQ(UIColorLegacyHex::colorWithHexString("#5879FF", 0.5), expected.colorWithAlphaComponent(0.5));
    // Wrong lengths are clear; a pair starting with a non-digit reads 0.
    EXPECT_EQ(UIColorLegacyHex::colorWithHexString("#FFF"), UIColor::clearColor());
    EXPECT_EQ(UIColorLegacyHex::colorWithHexString("#5879FF00"), UIColor::clearColor());
    EXPECT_EQ(UIColorLegacyHex::colorWithHexString(""), UIColor::clearColor());
    EXPECT_EQ(UIColorLegacyHex::colorWithHexString("G0F0FF"), UIColor::colorWithRed(0, 240 / 255.0, 1, 1));
    EXPECT_EQ(UIColorLegacyHex::colorWithHexString("中文颜色值"), UIColor::clearColor());
}

TEST_F(UIKitExtensionsTest, ImageAndTitleArrangementsSetTheInsetsFromTheirSizes) {
    showScreen();
    UIGraphicsBeginImageContextWithOptions({20, 16}, false, 2);
    auto icon = UIGraphicsGetImageFromCurrentImageContext();
    UIGraphicsEndImageContext();
    auto button = make<UIButton>(CGRectMake(0, 0, 120, 80));
    button->setImage(icon, UIControlStateNormal);
    button->setTitle("推广", UIControlStateNormal);

    UIButtonExtension::layoutButtonWithEdgeInsetsStyle(button, 0, 8);
    CGSize label = button->titleLabel()->intrinsicContentSize();
    ASSERT_GT(label.width, 0);
    EXPECT_EQ(button->titleEdgeInsets(), (UIEdgeInsets{0, -20, -16 - 4, 0}));
    EXPECT_EQ(button->imageEdgeInsets(), (UIEdgeInsets{-label.height - 4, 0, 0, -label.width}));
    // Image above the title once laid out.
    button->layoutIfNeeded();
    EXPECT_LT(CGRectGetMaxY(button->imageView()->frame()), CGRectGetMinY(button->titleLabel()->frame()) + 1);

    UIButtonExtension::layoutButtonWithEdgeInsetsStyle(button, 3, 8);
    EXPECT_EQ(button->titleEdgeInsets(), (UIEdgeInsets{0, -20 - 4, 0, 20 + 4}));
    EXPECT_EQ(button->imageEdgeInsets(), (UIEdgeInsets{0, label.width + 4, 0, -label.width - 4}));
    UIButtonExtension::layoutButtonWithEdgeInsetsStyle(button, 1, 8);
    EXPECT_EQ(button->titleEdgeInsets(), (UIEdgeInsets{0, 4, 0, -4}));
    UIButtonExtension::layoutButtonWithEdgeInsetsStyle(button, 9, 8);
    EXPECT_EQ(button->titleEdgeInsets(), UIEdgeInsetsZero);
    EXPECT_EQ(button->imageEdgeInsets(), UIEdgeInsetsZero);
}

TEST_F(UIKitExtensionsTest, FactoriesWireTheirActionsAndLooks) {
    auto screen = showScreen();
    auto target = make<NSObject>();
    int sent = 0;
    auto count = [&sent](const Ref<UIControl>&) { ++sent; };

    auto system = UIButtonExtension::createButtonWithFrame(CGRectMake(10, 10, 80, 30), "确定", target, count);
    EXPECT_EQ(system->buttonType(), UIButtonType::System);
    EXPECT_EQ(system->titleColorForState(UIControlStateNormal), UIColor::grayColor());
    EXPECT_EQ(system->titleLabel()->font().pointSize(), 12);
    screen->addSubview(system);
    EXPECT_TRUE(driver.tap("确定"));
    EXPECT_EQ(sent, 1);

    // Target and action only when both are given.
    auto untargeted = UIButtonExtension::createButtonWithFrame(CGRectMake(0, 0, 60, 60), "missing", "礼包", nullptr,
                                                               count);
    EXPECT_EQ(untargeted->allControlEvents(), 0u);
    EXPECT_EQ(untargeted->titleLabel()->font().pointSize(), 13);
    EXPECT_EQ(untargeted->titleColorForState(UIControlStateHighlighted), UIColor::grayColor());

    auto normal = UIButtonExtension::createNormalButtonWithFrame(CGRectMake(0, 0, 60, 60), std::nullopt, "更多", 0,
                                                                 CGSizeZero);
    EXPECT_EQ(normal->titleColorForState(UIControlStateNormal), UIColor::lightGrayColor());
    EXPECT_EQ(normal->allControlEvents(), 0u);
    EXPECT_EQ(normal->currentImage(), nullptr);

    auto colored = UIButtonExtension::setButtonWithFrame(CGRectMake(0, 0, 60, 30), "充值", std::nullopt, 16,
                                                         UIColor::redColor(), target, count);
    EXPECT_EQ(colored->currentTitleColor(), UIColor::redColor());
    EXPECT_EQ(colored->titleLabel()->font().pointSize(), 16);
    EXPECT_EQ(colored->allTargets(), (std::vector<Ref<NSObject>>{target}));
}

TEST_F(UIKitExtensionsTest, BarItemsWrapTheirButtons) {
    auto screen = showScreen();
    UIGraphicsBeginImageContextWithOptions({22, 18}, false, 2);
    auto icon = UIGraphicsGetImageFromCurrentImageContext();
    UIGraphicsEndImageContext();
    int sent = 0;
    auto target = make<NSObject>();
    auto count = [&sent](const Ref<UIControl>&) { ++sent; };

    auto item = UIBarButtonItemItem::itemWithimageHighImageTargetAction(icon, icon, target, count);
    auto holder = item->customView();
    ASSERT_EQ(holder->subviews().size(), 1u);
    auto button = cast<UIButton>(holder->subviews()[0]);
    ASSERT_TRUE(button);
    EXPECT_EQ(holder->bounds(), button->bounds());
    EXPECT_EQ(button->bounds().size, CGSizeMake(22, 18));
    EXPECT_EQ(button->backgroundColor(), UIColor::redColor());
    holder->setFrame(CGRectMake(50, 50, 22, 18));
    screen->addSubview(holder);
    EXPECT_TRUE(driver.tap(button));
    EXPECT_EQ(sent, 1);

    auto selectable = UIBarButtonItemItem::itemWithimageSelImageTargetAction(icon, nullptr, target, count);
    auto selButton = cast<UIButton>(selectable->customView()->subviews().at(0));
    EXPECT_EQ(selButton->backgroundColor(), std::nullopt);

    auto back = UIBarButtonItemItem::backItemWithimage(icon, icon, target, count, "  ");
    auto backButton = cast<UIButton>(back->customView());
    ASSERT_TRUE(backButton);
    EXPECT_EQ(backButton->titleColorForState(UIControlStateNormal), UIColor::blackColor());
    EXPECT_EQ(backButton->titleColorForState(UIControlStateHighlighted), UIColor::redColor());
    EXPECT_EQ(backButton->contentEdgeInsets(), (UIEdgeInsets{0, -5, 0, 0}));
    EXPECT_EQ(backButton->titleForState(UIControlStateNormal), "  ");
    // Sized to its content before the content moved 5 points left: the
    // button is as wide as the image and title, those 5 points at its right.
    auto content = UIButton::buttonWithType(UIButtonType::Custom);
    content->setTitle(std::string("  "), UIControlStateNormal);
    content->setImage(icon, UIControlStateNormal);
    content->sizeToFit();
    EXPECT_EQ(backButton->bounds().size, content->bounds().size);
    EXPECT_GT(backButton->bounds().size.width, 22);
}

}  // namespace
