#include <gtest/gtest.h>

#include "app/components/UIButtonExtension.h"
#include "app/components/UIImageExtension.h"
#include "foundation/DataFile.h"
#include "foundation/NSBundle.h"
#include "graphics/UIGraphics.h"
#include "tests/support/AppFixture.h"
#include "uikit/UIDevice.h"

namespace {

// A plain colour picture of `size` points at scale 1.
Ref<UIImage> filled(CGSize size, UIColor color) {
    UIGraphicsBeginImageContextWithOptions(size, true, 1);
    CGContextSetFillColorWithColor(UIGraphicsGetCurrentContext(), color);
    CGContextFillRect(UIGraphicsGetCurrentContext(), {CGPointZero, size});
    auto image = UIGraphicsGetImageFromCurrentImageContext();
    UIGraphicsEndImageContext();
    return image;
}

// Images by name from a bundle of the test's own: "plain" (red, 20 x 10),
// its "_os7" variant (blue) and "single" (green, without a variant).
class UIImageExtensionTest : public AppFixture {
protected:
    void SetUp() override {
        put("plain.png", filled({20, 10}, UIColor::redColor()));
        put("plain_os7.png", filled({20, 10}, UIColor::blueColor()));
        put("single.png", filled({30, 16}, UIColor::greenColor()));
        NSBundle::setMainBundlePath(sandbox.path());
    }
    void TearDown() override {
        NSBundle::setMainBundlePath("");
        UIDevice::currentDevice()->setSystemVersion("15.0");
    }
    void put(const std::string& name, const Ref<UIImage>& image) {
        ASSERT_EQ(DataFile::writeToFile(*UIImagePNGRepresentation(image), sandbox.path() + "/" + name, true), 0);
    }
    static CGImagePixel pixel(const Ref<UIImage>& image, std::size_t x, std::size_t y) {
        return image->CGImage()->pixelAt(x, y);
    }
};

TEST_F(UIImageExtensionTest, NamedImagesPreferTheNewerVariantFromSystem7On) {
    EXPECT_EQ(pixel(UIImageExtension::imageWithName("plain"), 5, 5).blue, 255);
    EXPECT_EQ(pixel(UIImageExtension::imageWithName("single"), 5, 5).green, 255);
    EXPECT_EQ(UIImageExtension::imageWithName("absent"), nullptr);
    UIDevice::currentDevice()->setSystemVersion("6.1");
    EXPECT_EQ(pixel(UIImageExtension::imageWithName("plain"), 5, 5).red, 255);

    auto original = UIImageExtension::imageOriginalWithName("single");
    EXPECT_EQ(original->renderingMode(), UIImageRenderingMode::AlwaysOriginal);
    EXPECT_EQ(UIImageExtension::imageOriginalWithName("absent"), nullptr);

    auto resizable = UIImageExtension::resizableImageWithName("single");
    EXPECT_EQ(resizable->capInsets(), (UIEdgeInsets{8, 15, 8, 15}));
    EXPECT_EQ(resizable->resizingMode(), UIImageResizingMode::Stretch);

    // The factories find their images the same way, scaled to their size.
    auto button = UIButtonExtension::createButtonWithImage("plain", "首页", nullptr, nullptr);
    ASSERT_TRUE(button->currentImage());
    EXPECT_EQ(button->currentImage()->size(), CGSizeMake(35, 35));
    EXPECT_EQ(button->imageForState(UIControlStateHighlighted), button->currentImage());
}

TEST_F(UIImageExtensionTest, DrawnImagesTakeTheirNewSizes) {
    auto source = filled({20, 10}, UIColor::redColor());
    auto scaled = UIImageExtension::scaleImageWithSize(source, {40, 30});
    EXPECT_EQ(scaled->size(), CGSizeMake(40, 30));
    EXPECT_EQ(scaled->scale(), UIGraphicsMainScreenScale());
    EXPECT_EQ(pixel(scaled, 79, 59).red, 255);
    EXPECT_EQ(UIImageExtension::scaleImageWithSize(nullptr, {40, 30}), nullptr);

    auto pixels = UIImageExtension::transformWidth(source, 7, 3);
    EXPECT_EQ(pixels->CGImage()->width(), 7u);
    EXPECT_EQ(pixels->CGImage()->height(), 3u);
    EXPECT_EQ(pixel(pixels, 6, 2).red, 255);
    EXPECT_EQ(UIImageExtension::transformWidth(source, 0, 3), nullptr);
}

TEST_F(UIImageExtensionTest, CirclePicturesClipTheImageInsideARing) {
    auto circle = UIImageExtension::circleImageWithBorderWidth(filled({10, 10}, UIColor::greenColor()), 4,
                                                               UIColor::blueColor());
    ASSERT_TRUE(circle);
    EXPECT_EQ(circle->size(), CGSizeMake(70, 70));
    CGFloat s = circle->scale();
    auto at = [&](CGFloat x, CGFloat y) {
        return pixel(circle, static_cast<std::size_t>(x * s), static_cast<std::size_t>(y * s));
    };
    EXPECT_EQ(at(1, 1).alpha, 0);       // outside the circle
    EXPECT_EQ(at(35, 35).green, 255);   // the image inside
    EXPECT_EQ(at(35, 2.75).blue, 255);  // the ring's outer half at the top
    EXPECT_EQ(at(35, 2.75).green, 0);
}

}  // namespace
