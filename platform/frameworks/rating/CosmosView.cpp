#include "frameworks/rating/CosmosView.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "graphics/CGContext.h"
#include "graphics/UIGraphics.h"

namespace {

// A five-pointed star filling the square, point up.
void addStarPath(const CGContextRef& context, CGRect square) {
    const CGFloat outer = square.size.width / 2, inner = outer * 0.382;
    const CGPoint centre{CGRectGetMidX(square), CGRectGetMidY(square)};
    CGContextBeginPath(context);
    for (int corner = 0; corner < 10; ++corner) {
        const double angle = -std::numbers::pi / 2 + corner * std::numbers::pi / 5;
        const CGFloat radius = corner % 2 == 0 ? outer : inner;
        const CGFloat x = centre.x + radius * std::cos(angle), y = centre.y + radius * std::sin(angle);
        if (corner == 0) CGContextMoveToPoint(context, x, y);
        else CGContextAddLineToPoint(context, x, y);
    }
    CGContextClosePath(context);
}

}  // namespace

void CosmosView::setRating(double rating) {
    rating_ = std::isfinite(rating) ? rating : 0;
    setNeedsDisplay();
}

void CosmosView::setSettings(const CosmosSettings& settings) {
    settings_ = settings;
    settings_.totalStars = std::max(0, settings_.totalStars);
    invalidateIntrinsicContentSize();
}

double CosmosView::starFillLevel(double rating, int index, StarFillMode mode) {
    const double fraction = std::clamp(rating - index, 0.0, 1.0);
    switch (mode) {
    case StarFillMode::Full: return std::round(fraction);
    case StarFillMode::Half: return std::round(fraction * 2) / 2;
    case StarFillMode::Precise: return fraction;
    }
    return fraction;
}

double CosmosView::ratingForTouchAt(CGFloat x) const {
    const CGFloat pitch = settings_.starSize + settings_.starMargin;
    if (pitch <= 0 || settings_.totalStars == 0) return 0;
    const int star = std::clamp(static_cast<int>(std::floor(x / pitch)), 0, settings_.totalStars - 1);
    const double within = std::clamp((x - star * pitch) / std::max<CGFloat>(settings_.starSize, 1), 0.0, 1.0);
    double touched = star + within;
    switch (settings_.fillMode) {
    case StarFillMode::Full: touched = std::ceil(touched); break;
    case StarFillMode::Half: touched = std::ceil(touched * 2) / 2; break;
    case StarFillMode::Precise: break;
    }
    return std::clamp(touched, settings_.minTouchRating, static_cast<double>(settings_.totalStars));
}

CGSize CosmosView::intrinsicContentSize() {
    const int stars = settings_.totalStars;
    if (stars == 0) return CGSizeZero;
    return {stars * settings_.starSize + (stars - 1) * settings_.starMargin, settings_.starSize};
}

void CosmosView::drawRect(CGRect) {
    auto context = UIGraphicsGetCurrentContext();
    if (!context) return;
    const CGFloat side = settings_.starSize;
    for (int index = 0; index < settings_.totalStars; ++index) {
        const CGRect square{{index * (side + settings_.starMargin), 0}, {side, side}};
        const double fill = starFillLevel(rating_, index, settings_.fillMode);
        CGContextSaveGState(context);
        addStarPath(context, square);
        CGContextClip(context);
        CGContextSetFillColorWithColor(context, settings_.emptyColor);
        CGContextFillRect(context, square);
        CGContextSetFillColorWithColor(context, settings_.filledColor);
        CGContextFillRect(context, {square.origin, {side * fill, side}});
        CGContextRestoreGState(context);
        const bool filled = fill >= 1;
        const CGFloat border = filled ? settings_.filledBorderWidth : settings_.emptyBorderWidth;
        if (border > 0) {
            addStarPath(context, square);
            CGContextSetLineWidth(context, border);
            CGContextSetStrokeColorWithColor(context, filled ? settings_.filledBorderColor : settings_.emptyBorderColor);
            CGContextStrokePath(context);
        }
    }
}

bool CosmosView::handleTapAt(CGPoint point) {
    if (!isUserInteractionEnabled()) return false;
    if (settings_.updateOnTouch) setRating(ratingForTouchAt(point.x));
    if (didTouchCosmos) didTouchCosmos(rating_);
    return true;
}
