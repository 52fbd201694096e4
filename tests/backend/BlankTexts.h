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

// The prepended concatenation marks: format characters that draw (a number
// sign spans the digits after it), so not blank, alone or before a text.
inline const std::vector<std::string>& prependedMarks() {
    static const std::vector<std::string> texts = {"\u0600", "\u0601", "\u0602", "\u0603", "\u0604", "\u0605", "\u06DD",
                                                   "\u070F", "\u0890", "\u0891", "\u08E2", "\U000110BD", "\U000110CD"};
    return texts;
}

// Names and emoji in which a joiner, a non-joiner, a selector, a tag or a
// prepended mark belongs to a character that draws: each is kept exactly as
// typed. Persian with U+200C, Sinhala and Devanagari with U+200D, Mongolian
// with its vowel separator U+180E, a family, a keycap, the rainbow flag, a
// heart with U+FE0F, an ideograph with a variation selector, the Scotland
// flag (tags), and a number after the Arabic number sign U+0600.
inline const std::vector<std::string>& typedNames() {
    static const std::vector<std::string> texts = {
        "حسین\u200Cزاده", "ශ්\u200Dරීමතී", "क्\u200Dष", "ᠨᠣᠮ\u180Eᠠ", "👨\u200D👩\u200D👧", "1\uFE0F\u20E3",
        "🏳\uFE0F\u200D🌈", "❤\uFE0F", "葛\U000E0100", "🏴\U000E0067\U000E0062\U000E0073\U000E0063\U000E0074\U000E007F",
        "\u0600١٢٣",
    };
    return texts;
}

// Texts that look like another: a character that draws nothing between two
// that draw (a zero-width space, a word joiner, a soft hyphen, a direction
// mark, a joiner after a space, a Mongolian vowel separator between Latin
// letters). The back end refuses each.
inline const std::vector<std::string>& lookAlikeTexts() {
    static const std::vector<std::string> texts = {
        "ab\u200Bc", "ab\u2060c", "ab\u00ADc", "ab\u200Ec", "ab \u200Dc", "a\u180Eb",
    };
    return texts;
}
