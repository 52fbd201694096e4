#include "frameworks/progressbar/YLProgressBar.h"

#include <algorithm>
#include <cmath>

#include "graphics/CGGradient.h"
#include "graphics/UIGraphics.h"
#include "uikit/UIBezierPath.h"

namespace {

constexpr CGFloat kStripeWidth = 7;
const UIColor kStripeColour = UIColor::colorWithWhite(1, 0.28);
const UIColor kGlossColour = UIColor::colorWithWhite(1, 0.3);

CGFloat pinned(CGFloat progress) { return std::isnan(progress) ? 0 : std::clamp<CGFloat>(progress, 0, 1); }

void fillRounded(const CGContextRef& context, CGRect rect, CGFloat radius, UIColor colour) {
    CGContextSetFillColorWithColor(context, colour);
    CGContextAddPath(context, UIBezierPath::bezierPathWithRoundedRect(rect, radius)->CGPath());
    CGContextFillPath(context);
}

}  // namespace

void YLProgressBar::didCreate() {
    UIView::didCreate();
    setBackgroundColor(UIColor::clearColor());
}

void YLProgressBar::setProgress(CGFloat progress) {
    progress_ = pinned(progress);
    setNeedsDisplay();
}

// Animation is accepted: the bar shows the new value at once.
void YLProgressBar::setProgress(CGFloat progress, bool) { setProgress(progress); }

void YLProgressBar::setProgressTintColors(std::vector<UIColor> colors) {
    progressTintColors_ = std::move(colors);
    setNeedsDisplay();
}

void YLProgressBar::setTrackTintColor(UIColor color) {
    trackTintColor_ = color;
    setNeedsDisplay();
}

void YLProgressBar::setCornerRadius(CGFloat radius) {
    cornerRadius_ = std::max<CGFloat>(0, radius);
    setNeedsDisplay();
}

void YLProgressBar::setProgressBarInset(CGFloat inset) {
    progressBarInset_ = std::max<CGFloat>(0, inset);
    setNeedsDisplay();
}

void YLProgressBar::setHideStripes(bool hide) {
    hideStripes_ = hide;
    setNeedsDisplay();
}

void YLProgressBar::setHideGloss(bool hide) {
    hideGloss_ = hide;
    setNeedsDisplay();
}

void YLProgressBar::setProgressStretch(bool stretch) {
    progressStretch_ = stretch;
    setNeedsDisplay();
}

CGRect YLProgressBar::progressRect() const {
    CGRect inner = CGRectInset(bounds(), progressBarInset_, progressBarInset_);
    if (inner.size.width <= 0 || inner.size.height <= 0) return {inner.origin, {0, 0}};
    inner.size.width *= progress_;
    return inner;
}

void YLProgressBar::drawRect(CGRect) {
    auto context = UIGraphicsGetCurrentContext();
    if (!context) return;
    CGRect track = bounds();
    fillRounded(context, track, cornerRadius_, trackTintColor_);

    CGRect filled = progressRect();
    if (filled.size.width <= 0 || progressTintColors_.empty()) return;
    CGContextSaveGState(context);
    UIBezierPath::bezierPathWithRoundedRect(filled, std::max<CGFloat>(0, cornerRadius_ - progressBarInset_))->addClip();
    if (progressTintColors_.size() == 1) {
        CGContextSetFillColorWithColor(context, progressTintColors_.front());
        CGContextFillRect(context, filled);
    } else {
        // Stretched, the whole gradient spans the filled part; otherwise it
        // spans the track and the filled part shows its beginning.
        CGFloat span = progressStretch_ ? filled.size.width : CGRectInset(track, progressBarInset_, 0).size.width;
        auto gradient = CGGradientCreateWithColors(CGColorSpaceCreateDeviceRGB(), progressTintColors_, nullptr);
        CGContextDrawLinearGradient(context, gradient, {CGRectGetMinX(filled), 0},
                                    {CGRectGetMinX(filled) + span, 0}, 0);
    }
    if (!hideStripes_) {
        CGContextSetFillColorWithColor(context, kStripeColour);
        CGFloat height = filled.size.height;
        for (CGFloat x = CGRectGetMinX(filled) - height; x < CGRectGetMaxX(filled); x += 2 * kStripeWidth) {
            CGContextMoveToPoint(context, x, CGRectGetMaxY(filled));
            CGContextAddLineToPoint(context, x + kStripeWidth, CGRectGetMaxY(filled));
            CGContextAddLineToPoint(context, x + kStripeWidth + height, CGRectGetMinY(filled));
            CGContextAddLineToPoint(context, x + height, CGRectGetMinY(filled));
            CGContextClosePath(context);
        }
        CGContextFillPath(context);
    }
    if (!hideGloss_) {
        CGContextSetFillColorWithColor(context, kGlossColour);
        CGContextFillRect(context, {filled.origin, {filled.size.width, filled.size.height / 2}});
    }
    CGContextRestoreGState(context);
}
