#pragma once

#include <string>
#include <utility>
#include <vector>

// Texts in which nothing draws, each a character of its own kind: white
// space and line ends, controls (NUL among them), format characters
// (direction marks, embeddings, isolates, tags, the soft hyphen),
// default-ignorable ones (joiners, variation selectors, the Hangul fillers)
// and the braille pattern with no dots raised; and a mix of them. The app and
// the back end each refuse them where a value is required.
inline const std::vector<std::string>& blankTexts() {
    static const std::vector<std::string> texts = {
        " ", "\t", "\r\n", "\u3000", "\u00A0", "\u2028", "\u200B", "\u2060", "\uFEFF", "\u180E",
        "\u3164", "\u115F", "\u1160", "\uFFA0", "\u2800", "\u00AD", "\u200E", "\u200F", "\uFE0F", "\u034F",
        "\u202E", "\u2066", "\u061C", "\U000E0020", "\u0001", "\u007F", "\u0085", std::string(1, '\0'),
        " \u3164\u200B\t\u2800\U000E0020",
    };
    return texts;
}

// Texts that draw something, though little: a letter, a combining mark, a
// braille pattern with one dot, a Hangul letter, blanks around a letter, and
// text that is not UTF-8 (which is not blank, but refused as invalid).
inline const std::vector<std::string>& drawnTexts() {
    static const std::vector<std::string> texts = {"a", "\u0301", "\u2801", "\u3131", "\u3164张\u200B", "\xe6\x98"};
    return texts;
}
