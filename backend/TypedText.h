#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace backend {

// Texts are judged by what a person sees: by user-perceived characters
// (grapheme clusters, ICU's character break iterator), not by code points.
// A joiner, a non-joiner, a variation selector or a tag is invisible alone
// but part of the character it belongs to ("❤️", "👨‍👩‍👧", "ශ්‍රී").
//
// A code point draws nothing when it is white space or a line end, a
// control or format character, a separator, a default-ignorable code point
// (the zero-width characters and joiners, direction marks and isolates,
// variation selectors, the soft hyphen, the Hangul fillers, tags), or the
// braille pattern with no dots raised (U+2800), a symbol by category whose
// glyph is an empty cell. The prepended concatenation marks (the Arabic
// number signs U+0600-U+0605, U+06DD, U+070F, U+0890, U+0891, U+08E2, the
// Kaithi U+110BD, U+110CD) are format characters that draw. A character is
// blank when nothing in it draws.

// Whether a value the app sends is empty as a person sees it: valid UTF-8
// in which nothing draws. The app's KXBlankText keeps the same rule. Text
// that is not UTF-8 is not blank: keptText refuses it.
bool isBlankText(std::string_view text);

// A text a person typed (a name, an account, a profile value) as the back
// end keeps it: as the person sees it. The blank characters before the
// first and after the last one that draws are removed; inside, a space (a
// no-break or full-width one too) is kept as one ordinary space U+0020, a
// Mongolian vowel separator inside a Mongolian word as typed (it chooses
// the form of the vowel after it), and any other blank character refuses
// the text, since no one can see it or type it back. Every character that
// draws is kept exactly as typed, with the joiners and selectors in it, so
// what is stored, charged and listed is what was typed. Text that is not
// UTF-8 is refused too, and so is a control character (a tab, CR, LF)
// inside: either would corrupt the pages and lists the text is shown in. A
// control character before the first or after the last character that
// draws is blank like the others there, and removed.
struct KeptText {
    std::string text;
    // Why it is refused, naming the field: "<what>不能为空",
    // "<what>含有无效字符", "<what>含有不可见字符" or "<what>过长" (more than
    // the field's longest, in bytes, once kept).
    std::optional<std::string> refusal;
};
KeptText keptText(std::string_view typed, std::string_view what, std::size_t longestBytes);

// The identity of a name or an account: the text without the blank
// characters around it, without default-ignorable code points (joiners,
// selectors, tags, zero-width characters) and in NFKC (a full-width letter
// is its ASCII one, a no-break space a space). Two names with one key are
// one name: "NAME ", "NAME" + U+200B, "ＮＡＭＥ" and "NAME" are one
// account, and so are "👨‍👩‍👧" and "👨👩👧".
std::string identityKey(std::string_view text);

}  // namespace backend
