#pragma once

#include <optional>
#include <string>
#include <string_view>

// The kit's URL escaping and unescaping of texts (as UTF-8 bytes).
class RPApiNSStringURLArgumentsAdditions {
public:
    RPApiNSStringURLArgumentsAdditions() = delete;

    // Escapes every character that may not stand in a URL, and also
    // "!*'();:@&=+$,/?%#[]": "a&b=c d" gives "a%26b%3Dc%20d".
    static std::string rpApi_stringByEscapingForURLArgument(std::string_view text);
    // Escapes what may not stand in a URL but leaves ";/?:@=&$-_.+!*'(),%"
    // as they are (escapes already present stay): "a&b=c d" gives "a&b=c%20d".
    static std::string rpApi_stringByEscapingForURLArgumentOnly(std::string_view text);
    // "+" becomes a blank, then percent escapes are decoded; nothing when an
    // escape is malformed or its bytes are not UTF-8.
    static std::optional<std::string> rpApi_stringByUnescapingFromURLArgument(std::string_view text);
    // As the above, after turning every "\x" or "\X" into "%" (JSON-style
    // hexadecimal escapes): "\x41+\X42" gives "A B".
    static std::optional<std::string> rpApi_stringByEncodeByJsonAndUrlEncode(std::string_view text);
    // Escapes what may not stand in a URL and also
    // ":/?#[]@!$ &'()*+,;=\"<>%{}|\\^~`"; "" when the text cannot be escaped.
    static std::string rpApi_stringByEncodeUrl(std::string_view text);
};
