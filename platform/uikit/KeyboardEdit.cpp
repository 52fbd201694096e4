#include "uikit/KeyboardEdit.h"

#include <algorithm>

#include "foundation/UTF16.h"

std::vector<std::string> KeyboardEdit::characters(std::string_view text) {
    std::vector<std::string> found;
    for (std::size_t at = 0; at < text.size();) {
        std::size_t start = at;
        UTF16::decodeNext(text, at);
        found.emplace_back(text.substr(start, at - start));
    }
    return found;
}

NSRange KeyboardEdit::lastCharacterRange(std::string_view text) {
    std::size_t lastStart = 0;
    for (std::size_t at = 0; at < text.size();) {
        lastStart = at;
        UTF16::decodeNext(text, at);
    }
    std::size_t end = UTF16::length(text);
    std::size_t start = UTF16::index(text, lastStart);
    return {start, end - start};
}

std::string KeyboardEdit::replacing(std::string_view text, NSRange range, std::string_view replacement) {
    std::size_t length = UTF16::length(text);
    std::size_t location = std::min(range.location, length);
    std::size_t end = std::min(location + std::min(range.length, length - location), length);
    std::size_t from = UTF16::byteOffset(text, location), to = UTF16::byteOffset(text, end);
    std::string result(text.substr(0, from));
    result += replacement;
    result += text.substr(to);
    return result;
}

KeyboardEdit::Edited KeyboardEdit::applying(std::string_view text, std::size_t units, NSRange range,
                                             std::string_view replacement) {
    if (range.length == 0 && range.location == units) {
        std::string appended;
        appended.reserve(text.size() + replacement.size());
        appended.append(text).append(replacement);
        return {std::move(appended), units + UTF16::length(replacement)};
    }
    std::string replaced = replacing(text, range, replacement);
    const std::size_t length = UTF16::length(replaced);
    return {std::move(replaced), length};
}

std::string KeyboardEdit::bullets(std::string_view text) {
    std::string shown;
    for (std::size_t at = 0; at < text.size();) {
        UTF16::decodeNext(text, at);
        shown += "\u2022";
    }
    return shown;
}
