#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "foundation/NSRange.h"

// The text arithmetic of keyboard editing shared by text fields and text
// views: typing goes one character (code point) at a time, and ranges count
// UTF-16 units as the delegates see them.
class KeyboardEdit {
public:
    // The text split into its characters, in UTF-8.
    static std::vector<std::string> characters(std::string_view text);
    // The range the delete key removes from a text of `units` UTF-16 units:
    // the last character (two units for a character outside the basic
    // plane); empty at the start of the text. Only the text's end is read.
    static NSRange lastCharacterRange(std::string_view text, std::size_t units);
    // The text with `range` (UTF-16 units, clamped to the text) replaced.
    static std::string replacing(std::string_view text, NSRange range, std::string_view replacement);
    // The same with the lengths carried along: `units` is the text's length
    // in UTF-16 units. Typing at the end scans only the typed character, and
    // deleting at the end only the deleted ones, so typing a long text and
    // deleting it again stay linear.
    struct Edited {
        std::string text;
        std::size_t units;
    };
    static Edited applying(std::string_view text, std::size_t units, NSRange range, std::string_view replacement);
    // One bullet per character, as secure fields show their text.
    static std::string bullets(std::string_view text);

private:
    // The byte where the last character of a text that is not empty starts,
    // found from its end.
    static std::size_t lastCharacterStart(std::string_view text);
};
