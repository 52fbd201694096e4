#include <gtest/gtest.h>

#include "graphics/CGContext.h"
#include "graphics/UIGraphics.h"
#include "graphics/UIImage.h"

namespace {

TEST(ResizableImageTest, CapsKeepTheirSizeWhileTheMiddleStretches) {
    // A 20 x 20 red picture with a yellow 5-point frame.
    UIGraphicsBeginImageContextWithOptions({20, 20}, true, 1);
    auto context = UIGraphicsGetCurrentContext();
    CGContextSetFillColorWithColor(context, UIColor::yellowColor());
    CGContextFillRect(context, CGRectMake(0, 0, 20, 20));
    CGContextSetFillColorWithColor(context, UIColor::redColor());
    CGContextFillRect(context, CGRectMake(5, 5, 10, 10));
    auto framed = UIGraphicsGetImageFromCurrentImageContext()->resizableImageWithCapInsets(
        {5, 5, 5, 5}, UIImageResizingMode::Stretch);
    UIGraphicsEndImageContext();

    UIGraphicsBeginImageContextWithOptions({100, 40}, true, 1);
    framed->drawInRect(CGRectMake(0, 0, 100, 40));
    auto drawn = UIGraphicsGetImageFromCurrentImageContext();
    UIGraphicsEndImageContext();
    auto at = [&](std::size_t x, std::size_t y) { return drawn->CGImage()->pixelAt(x, y); };
    // The frame stays 5 pixels wide all round; a plain stretch would make it 25.
    EXPECT_EQ(at(2, 20).green, 255);
    EXPECT_EQ(at(6, 20).green, 0);
    EXPECT_EQ(at(93, 20).green, 0);
    EXPECT_EQ(at(97, 37).green, 255);
    EXPECT_EQ(at(50, 20).red, 255);
    EXPECT_EQ(at(50, 6).green, 0);
}

}  // namespace
