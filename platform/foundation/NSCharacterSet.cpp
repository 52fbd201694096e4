#include "foundation/NSCharacterSet.h"

#include <unicode/uchar.h>

#include "foundation/UTF16.h"

namespace {

bool isUnicodeWhitespace(char32_t c) { return c == '\t' || u_charType(static_cast<UChar32>(c)) == U_SPACE_SEPARATOR; }

bool isLineEnd(char32_t c) { return (c >= 0x0A && c <= 0x0D) || c == 0x85 || c == 0x2028 || c == 0x2029; }

bool isUnicodeAlphanumeric(char32_t c) {
    return (U_GET_GC_MASK(static_cast<UChar32>(c)) & (U_GC_L_MASK | U_GC_M_MASK | U_GC_N_MASK)) != 0;
}

constexpr std::string_view urlSubDelimiters = "!$&'()*+,;=";

}  // namespace

NSCharacterSet NSCharacterSet::ofClass(UnicodeClass unicodeClass) {
    NSCharacterSet set;
    set.class_ = unicodeClass;
    for (char32_t c = 0; c < 128; ++c) set.ascii_[c] = set.classMember(c);
    return set;
}

NSCharacterSet NSCharacterSet::asciiAlphanumericsAnd(std::string_view characters) {
    NSCharacterSet set;
    for (char32_t c = 0; c < 128; ++c) {
        set.ascii_[c] = (c >= '0' && c <= '9') || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
    }
    set.addCharactersInString(characters);
    return set;
}

NSCharacterSet NSCharacterSet::characterSetWithCharactersInString(std::string_view characters) {
    NSCharacterSet set;
    set.addCharactersInString(characters);
    return set;
}

NSCharacterSet NSCharacterSet::whitespaceCharacterSet() { return ofClass(UnicodeClass::Whitespace); }
NSCharacterSet NSCharacterSet::whitespaceAndNewlineCharacterSet() { return ofClass(UnicodeClass::WhitespaceAndNewline); }
NSCharacterSet NSCharacterSet::alphanumericCharacterSet() { return ofClass(UnicodeClass::Alphanumeric); }

NSCharacterSet NSCharacterSet::URLQueryAllowedCharacterSet() {
    NSCharacterSet set = asciiAlphanumericsAnd("-._~:@/?");
    set.addCharactersInString(urlSubDelimiters);
    return set;
}

NSCharacterSet NSCharacterSet::URLFragmentAllowedCharacterSet() { return URLQueryAllowedCharacterSet(); }

NSCharacterSet NSCharacterSet::URLPathAllowedCharacterSet() {
    NSCharacterSet set = asciiAlphanumericsAnd("-._~:@/");
    set.addCharactersInString(urlSubDelimiters);
    return set;
}

NSCharacterSet NSCharacterSet::URLHostAllowedCharacterSet() {
    NSCharacterSet set = asciiAlphanumericsAnd("-._~:[]");
    set.addCharactersInString(urlSubDelimiters);
    return set;
}

NSCharacterSet NSCharacterSet::URLUnreservedCharacterSet() { return asciiAlphanumericsAnd("-._~"); }

bool NSCharacterSet::classMember(char32_t c) const {
    switch (class_) {
    case UnicodeClass::None: return false;
    case UnicodeClass::Whitespace: return isUnicodeWhitespace(c);
    case UnicodeClass::WhitespaceAndNewline: return isUnicodeWhitespace(c) || isLineEnd(c);
    case UnicodeClass::Alphanumeric: return isUnicodeAlphanumeric(c);
    }
    return false;
}

bool NSCharacterSet::characterIsMember(char32_t character) const {
    if (character < 128) return ascii_[character];
    if (added_.count(character)) return true;
    if (removed_.count(character)) return false;
    return classMember(character) != inverted_;
}

void NSCharacterSet::addCharactersInString(std::string_view characters) {
    for (std::size_t at = 0; at < characters.size();) {
        char32_t c = UTF16::decodeNext(characters, at);
        if (c < 128) {
            ascii_[c] = true;
        } else {
            removed_.erase(c);
            added_.insert(c);
        }
    }
}

void NSCharacterSet::removeCharactersInString(std::string_view characters) {
    for (std::size_t at = 0; at < characters.size();) {
        char32_t c = UTF16::decodeNext(characters, at);
        if (c < 128) {
            ascii_[c] = false;
        } else {
            added_.erase(c);
            removed_.insert(c);
        }
    }
}

NSCharacterSet NSCharacterSet::invertedSet() const {
    NSCharacterSet set = *this;
    set.ascii_.flip();
    set.inverted_ = !inverted_;
    std::swap(set.added_, set.removed_);
    return set;
}
