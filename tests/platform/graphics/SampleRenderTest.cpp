#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <numbers>

#include "graphics/NSMutableAttributedString.h"
#include "graphics/NSStringDrawing.h"
#include "graphics/PNGCodec.h"
#include "graphics/UIGraphics.h"
#include "tests/support/TestShots.h"

namespace {

UIColor hex(unsigned rgb) {
    return UIColor::colorWithRed(((rgb >> 16) & 0xFF) / 255.0, ((rgb >> 8) & 0xFF) / 255.0, (rgb & 0xFF) / 255.0, 1);
}

Ref<UIImage> checkerIcon() {
    std::vector<std::uint8_t> rgba;
    for (int y = 0; y < 4; ++y) {
        for (int x = 0; x < 4; ++x) {
            bool dark = (x + y) % 2 == 0;
            rgba.insert(rgba.end(), {static_cast<std::uint8_t>(dark ? 0x55 : 0xFF), static_cast<std::uint8_t>(dark ? 0x79 : 0xC0),
                                     static_cast<std::uint8_t>(dark ? 0xEA : 0x20), 255});
        }
    }
    return UIImage::imageWithCGImage(CGImage::imageWithRGBA(4, 4, rgba));
}

void drawCard(const CGContextRef& c) {
    // Backdrop and a card with a shadow and a clipped gradient header.
    CGContextSetFillColorWithColor(c, hex(0xF6F6F6));
    CGContextFillRect(c, CGRectMake(0, 0, 375, 420));
    CGContextSaveGState(c);
    CGContextSetShadowWithColor(c, {0, 4}, 8, UIColor::blackColor().colorWithAlphaComponent(0.25));
    CGContextSetFillColorWithColor(c, UIColor::whiteColor());
    CGContextAddPath(c, CGPathCreateWithRoundedRect(CGRectMake(15, 15, 345, 180), 12, 12, nullptr));
    CGContextFillPath(c);
    CGContextRestoreGState(c);

    CGContextSaveGState(c);
    CGContextAddPath(c, CGPathCreateWithRoundedRect(CGRectMake(15, 15, 345, 60), 12, 12, nullptr));
    CGContextClip(c);
    auto gradient = CGGradientCreateWithColors(CGColorSpaceCreateDeviceRGB(), {hex(0x5A7BFF), hex(0x9D6BFF)}, nullptr);
    CGContextDrawLinearGradient(c, gradient, {15, 0}, {360, 0}, 0);
    CGContextRestoreGState(c);

    NSMutableAttributedString money("￥", {.font = UIFont::boldSystemFontOfSize(14), .foregroundColor = UIColor::whiteColor()});
    money.appendAttributedString(NSAttributedString(
        "1,288.50", {.font = UIFont::boldSystemFontOfSize(26), .foregroundColor = UIColor::whiteColor(), .kern = 1}));
    money.drawAtPoint({30, 27});
    NSStringDrawing::drawAtPoint("推广收益 Earnings", {220, 35},
                                 {.font = UIFont::systemFontOfSize(14, UIFontWeightMedium),
                                  .foregroundColor = UIColor::whiteColor()});

    NSParagraphStyle wrapped;
    wrapped.lineSpacing = 4;
    NSStringDrawing::drawInRect(
        "礼包介绍：每日登录即可领取礼包，邀请好友一起玩游戏还能获得额外奖励。Invite friends and earn more rewards every day!",
        CGRectMake(30, 85, 315, 70),
        {.font = UIFont::systemFontOfSize(13), .foregroundColor = hex(0x888888), .paragraphStyle = wrapped});
    NSParagraphStyle tail;
    tail.lineBreakMode = NSLineBreakMode::ByTruncatingTail;
    NSStringDrawing::drawInRect("快去推广拿佣金！This line is far too long to fit and ends in an ellipsis",
                                CGRectMake(30, 160, 315, 24),
                                {.font = UIFont::boldSystemFontOfSize(15), .foregroundColor = hex(0x333333),
                                 .paragraphStyle = tail});
}

void drawShapes(const CGContextRef& c) {
    CGContextSetStrokeColorWithColor(c, hex(0x5559EA));
    CGContextSetLineWidth(c, 3);
    CGContextSetLineCap(c, kCGLineCapRound);
    CGContextMoveToPoint(c, 20, 270);
    CGContextAddCurveToPoint(c, 60, 210, 100, 330, 140, 270);
    CGContextStrokePath(c);

    CGContextSetFillColorWithColor(c, hex(0xFF6B6B));
    CGContextMoveToPoint(c, 200, 250);
    CGContextAddArc(c, 200, 250, 40, -std::numbers::pi / 2, std::numbers::pi / 3, false);
    CGContextClosePath(c);
    CGContextFillPath(c);

    CGFloat dash[] = {6, 4};
    CGContextSetLineDash(c, 0, dash, 2);
    CGContextSetLineWidth(c, 2);
    CGContextSetStrokeColorWithColor(c, UIColor::darkGrayColor());
    CGContextStrokeEllipseInRect(c, CGRectMake(260, 215, 90, 60));
    CGContextSetLineDash(c, 0, nullptr, 0);

    // The same 4x4 bitmap scaled up with and without interpolation.
    auto icon = checkerIcon();
    CGContextSetInterpolationQuality(c, kCGInterpolationNone);
    icon->drawInRect(CGRectMake(30, 320, 80, 80));
    CGContextSetInterpolationQuality(c, kCGInterpolationHigh);
    icon->drawInRect(CGRectMake(130, 320, 80, 80));
    CGContextSetAlpha(c, 0.5);
    CGContextSetFillColorWithColor(c, UIColor::orangeColor());
    CGContextFillRect(c, CGRectMake(240, 320, 100, 80));
}

}  // namespace

TEST(SampleRender, WritesAPictureToLookAt) {
    UIGraphicsBeginImageContextWithOptions({375, 420}, true, 2);
    CGContextRef context = UIGraphicsGetCurrentContext();
    ASSERT_TRUE(context);
    drawCard(context);
    drawShapes(context);
    auto image = UIGraphicsGetImageFromCurrentImageContext();
    UIGraphicsEndImageContext();
    ASSERT_TRUE(image);
    EXPECT_EQ(image->CGImage()->width(), 750u);

    auto png = UIImagePNGRepresentation(image);
    ASSERT_TRUE(png);
    std::filesystem::path path = testShotPath("graphics-sample.png");
    std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(png->bytes()),
                                                 static_cast<std::streamsize>(png->length()));
    auto reread = UIImage::imageWithContentsOfFile(path.string());
    ASSERT_TRUE(reread);
    EXPECT_EQ(reread->CGImage()->pixelAt(700, 10), image->CGImage()->pixelAt(700, 10));
    // The header gradient runs from blue-violet on the left to violet on the right.
    CGImagePixel left = image->CGImage()->pixelAt(40, 140), right = image->CGImage()->pixelAt(700, 140);
    EXPECT_GT(right.red, left.red + 40);
}
