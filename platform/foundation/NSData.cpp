#include "foundation/NSData.h"

#include <algorithm>

NSData::NSData(const void* bytes, std::size_t length) {
    auto begin = static_cast<const std::uint8_t*>(bytes);
    if (begin && length) bytes_.assign(begin, begin + length);
}

NSData NSData::subdata(std::size_t location, std::size_t length) const {
    if (location >= bytes_.size()) return {};
    length = std::min(length, bytes_.size() - location);
    return NSData(bytes_.data() + location, length);
}

void NSData::append(const void* bytes, std::size_t length) {
    auto begin = static_cast<const std::uint8_t*>(bytes);
    if (begin && length) bytes_.insert(bytes_.end(), begin, begin + length);
}

void NSData::remove(std::size_t location, std::size_t length) {
    if (location >= bytes_.size()) return;
    length = std::min(length, bytes_.size() - location);
    bytes_.erase(bytes_.begin() + location, bytes_.begin() + location + length);
}

std::string NSData::description() const {
    static const char digits[] = "0123456789abcdef";
    std::string text = "<";
    for (std::size_t i = 0; i < bytes_.size(); ++i) {
        if (i && i % 4 == 0) text += ' ';
        text += digits[bytes_[i] >> 4];
        text += digits[bytes_[i] & 15];
    }
    return text + ">";
}

namespace {

constexpr char base64Alphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";

// The 6-bit value of a base64 character, or -1.
int base64Value(char c) {
    if (c >= 'A' && c <= 'Z') return c - 'A';
    if (c >= 'a' && c <= 'z') return c - 'a' + 26;
    if (c >= '0' && c <= '9') return c - '0' + 52;
    if (c == '+') return 62;
    if (c == '/') return 63;
    return -1;
}

}  // namespace

std::string NSData::base64EncodedString() const {
    std::string text;
    text.reserve((bytes_.size() + 2) / 3 * 4);
    for (std::size_t i = 0; i < bytes_.size(); i += 3) {
        std::size_t left = bytes_.size() - i;
        std::uint32_t group = bytes_[i] << 16;
        if (left > 1) group |= bytes_[i + 1] << 8;
        if (left > 2) group |= bytes_[i + 2];
        text += base64Alphabet[(group >> 18) & 63];
        text += base64Alphabet[(group >> 12) & 63];
        text += left > 1 ? base64Alphabet[(group >> 6) & 63] : '=';
        text += left > 2 ? base64Alphabet[group & 63] : '=';
    }
    return text;
}

std::optional<NSData> NSData::initWithBase64EncodedString(std::string_view text, bool ignoreUnknownCharacters) {
    std::string symbols;
    symbols.reserve(text.size());
    for (char c : text) {
        if (base64Value(c) >= 0 || c == '=') symbols += c;
        else if (!ignoreUnknownCharacters) return std::nullopt;
    }
    if (symbols.size() % 4 != 0) return std::nullopt;
    auto padding = symbols.find('=');
    if (padding != std::string::npos) {
        std::size_t padded = symbols.size() - padding;
        if (padded > 2 || symbols.find_first_not_of('=', padding) != std::string::npos) return std::nullopt;
    }
    std::vector<std::uint8_t> bytes;
    bytes.reserve(symbols.size() / 4 * 3);
    for (std::size_t i = 0; i < symbols.size(); i += 4) {
        std::uint32_t group = 0;
        int count = 0;
        for (int k = 0; k < 4; ++k) {
            int value = base64Value(symbols[i + k]);
            if (value < 0) break;
            group |= static_cast<std::uint32_t>(value) << (18 - 6 * k);
            ++count;
        }
        bytes.push_back(static_cast<std::uint8_t>(group >> 16));
        if (count > 2) bytes.push_back(static_cast<std::uint8_t>(group >> 8));
        if (count > 3) bytes.push_back(static_cast<std::uint8_t>(group));
    }
    return NSData(std::move(bytes));
}
