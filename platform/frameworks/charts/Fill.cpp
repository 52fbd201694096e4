#include "frameworks/charts/Fill.h"

#include <cmath>
#include <numbers>

Ref<Fill> Fill::fillWithColor(UIColor color) { return make<Fill>(color); }

Ref<Fill> Fill::fillWithLinearGradient(const CGGradientRef& gradient, CGFloat angle) {
    return make<Fill>(gradient, angle);
}

void Fill::fillPath(const CGContextRef& context, CGRect rect) const {
    CGContextSaveGState(context);
    CGContextClip(context);
    if (!gradient_) {
        CGContextSetFillColorWithColor(context, color_);
        CGContextFillRect(context, rect);
    } else {
        // The axis through the rectangle's centre, long enough to reach its
        // corners; y grows downwards on screen, so "upwards" is -y.
        double radians = angle_ * std::numbers::pi / 180;
        CGFloat dx = std::cos(radians), dy = -std::sin(radians);
        CGFloat half = (std::abs(dx) * rect.size.width + std::abs(dy) * rect.size.height) / 2;
        CGPoint centre{CGRectGetMidX(rect), CGRectGetMidY(rect)};
        CGContextDrawLinearGradient(context, gradient_, {centre.x - dx * half, centre.y - dy * half},
                                    {centre.x + dx * half, centre.y + dy * half}, 0);
    }
    CGContextRestoreGState(context);
}
