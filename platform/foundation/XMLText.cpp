#include "foundation/XMLText.h"

#include "foundation/UTF16.h"

namespace {

// The characters XML 1.0 documents may hold.
bool isXMLCharacter(char32_t c) {
    return c == 0x9 || c == 0xA || c == 0xD || (c >= 0x20 && c <= 0xD7FF) || (c >= 0xE000 && c <= 0xFFFD) ||
           (c >= 0x10000 && c <= 0x10FFFF);
}

}  // namespace

std::optional<std::string> XMLElementText(const std::string& text) {
    if (!UTF16::isValidUTF8(text)) return std::nullopt;
    std::string out;
    out.reserve(text.size());
    for (std::size_t at = 0; at < text.size();) {
        std::size_t start = at;
        char32_t c = UTF16::decodeNext(text, at);
        if (!isXMLCharacter(c)) return std::nullopt;
        switch (c) {
        case '&': out += "&amp;"; break;
        case '<': out += "&lt;"; break;
        case '>': out += "&gt;"; break;
        case '\r': out += "&#13;"; break;
        default: out.append(text, start, at - start);
        }
    }
    return out;
}
