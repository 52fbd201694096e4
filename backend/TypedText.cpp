#include "backend/TypedText.h"

#include <algorithm>
#include <memory>
#include <stdexcept>
#include <vector>

#include <unicode/brkiter.h>
#include <unicode/normalizer2.h>
#include <unicode/uchar.h>
#include <unicode/unistr.h>
#include <unicode/uscript.h>
#include <unicode/utf8.h>

namespace backend {

namespace {

using icu::UnicodeString;

bool drawsNothing(UChar32 point) {
    constexpr UChar32 kBlankBraillePattern = 0x2800;
    if (u_hasBinaryProperty(point, UCHAR_PREPENDED_CONCATENATION_MARK)) return false;
    const auto category = U_MASK(u_charType(point));
    return u_isUWhiteSpace(point) || u_hasBinaryProperty(point, UCHAR_DEFAULT_IGNORABLE_CODE_POINT) ||
           (category & (U_GC_CC_MASK | U_GC_CF_MASK | U_GC_Z_MASK)) != 0 || point == kBlankBraillePattern;
}

// Calls `each(point)` for the code points of UTF-8 `text`, in order; false,
// having stopped, at the first malformed sequence (overlong forms,
// surrogates and points past U+10FFFF are not UTF-8).
template <typename Each>
bool eachCodePoint(std::string_view text, Each each) {
    const auto* bytes = reinterpret_cast<const uint8_t*>(text.data());
    const auto length = static_cast<int32_t>(text.size());
    for (int32_t at = 0; at < length;) {
        UChar32 point = 0;
        U8_NEXT(bytes, at, length, point);
        if (point < 0) return false;
        each(point);
    }
    return true;
}

template <typename Each>
void eachCodePoint(const UnicodeString& text, Each each) {
    for (int32_t at = 0; at < text.length(); at = text.moveIndex32(at, 1)) each(text.char32At(at));
}

bool isBlankCharacter(const UnicodeString& character) {
    bool blank = true;
    eachCodePoint(character, [&](UChar32 point) { blank = blank && drawsNothing(point); });
    return blank;
}

// The user-perceived characters of `text` from the first one that draws to
// the last one that draws, in order; none when nothing draws.
std::vector<UnicodeString> charactersBetweenBlanks(std::string_view text) {
    const UnicodeString whole = UnicodeString::fromUTF8(icu::StringPiece(text.data(), static_cast<int32_t>(text.size())));
    UErrorCode status = U_ZERO_ERROR;
    std::unique_ptr<icu::BreakIterator> breaks(icu::BreakIterator::createCharacterInstance(icu::Locale::getRoot(), status));
    if (U_FAILURE(status)) throw std::runtime_error("no character break iterator");
    breaks->setText(whole);
    std::vector<UnicodeString> characters;
    for (int32_t start = breaks->first(), end = breaks->next(); end != icu::BreakIterator::DONE; start = end, end = breaks->next()) {
        characters.emplace_back(whole, start, end - start);
    }
    const auto first = std::find_if_not(characters.begin(), characters.end(), isBlankCharacter);
    const auto last = std::find_if_not(characters.rbegin(), characters.rend(), isBlankCharacter).base();
    if (first == characters.end()) return {};
    return {first, last};
}

bool isOneOf(const UnicodeString& character, UChar32 point) {
    return character.countChar32() == 1 && character.char32At(0) == point;
}

bool isSpace(const UnicodeString& character) {
    return character.countChar32() == 1 && u_charType(character.char32At(0)) == U_SPACE_SEPARATOR;
}

bool holdsControl(const UnicodeString& character) {
    bool control = false;
    eachCodePoint(character, [&](UChar32 point) { control = control || u_charType(point) == U_CONTROL_CHAR; });
    return control;
}

bool isMongolian(const UnicodeString& character) {
    UErrorCode status = U_ZERO_ERROR;
    return uscript_getScript(character.char32At(0), &status) == USCRIPT_MONGOLIAN && U_SUCCESS(status);
}

// A Mongolian vowel separator between two Mongolian letters: part of the
// word, choosing the form of the vowel after it.
bool isVowelSeparatorInWord(const std::vector<UnicodeString>& characters, std::size_t at) {
    constexpr UChar32 kMongolianVowelSeparator = 0x180E;
    return isOneOf(characters[at], kMongolianVowelSeparator) && at > 0 && at + 1 < characters.size() &&
           isMongolian(characters[at - 1]) && isMongolian(characters[at + 1]);
}

}  // namespace

bool isBlankText(std::string_view text) {
    // Nothing draws in any character when nothing draws in any code point.
    bool blank = true;
    return eachCodePoint(text, [&](UChar32 point) { blank = blank && drawsNothing(point); }) && blank;
}

KeptText keptText(std::string_view typed, std::string_view what, std::size_t longestBytes) {
    const std::string field(what);
    if (!eachCodePoint(typed, [](UChar32) {})) return {"", field + "含有无效字符"};
    const std::vector<UnicodeString> characters = charactersBetweenBlanks(typed);
    if (characters.empty()) return {"", field + "不能为空"};
    KeptText kept;
    for (std::size_t at = 0; at < characters.size() && !kept.refusal; ++at) {
        const UnicodeString& character = characters[at];
        if (!isBlankCharacter(character) || isVowelSeparatorInWord(characters, at)) character.toUTF8String(kept.text);
        else if (holdsControl(character)) kept.refusal = field + "含有无效字符";
        else if (isSpace(character)) kept.text += ' ';
        else kept.refusal = field + "含有不可见字符";
    }
    if (!kept.refusal && kept.text.size() > longestBytes) kept.refusal = field + "过长";
    if (kept.refusal) kept.text.clear();
    return kept;
}

std::string identityKey(std::string_view text) {
    UnicodeString shown;
    for (const UnicodeString& character : charactersBetweenBlanks(text)) {
        eachCodePoint(character, [&](UChar32 point) {
            if (!u_hasBinaryProperty(point, UCHAR_DEFAULT_IGNORABLE_CODE_POINT)) shown.append(point);
        });
    }
    UErrorCode status = U_ZERO_ERROR;
    const icu::Normalizer2* nfkc = icu::Normalizer2::getNFKCInstance(status);
    const UnicodeString key = U_SUCCESS(status) ? nfkc->normalize(shown, status) : UnicodeString();
    if (U_FAILURE(status)) throw std::runtime_error("no NFKC normaliser");
    std::string utf8;
    key.toUTF8String(utf8);
    return utf8;
}

}  // namespace backend
