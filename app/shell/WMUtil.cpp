#include "app/shell/WMUtil.h"

#include <cmath>
#include <cstring>

#include "foundation/CommonDigest.h"
#include "foundation/NSDate.h"
#include "foundation/NSPredicate.h"

std::string WMUtil::md5HexDigest(std::string_view text) {
    text = text.substr(0, std::min(text.size(), text.find('\0')));
    unsigned char digest[CC_MD5_DIGEST_LENGTH];
    CC_MD5(text.data(), static_cast<CC_LONG>(text.size()), digest);
    static const char hex[] = "0123456789abcdef";
    std::string out;
    out.reserve(2 * CC_MD5_DIGEST_LENGTH);
    for (unsigned char byte : digest) {
        out += hex[byte >> 4];
        out += hex[byte & 15];
    }
    return out;
}

long WMUtil::getTimeSp() { return static_cast<long>(std::trunc(NSDate::date().timeIntervalSince1970())); }

bool WMUtil::isBlank(const std::optional<std::string>& text) {
    return !text || text->find(' ') != std::string::npos;
}

bool WMUtil::validateMobile(std::string_view text) {
    static const auto predicate = NSPredicate::predicateWithFormat(
        "SELF MATCHES %@", Value("^((13[0-9])|(15[^4,\\D])|(18[0,0-9])|(17[0-9]))\\d{8}$"));
    return predicate->evaluateWithObject(Value(text));
}
