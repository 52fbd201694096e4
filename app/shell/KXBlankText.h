#pragma once

#include <string>
#include <string_view>

// Whether a value is empty as a person sees it: nothing in it draws. A
// character draws nothing when it is white space or a line end, a control or
// format character, a separator, a default-ignorable code point (zero-width
// characters and joiners, direction marks, variation selectors, the soft
// hyphen, the Hangul fillers, tags), or the braille pattern with no dots
// raised (U+2800), whose glyph is an empty cell; the prepended
// concatenation marks (the Arabic number signs U+0600-U+0605 and their
// kin) are format characters that draw. The forms refuse such a value
// where one is required, as the back end does (the same rule, its own
// copy), and a value shown from the back end that is blank reads as
// missing. Text that is not UTF-8 is not blank.
namespace KXBlankText {

bool isBlank(std::string_view text);

// What the back end keeps of a typed text it accepts, judged by the
// characters a person sees (grapheme clusters): the blank characters around
// it removed, each space inside as one ordinary space, every character that
// draws as typed, with the joiners and selectors in it. The forms count a
// text's length on this.
std::string kept(std::string_view text);

}  // namespace KXBlankText
