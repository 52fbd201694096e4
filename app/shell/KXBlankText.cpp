#include "app/shell/KXBlankText.h"

#include <algorithm>
#include <memory>
#include <stdexcept>
#include <vector>

#include <unicode/brkiter.h>
#include <unicode/uchar.h>
#include <unicode/unistr.h>
#include <unicode/utf8.h>

namespace KXBlankText {

namespace {

using icu::UnicodeString;

bool drawsNothing(UChar32 point) {
    constexpr UChar32 kBlankBraillePattern = 0x2800;
    if (u_hasBinaryProperty(point, UCHAR_PREPENDED_CONCATENATION_MARK)) return false;
    const auto category = U_MASK(u_charType(point));
    return u_isUWhiteSpace(point) || u_hasBinaryProperty(point, UCHAR_DEFAULT_IGNORABLE_CODE_POINT) ||
           (category & (U_GC_CC_MASK | U_GC_CF_MASK | U_GC_Z_MASK)) != 0 || point == kBlankBraillePattern;
}

bool isBlankCharacter(const UnicodeString& character) {
    for (int32_t at = 0; at < character.length(); at = character.moveIndex32(at, 1)) {
        if (!drawsNothing(character.char32At(at))) return false;
    }
    return true;
}

bool isSpace(const UnicodeString& character) {
    return character.countChar32() == 1 && u_charType(character.char32At(0)) == U_SPACE_SEPARATOR;
}

}  // namespace

bool isBlank(std::string_view text) {
    // Nothing draws in any character when nothing draws in any code point.
    const auto* bytes = reinterpret_cast<const uint8_t*>(text.data());
    const auto length = static_cast<int32_t>(text.size());
    for (int32_t at = 0; at < length;) {
        UChar32 point = 0;
        U8_NEXT(bytes, at, length, point);
        if (point < 0 || !drawsNothing(point)) return false;
    }
    return true;
}

std::string kept(std::string_view text) {
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
    std::string kept;
    for (auto character = first; character < last; ++character) {
        if (isSpace(*character)) kept += ' ';
        else character->toUTF8String(kept);
    }
    return kept;
}

}  // namespace KXBlankText
