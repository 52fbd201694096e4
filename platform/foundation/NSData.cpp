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
