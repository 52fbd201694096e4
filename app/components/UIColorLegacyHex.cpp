#include "app/components/UIColorLegacyHex.h"

#include "foundation/NSCharacterSet.h"
#include "foundation/NSScanner.h"
#include "foundation/NSString.h"

UIColor UIColorLegacyHex::colorWithHexString(std::string_view color, CGFloat alpha) {
    std::string text = NSString::uppercaseString(
        NSString::stringByTrimmingCharactersInSet(color, NSCharacterSet::whitespaceAndNewlineCharacterSet()));
    if (NSString::length(text) <= 5) return UIColor::clearColor();
    if (NSString::hasPrefix(text, "0X")) text = NSString::substringFromIndex(text, 2);
    if (NSString::hasPrefix(text, "#")) text = NSString::substringFromIndex(text, 1);
    if (NSString::length(text) != 6) return UIColor::clearColor();
    auto component = [&](std::size_t at) {
        unsigned value = 0;
        NSScanner(NSString::substringWithRange(text, NSRange{at, 2})).scanHexInt(&value);
        return static_cast<CGFloat>(value) / 255.0;
    };
    return UIColor::colorWithRed(component(0), component(2), component(4), alpha);
}

UIColor UIColorLegacyHex::colorWithHexString(std::string_view color) { return colorWithHexString(color, 1.0); }
