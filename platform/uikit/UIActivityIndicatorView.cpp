#include "uikit/UIActivityIndicatorView.h"

#include <cmath>
#include <numbers>

#include "graphics/UIGraphics.h"

namespace {

bool isLarge(UIActivityIndicatorViewStyle style) {
    return style == UIActivityIndicatorViewStyle::WhiteLarge || style == UIActivityIndicatorViewStyle::Large;
}

}  // namespace

UIActivityIndicatorView::UIActivityIndicatorView(UIActivityIndicatorViewStyle style) : style_(style) {
    setUserInteractionEnabled(false);
}

void UIActivityIndicatorView::didCreate() {
    UIView::didCreate();
    CGRect frame = this->frame();
    frame.size = intrinsicContentSize();
    setFrame(frame);
    updateVisibility();
}

void UIActivityIndicatorView::setActivityIndicatorViewStyle(UIActivityIndicatorViewStyle style) {
    style_ = style;
    invalidateIntrinsicContentSize();
}

UIColor UIActivityIndicatorView::color() const {
    if (color_) return *color_;
    switch (style_) {
        case UIActivityIndicatorViewStyle::WhiteLarge:
        case UIActivityIndicatorViewStyle::White: return UIColor::whiteColor();
        case UIActivityIndicatorViewStyle::Gray:
        case UIActivityIndicatorViewStyle::Medium:
        case UIActivityIndicatorViewStyle::Large: break;
    }
    return UIColor::grayColor();
}

void UIActivityIndicatorView::setHidesWhenStopped(bool hides) {
    hidesWhenStopped_ = hides;
    if (!hides && !animating_) setHidden(false);
    updateVisibility();
}

void UIActivityIndicatorView::startAnimating() {
    animating_ = true;
    updateVisibility();
}

void UIActivityIndicatorView::stopAnimating() {
    animating_ = false;
    updateVisibility();
}

void UIActivityIndicatorView::updateVisibility() {
    if (hidesWhenStopped_) setHidden(!animating_);
}

CGSize UIActivityIndicatorView::intrinsicContentSize() {
    CGFloat side = isLarge(style_) ? 37 : 20;
    return {side, side};
}

void UIActivityIndicatorView::drawRect(CGRect) {
    auto context = UIGraphicsGetCurrentContext();
    if (!context) return;
    CGRect area = bounds();
    CGFloat radius = std::min(area.size.width, area.size.height) / 2;
    CGPoint centre{CGRectGetMidX(area), CGRectGetMidY(area)};
    CGContextSetLineWidth(context, radius * 0.2);
    CGContextSetLineCap(context, kCGLineCapRound);
    constexpr int spokes = 12;
    for (int spoke = 0; spoke < spokes; ++spoke) {
        double angle = 2 * std::numbers::pi * spoke / spokes;
        CGFloat dx = std::cos(angle), dy = std::sin(angle);
        CGContextSetStrokeColorWithColor(context, color().colorWithAlphaComponent(0.25 + 0.75 * spoke / (spokes - 1)));
        CGContextBeginPath(context);
        CGContextMoveToPoint(context, centre.x + dx * radius * 0.5, centre.y + dy * radius * 0.5);
        CGContextAddLineToPoint(context, centre.x + dx * radius * 0.9, centre.y + dy * radius * 0.9);
        CGContextStrokePath(context);
    }
}
