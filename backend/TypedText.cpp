#include "backend/TypedText.h"

#include <unicode/uchar.h>
#include <unicode/utf8.h>

namespace backend {

namespace {

bool drawsNothing(UChar32 point) {
    constexpr UChar32 kBlankBraillePattern = 0x2800;
    const auto category = U_MASK(u_charType(point));
    return u_isUWhiteSpace(point) || u_hasBinaryProperty(point, UCHAR_DEFAULT_IGNORABLE_CODE_POINT) ||
           (category & (U_GC_CC_MASK | U_GC_CF_MASK | U_GC_Z_MASK)) != 0 || point == kBlankBraillePattern;
}

// Calls `each(point, start, end)` for the code points of UTF-8 `text`, in
// order; false, having stopped, at the first malformed sequence (overlong
// forms, surrogates and points past U+10FFFF are not UTF-8).
template <typename Each>
bool eachCodePoint(std::string_view text, Each each) {
    const auto* bytes = reinterpret_cast<const uint8_t*>(text.data());
    const auto length = static_cast<int32_t>(text.size());
    for (int32_t at = 0; at < length;) {
        const int32_t start = at;
        UChar32 point = 0;
        U8_NEXT(bytes, at, length, point);
        if (point < 0) return false;
        each(point, static_cast<std::size_t>(start), static_cast<std::size_t>(at));
    }
    return true;
}

}  // namespace

bool isBlankText(std::string_view text) {
    bool blank = true;
    return eachCodePoint(text, [&](UChar32 point, std::size_t, std::size_t) { blank = blank && drawsNothing(point); }) &&
           blank;
}

KeptText keptText(std::string_view typed, std::string_view what, std::size_t longestBytes) {
    const std::string field(what);
    std::size_t first = std::string_view::npos;
    std::size_t last = 0;
    const bool wellFormed = eachCodePoint(typed, [&](UChar32 point, std::size_t start, std::size_t end) {
        if (drawsNothing(point)) return;
        if (first == std::string_view::npos) first = start;
        last = end;
    });
    if (!wellFormed) return {"", field + "含有无效字符"};
    if (first == std::string_view::npos) return {"", field + "不能为空"};
    KeptText kept;
    eachCodePoint(typed.substr(first, last - first), [&](UChar32 point, std::size_t start, std::size_t end) {
        if (kept.refusal) return;
        if (u_charType(point) == U_CONTROL_CHAR) kept.refusal = field + "含有无效字符";
        else if (u_charType(point) == U_SPACE_SEPARATOR) kept.text += ' ';
        else if (drawsNothing(point)) kept.refusal = field + "含有不可见字符";
        else kept.text += typed.substr(first + start, end - start);
    });
    if (!kept.refusal && kept.text.size() > longestBytes) kept.refusal = field + "过长";
    if (kept.refusal) kept.text.clear();
    return kept;
}

}  // namespace backend
