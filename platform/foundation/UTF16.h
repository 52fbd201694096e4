#pragma once

#include <cstddef>
#include <string>
#include <string_view>

// Conversions between the UTF-8 texts we store and the UTF-16 units in which
// the platform counts lengths and ranges. Malformed UTF-8 never fails: each
// byte that does not start a well-formed sequence counts as one U+FFFD.
class UTF16 {
public:
    static constexpr char32_t replacement = 0xFFFD;

    // The code point starting at `at`, advancing `at` past it; U+FFFD (one
    // byte consumed) where the bytes are not well-formed UTF-8.
    static char32_t decodeNext(std::string_view utf8, std::size_t& at);
    static void append(std::string& utf8, char32_t codePoint);
    static bool isValidUTF8(std::string_view utf8);

    static std::size_t length(std::string_view utf8);
    static std::u16string encode(std::string_view utf8);
    // Unpaired surrogates become U+FFFD.
    static std::string decode(std::u16string_view utf16);

    // The byte offset where the character holding UTF-16 unit `index` starts
    // (a unit inside a surrogate pair maps to the pair's start); the text's
    // size when `index` is at or past its end.
    static std::size_t byteOffset(std::string_view utf8, std::size_t index);
    // The UTF-16 index of the character starting at or containing byte `offset`.
    static std::size_t index(std::string_view utf8, std::size_t offset);
};
