#include <gtest/gtest.h>

#include <set>

#include "graphics/UIGraphics.h"
#include "graphics/UIImage.h"
#include "media/CIColor.h"
#include "media/CIContext.h"
#include "media/CIDetector.h"
#include "media/CIFilter.h"
#include "media/CIQRCodeFeature.h"
#include "media/CodeReader.h"

namespace {

Ref<CIImage> qrImage(std::string_view text, std::string_view level = "M") {
    auto filter = CIFilter::filterWithName("CIQRCodeGenerator");
    EXPECT_TRUE(filter);
    filter->setValue(NSData::fromString(text), "inputMessage");
    filter->setValue(level, "inputCorrectionLevel");
    return filter->outputImage();
}

// What a caller gets from a generator: scaled up, rendered, wrapped as an image.
Ref<UIImage> rendered(const Ref<CIImage>& image, CGFloat scale) {
    auto scaled = image->imageByApplyingTransform(CGAffineTransformMakeScale(scale, scale));
    EXPECT_TRUE(scaled);
    return UIImage::imageWithCGImage(CIContext::context()->createCGImage(scaled, scaled->extent()));
}

std::vector<Ref<CIQRCodeFeature>> detectQR(const Ref<UIImage>& picture) {
    auto detector = CIDetector::detectorOfType(CIDetectorTypeQRCode, nullptr,
                                               {{CIDetectorAccuracy, CIDetectorAccuracyHigh}});
    EXPECT_TRUE(detector);
    std::vector<Ref<CIQRCodeFeature>> found;
    for (const auto& feature : detector->featuresInImage(CIImage::imageWithCGImage(picture->CGImage())))
        if (auto qr = cast<CIQRCodeFeature>(feature)) found.push_back(qr);
    return found;
}

}  // namespace

TEST(CoreImageTest, GeneratedQRCodesAreDetectedWithTheirMessages) {
    for (std::string text : {"abc", "推广链接：扫码下载游戏", "https://example.com/share?code=8F3K&lang=zh-Hans"}) {
        auto features = detectQR(rendered(qrImage(text, "H"), 6));
        ASSERT_EQ(features.size(), 1u) << text;
        EXPECT_EQ(features[0]->messageString(), text);
        EXPECT_EQ(features[0]->type(), CIFeatureTypeQRCode);
    }
}

TEST(CoreImageTest, TwoCodesInOnePictureAreBothFoundWithTheirCorners) {
    auto left = rendered(qrImage("first"), 5), right = rendered(qrImage("second"), 5);
    UIGraphicsBeginImageContextWithOptions(CGSizeMake(400, 200), true, 1);
    CGContextSetFillColorWithColor(UIGraphicsGetCurrentContext(), UIColor::whiteColor());
    CGContextFillRect(UIGraphicsGetCurrentContext(), CGRectMake(0, 0, 400, 200));
    left->drawInRect(CGRectMake(20, 40, left->size().width, left->size().height));
    right->drawInRect(CGRectMake(240, 20, right->size().width, right->size().height));
    auto picture = UIGraphicsGetImageFromCurrentImageContext();
    UIGraphicsEndImageContext();
    ASSERT_TRUE(picture);

    auto features = detectQR(picture);
    ASSERT_EQ(features.size(), 2u);
    std::set<std::string> messages;
    for (const auto& feature : features) {
        messages.insert(feature->messageString().value_or(""));
        bool isFirst = feature->messageString() == "first";
        // Core Image space: y up, so the top corners lie above the bottom ones.
        EXPECT_GT(feature->topLeft().y, feature->bottomLeft().y);
        EXPECT_LT(feature->topLeft().x, feature->topRight().x);
        EXPECT_NEAR(feature->bottomRight().x - feature->bottomLeft().x, left->size().width - 10, 3);
        for (CGPoint corner : {feature->topLeft(), feature->topRight(), feature->bottomLeft(), feature->bottomRight()})
            EXPECT_EQ(corner.x < 200, isFirst);
        CGRect bounds = feature->bounds();
        EXPECT_NEAR(bounds.origin.y, isFirst ? 200 - 40 - left->size().height + 5 : 200 - 20 - right->size().height + 5, 3);
    }
    EXPECT_EQ(messages, (std::set<std::string>{"first", "second"}));
}

TEST(CoreImageTest, ABarCodeAloneIsNoQRCodeButReadsAsCode128) {
    auto filter = CIFilter::filterWithName("CICode128BarcodeGenerator", {{"inputMessage", NSData::fromString("KX-2024-0815")}});
    auto image = filter->outputImage();
    ASSERT_TRUE(image);
    // Natural size: start, 8 characters in code set B, a switch to code set C
    // for "0815", two digit pairs and the checksum (11 modules each), the stop
    // (13) and 7 quiet modules on each side; 32 high.
    EXPECT_EQ(image->extent(), CGRectMake(0, 0, 11 * 13 + 13 + 14, 32));
    auto picture = rendered(image, 3);
    EXPECT_TRUE(detectQR(picture).empty());

    auto bitmap = picture->CGImage();
    auto codes = CodeReader::codesInPicture(
        CodeReader::greyPictureFromRGBA(bitmap->width(), bitmap->height(), bitmap->rgbaPixels()),
        {CodeReader::Symbology::Code128});
    ASSERT_EQ(codes.size(), 1u);
    EXPECT_EQ(codes[0].text, "KX-2024-0815");

    filter->setValue(0, "inputQuietSpace");
    EXPECT_EQ(filter->outputImage()->extent().size.width, 11 * 13 + 13);
    filter->setValue(NSData::fromString("二维码"), "inputMessage");
    EXPECT_FALSE(filter->outputImage());
}

TEST(CoreImageTest, FalseColourPaintsDarkModulesWithColour0AndLightWithColour1) {
    auto code = qrImage("colours");
    auto filter = CIFilter::filterWithName("CIFalseColor", {{"inputImage", code},
                                                           {"inputColor0", CIColor::colorWithRed(0.8, 0, 0)},
                                                           {"inputColor1", CIColor::colorWithCGColor(UIColor::yellowColor())}});
    auto coloured = filter->outputImage();
    ASSERT_TRUE(coloured);
    EXPECT_EQ(coloured->extent(), code->extent());
    // The border module is light; the finder pattern's corner module is dark.
    EXPECT_EQ(coloured->pixelAtPoint(0.5, code->extent().size.height - 0.5), (CGImagePixel{255, 255, 0, 255}));
    EXPECT_EQ(coloured->pixelAtPoint(1.5, code->extent().size.height - 1.5), (CGImagePixel{204, 0, 0, 255}));
    // Red on yellow is still dark on light: it reads.
    auto features = detectQR(rendered(coloured, 5));
    ASSERT_EQ(features.size(), 1u);
    EXPECT_EQ(features[0]->messageString(), "colours");

    filter->setValue(Value(), "inputImage");
    EXPECT_FALSE(filter->outputImage());
}

TEST(CoreImageTest, ScalingIsNearestNeighbourSoModulesStayCrisp) {
    auto code = qrImage("crisp");
    CGFloat side = code->extent().size.width;
    auto scaled = code->imageByApplyingTransform(CGAffineTransformMakeScale(7, 7));
    ASSERT_TRUE(scaled);
    EXPECT_EQ(scaled->extent(), CGRectMake(0, 0, side * 7, side * 7));
    std::set<std::uint8_t> levels;
    for (std::size_t i = 0; i < scaled->rgba().size(); i += 4) levels.insert(scaled->rgba()[i]);
    EXPECT_EQ(levels, (std::set<std::uint8_t>{0, 255}));
    for (CGFloat y = 0.5; y < side; y += 1)
        for (CGFloat x = 0.5; x < side; x += 1)
            for (CGFloat dy : {-3.0, 3.0})
                ASSERT_EQ(scaled->pixelAtPoint(x * 7 - 3, y * 7 + dy), code->pixelAtPoint(x, y));

    auto moved = code->imageByApplyingTransform(CGAffineTransformMakeTranslation(10, -4));
    EXPECT_EQ(moved->extent(), CGRectMake(10, -4, side, side));
    EXPECT_EQ(moved->pixelAtPoint(11.5, side - 5.5), code->pixelAtPoint(1.5, side - 1.5));
    EXPECT_FALSE(code->imageByApplyingTransform(CGAffineTransformMakeScale(0, 1)));
}

TEST(CoreImageTest, FiltersTakeOnlyTheirKeysAndRefuseUnusableInputs) {
    EXPECT_FALSE(CIFilter::filterWithName("CIGaussianBlur"));
    auto filter = CIFilter::filterWithName("CIQRCodeGenerator");
    EXPECT_EQ(filter->inputKeys(), (std::vector<std::string>{"inputMessage", "inputCorrectionLevel"}));
    EXPECT_EQ(filter->valueForKey("inputCorrectionLevel").stringValue(), "M");
    EXPECT_FALSE(filter->outputImage());  // no message
    filter->setValue("not data", "inputMessage");
    EXPECT_FALSE(filter->outputImage());
    filter->setValue(NSData::fromString("x"), "inputMessage");
    filter->setValue(5, "inputScale");
    EXPECT_TRUE(filter->valueForKey("inputScale").isNil());
    filter->setValue("X", "inputCorrectionLevel");
    EXPECT_FALSE(filter->outputImage());
    filter->setDefaults();
    EXPECT_TRUE(filter->valueForKey("inputMessage").isNil());
    EXPECT_EQ(filter->valueForKey("inputCorrectionLevel").stringValue(), "M");

    filter->setValue(NSData::fromString("x"), "inputMessage");
    EXPECT_EQ(filter->outputImage()->extent().size.width, 21 + 2);
    filter->setValue(NSData::fromString(std::string(3000, 'x')), "inputMessage");
    EXPECT_FALSE(filter->outputImage());
}

TEST(CoreImageTest, ContextRendersTheAskedAreaAndDetectorRefusesOtherTypes) {
    auto code = qrImage("area");
    auto context = CIContext::contextWithOptions({});
    auto wider = context->createCGImage(code, CGRectMake(-2, 0, code->extent().size.width + 2, 3));
    ASSERT_TRUE(wider);
    EXPECT_EQ(wider->width(), std::size_t(code->extent().size.width) + 2);
    EXPECT_EQ(wider->height(), 3u);
    EXPECT_EQ(wider->pixelAt(0, 0).alpha, 0);    // outside the extent
    EXPECT_EQ(wider->pixelAt(2, 0), (CGImagePixel{255, 255, 255, 255}));
    EXPECT_FALSE(context->createCGImage(nullptr, CGRectMake(0, 0, 4, 4)));
    EXPECT_FALSE(context->createCGImage(code, CGRectZero));
    EXPECT_FALSE(context->createCGImage(code, CGRectInfinite));

    EXPECT_FALSE(CIDetector::detectorOfType("CIDetectorTypeFace", context));
    EXPECT_TRUE(CIDetector::detectorOfType(CIDetectorTypeQRCode, context)->featuresInImage(nullptr).empty());
}
