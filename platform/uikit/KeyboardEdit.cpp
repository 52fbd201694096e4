#include "uikit/KeyboardEdit.h"

#include <algorithm>

#include "foundation/UTF16.h"

std::string_view KeyboardEdit::nextCharacter(std::string_view text, std::size_t& at) {
    const std::size_t start = at;
    UTF16::decodeNext(text, at);
    return text.substr(start, at - start);
}

std::size_t KeyboardEdit::lastCharacterStart(std::string_view text) {
    // A byte that is no continuation byte always starts a character, since
    // no character takes one as its tail. The last character starts at the
    // nearest such byte when the decoding from there reaches the end; else
    // the last byte is a stray continuation byte, a character of its own (a
    // character is at most four bytes long).
    const std::size_t longest = std::min<std::size_t>(4, text.size());
    for (std::size_t back = 1; back <= longest; ++back) {
        const std::size_t at = text.size() - back;
        if ((static_cast<unsigned char>(text[at]) & 0xC0) == 0x80) continue;
        std::size_t end = at;
        UTF16::decodeNext(text, end);
        return end == text.size() ? at : text.size() - 1;
    }
    return text.size() - 1;
}

NSRange KeyboardEdit::lastCharacterRange(std::string_view text, std::size_t units) {
    if (text.empty()) return {0, 0};
    const std::size_t width = UTF16::length(text.substr(lastCharacterStart(text)));
    return {units - width, width};
}

std::size_t KeyboardEdit::apply(std::string& text, std::size_t units, NSRange range, std::string_view replacement) {
    if (replacement.empty() && range.length <= units && range.location == units - range.length) {
        // Deleting at the end: whole characters from the end, read alone.
        std::size_t kept = text.size(), removed = 0;
        while (removed < range.length && kept > 0) {
            const std::size_t start = lastCharacterStart(std::string_view(text).substr(0, kept));
            removed += UTF16::length(std::string_view(text).substr(start, kept - start));
            kept = start;
        }
        // A range that ends inside a character is cut as anywhere else.
        if (removed == range.length) {
            text.resize(kept);
            return units - removed;
        }
    }
    if (range.length == 0 && range.location == units) {
        text.append(replacement);
        return units + UTF16::length(replacement);
    }
    const std::size_t location = std::min(range.location, units);
    const std::size_t end = location + std::min(range.length, units - location);
    const std::size_t from = UTF16::byteOffset(text, location), to = UTF16::byteOffset(text, end);
    // Units are counted again: a cut inside a character leaves its bytes
    // counted otherwise than they were.
    text.replace(from, to - from, replacement);
    return UTF16::length(text);
}

std::string KeyboardEdit::bullets(std::string_view text) {
    std::string shown;
    for (std::size_t at = 0; at < text.size();) {
        UTF16::decodeNext(text, at);
        shown += "\u2022";
    }
    return shown;
}
