#include <cmath>
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "app/components/QSCScanView.h"
#include "graphics/UIGraphics.h"
#include "tests/support/AppFixture.h"
#include "uikit/ViewSnapshot.h"
#include "tests/support/TestShots.h"

namespace {

const CGImagePixel kWhite{255, 255, 255, 255};
const CGImagePixel kClear{0, 0, 0, 0};
const CGImagePixel kDimmed{0, 0, 0, 128};
const CGImagePixel kDefaultAngle{0, 167, 231, 255};
const CGImagePixel kRedPixel{255, 0, 0, 255};

// The overlay rendered at 2 pixels per point, read back by point.
class Rendered {
public:
    explicit Rendered(const Ref<UIView>& view) : image_(snapshotView(view, false, 2)) {}
    CGImagePixel at(CGFloat x, CGFloat y) const {
        return image_->CGImage()->pixelAt(std::size_t(x * 2), std::size_t(y * 2));
    }

private:
    Ref<UIImage> image_;
};

Ref<UIImage> greenStrip(CGSize size) {
    UIGraphicsBeginImageContextWithOptions(size, false, 1);
    CGContextSetFillColorWithColor(UIGraphicsGetCurrentContext(), UIColor::greenColor());
    CGContextFillRect(UIGraphicsGetCurrentContext(), CGRectMake(0, 0, size.width, size.height));
    auto image = UIGraphicsGetImageFromCurrentImageContext();
    UIGraphicsEndImageContext();
    return image;
}

// Counts the steps that find it animating.
class CountingLineAnimation : public QSCScanLineAnimation {
public:
    void stepAnimation() override {
        sweeps += isAnimationing();
        QSCScanLineAnimation::stepAnimation();
    }
    int sweeps = 0;
};

class QSCScanViewTest : public AppFixture {};

}  // namespace

TEST_F(QSCScanViewTest, TheDefaultStyleDimsAroundTheRectangleWithABorderAndOuterAngles) {
    auto view = make<QSCScanView>(CGRectMake(30, 80, 375, 600), QSCScanViewStyle{});
    EXPECT_EQ(view->frame(), CGRectMake(0, 0, 375, 600));  // the origin given is not used
    view->drawOverlay();  // no context: nothing recorded
    EXPECT_EQ(view->scanRetangleRect(), CGRectZero);

    Rendered shot(view);
    EXPECT_EQ(view->scanRetangleRect(), CGRectMake(60, 128.5, 255, 255));  // top = 300 - 127.5 - 44
    for (CGPoint dimmed : {CGPoint{10, 10}, {370, 128}, {30, 256}, {340, 256}, {187, 590}, {54.5, 126.5}})
        EXPECT_EQ(shot.at(dimmed.x, dimmed.y), kDimmed) << dimmed.x << "," << dimmed.y;
    EXPECT_EQ(shot.at(187, 256), kClear);
    // The 1-point white border on the edges (59.5 ... 60.5).
    for (CGPoint border : {CGPoint{59.5, 256}, {60, 256}, {314.5, 256}, {187, 128}, {187, 383.25}})
        EXPECT_EQ(shot.at(border.x, border.y), kWhite) << border.x << "," << border.y;
    // Angles 6 wide, 2 outside the border (L = 58, T = 126.5, R = 317,
    // B = 385.5), arms 24 long from the corner, plus 3 to square it.
    for (CGPoint angle : {CGPoint{55.25, 123.75}, {81.5, 126.5}, {58, 150}, {319.5, 387}, {293.5, 385.5}, {317, 362}})
        EXPECT_EQ(shot.at(angle.x, angle.y), kDefaultAngle) << angle.x << "," << angle.y;
    EXPECT_EQ(shot.at(82.5, 126.5), kDimmed);
    EXPECT_EQ(shot.at(58, 151), kDimmed);
}

TEST_F(QSCScanViewTest, InnerAnglesLieInsideTheBorderAndTheRatioCutsTheHeight) {
    QSCScanViewStyle style;
    style.photoframeAngleStyle = QSCScanViewPhotoframeAngleStyle::Inner;
    style.photoframeLineW = 2;
    style.colorAngle = UIColor::redColor();
    Rendered inner(make<QSCScanView>(CGRectMake(0, 0, 375, 600), style));
    // L = 61: the angle covers 60 ... 62, the border's outer half stays white.
    EXPECT_EQ(inner.at(59.5, 140), kWhite);
    EXPECT_EQ(inner.at(60.5, 140), kRedPixel);
    EXPECT_EQ(inner.at(61.5, 140), kRedPixel);
    EXPECT_EQ(inner.at(62.5, 140), kClear);

    style.isNeedShowRetangle = false;
    style.whRatio = 2;
    auto wide = make<QSCScanView>(CGRectMake(0, 0, 375, 600), style);
    Rendered plain(wide);
    EXPECT_EQ(wide->scanRetangleRect(), CGRectMake(60, 300 - 63.5 - 44, 255, 127));  // 127.5 cut
    EXPECT_EQ(plain.at(59.75, 250), kDimmed);  // no border

    for (double ratio : {0.0, std::numeric_limits<double>::infinity(), std::numeric_limits<double>::quiet_NaN()}) {
        style.whRatio = ratio;
        auto degenerate = make<QSCScanView>(CGRectMake(0, 0, 375, 600), style);
        snapshotView(degenerate, false, 1);
        EXPECT_EQ(degenerate->scanRetangleRect(), CGRectMake(60, 256, 255, 0)) << ratio;
    }
}

TEST_F(QSCScanViewTest, TheMovingLineSweepsDownTheRectangleAndPausesBetweenSweeps) {
    QSCScanViewStyle style;
    style.animationImage = greenStrip(CGSizeMake(100, 4));
    auto view = make<QSCScanView>(CGRectMake(0, 0, 375, 600), style);
    view->startScanAnimation();
    const auto& line = view->scanLineAnimation();
    EXPECT_EQ(line->superview(), view);
    EXPECT_EQ(line->animationRect(), CGRectMake(60, 128.5, 255, 255));
    // The picture scaled to the rectangle's width, resting on its bottom edge.
    CGRect frame = line->frame();
    EXPECT_EQ(frame.size.width, 255);
    EXPECT_NEAR(frame.size.height, 10.2, 1e-9);
    EXPECT_NEAR(frame.origin.y, 383.5 - 10.2, 1e-9);
    EXPECT_EQ(line->alpha(), 1);
    view->stopScanAnimation();
    EXPECT_TRUE(line->isHidden());
    EXPECT_FALSE(line->isAnimationing());

    auto counting = make<CountingLineAnimation>();
    counting->beginAnimating(CGRectMake(10, 20, 200, 100), nullptr, style.animationImage);
    EXPECT_EQ(counting->sweeps, 1);
    clock.advance(1.4 + 0.29);
    EXPECT_EQ(counting->sweeps, 1);
    clock.advance(0.02);
    EXPECT_EQ(counting->sweeps, 2);
    counting->endAnimating();
    counting->setAlpha(0.5);
    clock.advance(5);  // the step already scheduled does nothing
    EXPECT_EQ(counting->sweeps, 2);
    EXPECT_EQ(counting->alpha(), 0.5);

    // Without a picture the line shows and never moves.
    auto still = make<QSCScanView>(CGRectMake(0, 0, 375, 600), QSCScanViewStyle{});
    still->startScanAnimation();
    EXPECT_FALSE(still->scanLineAnimation()->isHidden());
    clock.advance(3);
    EXPECT_EQ(still->scanLineAnimation()->frame(), CGRectZero);
}

TEST_F(QSCScanViewTest, OtherAnimationStylesAndReleasedAnimations) {
    QSCScanViewStyle style;
    style.anmiationStyle = QSCScanViewAnimationStyle::LineStill;
    auto view = make<QSCScanView>(CGRectMake(0, 0, 375, 600), style);
    view->startScanAnimation();
    EXPECT_EQ(view->scanLineStill()->frame(), CGRectMake(80, 256, 215, 2));
    EXPECT_FALSE(view->scanLineStill()->isHidden());
    view->stopScanAnimation();
    EXPECT_TRUE(view->scanLineStill()->isHidden());
    EXPECT_FALSE(make<QSCScanView>(CGRectMake(0, 0, 375, 600))->scanLineAnimation());  // the frame alone: none

    style.anmiationStyle = QSCScanViewAnimationStyle::NetGrid;
    style.animationImage = greenStrip(CGSizeMake(50, 50));
    WeakRef<QSCScanNetAnimation> net;
    {
        auto grid = make<QSCScanView>(CGRectMake(0, 0, 375, 600), style);
        grid->startScanAnimation();
        net = grid->scanNetAnimation();
        clock.advance(1.2);  // the next step is waiting
    }
    clock.advance(0.3 + 1.2 + 0.3);
    EXPECT_TRUE(net.expired());
}

TEST_F(QSCScanViewTest, TheReadyingIndicatorSitsLeftOfTheCentreAndKeepsItsFirstText) {
    auto view = make<QSCScanView>(CGRectMake(0, 0, 375, 600), QSCScanViewStyle{});
    view->showReadying("loading");
    const auto spinner = view->activityView();
    const auto label = view->labelReadying();
    EXPECT_EQ(spinner->frame(), CGRectMake(122.5, 241, 30, 30));  // centre (60 + 127.5 - 50, 128.5 + 127.5)
    EXPECT_TRUE(spinner->isAnimating());
    EXPECT_EQ(label->frame(), CGRectMake(162.5, 241, 100, 30));
    EXPECT_EQ(label->textColor(), UIColor::whiteColor());
    EXPECT_EQ(label->font().pointSize(), 18);

    // Over a black camera picture: the spinner and the white text beside it.
    auto screen = make<UIView>(CGRectMake(0, 0, 375, 600));
    screen->setBackgroundColor(UIColor::blackColor());
    screen->addSubview(view);
    auto picture = snapshotView(screen, true, 2);
    auto png = UIImagePNGRepresentation(picture);
    ASSERT_TRUE(png);
    std::ofstream(testShotPath("scan-overlay-readying.png"), std::ios::binary)
        .write(reinterpret_cast<const char*>(png->bytes()), std::streamsize(png->length()));
    int whiteInLabel = 0;
    for (std::size_t x = 325; x < 525; ++x)
        for (std::size_t y = 482; y < 542; ++y) whiteInLabel += picture->CGImage()->pixelAt(x, y).red > 200;
    EXPECT_GT(whiteInLabel, 50);

    view->showReadying("another");
    EXPECT_EQ(view->activityView(), spinner);
    EXPECT_EQ(label->text(), "loading");
    view->hideReadying();
    EXPECT_FALSE(view->activityView() || view->labelReadying() || spinner->superview() || label->superview());
}

TEST_F(QSCScanViewTest, TheRectOfInterestAccountsForThePartOfThePictureTheFillCutsOff) {
    CGRect rect = QSCScanView::rectOfInterest(make<UIView>(CGRectMake(0, 0, 375, 667)), QSCScanViewStyle{});
    EXPECT_DOUBLE_EQ(rect.origin.x, 162.0 / 667);
    EXPECT_DOUBLE_EQ(rect.origin.y, 60.09375 / 375.1875);
    EXPECT_DOUBLE_EQ(rect.size.width, 255.0 / 667);
    EXPECT_DOUBLE_EQ(rect.size.height, 255.0 / 375.1875);

    // Shorter than 16:9: the picture is cut at the top and bottom.
    rect = QSCScanView::rectOfInterest(make<UIView>(CGRectMake(0, 0, 375, 600)), QSCScanViewStyle{});
    double fill = 375.0 * 1920 / 1080, pad = (fill - 600) / 2;
    EXPECT_DOUBLE_EQ(rect.origin.x, (128.5 + pad) / fill);
    EXPECT_DOUBLE_EQ(rect.origin.y, 60.0 / 375);
    EXPECT_DOUBLE_EQ(rect.size.width, 255 / fill);
    EXPECT_DOUBLE_EQ(rect.size.height, 255.0 / 375);

    // No width: the fill rule still scales by the height (the picture is
    // cut at the sides, all of it but a line).
    rect = QSCScanView::rectOfInterest(make<UIView>(CGRectMake(0, 0, 0, 600)), QSCScanViewStyle{});
    fill = 600.0 * 1080 / 1920;
    EXPECT_DOUBLE_EQ(rect.origin.y, (60 + fill / 2) / fill);
    EXPECT_DOUBLE_EQ(rect.size.height, -120 / fill);
    EXPECT_TRUE(std::isfinite(rect.origin.x) && std::isfinite(rect.size.width));
    // No size at all: nothing to scale by.
    EXPECT_EQ(QSCScanView::rectOfInterest(make<UIView>(CGRectZero), QSCScanViewStyle{}), CGRectZero);
}
