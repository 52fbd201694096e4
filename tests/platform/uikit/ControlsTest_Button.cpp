#include <gtest/gtest.h>

#include "ControlsTestFixture.h"
#include "graphics/UIGraphics.h"
#include "uikit/UIButton.h"
#include "uikit/ViewSnapshot.h"

namespace {

Ref<UIImage> filledImage(CGSize size, const UIColor& colour) {
    UIGraphicsBeginImageContextWithOptions(size, true, 1);
    CGContextSetFillColorWithColor(UIGraphicsGetCurrentContext(), colour);
    CGContextFillRect(UIGraphicsGetCurrentContext(), CGRect{CGPointZero, size});
    auto image = UIGraphicsGetImageFromCurrentImageContext();
    UIGraphicsEndImageContext();
    return image;
}

class ButtonTest : public ControlsFixture {
protected:
    Ref<UIButton> button = UIButton::buttonWithType(UIButtonType::Custom);
};

TEST_F(ButtonTest, ContentFallsBackToTheNormalState) {
    auto icon = filledImage({20, 20}, UIColor::redColor());
    auto pressed = filledImage({20, 20}, UIColor::blueColor());
    button->setTitle("复制", UIControlStateNormal);
    button->setTitle("已选", UIControlStateSelected);
    button->setImage(icon, UIControlStateNormal);
    button->setImage(pressed, UIControlStateHighlighted);
    button->setTitleColor(UIColor::redColor(), UIControlStateHighlighted);

    EXPECT_EQ(button->titleForState(UIControlStateDisabled), "复制");
    EXPECT_EQ(button->currentTitle(), "复制");
    EXPECT_EQ(button->currentTitleColor(), UIColor::whiteColor());  // custom buttons default to white
    button->setHighlighted(true);
    EXPECT_EQ(button->currentImage(), pressed);
    EXPECT_EQ(button->currentTitleColor(), UIColor::redColor());
    EXPECT_EQ(button->titleLabel()->textColor(), UIColor::redColor());
    EXPECT_EQ(button->imageView()->image(), pressed);
    button->setHighlighted(false);
    button->setSelected(true);
    EXPECT_EQ(button->currentTitle(), "已选");
    EXPECT_EQ(button->titleLabel()->text(), "已选");
    EXPECT_EQ(button->currentImage(), icon);
    // Selected and highlighted together has no value of its own: normal's.
    button->setHighlighted(true);
    EXPECT_EQ(button->currentTitle(), "复制");
    // Clearing a state's value brings back the fallback.
    button->setImage(nullptr, UIControlStateHighlighted);
    button->setSelected(false);
    EXPECT_EQ(button->currentImage(), icon);
}

TEST_F(ButtonTest, AttributedTitleWinsOverThePlainOne) {
    button->setTitle("plain", UIControlStateNormal);
    button->setAttributedTitle(NSAttributedString("rich"), UIControlStateNormal);
    EXPECT_EQ(button->currentTitle(), "rich");
    EXPECT_EQ(button->titleLabel()->text(), "rich");
    EXPECT_EQ(button->accessibilityLabel(), "rich");
    button->setAttributedTitle(std::nullopt, UIControlStateNormal);
    EXPECT_EQ(button->titleLabel()->text(), "plain");
}

TEST_F(ButtonTest, SystemButtonsTakeTheirTitleColourFromTheTint) {
    auto system = UIButton::buttonWithType(UIButtonType::System);
    system->setTintColor(UIColor::blueColor());
    EXPECT_EQ(system->buttonType(), UIButtonType::System);
    EXPECT_EQ(system->titleColorForState(UIControlStateNormal), UIColor::blueColor());
    EXPECT_LT(system->titleColorForState(UIControlStateHighlighted).alpha(), 1);
    EXPECT_NE(system->titleColorForState(UIControlStateDisabled), UIColor::blueColor());
    system->setTitleColor(UIColor::greenColor(), UIControlStateNormal);
    EXPECT_EQ(system->titleColorForState(UIControlStateDisabled), UIColor::greenColor());
}

TEST_F(ButtonTest, ImageAndTitleSitSideBySideAndInsetsMoveThem) {
    button->setImage(filledImage({20, 10}, UIColor::redColor()), UIControlStateNormal);
    button->setTitle("申请游戏", UIControlStateNormal);
    place(button, CGRectMake(0, 0, 200, 60));
    driver.settle();
    CGSize title = button->titleLabel()->intrinsicContentSize();
    CGFloat left = (200 - 20 - title.width) / 2;
    EXPECT_EQ(button->imageView()->frame(), CGRectMake(left, 25, 20, 10));
    EXPECT_DOUBLE_EQ(button->titleLabel()->frame().origin.x, left + 20);
    EXPECT_EQ(button->intrinsicContentSize(), CGSizeMake(20 + title.width, std::max(10.0, title.height)));

    // Image above the title, as the layout helpers of the app arrange it with space s.
    CGFloat s = 4, iw = 20, ih = 10, lw = title.width, lh = title.height;
    button->setTitleEdgeInsets(UIEdgeInsetsMake(0, -iw, -ih - s / 2, 0));
    button->setImageEdgeInsets(UIEdgeInsetsMake(-lh - s / 2, 0, 0, -lw));
    driver.settle();
    CGRect image = button->imageView()->frame(), label = button->titleLabel()->frame();
    EXPECT_NEAR(CGRectGetMidX(image), 100, 1e-9);
    EXPECT_NEAR(CGRectGetMidX(label), 100, 1e-9);
    // Centred content moves by half the inset difference, so the gap is s / 2.
    EXPECT_NEAR(CGRectGetMinY(label) - CGRectGetMaxY(image), s / 2, 1e-9);

    // Image right of the title.
    button->setTitleEdgeInsets(UIEdgeInsetsMake(0, -iw - s / 2, 0, iw + s / 2));
    button->setImageEdgeInsets(UIEdgeInsetsMake(0, lw + s / 2, 0, -lw - s / 2));
    driver.settle();
    image = button->imageView()->frame();
    label = button->titleLabel()->frame();
    EXPECT_NEAR(CGRectGetMinX(image) - CGRectGetMaxX(label), s, 1e-9);
    EXPECT_NEAR((CGRectGetMinX(label) + CGRectGetMaxX(image)) / 2, 100, 1e-9);
}

TEST_F(ButtonTest, AlignmentAndContentInsetsPlaceTheGroup) {
    button->setTitle("OK", UIControlStateNormal);
    button->setContentEdgeInsets(UIEdgeInsetsMake(0, -5, 0, 0));
    place(button, CGRectMake(0, 0, 100, 40));
    button->setContentHorizontalAlignment(UIControlContentHorizontalAlignment::Left);
    button->setTitleEdgeInsets(UIEdgeInsetsMake(8, 5, 0, 0));
    driver.settle();
    CGRect label = button->titleLabel()->frame();
    EXPECT_EQ(label.origin.x, 0);  // -5 of content inset, +5 of title inset
    EXPECT_NEAR(CGRectGetMidY(label), 20 + 4, 1e-9);
    button->setContentHorizontalAlignment(UIControlContentHorizontalAlignment::Right);
    button->setContentVerticalAlignment(UIControlContentVerticalAlignment::Top);
    driver.settle();
    label = button->titleLabel()->frame();
    EXPECT_EQ(CGRectGetMaxX(label), 100);
    EXPECT_EQ(label.origin.y, 8);
    // The natural size counts the content insets, not the title's.
    EXPECT_EQ(button->intrinsicContentSize().width, button->titleLabel()->intrinsicContentSize().width - 5);
}

TEST_F(ButtonTest, LongTitlesAreNarrowedToTheRoomLeft) {
    button->setImage(filledImage({30, 30}, UIColor::redColor()), UIControlStateNormal);
    button->setTitle("一个很长很长很长很长很长的标题", UIControlStateNormal);
    place(button, CGRectMake(0, 0, 100, 40));
    driver.settle();
    EXPECT_EQ(button->titleLabel()->frame().size.width, 70);
    EXPECT_EQ(button->imageView()->frame().origin.x, 0);
}

TEST_F(ButtonTest, HighlightedAndDisabledStatesDimTheNormalImage) {
    button->setImage(filledImage({10, 10}, UIColor::redColor()), UIControlStateNormal);
    button->setHighlighted(true);
    EXPECT_LT(button->imageView()->alpha(), 1);
    button->setAdjustsImageWhenHighlighted(false);
    EXPECT_EQ(button->imageView()->alpha(), 1);
    button->setHighlighted(false);
    button->setEnabled(false);
    EXPECT_LT(button->imageView()->alpha(), 1);
    button->setImage(filledImage({10, 10}, UIColor::blueColor()), UIControlStateDisabled);
    EXPECT_EQ(button->imageView()->alpha(), 1);
}

TEST_F(ButtonTest, TouchAreaRuleReplacesTheBoundsTestForEveryButton) {
    place(button, CGRectMake(100, 100, 20, 20));
    button->setTitle("x", UIControlStateNormal);
    button->addTarget(nullptr, [this](const Ref<UIControl>&) { log.push_back("tap"); }, UIControlEventTouchUpInside);
    EXPECT_FALSE(driver.tapAt({95, 110}));
    // A touch area of at least 44 x 44 points around the bounds.
    UIButton::setPointInsideRule([](UIButton& b, CGPoint p) {
        CGRect area = b.bounds();
        CGFloat dx = std::max(44 - area.size.width, 0.0) / 2, dy = std::max(44 - area.size.height, 0.0) / 2;
        return CGRectContainsPoint(CGRectInset(area, -dx, -dy), p);
    });
    EXPECT_TRUE(driver.tapAt({95, 110}));
    EXPECT_FALSE(driver.tapAt({85, 110}));
    UIButton::setPointInsideRule(nullptr);
    EXPECT_FALSE(driver.tapAt({95, 110}));
    EXPECT_EQ(log.size(), 1u);
}

TEST_F(ButtonTest, RendersBackgroundImageUnderTheImage) {
    place(button, CGRectMake(0, 0, 40, 40));
    button->setBackgroundImage(filledImage({4, 4}, UIColor::blueColor()), UIControlStateNormal);
    button->setImage(filledImage({10, 10}, UIColor::redColor()), UIControlStateNormal);
    driver.settle();
    auto shot = snapshotView(button, false, 1);
    ASSERT_TRUE(shot);
    auto pixel = [&](int x, int y) { return shot->CGImage()->pixelAt(x, y); };
    EXPECT_EQ(pixel(2, 2), (CGImagePixel{0, 0, 255, 255}));
    EXPECT_EQ(pixel(20, 20), (CGImagePixel{255, 0, 0, 255}));
}

}  // namespace
