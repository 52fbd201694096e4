#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "foundation/NSCharacterSet.h"
#include "foundation/NSData.h"
#include "foundation/NSRange.h"
#include "foundation/StringFormatter.h"
#include "foundation/Value.h"

// One UTF-16 unit, as the platform's characters are.
using unichar = char16_t;

// The encodings texts convert to and from bytes with.
enum NSStringEncoding : unsigned long {
    NSUTF8StringEncoding = 4,
    // GB 18030-2000, the platform's kCFStringEncodingGB_18030_2000 converted.
    NSGB18030StringEncoding = 0x80000632,
};

enum NSComparisonResult { NSOrderedAscending = -1, NSOrderedSame = 0, NSOrderedDescending = 1 };

// The platform's text methods, on UTF-8 std::string. Each is a static member
// taking the receiver first: `[s intValue]` is `NSString::intValue(s)`.
class NSString {
public:
    // `stringWithFormat:`: printf-style conversions plus "%@", which prints a
    // Value, a text or a reference object by its description ("(null)" for
    // nil). Integer conversions of a text read its leading integer.
    template <class... Args> static std::string stringWithFormat(std::string_view format, const Args&... args) {
        return StringFormatter::format(format, {FormatArgument(args)...});
    }

    // Leading-number parses: leading white space is skipped, then a sign and
    // digits are read as far as they go; no number gives 0. Results that do
    // not fit are clamped to the type's range.
    static int intValue(std::string_view text);
    static long long longLongValue(std::string_view text);
    static long integerValue(std::string_view text) { return static_cast<long>(longLongValue(text)); }
    static double doubleValue(std::string_view text);
    static float floatValue(std::string_view text) { return static_cast<float>(doubleValue(text)); }
    // True when the text starts (after white space, a sign and zeros) with
    // "Y", "y", "T", "t" or a digit 1-9.
    static bool boolValue(std::string_view text);
    // Whole-text parses: an optional sign and digits (for reals also a
    // fraction and an exponent) and nothing else, no white space; nothing when
    // the text is anything more or the number does not fit.
    static std::optional<long long> strictInteger(std::string_view text);
    static std::optional<double> strictDouble(std::string_view text);

    // Lengths, indices and ranges count UTF-16 units. Indices and ranges past
    // the end are clamped; a cut through a surrogate pair keeps neither half.
    static std::size_t length(std::string_view text);
    // The unit at `index`; 0 past the end.
    static unichar characterAtIndex(std::string_view text, std::size_t index);
    static std::string substringWithRange(std::string_view text, NSRange range);
    static std::string substringToIndex(std::string_view text, std::size_t index);
    static std::string substringFromIndex(std::string_view text, std::size_t index);
    // The first occurrence; {NSNotFound, 0} when absent or `search` is empty.
    static NSRange rangeOfString(std::string_view text, std::string_view search);

    static bool isEqualToString(std::string_view text, std::string_view other) { return text == other; }
    // Literal comparison in UTF-16 unit order.
    static NSComparisonResult compare(std::string_view text, std::string_view other);
    // The empty text is never a prefix, suffix or part of anything.
    static bool hasPrefix(std::string_view text, std::string_view prefix);
    static bool hasSuffix(std::string_view text, std::string_view suffix);
    static bool containsString(std::string_view text, std::string_view part);
    static std::string uppercaseString(std::string_view text);
    static std::string lowercaseString(std::string_view text);
    static std::string stringByTrimmingCharactersInSet(std::string_view text, const NSCharacterSet& set);
    // An empty separator gives the text whole.
    static std::vector<std::string> componentsSeparatedByString(std::string_view text, std::string_view separator);
    static std::string componentsJoinedByString(const std::vector<std::string>& parts, std::string_view separator);
    // Elements join by their descriptions.
    static std::string componentsJoinedByString(const Array& parts, std::string_view separator);
    static std::string stringByReplacingOccurrencesOfString(std::string_view text, std::string_view target,
                                                             std::string_view replacement);

    // Nothing when the text cannot be encoded (malformed UTF-8).
    static std::optional<NSData> dataUsingEncoding(std::string_view text, NSStringEncoding encoding);
    // Nothing when the bytes are not valid in the encoding.
    static std::optional<std::string> initWithData(const NSData& data, NSStringEncoding encoding);

    // Escapes, as "%" and two upper-case hex digits per byte, every character
    // outside `allowed` (UTF-8 bytes).
    static std::string stringByAddingPercentEncodingWithAllowedCharacters(std::string_view text,
                                                                          const NSCharacterSet& allowed);
    // The older escaping: every byte in the encoding except ASCII letters,
    // digits and "!#$&'()*+,-./:;=?@_~" is escaped; `leaveUnescaped` takes
    // characters out of the escaped set and `escapeAlso` adds legal ones to it
    // (what CFURLCreateStringByAddingPercentEscapes takes). Nothing when the
    // text cannot be encoded.
    static std::optional<std::string> stringByAddingPercentEscapes(std::string_view text,
                                                                   std::string_view leaveUnescaped,
                                                                   std::string_view escapeAlso,
                                                                   NSStringEncoding encoding = NSUTF8StringEncoding);
    static std::optional<std::string> stringByAddingPercentEscapesUsingEncoding(std::string_view text,
                                                                                NSStringEncoding encoding) {
        return stringByAddingPercentEscapes(text, "", "", encoding);
    }
    // Decodes every "%XX" as a UTF-8 byte ("+" stays); nothing when an
    // escape is malformed or the bytes are not valid UTF-8.
    static std::optional<std::string> stringByRemovingPercentEncoding(std::string_view text);
};
