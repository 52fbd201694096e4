#include "app/shell/UIColorHex.h"

#include "foundation/NSCharacterSet.h"
#include "foundation/NSRange.h"
#include "foundation/NSScanner.h"
#include "foundation/NSString.h"

namespace {

// One colour component from a two-character piece of the text.
CGFloat component(const std::string& digits, std::size_t at) {
    unsigned value = 0;
    NSScanner(NSString::substringWithRange(digits, NSRange{at, 2})).scanHexInt(&value);
    return static_cast<CGFloat>(value) / 255.0;
}

}  // namespace

UIColor UIColorHex::colorWithHexStringWithHexString(std::string_view hexString) {
    return colorWithHexString(hexString, 1.0);
}

UIColor UIColorHex::colorWithHexString(std::string_view hexString, CGFloat alpha) {
    std::string text = NSString::uppercaseString(
        NSString::stringByTrimmingCharactersInSet(hexString, NSCharacterSet::whitespaceAndNewlineCharacterSet()));
    if (NSString::length(text) < 6) return UIColor::clearColor();
    if (NSString::hasPrefix(hexString, "0x")) text = NSString::substringFromIndex(text, 2);
    if (NSString::hasPrefix(hexString, "#")) text = NSString::substringFromIndex(text, 1);
    if (NSString::length(text) != 6) return UIColor::clearColor();
    return UIColor::colorWithRed(component(text, 0), component(text, 2), component(text, 4), alpha);
}
