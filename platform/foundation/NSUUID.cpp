#include "foundation/NSUUID.h"

#include "foundation/SecRandom.h"

namespace {

constexpr std::size_t hyphenPositions[] = {8, 13, 18, 23};

bool isHyphenPosition(std::size_t i) {
    for (auto position : hyphenPositions)
        if (i == position) return true;
    return false;
}

int hexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

}  // namespace

NSUUID::NSUUID() {
    SecRandomCopyBytes(kSecRandomDefault, bytes_.size(), bytes_.data());
    bytes_[6] = static_cast<std::uint8_t>((bytes_[6] & 0x0f) | 0x40);  // version 4
    bytes_[8] = static_cast<std::uint8_t>((bytes_[8] & 0x3f) | 0x80);  // RFC 4122 variant
}

Ref<NSUUID> NSUUID::initWithUUIDString(std::string_view text) {
    if (text.size() != 36) return nullptr;
    Bytes bytes{};
    std::size_t nibble = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (isHyphenPosition(i)) {
            if (text[i] != '-') return nullptr;
            continue;
        }
        int value = hexValue(text[i]);
        if (value < 0) return nullptr;
        bytes[nibble / 2] = static_cast<std::uint8_t>(bytes[nibble / 2] << 4 | value);
        ++nibble;
    }
    return make<NSUUID>(bytes);
}

std::string NSUUID::UUIDString() const {
    static const char digits[] = "0123456789ABCDEF";
    std::string text;
    text.reserve(36);
    for (std::size_t i = 0; i < bytes_.size(); ++i) {
        if (i == 4 || i == 6 || i == 8 || i == 10) text += '-';
        text += digits[bytes_[i] >> 4];
        text += digits[bytes_[i] & 15];
    }
    return text;
}

std::string NSUUID::description() const { return NSObject::description() + " " + UUIDString(); }

bool NSUUID::isEqual(const NSObject& other) const {
    auto uuid = dynamic_cast<const NSUUID*>(&other);
    return uuid && uuid->bytes_ == bytes_;
}
