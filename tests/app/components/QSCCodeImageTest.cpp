#include <gtest/gtest.h>

#include <set>

#include "app/components/QSCScanWrapper.h"
#include "graphics/NSValue.h"
#include "graphics/UIGraphics.h"
#include "media/CIContext.h"
#include "media/CIFilter.h"
#include "media/SimulatedCamera.h"
#include "tests/app/components/ScanPictures.h"

namespace {

CGImagePixel pixel(const Ref<UIImage>& image, std::size_t x, std::size_t y) { return image->CGImage()->pixelAt(x, y); }
const CGImagePixel kRed{255, 0, 0, 255};

// The generator's own picture: one pixel per module, black on white.
Ref<CGImage> generatorBitmap(std::string_view name, const Dictionary& inputs) {
    auto output = CIFilter::filterWithName(name, inputs)->outputImage();
    return CIContext::context()->createCGImage(output, output->extent());
}

Ref<UIImage> redSquare() {
    UIGraphicsBeginImageContextWithOptions(CGSizeMake(10, 10), true, 1);
    CGContextSetFillColorWithColor(UIGraphicsGetCurrentContext(), UIColor::redColor());
    CGContextFillRect(UIGraphicsGetCurrentContext(), CGRectMake(0, 0, 10, 10));
    auto red = UIGraphicsGetImageFromCurrentImageContext();
    UIGraphicsEndImageContext();
    return red;
}

Dictionary corner(double x, double y) { return {{"X", x}, {"Y", y}}; }

}  // namespace

TEST(QSCCodeImageTest, AGeneratedQRCodeIsTheGeneratorsSymbolUprightInTheGivenColoursAndReadsBack) {
    auto symbol = generatorBitmap("CIQRCodeGenerator",
                                  {{"inputMessage", NSData::fromString("hello")}, {"inputCorrectionLevel", "H"}});
    auto side = double(symbol->width());
    auto image = QSCScanWrapper::makeCodeImage("CIQRCodeGenerator", "hello", CGSizeMake(side, side),
                                               UIColor::redColor(), UIColor::yellowColor());
    ASSERT_TRUE(image);
    for (std::size_t y = 0; y < symbol->height(); ++y)
        for (std::size_t x = 0; x < symbol->width(); ++x)
            ASSERT_EQ(pixel(image, x, y), (symbol->pixelAt(x, y).red == 0 ? kRed : CGImagePixel{255, 255, 0, 255}));

    auto results = QSCScanWrapper::decodeQRFromImage(ScanPictures::pageWithQRCode("https://example.com/p?id=7"));
    ASSERT_EQ(results.size(), 1u);
    EXPECT_EQ(results[0].strScanned, "https://example.com/p?id=7");
    EXPECT_EQ(results[0].strBarCodeType, "org.iso.QRCode");
    EXPECT_FALSE(results[0].arrayCorner);

    EXPECT_FALSE(QSCScanWrapper::makeCodeImage("CINoSuchGenerator", "x", CGSizeMake(9, 9), UIColor::blackColor(),
                                               UIColor::whiteColor()));
    EXPECT_FALSE(QSCScanWrapper::makeCodeImage("CIQRCodeGenerator", std::string(4000, 'a'), CGSizeMake(9, 9),
                                               UIColor::blackColor(), UIColor::whiteColor()));  // too long
    EXPECT_FALSE(QSCScanWrapper::makeCodeImage("CIQRCodeGenerator", "x", CGSizeMake(8200, 8200), UIColor::blackColor(),
                                               UIColor::whiteColor()));  // over 64 megapixels
    EXPECT_FALSE(QSCScanWrapper::makeCode128Image("\xff"));
}

TEST(QSCCodeImageTest, PicturesAreSearchedForQRCodesOnly) {
    auto twoCodes = ScanPictures::page(CGSizeMake(520, 260), {{ScanPictures::qrCode("left", 200), CGRectMake(20, 30, 200, 200)},
                                                              {ScanPictures::qrCode("right", 200), CGRectMake(300, 30, 200, 200)}});
    auto two = QSCScanWrapper::decodeQRFromImage(twoCodes);
    ASSERT_EQ(two.size(), 2u);
    std::set<std::string> texts{*two[0].strScanned, *two[1].strScanned};
    EXPECT_EQ(texts, (std::set<std::string>{"left", "right"}));
    EXPECT_EQ(two[0].imgScanned, twoCodes);
    EXPECT_EQ(two[1].imgScanned, twoCodes);

    // A Code 128 bar code, 20 times the generator's size; the camera reads it, the picture path does not.
    auto natural = generatorBitmap("CICode128BarcodeGenerator", {{"inputMessage", NSData::fromString("12345678")}});
    auto barCode = QSCScanWrapper::makeCode128Image("12345678");
    ASSERT_TRUE(barCode);
    EXPECT_EQ(barCode->size(), CGSizeMake(20.0 * double(natural->width()), 20.0 * double(natural->height())));
    CGSize shown{barCode->size().width / 5, barCode->size().height / 5};
    auto barCodePage = ScanPictures::page(CGSizeMake(shown.width + 80, shown.height + 80),
                                          {{barCode, CGRectMake(40, 40, shown.width, shown.height)}});
    ASSERT_EQ(SimulatedCamera::metadataObjectsInPicture(barCodePage).size(), 1u);
    EXPECT_TRUE(QSCScanWrapper::decodeQRFromImage(barCodePage).empty());
    EXPECT_TRUE(QSCScanWrapper::decodeQRFromImage(make<UIImage>(nullptr, 1, UIImageOrientation::Up)).empty());
}

TEST(QSCCodeImageTest, ALogoIsCentredAndMayReachBeyondThePicture) {
    auto code = ScanPictures::qrCode("logo", 100);
    auto withLogo = QSCScanWrapper::overlayLogo(code, redSquare(), CGSizeMake(20, 30));
    EXPECT_EQ(withLogo->size(), CGSizeMake(100, 100));
    EXPECT_EQ(pixel(withLogo, 40, 35), kRed);  // the logo at (40, 35, 20, 30)
    EXPECT_EQ(pixel(withLogo, 59, 64), kRed);
    EXPECT_EQ(pixel(withLogo, 38, 50), pixel(code, 38, 50));
    auto covered = QSCScanWrapper::overlayLogo(code, redSquare(), CGSizeMake(300, 300));
    EXPECT_EQ(covered->size(), CGSizeMake(100, 100));
    EXPECT_EQ(pixel(covered, 0, 99), kRed);
}

TEST(QSCCodeImageTest, TheCodeAreaComesFromLandscapeCorners) {
    auto captured = ScanPictures::page(CGSizeMake(300, 400), {});
    QSCScanResult result;
    result.arrayCorner = Array{corner(0.1, 0.2), corner(0.5, 0.25), corner(0.6, 0.7), corner(0.2, 0.75)};
    // x from min(x3, x0) to max(x1, x2) scaled by the height, y from min(y1, y0) to max(y3, y2) by the width.
    CGRect rect = QSCScanWrapper::codeRectFromCorners(captured, result);
    EXPECT_NEAR(rect.origin.x, 40, 1e-4);
    EXPECT_NEAR(rect.origin.y, 60, 1e-4);
    EXPECT_NEAR(rect.size.width, 200, 1e-4);
    EXPECT_NEAR(rect.size.height, 165, 1e-4);

    // Corners in another form, the boxed points that live capture stores
    // among them, give the zero rectangle.
    QSCScanResult boxed;
    boxed.arrayCorner = Array{};
    for (const Value& point : *result.arrayCorner)
        boxed.arrayCorner->push_back(NSValue::valueWithCGPoint(CGPointMake(point["X"].floatValue(), point["Y"].floatValue())));
    QSCScanResult three, text;
    text.arrayCorner = Array{corner(0.1, 0.2), corner(0.5, 0.25), Value("0.6, 0.7"), corner(0.2, 0.75)};
    three.arrayCorner = Array{corner(0.1, 0.2), corner(0.5, 0.25), corner(0.6, 0.7)};
    QSCScanResult noY = result;
    (*noY.arrayCorner)[2] = Dictionary{{"X", 0.6}};
    for (const auto& zero : {boxed, text, three, noY, QSCScanResult{}})
        EXPECT_EQ(QSCScanWrapper::codeRectFromCorners(captured, zero), CGRectZero);
}

TEST(QSCCodeImageTest, ACroppedAreaIsTurnedAQuarterClockwise) {
    // A 60 x 40 area whose top-left 10 x 10 corner is red.
    auto picture = ScanPictures::page(CGSizeMake(200, 200), {{redSquare(), CGRectMake(50, 70, 10, 10)}});

    auto cropped = QSCScanWrapper::cropCodeImageByCorners(picture, CGRectMake(50, 70, 60, 40));
    ASSERT_TRUE(cropped);
    EXPECT_EQ(cropped->size(), CGSizeMake(40, 60));
    EXPECT_EQ(pixel(cropped, 35, 5), kRed);  // now at the top right
    EXPECT_NE(pixel(cropped, 5, 5), kRed);
    EXPECT_FALSE(QSCScanWrapper::cropCodeImageByCorners(picture, CGRectZero));
    EXPECT_FALSE(QSCScanWrapper::cropCodeImageByCorners(picture, CGRectMake(500, 500, 10, 10)));
}
