#include "app/components/QSCScanView.h"

#include <cmath>

#include "graphics/UIGraphics.h"

namespace {

// The platform's size of a capture picture, in its landscape orientation.
constexpr CGFloat kCaptureLongSide = 1920, kCaptureShortSide = 1080;
// The largest height that still converts to a whole number.
constexpr CGFloat kLargestWholeHeight = 9.2e18;

CGFloat scanHeight(CGFloat width, CGFloat whRatio, bool alwaysTruncate) {
    if (whRatio == 1 && !alwaysTruncate) return width;
    CGFloat quotient = width / whRatio;
    if (!std::isfinite(quotient) || std::fabs(quotient) >= kLargestWholeHeight) return 0;
    return std::trunc(quotient);
}

}  // namespace

QSCScanView::QSCScanView(CGRect frame) : UIView(CGRectMake(0, 0, frame.size.width, frame.size.height)),
                                         makesAnimationView_(false) {}

QSCScanView::QSCScanView(CGRect frame, QSCScanViewStyle style)
    : UIView(CGRectMake(0, 0, frame.size.width, frame.size.height)),
      viewStyle_(std::move(style)),
      makesAnimationView_(true) {}

void QSCScanView::didCreate() {
    UIView::didCreate();
    if (makesAnimationView_) {
        switch (viewStyle_.anmiationStyle) {
            case QSCScanViewAnimationStyle::LineMove:
                scanLineAnimation_ = make<QSCScanLineAnimation>();
                scanLineAnimation_->setAccessibilityIdentifier("scanLineAnimation");
                break;
            case QSCScanViewAnimationStyle::NetGrid:
                scanNetAnimation_ = make<QSCScanNetAnimation>();
                scanNetAnimation_->setAccessibilityIdentifier("scanNetAnimation");
                break;
            case QSCScanViewAnimationStyle::LineStill:
                scanLineStill_ = make<UIImageView>();
                scanLineStill_->setImage(viewStyle_.animationImage);
                scanLineStill_->setAccessibilityIdentifier("scanLineStill");
                break;
            case QSCScanViewAnimationStyle::None: break;
        }
    }
    setOpaque(false);
    setBackgroundColor(UIColor::clearColor());
}

QSCScanView::~QSCScanView() {
    if (scanLineAnimation_) scanLineAnimation_->endAnimating();
    if (scanNetAnimation_) scanNetAnimation_->endAnimating();
}

CGRect QSCScanView::scanRetangle(CGSize size, const QSCScanViewStyle& style, bool alwaysTruncate) {
    CGFloat left = style.xScanRetangleOffset;
    CGFloat width = size.width - 2 * left;
    CGFloat height = scanHeight(width, style.whRatio, alwaysTruncate);
    CGFloat top = size.height / 2 - height / 2 - style.centerUpOffset;
    return CGRectMake(left, top, width, height);
}

CGRect QSCScanView::scanRetangle(bool alwaysTruncate) const {
    return scanRetangle(frame().size, viewStyle_, alwaysTruncate);
}

void QSCScanView::drawRect(CGRect) { drawOverlay(); }

void QSCScanView::drawOverlay() {
    CGRect scan = scanRetangle();
    auto context = UIGraphicsGetCurrentContext();
    if (!context) return;
    CGFloat W = frame().size.width, H = frame().size.height;
    CGFloat left = scan.origin.x, top = scan.origin.y, height = scan.size.height;
    CGFloat right = W - left, bottom = top + height;

    CGContextSetFillColorWithColor(context, viewStyle_.color_NotRecoginitonArea);
    CGContextFillRect(context, CGRectMake(0, 0, W, top));
    CGContextFillRect(context, CGRectMake(0, top, left, height));
    CGContextFillRect(context, CGRectMake(right, top, left, height));
    CGContextFillRect(context, CGRectMake(0, bottom, W, H - bottom));

    if (viewStyle_.isNeedShowRetangle) {
        CGContextSetStrokeColorWithColor(context, viewStyle_.colorRetangleLine);
        CGContextSetLineWidth(context, 1);
        CGContextAddRect(context, scan);
        CGContextStrokePath(context);
    }
    scanRetangleRect_ = scan;

    CGFloat lineWidth = viewStyle_.photoframeLineW;
    CGFloat offset = 0;
    switch (viewStyle_.photoframeAngleStyle) {
        case QSCScanViewPhotoframeAngleStyle::Inner: offset = -lineWidth / 2; break;
        case QSCScanViewPhotoframeAngleStyle::Outer: offset = lineWidth / 3; break;
        case QSCScanViewPhotoframeAngleStyle::On: offset = 0; break;
    }
    CGContextSetStrokeColorWithColor(context, viewStyle_.colorAngle);
    CGContextSetFillColorWithColor(context, UIColor::whiteColor());
    CGContextSetLineWidth(context, lineWidth);

    CGFloat L = left - offset, T = top - offset, R = right + offset, B = bottom + offset;
    CGFloat s = lineWidth / 2, a = viewStyle_.photoframeAngleW, b = viewStyle_.photoframeAngleH;
    // Each arm starts half a line beyond the corner, so the two arms of an
    // angle meet in a square corner.
    const CGPoint segments[][2] = {
        {{L - s, T}, {L + a, T}}, {{L, T - s}, {L, T + b}},  // top left
        {{L - s, B}, {L + a, B}}, {{L, B + s}, {L, B - b}},  // bottom left
        {{R + s, T}, {R - a, T}}, {{R, T - s}, {R, T + b}},  // top right
        {{R + s, B}, {R - a, B}}, {{R, B + s}, {R, B - b}},  // bottom right
    };
    CGContextBeginPath(context);
    for (const auto& segment : segments) {
        CGContextMoveToPoint(context, segment[0].x, segment[0].y);
        CGContextAddLineToPoint(context, segment[1].x, segment[1].y);
    }
    CGContextStrokePath(context);
}

void QSCScanView::startScanAnimation() {
    if (isAnimationing_) return;
    isAnimationing_ = true;
    CGRect rect = scanRetangle();
    switch (viewStyle_.anmiationStyle) {
        case QSCScanViewAnimationStyle::LineMove:
            if (scanLineAnimation_) scanLineAnimation_->beginAnimating(rect, self<UIView>(), viewStyle_.animationImage);
            break;
        case QSCScanViewAnimationStyle::NetGrid:
            if (scanNetAnimation_) scanNetAnimation_->beginAnimating(rect, self<UIView>(), viewStyle_.animationImage);
            break;
        case QSCScanViewAnimationStyle::LineStill:
            if (scanLineStill_) {
                scanLineStill_->setFrame(CGRectMake(rect.origin.x + 20, rect.origin.y + rect.size.height / 2,
                                                    rect.size.width - 40, 2));
                addSubview(scanLineStill_);
                scanLineStill_->setHidden(false);
            }
            break;
        case QSCScanViewAnimationStyle::None: break;
    }
}

void QSCScanView::stopScanAnimation() {
    isAnimationing_ = false;
    switch (viewStyle_.anmiationStyle) {
        case QSCScanViewAnimationStyle::LineMove:
            if (scanLineAnimation_) scanLineAnimation_->endAnimating();
            break;
        case QSCScanViewAnimationStyle::NetGrid:
            if (scanNetAnimation_) scanNetAnimation_->endAnimating();
            break;
        case QSCScanViewAnimationStyle::LineStill:
            if (scanLineStill_) scanLineStill_->setHidden(true);
            break;
        case QSCScanViewAnimationStyle::None: break;
    }
}

void QSCScanView::showReadying(const std::string& text) {
    if (!activityView_) {
        CGRect scan = scanRetangle(true);
        activityView_ = make<UIActivityIndicatorView>(UIActivityIndicatorViewStyle::WhiteLarge);
        activityView_->setAccessibilityIdentifier("activityView");
        activityView_->setFrame(CGRectMake(0, 0, 30, 30));
        activityView_->setCenter(CGPointMake(scan.origin.x + scan.size.width / 2 - 50,
                                             scan.origin.y + scan.size.height / 2));
        addSubview(activityView_);

        CGRect spinner = activityView_->frame();
        labelReadying_ = make<UILabel>(CGRectMake(spinner.origin.x + spinner.size.width + 10, spinner.origin.y, 100, 30));
        labelReadying_->setAccessibilityIdentifier("labelReadying");
        labelReadying_->setText(text);
        labelReadying_->setBackgroundColor(UIColor::clearColor());
        labelReadying_->setTextColor(UIColor::whiteColor());
        labelReadying_->setFont(UIFont::systemFontOfSize(18));
        addSubview(labelReadying_);
    }
    if (labelReadying_) addSubview(labelReadying_);
    activityView_->startAnimating();
}

void QSCScanView::hideReadying() {
    if (!activityView_) return;
    activityView_->stopAnimating();
    activityView_->removeFromSuperview();
    if (labelReadying_) labelReadying_->removeFromSuperview();
    activityView_ = nullptr;
    labelReadying_ = nullptr;
}

CGRect QSCScanView::rectOfInterest(const Ref<UIView>& previewView, const QSCScanViewStyle& style) {
    if (!previewView) return CGRectZero;
    CGRect scan = scanRetangle(previewView->frame().size, style);
    CGFloat left = scan.origin.x, top = scan.origin.y, width = scan.size.width, height = scan.size.height;
    CGSize size = previewView->bounds().size;
    CGFloat w = size.width, h = size.height;
    // A view with no size leaves nothing to scale by (0 / 0): the zero
    // rectangle, which keeps the whole picture.
    if (w == 0 && h == 0) return CGRectZero;
    if (h / w < kCaptureLongSide / kCaptureShortSide) {
        // The picture is cut at the top and bottom.
        CGFloat fitHeight = w * kCaptureLongSide / kCaptureShortSide;
        CGFloat pad = (fitHeight - h) / 2;
        return CGRectMake((top + pad) / fitHeight, left / w, height / fitHeight, width / w);
    }
    // The picture is cut at the sides.
    CGFloat fitWidth = h * kCaptureShortSide / kCaptureLongSide;
    CGFloat pad = (fitWidth - w) / 2;
    return CGRectMake(top / h, (left + pad) / fitWidth, height / h, width / fitWidth);
}
