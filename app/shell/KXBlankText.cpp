#include "app/shell/KXBlankText.h"

#include <unicode/uchar.h>
#include <unicode/utf8.h>

namespace KXBlankText {

namespace {

bool drawsNothing(UChar32 point) {
    constexpr UChar32 kBlankBraillePattern = 0x2800;
    const auto category = U_MASK(u_charType(point));
    return u_isUWhiteSpace(point) || u_hasBinaryProperty(point, UCHAR_DEFAULT_IGNORABLE_CODE_POINT) ||
           (category & (U_GC_CC_MASK | U_GC_CF_MASK | U_GC_Z_MASK)) != 0 || point == kBlankBraillePattern;
}

}  // namespace

bool isBlank(std::string_view text) {
    const auto* bytes = reinterpret_cast<const uint8_t*>(text.data());
    const auto length = static_cast<int32_t>(text.size());
    for (int32_t at = 0; at < length;) {
        UChar32 point = 0;
        U8_NEXT(bytes, at, length, point);
        if (point < 0 || !drawsNothing(point)) return false;
    }
    return true;
}

}  // namespace KXBlankText
