#include <gtest/gtest.h>

#include <numbers>

#include "graphics/CGBitmapContext.h"
#include "graphics/CGContext.h"
#include "graphics/UIGraphics.h"

namespace {

// Pixels are checked with a tolerance for anti-aliasing and rounding.
void expectColor(const CGImageRef& image, std::size_t x, std::size_t y, CGImagePixel expected, int tolerance = 3) {
    CGImagePixel actual = image->pixelAt(x, y);
    EXPECT_NEAR(actual.red, expected.red, tolerance) << "at " << x << "," << y;
    EXPECT_NEAR(actual.green, expected.green, tolerance) << "at " << x << "," << y;
    EXPECT_NEAR(actual.blue, expected.blue, tolerance) << "at " << x << "," << y;
    EXPECT_NEAR(actual.alpha, expected.alpha, tolerance) << "at " << x << "," << y;
}

constexpr CGImagePixel red{255, 0, 0, 255}, blue{0, 0, 255, 255}, white{255, 255, 255, 255}, clear{0, 0, 0, 0};
constexpr CGImagePixel black{0, 0, 0, 255};

// A 2x2 bitmap: red, green on top; blue, white below.
CGImageRef quadrants() {
    return CGImage::imageWithRGBA(2, 2, {255, 0, 0, 255, 0, 255, 0, 255, 0, 0, 255, 255, 255, 255, 255, 255});
}

// Opens a points-sized image context at scale 1, runs the drawing, returns the image.
CGImageRef drawn(CGSize size, const std::function<void(const CGContextRef&)>& draw, CGFloat scale = 1) {
    UIGraphicsBeginImageContextWithOptions(size, false, scale);
    draw(UIGraphicsGetCurrentContext());
    auto image = UIGraphicsGetImageFromCurrentImageContext();
    UIGraphicsEndImageContext();
    return image ? image->CGImage() : nullptr;
}

}  // namespace

TEST(CGContext, FillsAndStrokesShapes) {
    auto image = drawn({40, 40}, [](const CGContextRef& c) {
        CGContextSetFillColorWithColor(c, UIColor::redColor());
        CGContextFillRect(c, CGRectMake(0, 0, 20, 10));
        CGContextSetRGBStrokeColor(c, 0, 0, 1, 1);
        CGContextSetLineWidth(c, 4);
        CGContextStrokeRect(c, CGRectMake(10, 20, 20, 10));
        CGContextSetGrayFillColor(c, 1, 1);
        CGContextFillEllipseInRect(c, CGRectMake(30, 0, 10, 10));
    });
    ASSERT_TRUE(image);
    expectColor(image, 5, 5, red);
    expectColor(image, 25, 5, clear);
    // The 4-point stroke straddles the rectangle's edge; its inside stays empty.
    expectColor(image, 10, 25, blue);
    expectColor(image, 20, 25, clear);
    expectColor(image, 20, 31, blue);
    expectColor(image, 35, 5, white);
    expectColor(image, 30, 0, clear);  // the ellipse leaves its rect's corner out
}

TEST(CGContext, PathsFillStrokeAndEvenOdd) {
    auto image = drawn({30, 30}, [](const CGContextRef& c) {
        CGContextSetFillColorWithColor(c, UIColor::redColor());
        CGContextSetStrokeColorWithColor(c, UIColor::blueColor());
        CGContextSetLineWidth(c, 2);
        CGContextAddRect(c, CGRectMake(0, 0, 30, 30));
        CGContextAddRect(c, CGRectMake(10, 10, 10, 10));
        CGContextDrawPath(c, kCGPathEOFillStroke);
        EXPECT_TRUE(CGContextIsPathEmpty(c));
        // A triangle from lines, then an arc closing back.
        CGContextMoveToPoint(c, 2, 2);
        CGContextAddLineToPoint(c, 8, 2);
        CGContextAddLineToPoint(c, 2, 8);
        CGContextClosePath(c);
        CGContextSetFillColorWithColor(c, UIColor::whiteColor());
        CGContextFillPath(c);
    });
    expectColor(image, 5, 15, red);
    expectColor(image, 15, 15, clear);  // the hole
    expectColor(image, 10, 15, blue);   // the inner rectangle's outline
    expectColor(image, 3, 3, white);
    expectColor(image, 7, 7, red);      // beyond the triangle's slanted side
}

TEST(CGContext, TransformsAndStateStack) {
    auto image = drawn({40, 40}, [](const CGContextRef& c) {
        CGContextSaveGState(c);
        CGContextTranslateCTM(c, 20, 20);
        CGContextScaleCTM(c, 2, 2);
        CGContextSetFillColorWithColor(c, UIColor::redColor());
        CGContextFillRect(c, CGRectMake(0, 0, 5, 5));  // becomes 20...30
        CGContextRotateCTM(c, std::numbers::pi / 2);
        CGContextSetFillColorWithColor(c, UIColor::blueColor());
        CGContextFillRect(c, CGRectMake(0, 0, 5, 5));  // turned onto x 10...20, y 20...30
        CGContextScaleCTM(c, 0, 1);                    // degenerate: ignored
        CGContextRestoreGState(c);
        EXPECT_EQ(CGContextGetCTM(c), CGAffineTransformIdentity);
        // The colour came back with the state.
        CGContextFillRect(c, CGRectMake(0, 0, 4, 4));
        CGContextRestoreGState(c);  // unbalanced: ignored
    });
    expectColor(image, 25, 25, red);
    expectColor(image, 15, 25, blue);
    expectColor(image, 2, 2, black);
    expectColor(image, 35, 35, clear);
}

TEST(CGContext, ClipsToRectAndPath) {
    auto image = drawn({20, 20}, [](const CGContextRef& c) {
        CGContextClipToRect(c, CGRectMake(0, 0, 10, 20));
        CGContextAddEllipseInRect(c, CGRectMake(0, 0, 20, 20));
        CGContextClip(c);
        EXPECT_EQ(CGContextGetClipBoundingBox(c), CGRectMake(0, 0, 10, 20));
        CGContextSetFillColorWithColor(c, UIColor::redColor());
        CGContextFillRect(c, CGRectMake(0, 0, 20, 20));
    });
    expectColor(image, 8, 10, red);
    expectColor(image, 15, 10, clear);  // outside the clip rect
    expectColor(image, 1, 1, clear);    // outside the circle
}

TEST(CGContext, AlphaAndClearRect) {
    auto image = drawn({10, 10}, [](const CGContextRef& c) {
        CGContextSetFillColorWithColor(c, UIColor::blueColor());
        CGContextFillRect(c, CGRectMake(0, 0, 10, 10));
        CGContextSetAlpha(c, 0.5);
        CGContextSetFillColorWithColor(c, UIColor::redColor());
        CGContextFillRect(c, CGRectMake(0, 0, 5, 10));
        CGContextClearRect(c, CGRectMake(8, 0, 2, 10));
    });
    expectColor(image, 2, 5, {128, 0, 127, 255});
    expectColor(image, 6, 5, blue);
    expectColor(image, 9, 5, clear);
}

TEST(CGContext, ShadowFallsAtTheOffset) {
    auto image = drawn({40, 40}, [](const CGContextRef& c) {
        CGContextSetShadowWithColor(c, {6, 6}, 0, UIColor::blackColor());
        CGContextSetFillColorWithColor(c, UIColor::whiteColor());
        CGContextFillRect(c, CGRectMake(5, 5, 10, 10));
    });
    expectColor(image, 10, 10, white);
    expectColor(image, 18, 18, black);  // the shadow, down and right in a top-left-origin context
    expectColor(image, 3, 3, clear);

    auto blurred = drawn({40, 40}, [](const CGContextRef& c) {
        CGContextSetShadowWithColor(c, {0, 10}, 6, UIColor::blackColor());
        CGContextSetFillColorWithColor(c, UIColor::whiteColor());
        CGContextFillRect(c, CGRectMake(10, 5, 20, 10));
    });
    // The blurred shadow's edge is partly covered; its core fully.
    CGImagePixel edge = blurred->pixelAt(20, 24), core = blurred->pixelAt(20, 18);
    EXPECT_GT(edge.alpha, 20);
    EXPECT_LT(edge.alpha, 235);
    EXPECT_GT(core.alpha, 200);
}

TEST(CGContext, LinearGradientAndItsExtensions) {
    CGFloat components[] = {1, 0, 0, 1, 0, 0, 1, 1};
    auto gradient = CGGradientCreateWithColorComponents(CGColorSpaceCreateDeviceRGB(), components, nullptr, 2);
    ASSERT_TRUE(gradient);
    auto image = drawn({100, 20}, [&](const CGContextRef& c) {
        CGContextDrawLinearGradient(c, gradient, {20, 0}, {80, 0}, 0);
    });
    expectColor(image, 10, 5, clear);  // before the start, not extended
    expectColor(image, 21, 5, {251, 0, 4, 255}, 8);
    expectColor(image, 50, 5, {128, 0, 127, 255}, 8);
    expectColor(image, 90, 5, clear);

    auto extended = drawn({100, 20}, [&](const CGContextRef& c) {
        CGContextDrawLinearGradient(c, gradient, {20, 0}, {80, 0}, kCGGradientDrawsAfterEndLocation);
    });
    expectColor(extended, 10, 5, clear);
    expectColor(extended, 90, 5, blue);
    EXPECT_FALSE(CGGradientCreateWithColorComponents(CGColorSpaceCreateDeviceRGB(), nullptr, nullptr, 2));
}

TEST(CGContext, DrawImageIsUprightInBitmapContextsAndFlippedInImageContexts) {
    auto bitmap = CGBitmapContextCreate(nullptr, 20, 20, 8, 0, CGColorSpaceCreateDeviceRGB(), kCGImageAlphaPremultipliedLast);
    ASSERT_TRUE(bitmap);
    CGContextSetInterpolationQuality(bitmap, kCGInterpolationNone);
    CGContextDrawImage(bitmap, CGRectMake(0, 0, 20, 20), quadrants());
    auto upright = CGBitmapContextCreateImage(bitmap);
    expectColor(upright, 5, 5, red);        // the bitmap's first row on top
    expectColor(upright, 15, 15, white);

    auto flipped = drawn({20, 20}, [](const CGContextRef& c) {
        CGContextSetInterpolationQuality(c, kCGInterpolationNone);
        CGContextDrawImage(c, CGRectMake(0, 0, 20, 20), quadrants());
    });
    expectColor(flipped, 5, 5, blue);
    expectColor(flipped, 5, 15, red);

    // The usual correction: move down and flip before drawing.
    auto corrected = drawn({20, 20}, [](const CGContextRef& c) {
        CGContextTranslateCTM(c, 0, 20);
        CGContextScaleCTM(c, 1, -1);
        CGContextDrawImage(c, CGRectMake(0, 0, 20, 20), quadrants());
    });
    expectColor(corrected, 2, 2, red);
}

TEST(CGContext, InterpolationNoneKeepsHardEdges) {
    auto sharp = drawn({20, 20}, [](const CGContextRef& c) {
        CGContextSetInterpolationQuality(c, kCGInterpolationNone);
        UIImage::imageWithCGImage(quadrants())->drawInRect(CGRectMake(0, 0, 20, 20));
    });
    // Nearest neighbour: the pixels next to the middle keep their own colours.
    expectColor(sharp, 9, 9, red, 0);
    expectColor(sharp, 10, 10, white, 0);
    auto smooth = drawn({20, 20}, [](const CGContextRef&) {
        UIImage::imageWithCGImage(quadrants())->drawInRect(CGRectMake(0, 0, 20, 20));
    });
    CGImagePixel blended = smooth->pixelAt(9, 9);
    EXPECT_LT(blended.red, 250);
    EXPECT_GT(blended.green, 5);
}

TEST(CGContext, GreyBitmapKeepsLumaWithoutAlpha) {
    auto grey = CGBitmapContextCreate(nullptr, 10, 10, 8, 0, CGColorSpaceCreateDeviceGray(), kCGImageAlphaNone);
    ASSERT_TRUE(grey);
    EXPECT_EQ(CGBitmapContextGetWidth(grey), 10u);
    CGContextSetFillColorWithColor(grey, UIColor::redColor());
    CGContextFillRect(grey, CGRectMake(0, 0, 5, 10));
    CGContextSetGrayFillColor(grey, 1, 1);
    // y grows up: the bottom-left origin puts this in the image's lower half.
    CGContextFillRect(grey, CGRectMake(5, 0, 5, 5));
    auto image = CGBitmapContextCreateImage(grey);
    expectColor(image, 2, 2, {76, 76, 76, 255});
    expectColor(image, 7, 7, white);
    expectColor(image, 7, 2, black);

    EXPECT_FALSE(CGBitmapContextCreate(nullptr, 10, 10, 8, 0, CGColorSpaceCreateDeviceGray(), kCGImageAlphaPremultipliedLast));
    EXPECT_FALSE(CGBitmapContextCreate(nullptr, 0, 10, 8, 0, CGColorSpaceCreateDeviceRGB(), kCGImageAlphaPremultipliedLast));
    EXPECT_FALSE(CGBitmapContextCreate(nullptr, 10, 10, 16, 0, CGColorSpaceCreateDeviceRGB(), kCGImageAlphaPremultipliedLast));
}

TEST(UIGraphics, ImageContextsStackAndScale) {
    UIGraphicsSetMainScreenScale(3);
    UIGraphicsBeginImageContextWithOptions({10, 5}, true, 0);
    auto outer = UIGraphicsGetCurrentContext();
    ASSERT_TRUE(outer);
    EXPECT_EQ(outer->pixelWidth(), 30u);
    UIGraphicsBeginImageContext({4, 4});
    EXPECT_NE(UIGraphicsGetCurrentContext(), outer);
    EXPECT_EQ(UIGraphicsGetImageFromCurrentImageContext()->scale(), 1);
    UIGraphicsEndImageContext();
    EXPECT_EQ(UIGraphicsGetCurrentContext(), outer);

    auto image = UIGraphicsGetImageFromCurrentImageContext();
    EXPECT_EQ(image->scale(), 3);
    EXPECT_EQ(image->size(), CGSizeMake(10, 5));
    // An opaque context starts black, not transparent.
    EXPECT_EQ(image->CGImage()->pixelAt(0, 0), black);
    UIGraphicsEndImageContext();
    EXPECT_FALSE(UIGraphicsGetCurrentContext());
    UIGraphicsSetMainScreenScale(2);

    // An empty size opens no context, but its end still balances.
    UIGraphicsBeginImageContextWithOptions({0, 10}, false, 1);
    EXPECT_FALSE(UIGraphicsGetCurrentContext());
    EXPECT_FALSE(UIGraphicsGetImageFromCurrentImageContext());
    UIGraphicsEndImageContext();
    UIGraphicsEndImageContext();  // nothing open: ignored

    auto pushed = CGBitmapContextCreate(nullptr, 2, 2, 8, 0, CGColorSpaceCreateDeviceRGB(), kCGImageAlphaPremultipliedFirst);
    UIGraphicsPushContext(pushed);
    EXPECT_EQ(UIGraphicsGetCurrentContext(), pushed);
    EXPECT_FALSE(UIGraphicsGetImageFromCurrentImageContext());
    UIGraphicsPopContext();
    EXPECT_FALSE(UIGraphicsGetCurrentContext());
}

TEST(UIGraphics, EndingAnImageContextCanHandItsPixelsToTheImage) {
    for (bool opaque : {true, false}) {
        UIGraphicsBeginImageContextWithOptions({4, 2}, opaque, 2);
        auto context = UIGraphicsGetCurrentContext();
        CGContextSetFillColorWithColor(context, UIColor::colorWithRed(1, 0, 0, 1));
        CGContextFillRect(context, CGRectMake(0, 0, 2, 2));
        auto image = UIGraphicsEndImageContextTakingImage();
        ASSERT_TRUE(image);
        EXPECT_FALSE(UIGraphicsGetCurrentContext());
        EXPECT_EQ(image->scale(), 2);
        EXPECT_EQ(image->size(), CGSizeMake(4, 2));
        EXPECT_EQ(image->CGImage()->isOpaque(), opaque);
        EXPECT_EQ(image->CGImage()->pixelAt(0, 0), red);
        EXPECT_EQ(image->CGImage()->pixelAt(7, 3), opaque ? black : clear);
        // The context keeps no hold on the pixels: drawing on leaves the image as it was.
        CGContextSetFillColorWithColor(context, UIColor::colorWithRed(0, 0, 1, 1));
        CGContextFillRect(context, CGRectMake(0, 0, 4, 2));
        EXPECT_EQ(image->CGImage()->pixelAt(7, 3), opaque ? black : clear);
    }

    // Only an image context is ended.
    auto pushed = CGBitmapContextCreate(nullptr, 2, 2, 8, 0, CGColorSpaceCreateDeviceRGB(), kCGImageAlphaPremultipliedFirst);
    UIGraphicsPushContext(pushed);
    EXPECT_FALSE(UIGraphicsEndImageContextTakingImage());
    EXPECT_EQ(UIGraphicsGetCurrentContext(), pushed);
    UIGraphicsPopContext();
}

TEST(UIImage, DrawsUprightWithItsOrientation) {
    auto turned = UIImage::imageWithCGImage(quadrants(), 1, UIImageOrientation::Right);
    auto image = drawn({20, 20}, [&](const CGContextRef& c) {
        CGContextSetInterpolationQuality(c, kCGInterpolationNone);
        turned->drawInRect(CGRectMake(0, 0, 20, 20));
    });
    // Turned clockwise: the first column (red over blue) becomes the top row,
    // read right to left.
    expectColor(image, 15, 5, red);
    expectColor(image, 5, 5, blue);
    expectColor(image, 15, 15, {0, 255, 0, 255});

    auto scaled = drawn({10, 10}, [&](const CGContextRef&) {
        UIImage::imageWithCGImage(quadrants(), 2)->drawAtPoint({5, 5});  // 1x1 point at scale 2
    }, 2);
    EXPECT_EQ(scaled->width(), 20u);
    expectColor(scaled, 10, 10, red, 90);
    expectColor(scaled, 8, 8, clear);
}
