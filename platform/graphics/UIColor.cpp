#include "graphics/UIColor.h"

#include <algorithm>
#include <cmath>
#include <sstream>

namespace {

CGFloat clampUnit(CGFloat value) {
    if (std::isnan(value)) return 0;
    return std::clamp(value, 0.0, 1.0);
}

}  // namespace

UIColor UIColor::colorWithRed(CGFloat red, CGFloat green, CGFloat blue, CGFloat alpha) {
    return UIColor(clampUnit(red), clampUnit(green), clampUnit(blue), clampUnit(alpha));
}

UIColor UIColor::colorWithWhite(CGFloat white, CGFloat alpha) { return colorWithRed(white, white, white, alpha); }

UIColor UIColor::colorWithAlphaComponent(CGFloat alpha) const { return colorWithRed(red_, green_, blue_, alpha); }

bool UIColor::getRed(CGFloat* red, CGFloat* green, CGFloat* blue, CGFloat* alpha) const {
    if (red) *red = red_;
    if (green) *green = green_;
    if (blue) *blue = blue_;
    if (alpha) *alpha = alpha_;
    return true;
}

CGFloat UIColor::whiteLevel() const { return 0.299 * red_ + 0.587 * green_ + 0.114 * blue_; }

std::string UIColor::description() const {
    std::ostringstream out;
    out << "UIExtendedSRGBColorSpace " << red_ << " " << green_ << " " << blue_ << " " << alpha_;
    return out.str();
}
