#pragma once

#include "graphics/CGContext.h"
#include "graphics/CGGradient.h"

// How the area under a line is painted: one colour, or a linear gradient
// whose axis points along `angle` degrees (0 to the right, 90 upwards, so
// location 0 of a 90-degree gradient lies at the bottom).
class Fill : public NSObject {
public:
    static Ref<Fill> fillWithColor(UIColor color);
    static Ref<Fill> fillWithLinearGradient(const CGGradientRef& gradient, CGFloat angle);

    Fill(UIColor color) : color_(color) {}
    Fill(CGGradientRef gradient, CGFloat angle) : gradient_(std::move(gradient)), angle_(angle) {}

    const CGGradientRef& gradient() const { return gradient_; }
    CGFloat gradientAngle() const { return angle_; }
    UIColor color() const { return color_; }

    // Paints `rect`, clipped to the context's current path (which it uses up).
    void fillPath(const CGContextRef& context, CGRect rect) const;

private:
    UIColor color_{};
    CGGradientRef gradient_;
    CGFloat angle_ = 0;
};
