#pragma once

#include <string>
#include <string_view>

#include "foundation/NSRange.h"

// The text arithmetic of keyboard editing shared by text fields and text
// views: typing goes one character (code point) at a time, and ranges count
// UTF-16 units as the delegates see them.
class KeyboardEdit {
public:
    // The character of `text` that starts at byte `at`, in UTF-8; `at`
    // moves past it. Typing walks its text with it, one character at a time.
    static std::string_view nextCharacter(std::string_view text, std::size_t& at);
    // The range the delete key removes from a text of `units` UTF-16 units:
    // the last character (two units for a character outside the basic
    // plane); empty at the start of the text. Only the text's end is read.
    static NSRange lastCharacterRange(std::string_view text, std::size_t units);
    // Replaces `range` (UTF-16 units, clamped to the text) of `text`, whose
    // length is `units` UTF-16 units, with `replacement`, in place; answers
    // the new length. Typing at the end appends to the text and scans only
    // the typed character, and deleting at the end cuts the text short and
    // reads only the deleted characters: neither copies the text, so each
    // costs what it adds or removes, and typing a long text and deleting it
    // again stay linear. An edit inside the text costs the text's length.
    static std::size_t apply(std::string& text, std::size_t units, NSRange range, std::string_view replacement);
    // One bullet per character, as secure fields show their text.
    static std::string bullets(std::string_view text);

private:
    // The byte where the last character of a text that is not empty starts,
    // found from its end.
    static std::size_t lastCharacterStart(std::string_view text);
};
