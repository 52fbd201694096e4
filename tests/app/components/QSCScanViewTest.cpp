#include <gtest/gtest.h>

#include "app/components/QSCScanView.h"
#include "graphics/UIGraphics.h"
#include "tests/support/AppFixture.h"
#include "uikit/ViewSnapshot.h"

namespace {

const CGImagePixel kWhite{255, 255, 255, 255};
const CGImagePixel kClear{0, 0, 0, 0};
const CGImagePixel kDimmed{0, 0, 0, 128};
const CGImagePixel kDefaultAngle{0, 167, 231, 255};

// The overlay rendered at 2 pixels per point; read back by point.
class Rendered {
public:
    explicit Rendered(const Ref<UIView>& view) : image_(snapshotView(view, false, 2)) {}
    CGImagePixel at(CGFloat x, CGFloat y) const {
        return image_->CGImage()->pixelAt(std::size_t(x * 2), std::size_t(y * 2));
    }
    const Ref<UIImage>& image() const { return image_; }

private:
    Ref<UIImage> image_;
};

// A picture of `size` points in one colour.
Ref<UIImage> strip(CGSize size) {
    UIGraphicsBeginImageContextWithOptions(size, false, 1);
    CGContextSetFillColorWithColor(UIGraphicsGetCurrentContext(), UIColor::greenColor());
    CGContextFillRect(UIGraphicsGetCurrentContext(), CGRectMake(0, 0, size.width, size.height));
    auto image = UIGraphicsGetImageFromCurrentImageContext();
    UIGraphicsEndImageContext();
    return image;
}

// Counts its sweeps (steps that find it animating).
class CountingLineAnimation : public QSCScanLineAnimation {
public:
    void stepAnimation() override {
        if (isAnimationing()) ++sweeps;
        QSCScanLineAnimation::stepAnimation();
    }
    int sweeps = 0;
};

class QSCScanViewTest : public AppFixture {};

}  // namespace

TEST_F(QSCScanViewTest, TheDefaultStyleDimsAroundTheRectangleWithABorderAndOuterAngles) {
    auto view = make<QSCScanView>(CGRectMake(30, 80, 375, 600), QSCScanViewStyle{});
    EXPECT_EQ(view->frame(), CGRectMake(0, 0, 375, 600));  // the origin given is not used
    EXPECT_EQ(view->scanRetangleRect(), CGRectZero);
    ASSERT_TRUE(view->scanLineAnimation());
    EXPECT_FALSE(view->scanNetAnimation());
    EXPECT_FALSE(view->scanLineStill());

    Rendered shot(view);
    // top = 300 - 127.5 - 44
    EXPECT_EQ(view->scanRetangleRect(), CGRectMake(60, 128.5, 255, 255));
    // The four bands, and nothing inside the rectangle.
    EXPECT_EQ(shot.at(10, 10), kDimmed);
    EXPECT_EQ(shot.at(370, 128), kDimmed);
    EXPECT_EQ(shot.at(30, 256), kDimmed);
    EXPECT_EQ(shot.at(340, 256), kDimmed);
    EXPECT_EQ(shot.at(187, 590), kDimmed);
    EXPECT_EQ(shot.at(187, 256), kClear);
    EXPECT_EQ(shot.at(61, 130), kClear);
    // A white 1-point border on the rectangle's edges (59.5 ... 60.5).
    EXPECT_EQ(shot.at(59.5, 256), kWhite);
    EXPECT_EQ(shot.at(60, 256), kWhite);
    EXPECT_EQ(shot.at(314.5, 256), kWhite);
    EXPECT_EQ(shot.at(187, 128), kWhite);
    EXPECT_EQ(shot.at(187, 383.25), kWhite);
    // Angles: 6 wide, 2 outside the border (L = 58, T = 126.5), arms 24 long
    // plus the 3-point square-corner extension.
    EXPECT_EQ(shot.at(55.25, 123.75), kDefaultAngle);  // the square corner
    EXPECT_EQ(shot.at(81.5, 126.5), kDefaultAngle);   // end of the horizontal arm
    EXPECT_EQ(shot.at(82.5, 126.5), kDimmed);
    EXPECT_EQ(shot.at(58, 150), kDefaultAngle);       // end of the vertical arm
    EXPECT_EQ(shot.at(58, 151), kDimmed);
    EXPECT_EQ(shot.at(54.5, 126.5), kDimmed);
    EXPECT_EQ(shot.at(319.5, 387), kDefaultAngle);     // bottom right: R = 317, B = 385.5
    EXPECT_EQ(shot.at(293.5, 385.5), kDefaultAngle);
    EXPECT_EQ(shot.at(317, 362), kDefaultAngle);
}

TEST_F(QSCScanViewTest, InnerAnglesLieInsideTheBorderAndTheBorderIsOptional) {
    QSCScanViewStyle style;
    style.photoframeAngleStyle = QSCScanViewPhotoframeAngleStyle::Inner;
    style.photoframeLineW = 2;
    style.colorAngle = UIColor::colorWithRed(1, 0, 0, 1);
    auto view = make<QSCScanView>(CGRectMake(0, 0, 375, 600), style);
    Rendered shot(view);
    // L = 61: the angle's line covers 60 ... 62, the border's outer half stays white.
    EXPECT_EQ(shot.at(59.5, 140), kWhite);
    EXPECT_EQ(shot.at(60.5, 140), (CGImagePixel{255, 0, 0, 255}));
    EXPECT_EQ(shot.at(61.5, 140), (CGImagePixel{255, 0, 0, 255}));
    EXPECT_EQ(shot.at(62.5, 140), kClear);

    style.isNeedShowRetangle = false;
    style.photoframeAngleStyle = QSCScanViewPhotoframeAngleStyle::On;
    Rendered plain(make<QSCScanView>(CGRectMake(0, 0, 375, 600), style));
    EXPECT_EQ(plain.at(60, 256), kClear);  // no border
    EXPECT_EQ(plain.at(59.5, 256), kDimmed);
    EXPECT_EQ(plain.at(60, 140), (CGImagePixel{255, 0, 0, 255}));  // angle on the edge
}

TEST_F(QSCScanViewTest, TheRatioSetsTheHeightCutToAWholeNumber) {
    QSCScanViewStyle style;
    style.whRatio = 2;
    auto view = make<QSCScanView>(CGRectMake(0, 0, 375, 600), style);
    snapshotView(view, false, 1);
    EXPECT_EQ(view->scanRetangleRect(), CGRectMake(60, 300 - 63.5 - 44, 255, 127));

    for (double ratio : {0.0, std::numeric_limits<double>::infinity(), std::numeric_limits<double>::quiet_NaN(), 1e-300}) {
        style.whRatio = ratio;
        auto degenerate = make<QSCScanView>(CGRectMake(0, 0, 375, 600), style);
        snapshotView(degenerate, false, 1);
        EXPECT_EQ(degenerate->scanRetangleRect(), CGRectMake(60, 256, 255, 0)) << ratio;
    }
}

TEST_F(QSCScanViewTest, TheRectangleIsOnlyRecordedWhenDrawingHasAContext) {
    auto view = make<QSCScanView>(CGRectMake(0, 0, 375, 600), QSCScanViewStyle{});
    view->drawOverlay();
    EXPECT_EQ(view->scanRetangleRect(), CGRectZero);
}

TEST_F(QSCScanViewTest, AFrameOnlyViewHasTheDefaultLookAndNoAnimationView) {
    QSCScanViewStyle netStyle;
    netStyle.anmiationStyle = QSCScanViewAnimationStyle::NetGrid;
    auto view = make<QSCScanView>(CGRectMake(5, 5, 200, 300));
    EXPECT_EQ(view->frame(), CGRectMake(0, 0, 200, 300));
    EXPECT_EQ(view->viewStyle().xScanRetangleOffset, 60);
    EXPECT_FALSE(view->scanLineAnimation());
    view->startScanAnimation();
    EXPECT_TRUE(view->isAnimationing());  // set, though nothing moves
    EXPECT_TRUE(view->subviews().empty());

    auto net = make<QSCScanView>(CGRectMake(0, 0, 375, 600), netStyle);
    EXPECT_TRUE(net->scanNetAnimation());
    EXPECT_FALSE(net->scanLineAnimation());
}

TEST_F(QSCScanViewTest, TheMovingLineSweepsDownTheRectangleAndPausesBetweenSweeps) {
    QSCScanViewStyle style;
    style.animationImage = strip(CGSizeMake(100, 4));
    auto view = make<QSCScanView>(CGRectMake(0, 0, 375, 600), style);
    view->startScanAnimation();
    const auto& line = view->scanLineAnimation();
    EXPECT_EQ(line->superview(), view);
    EXPECT_FALSE(line->isHidden());
    EXPECT_TRUE(line->isAnimationing());
    EXPECT_EQ(line->animationRect(), CGRectMake(60, 128.5, 255, 255));
    // The picture scaled to the rectangle's width (10.2 high), resting on its bottom edge.
    CGRect frame = line->frame();
    EXPECT_EQ(frame.origin.x, 60);
    EXPECT_EQ(frame.size.width, 255);
    EXPECT_NEAR(frame.size.height, 10.2, 1e-9);
    EXPECT_NEAR(frame.origin.y, 383.5 - 10.2, 1e-9);
    EXPECT_EQ(line->alpha(), 1);
    EXPECT_EQ(line->image(), style.animationImage);

    view->stopScanAnimation();
    EXPECT_FALSE(view->isAnimationing());
    EXPECT_TRUE(line->isHidden());
    EXPECT_FALSE(line->isAnimationing());
    view->startScanAnimation();
    EXPECT_TRUE(line->isAnimationing());

    // The cadence: a sweep of 1.4 s, then 0.3 s before the next.
    auto counting = make<CountingLineAnimation>();
    auto parent = make<UIView>(CGRectMake(0, 0, 300, 300));
    counting->beginAnimating(CGRectMake(10, 20, 200, 100), parent, style.animationImage);
    EXPECT_EQ(counting->sweeps, 1);
    clock.advance(1.4);
    clock.advance(0.29);
    EXPECT_EQ(counting->sweeps, 1);
    clock.advance(0.02);
    EXPECT_EQ(counting->sweeps, 2);
    clock.advance(1.71);
    EXPECT_EQ(counting->sweeps, 3);

    // After the end a scheduled step runs and does nothing.
    counting->endAnimating();
    counting->setAlpha(0.5);
    clock.advance(5);
    EXPECT_EQ(counting->sweeps, 3);
    EXPECT_EQ(counting->alpha(), 0.5);
    EXPECT_TRUE(counting->isHidden());
}

TEST_F(QSCScanViewTest, ALineWithoutAPictureIsShownButNeverSteps) {
    auto view = make<QSCScanView>(CGRectMake(0, 0, 375, 600), QSCScanViewStyle{});
    view->startScanAnimation();
    const auto& line = view->scanLineAnimation();
    EXPECT_EQ(line->superview(), view);
    EXPECT_FALSE(line->isHidden());
    EXPECT_EQ(line->frame(), CGRectZero);
    clock.advance(3);
    EXPECT_EQ(line->frame(), CGRectZero);

    // A picture taken away after the start stops the steps.
    auto counting = make<CountingLineAnimation>();
    counting->beginAnimating(CGRectMake(0, 0, 100, 100), nullptr, strip(CGSizeMake(10, 2)));
    counting->setImage(nullptr);
    clock.advance(1.7);
    CGRect frame = counting->frame();
    clock.advance(5);
    EXPECT_EQ(counting->frame(), frame);
}

TEST_F(QSCScanViewTest, ReleasedAnimationsStopStepping) {
    QSCScanViewStyle style;
    style.anmiationStyle = QSCScanViewAnimationStyle::NetGrid;
    style.animationImage = strip(CGSizeMake(50, 50));
    WeakRef<QSCScanNetAnimation> net;
    {
        auto view = make<QSCScanView>(CGRectMake(0, 0, 375, 600), style);
        view->startScanAnimation();
        net = view->scanNetAnimation();
        EXPECT_EQ(net.lock()->frame().size.height, 255);  // a square picture
        clock.advance(1.2);  // the next step is waiting
    }
    clock.advance(0.3);
    clock.advance(1.2);
    clock.advance(0.3);
    EXPECT_TRUE(net.expired());
}

TEST_F(QSCScanViewTest, AStillLineSitsAcrossTheMiddleUntilStopped) {
    QSCScanViewStyle style;
    style.anmiationStyle = QSCScanViewAnimationStyle::LineStill;
    auto view = make<QSCScanView>(CGRectMake(0, 0, 375, 600), style);
    const auto& still = view->scanLineStill();
    ASSERT_TRUE(still);
    EXPECT_FALSE(still->image());
    view->startScanAnimation();
    EXPECT_EQ(still->superview(), view);
    EXPECT_EQ(still->frame(), CGRectMake(80, 256, 215, 2));
    EXPECT_FALSE(still->isHidden());
    view->stopScanAnimation();
    EXPECT_TRUE(still->isHidden());

    style.anmiationStyle = QSCScanViewAnimationStyle::None;
    auto none = make<QSCScanView>(CGRectMake(0, 0, 375, 600), style);
    none->startScanAnimation();
    none->stopScanAnimation();
    EXPECT_TRUE(none->subviews().empty());
}

TEST_F(QSCScanViewTest, TheReadyingIndicatorSitsLeftOfTheCentreAndKeepsItsFirstText) {
    auto view = make<QSCScanView>(CGRectMake(0, 0, 375, 600), QSCScanViewStyle{});
    view->hideReadying();  // nothing shown: nothing happens
    view->showReadying("loading");
    const auto spinner = view->activityView();
    const auto label = view->labelReadying();
    ASSERT_TRUE(spinner && label);
    // Centre (60 + 127.5 - 50, 128.5 + 127.5).
    EXPECT_EQ(spinner->frame(), CGRectMake(122.5, 241, 30, 30));
    EXPECT_TRUE(spinner->isAnimating());
    EXPECT_EQ(spinner->activityIndicatorViewStyle(), UIActivityIndicatorViewStyle::WhiteLarge);
    EXPECT_EQ(label->frame(), CGRectMake(162.5, 241, 100, 30));
    EXPECT_EQ(label->text(), "loading");
    EXPECT_EQ(label->textColor(), UIColor::whiteColor());
    EXPECT_EQ(label->font().pointSize(), 18);
    EXPECT_EQ(label->superview(), view);

    view->showReadying("another");
    EXPECT_EQ(view->activityView(), spinner);
    EXPECT_EQ(label->text(), "loading");
    EXPECT_EQ(view->subviews().back(), label);

    view->hideReadying();
    EXPECT_FALSE(view->activityView());
    EXPECT_FALSE(view->labelReadying());
    EXPECT_FALSE(spinner->superview());
    EXPECT_FALSE(label->superview());
    EXPECT_FALSE(spinner->isAnimating());
}

TEST_F(QSCScanViewTest, TheRectOfInterestAccountsForThePartOfThePictureTheFillCutsOff) {
    auto tall = make<UIView>(CGRectMake(0, 0, 375, 667));
    CGRect rect = QSCScanView::rectOfInterest(tall, QSCScanViewStyle{});
    EXPECT_DOUBLE_EQ(rect.origin.x, 162.0 / 667);
    EXPECT_DOUBLE_EQ(rect.origin.y, 60.09375 / 375.1875);
    EXPECT_DOUBLE_EQ(rect.size.width, 255.0 / 667);
    EXPECT_DOUBLE_EQ(rect.size.height, 255.0 / 375.1875);

    // Shorter than 16:9: the picture is cut at the top and bottom.
    auto shorter = make<UIView>(CGRectMake(0, 0, 375, 600));
    rect = QSCScanView::rectOfInterest(shorter, QSCScanViewStyle{});
    double fill = 375.0 * 1920 / 1080, pad = (fill - 600) / 2;
    EXPECT_DOUBLE_EQ(rect.origin.x, (128.5 + pad) / fill);
    EXPECT_DOUBLE_EQ(rect.origin.y, 60.0 / 375);
    EXPECT_DOUBLE_EQ(rect.size.width, 255 / fill);
    EXPECT_DOUBLE_EQ(rect.size.height, 255.0 / 375);

    EXPECT_EQ(QSCScanView::rectOfInterest(make<UIView>(CGRectZero), QSCScanViewStyle{}), CGRectZero);
    EXPECT_EQ(QSCScanView::rectOfInterest(nullptr, QSCScanViewStyle{}), CGRectZero);
}
