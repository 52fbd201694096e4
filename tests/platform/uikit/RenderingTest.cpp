#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <fstream>

#include "graphics/UIGraphics.h"
#include "tests/support/AppFixture.h"
#include "uikit/CAGradientLayer.h"
#include "uikit/CAShapeLayer.h"
#include "uikit/UIBezierPath.h"
#include "uikit/UIImageView.h"
#include "uikit/UILabel.h"
#include "uikit/ViewSnapshot.h"
#include "tests/support/TestShots.h"

namespace {

// A view drawing its own content: a green disc through a Bezier path.
class DiscView : public UIView {
public:
    using UIView::UIView;
    void drawRect(CGRect rect) override {
        CGContextSetFillColorWithColor(UIGraphicsGetCurrentContext(), UIColor::greenColor());
        UIBezierPath::bezierPathWithOvalInRect(rect)->fill();
    }
};

Ref<UIImage> checkerImage() {
    UIGraphicsBeginImageContextWithOptions({20, 20}, true, 1);
    auto context = UIGraphicsGetCurrentContext();
    CGContextSetFillColorWithColor(context, UIColor::redColor());
    CGContextFillRect(context, CGRectMake(0, 0, 20, 20));
    CGContextSetFillColorWithColor(context, UIColor::yellowColor());
    CGContextFillRect(context, CGRectMake(0, 0, 10, 10));
    CGContextFillRect(context, CGRectMake(10, 10, 10, 10));
    auto image = UIGraphicsGetImageFromCurrentImageContext();
    UIGraphicsEndImageContext();
    return image;
}

class RenderingTest : public AppFixture {
protected:
    // The pixel at a point (in points) of a snapshot at scale 2.
    static CGImagePixel at(const Ref<UIImage>& image, CGFloat x, CGFloat y) {
        return image->CGImage()->pixelAt(static_cast<std::size_t>(x * 2), static_cast<std::size_t>(y * 2));
    }
    static bool near(CGImagePixel pixel, int r, int g, int b, int tolerance = 12) {
        return std::abs(pixel.red - r) <= tolerance && std::abs(pixel.green - g) <= tolerance &&
               std::abs(pixel.blue - b) <= tolerance;
    }
    static std::string describe(CGImagePixel p) {
        return std::to_string(p.red) + "," + std::to_string(p.green) + "," + std::to_string(p.blue) + "," +
               std::to_string(p.alpha);
    }
};

TEST_F(RenderingTest, SmallScreenWithLabelRoundedButtonShadowedCardAndImage) {
    auto screen = make<UIView>(CGRectMake(0, 0, 200, 220));
    screen->setBackgroundColor(UIColor::whiteColor());

    auto title = make<UILabel>(CGRectMake(20, 10, 160, 30));
    title->setText("Hello 你好");
    title->setFont(UIFont::boldSystemFontOfSize(20));
    title->setTextAlignment(NSTextAlignment::Center);
    screen->addSubview(title);

    auto button = make<UIView>(CGRectMake(20, 50, 160, 40));
    button->setBackgroundColor(UIColor::colorWithRed(0, 0.4, 1, 1));
    button->layer()->setCornerRadius(20);
    button->layer()->setBorderWidth(3);
    button->layer()->setBorderColor(UIColor::colorWithRed(0, 0, 0.5, 1));
    auto caption = make<UILabel>(button->bounds());
    caption->setText("Sign in");
    caption->setTextColor(UIColor::whiteColor());
    caption->setTextAlignment(NSTextAlignment::Center);
    button->addSubview(caption);
    screen->addSubview(button);

    auto card = make<UIView>(CGRectMake(20, 110, 100, 60));
    card->setBackgroundColor(UIColor::colorWithWhite(0.97, 1));
    card->layer()->setCornerRadius(8);
    card->layer()->setShadowColor(UIColor::blackColor());
    card->layer()->setShadowOpacity(0.6);
    card->layer()->setShadowOffset({0, 6});
    card->layer()->setShadowRadius(4);
    auto disc = make<DiscView>(CGRectMake(10, 10, 40, 40));
    card->addSubview(disc);
    screen->addSubview(card);

    auto picture = make<UIImageView>(CGRectMake(140, 110, 40, 60));
    picture->setImage(checkerImage());
    picture->setContentMode(UIViewContentMode::ScaleAspectFit);
    screen->addSubview(picture);

    auto gradient = CAGradientLayer::layer();
    gradient->setFrame(CGRectMake(20, 190, 160, 20));
    gradient->setColors({UIColor::orangeColor(), UIColor::purpleColor()});
    gradient->setStartPoint({0, 0.5});
    gradient->setEndPoint({1, 0.5});
    screen->layer()->addSublayer(gradient);

    auto image = snapshotView(screen);
    ASSERT_TRUE(image);
    EXPECT_EQ(image->CGImage()->width(), 400u);
    EXPECT_EQ(image->CGImage()->height(), 440u);
    auto png = UIImagePNGRepresentation(image);
    ASSERT_TRUE(png);
    std::ofstream(testShotPath("uikit-small-screen.png"), std::ios::binary)
        .write(reinterpret_cast<const char*>(png->bytes()), static_cast<std::streamsize>(png->length()));

    // The label's text darkens some pixels of its line, and only there.
    int dark = 0;
    for (CGFloat x = 20; x < 180; x += 0.5)
        for (CGFloat y = 10; y < 40; y += 0.5) dark += at(image, x, y).red < 100;
    EXPECT_GT(dark, 40);
    EXPECT_TRUE(near(at(image, 25, 15), 255, 255, 255)) << describe(at(image, 25, 15));

    // The button: blue inside, its border on the edge, the corner outside its curve left white.
    EXPECT_TRUE(near(at(image, 40, 60), 0, 102, 255)) << describe(at(image, 40, 60));
    EXPECT_TRUE(near(at(image, 21, 70), 0, 0, 128, 30)) << describe(at(image, 21, 70));
    EXPECT_TRUE(near(at(image, 21, 51), 255, 255, 255)) << describe(at(image, 21, 51));
    // The caption's white text sits over the blue in the middle.
    int whiteInButton = 0;
    for (CGFloat x = 70; x < 130; x += 0.5) whiteInButton += at(image, x, 70).blue > 250 && at(image, x, 70).red > 200;
    EXPECT_GT(whiteInButton, 3);

    // The card: its own colour, a shadow below it (not above: offset down), the disc in it.
    EXPECT_TRUE(near(at(image, 100, 130), 247, 247, 247)) << describe(at(image, 100, 130));
    EXPECT_LT(at(image, 70, 173).red, 235) << describe(at(image, 70, 173));
    EXPECT_TRUE(near(at(image, 70, 108), 255, 255, 255)) << describe(at(image, 70, 108));
    EXPECT_TRUE(near(at(image, 50, 140), 0, 255, 0)) << describe(at(image, 50, 140));

    // Aspect fit: the square image is 40 x 40 in the middle of the 40 x 60 view.
    EXPECT_TRUE(near(at(image, 145, 125), 255, 255, 0)) << describe(at(image, 145, 125));
    EXPECT_TRUE(near(at(image, 175, 125), 255, 0, 0)) << describe(at(image, 175, 125));
    EXPECT_TRUE(near(at(image, 160, 112), 255, 255, 255)) << describe(at(image, 160, 112));

    // The gradient runs from orange to purple.
    EXPECT_GT(at(image, 22, 200).green, 100);
    EXPECT_LT(at(image, 178, 200).green, 30);
}

TEST_F(RenderingTest, ClippingMasksAlphaAndHiddenViews) {
    auto root = make<UIView>(CGRectMake(0, 0, 100, 100));
    root->setBackgroundColor(UIColor::whiteColor());

    // A clipped rounded parent hides what sticks out of it and its corners.
    auto clipper = make<UIView>(CGRectMake(0, 0, 40, 40));
    clipper->setClipsToBounds(true);
    clipper->layer()->setCornerRadius(20);
    auto overflow = make<UIView>(CGRectMake(0, 0, 80, 40));
    overflow->setBackgroundColor(UIColor::redColor());
    clipper->addSubview(overflow);
    root->addSubview(clipper);

    // Alpha applies to the composed group: overlapping children do not add up.
    auto faded = make<UIView>(CGRectMake(50, 0, 50, 50));
    faded->setAlpha(0.5);
    for (int i = 0; i < 2; ++i) {
        auto square = make<UIView>(CGRectMake(0, 0, 50, 50));
        square->setBackgroundColor(UIColor::blackColor());
        faded->addSubview(square);
    }
    root->addSubview(faded);

    auto hidden = make<UIView>(CGRectMake(0, 50, 50, 50));
    hidden->setBackgroundColor(UIColor::blueColor());
    hidden->setHidden(true);
    root->addSubview(hidden);

    // A shape layer as mask: only the left half of the green view shows.
    auto masked = make<UIView>(CGRectMake(50, 50, 50, 50));
    masked->setBackgroundColor(UIColor::greenColor());
    auto mask = CAShapeLayer::layer();
    mask->setPath(UIBezierPath::bezierPathWithRect(CGRectMake(0, 0, 25, 50))->CGPath());
    masked->layer()->setMask(mask);
    root->addSubview(masked);

    auto image = snapshotView(root);
    ASSERT_TRUE(image);
    EXPECT_TRUE(near(at(image, 20, 20), 255, 0, 0));
    EXPECT_TRUE(near(at(image, 45, 20), 255, 255, 255)) << "outside the clipping parent";
    EXPECT_TRUE(near(at(image, 1, 1), 255, 255, 255)) << "the rounded corner is clipped";
    EXPECT_TRUE(near(at(image, 75, 25), 128, 128, 128, 3)) << describe(at(image, 75, 25));
    EXPECT_TRUE(near(at(image, 25, 75), 255, 255, 255)) << "hidden views draw nothing";
    EXPECT_TRUE(near(at(image, 60, 75), 0, 255, 0));
    EXPECT_TRUE(near(at(image, 90, 75), 255, 255, 255)) << describe(at(image, 90, 75));
}

TEST_F(RenderingTest, ShadowPathAndShapeLayerStroke) {
    auto root = make<UIView>(CGRectMake(0, 0, 100, 100));
    root->setBackgroundColor(UIColor::whiteColor());
    auto floating = make<UIView>(CGRectMake(10, 10, 30, 30));
    floating->layer()->setShadowOpacity(1);
    floating->layer()->setShadowRadius(0);
    floating->layer()->setShadowOffset({20, 0});
    floating->layer()->setShadowPath(UIBezierPath::bezierPathWithRect(floating->bounds())->CGPath());
    root->addSubview(floating);

    // A ring stroked over its first quarter only.
    auto ring = CAShapeLayer::layer();
    ring->setFrame(CGRectMake(50, 50, 40, 40));
    ring->setPath(UIBezierPath::bezierPathWithArcCenter({20, 20}, 15, 0, 2 * M_PI, true)->CGPath());
    ring->setFillColor(std::nullopt);
    ring->setStrokeColor(UIColor::blueColor());
    ring->setLineWidth(4);
    ring->setStrokeEnd(0.25);
    root->layer()->addSublayer(ring);

    auto image = snapshotView(root);
    ASSERT_TRUE(image);
    // The shadow of a path falls even though the view draws nothing itself.
    EXPECT_TRUE(near(at(image, 45, 25), 0, 0, 0)) << describe(at(image, 45, 25));
    EXPECT_TRUE(near(at(image, 25, 25), 255, 255, 255)) << "the shape itself stays clear";
    // Clockwise from 3 o'clock: the quarter down to 6 o'clock is drawn, not the rest.
    EXPECT_TRUE(near(at(image, 50 + 20 + 15 * std::cos(M_PI / 4), 50 + 20 + 15 * std::sin(M_PI / 4)), 0, 0, 255, 40));
    EXPECT_TRUE(near(at(image, 50 + 20 - 15, 50 + 20), 255, 255, 255));
    EXPECT_TRUE(near(at(image, 50 + 20, 50 + 20 - 15), 255, 255, 255));
}

TEST_F(RenderingTest, AShadowFallsFromEverythingItsLayerDrawsPastItsBounds) {
    auto root = make<UIView>(CGRectMake(0, 0, 200, 100));
    root->setBackgroundColor(UIColor::whiteColor());
    auto card = make<UIView>(CGRectMake(10, 10, 40, 40));
    card->setBackgroundColor(UIColor::redColor());
    card->layer()->setShadowOpacity(1);
    card->layer()->setShadowRadius(0);
    card->layer()->setShadowOffset({0, 40});
    root->addSubview(card);
    // A square hanging out of the card to the right.
    auto hanging = make<UIView>(CGRectMake(50, 0, 20, 20));
    hanging->setBackgroundColor(UIColor::blueColor());
    card->addSubview(hanging);

    auto image = snapshotView(root);
    ASSERT_TRUE(image);
    EXPECT_TRUE(near(at(image, 70, 20), 0, 0, 255)) << describe(at(image, 70, 20));
    EXPECT_TRUE(near(at(image, 70, 60), 0, 0, 0)) << "the hanging square's shadow: " << describe(at(image, 70, 60));
    EXPECT_TRUE(near(at(image, 30, 60), 0, 0, 0)) << "the card's own shadow: " << describe(at(image, 30, 60));
    EXPECT_TRUE(near(at(image, 90, 20), 255, 255, 255)) << describe(at(image, 90, 20));
}

TEST_F(RenderingTest, EmptyViewsGiveNoImage) {
    EXPECT_EQ(snapshotView(nullptr), nullptr);
    EXPECT_EQ(snapshotView(make<UIView>()), nullptr);
}

}  // namespace
