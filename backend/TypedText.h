#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace backend {

// Whether a value the app sends is empty as a person sees it: valid UTF-8 in
// which nothing draws. A code point draws nothing when it is white space or
// a line end, a control or format character, a separator, a default-
// ignorable code point (the zero-width characters and joiners, direction
// marks and isolates, variation selectors, the soft hyphen, the Hangul
// fillers, tags), or the braille pattern with no dots raised (U+2800), a
// symbol by category whose glyph is an empty cell. The app's KXBlankText
// keeps the same rule. Text that is not UTF-8 is not blank: keptText
// refuses it.
bool isBlankText(std::string_view text);

// A text a person typed (a name, an account, a profile value) as the back
// end keeps it: as the person sees it, so that one visible name is one
// account. The characters that draw nothing before the first and after the
// last one that draws are removed; inside, each space (a no-break or
// full-width one too) is kept as one ordinary space U+0020, and any other
// character that draws nothing (a tab or line end, a zero-width or format
// character, a filler) refuses the text, since no one can see or type it
// back. Text that is not UTF-8 or holds a control character is refused too:
// it would corrupt the pages and lists it is shown in.
struct KeptText {
    std::string text;
    // Why it is refused, naming the field: "<what>不能为空",
    // "<what>含有无效字符", "<what>含有不可见字符" or "<what>过长" (more than
    // the field's longest, in bytes, once kept).
    std::optional<std::string> refusal;
};
KeptText keptText(std::string_view typed, std::string_view what, std::size_t longestBytes);

}  // namespace backend
