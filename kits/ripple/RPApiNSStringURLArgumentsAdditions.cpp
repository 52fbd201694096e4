#include "kits/ripple/RPApiNSStringURLArgumentsAdditions.h"

#include "foundation/NSString.h"

std::string RPApiNSStringURLArgumentsAdditions::rpApi_stringByEscapingForURLArgument(std::string_view text) {
    return NSString::stringByAddingPercentEscapes(text, "", "!*'();:@&=+$,/?%#[]").value_or("");
}

std::string RPApiNSStringURLArgumentsAdditions::rpApi_stringByEscapingForURLArgumentOnly(std::string_view text) {
    return NSString::stringByAddingPercentEscapes(text, ";/?:@=&$-_.+!*'(),%", "").value_or("");
}

std::optional<std::string> RPApiNSStringURLArgumentsAdditions::rpApi_stringByUnescapingFromURLArgument(
    std::string_view text) {
    return NSString::stringByRemovingPercentEncoding(NSString::stringByReplacingOccurrencesOfString(text, "+", " "));
}

std::optional<std::string> RPApiNSStringURLArgumentsAdditions::rpApi_stringByEncodeByJsonAndUrlEncode(
    std::string_view text) {
    std::string escaped = NSString::stringByReplacingOccurrencesOfString(text, "+", " ");
    escaped = NSString::stringByReplacingOccurrencesOfString(escaped, "\\x", "%");
    escaped = NSString::stringByReplacingOccurrencesOfString(escaped, "\\X", "%");
    return NSString::stringByRemovingPercentEncoding(escaped);
}

std::string RPApiNSStringURLArgumentsAdditions::rpApi_stringByEncodeUrl(std::string_view text) {
    return NSString::stringByAddingPercentEscapes(text, "", ":/?#[]@!$ &'()*+,;=\"<>%{}|\\^~`").value_or("");
}
