#include "foundation/UTF16.h"

namespace {

std::size_t unitsOf(char32_t codePoint) { return codePoint >= 0x10000 ? 2 : 1; }

bool isContinuation(unsigned char byte) { return (byte & 0xC0) == 0x80; }

}  // namespace

char32_t UTF16::decodeNext(std::string_view utf8, std::size_t& at) {
    const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(utf8[i]); };
    const unsigned char lead = byte(at);
    std::size_t length;
    char32_t codePoint;
    char32_t minimum;
    if (lead < 0x80) {
        ++at;
        return lead;
    } else if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2, codePoint = lead & 0x1F, minimum = 0x80;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3, codePoint = lead & 0x0F, minimum = 0x800;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4, codePoint = lead & 0x07, minimum = 0x10000;
    } else {
        ++at;
        return replacement;
    }
    if (at + length > utf8.size()) {
        ++at;
        return replacement;
    }
    for (std::size_t i = 1; i < length; ++i) {
        if (!isContinuation(byte(at + i))) {
            ++at;
            return replacement;
        }
        codePoint = (codePoint << 6) | (byte(at + i) & 0x3F);
    }
    if (codePoint < minimum || codePoint > 0x10FFFF || (codePoint >= 0xD800 && codePoint <= 0xDFFF)) {
        ++at;
        return replacement;
    }
    at += length;
    return codePoint;
}

void UTF16::append(std::string& utf8, char32_t codePoint) {
    if (codePoint > 0x10FFFF || (codePoint >= 0xD800 && codePoint <= 0xDFFF)) codePoint = replacement;
    if (codePoint < 0x80) {
        utf8 += static_cast<char>(codePoint);
    } else if (codePoint < 0x800) {
        utf8 += static_cast<char>(0xC0 | (codePoint >> 6));
        utf8 += static_cast<char>(0x80 | (codePoint & 0x3F));
    } else if (codePoint < 0x10000) {
        utf8 += static_cast<char>(0xE0 | (codePoint >> 12));
        utf8 += static_cast<char>(0x80 | ((codePoint >> 6) & 0x3F));
        utf8 += static_cast<char>(0x80 | (codePoint & 0x3F));
    } else {
        utf8 += static_cast<char>(0xF0 | (codePoint >> 18));
        utf8 += static_cast<char>(0x80 | ((codePoint >> 12) & 0x3F));
        utf8 += static_cast<char>(0x80 | ((codePoint >> 6) & 0x3F));
        utf8 += static_cast<char>(0x80 | (codePoint & 0x3F));
    }
}

bool UTF16::isValidUTF8(std::string_view utf8) {
    for (std::size_t at = 0; at < utf8.size();) {
        std::size_t from = at;
        // A well-formed U+FFFD takes three bytes; a malformed byte gives it for one.
        if (decodeNext(utf8, at) == replacement && at - from != 3) return false;
    }
    return true;
}

std::size_t UTF16::length(std::string_view utf8) {
    std::size_t units = 0;
    for (std::size_t at = 0; at < utf8.size();) units += unitsOf(decodeNext(utf8, at));
    return units;
}

std::u16string UTF16::encode(std::string_view utf8) {
    std::u16string out;
    out.reserve(utf8.size());
    for (std::size_t at = 0; at < utf8.size();) {
        char32_t codePoint = decodeNext(utf8, at);
        if (codePoint >= 0x10000) {
            codePoint -= 0x10000;
            out += static_cast<char16_t>(0xD800 + (codePoint >> 10));
            out += static_cast<char16_t>(0xDC00 + (codePoint & 0x3FF));
        } else {
            out += static_cast<char16_t>(codePoint);
        }
    }
    return out;
}

std::string UTF16::decode(std::u16string_view utf16) {
    std::string out;
    out.reserve(utf16.size());
    for (std::size_t i = 0; i < utf16.size(); ++i) {
        char32_t unit = utf16[i];
        if (unit >= 0xD800 && unit <= 0xDBFF && i + 1 < utf16.size() && utf16[i + 1] >= 0xDC00 && utf16[i + 1] <= 0xDFFF) {
            append(out, 0x10000 + ((unit - 0xD800) << 10) + (utf16[i + 1] - 0xDC00));
            ++i;
        } else {
            append(out, unit);
        }
    }
    return out;
}

std::size_t UTF16::byteOffset(std::string_view utf8, std::size_t index) {
    std::size_t units = 0;
    for (std::size_t at = 0; at < utf8.size();) {
        std::size_t from = at;
        units += unitsOf(decodeNext(utf8, at));
        if (units > index) return from;
    }
    return utf8.size();
}

std::size_t UTF16::index(std::string_view utf8, std::size_t offset) {
    std::size_t units = 0;
    for (std::size_t at = 0; at < utf8.size();) {
        char32_t codePoint = decodeNext(utf8, at);
        if (at > offset) return units;
        units += unitsOf(codePoint);
    }
    return units;
}
