#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>

#include "graphics/PNGCodec.h"
#include "graphics/UIGraphics.h"
#include "tests/support/AppFixture.h"
#include "uikit/UIBezierPath.h"
#include "uikit/UIImageView.h"
#include "uikit/UILabel.h"
#include "uikit/ViewSnapshot.h"

// Guards the pixels of snapshots: the digests below are those of the
// renderer as it was before its shadow, copy and encoding paths were made
// faster. Any change to them means shots no longer look the same.
namespace {

std::uint64_t digestOf(const std::vector<std::uint8_t>& bytes) {
    std::uint64_t hash = 1469598103934665603ull;  // FNV-1a
    for (std::uint8_t byte : bytes) hash = (hash ^ byte) * 1099511628211ull;
    return hash;
}

Ref<UIImage> twoToneImage() {
    UIGraphicsBeginImageContextWithOptions({30, 20}, false, 1);
    auto context = UIGraphicsGetCurrentContext();
    CGContextSetFillColorWithColor(context, UIColor::colorWithRed(0.9, 0.2, 0.1, 1));
    CGContextFillRect(context, CGRectMake(0, 0, 30, 20));
    CGContextSetFillColorWithColor(context, UIColor::colorWithRed(0.1, 0.3, 0.9, 0.5));
    CGContextFillRect(context, CGRectMake(8, 4, 14, 12));
    auto image = UIGraphicsGetImageFromCurrentImageContext();
    UIGraphicsEndImageContext();
    return image;
}

void addShadow(const Ref<UIView>& view, CGSize offset, CGFloat radius, CGFloat opacity) {
    view->layer()->setShadowColor(UIColor::blackColor());
    view->layer()->setShadowOpacity(opacity);
    view->layer()->setShadowOffset(offset);
    view->layer()->setShadowRadius(radius);
}

// Cards with shadows (one reaching past the screen's edges, one from a path,
// one of text alone, one translucent), rounded corners, a masked image and
// text in two scripts; without a background, the shadows fall on nothing.
Ref<UIView> sampleScreen(bool withBackground) {
    auto screen = make<UIView>(CGRectMake(0, 0, 200, 180));
    if (withBackground) screen->setBackgroundColor(UIColor::colorWithWhite(0.96, 1));

    auto card = make<UIView>(CGRectMake(12, 10, 176, 60));
    card->setBackgroundColor(UIColor::whiteColor());
    card->layer()->setCornerRadius(10);
    addShadow(card, {0, 3}, 8, 0.3);
    auto title = make<UILabel>(CGRectMake(10, 8, 150, 22));
    title->setText("今日下载 Downloads");
    title->setFont(UIFont::boldSystemFontOfSize(15));
    card->addSubview(title);
    auto detail = make<UILabel>(CGRectMake(10, 32, 150, 20));
    detail->setText("推广 1,280");
    detail->setTextColor(UIColor::colorWithRed(0.5, 0.5, 0.55, 1));
    card->addSubview(detail);
    screen->addSubview(card);

    auto edge = make<UIView>(CGRectMake(-6, 80, 70, 40));
    edge->setBackgroundColor(UIColor::colorWithRed(1, 0.8, 0.2, 1));
    addShadow(edge, {1.5, 2.25}, 6, 0.8);
    edge->layer()->setShadowPath(UIBezierPath::bezierPathWithRoundedRect(edge->bounds(), 8)->CGPath());
    screen->addSubview(edge);

    auto picture = make<UIImageView>(CGRectMake(80, 80, 60, 40));
    picture->setImage(twoToneImage());
    picture->layer()->setCornerRadius(12);
    picture->layer()->setMasksToBounds(true);
    screen->addSubview(picture);

    auto glowing = make<UILabel>(CGRectMake(150, 80, 60, 30));
    glowing->setText("热");
    glowing->setFont(UIFont::systemFontOfSize(22));
    addShadow(glowing, {0, 0}, 3, 1);
    screen->addSubview(glowing);

    auto faint = make<UIView>(CGRectMake(20, 135, 170, 50));
    faint->setBackgroundColor(UIColor::colorWithRed(0.2, 0.6, 0.4, 1));
    faint->setAlpha(0.6);
    faint->layer()->setCornerRadius(6);
    addShadow(faint, {-2, -4}, 10, 0.5);
    screen->addSubview(faint);
    return screen;
}

std::uint64_t snapshotDigest(bool opaque, CGFloat scale) {
    auto image = snapshotView(sampleScreen(opaque), opaque, scale);
    return image ? digestOf(image->CGImage()->rgbaPixels()) : 0;
}

class ShotPixelsTest : public AppFixture {};

TEST_F(ShotPixelsTest, SnapshotsKeepTheirPixelsAtEveryScale) {
    EXPECT_EQ(snapshotDigest(true, 2), 0x47c0b7f7366fe998ull);
    EXPECT_EQ(snapshotDigest(true, 3), 0xca3f8544bfb20ccull);
    EXPECT_EQ(snapshotDigest(false, 2), 0xa357b5eb4a5ca8caull);
    EXPECT_EQ(snapshotDigest(false, 3), 0xfd123a0d125712e4ull);
}

TEST_F(ShotPixelsTest, PNGRoundTripGivesBackTheSamePixels) {
    for (bool opaque : {true, false}) {
        auto image = snapshotView(sampleScreen(opaque), opaque, 2)->CGImage();
        auto png = PNGCodec::encode(*image);
        ASSERT_TRUE(png);
        auto decoded = PNGCodec::decode(*png);
        ASSERT_TRUE(decoded);
        EXPECT_EQ(decoded->rgbaPixels(), image->rgbaPixels()) << (opaque ? "opaque" : "translucent");
    }
}

}  // namespace
