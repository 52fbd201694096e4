#pragma once

#include <optional>
#include <string>
#include <string_view>

// Class-method utilities shared by the request layer and the input checks.
class WMUtil {
public:
    WMUtil() = delete;

    // MD5 of the text's UTF-8 bytes up to the first zero byte, as 32
    // lower-case hexadecimal digits.
    static std::string md5HexDigest(std::string_view text);
    // The current time as whole seconds since 1970, truncated toward zero.
    static long getTimeSp();
    // Whether the text contains a space (U+0020) anywhere. Not an emptiness
    // test: "" and a lone tab answer false. No text at all answers true.
    static bool isBlank(const std::optional<std::string>& text);
    // Whether the whole text is a mainland mobile number of the accepted
    // ranges (13x, 15x but 154, 17x, 18x, then eight digits).
    static bool validateMobile(std::string_view text);
};
