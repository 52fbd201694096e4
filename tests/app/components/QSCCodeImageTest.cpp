#include <gtest/gtest.h>

#include "app/components/QSCScanWrapper.h"
#include "graphics/NSValue.h"
#include "graphics/UIGraphics.h"
#include "media/CIContext.h"
#include "media/CIFilter.h"
#include "media/SimulatedCamera.h"
#include "tests/app/components/ScanPictures.h"

namespace {

CGImagePixel pixel(const Ref<UIImage>& image, std::size_t x, std::size_t y) { return image->CGImage()->pixelAt(x, y); }

CGImagePixel rgb(std::uint8_t red, std::uint8_t green, std::uint8_t blue) { return {red, green, blue, 255}; }

// The generator's own picture: one pixel per module, black on white.
Ref<CGImage> generatorBitmap(std::string_view name, const Dictionary& inputs) {
    auto output = CIFilter::filterWithName(name, inputs)->outputImage();
    return CIContext::context()->createCGImage(output, output->extent());
}

// A solid colour picture of `size` points, scale 1.
Ref<UIImage> solid(CGSize size, const UIColor& colour) {
    UIGraphicsBeginImageContextWithOptions(size, true, 1);
    CGContextSetFillColorWithColor(UIGraphicsGetCurrentContext(), colour);
    CGContextFillRect(UIGraphicsGetCurrentContext(), CGRectMake(0, 0, size.width, size.height));
    auto image = UIGraphicsGetImageFromCurrentImageContext();
    UIGraphicsEndImageContext();
    return image;
}

Dictionary corner(double x, double y) { return {{"X", x}, {"Y", y}}; }

}  // namespace

TEST(QSCCodeImageTest, AGeneratedQRCodeIsTheGeneratorsSymbolUprightInTheGivenColours) {
    auto symbol = generatorBitmap("CIQRCodeGenerator",
                                  {{"inputMessage", NSData::fromString("hello")}, {"inputCorrectionLevel", "H"}});
    ASSERT_TRUE(symbol);
    std::size_t modules = symbol->width();
    UIColor red = UIColor::colorWithRed(1, 0, 0, 1), yellow = UIColor::colorWithRed(1, 1, 0, 1);

    // At the natural size every pixel is one module, coloured and not flipped.
    auto image = QSCScanWrapper::makeCodeImage("CIQRCodeGenerator", "hello", CGSizeMake(double(modules), double(modules)),
                                               red, yellow);
    ASSERT_TRUE(image);
    ASSERT_EQ(image->CGImage()->width(), modules);
    for (std::size_t y = 0; y < modules; ++y)
        for (std::size_t x = 0; x < modules; ++x)
            ASSERT_EQ(pixel(image, x, y), symbol->pixelAt(x, y).red == 0 ? rgb(255, 0, 0) : rgb(255, 255, 0))
                << "module " << x << "," << y;

    // Enlarged, modules keep hard edges and the code still reads.
    auto large = QSCScanWrapper::makeCodeImage("CIQRCodeGenerator", "hello", CGSizeMake(230, 230),
                                               UIColor::blackColor(), UIColor::whiteColor());
    ASSERT_TRUE(large);
    EXPECT_EQ(large->size(), CGSizeMake(230, 230));
    EXPECT_EQ(large->scale(), 1);
    double perModule = 230.0 / double(modules);
    // The finder pattern's dark ring starts one module in (after the light border).
    EXPECT_EQ(pixel(large, std::size_t(perModule * 1.5), std::size_t(perModule * 1.5)), rgb(0, 0, 0));
    EXPECT_EQ(pixel(large, std::size_t(perModule * 0.5), std::size_t(perModule * 0.5)), rgb(255, 255, 255));
    auto results = QSCScanWrapper::decodeQRFromImage(ScanPictures::page(CGSizeMake(300, 300),
                                                                        {{large, CGRectMake(35, 35, 230, 230)}}));
    ASSERT_EQ(results.size(), 1u);
    EXPECT_EQ(results[0].strScanned, "hello");
}

TEST(QSCCodeImageTest, CodeImagesThatCannotBeMadeAreAbsent) {
    EXPECT_FALSE(QSCScanWrapper::makeCodeImage("CINoSuchGenerator", "x", CGSizeMake(100, 100), UIColor::blackColor(),
                                               UIColor::whiteColor()));
    // Too long for any QR code at error correction H.
    EXPECT_FALSE(QSCScanWrapper::makeCodeImage("CIQRCodeGenerator", std::string(4000, 'a'), CGSizeMake(100, 100),
                                               UIColor::blackColor(), UIColor::whiteColor()));
    EXPECT_FALSE(QSCScanWrapper::makeCodeImage("CIQRCodeGenerator", "\xff\xfe", CGSizeMake(100, 100),
                                               UIColor::blackColor(), UIColor::whiteColor()));
    EXPECT_FALSE(QSCScanWrapper::makeCodeImage("CIQRCodeGenerator", "x", CGSizeZero, UIColor::blackColor(),
                                               UIColor::whiteColor()));
    EXPECT_FALSE(QSCScanWrapper::makeCode128Image("\xff"));
}

TEST(QSCCodeImageTest, ACode128ImageIsTwentyTimesTheGeneratorsSize) {
    for (std::string text : {"A", "VELMARO-2024"}) {
        auto natural = generatorBitmap("CICode128BarcodeGenerator", {{"inputMessage", NSData::fromString(text)}});
        ASSERT_TRUE(natural);
        auto image = QSCScanWrapper::makeCode128Image(text);
        ASSERT_TRUE(image) << text;
        EXPECT_EQ(image->size(), CGSizeMake(20.0 * double(natural->width()), 20.0 * double(natural->height())));
        // Bars keep hard edges: each generator pixel becomes a 20 x 20 block.
        for (std::size_t x = 0; x < natural->width(); ++x)
            ASSERT_EQ(pixel(image, 20 * x + 10, 100).red, natural->pixelAt(x, 5).red) << "column " << x;
    }
}

TEST(QSCCodeImageTest, PicturesAreSearchedForQRCodesOnly) {
    auto one = QSCScanWrapper::decodeQRFromImage(ScanPictures::pageWithQRCode("https://example.com/p?id=7"));
    ASSERT_EQ(one.size(), 1u);
    EXPECT_EQ(one[0].strScanned, "https://example.com/p?id=7");
    EXPECT_EQ(one[0].strBarCodeType, "org.iso.QRCode");
    EXPECT_FALSE(one[0].arrayCorner);

    auto twoCodes = ScanPictures::page(CGSizeMake(520, 260), {{ScanPictures::qrCode("left", 200), CGRectMake(20, 30, 200, 200)},
                                                              {ScanPictures::qrCode("right", 200), CGRectMake(300, 30, 200, 200)}});
    auto two = QSCScanWrapper::decodeQRFromImage(twoCodes);
    ASSERT_EQ(two.size(), 2u);
    std::vector<std::string> texts{*two[0].strScanned, *two[1].strScanned};
    std::sort(texts.begin(), texts.end());
    EXPECT_EQ(texts, (std::vector<std::string>{"left", "right"}));
    for (const auto& result : two) {
        EXPECT_EQ(result.imgScanned, twoCodes);  // the picture given, shared
        EXPECT_EQ(result.strBarCodeType, "org.iso.QRCode");
        EXPECT_FALSE(result.arrayCorner);
    }

    auto barCode = QSCScanWrapper::makeCode128Image("12345678");
    ASSERT_TRUE(barCode);
    CGSize barSize{barCode->size().width / 5, barCode->size().height / 5};
    auto barCodePage = ScanPictures::page(CGSizeMake(barSize.width + 80, barSize.height + 80),
                                          {{barCode, CGRectMake(40, 40, barSize.width, barSize.height)}});
    // The camera reads the bar code there; the picture path looks for QR codes only.
    ASSERT_EQ(SimulatedCamera::metadataObjectsInPicture(barCodePage).size(), 1u);
    EXPECT_TRUE(QSCScanWrapper::decodeQRFromImage(barCodePage).empty());
    EXPECT_TRUE(QSCScanWrapper::decodeQRFromImage(ScanPictures::page(CGSizeMake(50, 50), {})).empty());
    EXPECT_TRUE(QSCScanWrapper::decodeQRFromImage(make<UIImage>(nullptr, 1, UIImageOrientation::Up)).empty());
    EXPECT_TRUE(QSCScanWrapper::decodeQRFromImage(nullptr).empty());
}

TEST(QSCCodeImageTest, ALogoIsCentredAndMayReachBeyondThePicture) {
    auto code = ScanPictures::qrCode("logo", 100);
    auto logo = solid(CGSizeMake(10, 10), UIColor::colorWithRed(1, 0, 0, 1));
    auto withLogo = QSCScanWrapper::overlayLogo(code, logo, CGSizeMake(20, 30));
    ASSERT_TRUE(withLogo);
    EXPECT_EQ(withLogo->size(), CGSizeMake(100, 100));
    EXPECT_EQ(pixel(withLogo, 41, 36), rgb(255, 0, 0));  // logo at (40, 35, 20, 30)
    EXPECT_EQ(pixel(withLogo, 58, 64), rgb(255, 0, 0));
    EXPECT_EQ(pixel(withLogo, 38, 50), pixel(code, 38, 50));  // the code around it unchanged
    EXPECT_EQ(pixel(withLogo, 1, 1), rgb(255, 255, 255));

    auto covered = QSCScanWrapper::overlayLogo(code, logo, CGSizeMake(300, 300));
    ASSERT_TRUE(covered);
    EXPECT_EQ(covered->size(), CGSizeMake(100, 100));
    EXPECT_EQ(pixel(covered, 0, 0), rgb(255, 0, 0));
    EXPECT_EQ(pixel(covered, 99, 99), rgb(255, 0, 0));
}

TEST(QSCCodeImageTest, TheCodeAreaComesFromLandscapeCornerDictionaries) {
    auto captured = solid(CGSizeMake(300, 400), UIColor::whiteColor());
    QSCScanResult result;
    result.arrayCorner = Array{corner(0.1, 0.2), corner(0.5, 0.25), corner(0.6, 0.7), corner(0.2, 0.75)};
    // x: min(x3, x0) = 0.1 ... max(x1, x2) = 0.6, scaled by the height;
    // y: min(y1, y0) = 0.2 ... max(y3, y2) = 0.75, scaled by the width.
    CGRect rect = QSCScanWrapper::codeRectFromCorners(captured, result);
    EXPECT_NEAR(rect.origin.x, 0.1 * 400, 1e-4);
    EXPECT_NEAR(rect.origin.y, 0.2 * 300, 1e-4);
    EXPECT_NEAR(rect.size.width, 0.5 * 400, 1e-4);
    EXPECT_NEAR(rect.size.height, 0.55 * 300, 1e-4);

    // Boxed points (what the camera stores), too few corners, no corners, a
    // corner without Y: the zero rectangle.
    QSCScanResult boxed;
    boxed.arrayCorner = Array{};
    for (int i = 0; i < 4; ++i) boxed.arrayCorner->push_back(NSValue::valueWithCGPoint(CGPointMake(0.1 * i, 0.2)));
    EXPECT_EQ(QSCScanWrapper::codeRectFromCorners(captured, boxed), CGRectZero);
    QSCScanResult three;
    three.arrayCorner = Array{corner(0.1, 0.2), corner(0.5, 0.25), corner(0.6, 0.7)};
    EXPECT_EQ(QSCScanWrapper::codeRectFromCorners(captured, three), CGRectZero);
    EXPECT_EQ(QSCScanWrapper::codeRectFromCorners(captured, QSCScanResult{}), CGRectZero);
    QSCScanResult noY = result;
    (*noY.arrayCorner)[2] = Dictionary{{"X", 0.6}};
    EXPECT_EQ(QSCScanWrapper::codeRectFromCorners(captured, noY), CGRectZero);
}

TEST(QSCCodeImageTest, ACroppedAreaIsTurnedAQuarterClockwise) {
    // A 60 x 40 area whose top-left 10 x 10 corner is red, on a grey picture.
    UIGraphicsBeginImageContextWithOptions(CGSizeMake(200, 200), true, 1);
    auto context = UIGraphicsGetCurrentContext();
    CGContextSetFillColorWithColor(context, UIColor::grayColor());
    CGContextFillRect(context, CGRectMake(0, 0, 200, 200));
    CGContextSetFillColorWithColor(context, UIColor::colorWithRed(1, 0, 0, 1));
    CGContextFillRect(context, CGRectMake(50, 70, 10, 10));
    auto picture = UIGraphicsGetImageFromCurrentImageContext();
    UIGraphicsEndImageContext();

    auto cropped = QSCScanWrapper::cropCodeImageByCorners(picture, CGRectMake(50, 70, 60, 40));
    ASSERT_TRUE(cropped);
    EXPECT_EQ(cropped->size(), CGSizeMake(40, 60));  // width and height swapped
    // The area's top-left corner ends at the top right.
    EXPECT_EQ(pixel(cropped, 35, 5), rgb(255, 0, 0));
    EXPECT_NE(pixel(cropped, 5, 5), rgb(255, 0, 0));
    EXPECT_NE(pixel(cropped, 35, 55), rgb(255, 0, 0));

    EXPECT_FALSE(QSCScanWrapper::cropCodeImageByCorners(picture, CGRectZero));
    EXPECT_FALSE(QSCScanWrapper::cropCodeImageByCorners(picture, CGRectMake(500, 500, 10, 10)));
    EXPECT_FALSE(QSCScanWrapper::cropCodeImageByCorners(make<UIImage>(nullptr, 1, UIImageOrientation::Up),
                                                        CGRectMake(0, 0, 10, 10)));
}
