#include "uikit/CAGradientLayer.h"

#include "graphics/CGGradient.h"

void CAGradientLayer::drawInContext(const CGContextRef& context) {
    if (colors_.size() < 2) return;
    bool locationsFit = locations_.size() == colors_.size();
    auto gradient = CGGradientCreateWithColors(CGColorSpaceCreateDeviceRGB(), colors_,
                                               locationsFit ? locations_.data() : nullptr);
    if (!gradient) return;
    CGRect area = bounds();
    auto at = [&](CGPoint unit) {
        return CGPointMake(area.origin.x + unit.x * area.size.width, area.origin.y + unit.y * area.size.height);
    };
    CGContextSaveGState(context);
    if (cornerRadius() > 0) {
        CGContextAddPath(context, roundedBoundsPath());
        CGContextClip(context);
    } else {
        CGContextClipToRect(context, area);
    }
    CGContextDrawLinearGradient(context, gradient, at(startPoint_), at(endPoint_),
                                kCGGradientDrawsBeforeStartLocation | kCGGradientDrawsAfterEndLocation);
    CGContextRestoreGState(context);
}
