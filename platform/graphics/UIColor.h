#pragma once

#include <string>

#include "graphics/CGGeometry.h"

// A colour as red, green, blue and alpha components in 0...1 (device RGB).
// It is also what contexts and layers take where the platform passes a
// CGColor: `color.CGColor()` is the colour itself.
class UIColor {
public:
    // Transparent black, as the platform's clear colour.
    constexpr UIColor() = default;

    // Components are clamped to 0...1.
    static UIColor colorWithRed(CGFloat red, CGFloat green, CGFloat blue, CGFloat alpha);
    static UIColor colorWithWhite(CGFloat white, CGFloat alpha);

    static UIColor blackColor() { return colorWithWhite(0, 1); }
    static UIColor darkGrayColor() { return colorWithWhite(1.0 / 3, 1); }
    static UIColor lightGrayColor() { return colorWithWhite(2.0 / 3, 1); }
    static UIColor whiteColor() { return colorWithWhite(1, 1); }
    static UIColor grayColor() { return colorWithWhite(0.5, 1); }
    static UIColor redColor() { return colorWithRed(1, 0, 0, 1); }
    static UIColor greenColor() { return colorWithRed(0, 1, 0, 1); }
    static UIColor blueColor() { return colorWithRed(0, 0, 1, 1); }
    static UIColor cyanColor() { return colorWithRed(0, 1, 1, 1); }
    static UIColor yellowColor() { return colorWithRed(1, 1, 0, 1); }
    static UIColor magentaColor() { return colorWithRed(1, 0, 1, 1); }
    static UIColor orangeColor() { return colorWithRed(1, 0.5, 0, 1); }
    static UIColor purpleColor() { return colorWithRed(0.5, 0, 0.5, 1); }
    static UIColor brownColor() { return colorWithRed(0.6, 0.4, 0.2, 1); }
    static UIColor clearColor() { return UIColor(); }

    // The same colour with another alpha.
    UIColor colorWithAlphaComponent(CGFloat alpha) const;
    UIColor CGColor() const { return *this; }

    CGFloat red() const { return red_; }
    CGFloat green() const { return green_; }
    CGFloat blue() const { return blue_; }
    CGFloat alpha() const { return alpha_; }
    // The components through out-parameters (any may be null); always true
    // since every colour here is RGB.
    bool getRed(CGFloat* red, CGFloat* green, CGFloat* blue, CGFloat* alpha) const;
    // Rec. 601 luma: what a grey context keeps of the colour.
    CGFloat whiteLevel() const;

    // "UIExtendedSRGBColorSpace r g b a" as the platform describes colours.
    std::string description() const;

    bool operator==(const UIColor&) const = default;

private:
    constexpr UIColor(CGFloat red, CGFloat green, CGFloat blue, CGFloat alpha)
        : red_(red), green_(green), blue_(blue), alpha_(alpha) {}

    CGFloat red_ = 0, green_ = 0, blue_ = 0, alpha_ = 0;
};
