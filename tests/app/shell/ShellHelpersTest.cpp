#include <gtest/gtest.h>

#include <cmath>

#include "app/shell/KXLabel.h"
#include "app/shell/UIColorHex.h"
#include "app/shell/UIViewExt.h"
#include "tests/support/AppFixture.h"
#include "uikit/CAShapeLayer.h"
#include "uikit/UIScreen.h"
#include "uikit/UIWindow.h"

namespace {

void expectColor(const UIColor& color, int red, int green, int blue, double alpha) {
    EXPECT_NEAR(color.red() * 255, red, 1e-9);
    EXPECT_NEAR(color.green() * 255, green, 1e-9);
    EXPECT_NEAR(color.blue() * 255, blue, 1e-9);
    EXPECT_DOUBLE_EQ(color.alpha(), alpha);
}

TEST(UIColorHex, SixHexDigitsAfterAHashOr0xGiveTheColour) {
    expectColor(UIColorHex::colorWithHexStringWithHexString("#5879FF"), 88, 121, 255, 1.0);
    expectColor(UIColorHex::colorWithHexStringWithHexString("#5879ff"), 88, 121, 255, 1.0);
    expectColor(UIColorHex::colorWithHexStringWithHexString("0x5879FF"), 88, 121, 255, 1.0);
    expectColor(UIColorHex::colorWithHexStringWithHexString("5879FF"), 88, 121, 255, 1.0);
    expectColor(UIColorHex::colorWithHexStringWithHexString("#333333\n"), 51, 51, 51, 1.0);
    expectColor(UIColorHex::colorWithHexString("#E7E7E7", 0.28), 231, 231, 231, 0.28);
}

TEST(UIColorHex, UnreadableTextGivesTheClearColour) {
    for (const char* text : {"", "#FFF", "#5879FF00", " #5879FF", "0X5879FF", "#5879F", "red", "#坏颜色啊啊"})
        EXPECT_EQ(UIColorHex::colorWithHexStringWithHexString(text), UIColor::clearColor()) << text;
    // A pair read only as far as it has hex digits; one starting otherwise reads 0.
    expectColor(UIColorHex::colorWithHexStringWithHexString("#ZZ1G0F"), 0, 1, 15, 1.0);
}

TEST(KXLabel, FactoriesSetTextFontColourAndUnlimitedLines) {
    auto bold = KXLabel::boldLabel("资产", "#5879FF", 18);
    EXPECT_EQ(bold->text(), "资产");
    EXPECT_EQ(bold->font(), UIFont::boldSystemFontOfSize(18));
    expectColor(bold->textColor(), 88, 121, 255, 1.0);
    EXPECT_EQ(bold->numberOfLines(), 0);
    EXPECT_EQ(bold->frame(), CGRectZero);
    EXPECT_EQ(bold->className(), "KXLabel");

    auto plain = KXLabel::systemLabel("余额", "not a colour", 12.5);
    EXPECT_EQ(plain->font(), UIFont::systemFontOfSize(12.5));
    EXPECT_EQ(plain->textColor(), UIColor::clearColor());
    EXPECT_EQ(plain->numberOfLines(), 0);
}

TEST(UIViewExt, EdgeSettersMoveTheViewAndKeepItsSize) {
    auto view = make<UIView>(CGRectMake(10, 20, 50, 30));
    UIViewExt::setBottom(*view, 100);
    EXPECT_EQ(view->frame(), CGRectMake(10, 70, 50, 30));
    UIViewExt::setRight(*view, 200);
    EXPECT_EQ(view->frame(), CGRectMake(150, 70, 50, 30));
    EXPECT_EQ(UIViewExt::right(*view), 200);
    EXPECT_EQ(UIViewExt::bottomY(*view), 100);
    UIViewExt::setRightX(*view, 60);
    UIViewExt::setBottomY(*view, 30);
    EXPECT_EQ(view->frame(), CGRectMake(10, 0, 50, 30));

    UIViewExt::setWidth(*view, 80);
    UIViewExt::setHeight(*view, 40);
    UIViewExt::setLeft(*view, 5);
    UIViewExt::setTop(*view, 6);
    EXPECT_EQ(view->frame(), CGRectMake(5, 6, 80, 40));
    UIViewExt::setCenterX(*view, 100);
    UIViewExt::setCenterY(*view, 50);
    EXPECT_EQ(view->frame(), CGRectMake(60, 30, 80, 40));
    UIViewExt::setOrigin(*view, {1, 2});
    UIViewExt::setSize(*view, {3, 4});
    EXPECT_EQ(view->frame(), CGRectMake(1, 2, 3, 4));
    EXPECT_EQ(UIViewExt::centerX(*view), 2.5);
}

TEST(UIViewExt, RoundCornersMasksTheCurrentBoundsWithOnlyTheGivenCorners) {
    auto view = make<UIView>(CGRectMake(0, 0, 100, 40));
    UIViewExt::roundCorners(*view, UIRectCornerTopLeft | UIRectCornerTopRight, 12);
    auto mask = cast<CAShapeLayer>(view->layer()->mask());
    ASSERT_NE(mask, nullptr);
    EXPECT_EQ(mask->frame(), CGRectMake(0, 0, 100, 40));
    const CGPathRef& path = mask->path();
    EXPECT_FALSE(CGPathContainsPoint(path, nullptr, {1, 1}, false));        // rounded top-left
    EXPECT_TRUE(CGPathContainsPoint(path, nullptr, {1, 39}, false));        // square bottom-left
    EXPECT_TRUE(CGPathContainsPoint(path, nullptr, {50, 20}, false));

    // Later size changes leave the mask; a second call replaces it.
    view->setFrame(CGRectMake(0, 0, 200, 80));
    EXPECT_EQ(view->layer()->mask(), mask);
    UIViewExt::roundCorners(*view, UIRectCornerAllCorners, 4);
    EXPECT_NE(view->layer()->mask(), mask);
    EXPECT_EQ(view->layer()->mask()->frame(), CGRectMake(0, 0, 200, 80));
}

class IsShowingOnWindow : public AppFixture {};

TEST_F(IsShowingOnWindow, OnlyVisibleViewsInsideTheKeyWindowCount) {
    auto window = make<UIWindow>(UIScreen::mainScreen()->bounds());
    auto container = make<UIView>(CGRectMake(0, 100, 100, 100));
    auto view = make<UIView>(CGRectMake(10, 10, 20, 20));
    container->addSubview(view);
    window->addSubview(container);
    EXPECT_FALSE(UIViewExt::isShowingOnWindow(*view));  // no key window yet
    window->makeKeyAndVisible();
    EXPECT_TRUE(UIViewExt::isShowingOnWindow(*view));
    EXPECT_TRUE(UIViewExt::isShowingOnWindow(*window));

    view->setAlpha(0.01);
    EXPECT_FALSE(UIViewExt::isShowingOnWindow(*view));
    view->setAlpha(0.02);
    view->setHidden(true);
    EXPECT_FALSE(UIViewExt::isShowingOnWindow(*view));
    view->setHidden(false);
    // Off the window's bounds, or out of the window altogether.
    container->setFrame(CGRectMake(-500, 100, 100, 100));
    EXPECT_FALSE(UIViewExt::isShowingOnWindow(*view));
    container->setFrame(CGRectMake(0, 100, 100, 100));
    container->removeFromSuperview();
    EXPECT_FALSE(UIViewExt::isShowingOnWindow(*view));
}

}  // namespace
