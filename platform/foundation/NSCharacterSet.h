#pragma once

#include <bitset>
#include <set>
#include <string_view>

// A set of Unicode characters, as a value. ASCII membership is a table;
// beyond ASCII a set follows a Unicode class (letters and digits, white
// space) plus the characters added or removed one by one.
class NSCharacterSet {
public:
    NSCharacterSet() = default;
    static NSCharacterSet characterSetWithCharactersInString(std::string_view characters);
    // Unicode spaces (general category Zs) and tab.
    static NSCharacterSet whitespaceCharacterSet();
    // White space plus line ends (U+000A-U+000D, U+0085, U+2028, U+2029).
    static NSCharacterSet whitespaceAndNewlineCharacterSet();
    // Unicode letters, marks and digits (categories L, M, N).
    static NSCharacterSet alphanumericCharacterSet();
    // The characters each URL part may hold unescaped (RFC 3986).
    static NSCharacterSet URLQueryAllowedCharacterSet();
    static NSCharacterSet URLFragmentAllowedCharacterSet();
    static NSCharacterSet URLPathAllowedCharacterSet();
    static NSCharacterSet URLHostAllowedCharacterSet();
    // Only RFC 3986's unreserved characters: ASCII letters, digits, "-._~".
    static NSCharacterSet URLUnreservedCharacterSet();

    bool characterIsMember(char32_t character) const;
    void addCharactersInString(std::string_view characters);
    void removeCharactersInString(std::string_view characters);
    NSCharacterSet invertedSet() const;

private:
    enum class UnicodeClass { None, Whitespace, WhitespaceAndNewline, Alphanumeric };
    static NSCharacterSet ofClass(UnicodeClass unicodeClass);
    static NSCharacterSet asciiAlphanumericsAnd(std::string_view characters);
    bool classMember(char32_t character) const;

    std::bitset<128> ascii_;
    UnicodeClass class_ = UnicodeClass::None;
    // When set, the class's complement is meant.
    bool inverted_ = false;
    std::set<char32_t> added_;
    std::set<char32_t> removed_;
};
